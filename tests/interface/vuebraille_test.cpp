#include "interface/vuebraille.h"

#include <QTest>

#include "commun/fenetre.h"
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
    QImage image() { return essai::image(*page); }
    // The centre of the dot of `bit` of cell n (0-based) on row k.
    QPoint point(int n, int k, int bit) const {
        const auto& g = page->geometrie();
        std::int32_t dx = 0, dy = 0;
        g.positionPoint(bit, dx, dy);
        return QPoint(g.xCellule(n) + dx + g.taillePoint / 2, g.yLigne(k) + dy + g.taillePoint / 2);
    }
};

}  // namespace

TEST_F(PageBraille, PointsEtCouleurs) {
    ed.initialise("ab\xE9 y");
    ed.placeCurseur({5, 1});
    const auto& g = page->geometrie();
    const QColor blanc = couleurs::blanc, noir = couleurs::noir, gris = couleurs::gris;
    // Each step changes the options or the text, then reads dots: {cell, bit, colour}.
    const struct { const char* etape; std::vector<std::tuple<int, int, QColor>> points; } etapes[] = {
        // a: dot 1, no dot 2; b: dot 2; é the full cell; a blank cell.
        {"simple", {{0, 3, noir}, {0, 4, blanc}, {1, 4, noir}, {2, 0, noir}, {2, 5, noir}, {3, 3, blanc}}},
        {"gris", {{0, 4, gris}, {3, 4, blanc}}},  // a blank cell has no grey dots
        // Selected: white dots, grey ones stay grey on the band; " y" turned reads "y" (12346) then a blank.
        {"marques", {{0, 3, blanc}, {0, 4, gris}, {3, 3, couleurs::rouge}, {3, 1, gris}, {4, 3, blanc}}},
    };
    for (const auto& e : etapes) {
        if (std::string(e.etape) == "gris") options.pointsGris = true;
        if (std::string(e.etape) == "marques") {
            ed.selectionne(1, 2);
            doc.marqueurs().ajouteBrut({4, 5, MARQUEUR_RETOURNE, 0});
        }
        const QImage im = image();
        for (auto [n, bit, attendu] : e.points) EXPECT_EQ(im.pixelColor(point(n, 0, bit)), attendu) << e.etape << " " << n << " " << bit;
    }
    const QImage im = image();
    EXPECT_EQ(im.pixelColor(g.xCellule(0) + 1, 8 + 18), couleurs::selection);
    // The caret: a bar under the cell of its column.
    EXPECT_EQ(std::tuple(im.pixelColor(g.pas * 5 + 1, g.yLigne(0) + g.hauteurCellule),
                         im.pixelColor(g.pas * 5 + 1, g.yLigne(0) + g.hauteurCellule + 3)),
              std::tuple(couleurs::noir, couleurs::blanc));
}

TEST_F(PageBraille, CentrageEtSautDePage) {
    // A centred paragraph of 11 cells in 31 starts at cell 10.
    ed.initialise("aaaaaaaaaaa\rb\fcc");
    doc.marqueurs().ajouteBrut({1, 11, MARQUEUR_CENTRE, 0});
    options.sautsPageVisibles = true;
    QImage im = image();
    for (auto [n, attendu] : {std::pair{9, couleurs::blanc}, {10, couleurs::noir}, {20, couleurs::noir}, {21, couleurs::blanc}})
        EXPECT_EQ(im.pixelColor(point(n, 0, 3)), attendu) << n;
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
    // A drag over three cells selects them (within one cell, nothing: the editor's rule, tested there).
    QTest::mousePress(page, Qt::LeftButton, {}, QPoint(g.xCellule(1) + 1, y));
    QMouseEvent glisse(QEvent::MouseMove, QPointF(g.xCellule(4) + 1, y), QPointF(), Qt::NoButton, Qt::LeftButton,
                       {});
    QApplication::sendEvent(page, &glisse);
    QTest::mouseRelease(page, Qt::LeftButton, {}, QPoint(g.xCellule(4) + 1, y));
    EXPECT_EQ(std::tuple(ed.copieSelection(), ed.positionCurseur()), std::tuple(std::string("bcd"), 5));
}

TEST_F(PageBraille, SelectionVisibleEtOrdreDuDessin) {
    ed.initialise("a b\rcd");
    ed.selectionne(2, 4);  // the blank and the paragraph end are selected too
    QImage im = image();
    const auto& g = page->geometrie();
    const int y = g.yLigne(0) + g.hauteurCellule / 2;
    for (int n : {1, 3}) EXPECT_EQ(im.pixelColor(QPoint(g.xCellule(n) + 1, y)), couleurs::selection) << n;
    EXPECT_EQ(im.pixelColor(QPoint(g.xCellule(4) + 1, y)), couleurs::blanc);
    // A blank cell with frames and spaces shown: its grey mark lies over the frame.
    ed.annuleSelection();
    options.cadresCellules = options.espacesVisibles = true;
    im = image();
    EXPECT_EQ(std::tuple(im.pixelColor(QPoint(g.xCellule(1), g.yLigne(0))), im.pixelColor(QPoint(g.xCellule(0), g.yLigne(0)))),
              std::tuple(couleurs::gris, couleurs::rouge));
}

TEST_F(PageBraille, MoletteTourneLesPages) {
    ed.initialise("a\fb\fc");
    auto molette = [&](int delta, Qt::KeyboardModifiers m = {}) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, m,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &e);
    };
    // Half a notch is not yet a page; Ctrl+wheel is not for pages.
    for (auto [delta, m, numero] : {std::tuple{-120, Qt::KeyboardModifiers{}, 2}, {-60, {}, 2}, {-60, {}, 3},
                                  {120, Qt::ControlModifier, 3}, {240, {}, 1}}) {
        molette(delta, m);
        EXPECT_EQ(ed.pageCourante(), numero) << delta;
    }
}
