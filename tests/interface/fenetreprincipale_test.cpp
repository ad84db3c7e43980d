#include "interface/fenetreprincipale.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <QTest>

#include "commun/fenetre.h"
#include "interface/dialoguesynthese.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"

using namespace dotavob;

namespace {

class Fenetre : public essai::Fenetre {
protected:
    QWidget* client() { return f->centralWidget(); }
    void tape(int cle, Qt::KeyboardModifiers m = {}) { QTest::keyClick(client(), static_cast<Qt::Key>(cle), m); }
};

}  // namespace

TEST_F(Fenetre, Disposition) {
    // Wide, the height limits the pages; narrow, the width. Either way two A4 pages
    // side by side with their gap, centred, and the bands one line high.
    for (int largeur : {1800, 700}) {
        f->resize(largeur, 700);
        QCoreApplication::processEvents();
        const TMyEdit& noir = f->vueNoir();
        const TEdBraille& braille = f->vueBraille();
        EXPECT_EQ(std::tuple(braille.x() - noir.x() - noir.width(), noir.height(), braille.width()),
                  std::tuple(24, f->panel1().height(), f->panel1().height() * 210 / 297)) << largeur;
        EXPECT_LE(std::abs(noir.x() - (client()->width() - braille.x() - braille.width())), 1) << largeur;
        EXPECT_LE(f->panel3().height(), client()->height() - 55) << largeur;
    }
    EXPECT_EQ(f->panelEntete().height(), f->vueBraille().geometrie().hauteurLigne + 2);
}

TEST_F(Fenetre, Clavier) {
    QTest::keyClicks(client(), QStringLiteral("Paris 12"));
    EXPECT_EQ(f->document().texte(), "\xA8paris \x91\xE2\xEA");
    // Editing keys act on release.
    QTest::keyPress(client(), Qt::Key_Backspace);
    EXPECT_EQ(f->document().longueur(), 10);
    QTest::keyRelease(client(), Qt::Key_Backspace);
    EXPECT_EQ(f->document().longueur(), 9);
    tape(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(f->labelPages().text(), QStringLiteral("2/2"));
    // Page keys turn pages on release only, and an auto-repeated release does nothing.
    QTest::keyPress(client(), Qt::Key_Home);
    EXPECT_EQ(f->editeur().pageCourante(), 2);
    QTest::keyRelease(client(), Qt::Key_Home);
    EXPECT_EQ(f->editeur().pageCourante(), 1);
    QKeyEvent repetition(QEvent::KeyRelease, Qt::Key_PageDown, {}, QString(), true);
    QApplication::sendEvent(client(), &repetition);
    EXPECT_EQ(f->editeur().pageCourante(), 1);
    tape(Qt::Key_PageDown);
    tape(Qt::Key_PageDown);  // past the last page: nothing
    EXPECT_EQ(f->editeur().pageCourante(), 2);
}

TEST_F(Fenetre, EntetesEtOuverture) {
    // First start: the default format, its header on from page 2, no footer.
    EXPECT_EQ(std::tuple(f->panelEntete().isVisible(), f->panelPied().isVisible()), std::tuple(true, false));
    f->editeur().initialise(std::string(40, '\f'));
    f->affichepages();
    f->editeur().allerPage(3);
    // The header of page 3: "3" transcribed, right-aligned in 30 cells.
    EXPECT_EQ(f->enteteBraille().contenu(), std::string(28, ' ') + "\x91\xEE");
    f->editeur().allerPage(1);
    EXPECT_EQ(f->enteteBraille().contenu(), "");  // from page 2 on
    EXPECT_FALSE(f->ouvrefichier(chemin("absent.dtv")));
    EXPECT_EQ(f->nomfichier(), QString());
}

TEST(Demarrage, UnFichierIllisibleSeDitApresQueLaFenetreEstPeinte) {
    QTemporaryDir dossier;
    const QString abime = dossier.filePath(QStringLiteral("abîmé.dtv"));
    QFile fichier(abime);
    ASSERT_TRUE(fichier.open(QIODevice::WriteOnly) && fichier.write("rien de lisible") > 0 && fichier.flush());
    TFDotavoB f(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))), {QStringLiteral("dotavob"), abime});
    QStringList messages;
    bool peinte = false;
    f.afficheErreur = [&](const QString& m) {
        messages << m;
        peinte = f.vueNoir().isVisible();
    };
    f.show();
    EXPECT_TRUE(messages.isEmpty());  // not over a window not yet painted
    // No voice at start: a speech engine starts slowly; it waits for its first use.
    EXPECT_EQ(f.findChild<TDlgOptionSpEng*>(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QTRY_COMPARE(messages.size(), 1);
    EXPECT_TRUE(peinte);
    // The core's message, UTF-8 with an accented name, reads as written.
    const QString& m = messages.front();
    EXPECT_TRUE(m.contains(QStringLiteral("abîmé.dtv")) && m.contains(QStringLiteral("« ")) && !m.contains(QStringLiteral("Ã")))
        << m.toStdString();
}

TEST_F(Fenetre, RaccourciEtBasculesDuMenu) {
    // Ctrl+G acts although its entry is hidden.
    QTest::keyClick(client(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(f->document().texte(), "\xB8");
    auto bouton = [this](const QString& bulle) {
        for (auto* b : f->panelBoutons().findChildren<QToolButton*>())
            if (b->toolTip() == bulle) return b;
        return static_cast<QToolButton*>(nullptr);
    };
    // The menu turns the grey dots from their own value, whatever set it.
    QToolButton* gris = bouton(QStringLiteral("Affichage des points gris"));
    ASSERT_NE(gris, nullptr);
    gris->click();
    EXPECT_TRUE(f->options().pointsGris);
    QAction* menu = f->action(QStringLiteral("Points &Gris"));
    ASSERT_NE(menu, nullptr);
    menu->trigger();
    EXPECT_EQ(std::tuple(f->options().pointsGris, menu->isChecked()), std::tuple(false, false));
    menu->trigger();
    EXPECT_EQ(std::tuple(f->options().pointsGris, menu->isChecked()), std::tuple(true, true));
    // A keyboard button acts on every click, also when it stands down while the menu changed the mode.
    QToolButton *normal = bouton(QStringLiteral("Clavier normal")), *six = bouton(QStringLiteral("Clavier \"sdf jkl\""));
    ASSERT_TRUE(normal && six);
    f->action(QStringLiteral("sdfjkl"))->trigger();
    normal->click();
    EXPECT_FALSE(f->editeur().sixTouches());
    six->click();
    f->action(QStringLiteral("Normal"))->trigger();
    six->click();
    EXPECT_TRUE(f->editeur().sixTouches());
}

TEST_F(Fenetre, InterligneSimpleEtDouble) {
    for (bool double_ : {false, true, true}) {
        f->format().interligneDouble = double_;
        f->appliqueformat();
        const TMyEdit& noir = f->vueNoir();
        const int n = f->format().nbLignesTexte, h = f->panel1().height();
        const int fente = (h - 2 * (h / (2 * n))) / n - 1;
        // Each line's slot holds the line and, with double spacing, a blank line as high.
        EXPECT_EQ(std::tuple(noir.hauteurLigne(), noir.interligne()),
                  std::tuple(double_ ? fente / 2 : fente, double_ ? noir.hauteurLigne() : 0)) << double_;
        // Braille cells follow the line height; lines stand level with the print ones.
        const GeometrieBraille& g = f->vueBraille().geometrie();
        EXPECT_EQ(std::tuple(g.hauteurLigne, g.yLigne(3)), std::tuple(noir.hauteurLigne(), noir.margeHaut() + 3 * noir.pas()));
    }
}

TEST_F(Fenetre, AucuneCelluleNEstCoupee) {
    // Every dot of every cell of the page, for window sizes from the smallest
    // to a large screen and formats of every kind, lies inside the Braille page;
    // the dots never vanish, and the window never gets too narrow for its buttons.
    struct Format { int lignes, cpl; bool entete, pied, double_; };
    const Format formats[] = {{60, 50, true, false, false}, {25, 32, true, false, false}, {28, 30, true, true, false},
                              {1, 1, false, false, false},   {50, 50, true, true, false},  {10, 50, false, false, true},
                              {50, 1, true, true, true},     {60, 40, false, true, false}, {12, 17, true, false, true}};
    int essais = 0;
    for (int largeur = 300; largeur <= 2560; largeur += 97)
        for (int hauteur = 300; hauteur <= 1600; hauteur += 83) {
            const Format& fo = formats[static_cast<std::size_t>(essais++) % std::size(formats)];
            f->format().setLignes(fo.lignes);
            f->format().setCaracteres(fo.cpl);
            f->format().entete.active = fo.entete;
            f->format().pied.active = fo.pied;
            f->format().interligneDouble = fo.double_;
            f->resize(largeur, hauteur);
            QCoreApplication::processEvents();
            f->appliqueformat();
            const TEdBraille& page = f->vueBraille();
            const GeometrieBraille& g = page.geometrie();
            const int n = f->format().nbLignesTexte, cpl = f->format().cpl;
            // The last cell's right column, the last line's bottom row, as the page paints them.
            std::int32_t dx = 0, dy = 0;
            g.positionPoint(0, dx, dy);  // dot 6: right, bottom
            const int droite = g.xCellule(cpl - 1) + dx + g.taillePoint, bas = g.yLigne(n - 1) + dy + g.taillePoint;
            const auto trace = testing::Message() << largeur << "x" << hauteur << " " << fo.lignes << "/" << fo.cpl;
            EXPECT_LE(droite, page.width()) << trace;
            EXPECT_LE(bas, page.height()) << trace;
            EXPECT_LE(g.hauteurCellule, g.hauteurLigne) << trace;
            EXPECT_GE(f->width(), 850) << trace;
            EXPECT_TRUE(g.taillePoint >= 1 && g.hauteurCellule >= 3 * g.taillePoint && f->vueNoir().hauteurLigne() >= 4) << trace;
        }
}

TEST_F(Fenetre, LeCompteurDePagesSeLitEnEntier) {
    for (const auto& [pages, page, attendu] : {std::tuple{20023, 10000, "10000/20023"}, {99999, 99999, "99999/99999"}}) {
        f->editeur().initialise(std::string(static_cast<std::size_t>(pages - 1), '\f'));
        f->editeur().allerPage(page);
        QLabel& l = f->labelPages();
        EXPECT_EQ(l.text(), QString::fromLatin1(attendu));
        // As the label draws it, in the font its style gives it.
        l.ensurePolished();
        EXPECT_LE(l.fontMetrics().horizontalAdvance(l.text()), l.contentsRect().width()) << attendu;
    }
}
