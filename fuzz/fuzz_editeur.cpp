// The editor on any document, past the readers: the document loaded as the
// window loads it, laid out in pages, read back into print, exported, typed
// in and edited, then every change undone and redone. Never a crash; undoing
// everything gives back the document as it opened, text and markers, and
// redoing everything the document at the end of its history.
//
// The input: its first bytes are the keys, up to a NUL within the first 64
// (else the first 16); the rest is a document file, or else a Braille ASCII file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/editeur/editeur.h"
#include "core/fichiers/brf.h"
#include "core/fichiers/dtv.h"
#include "core/noir/noir.h"
#include "core/sorties/embossage.h"
#include "core/sorties/export.h"
#include "core/sorties/pef.h"

namespace {

using namespace dotavob;

void litTout(const DocumentBraille& d, const FormatPage& f) {
    ReglagesEmbossage r;
    r.caracteresParLigne = f.cpl;
    r.lignesParPage = f.lignesParPage;
    for (std::int32_t p = 1; p <= std::min(d.nbPages(), 4); ++p) (void)composePage(d, f, r, p);
    (void)BrailleVersNoir(d.texte(), &d.marqueurs());
    (void)Exporte(d.texte(), d.marqueurs(), false);
    if (!litPef(exportePef(d, f, r, MetaPef{"urn:fuzz", "", "", ""})).ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entree(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = entree.substr(0, 64).find('\0');
    const std::size_t finTouches = nul == std::string_view::npos ? std::min<std::size_t>(size, 16) : nul;
    const std::string_view touches = entree.substr(0, finTouches);
    const std::string_view fichier = entree.substr(std::min(size, finTouches + 1));

    ResultatLecture r = litDtv(fichier);
    if (!r.ok) r = litBrf(fichier);
    if (!r.ok) return 0;
    FormatPage format = r.contenu.format;
    format.derive();
    DocumentBraille d(format);
    EditeurBraille e(d);
    // As the window opens a document: loaded, wrapped to its format, nothing to undo.
    e.charge(std::move(r.contenu.texte), std::move(r.contenu.marqueurs));
    e.recoupeDocument(true, nullptr, false);
    e.allerPage(1);
    d.journal().vide();
    litTout(d, format);
    const std::string texteOuvert = d.texte();
    const std::vector<Marqueur> marqueursOuverts = d.marqueurs().liste();

    for (std::size_t k = 0; k < touches.size(); ++k) {
        const auto t = static_cast<std::uint8_t>(touches[k]);
        const auto suivant = k + 1 < touches.size() ? static_cast<std::uint8_t>(touches[k + 1]) : 0;
        switch (t % 32) {
            case 0: e.finParagraphe(); break;
            case 1: e.recule(); break;
            case 2: e.supprime(); break;
            case 3: e.gauche(t & 32); break;
            case 4: e.droite(t & 32); break;
            case 5: e.haut(t & 32); break;
            case 6: e.bas(t & 32); break;
            case 7: e.sautDePage(); break;
            case 8: e.supprimeSelection(); break;
            case 9: e.marqueParagraphe(static_cast<std::uint8_t>(suivant % 6)); break;
            case 10: e.retourneSelection(); break;
            case 11: e.Defait(); break;
            case 12: e.Refait(); break;
            case 13: e.placeCurseur(d.pointDe(1 + suivant * std::max(1, d.longueur()) / 256)); break;
            case 14: e.selectionne(1, 1 + suivant * std::max(1, d.longueur()) / 256); break;
            case 15: e.signeMajuscule(); break;
            case 16: e.miseEnEvidence(); break;
            case 17: e.insereBraille(std::string(1 + suivant % 40, static_cast<char>(caractere(static_cast<Octet>(suivant % 64))))); break;
            default: e.caractereFrappe(static_cast<Octet>(t)); break;
        }
    }
    // What the keys left to redo comes back first: the document at the end of its history.
    for (int n = 0; n < 10000 && e.Refait(); ++n) {
    }
    litTout(d, format);
    const std::string texteTape = d.texte();
    const std::vector<Marqueur> marqueursTapes = d.marqueurs().liste();
    for (int n = 0; n < 10000 && e.Defait(); ++n) {
    }
    if (d.texte() != texteOuvert || d.marqueurs().liste() != marqueursOuverts) std::abort();
    for (int n = 0; n < 10000 && e.Refait(); ++n) {
    }
    if (d.texte() != texteTape || d.marqueurs().liste() != marqueursTapes) std::abort();
    return 0;
}
