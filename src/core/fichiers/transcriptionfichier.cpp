#include "core/fichiers/transcriptionfichier.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string_view>

#include "core/fichiers/importation.h"
#include "core/memoire/parallele.h"

namespace dotavob {

namespace {

// A piece: its place among the others, its bytes [debut, fin) of the file,
// whether it ends the file.
struct Piece {
    int numero = 0;
    std::uint64_t debut = 0, fin = 0;
    bool derniere = false;
};

// Where the pieces are cut, just after a line end: each then decodes and
// transcribes alone. Both threads ask it for their next piece; it reads only
// the few bytes around each cut.
class Decoupe {
public:
    Decoupe(const FichierEnLecture& f, std::uint64_t debut, std::size_t piece)
        : f_(f), suivant_(debut), piece_(std::max<std::size_t>(piece, 1)) {}

    // The next piece; false when none is left, or on failure (`erreur` said).
    bool prends(Piece& p, std::string& erreur) {
        const std::lock_guard<std::mutex> verrou(m_);
        const std::uint64_t taille = f_.taille();
        if (suivant_ >= taille) return false;
        p.numero = numero_++;
        p.debut = suivant_;
        p.fin = taille;
        // The first line end at least a piece on: a LF, or a CR before
        // anything but a LF (a CR at the end of a window is passed over).
        char fenetre[4096];
        const std::uint64_t depuis = taille - p.debut > piece_ ? p.debut + piece_ - 1 : taille;
        for (std::uint64_t a = depuis; a < taille && p.fin == taille;) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof fenetre, taille - a));
            if (!f_.lit(a, fenetre, n, erreur)) return false;
            for (std::size_t i = 0; i < n; ++i)
                if (fenetre[i] == '\n' || (fenetre[i] == '\r' && i + 1 < n && fenetre[i + 1] != '\n')) {
                    p.fin = a + i + 1;
                    break;
                }
            a += n;
        }
        p.derniere = p.fin == taille;
        suivant_ = p.fin;
        return true;
    }

private:
    const FichierEnLecture& f_;
    std::mutex m_;
    std::uint64_t suivant_;
    int numero_ = 0;
    std::size_t piece_;
};

// The text of a plain text file, from `debut`, decoded as UTF-8 or code page
// 1252, transcribed and given to `sortie` piece by piece, in their order.
// Each thread reads, decodes and transcribes a piece of its own, then waits
// for its turn to write it.
bool parPieces(const FichierEnLecture& f, std::uint64_t debut, bool utf8, std::int32_t cpl, std::size_t taillePiece,
               SortieOctets& sortie, DecodageMorceaux& decodage, CaracteresOmis& omis, std::string& erreur,
               const std::string& cheminSortie) {
    Decoupe decoupe(f, debut, taillePiece);
    Tours tours;
    std::mutex verrou;
    std::string premiereErreur;
    const auto echoue = [&](std::string message) {
        {
            const std::lock_guard<std::mutex> l(verrou);
            if (premiereErreur.empty()) premiereErreur = std::move(message);
        }
        tours.echoue();
    };
    const auto travaille = [&] {
        std::string brut, noir, message;
        try {
            for (Piece p; !tours.echoues() && decoupe.prends(p, message);) {
                brut.resize(static_cast<std::size_t>(p.fin - p.debut));
                if (!f.lit(p.debut, brut.data(), brut.size(), message)) break;
                noir.clear();
                DecodageMorceaux compte;
                decodeMorceau(brut, utf8, p.derniere, noir, compte);
                CaracteresOmis omisIci;
                const std::string braille = TranscritEnDocument(noir, cpl, &omisIci);
                if (!tours.attends(p.numero)) return;
                decodage.ajoute(compte);
                omis.ajoute(omisIci);
                if (!sortie.ajoute(braille)) {
                    tours.echoue();
                    return;
                }
                // A document that could not be opened again is not written on.
                if (!documentAdmis(sortie.taille(), cheminSortie, message)) break;
                if (!tours.passe(p.numero)) return;
            }
        } catch (...) {
            tours.echoue();
            throw;
        }
        if (!message.empty()) echoue(message);
    };
    deuxALaFois(travaille, travaille);
    if (!tours.echoues()) return true;
    if (!premiereErreur.empty()) erreur = premiereErreur;
    return false;
}

// A file that is not read piece by piece (RTF, UTF-16, UTF-32, a pipe):
// read whole, as an import reads it.
bool entier(const std::string& entree, const FormatPage& format, SortieOctets& sortie, BilanTranscription& bilan,
            std::string& erreur, const std::string& cheminSortie) {
    ContenuDocument c;
    {
        std::string texte;
        {
            std::string octets;
            if (!lisFichier(entree, octets, erreur)) return false;
            texte = texteImporte(octets, entree, &bilan.invalides, &bilan.remplaces, &bilan.omissions);
        }
        c.texte = TranscritEnDocument(texte, format.cpl, &bilan.omis);
    }
    c.format = format;
    const std::string octets = ecritDtv(std::move(c));
    if (!documentAdmis(octets.size(), cheminSortie, erreur)) return false;
    return sortie.ajoute(octets);
}

}  // namespace

bool transcritFichier(const std::string& entree, const FormatPage& format, SortieOctets& sortie,
                      BilanTranscription& bilan, std::string& erreur, const std::string& cheminSortie,
                      std::size_t taillePiece) {
    bilan = {};
    std::optional<FichierEnLecture> f(std::in_place);
    bool regulier = false;
    if (!f->ouvre(entree, TAILLE_MAXIMALE_FICHIER, regulier, erreur)) return false;
    std::size_t saute = std::string::npos;
    if (regulier) {
        std::string debut(static_cast<std::size_t>(std::min<std::uint64_t>(f->taille(), 8)), '\0');
        if (!f->lit(0, debut.data(), debut.size(), erreur)) return false;
        saute = debutTexteSimple(debut, entree);
    }
    if (saute == std::string::npos) {
        f.reset();  // a pipe is opened again by its one reader
        return entier(entree, format, sortie, bilan, erreur, cheminSortie);
    }
    // Read as UTF-8 first: a text found to be code page 1252 once all is
    // read (a rare one) is read again as such.
    DecodageMorceaux decodage;
    for (const bool utf8 : {true, false}) {
        decodage = {};
        bilan = {};
        if (!sortie.recommence() || !sortie.ajoute(debutDtv(0))) return false;
        if (!parPieces(*f, saute, utf8, format.cpl, taillePiece, sortie, decodage, bilan.omis, erreur, cheminSortie))
            return false;
        if (decodage.utf8()) break;
    }
    if (decodage.utf8()) {
        bilan.invalides = decodage.invalides;
        bilan.remplaces = std::move(decodage.remplaces);
    }
    ContenuDocument c;
    c.format = format;
    const std::uint64_t longueurTexte = sortie.taille() - debutDtv(0).size();
    if (!sortie.ajoute(finDtv(c))) return false;
    if (!documentAdmis(sortie.taille(), cheminSortie, erreur)) return false;
    return sortie.remplace(0, debutDtv(static_cast<std::size_t>(longueurTexte)));
}

}  // namespace dotavob
