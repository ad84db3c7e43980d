// The pages as a screen reader reads them through Qt's accessibility
// interfaces, on the offscreen platform.
#include "interface/accessibilite.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "interface/fenetreprincipale.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"

using namespace dotavob;

namespace {

class Lecture : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    std::unique_ptr<TFDotavoB> f;

    static void SetUpTestSuite() { installeAccessibilite(); }
    void SetUp() override {
        f = std::make_unique<TFDotavoB>(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))),
                                        QStringList{QStringLiteral("dotavob")});
        f->afficheErreur = [](const QString&) {};
        f->show();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    }
    void touche(Qt::Key cle, Qt::KeyboardModifiers m = {}) {
        QTest::keyPress(f->centralWidget(), cle, m);
        QTest::keyRelease(f->centralWidget(), cle, m);
    }
    static QAccessibleTextInterface* texte(QWidget& w) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(&w);
        return i ? i->textInterface() : nullptr;
    }
    static std::pair<int, int> selection(QAccessibleTextInterface* t) {
        int debut = -1, fin = -1;
        t->selection(0, &debut, &fin);
        return {debut, fin};
    }
};

TEST_F(Lecture, LesPagesDonnentLeurTexteLeurCurseurEtLeurSelection) {
    QTest::keyClicks(f->centralWidget(), QStringLiteral("Le chat."));
    QAccessibleTextInterface *n = texte(f->vueNoir()), *b = texte(f->vueBraille());
    ASSERT_TRUE(n && b);
    EXPECT_EQ(n->text(0, n->characterCount()), QStringLiteral("Le chat."));
    EXPECT_EQ(b->text(0, b->characterCount()), QStringLiteral("⠨⠇⠑⠀⠉⠓⠁⠞⠲"));
    EXPECT_EQ(n->cursorPosition(), 8);
    touche(Qt::Key_Left);
    EXPECT_EQ(std::pair(n->cursorPosition(), b->cursorPosition()), std::pair(7, 8));  // the capital sign counts
    touche(Qt::Key_Left);
    touche(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(std::tuple(n->selectionCount(), selection(n), selection(b)), std::tuple(1, std::pair(6, 7), std::pair(7, 8)));
}

}  // namespace
