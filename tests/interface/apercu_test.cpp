#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QToolButton>

#include "commun/fenetre.h"
#include "core/editeur/apercu.h"
#include "interface/dialogueapercu.h"

using namespace dotavob;

namespace {

// What prints a page leaves on the paper, in the image's pixels.
struct Encre {
    QRect gauche, droite;  // ink left and right of the middle
    int separateur = 0;    // dark pixels in the middle column
    // Red ink: the Braille page draws its turned cells in red, the print page has none.
    bool rougeGauche = false, rougeDroite = false;
    bool selection = false;  // the screen's selection band, which paper never shows
};

Encre encre(const QImage& image) {
    Encre e;
    const int milieu = image.width() / 2;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100) (x < milieu ? e.rougeGauche : e.rougeDroite) = true;
            if (qBlue(c) > 150 && qRed(c) < 60) e.selection = true;
            if (qGray(c) > 200) continue;
            if (std::abs(x - milieu) <= 1) {
                ++e.separateur;
                continue;
            }
            QRect& r = x < milieu ? e.gauche : e.droite;
            r = r.united(QRect(x, y, 1, 1));
        }
    return e;
}

class Apercu : public essai::Fenetre {
protected:
    void SetUp() override {
        Fenetre::SetUp();
        // Two pages, with a header on both and a footer on the second.
        ASSERT_TRUE(f->ouvrefichier(QStringLiteral(DOTAVOB_DONNEES_TEST "/embossage.dtv")));
        QCoreApplication::processEvents();
    }
    TDlgApercu& apercu() { return f->dialogueApercu(); }
    // Prints to a PDF file with no paper margin, so that the sheet is the paper.
    bool imprimeEnPdf(const QString& nom, int copies = 1, int de = 0, int a = 0) {
        apercu().prepareImprimante = [=](QPrinter& p, std::int32_t) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(nom);
            p.setPageMargins(QMarginsF(0, 0, 0, 0));
            p.setCopyCount(copies);
            if (de > 0) {
                p.setPrintRange(QPrinter::PageRange);
                p.setFromTo(de, a);
            }
            return true;
        };
        return apercu().imprime();
    }
    // The PDF's first page as an image.
    QImage premierePage(const QString& pdf) {
        const QStringList options{QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), QStringLiteral("-singlefile")};
        EXPECT_EQ(QProcess::execute(QStringLiteral("pdftoppm"), options + QStringList{pdf, chemin("rendu")}), 0);
        return QImage(chemin("rendu.png"));
    }
    int nbPagesPdf(const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {pdf});
        p.waitForFinished();
        for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (l.startsWith(QStringLiteral("Pages:"))) return l.mid(6).trimmed().toInt();
        return -1;
    }
};

// A rectangle of the sheet's layout with a pixel of slack for rounding.
QRect dansImage(const RectangleApercu& r) { return QRect(r.x - 2, r.y - 2, r.largeur + 4, r.hauteur + 4); }

}  // namespace

TEST_F(Apercu, LImpressionMetLesPagesOuLaFeuilleLesPlace) {
    const struct {
        bool paysage, noir, braille, large = false;
    } cas[] = {{false, true, true}, {true, false, true}, {false, true, false}, {false, false, false},
               // 50 characters on 10 lines, all selected: the pages stay in their places, unselected.
               {false, true, true, true}};
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << "paysage " << c.paysage << " noir " << c.noir << " braille " << c.braille
                                        << " large " << c.large);
        if (c.large) {
            f->format().setLignes(10);
            f->format().setCaracteres(50);
            f->appliqueformat();
            f->editeur().selectionne(1, f->document().longueur());
        }
        (c.paysage ? apercu().paysage() : apercu().portrait())->setChecked(true);
        apercu().texteNoir()->setChecked(c.noir);
        apercu().braille()->setChecked(c.braille);
        const QString pdf = chemin("page.pdf");
        ASSERT_TRUE(imprimeEnPdf(pdf, 1, 1, 1));
        const QImage image = premierePage(pdf);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width() > image.height(), c.paysage);
        // The layout computed for a sheet of the image's own size.
        const PagesFeuille attendu = placePages(image.width(), image.height(), c.paysage, c.noir, c.braille);
        const Encre e = encre(image);
        // Two pages: print left, Braille right; one page: left if it starts in the left half.
        std::optional<RectangleApercu> gauche = attendu.noir ? attendu.noir : attendu.braille, droite;
        if (attendu.noir && attendu.braille) droite = attendu.braille;
        else if (gauche && gauche->x >= image.width() / 2) gauche.reset();
        // Ink stands inside the pages' places, and fills their tops (header, first lines).
        for (auto [place, trace] : {std::pair{gauche, e.gauche}, {droite, e.droite}}) {
            if (!place) continue;
            ASSERT_FALSE(trace.isEmpty());
            EXPECT_TRUE(dansImage(*place).contains(trace)) << trace.x() << "," << trace.y();
            EXPECT_LT(trace.top() - place->y, place->hauteur / 10);
        }
        EXPECT_FALSE(e.selection);
        // Each page where it belongs: the Braille page is the one with red cells
        // (the turned stretch is on page 1 in the document's own format).
        if (!c.large) { EXPECT_EQ(std::pair(e.rougeGauche, e.rougeDroite), std::pair(c.braille && !c.noir, c.braille && c.noir)); }
        if (!gauche && !droite) { EXPECT_TRUE(e.gauche.isEmpty() && e.droite.isEmpty() && e.separateur == 0); }
        // The line between two pages runs down the middle for their height.
        if (attendu.separateur) { EXPECT_GE(e.separateur, attendu.separateur->hauteur * 9 / 10); }
    }
}

TEST_F(Apercu, CopiesEtPagesChoisies) {
    const QString pdf = chemin("copies.pdf");
    ASSERT_TRUE(imprimeEnPdf(pdf, 2));
    EXPECT_EQ(nbPagesPdf(pdf), 4);  // two pages, twice
    ASSERT_TRUE(imprimeEnPdf(pdf, 1, 2, 2));
    EXPECT_EQ(nbPagesPdf(pdf), 1);
    // A file that cannot be written is said, not passed over.
    EXPECT_FALSE(imprimeEnPdf(chemin("absent/page.pdf")));
    EXPECT_EQ(messages, std::vector<QString>{QStringLiteral("impossible d'imprimer")});
}

TEST_F(Apercu, NavigationEtRetourALaPage) {
    f->editeur().allerPage(2);
    // The caret and a selection in the middle of page 2 are found again on closing.
    const std::int32_t curseur = f->editeur().positionCurseur() + 12;
    f->editeur().placeCurseur(f->document().pointDe(curseur));
    f->editeur().selectionne(curseur - 5, curseur - 2);
    apercu().show();
    QCoreApplication::processEvents();
    EXPECT_EQ(apercu().numeroPage()->text(), QStringLiteral("2/2"));
    for (auto [bouton, attendu] : {std::pair{apercu().suivante(), "2/2"},  // past the end: nothing
                                   {apercu().premiere(), "1/2"}, {apercu().precedente(), "1/2"},
                                   {apercu().derniere(), "2/2"}, {apercu().precedente(), "1/2"}}) {
        QTest::mouseClick(bouton, Qt::LeftButton);
        EXPECT_EQ(apercu().numeroPage()->text(), QLatin1String(attendu)) << bouton->text().toStdString();
    }
    EXPECT_EQ(f->editeur().pageCourante(), 1);
    // The sheet follows: the Braille page alone fills a portrait sheet with ink.
    apercu().texteNoir()->setChecked(false);
    apercu().braille()->setChecked(true);
    EXPECT_FALSE(encre(essai::image(*apercu().feuille())).gauche.isEmpty());
    apercu().reject();
    EXPECT_EQ(std::make_tuple(f->editeur().pageCourante(), f->editeur().positionCurseur(), f->editeur().debutSelection(),
                              f->editeur().finSelection()),
              std::make_tuple(2, curseur, curseur - 5, curseur - 2));
}
