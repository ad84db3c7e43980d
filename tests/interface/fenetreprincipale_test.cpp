#include "interface/fenetreprincipale.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
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
    // A key event as a real X server sends it, text included.
    void envoie(QEvent::Type type, int cle, Qt::KeyboardModifiers m, const QString& texte = {}) {
        QKeyEvent e(type, cle, m, texte);
        QApplication::sendEvent(client(), &e);
    }
    QAction* action(const QString& texte) {
        for (QAction* a : f->findChildren<QAction*>())
            if (a->text() == texte) return a;
        return nullptr;
    }
};

}  // namespace

TEST_F(Fenetre, CreationEtActivation) {
    EXPECT_EQ(f->windowTitle(), QStringLiteral("DotavoB 2.9 - "));
    // First start: the stored format (none: the defaults), header on from page 2.
    EXPECT_EQ(f->format().cpl, 30);
    EXPECT_TRUE(f->panelEntete().isVisible());
    EXPECT_FALSE(f->panelPied().isVisible());
    EXPECT_EQ(f->labelPages().text(), QStringLiteral("1/1"));
}

TEST_F(Fenetre, Disposition) {
    // Wide: the pages take the full height below the tool bar.
    f->resize(1800, 700);
    QCoreApplication::processEvents();
    int h = client()->height() - 55;
    ASSERT_LE(2 * (h * 210 / 297) + 24, client()->width());
    EXPECT_EQ(f->panel3().height(), h);
    // Narrow: the height follows from the width.
    f->resize(700, 700);
    QCoreApplication::processEvents();
    h = (client()->width() - 24) * 297 / 420;
    EXPECT_EQ(f->panel3().height(), h);
    EXPECT_LT(h, client()->height() - 55);
    // The two pages side by side, centred, with the 24-pixel gap; the bands one line high.
    TMyEdit& noir = f->vueNoir();
    TEdBraille& braille = f->vueBraille();
    EXPECT_EQ(braille.x() - (noir.x() + noir.width()), 24);
    EXPECT_EQ(noir.height(), f->panel1().height());
    EXPECT_EQ(braille.width(), f->panel1().height() * 210 / 297);
    EXPECT_EQ(f->panelEntete().height(), braille.geometrie().hauteurLigne + 2);
    EXPECT_EQ(noir.x(), (client()->width() - noir.width() - braille.width() - 24) / 2);
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
    EXPECT_EQ(f->document().nbPages(), 2);
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
    EXPECT_EQ(f->editeur().pageCourante(), 2);
    tape(Qt::Key_PageDown);
    EXPECT_EQ(f->editeur().pageCourante(), 2);

    // Six keys: F and D down, D up gives b; F up afterwards gives nothing.
    f->vueBraille().modeSixTouches(true);
    const std::int32_t avant = f->document().longueur();
    QTest::keyPress(client(), Qt::Key_F);
    QTest::keyPress(client(), Qt::Key_D);
    QTest::keyRelease(client(), Qt::Key_D);
    QTest::keyRelease(client(), Qt::Key_F);
    EXPECT_EQ(f->document().longueur(), avant + 1);
    EXPECT_EQ(f->document().octet(avant + 1), 'b');
}

TEST_F(Fenetre, EntetesEtOuverture) {
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

TEST_F(Fenetre, ToucheSupprEtModificateursDUnVraiClavier) {
    QTest::keyClicks(client(), QStringLiteral("Page deux."));
    for (int i = 0; i < 3; ++i) tape(Qt::Key_Left);
    // A real Delete key carries the text "\x7f": it deletes, it never types.
    envoie(QEvent::KeyPress, Qt::Key_Delete, {}, QStringLiteral("\x7f"));
    envoie(QEvent::KeyRelease, Qt::Key_Delete, {}, QStringLiteral("\x7f"));
    EXPECT_EQ(f->document().texte(), "\xA8page dex.");
    // A quick Shift+Right: Shift is let go before Right is.
    envoie(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    envoie(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    envoie(QEvent::KeyRelease, Qt::Key_Shift, {});
    envoie(QEvent::KeyRelease, Qt::Key_Right, {});
    EXPECT_EQ(f->editeur().debutSelection(), 9);
    EXPECT_EQ(f->editeur().finSelection(), 9);
    // A quick Ctrl+Enter makes a page break.
    f->editeur().annuleSelection();
    envoie(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, QStringLiteral("\r"));
    envoie(QEvent::KeyRelease, Qt::Key_Return, {}, QStringLiteral("\r"));
    EXPECT_EQ(f->document().nbPages(), 2);
    // The release of an Enter pressed elsewhere (it chose a menu entry) does nothing.
    const std::string avant = f->document().texte();
    envoie(QEvent::KeyRelease, Qt::Key_Return, {}, QStringLiteral("\r"));
    EXPECT_EQ(f->document().texte(), avant);
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
    EXPECT_FALSE(f->options().pointsGris);
    EXPECT_FALSE(menu->isChecked());
    menu->trigger();
    EXPECT_TRUE(f->options().pointsGris);
    EXPECT_TRUE(menu->isChecked());
}

TEST_F(Fenetre, InterligneSimpleEtDouble) {
    for (bool double_ : {false, true, true}) {
        f->format().interligneDouble = double_;
        f->appliqueformat();
        const TMyEdit& noir = f->vueNoir();
        const int n = f->format().nbLignesTexte, h = f->panel1().height();
        const int fente = (h - 2 * (h / (2 * n))) / n - 1;
        // Each line's slot holds the line and, with double spacing, a blank line as high.
        EXPECT_EQ(noir.hauteurLigne(), double_ ? fente / 2 : fente) << double_;
        EXPECT_EQ(noir.interligne(), double_ ? noir.hauteurLigne() : 0);
        // Braille cells follow the line height; lines stand level with the print ones.
        const GeometrieBraille& g = f->vueBraille().geometrie();
        EXPECT_EQ(g.hauteurLigne, noir.hauteurLigne());
        EXPECT_EQ(g.yLigne(3), noir.margeHaut() + 3 * noir.pas());
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
