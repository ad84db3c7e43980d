#include "interface/vuenoir.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTest>

#include "commun/fenetre.h"
#include "interface/couleurs.h"

using namespace dotavob;

namespace {

class PageNoire : public ::testing::Test {
protected:
    FormatPage format;
    DocumentBraille doc{format};
    EditeurBraille ed{doc};
    OptionsAffichage options;
    QWidget parent;
    TMyEdit* vue = nullptr;

    void SetUp() override {
        format.cpl = 30;
        format.nbLignesTexte = 10;
        parent.resize(800, 600);
        vue = new TMyEdit(ed, options, &parent);
        vue->redimentionne(false);
    }
    QImage image() { return essai::image(*vue); }
    // The first line of the page as plain text would be drawn, for comparison.
    QImage reference(const QString& texte) {
        QImage im(vue->size(), QImage::Format_RGB32);
        im.fill(Qt::white);
        QPainter p(&im);
        p.setFont(vue->fontes().base);
        const QFontMetrics m(vue->fontes().base);
        for (int i = 0, x = vue->margeGauche(); i < texte.size(); x += m.horizontalAdvance(texte[i++]))
            p.drawText(x, vue->margeHaut() + m.ascent(), QString(texte[i]));
        return im;
    }
    QImage premiereLigne(const QImage& im) { return im.copy(0, vue->margeHaut(), im.width(), vue->hauteurLigne()); }
    int largeurEspace() { return QFontMetrics(vue->fontes().base).horizontalAdvance(QLatin1Char(' ')); }
    // A move with the left button held, which QTest cannot send.
    void glisse(int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(vue, &e);
    }
};

}  // namespace

TEST_F(PageNoire, Geometrie) {
    // At least the A4 ratio, widened until 30 characters and both margins fit (the line height: the window's tests).
    EXPECT_GE(vue->width(), std::max(600 * 210 / 297, 30 * largeurEspace() + 2 * vue->margeGauche()));
}

TEST_F(PageNoire, LectureEnNoir) {
    // The capital and number signs read as print; the caret off the line, not drawn over the text.
    for (auto [cellules, lu] : {std::pair{"\xA8paris", "Paris"}, {"\x91\xE2\xEA", "12"}}) {
        ed.initialise(cellules);
        ed.placeCurseur({1, 2});
        EXPECT_EQ(premiereLigne(image()), premiereLigne(reference(QString::fromLatin1(lu)))) << lu;
    }

    // A superscript stands at the top of the line, at half height.
    ed.initialise("1^er");
    ed.placeCurseur({1, 2});
    const QImage im = image();
    const int x0 = vue->margeGauche() + largeurEspace();
    int basEncre = 0;
    for (int y = vue->margeHaut(); y < vue->margeHaut() + vue->hauteurLigne(); ++y)
        for (int x = x0; x < x0 + 2 * largeurEspace(); ++x)
            if (im.pixelColor(x, y) != QColor(Qt::white)) basEncre = y;
    EXPECT_GT(basEncre, vue->margeHaut());
    EXPECT_LT(basEncre, vue->margeHaut() + vue->hauteurLigne() * 2 / 3);
}

TEST_F(PageNoire, CurseurEtPages) {
    ed.initialise("\xA8paris");
    ed.placeCurseur({7, 1});
    // After the capital sign and five letters, the caret stands after five characters.
    EXPECT_EQ(vue->rectCurseur().x(), vue->margeGauche() + 5 * largeurEspace());
    ed.placeCurseur({2, 1});  // between the capital sign and its letter: drawn before the letter
    EXPECT_EQ(vue->rectCurseur().x(), vue->margeGauche());
    // After an FF the caret and the page follow the Braille caret to the next page.
    ed.initialise("ab\fcd");
    ed.placeCurseur(doc.pointDe(5));
    EXPECT_EQ(std::tuple(ed.pageCourante(), vue->rectCurseur().topLeft()),
              std::tuple(2, QPoint(vue->margeGauche() + largeurEspace(), vue->margeHaut())));
    ed.placeCurseur({3, 1});  // back on page 1, the caret after "ab": compare what stands left of it
    const int largeur = vue->margeGauche() + 2 * largeurEspace();
    EXPECT_EQ(premiereLigne(image()).copy(0, 0, largeur, vue->hauteurLigne()),
              premiereLigne(reference(QStringLiteral("ab"))).copy(0, 0, largeur, vue->hauteurLigne()));
    EXPECT_EQ(ed.pageCourante(), 1);
}

TEST_F(PageNoire, PageImprimee) {
    // A preview at half the view's height draws the text at half size.
    ed.initialise("abc\rdef");
    QImage im(vue->width() / 2, vue->height() / 2, QImage::Format_RGB32);
    im.fill(Qt::white);
    {
        QPainter p(&im);
        vue->dessinePageImprimee(p, im.rect(), nullptr, nullptr);
    }
    int haut = im.height(), bas = -1;  // the ink's first and last rows
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (im.pixelColor(x, y) != QColor(Qt::white)) {
                haut = std::min(haut, y);
                bas = std::max(bas, y);
            }
    // Two lines of text, each half a line pitch high, from the rectangle's top.
    EXPECT_TRUE(haut < vue->pas() / 2 && bas > vue->pas() / 2 && bas < vue->pas()) << haut << " " << bas;
}

TEST_F(PageNoire, CliqueSurUneMajuscule) {
    ed.initialise("le \xA8paris");
    const int y = vue->margeHaut() + vue->hauteurLigne() / 2;
    const int xP = vue->margeGauche() + 3 * largeurEspace() + largeurEspace() / 4;
    QTest::mousePress(vue, Qt::LeftButton, {}, QPoint(xP, y));
    // The click on P takes its capital sign: the selection starts there.
    EXPECT_EQ(ed.debutSelection(), 4);
    glisse(xP + 2 * largeurEspace(), y);
    QTest::mouseRelease(vue, Qt::LeftButton, {}, QPoint(xP + 2 * largeurEspace(), y));
    EXPECT_EQ(std::tuple(ed.copieSelection(), ed.positionCurseur()), std::tuple(std::string("Par"), 7));  // before r: its left half
}

TEST_F(PageNoire, SourisHorsDuTexte) {
    ed.initialise("abc\rdef");
    const int y1 = vue->margeHaut() + vue->hauteurLigne() / 2, y2 = y1 + vue->pas();
    // Past the end of the last line: selected up to the end, as on the Braille page.
    QTest::mousePress(vue, Qt::LeftButton, {}, QPoint(vue->margeGauche() + 1, y2));
    glisse(vue->width() - 2, y2);
    EXPECT_EQ(std::tuple(ed.debutSelection(), ed.finSelection()), std::tuple(5, 7));
    // A click on the right half of a character puts the caret before it.
    QTest::mouseRelease(vue, Qt::LeftButton, {}, QPoint(vue->margeGauche() + largeurEspace() * 7 / 4, y1));
    EXPECT_EQ(ed.positionCurseur(), 2);
    // Past the end of a line the line end is not taken; over the next line it
    // is, and it shows as a selected blank after the text.
    QTest::mousePress(vue, Qt::LeftButton, {}, QPoint(vue->margeGauche() + 1, y1));
    glisse(vue->width() - 2, y1);
    EXPECT_EQ(ed.finSelection(), 3);
    glisse(vue->margeGauche() + 1, y2);
    EXPECT_EQ(ed.finSelection(), 5);
    EXPECT_EQ(image().pixelColor(vue->margeGauche() + 3 * largeurEspace() + 2, y1), couleurs::selection);
    // Below a page ended by an FF: its last line, not the next page.
    ed.initialise("a\rb\fc\rd");
    QTest::mouseClick(vue, Qt::LeftButton, {}, QPoint(vue->margeGauche() + 1, vue->height() - 3));
    EXPECT_EQ(std::tuple(ed.curseur().ligne, ed.pageCourante()), std::tuple(2, 1));
}
