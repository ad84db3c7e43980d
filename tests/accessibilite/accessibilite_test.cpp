// The pages as a screen reader reads them through Qt's accessibility
// interfaces, on the offscreen platform.
#include "interface/accessibilite.h"

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

#include "commun/fenetre.h"
#include "interface/fenetreprincipale.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"

using namespace dotavob;

namespace {

class Lecture : public essai::Fenetre {
protected:
    static void SetUpTestSuite() { installeAccessibilite(); }
    void SetUp() override {
        Fenetre::SetUp();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    }
    void touche(Qt::Key cle, Qt::KeyboardModifiers m = {}) { QTest::keyClick(f->centralWidget(), cle, m); }
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

TEST_F(Lecture, LesPagesDonnentChaqueMorceauDeLeurTexteSansBoucler) {
    // A page that starts with a sign: Qt's own search of word boundaries never came back there.
    QTest::keyClicks(f->centralWidget(), QStringLiteral("(oui) dit-il."));
    touche(Qt::Key_Return);
    QTest::keyClicks(f->centralWidget(), QStringLiteral("- Oui"));
    for (QWidget* page : {static_cast<QWidget*>(&f->vueNoir()), static_cast<QWidget*>(&f->vueBraille())}) {
        QAccessibleTextInterface* t = texte(*page);
        ASSERT_TRUE(t);
        const QString tout = t->text(0, t->characterCount());
        const auto n = static_cast<int>(tout.size());
        for (auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
                          QAccessible::LineBoundary, QAccessible::ParagraphBoundary, QAccessible::NoBoundary})
            for (int o = 0; o <= n; ++o) {
                int debut = -1, fin = -1;
                const QString a = t->textAtOffset(o, type, &debut, &fin);
                ASSERT_TRUE(0 <= debut && debut <= o && o <= fin && fin <= n) << type << " " << o;
                ASSERT_TRUE(o < fin || o == n) << type << " " << o;
                EXPECT_EQ(a, tout.mid(debut, fin - debut));
                for (auto cote : {&QAccessibleTextInterface::textBeforeOffset, &QAccessibleTextInterface::textAfterOffset}) {
                    const QString voisin = (t->*cote)(o, type, &debut, &fin);
                    ASSERT_TRUE(0 <= debut && debut <= fin && fin <= n) << type << " " << o;
                    EXPECT_EQ(voisin, tout.mid(debut, fin - debut));
                }
            }
        int debut = -1, fin = -1;
        EXPECT_EQ(t->textAtOffset(0, QAccessible::WordBoundary, &debut, &fin), page == &f->vueNoir() ? "(" : "⠦⠕⠥⠊⠴");
        // One style for the whole page: a line read by its runs keeps its last character.
        t->attributes(3, &debut, &fin);
        EXPECT_EQ(std::pair(debut, fin), std::pair(0, n));
    }
}

TEST_F(Lecture, ChaquePageEstComposeeUneFoisParChangement) {
    // A screen reader asks a page for its text, its caret, its words and its
    // lines after every keystroke: the page's text is made once for each.
    QTest::keyClicks(f->centralWidget(), QStringLiteral("Le chat"));
    QCoreApplication::processEvents();
    VuePage* pages[] = {&f->vueNoir(), &f->vueBraille()};
    std::int64_t avant[2];
    for (int k = 0; k < 2; ++k) avant[k] = pages[k]->compositions();
    for (const QChar c : QStringLiteral(" dort")) {
        QTest::keyClick(f->centralWidget(), c.toLatin1());
        QCoreApplication::processEvents();
        for (VuePage* page : pages) {
            QAccessibleTextInterface* t = texte(*page);
            ASSERT_TRUE(t);
            int debut = -1, fin = -1;
            for (int o = 0; o < t->characterCount(); ++o) {
                t->textAtOffset(o, QAccessible::WordBoundary, &debut, &fin);
                t->textAtOffset(o, QAccessible::LineBoundary, &debut, &fin);
                t->attributes(o, &debut, &fin);
            }
            t->text(0, t->characterCount());
            t->cursorPosition();
        }
    }
    for (int k = 0; k < 2; ++k) EXPECT_EQ(pages[k]->compositions() - avant[k], 5) << k;
}

}  // namespace
