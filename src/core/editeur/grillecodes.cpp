#include "core/editeur/grillecodes.h"

#include <algorithm>
#include <cmath>

namespace dotavob {
namespace {

// A capital: inserted as typed, previewed as the capital sign and its small letter.
EtiquetteCode majuscule(int ligne, int place, Octet lettre) {
    EtiquetteCode e;
    e.ligne = ligne;
    e.place = place;
    e.legende = cp1252VersUtf8(std::string(1, static_cast<char>(lettre)));
    e.insere = std::string(1, static_cast<char>(lettre));
    e.apercu = std::string{static_cast<char>(SIGNE_MAJUSCULE), static_cast<char>(enMinuscule(lettre))};
    e.nom = e.legende + " majuscule";
    return e;
}

EtiquetteCode signe(int ligne, int place, int tag, std::string legende, std::string insere, std::string apercu,
                    std::string nom, int taille = 23) {
    EtiquetteCode e;
    e.ligne = ligne;
    e.place = place;
    e.tag = tag;
    e.legende = std::move(legende);
    e.insere = std::move(insere);
    e.apercu = std::move(apercu);
    e.nom = std::move(nom);
    e.taille = taille;
    return e;
}

EtiquetteCode exposant(int place, int tag, std::string support, std::string legende, std::string insere,
                       std::string nom) {
    EtiquetteCode e = signe(4, place, tag, std::move(legende), insere, insere, std::move(nom), 16);
    e.support = std::move(support);
    return e;
}

std::vector<EtiquetteCode> construitEtiquettes() {
    constexpr int grand = 28;  // signs that Arial draws small
    std::vector<EtiquetteCode> t;
    const Octet ligne1[] = {0xC0, 0xC2, 0xC8, 0xC9, 0xCA, 0xCB, 0xCE, 0xCF};
    for (int i = 0; i < 8; ++i) t.push_back(majuscule(1, i, ligne1[i]));
    const Octet ligne2[] = {0xD4, 0x8C, 0xD9, 0xDB, 0xDC, 0xC7};
    for (int i = 0; i < 6; ++i) t.push_back(majuscule(2, i, ligne2[i]));
    t.push_back(signe(2, 6, 16, "œ", "\x9C", "\x9C", "e dans l'o"));

    t.push_back(signe(3, 0, 17, "+", "+", "!", "plus", grand));
    t.push_back(signe(3, 1, 18, "-", "-", "-", "moins", grand));
    t.push_back(signe(3, 2, 19, "×", "\xD7", "\xD7", "multiplié par", grand));
    t.push_back(signe(3, 3, 20, "÷", "\xF7", ":", "divisé par", grand));
    t.push_back(signe(3, 4, 21, "=", "=", "\"", "égal", grand));
    t.push_back(signe(3, 5, 22, "/", "/", "/", "barre oblique", grand));
    t.push_back(signe(3, 6, 23, "[", "[", "\xE0", "crochet ouvrant mathématique", grand));
    t.push_back(signe(3, 7, 24, "]", "]", "\xF9", "crochet fermant mathématique", grand));

    t.push_back(exposant(0, 25, "x", "³", "^\xEE", "exposant 3"));
    t.push_back(exposant(1, 26, "2", "me", "^me", "exposant m e"));
    t.push_back(exposant(2, 27, "2", "e", "^e", "exposant e"));
    t.push_back(exposant(3, 28, "1", "er", "^er", "exposant e r"));
    t.push_back(exposant(4, 29, "1", "re", "^re", "exposant r e"));
    t.push_back(signe(4, 5, 30, "[", "[", "\xA4(", "crochet ouvrant littéraire", grand));
    t.push_back(signe(4, 6, 31, "]", "]", ")b", "crochet fermant littéraire", grand));
    t.push_back(signe(4, 7, 32, "@", "@", "\xE4", "arobase"));

    t.push_back(signe(5, 0, 33, "©", "\xA9", "\xB4" "c", "copyright"));
    t.push_back(signe(5, 1, 34, "°", "\xB0", "\xB4o", "degré"));
    t.push_back(signe(5, 2, 35, "§", "\xA7", "\xB4p", "paragraphe"));
    t.push_back(signe(5, 3, 36, "®", "\xAE", "\xB4r", "marque déposée"));
    t.push_back(signe(5, 4, 37, "&", "&", "\xB4\xE9", "et commercial"));
    t.push_back(signe(5, 5, 38, "<", "<", "\xB4\xEA", "inférieur à"));
    t.push_back(signe(5, 6, 39, ">", ">", "\xB4\xE4", "supérieur à"));

    t.push_back(signe(6, 0, 41, "~", "~", "\xB4?", "tilde", grand));
    t.push_back(signe(6, 1, 42, "*", "*", "\xB4\xD7", "astérisque"));
    t.push_back(signe(6, 2, 43, "\\", "\\", "\xB4/", "barre oblique inverse"));
    t.push_back(signe(6, 3, 44, "#", "#", "\xB4" "0", "dièse"));
    t.push_back(signe(6, 4, 45, "%", "%", "\xB4\xF3", "pour cent"));
    t.push_back(signe(6, 5, 46, "‰", "\x89", "\xB4\xF3\xF3", "pour mille", grand));
    t.push_back(signe(6, 6, 47, "_", "\xAC", "\xB4-", "souligné"));

    t.push_back(signe(7, 0, 49, "€", "\x80", "\xA4\x80", "euro"));
    t.push_back(signe(7, 1, 50, "c", "c", "c", "centime d'euro"));
    t.push_back(signe(7, 2, 51, "¢", "\xA2", "\xA4\xA2", "cent"));
    t.push_back(signe(7, 3, 52, "£", "\xA3", "\xA4l", "livre"));
    t.push_back(signe(7, 4, 53, "$", "$", "\xA4s", "dollar"));
    t.push_back(signe(7, 5, 54, "¥", "\xA5", "\xA4y", "yen"));
    t.push_back(signe(7, 6, 55, "µ", "\xB5", "\xA4m", "lettre grecque mu"));
    t.push_back(signe(7, 7, 56, "ð", "\xF0", "\xA4p", "lettre eth"));
    t.back().times = true;
    return t;
}

}  // namespace

GrilleCodes GrilleCodes::calcule(std::int32_t largeur) {
    GrilleCodes g;
    g.A = arrondi(largeur / 23.0);
    g.B = arrondi(g.A * 1.4);
    g.hauteurFonte = 2 * (g.B / 2);
    g.hauteurApercu = 3 * g.B / 2;
    g.My = arrondi(g.B * 0.3);
    g.Mx = arrondi(g.A * 2.6);
    g.Gy = arrondi(g.B * 0.55);
    g.Gx = arrondi(g.A * 2.8);
    g.d = arrondi(g.A * 0.33);
    return g;
}

std::int32_t GrilleCodes::yRang(int rang) const {
    if (rang == 0) return My;
    return (B + Gy) * rang + My + (rang <= 10 ? Gy : 2 * Gy);
}

std::optional<CaseGrille> GrilleCodes::caseSous(std::int32_t x, std::int32_t y) const {
    CaseGrille c;
    for (int r = 0; r < RANGS_GRILLE; ++r)
        if (yRang(r) < y && y < yRang(r) + B) c.rang = r;
    // Left of the first column is a gap too (division truncates toward zero).
    const std::int32_t dx = x - Mx, pas = A + Gx;
    c.colonne = dx < 0 || dx % pas > A ? -1 : dx / pas;
    if (c.colonne >= COLONNES_GRILLE) return std::nullopt;
    if (c.rang == 0 && (c.colonne == 0 || c.colonne == COLONNES_GRILLE - 1)) return std::nullopt;
    if (!c.valide()) return CaseGrille{};
    return c;
}

Rectangle GrilleCodes::boiteCaractere(CaseGrille c) const {
    const std::int32_t droite = xColonne(c.colonne) - 2;
    return {droite - 2 * A, yRang(c.rang) - 9, 2 * A, 2 * B - B / 3 - 2};
}

GeometrieBraille GrilleCodes::geometrieCellule() const {
    GeometrieBraille g;
    g.largeurCellule = A;
    g.hauteurCellule = B;
    g.hauteurLigne = B;
    g.ecart = Gx;
    g.pas = A + Gx;
    g.taillePoint = d;
    g.placePoints();
    return g;
}

Octet celluleGrille(CaseGrille c) { return celluleDOrdre(RANGS_GRILLE * c.colonne + c.rang); }

CouleurPoints couleurPoints(CaseGrille c) {
    if (c.rang == 0) return CouleurPoints::Bleu;
    if (c.rang >= 11) return CouleurPoints::Vert;
    if (c.colonne == 0) return CouleurPoints::Rouge;
    return CouleurPoints::Noir;
}

Octet octetDeCellule(Octet cellule) {
    switch (cellule) {
        case 1: return 0xF5;   // dot 6
        case 2: return 0xDF;   // dot 5
        case 3: return 0xDE;   // dots 5 6
        case 4: return 0xDD;   // dot 4
        case 5: return 0xD1;   // dots 4 6
        case 6: return 0xF1;   // dots 4 5
        case 7: return 0xBF;   // dots 4 5 6
        case 39: return 0xFE;  // dots 3 4 5 6
        default: return caractere(cellule);
    }
}

std::string pointsDe(Octet cellule) {
    // Dots 1 2 3 are bits 3 4 5, dots 4 5 6 bits 2 1 0.
    constexpr int bit[6] = {3, 4, 5, 2, 1, 0};
    std::string r;
    for (int point = 1; point <= 6; ++point)
        if (cellule & (1 << bit[point - 1])) {
            if (!r.empty()) r += ' ';
            r += static_cast<char>('0' + point);
        }
    return r;
}

CaseGrille deplaceCase(CaseGrille depuis, int dColonne, int dRang) {
    if (!depuis.valide()) return {0, 1};
    const CaseGrille c{std::clamp(depuis.colonne + dColonne, 0, COLONNES_GRILLE - 1),
                       std::clamp(depuis.rang + dRang, 0, RANGS_GRILLE - 1)};
    if (c.rang == 0 && (c.colonne == 0 || c.colonne == COLONNES_GRILLE - 1)) return depuis;
    return c;
}

const std::vector<EtiquetteCode>& etiquettesCodes() {
    static const std::vector<EtiquetteCode> t = construitEtiquettes();
    return t;
}

std::size_t etiquetteVoisine(std::size_t i, int dPlace, int dLigne) {
    const auto& t = etiquettesCodes();
    if (i >= t.size()) return 0;
    if (dLigne == 0) {
        if (dPlace < 0) return i == 0 ? i : i - 1;
        return dPlace > 0 && i + 1 < t.size() ? i + 1 : i;
    }
    const int ligne = t[i].ligne + (dLigne < 0 ? -1 : 1);
    std::size_t meilleure = i;
    int ecart = 0;
    for (std::size_t j = 0; j < t.size(); ++j) {
        if (t[j].ligne != ligne) continue;
        const int e = std::abs(t[j].place - t[i].place);
        if (meilleure == i || e < ecart) {
            meilleure = j;
            ecart = e;
        }
    }
    return meilleure;
}

const std::vector<LegendeCode>& legendesCodes() {
    static const std::vector<LegendeCode> t = {
        {3, 6, 2, "(crochets math)"},  {4, 5, 2, "(crochets littéraire)"},
        {5, 1, 1, "(degré)"},          {6, 0, 1, "(tilde)"},
        {6, 1, 1, "(astérisque)"},     {6, 6, 1, "(souligné)"},
        {7, 0, 1, "(euro)"},           {7, 1, 1, "(centime d'euro)"},
        {7, 2, 1, "(cent)"},           {7, 3, 1, "(livre)"},
        {7, 4, 1, "(dollar)"},         {7, 5, 1, "(yen)"},
    };
    return t;
}

}  // namespace dotavob
