#include "core/editeur/geometrie.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(Geometrie, CellulesEtPoints) {
    // 31 cells per line on a page 330 pixels wide.
    const GeometrieBraille g = GeometrieBraille::calcule(467, 31, 20, 8);
    EXPECT_EQ(g.largeurPage, 330);
    EXPECT_EQ(g.largeurCellule, 6);
    EXPECT_EQ(g.ecart, 3);
    EXPECT_EQ(g.pas, 9);
    EXPECT_EQ(g.taillePoint, 2);
    EXPECT_EQ(g.hauteurCellule, 13);
    EXPECT_EQ(g.xCellule(0), 9);
    EXPECT_EQ(g.yLigne(2), 48);
    // Dots 1 2 3 down the left column, 4 5 6 down the right one.
    const struct { int bit, dx, dy; } points[] = {{3, 0, 0}, {4, 0, 5}, {5, 0, 11}, {2, 4, 0}, {1, 4, 5}, {0, 4, 11}};
    for (auto p : points) {
        std::int32_t dx = -1, dy = -1;
        g.positionPoint(p.bit, dx, dy);
        EXPECT_EQ(dx, p.dx) << p.bit;
        EXPECT_EQ(dy, p.dy) << p.bit;
    }
    // Halves round to even: 2.5 gives 2.
    EXPECT_EQ(GeometrieBraille::calcule(297 * 5 / 2 + 3, 50, 10, 0).hauteurCellule, 6);
}
