#include "core/editeur/apercu.h"
#include "core/editeur/geometrie.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace dotavob;

TEST(Geometrie, CellulesEtPoints) {
    // 31 cells per line on a page 330 pixels wide.
    const GeometrieBraille g = GeometrieBraille::calcule(467, 31, 20, 8);
    EXPECT_EQ(std::tuple(g.largeurPage, g.largeurCellule, g.ecart, g.pas, g.taillePoint, g.hauteurCellule, g.xCellule(0),
                         g.yLigne(2)),
              std::tuple(330, 6, 3, 9, 2, 13, 9, 48));
    // Dots 1 2 3 down the left column, 4 5 6 down the right one.
    const struct { int bit, dx, dy; } points[] = {{3, 0, 0}, {4, 0, 5}, {5, 0, 11}, {2, 4, 0}, {1, 4, 5}, {0, 4, 11}};
    for (auto p : points) {
        std::int32_t dx = -1, dy = -1;
        g.positionPoint(p.bit, dx, dy);
        EXPECT_EQ(std::pair(dx, dy), std::pair(p.dx, p.dy)) << p.bit;
    }
    // Halves round to even: 2.5 gives 2.
    EXPECT_EQ(GeometrieBraille::calcule(297 * 5 / 2 + 3, 50, 10, 0).hauteurCellule, 6);
}

TEST(Apercu, FeuilleDansLePanneau) {
    // A wide panel: the height limits the sheet, centred across; a tall one: the width, centred down.
    // Landscape turns the proportion.
    const struct { int largeur, hauteur; bool paysage; RectangleApercu attendu; } cas[] = {
        {1000, 410, false, {358, 5, 283, 400}}, {210, 1000, false, {5, 358, 200, 283}},
        {1000, 410, true, {217, 5, 566, 400}},  {410, 1000, true, {5, 358, 400, 283}},
    };
    for (const auto& c : cas)
        EXPECT_EQ(placeFeuille(c.largeur, c.hauteur, c.paysage), c.attendu) << c.largeur << "x" << c.hauteur << " " << c.paysage;
}

TEST(Apercu, PagesSurLaFeuille) {
    // A 1000 x 1400 sheet: margins 50 x 70, or 25 x 35 for each half.
    using R = RectangleApercu;
    const struct { bool paysage, noir, braille; std::optional<R> pageNoir, pageBraille, separateur; } cas[] = {
        {false, true, false, R{50, 70, 900, 1260}, {}, {}},
        {false, false, true, {}, R{50, 70, 900, 1260}, {}},
        {false, true, true, R{25, 35, 450, 630}, R{525, 35, 450, 630}, R{500, 35, 0, 630}},
        {true, true, false, R{250, 70, 500, 1260}, {}, {}},
        {true, true, true, R{25, 70, 450, 1260}, R{525, 70, 450, 1260}, R{500, 70, 0, 1260}},
        {true, false, false, {}, {}, {}},
    };
    for (const auto& c : cas) {
        const PagesFeuille p = placePages(1000, 1400, c.paysage, c.noir, c.braille);
        EXPECT_EQ(std::tie(p.noir, p.braille, p.separateur), std::tie(c.pageNoir, c.pageBraille, c.separateur))
            << c.paysage << c.noir << c.braille;
    }
}
