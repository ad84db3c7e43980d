#include "core/editeur/grillecodes.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "core/editeur/editeur.h"

using namespace dotavob;

namespace dotavob {
void PrintTo(const CaseGrille& c, std::ostream* os) { *os << "(" << c.colonne << ", " << c.rang << ")"; }
}  // namespace dotavob

namespace {

// The cells a byte string shows, as the preview draws them.
std::vector<int> cellules(const std::string& octets) {
    std::vector<int> r;
    for (char c : octets) r.push_back(cellule(oct(c)) & 63);
    return r;
}

// What typing `texte` byte by byte through insereCaractere adds after
// `avant`, in the print keyboard mode.
std::string tapeApres(const std::string& avant, const std::string& texte) {
    FormatPage format;
    DocumentBraille doc{format};
    EditeurBraille ed{doc};
    ed.initialise(avant);
    ed.placeCurseur(doc.pointDe(doc.longueur() + 1));
    for (char c : texte) ed.insereCaractere(oct(c));
    return doc.texte().substr(avant.size());
}

}  // namespace

TEST(GrilleCodes, Metriques) {
    // A, B, My, Mx, Gy, Gx, d, font height, preview height, the second column and the second and third
    // lines of dots; at 253, B x 0.3 = 4.5 goes to the even 4.
    for (auto [largeur, attendu] : {std::pair{472, std::tuple(21, 29, 9, 55, 16, 59, 7, 28, 43, 14, 11, 22)},
                                    {253, {11, 15, 4, 29, 8, 31, 4, 14, 22, 7, 5, 11}}}) {
        const GrilleCodes g = GrilleCodes::calcule(largeur);
        const GeometrieBraille c = g.geometrieCellule();
        EXPECT_EQ(std::tuple(g.A, g.B, g.My, g.Mx, g.Gy, g.Gx, g.d, g.hauteurFonte, g.hauteurApercu, c.colonnesPoints[1],
                             c.lignesPoints[1], c.lignesPoints[2]),
                  attendu);
    }
    const GrilleCodes g = GrilleCodes::calcule(472);
    // The first row and the last two stand apart, a line in the middle of each wider gap.
    EXPECT_EQ((std::vector<int>{g.yRang(0), g.yRang(1), g.yRang(10), g.yRang(11), g.yRang(12), g.ySeparation(0),
                                g.ySeparation(1), g.xColonne(4)}),
              (std::vector<int>{9, 70, 475, 536, 581, 54, 520, 375}));
    EXPECT_EQ(g.boiteCaractere({1, 0}), (Rectangle{135 - 2 - 42, 0, 42, 47}));
    EXPECT_EQ(std::tuple(g.largeurApercu(1), g.largeurApercu(3), g.xApercu(2), g.yApercu()), std::tuple(31, 89, 63, 7));
}

TEST(GrilleCodes, CaseSousLePointeur) {
    const GrilleCodes g = GrilleCodes::calcule(472);
    const std::optional<CaseGrille> ignore;
    const CaseGrille aucune;
    const struct { int x, y; std::optional<CaseGrille> attendu; } cas[] = {
        {136, 10, CaseGrille{1, 0}},   {55, 71, CaseGrille{0, 1}}, {55 + 21, 71, CaseGrille{0, 1}},
        {55 + 22, 71, aucune},         {54, 71, aucune},           // the gap after the cell, left of column 0
        {136, 70, aucune},             // a row's top edge is outside
        {136, 590, CaseGrille{1, 12}}, {136, 620, aucune},
        {56, 10, ignore},              {455, 71, ignore},          // an empty slot of row 0, right of the last column
    };
    for (const auto& c : cas) EXPECT_EQ(g.caseSous(c.x, c.y), c.attendu) << c.x << ", " << c.y;
}

TEST(GrilleCodes, CellulesEtOctetsInseres) {
    // Every cell but the blank stands once in the grid.
    std::set<int> vues;
    for (int c = 0; c < COLONNES_GRILLE; ++c)
        for (int r = (c == 0 || c == 4) ? 1 : 0; r < RANGS_GRILLE; ++r) vues.insert(celluleGrille({c, r}));
    EXPECT_EQ(std::tuple(vues.size(), vues.count(0)), std::tuple(63u, 0u));
    EXPECT_EQ((std::vector<std::string>{pointsDe(celluleGrille({1, 0})), pointsDe(celluleGrille({1, 12}))}),
              (std::vector<std::string>{"3", "4 6"}));
    // The cells with bytes of their own: dots 6, 5, 56, 4, 46, 45, 456 and 3456.
    for (auto [c, octet] : {std::pair<Octet, Octet>{1, 0xF5}, {2, 0xDF}, {3, 0xDE}, {4, 0xDD}, {5, 0xD1}, {6, 0xF1}, {7, 0xBF}, {39, 0xFE}})
        EXPECT_EQ(octetDeCellule(c), octet) << int{c};
    // Whatever the cell, what is inserted in print mode is that one cell.
    for (int x = 1; x < 64; ++x)
        EXPECT_EQ(cellules(tapeApres("", std::string(1, char(octetDeCellule(static_cast<Octet>(x)))))), std::vector<int>{x}) << x;
}

TEST(GrilleCodes, DeplacementAuClavier) {
    const struct { CaseGrille depuis; int dc, dr; CaseGrille attendu; } cas[] = {
        {{}, 1, 0, {0, 1}},  // nothing yet: the first letter
        {{2, 5}, 1, 0, {3, 5}}, {{1, 1}, 0, -1, {1, 0}},
        {{0, 1}, 0, -1, {0, 1}}, {{3, 0}, 1, 0, {3, 0}}, {{4, 12}, 1, 1, {4, 12}},  // an empty slot or an edge stops it
    };
    for (const auto& c : cas) EXPECT_EQ(deplaceCase(c.depuis, c.dc, c.dr), c.attendu);
}

TEST(EtiquettesCodes, TableDesSignes) {
    const auto& t = etiquettesCodes();
    std::set<int> tags;
    std::set<std::pair<int, int>> places;
    for (const EtiquetteCode& e : t) {
        EXPECT_TRUE(places.insert({e.ligne, e.place}).second) << e.legende;
        if (e.tag != 0) {
            EXPECT_TRUE(tags.insert(e.tag).second && e.tag >= 16 && e.tag <= 56) << e.tag;
            continue;
        }
        // A capital is typed as such and previewed as the capital sign and its small letter.
        EXPECT_EQ(e.apercu, std::string({char(SIGNE_MAJUSCULE), char(enMinuscule(oct(e.insere.at(0))))}));
        EXPECT_EQ(e.nom, e.legende + " majuscule");
    }
    EXPECT_EQ(std::tuple(t.size(), tags.size()), std::tuple(53u, 39u));
}

TEST(EtiquettesCodes, DeplacementAuClavier) {
    const auto& t = etiquettesCodes();
    auto indice = [&t](const char* legende, int ligne) {
        return static_cast<std::size_t>(std::find_if(t.begin(), t.end(), [&](auto& e) {
                                            return e.legende == legende && e.ligne == ligne;
                                        }) - t.begin());
    };
    const struct { const char* depuis; int ligne, dPlace, dLigne; const char* vers; } cas[] = {
        {"À", 1, 1, 0, "Â"}, {"À", 1, -1, 0, "À"}, {"À", 1, 0, -1, "À"},  // the first sign: only right or down
        {"À", 1, 0, 1, "Ô"}, {"Ï", 1, 0, 1, "œ"},                          // the nearest sign below
        {"Ï", 1, 1, 0, "Ô"},                                               // reading order goes on to the next line
        {"ð", 7, 1, 0, "ð"}, {"ð", 7, 0, 1, "ð"},                          // the last one stays
    };
    for (const auto& c : cas)
        EXPECT_EQ(t.at(etiquetteVoisine(indice(c.depuis, c.ligne), c.dPlace, c.dLigne)).legende, c.vers) << c.depuis;
    // Down then up comes back to the line it left, from every sign of lines 1 to 6.
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].ligne < 7) { EXPECT_EQ(t[etiquetteVoisine(etiquetteVoisine(i, 0, 1), 0, -1)].ligne, t[i].ligne); }
}

TEST(EtiquettesCodes, ApercuCeQueLEditeurInsere) {
    // Each sign typed into a document gives the cells its preview shows.
    // The math brackets are read as such only inside a number (after "1").
    for (const EtiquetteCode& e : etiquettesCodes()) {
        const bool math = e.tag == 23 || e.tag == 24;
        EXPECT_EQ(cellules(tapeApres(math ? tapeApres("", "1") : "", e.insere)), cellules(e.apercu))
            << e.legende << " (" << e.tag << ")";
    }
    // Outside a number they come out as the literary brackets.
    const auto& t = etiquettesCodes();
    auto apercu = [&t](int tag) { return std::find_if(t.begin(), t.end(), [tag](auto& e) { return e.tag == tag; })->apercu; };
    for (auto [litteraire, signe] : {std::pair{30, "["}, {31, "]"}})
        EXPECT_EQ(cellules(tapeApres("", signe)), cellules(apercu(litteraire))) << signe;
}
