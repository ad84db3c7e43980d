// The editing engine: what keys, buttons and the mouse do to the document.
// Every change goes through `remplace`.
#include "core/editeur/editeur.h"

#include <algorithm>
#include <tuple>

#include "core/editeur/lignespage.h"
#include "core/editeur/unites.h"
#include "core/noir/noir.h"
#include "core/transcription/transcription.h"

namespace dotavob {
namespace {

// The cell bit of each dot key: F D S J K L are dots 1 2 3 4 5 6.
Octet bitDePoint(int touche) {
    switch (touche) {
        case 'F': return 8;
        case 'D': return 16;
        case 'S': return 32;
        case 'J': return 4;
        case 'K': return 2;
        case 'L': return 1;
        default: return 0;
    }
}

}  // namespace

EditeurBraille::EditeurBraille(DocumentBraille& document) : doc_(document) {}

void EditeurBraille::initialise(std::string texte) {
    doc_.initialise(std::move(texte));
    debutSelection_ = finSelection_ = 0;
    curseur_ = Point{};
    premiereLigne_ = premierePosition_ = 1;
    calculePageCurseur();
}

void EditeurBraille::nouveau() {
    doc_.nouveau();
    initialise({});
}

void EditeurBraille::charge(std::string texte, std::vector<Marqueur> marqueurs) {
    doc_.charge(std::move(texte), std::move(marqueurs));
    debutSelection_ = finSelection_ = 0;
    curseur_ = Point{};
    premiereLigne_ = premierePosition_ = 1;
    calculePageCurseur();
    placeCurseur(doc_.pointDe(doc_.longueur() + 1));
}

// ---- Caret and pages --------------------------------------------------------

std::int32_t EditeurBraille::positionCurseur() const {
    return doc_.longueur() == 0 ? 1 : doc_.positionDe(curseur_);
}

std::int32_t EditeurBraille::rangCurseur() const { return std::max(1, curseur_.ligne - premiereLigne_ + 1); }

void EditeurBraille::montrePage(std::int32_t premiere) {
    const std::int32_t premierePos = doc_.debutLigne(premiere);
    if (premiere == premiereLigne_ && premierePos == premierePosition_) return;
    premiereLigne_ = premiere;
    premierePosition_ = premierePos;
    annonceVue(premiere, premiere + doc_.lignesParPage());
}

void EditeurBraille::calculePageCurseur() {
    std::int32_t premiere = 1;
    const std::int32_t page = doc_.pageDeLigne(curseur_.ligne, &premiere);
    montrePage(premiere);
    const std::int32_t total = doc_.nbPages();
    if (total != nbPages_ || page != pageCourante_) {
        nbPages_ = total;
        pageCourante_ = page;
        annoncePage();
    }
}

void EditeurBraille::placeCurseur(Point p) {
    curseur_ = p;
    calculePageCurseur();
    for (auto* o : observateurs_) o->curseurDeplace(curseur_);
}

void EditeurBraille::allerPage(std::int32_t n) {
    const std::int32_t total = doc_.nbPages();
    if (n < 1 || n > total) return;
    montrePage(doc_.premiereLigneDePage(n));
    curseur_ = doc_.pointDe(premierePosition_);
    for (auto* o : observateurs_) o->curseurDeplace(curseur_);
    nbPages_ = total;
    pageCourante_ = n;
    annoncePage();
}

// ---- Selection ----------------------------------------------------------

void EditeurBraille::selectionne(std::int32_t de, std::int32_t a) {
    if (a == 0) return;
    if (de > a) {
        annuleSelection();
        return;
    }
    const std::int32_t ancienneFin = finSelection_;
    debutSelection_ = std::max(de, 1);
    finSelection_ = a;
    const std::int32_t premiere = doc_.pointDe(debutSelection_).ligne;
    const std::int32_t derniere = std::max(doc_.pointDe(ancienneFin).ligne, doc_.pointDe(finSelection_).ligne);
    annonceVue(premiere, derniere);
    annonceSelection();
}

void EditeurBraille::annuleSelection() {
    // A selection made afresh starts from its own start, never from an old anchor.
    selectionClavier_[0] = selectionClavier_[1] = 0;
    if (debutSelection_ < 1) return;
    const std::int32_t premiere = doc_.pointDe(debutSelection_).ligne;
    const std::int32_t derniere = doc_.pointDe(std::max(finSelection_, debutSelection_)).ligne;
    debutSelection_ = finSelection_ = 0;
    annonceVue(premiere, derniere);
    for (auto* o : observateurs_) o->selectionAnnulee();
}

// ---- Whole-document commands ------------------------------------------------

void EditeurBraille::recoupeDocument(bool journalise, const FormatPage* formatAvant, bool gardeCurseur) {
    if (!gardeCurseur) {
        doc_.recoupeDocument(journalise, formatAvant);
        calculePageCurseur();
        return;
    }
    if (doc_.coupeSelonLeFormat()) {  // nothing moves (a book opened as it was saved)
        const std::int32_t pos = positionCurseur();
        doc_.recoupeDocument(journalise, formatAvant);
        annuleSelection();
        placeCurseurPosition(pos);
        return;
    }
    // The caret stays before the same byte of the text: the re-wrap turns
    // spaces into line ends and back, and adds or removes cuts (VT), which
    // stand for no character; the bytes that are no cut keep their order.
    const std::int32_t pos = positionCurseur();
    std::int32_t avant = 0;  // bytes before the caret that are no cut
    for (std::int32_t p = 1; p < pos; ++p)
        if (doc_.octet(p) != VT) ++avant;
    doc_.recoupeDocument(journalise, formatAvant);
    std::int32_t p = 1;
    for (const std::int32_t n = doc_.longueur(); p <= n; ++p) {
        if (doc_.octet(p) == VT) continue;
        if (avant-- == 0) break;
    }
    annuleSelection();
    placeCurseurPosition(std::min(p, doc_.longueur() + 1));
}

void EditeurBraille::retourneSelection() {
    // A drag to the left leaves its end before its start: the bytes between
    // are what it went over. A click alone (no end) selects nothing.
    std::int32_t de = debutSelection_, a = finSelection_;
    if (a >= 1 && a < de) std::tie(de, a) = std::pair{a + 1, de - 1};
    if (de >= 1 && a >= de) doc_.retourne(de, a);
    annuleSelection();
}

bool EditeurBraille::recherche(std::string_view s, bool depuisDebut) {
    std::string motif(s);
    for (auto& c : motif)
        if (estMajuscule(oct(c))) c = static_cast<char>(enMinuscule(oct(c)));
    const std::int32_t trouve = doc_.cherche(motif, depuisDebut ? 1 : positionCurseur() + 1);
    if (trouve == 0) return false;
    // The caret at its start, the occurrence selected: seen, and said by a
    // screen reader; the next search starts after the caret.
    annuleSelection();
    placeCurseur(doc_.pointDe(trouve));
    selectionne(trouve, trouve + static_cast<std::int32_t>(motif.size()) - 1);
    return true;
}

void EditeurBraille::apresRejeu(const ResultatRejeu& r) {
    if (r.curseur > 0)
        placeCurseur(doc_.pointDe(r.curseur));
    else
        annuleSelection();
}

bool EditeurBraille::Defait() {
    const ResultatRejeu r = doc_.Defait();
    if (r.ok) apresRejeu(r);
    return r.ok;
}

bool EditeurBraille::Refait() {
    const ResultatRejeu r = doc_.Refait();
    if (r.ok) apresRejeu(r);
    return r.ok;
}

// ---- Observers ----------------------------------------------------------

void EditeurBraille::retireObservateur(ObservateurEditeur* o) { std::erase(observateurs_, o); }

void EditeurBraille::annonceVue(std::int32_t premiere, std::int32_t derniere) {
    for (auto* o : observateurs_) o->vueModifiee(premiere, derniere);
}

void EditeurBraille::annoncePage() {
    for (auto* o : observateurs_) o->pageModifiee(pageCourante_, nbPages_);
}

void EditeurBraille::annonceSelection() {
    for (auto* o : observateurs_) o->selectionModifiee(debutSelection_, finSelection_);
}

// ---- Keys -------------------------------------------------------------------

namespace {
constexpr std::uint8_t ENFONCEE = 1, MAJ = 2, CTRL = 4;
}

void EditeurBraille::toucheEnfoncee(int touche, bool maj, bool ctrl) {
    if (touche >= 0 && touche < static_cast<int>(enfoncees_.size()))
        enfoncees_[static_cast<std::size_t>(touche)] =
            static_cast<std::uint8_t>(ENFONCEE | (maj ? MAJ : 0) | (ctrl ? CTRL : 0));
    if (sixTouches_ && estToucheDePoint(touche)) accord_ |= bitDePoint(touche);
}

void EditeurBraille::toucheRelachee(int touche, bool maj, bool ctrl) {
    if (touche >= 0 && touche < static_cast<int>(enfoncees_.size())) {
        std::uint8_t& etat = enfoncees_[static_cast<std::size_t>(touche)];
        if (etat & ENFONCEE) {
            maj = etat & MAJ;
            ctrl = etat & CTRL;
        }
        etat = 0;
    }
    switch (touche) {
        case touches::RETOUR_ARRIERE: recule(); break;
        case touches::ENTREE: ctrl ? sautDePage() : finParagraphe(); break;
        case touches::GAUCHE: gauche(maj); break;
        case touches::HAUT: haut(maj); break;
        case touches::DROITE: droite(maj); break;
        case touches::BAS: bas(maj); break;
        case touches::SUPPR: supprime(); break;
        default: break;
    }
    if (sixTouches_ && estToucheDePoint(touche)) {
        const Octet c = accord_;
        accord_ = 0;
        if (c != 0) insereCaractere(caractere(c));
    }
}

void EditeurBraille::caractereFrappe(Octet c) {
    if (c < 32 || c == 127) return;  // Delete's text on a real keyboard, Escape, Tab...
    if (sixTouches_ && c != ' ') return;
    insereCaractere(normaliseGuillemets(c));
}

void EditeurBraille::modeSixTouches(bool on) {
    sixTouches_ = on;
    tousLesSignes_ = on;
    accord_ = 0;
}

// ---- Typing -----------------------------------------------------------------

// A cut inside a word (VT) stands for no character: the tests of word
// starts, numbers and capitals look through it to the byte before.
std::int32_t EditeurBraille::precedent(std::int32_t p) const {
    std::int32_t i = p - 1;
    while (i >= 1 && doc_.octet(i) == VT) --i;
    return i;
}

bool EditeurBraille::apresSeparateur(std::int32_t p) const {
    const std::int32_t i = precedent(p);
    return i < 1 || estSeparateur(doc_.octet(i));
}

bool EditeurBraille::majusculeCouverte(std::int32_t p) const {
    std::int32_t i = precedent(p);
    if (i >= 1 && doc_.octet(i) == SIGNE_MAJUSCULE) return true;
    // Back to the word's start: a separator, an opening bracket or an
    // emphasis sign (bounded: no keystroke reads a whole book).
    std::int32_t premier = 0, second = 0;
    for (int n = 0; i >= 1 && n < 1000; i = precedent(i), ++n) {
        const Octet b = doc_.octet(i);
        if (estSeparateur(b) || b == '(' || b == '[' || b == '{' || b == SIGNE_EVIDENCE) break;
        second = premier;
        premier = i;
    }
    // A word that began with the double capital sign is in capitals throughout.
    return premier >= 1 && second >= 1 && doc_.octet(premier) == SIGNE_MAJUSCULE &&
           doc_.octet(second) == SIGNE_MAJUSCULE;
}

bool EditeurBraille::dansNombre(std::int32_t p) const {
    for (std::int32_t i = p - 1; i >= 1; --i) {
        const Octet b = doc_.octet(i);
        if (b == VT) continue;
        if (codePrefixe(b) == 1) return true;
        if (estSeparateur(b) && operateurDeCaractere(b) == 0) return false;
    }
    return false;
}

void EditeurBraille::insereCaractere(Octet c) {
    if (selectionValide()) supprimeSelection();
    const std::int32_t pos = positionCurseur();
    std::string ins;
    if (sixTouches_) {
        ins += static_cast<char>(c);
    } else if (estMajuscule(c) && !estPrefixe(c)) {
        // Every typed capital reads back as one: it takes its sign unless
        // a sign already covers it.
        if (!majusculeCouverte(pos)) ins += static_cast<char>(SIGNE_MAJUSCULE);
        ins += static_cast<char>(enMinuscule(c));
    } else if (estChiffre(c)) {
        if (doc_.octet(precedent(pos)) == SIGNE_EXPOSANT) {
            ins += static_cast<char>(c);
        } else {
            if (!dansNombre(pos)) ins += static_cast<char>(SIGNE_NUMERIQUE);
            ins += static_cast<char>(caractere(celluleChiffre(c)));
        }
    } else if ((estOperateur(c) || c == SIGNE_NUMERIQUE) && dansNombre(pos)) {
        if (c != SIGNE_NUMERIQUE) ins += static_cast<char>(caractere(celluleOperateur(c)));
    } else if (c == 0x89) {
        ins = POUR_MILLE;
    } else if (c == 0xE3) {
        ins = EME;
    } else if (estSigneSpecial(c)) {
        ins = ecritureSigneSpecial(c);
    } else {
        ins += static_cast<char>(c);
    }
    if (ins.empty()) return;
    placeCurseurPosition(doc_.remplace(pos, pos, ins));
}

void EditeurBraille::insereNoir(std::string_view noir) {
    const std::int32_t pos = positionCurseur();
    const std::string braille = Transcrire(noir, curseur_.colonne, doc_.format().cpl);
    placeCurseurPosition(doc_.remplace(pos, pos, braille));
}

void EditeurBraille::insereBraille(std::string_view cellules) {
    if (cellules.empty()) return;
    // The replacement re-wraps the paragraphs at either end of what it
    // inserts; the whole ones between come wrapped to the page already.
    std::string coupees;
    std::size_t debut = 0;
    for (std::size_t i = 0; i <= cellules.size(); ++i) {
        if (i < cellules.size() && cellules[i] != static_cast<char>(CR) && cellules[i] != static_cast<char>(FF)) continue;
        const std::string_view paragraphe = cellules.substr(debut, i - debut);
        if (debut == 0)
            coupees += paragraphe;
        else
            coupees += CoupeParagraphe(paragraphe, doc_.format().cpl);
        if (i < cellules.size()) coupees += cellules[i];
        debut = i + 1;
    }
    const std::int32_t pos = positionCurseur();
    placeCurseurPosition(doc_.remplace(pos, pos, coupees));
}

void EditeurBraille::finParagraphe() {
    if (selectionValide()) supprimeSelection();
    std::int32_t pos = positionCurseur();
    // A paragraph end never separates a prefix from its sign.
    if (!sixTouches_)
        while (pos >= 2 && prefixeCache(doc_, pos - 1)) --pos;
    placeCurseurPosition(doc_.remplace(pos, pos, "\r"));
}

void EditeurBraille::sautDePage() {
    if (selectionValide()) supprimeSelection();
    std::int32_t pos = positionCurseur();
    while (pos >= 2 && prefixeCache(doc_, pos - 1)) --pos;
    const Octet b = doc_.octet(pos);
    const bool remplaceFin = b == CR || b == LF || b == VT;
    placeCurseurPosition(doc_.remplace(pos, remplaceFin ? pos + 1 : pos, "\f"));
    annonceVue(std::max(1, premiereLigne_ - 1), premiereLigne_ + doc_.lignesParPage() - 1);
}

// ---- Caret moves ------------------------------------------------------------

void EditeurBraille::deplaceCurseur(std::int32_t position, bool maj) {
    const std::int32_t avant = positionCurseur();
    // The fixed end of a keyboard selection: where the first Shift move
    // started, on either side of the caret; a selection made otherwise is
    // extended from its start.
    std::int32_t ancre = avant;
    if (!sansSelection())
        ancre = debutSelection_ == selectionClavier_[0] && finSelection_ == selectionClavier_[1] ? ancre_ : debutSelection_;
    placeCurseurPosition(position);
    if (!maj) {
        annuleSelection();
        return;
    }
    // The selection holds the bytes between the anchor and the caret.
    if (ancre < position)
        selectionne(ancre, position - 1);
    else if (position < ancre)
        selectionne(position, ancre - 1);
    else
        annuleSelection();
    ancre_ = ancre;
    selectionClavier_[0] = debutSelection_;
    selectionClavier_[1] = finSelection_;
}

void EditeurBraille::gauche(bool maj) { deplaceCurseur(positionGauche(doc_, positionCurseur()), maj); }
void EditeurBraille::droite(bool maj) { deplaceCurseur(positionDroite(doc_, positionCurseur()), maj); }

void EditeurBraille::haut(bool maj) {
    const Point p{curseur_.colonne, std::max(1, curseur_.ligne - 1)};
    deplaceCurseur(debutUnite(doc_, std::max(1, doc_.positionDe(p))), maj);
}

void EditeurBraille::bas(bool maj) {
    const Point p{curseur_.colonne, curseur_.ligne + 1};
    deplaceCurseur(debutUnite(doc_, std::max(1, doc_.positionDe(p))), maj);
}

// ---- Deletion ---------------------------------------------------------------

void EditeurBraille::supprime() {
    if (selectionValide()) {
        supprimeSelection();
        return;
    }
    std::int32_t p = positionCurseur();
    const std::int32_t len = doc_.longueur();
    // Just before a cut: the cell after it (the re-wrap places the cut again).
    while (p <= len && doc_.octet(p) == VT) ++p;
    if (p > len) return;
    std::int32_t n = 1;
    if (suite(doc_, p, POUR_MILLE) || suite(doc_, p, "^me")) {
        n = 3;
    } else if (suite(doc_, p, EME)) {
        n = 4;
    } else if (prefixeCache(doc_, p)) {
        n = 2;
    } else if (p > 1 && prefixeCache(doc_, p - 1)) {
        --p;
        n = 2;
    } else if (signeDouble(doc_, p)) {
        n = 2;
    }
    placeCurseurPosition(doc_.remplace(p, std::min(p + n, len + 1), ""));
}

void EditeurBraille::recule() {
    std::int32_t p = positionCurseur();
    if (p <= 1) return;
    // Just after a cut: the cell before it.
    do p = positionGauche(doc_, p);
    while (p > 1 && doc_.octet(p) == VT);
    if (doc_.octet(p) == VT) return;  // nothing but cuts before the caret
    annuleSelection();
    placeCurseurPosition(p);
    supprime();
}

// ---- Buttons ----------------------------------------------------------------

void EditeurBraille::signeMajuscule() {
    const std::int32_t p = positionCurseur();
    auto majuscule = [this](std::int32_t i) { return doc_.octet(i) == SIGNE_MAJUSCULE; };
    if (p >= 3 && majuscule(p - 2) && majuscule(p - 1))
        placeCurseurPosition(doc_.remplace(p - 2, p, ""));
    else if (p >= 2 && majuscule(p - 1) && majuscule(p))
        placeCurseurPosition(doc_.remplace(p - 1, p + 1, ""));
    else if (majuscule(p) && majuscule(p + 1))
        placeCurseurPosition(doc_.remplace(p, p + 2, ""));
    else
        insereCaractere(SIGNE_MAJUSCULE);
}

void EditeurBraille::signeNumerique() {
    const std::int32_t p = positionCurseur();
    if (doc_.octet(p - 1) == SIGNE_NUMERIQUE)
        placeCurseurPosition(doc_.remplace(p - 1, p, ""));
    else if (doc_.octet(p) == SIGNE_NUMERIQUE)
        placeCurseurPosition(doc_.remplace(p, p + 1, ""));
    else
        insereCaractere(SIGNE_NUMERIQUE);
}

std::int32_t EditeurBraille::basculeEvidence(std::int32_t q) {
    if (doc_.octet(q) == SIGNE_EVIDENCE) return doc_.remplace(q, q + 1, "");
    if (apresSeparateur(q)) {
        const char signe = static_cast<char>(SIGNE_EVIDENCE);
        return doc_.remplace(q, q, std::string_view(&signe, 1));
    }
    return 0;
}

void EditeurBraille::miseEnEvidence() {
    if (sansSelection()) {
        // Typing goes on after a sign just put in.
        const std::int32_t q = positionCurseur();
        const bool ajoute = doc_.octet(q) != SIGNE_EVIDENCE;
        const std::int32_t apres = basculeEvidence(q);
        if (ajoute && apres > 0) placeCurseurPosition(apres);
        return;
    }
    if (selectionValide()) {
        // Each word of the selection toggles its sign, in one change: a word
        // start follows a separator, never a cut (VT) inside a word, and a
        // separator itself starts no word (no sign before a space).
        const std::int32_t debut = debutSelection_, fin = finSelection_;
        const std::string avant = doc_.sousChaine(debut, fin - debut + 1);
        std::string apres;
        apres.reserve(avant.size() + avant.size() / 4);
        bool debutMot = apresSeparateur(debut);
        for (char c : avant) {
            const Octet b = oct(c);
            if (b == VT) {
                apres += c;
                continue;
            }
            if (debutMot && !estSeparateur(b)) {
                debutMot = false;
                if (b == SIGNE_EVIDENCE) continue;
                apres += static_cast<char>(SIGNE_EVIDENCE);
            }
            apres += c;
            debutMot = estSeparateur(b);
        }
        if (apres != avant) doc_.remplace(debut, fin + 1, apres);
    }
    annuleSelection();
}

void EditeurBraille::marqueParagraphe(std::uint8_t kind) {
    const std::int32_t p = positionCurseur();
    const std::int32_t debut = doc_.debutParagraphe(p);
    const std::int32_t fin = doc_.finParagraphe(p) - 1;
    doc_.marqueParagraphe(debut, fin, kind, kind == MARQUEUR_INDENTATION ? doc_.format().indentation : 0);
    annuleSelection();
    annonceVue(premiereLigne_, premiereLigne_ + doc_.lignesParPage() - 1);
    placeCurseur(curseur_);
}

// ---- Selection and clipboard ------------------------------------------------

void EditeurBraille::supprimeSelection() {
    if (!selectionValide()) {
        annuleSelection();
        return;
    }
    const std::int32_t debut = debutSelection_, fin = finSelection_;
    const std::int32_t apres = doc_.remplace(debut, fin + 1, "");
    annuleSelection();
    placeCurseurPosition(apres);
}

std::string EditeurBraille::copieSelection() {
    if (!selectionValide()) return {};
    const std::string octets = doc_.sousChaine(debutSelection_, finSelection_ - debutSelection_ + 1);
    std::string texte =
        tousLesSignes_ ? BrailleBrut(octets) : BrailleVersNoir(octets, &doc_.marqueurs(), debutSelection_ - 1);
    return texte;
}

// ---- Mouse ------------------------------------------------------------------

std::int32_t EditeurBraille::positionSousPointeur(std::int32_t x, std::int32_t y, const GeometriePage& g) const {
    if (doc_.longueur() == 0) return 1;
    // Integer division truncates toward zero, as the pixel arithmetic does.
    // The row stays on the page shown, even below a page ended by a break.
    const std::int32_t ligneVue = std::clamp((y - g.margeHaut) / std::max(1, g.hauteurLigne) + premiereLigne_,
                                             premiereLigne_, doc_.derniereLigneDePage(premiereLigne_));
    const Tligne l = doc_.ligne(ligneVue);
    const std::int32_t taille = l.fin - l.debut + 1;
    const std::int32_t pas = std::max(1, g.pas);
    std::int32_t col = (x - pas) / pas + 1;
    col -= decalageLigne(doc_, l.debut, taille);
    // Left of the first cell: the start of the line.
    col = std::clamp(col, 1, std::max(1, taille + 1));
    return std::max(1, doc_.positionDe({col, ligneVue}));
}

void EditeurBraille::sourisEnfoncee(std::int32_t position) {
    annuleSelection();
    debutSelection_ = position;
    finSelection_ = 0;
    annonceSelection();
}

void EditeurBraille::sourisDeplacee(std::int32_t position) {
    if (debutSelection_ < 1) return;
    const std::int32_t ancienneFin = finSelection_;
    // The byte under the pointer is not taken: a drag within one cell selects nothing.
    finSelection_ = position - 1;
    // Only the band between the press, the previous end and the pointer.
    const std::int32_t avant = ancienneFin >= 1 ? ancienneFin : debutSelection_;
    const std::int32_t a = std::min({debutSelection_, avant, position});
    const std::int32_t b = std::max({debutSelection_, avant, position});
    annonceVue(doc_.pointDe(a).ligne, doc_.pointDe(b).ligne);
    annonceSelection();
}

void EditeurBraille::sourisRelachee(std::int32_t position) { placeCurseurPosition(position); }

}  // namespace dotavob
