#include "interface/fenetreprincipale.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>

#include "interface/vuebraille.h"
#include "interface/vuenoir.h"

using namespace dotavob;

namespace {

class Fenetre : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    std::unique_ptr<TFDotavoB> f;

    void SetUp() override {
        f = std::make_unique<TFDotavoB>(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))),
                                        QStringList{QStringLiteral("dotavob")});
        f->afficheErreur = [](const QString&) {};
        f->resize(1500, 800);
        f->show();
        QCoreApplication::processEvents();
    }
    QWidget* client() { return f->centralWidget(); }
    void tape(int cle, Qt::KeyboardModifiers m = {}) {
        QTest::keyPress(client(), static_cast<Qt::Key>(cle), m);
        QTest::keyRelease(client(), static_cast<Qt::Key>(cle), m);
    }
    QAction* action(const QString& texte) {
        for (QAction* a : f->findChildren<QAction*>())
            if (a->text() == texte) return a;
        return nullptr;
    }
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
    EXPECT_FALSE(f->ouvrefichier(dossier.filePath(QStringLiteral("absent.dtv"))));
    EXPECT_EQ(f->nomfichier(), QString());
}

TEST_F(Fenetre, RaccourciEtBasculesDuMenu) {
    // Ctrl+G acts although its entry is hidden.
    QTest::keyClick(client(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(f->document().texte(), "\xB8");
    // The menu turns the grey dots from their own value, whatever set it.
    QToolButton* gris = nullptr;
    for (auto* b : f->panelBoutons().findChildren<QToolButton*>())
        if (b->toolTip() == QStringLiteral("Affichage des points gris")) gris = b;
    ASSERT_NE(gris, nullptr);
    gris->click();
    EXPECT_TRUE(f->options().pointsGris);
    QAction* menu = action(QStringLiteral("Points &Gris"));
    ASSERT_NE(menu, nullptr);
    menu->trigger();
    EXPECT_EQ(std::tuple(f->options().pointsGris, menu->isChecked()), std::tuple(false, false));
    menu->trigger();
    EXPECT_EQ(std::tuple(f->options().pointsGris, menu->isChecked()), std::tuple(true, true));
    // A keyboard button acts on every click, also when it stands down while
    // the menu changed the mode.
    auto bouton = [this](const QString& bulle) {
        for (auto* b : f->panelBoutons().findChildren<QToolButton*>())
            if (b->toolTip() == bulle) return b;
        return static_cast<QToolButton*>(nullptr);
    };
    QToolButton *normal = bouton(QStringLiteral("Clavier normal")), *six = bouton(QStringLiteral("Clavier \"sdf jkl\""));
    ASSERT_TRUE(normal && six);
    action(QStringLiteral("sdfjkl"))->trigger();
    normal->click();
    EXPECT_FALSE(f->editeur().sixTouches());
    six->click();
    action(QStringLiteral("Normal"))->trigger();
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

TEST_F(Fenetre, PetiteFenetre) {
    f->resize(300, 300);
    QCoreApplication::processEvents();
    EXPECT_GE(f->width(), 850);  // every tool button stays on screen
    f->format().setLignes(60);
    f->format().setCaracteres(50);
    f->appliqueformat();
    const GeometrieBraille& g = f->vueBraille().geometrie();
    EXPECT_GE(g.taillePoint, 1);
    EXPECT_GE(g.hauteurCellule, 3 * g.taillePoint);
    EXPECT_GE(f->vueNoir().hauteurLigne(), 4);
}
