#include "interface/vuebraille.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "interface/couleurs.h"

using namespace dotavob;

namespace {

class PageBraille : public ::testing::Test {
protected:
    FormatPage format;
    DocumentBraille doc{format};
    EditeurBraille ed{doc};
    OptionsAffichage options;
    QWidget parent;
    TEdBraille* page = nullptr;

    void SetUp() override {
        format.cpl = 31;
        format.nbLignesTexte = 28;
        page = new TEdBraille(ed, options, &parent);
        page->redimensionne(467, 20, 20, 8);  // page width 330: cell 6, gap 3, pitch 9, dot 2
    }
    QImage image() {
        QImage im(page->size(), QImage::Format_RGB32);
        page->render(&im);
        return im;
    }
    // The centre of the dot of `bit` of cell n (0-based) on row k.
    QPoint point(int n, int k, int bit) const {
        const auto& g = page->geometrie();
        std::int32_t dx = 0, dy = 0;
        g.positionPoint(bit, dx, dy);
        return QPoint(g.xCellule(n) + dx + g.taillePoint / 2, g.yLigne(k) + dy + g.taillePoint / 2);
    }
    QColor couleur(const QImage& im, QPoint p) { return im.pixelColor(p); }
};

}  // namespace

TEST_F(PageBraille, PointsEtCouleurs) {
    ed.initialise("ab\xE9 y");
    ed.placeCurseur({5, 1});
    QImage im = image();
    EXPECT_EQ(couleur(im, point(0, 0, 3)), couleurs::noir);   // a: dot 1
    EXPECT_EQ(couleur(im, point(0, 0, 4)), couleurs::blanc);  // no dot 2
    EXPECT_EQ(couleur(im, point(1, 0, 4)), couleurs::noir);   // b: dot 2
    for (int bit = 0; bit < 6; ++bit) EXPECT_EQ(couleur(im, point(2, 0, bit)), couleurs::noir);  // the full cell
    EXPECT_EQ(couleur(im, point(3, 0, 3)), couleurs::blanc);  // a blank cell

    options.pointsGris = true;
    im = image();
    EXPECT_EQ(couleur(im, point(0, 0, 4)), couleurs::gris);
    EXPECT_EQ(couleur(im, point(3, 0, 4)), couleurs::blanc);  // a blank cell has no grey dots

    // Selected: white dots on the band; turned: red dots.
    ed.selectionne(1, 2);
    doc.marqueurs().ajouteBrut({4, 5, MARQUEUR_RETOURNE, 0});
    im = image();
    EXPECT_EQ(couleur(im, point(0, 0, 3)), couleurs::blanc);
    EXPECT_EQ(couleur(im, point(0, 0, 4)), couleurs::gris);  // grey dots stay grey on the band
    EXPECT_EQ(couleur(im, QPoint(page->geometrie().xCellule(0) + 1, 8 + 18)), couleurs::selection);
    // " y" turned reads "y turned" then a blank: y (13456) turned is 12346 (cell 61).
    EXPECT_EQ(couleur(im, point(3, 0, 3)), couleurs::rouge);   // dot 1
    EXPECT_EQ(couleur(im, point(3, 0, 1)), couleurs::gris);    // no dot 5
    EXPECT_EQ(couleur(im, point(4, 0, 3)), couleurs::blanc);

    // The caret: a bar under the cell of its column.
    const auto& g = page->geometrie();
    EXPECT_EQ(couleur(im, QPoint(g.pas * 5 + 1, g.yLigne(0) + g.hauteurCellule)), couleurs::noir);
    EXPECT_EQ(couleur(im, QPoint(g.pas * 5 + 1, g.yLigne(0) + g.hauteurCellule + 3)), couleurs::blanc);
}

TEST_F(PageBraille, CentrageEtSautDePage) {
    // A centred paragraph of 11 cells in 31 starts at cell 10.
    ed.initialise("aaaaaaaaaaa\rb\fcc");
    doc.marqueurs().ajouteBrut({1, 11, MARQUEUR_CENTRE, 0});
    options.sautsPageVisibles = true;
    QImage im = image();
    EXPECT_EQ(couleur(im, point(9, 0, 3)), couleurs::blanc);
    EXPECT_EQ(couleur(im, point(10, 0, 3)), couleurs::noir);
    EXPECT_EQ(couleur(im, point(20, 0, 3)), couleurs::noir);
    EXPECT_EQ(couleur(im, point(21, 0, 3)), couleurs::blanc);
    // The page ends at the FF: the dashed line in the next slot, nothing below it.
    const auto& g = page->geometrie();
    const int yTrait = g.yLigne(2) + g.hauteurLigne / 2;
    int rouges = 0;
    for (int x = 0; x < im.width(); ++x) rouges += im.pixelColor(x, yTrait) == couleurs::rouge;
    EXPECT_GT(rouges, im.width() / 4);
    EXPECT_LT(rouges, im.width());
    for (int y = g.yLigne(2); y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (y != yTrait) {
                ASSERT_NE(im.pixelColor(x, y), couleurs::noir) << x << "," << y;
            }
}

TEST_F(PageBraille, Souris) {
    ed.initialise("abcdef");
    const auto& g = page->geometrie();
    const int y = g.yLigne(0) + 5;
    // A drag within one cell selects nothing; a drag over three does.
    auto glisse = [&](int x) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(page, &e);
    };
    QTest::mousePress(page, Qt::LeftButton, {}, QPoint(g.xCellule(2) + 1, y));
    glisse(g.xCellule(2) + 3);
    EXPECT_EQ(ed.finSelection(), 2);  // the end is the position under the pointer minus one
    QTest::mouseRelease(page, Qt::LeftButton, {}, QPoint(g.xCellule(2) + 3, y));
    EXPECT_TRUE(ed.copieSelection().empty());
    EXPECT_EQ(ed.positionCurseur(), 3);
    QTest::mousePress(page, Qt::LeftButton, {}, QPoint(g.xCellule(1) + 1, y));
    glisse(g.xCellule(4) + 1);
    QTest::mouseRelease(page, Qt::LeftButton, {}, QPoint(g.xCellule(4) + 1, y));
    EXPECT_EQ(ed.copieSelection(), "bcd");
    EXPECT_EQ(ed.positionCurseur(), 5);
}

TEST_F(PageBraille, SelectionVisibleEtOrdreDuDessin) {
    ed.initialise("a b\rcd");
    ed.selectionne(2, 4);  // the blank and the paragraph end are selected too
    QImage im = image();
    const auto& g = page->geometrie();
    const int y = g.yLigne(0) + g.hauteurCellule / 2;
    for (int n : {1, 3}) EXPECT_EQ(couleur(im, QPoint(g.xCellule(n) + 1, y)), couleurs::selection) << n;
    EXPECT_EQ(couleur(im, QPoint(g.xCellule(4) + 1, y)), couleurs::blanc);
    // A blank cell with frames and spaces shown: its grey mark lies over the frame.
    ed.annuleSelection();
    options.cadresCellules = options.espacesVisibles = true;
    im = image();
    EXPECT_EQ(couleur(im, QPoint(g.xCellule(1), g.yLigne(0))), couleurs::gris);
    EXPECT_EQ(couleur(im, QPoint(g.xCellule(0), g.yLigne(0))), couleurs::rouge);
}

TEST_F(PageBraille, MoletteTourneLesPages) {
    ed.initialise("a\fb\fc");
    auto molette = [&](int delta, Qt::KeyboardModifiers m = {}) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, m,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &e);
    };
    molette(-120);
    EXPECT_EQ(ed.pageCourante(), 2);
    molette(-60);  // half a notch: not yet
    EXPECT_EQ(ed.pageCourante(), 2);
    molette(-60);
    EXPECT_EQ(ed.pageCourante(), 3);
    molette(120, Qt::ControlModifier);  // Ctrl+wheel is not for pages
    EXPECT_EQ(ed.pageCourante(), 3);
    molette(240);
    EXPECT_EQ(ed.pageCourante(), 1);
}
