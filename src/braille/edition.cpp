// The editing engine: what keys, buttons and the mouse do to the document.
// Every change goes through `remplace`.
#include <algorithm>

#include "braille/document.h"
#include "editing/transcription.h"

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

constexpr std::string_view POUR_MILLE = "\xB4\xF3\xF3";
constexpr std::string_view EME = "^\xE8me";

}  // namespace

// ---- Units the caret never splits ----------------------------------------

bool DocumentBraille::prefixeCache(std::int32_t i) const {
    const Octet k = codePrefixe(octet(i));
    if (k == AUCUNE_CELLULE || i < 1) return false;
    if (k == 1 || k == 3 || k == 5 || k == 7) return true;
    return i < longueur() && estSigneSpecial(octet(i + 1));
}

bool DocumentBraille::signeDouble(std::int32_t i) const {
    if (i < 1 || i >= longueur()) return false;
    const char deux[2] = {static_cast<char>(octet(i)), static_cast<char>(octet(i + 1))};
    return estDebutSigneDouble(1, std::string_view(deux, 2));
}

bool DocumentBraille::suite(std::int32_t p, std::string_view octets) const {
    if (p < 1 || p + static_cast<std::int32_t>(octets.size()) - 1 > longueur()) return false;
    for (std::size_t k = 0; k < octets.size(); ++k)
        if (octet(p + static_cast<std::int32_t>(k)) != oct(octets[k])) return false;
    return true;
}

// Length of per mille and of the superscript endings that the caret jumps.
std::int32_t DocumentBraille::longueurUniteSimple(std::int32_t p) const {
    if (suite(p, POUR_MILLE) || suite(p, "^me") || suite(p, "^re") || suite(p, "^er")) return 3;
    if (suite(p, "^e") || suite(p, "^\xEE")) return 2;
    return 1;
}

std::int32_t DocumentBraille::positionGauche(std::int32_t p) const {
    while (p > 1) {
        std::int32_t q = p - 1;
        // A prefix and its sign, or a base-first sign, are stepped over whole.
        if (q > 1 && (prefixeCache(q - 1) || signeDouble(q - 1))) {
            p = q;
            continue;
        }
        if (p > 3 && longueurUniteSimple(p - 3) == 3)
            q = p - 3;
        else if (p > 2 && longueurUniteSimple(p - 2) == 2)
            q = p - 2;
        // Prefixes before a sign of several bytes belong to it too.
        while (q > 1 && prefixeCache(q - 1)) --q;
        return q;
    }
    return p;
}

std::int32_t DocumentBraille::positionDroite(std::int32_t p) const {
    const std::int32_t len = longueur();
    if (p > len) return p;
    // Prefixes in a row (two capital signs, emphasis then capital) all belong
    // to the sign after them, which may itself take several bytes.
    std::int32_t r = p;
    while (r <= len && prefixeCache(r)) ++r;
    if (r > len) return len + 1;
    const std::int32_t unite = longueurUniteSimple(r) > 1 ? longueurUniteSimple(r) : signeDouble(r) ? 2 : 1;
    return std::min(r + unite, len + 1);
}

std::int32_t DocumentBraille::debutUnite(std::int32_t p) const {
    for (bool change = true; change;) {
        change = false;
        if (p > 1 && (prefixeCache(p - 1) || signeDouble(p - 1))) {
            --p;
            change = true;
            continue;
        }
        for (std::int32_t debut = p - 1; debut >= std::max(1, p - 2); --debut)
            if (longueurUniteSimple(debut) > p - debut) {
                p = debut;
                change = true;
                break;
            }
    }
    return p;
}

// ---- Keys -------------------------------------------------------------------

void DocumentBraille::toucheEnfoncee(int touche) {
    if (sixTouches_ && estToucheDePoint(touche)) accord_ |= bitDePoint(touche);
}

void DocumentBraille::toucheRelachee(int touche, bool maj, bool ctrl) {
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

void DocumentBraille::caractereFrappe(Octet c) {
    if (sixTouches_ && c != ' ') return;
    if (c > 31) insereCaractere(normaliseGuillemets(c));
}

void DocumentBraille::modeSixTouches(bool on) {
    sixTouches_ = on;
    tousLesSignes_ = on;
    accord_ = 0;
}

// ---- Typing -----------------------------------------------------------------

bool DocumentBraille::dansNombre(std::int32_t p) const {
    for (std::int32_t i = p - 1; i >= 1; --i) {
        const Octet b = octet(i);
        if (codePrefixe(b) == 1) return true;
        if (estSeparateur(b) && operateurDeCaractere(b) == 0) return false;
    }
    return false;
}

void DocumentBraille::insereCaractere(Octet c) {
    if (selectionValide()) supprimeSelection();
    const std::int32_t pos = positionCurseur();
    std::string ins;
    if (sixTouches_) {
        ins += static_cast<char>(c);
    } else if (estMajuscule(c) && !estPrefixe(c)) {
        const Octet avant = octet(pos - 1);
        if (pos == 1 || estSeparateur(avant) || estGuillemet(avant) || avant == '\'')
            ins += static_cast<char>(SIGNE_MAJUSCULE);
        ins += static_cast<char>(enMinuscule(c));
    } else if (estChiffre(c)) {
        if (octet(pos - 1) == SIGNE_EXPOSANT) {
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
    placeCurseurPosition(remplace(pos, pos, ins));
}

void DocumentBraille::insereNoir(std::string_view noir) {
    const std::int32_t pos = positionCurseur();
    const std::string braille = Transcrire(noir, curseur_.colonne, format_.cpl);
    placeCurseurPosition(remplace(pos, pos, braille));
}

void DocumentBraille::finParagraphe() {
    if (selectionValide()) supprimeSelection();
    std::int32_t pos = positionCurseur();
    // A paragraph end never separates a prefix from its sign.
    if (!sixTouches_)
        while (pos >= 2 && prefixeCache(pos - 1)) --pos;
    placeCurseurPosition(remplace(pos, pos, "\r"));
}

void DocumentBraille::sautDePage() {
    if (selectionValide()) supprimeSelection();
    std::int32_t pos = positionCurseur();
    while (pos >= 2 && prefixeCache(pos - 1)) --pos;
    const Octet b = octet(pos);
    const bool remplaceFin = b == CR || b == LF || b == VT;
    placeCurseurPosition(remplace(pos, remplaceFin ? pos + 1 : pos, "\f"));
    annonceLignes(std::max(1, premiereLigne_ - 1), premiereLigne_ + lignesParPage() - 1);
}

// ---- Caret moves ------------------------------------------------------------

void DocumentBraille::deplaceCurseur(std::int32_t position, bool maj) {
    const std::int32_t avant = positionCurseur();
    if (maj && debutSelection_ == 0) debutSelection_ = avant;
    const std::int32_t ancre = debutSelection_;
    placeCurseurPosition(position);
    if (!maj) {
        annuleSelection();
        return;
    }
    // The selection runs from where it started to the byte before the caret.
    if (ancre < position)
        selectionne(ancre, position - 1);
    else
        annuleSelection();
}

void DocumentBraille::gauche(bool maj) { deplaceCurseur(positionGauche(positionCurseur()), maj); }
void DocumentBraille::droite(bool maj) { deplaceCurseur(positionDroite(positionCurseur()), maj); }

void DocumentBraille::haut(bool maj) {
    const Point p{curseur_.colonne, std::max(1, curseur_.ligne - 1)};
    deplaceCurseur(debutUnite(std::max(1, positionDe(p))), maj);
}

void DocumentBraille::bas(bool maj) {
    const Point p{curseur_.colonne, curseur_.ligne + 1};
    deplaceCurseur(debutUnite(std::max(1, positionDe(p))), maj);
}

// ---- Deletion ---------------------------------------------------------------

void DocumentBraille::supprime() {
    if (selectionValide()) {
        supprimeSelection();
        return;
    }
    std::int32_t p = positionCurseur();
    const std::int32_t len = longueur();
    if (p > len) return;
    std::int32_t n = 1;
    if (suite(p, POUR_MILLE) || suite(p, "^me")) {
        n = 3;
    } else if (suite(p, EME)) {
        n = 4;
    } else if (prefixeCache(p)) {
        n = 2;
    } else if (p > 1 && prefixeCache(p - 1)) {
        --p;
        n = 2;
    } else if (signeDouble(p)) {
        n = 2;
    }
    placeCurseurPosition(remplace(p, std::min(p + n, len + 1), ""));
}

void DocumentBraille::recule() {
    if (positionCurseur() <= 1) return;
    gauche(false);
    supprime();
}

// ---- Buttons ----------------------------------------------------------------

void DocumentBraille::signeMajuscule() {
    const std::int32_t p = positionCurseur();
    auto majuscule = [this](std::int32_t i) { return octet(i) == SIGNE_MAJUSCULE; };
    if (p >= 3 && majuscule(p - 2) && majuscule(p - 1))
        placeCurseurPosition(remplace(p - 2, p, ""));
    else if (p >= 2 && majuscule(p - 1) && majuscule(p))
        placeCurseurPosition(remplace(p - 1, p + 1, ""));
    else if (majuscule(p) && majuscule(p + 1))
        placeCurseurPosition(remplace(p, p + 2, ""));
    else
        insereCaractere(SIGNE_MAJUSCULE);
}

void DocumentBraille::signeNumerique() {
    const std::int32_t p = positionCurseur();
    if (octet(p - 1) == SIGNE_NUMERIQUE)
        placeCurseurPosition(remplace(p - 1, p, ""));
    else if (octet(p) == SIGNE_NUMERIQUE)
        placeCurseurPosition(remplace(p, p + 1, ""));
    else
        insereCaractere(SIGNE_NUMERIQUE);
}

std::int32_t DocumentBraille::basculeEvidence(std::int32_t q) {
    if (octet(q) == SIGNE_EVIDENCE) return remplace(q, q + 1, "");
    if (q == 1 || estSeparateur(octet(q - 1))) {
        const char signe = static_cast<char>(SIGNE_EVIDENCE);
        return remplace(q, q, std::string_view(&signe, 1));
    }
    return 0;
}

void DocumentBraille::miseEnEvidence() {
    if (sansSelection()) {
        // Typing goes on after a sign just put in.
        const std::int32_t q = positionCurseur();
        const bool ajoute = octet(q) != SIGNE_EVIDENCE;
        const std::int32_t apres = basculeEvidence(q);
        if (ajoute && apres > 0) placeCurseurPosition(apres);
        return;
    }
    if (selectionValide()) {
        // From the end backwards, so that the positions still to visit stay valid.
        // A separator itself starts no word: no emphasis sign before a space.
        for (std::int32_t q = finSelection_; q >= debutSelection_; --q)
            if ((q == 1 || estSeparateur(octet(q - 1))) && !estSeparateur(octet(q))) basculeEvidence(q);
    }
    annuleSelection();
}

void DocumentBraille::marqueParagraphe(std::uint8_t kind) {
    const std::int32_t p = positionCurseur();
    const std::int32_t debut = debutParagraphe(p);
    const std::int32_t fin = finParagraphe(p) - 1;
    marqueurs_.Ajoute(debut, fin, kind, kind == MARQUEUR_INDENTATION ? format_.indentation : 0);
    annuleSelection();
    modifie_ = true;
    annonceLignes(premiereLigne_, premiereLigne_ + lignesParPage() - 1);
    placeCurseur(curseur_);
}

// ---- Selection and clipboard ------------------------------------------------

void DocumentBraille::supprimeSelection() {
    if (!selectionValide()) {
        annuleSelection();
        return;
    }
    const std::int32_t debut = debutSelection_, fin = finSelection_;
    const std::int32_t apres = remplace(debut, fin + 1, "");
    annuleSelection();
    placeCurseurPosition(apres);
}

std::string DocumentBraille::copieSelection() {
    if (!selectionValide()) return {};
    const std::string octets = sousChaine(debutSelection_, finSelection_ - debutSelection_ + 1);
    std::string texte =
        tousLesSignes_ ? BrailleBrut(octets) : BrailleVersNoir(octets, &marqueurs_, debutSelection_ - 1);
    if (pressePapiers_) pressePapiers_->metTexte(texte);
    return texte;
}

void DocumentBraille::coupeSelection() {
    if (!selectionValide()) return;
    copieSelection();
    supprimeSelection();
}

// ---- Mouse ------------------------------------------------------------------

std::int32_t DocumentBraille::positionSousPointeur(std::int32_t x, std::int32_t y, const GeometriePage& g) const {
    if (longueur() == 0) return 1;
    const std::int32_t n = lignesParPage();
    // Integer division truncates toward zero, as the pixel arithmetic does.
    const std::int32_t ligneVue =
        std::clamp((y - g.margeHaut) / std::max(1, g.hauteurLigne) + premiereLigne_, premiereLigne_,
                   premiereLigne_ + n - 1);
    const Tligne l = ligne(ligneVue);
    const std::int32_t taille = l.fin - l.debut + 1;
    const std::int32_t pas = std::max(1, g.pas);
    std::int32_t col = (x - pas) / pas + 1;
    if (marqueurs_.DansMarqueur(l.debut, MARQUEUR_CENTRE))
        col -= (format_.cpl - taille) / 2;
    else
        col -= marqueurs_.IndentationEn(l.debut);
    // Left of the first cell: the start of the line.
    col = std::clamp(col, 1, std::max(1, taille + 1));
    return std::max(1, positionDe({col, ligneVue}));
}

void DocumentBraille::sourisEnfoncee(std::int32_t position) {
    annuleSelection();
    debutSelection_ = position;
    finSelection_ = 0;
    for (auto* o : observateurs_) o->selectionModifiee(debutSelection_, finSelection_);
}

void DocumentBraille::sourisDeplacee(std::int32_t position) {
    if (debutSelection_ < 1) return;
    const std::int32_t ancienneFin = finSelection_;
    // The byte under the pointer is not taken: a drag within one cell selects nothing.
    finSelection_ = position - 1;
    const std::int32_t a = std::min({debutSelection_, std::max(ancienneFin, 1), position});
    const std::int32_t b = std::max({debutSelection_, ancienneFin, position});
    annonceLignes(pointDe(a).ligne, pointDe(b).ligne);
    for (auto* o : observateurs_) o->selectionModifiee(debutSelection_, finSelection_);
}

void DocumentBraille::sourisRelachee(std::int32_t position) { placeCurseurPosition(position); }

}  // namespace dotavob
