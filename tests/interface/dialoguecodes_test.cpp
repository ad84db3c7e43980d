#include "interface/dialoguecodes.h"

#include <QAccessible>
#include <QApplication>
#include <cstring>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "commun/fenetre.h"
#include "interface/couleurs.h"
#include "interface/vuenoir.h"

using namespace dotavob;

namespace {

QLabel* etiquette(const Tdlgchoixcode& d, int tag) {
    const auto& t = etiquettesCodes();
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].tag == tag) return d.etiquettes()[static_cast<int>(i)];
    throw std::runtime_error("pas de signe " + std::to_string(tag));
}

QLabel* legende(const Tdlgchoixcode& d, const char* texte) {
    for (QLabel* l : d.legendes())
        if (l->text() == QString::fromUtf8(texte)) return l;
    throw std::runtime_error(texte);
}

// The middle of a cell of the grid, and the centre of a dot (bit as in the cell value) of a cell at (x, y).
QPoint milieu(const Tdlgchoixcode& d, CaseGrille c) {
    const GrilleCodes& g = d.metriques();
    return QPoint(g.xColonne(c.colonne) + g.A / 2, g.yRang(c.rang) + g.B / 2);
}
QPoint centrePoint(const GrilleCodes& g, int x, int y, int bit) {
    std::int32_t dx = 0, dy = 0;
    g.geometrieCellule().positionPoint(bit, dx, dy);
    return QPoint(x + dx + g.d / 2, y + dy + g.d / 2);
}

void survole(QLabel* l) { QTest::mouseMove(l, QPoint(l->width() / 2, l->height() / 2)); }

class ChoixCode : public ::testing::Test {
protected:
    OptionsAffichage options;
    Tdlgchoixcode d{options, nullptr};

    void ouvre(int onglet) {
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        d.onglets()->setCurrentIndex(onglet);
    }
    void TearDown() override { d.hide(); }
};

}  // namespace

TEST_F(ChoixCode, FenetreActivationEtNoms) {
    options.cadresCellules = true;
    ouvre(1);
    // Grey dots on, the frame as on the Braille page, each button as its flag.
    auto drapeaux = [this] {
        return std::tuple(d.pointsGris(), d.boutonPointsGris()->isChecked(), d.cadre(), d.boutonCadre()->isChecked());
    };
    EXPECT_EQ(drapeaux(), std::tuple(true, true, true, true));
    d.boutonPointsGris()->click();
    d.boutonCadre()->click();
    EXPECT_EQ(drapeaux(), std::tuple(false, false, false, false));
    QTest::mouseMove(d.grille(), milieu(d, {2, 3}));
    ASSERT_EQ(d.survol(), (CaseGrille{2, 3}));
    // Each opening starts again from the page's options, nothing hovered.
    d.hide();
    options.cadresCellules = false;
    d.show();
    EXPECT_EQ(drapeaux(), std::tuple(true, true, false, false));
    EXPECT_FALSE(d.survol().valide());
    // A sign is named in words, a caption without its brackets.
    EXPECT_EQ(std::tuple(d.etiquettes()[0]->accessibleName(), legende(d, "(centime d'euro)")->accessibleName()),
              std::tuple(QStringLiteral("À majuscule"), QStringLiteral("centime d'euro")));
}

TEST_F(ChoixCode, GrilleALaSourisEtAuClavier) {
    ouvre(1);
    const CaseGrille a{0, 1}, vide{0, 0};
    // One place of each kind: where they lie is the grid metrics' own, tested with them.
    const struct { QPoint ou; CaseGrille attendu; } pas[] = {
        {milieu(d, {1, 0}), {1, 0}}, {milieu(d, vide), {1, 0}},  // an empty cell keeps the hover
        {milieu(d, a) + QPoint(d.metriques().A, 0), {}},        // a gap takes it away
        {milieu(d, a), a},
    };
    for (const auto& p : pas) {
        QTest::mouseMove(d.grille(), p.ou);
        EXPECT_EQ(d.survol(), p.attendu) << p.ou.x() << ", " << p.ou.y();
    }
    // A double-click on an empty cell chooses the cell hovered before it.
    QTest::mouseDClick(d.grille(), Qt::LeftButton, {}, milieu(d, vide));
    EXPECT_EQ(std::tuple(d.result(), d.celluleChoisie(), d.aInserer()),
              std::tuple(int(QDialog::Accepted), std::optional<Octet>(8), std::string("a")));
    // Nothing hovered since the opening: it chooses nothing, the dialog stays.
    d.setResult(0);
    ouvre(1);
    QTest::mouseDClick(d.grille(), Qt::LeftButton, {}, milieu(d, vide));
    EXPECT_EQ(std::tuple(d.isVisible(), d.result()), std::tuple(true, 0));
    // From the keyboard: the first arrow goes to the first letter, the others
    // move, the cell is said by its dots, Enter chooses.
    d.grille()->setFocus(Qt::TabFocusReason);
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up}) QTest::keyClick(d.grille(), k);
    QAccessibleInterface* grille = QAccessible::queryAccessibleInterface(d.grille());
    ASSERT_TRUE(grille && grille->focusChild());
    EXPECT_EQ(grille->focusChild()->text(QAccessible::Name), QStringLiteral("points 3"));
    EXPECT_EQ(grille->childCount(), 63);
    QTest::keyClick(d.grille(), Qt::Key_Return);
    EXPECT_EQ(std::tuple(d.result(), d.celluleChoisie()), std::tuple(int(QDialog::Accepted), std::optional<Octet>(32)));
}

TEST_F(ChoixCode, DessinDeLaGrille) {
    options.cadresCellules = true;
    ouvre(1);
    const GrilleCodes& g = d.metriques();
    auto pixel = [&](const QImage& im, CaseGrille c, int bit) {
        return im.pixelColor(centrePoint(g, g.xColonne(c.colonne), g.yRang(c.rang), bit));
    };
    QImage im = essai::image(*d.grille());
    const struct { CaseGrille c; int bit; QColor attendu; } cas[] = {
        {{1, 0}, 5, couleurs::bleu},    {{1, 0}, 3, couleurs::gris},   // dot 3 of the first row; dot 1 absent
        {{0, 1}, 3, couleurs::rouge},   {{0, 11}, 2, couleurs::vert},  // a; dots 4 5
        {{1, 1}, 5, couleurs::noir},                                   // k's dot 3
    };
    for (const auto& x : cas) EXPECT_EQ(pixel(im, x.c, x.bit), x.attendu) << x.c.colonne << ", " << x.c.rang << " bit " << x.bit;
    EXPECT_EQ(std::tuple(im.pixelColor(g.xColonne(1), g.yRang(1)), im.pixelColor(3, g.ySeparation(1))),
              std::tuple(couleurs::rouge, couleurs::argent));  // a frame, a separating line
    // Without grey dots and frame; the hovered cell's character boxed on its left.
    d.boutonPointsGris()->click();
    d.boutonCadre()->click();
    QTest::mouseMove(d.grille(), milieu(d, {1, 1}));
    im = essai::image(*d.grille());
    EXPECT_EQ(std::tuple(pixel(im, {1, 1}, 4), im.pixelColor(g.xColonne(1), g.yRang(1))),
              std::tuple(couleurs::blanc, couleurs::blanc));
    const Rectangle b = g.boiteCaractere({1, 1});
    EXPECT_EQ(std::tuple(im.pixelColor(b.x, b.y + b.hauteur / 2), im.pixelColor(b.x + b.largeur - 1, b.y + 2)),
              std::tuple(couleurs::bleu, couleurs::bleu));
    int encre = 0;  // the character inside
    for (int y = b.y + 1; y < b.y + b.hauteur - 1; ++y)
        for (int x = b.x + 1; x < b.x + b.largeur - 1; ++x) encre += im.pixelColor(x, y) != couleurs::blanc;
    EXPECT_GT(encre, 20);
}

TEST_F(ChoixCode, ApercuDesSignesEnNoir) {
    ouvre(0);
    QWidget* apercu = d.apercu();
    EXPECT_FALSE(apercu->isVisible());
    QLabel* plus = etiquette(d, 17);
    survole(plus);
    EXPECT_EQ(d.texteApercu(), "!");
    ASSERT_TRUE(apercu->isVisible());
    EXPECT_EQ(apercu->geometry(), QRect(plus->geometry().bottomRight() + QPoint(1, 1), QSize(31, 43)));
    // "!": dots 2 3 5 in black, the absent dot 1 in grey.
    const GrilleCodes& g = d.metriques();
    const QImage im = essai::image(*apercu);
    EXPECT_EQ(std::tuple(im.pixelColor(centrePoint(g, g.xApercu(0), g.yApercu(), 4)),
                         im.pixelColor(centrePoint(g, g.xApercu(0), g.yApercu(), 3))),
              std::tuple(couleurs::noir, couleurs::gris));
    // Three cells; at the right edge the box moves left to stay in the page.
    for (auto [tag, apercuAttendu] : {std::pair{46, "\xB4\xF3\xF3"}, {56, "\xA4p"}}) {
        QLabel* l = etiquette(d, tag);
        survole(l);
        const int largeur = g.largeurApercu(static_cast<int>(std::strlen(apercuAttendu)));
        EXPECT_EQ(std::tuple(d.texteApercu(), apercu->width(), apercu->x()),
                  std::tuple(std::string(apercuAttendu), largeur, std::min(l->geometry().right() + 1, d.pageNoir()->width() - largeur)));
        EXPECT_LE(apercu->geometry().right(), d.pageNoir()->width() - 1);
    }
    // Off the signs, the preview goes.
    QTest::mouseMove(d.pageNoir(), QPoint(d.pageNoir()->width() - 3, d.pageNoir()->height() - 3));
    EXPECT_EQ(std::tuple(apercu->isVisible(), d.texteApercu()), std::tuple(false, std::string()));
}

// ---- Through the main window ------------------------------------------------------

using AutreCode = essai::Fenetre;

TEST_F(AutreCode, InsereCeQueLeDialogueAChoisi) {
    auto bouton = [this](const char* nom) {
        for (QToolButton* b : f->panelBoutons().findChildren<QToolButton*>())
            if (b->accessibleName() == QString::fromUtf8(nom)) return b;
        throw std::runtime_error(nom);
    };
    // The tool button, then the user's gesture in the dialog.
    Tdlgchoixcode& d = f->dialogueCodes();
    auto choisit = [&](int onglet, std::function<void()> geste) {
        essai::pendant(d, [&d, onglet, geste] {
            if (!QTest::qWaitForWindowExposed(&d)) return;
            d.onglets()->setCurrentIndex(onglet);
            geste();
        });
        bouton("Autre code")->click();
    };
    // What insereCaractere makes of "¬" in a document of its own.
    FormatPage format;
    DocumentBraille autre{format};
    EditeurBraille{autre}.insereCaractere(0xAC);
    f->editeur().insereNoir("x");
    // Cell 5 (dots 4 6) by a double-click on the grid; the keyboard back on the page.
    choisit(1, [&d] { QTest::mouseDClick(d.grille(), Qt::LeftButton, {}, milieu(d, {1, 12})); });
    EXPECT_EQ(f->document().texte(), "x\xD1");
    EXPECT_EQ(f->focusWidget(), static_cast<QWidget*>(&f->vueNoir()));
    choisit(0, [&d] { QTest::mouseDClick(etiquette(d, 47), Qt::LeftButton, {}, QPoint(2, 2)); });  // "_"
    EXPECT_EQ(f->document().texte(), "x\xD1" + autre.texte());
    // A caption, or "Fermer" after hovering a cell: nothing.
    const std::string avant = f->document().texte();
    choisit(0, [&d] { QTest::mouseDClick(legende(d, "(euro)"), Qt::LeftButton, {}, QPoint(3, 3)); });
    choisit(1, [&d] {
        QTest::mouseMove(d.grille(), milieu(d, {2, 4}));
        QTest::mouseClick(d.fermer(), Qt::LeftButton);
    });
    EXPECT_EQ(std::tuple(f->document().texte(), d.result()), std::tuple(avant, int(QDialog::Rejected)));
    // From the menu and the keyboard alone: the arrows walk the signs as they
    // stand (right of "À" is "Â", below it "Œ"), Return inserts.
    QTimer::singleShot(0, &d, [&d] {
        if (!QTest::qWaitForWindowExposed(&d)) return;
        d.etiquettes()[0]->setFocus(Qt::TabFocusReason);
        for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(QApplication::focusWidget(), k);
        if (d.isVisible()) d.reject();
    });
    f->action(QStringLiteral("&Autre code"))->trigger();
    EXPECT_EQ(std::tuple(d.result(), d.texteChoisi()), std::tuple(int(QDialog::Accepted), std::string("\x8C")));
    EXPECT_EQ(f->focusWidget(), static_cast<QWidget*>(&f->vueNoir()));
    // The frame follows the Braille page's.
    bouton("Affichage du cadre")->click();
    bool cadre = false;
    choisit(1, [&d, &cadre] {
        cadre = d.cadre() && d.boutonCadre()->isChecked();
        d.reject();
    });
    EXPECT_TRUE(cadre);
    EXPECT_EQ(messages, std::vector<QString>{});
}
