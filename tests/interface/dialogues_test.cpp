#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEngine>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

#include "interface/dialogueformat.h"
#include "interface/dialoguefontes.h"

using namespace dotavob;

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

template <class T>
T* controle(QWidget& d, const char* nom) {
    auto* c = d.findChild<T*>(QString::fromLatin1(nom));
    if (!c) throw std::runtime_error(std::string("pas de contrôle ") + nom);
    return c;
}

// Near the left edge, where a check box or a radio button has its box.
void clique(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }

void tape(QSpinBox* s, const QString& texte) {
    s->setFocus();
    s->selectAll();
    QTest::keyClicks(s, texte);
}

// What the user does while the modal dialog is up; a dialog the gesture
// leaves open is closed, so that a fault never hangs the run.
void pendant(QDialog& d, std::function<void()> geste) {
    QTimer::singleShot(0, &d, std::move(geste));
    QTimer::singleShot(5000, &d, [&d] {
        if (!d.isVisible()) return;
        ADD_FAILURE() << "dialogue resté ouvert";
        d.reject();
    });
}

FormatPage formatPeuCommun() {
    FormatPage f;
    f.lignes = 40, f.caracteres = 25, f.indentation = 4, f.interligneDouble = true;
    f.entete = Bande{false, "Page [P]/[T]", Alignement::Centre, 3};
    f.pied = Bande{true, "\xE9t\xE9 [P]", Alignement::Gauche, 5};  // "été" in code page 1252
    f.derive();
    return f;
}

class DialogueFormat : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString fichier = dossier.filePath(QStringLiteral("r.conf"));
    MagasinReglages reglages{fichier};
    TdlgFormatpage d{reglages, nullptr};
    QSpinBox* lignes() { return controle<QSpinBox>(d, "spEdnblgpg"); }
    QCheckBox* interligne() { return controle<QCheckBox>(d, "chbinterligne"); }
};

}  // namespace

TEST_F(DialogueFormat, LesControlesPrennentEtRendentLeFormat) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Format des pages"));
    const FormatPage f = formatPeuCommun();
    d.fixeFormat(f);
    EXPECT_EQ(d.format(), f);
    EXPECT_EQ(controle<QLineEdit>(d, "Editpied")->text(), QStringLiteral("été [P]"));
    EXPECT_EQ(std::tuple(controle<QLineEdit>(d, "Editentete")->isEnabled(), controle<QLineEdit>(d, "Editpied")->isEnabled(),
                         controle<QRadioButton>(d, "RBCentre")->isChecked(), controle<QRadioButton>(d, "RBGauche1")->isChecked()),
              std::tuple(false, true, true, true));
    // Values beyond the ranges are brought to their ends.
    for (auto [taille, premiere, attendu] : {std::tuple{-3, -12, std::tuple(10, 10, 1, 1)}, {200, 240, {60, 50, 100, 100}},
                                             {9, 0, {10, 10, 1, 1}}, {61, 101, {60, 50, 100, 100}}}) {
        FormatPage g = f;
        g.lignes = g.caracteres = taille;
        g.entete.premierePage = g.pied.premierePage = premiere;
        d.fixeFormat(g);
        const FormatPage h = d.format();
        EXPECT_EQ(std::tuple(h.lignes, h.caracteres, h.entete.premierePage, h.pied.premierePage), attendu) << taille;
    }
}

TEST_F(DialogueFormat, InterligneDoubleSeulementDialogueVisible) {
    // A format given to the hidden dialog keeps its lines, ticked or not.
    FormatPage f;
    f.interligneDouble = true;
    d.fixeFormat(f);
    EXPECT_EQ(lignes()->value(), 28);
    interligne()->click();
    EXPECT_FALSE(interligne()->isChecked());
    EXPECT_EQ(lignes()->value(), 28);
    // The user's click halves, the next one doubles.
    d.show();
    clique(interligne());
    EXPECT_TRUE(interligne()->isChecked());
    EXPECT_EQ(lignes()->value(), 14);
    clique(interligne());
    EXPECT_EQ(lignes()->value(), 28);
    lignes()->setValue(31);
    QTest::keyClick(interligne(), Qt::Key_Space);
    QTest::keyClick(interligne(), Qt::Key_Space);
    EXPECT_EQ(lignes()->value(), 30);
}

TEST_F(DialogueFormat, ModelesSuiventLeurCaseEtLaLongueurDeLigne) {
    d.show();
    for (const char* nom : {"entete", "pied"}) {
        SCOPED_TRACE(nom);
        const bool estEntete = std::string(nom) == "entete";
        auto* active = controle<QCheckBox>(d, estEntete ? "chbentete" : "chBPied");
        auto* modele = controle<QLineEdit>(d, estEntete ? "Editentete" : "Editpied");
        EXPECT_EQ(modele->isEnabled(), estEntete);  // header on, footer off at first
        clique(active);
        EXPECT_EQ(modele->isEnabled(), !estEntete);
        if (estEntete) clique(active);
        ASSERT_TRUE(modele->isEnabled());
        // No longer than a line...
        controle<QSpinBox>(d, "spednbcarlg")->setValue(12);
        modele->clear();
        QTest::keyClicks(modele, QStringLiteral("abcdefghijklmnop"));
        EXPECT_EQ(modele->text(), QStringLiteral("abcdefghijkl"));
        // ...but a shorter line cuts nothing, it only stops the growth.
        controle<QSpinBox>(d, "spednbcarlg")->setValue(10);
        EXPECT_EQ(modele->text(), QStringLiteral("abcdefghijkl"));
        QTest::keyClick(modele, Qt::Key_Backspace);
        QTest::keyClicks(modele, QStringLiteral("xy"));
        EXPECT_EQ(modele->text(), QStringLiteral("abcdefghijk"));
        controle<QSpinBox>(d, "spednbcarlg")->setValue(13);
        QTest::keyClicks(modele, QStringLiteral("xyz"));
        EXPECT_EQ(modele->text(), QStringLiteral("abcdefghijkxy"));
    }
}

TEST_F(DialogueFormat, OkEnregistreLeFormat) {
    FormatPage f = chargeformat(std::nullopt);
    f.indentation = 3;
    d.fixeFormat(f);
    pendant(d, [this] {
        tape(lignes(), QStringLiteral("5"));  // below the range: 10 once validated
        clique(controle<QCheckBox>(d, "chbentete"));
        clique(controle<QCheckBox>(d, "chBPied"));
        clique(interligne());
        clique(controle<QPushButton>(d, "boutok"));
    });
    ASSERT_TRUE(d.edite());
    const auto lu = MagasinReglages(fichier).litformat();
    ASSERT_TRUE(lu.has_value());
    // 10 lines halved by the double spacing, then clamped to 10.
    EXPECT_EQ(std::tuple(lu->version, lu->lignes, lu->caracteres, lu->indentation, lu->interligneDouble, lu->entete, lu->pied),
              std::tuple(1, 10, 30, 3, true, false, true));
    EXPECT_EQ(d.format().nbLignesTexte, 9);
}

TEST_F(DialogueFormat, AnnulerRemetLesControlesDeLOuverture) {
    const FormatPage f = formatPeuCommun();
    d.fixeFormat(f);
    pendant(d, [this] {
        tape(lignes(), QStringLiteral("45"));
        clique(interligne());
        tape(controle<QSpinBox>(d, "spednbcarlg"), QStringLiteral("20"));
        clique(controle<QCheckBox>(d, "chbentete"));
        QTest::keyClicks(controle<QLineEdit>(d, "Editentete"), QStringLiteral(" !"));
        clique(controle<QRadioButton>(d, "RBGauche"));
        tape(controle<QSpinBox>(d, "EditPremEntete"), QStringLiteral("9"));
        QTest::keyClicks(controle<QLineEdit>(d, "Editpied"), QStringLiteral("x"));
        clique(controle<QCheckBox>(d, "chBPied"));
        clique(controle<QRadioButton>(d, "RBDroite1"));
        tape(controle<QSpinBox>(d, "EditPremPied"), QStringLiteral("77"));
        clique(controle<QPushButton>(d, "boutannuler"));
    });
    EXPECT_FALSE(d.edite());
    EXPECT_EQ(d.format(), f);
    EXPECT_FALSE(controle<QLineEdit>(d, "Editentete")->isEnabled());
    EXPECT_TRUE(controle<QLineEdit>(d, "Editpied")->isEnabled());
    EXPECT_FALSE(MagasinReglages(fichier).litformat().has_value());
    // After an OK, Cancel goes back to what that OK left; Escape is a Cancel.
    pendant(d, [this] {
        tape(lignes(), QStringLiteral("50"));
        clique(controle<QPushButton>(d, "boutok"));
    });
    ASSERT_TRUE(d.edite());
    pendant(d, [this] {
        tape(lignes(), QStringLiteral("33"));
        clique(interligne());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(d.edite());
    EXPECT_EQ(lignes()->value(), 50);
    EXPECT_TRUE(interligne()->isChecked());
}

TEST(DialogueIndentation, BornesOkEtAnnuler) {
    TdlgIndent d(nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Indentation des paragraphes"));
    EXPECT_EQ(d.indentation(), 2);
    for (auto [donnee, gardee] : {std::pair{9, 5}, {-1, 0}}) {
        d.fixeIndentation(donnee);
        EXPECT_EQ(d.indentation(), gardee) << donnee;
    }
    auto* sp = controle<QSpinBox>(d, "spEdIndent");
    pendant(d, [&] {
        tape(sp, QStringLiteral("4"));
        clique(controle<QPushButton>(d, "boutok"));
    });
    EXPECT_TRUE(d.edite());
    EXPECT_EQ(d.indentation(), 4);
    pendant(d, [&] {
        tape(sp, QStringLiteral("1"));
        clique(controle<QPushButton>(d, "boutannuler"));
    });
    EXPECT_FALSE(d.edite());
    EXPECT_EQ(d.indentation(), 4);
}

namespace {

// An image that notes, for each text drawn on it, the font it was drawn in.
class SurfaceTextes : public QImage {
public:
    struct Texte {
        QString texte, famille;
        int taille;
    };
    QList<Texte> textes;
    SurfaceTextes() : QImage(400, 20, QImage::Format_RGB32) {}
    QPaintEngine* paintEngine() const override { return &moteur_; }

private:
    class Moteur : public QPaintEngine {
    public:
        explicit Moteur(SurfaceTextes& s) : QPaintEngine(AllFeatures), s_(s) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath&) override {}
        void drawTextItem(const QPointF&, const QTextItem& t) override {
            s_.textes.append({t.text(), t.font().family(), t.font().pixelSize()});
        }
        Type type() const override { return User; }

    private:
        SurfaceTextes& s_;
    };
    mutable Moteur moteur_{*this};
};

QListWidget* listeFontes(QWidget& d) { return controle<QListWidget>(d, "listeFontes"); }

}  // namespace

TEST(DialogueFontes, PolicesFixesChacuneDansSaFonte) {
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QStringLiteral("r.conf"));
    MagasinReglages reglages(fichier);
    Tdlgfontes d(reglages, nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Choix de la police de caractères"));
    const QStringList fixes = fontesFixes();
    ASSERT_GE(fixes.size(), 2) << "fixed-pitch fonts are needed (fonts-dejavu-core, fonts-liberation)";
    QString nom = fixes.last();
    pendant(d, [&] {
        QListWidget* l = listeFontes(d);
        EXPECT_EQ(l->currentItem() ? l->currentItem()->text() : QString(), fixes.last());
        for (int i = 0; i < l->count(); ++i) {
            const QString texte = l->item(i)->text();
            EXPECT_TRUE(QFontDatabase::isFixedPitch(texte)) << texte.toStdString();
            SurfaceTextes s;
            QPainter p(&s);
            QStyleOptionViewItem option;
            option.initFrom(l->viewport());
            option.rect = QRect(0, 0, 400, 20);
            l->itemDelegate()->paint(&p, option, l->model()->index(i, 0));
            p.end();
            ASSERT_EQ(s.textes.size(), 1);
            EXPECT_EQ(std::tuple(s.textes[0].texte, s.textes[0].famille, s.textes[0].taille), std::tuple(texte, texte, 18));
        }
        // Another entry, then Cancel: nothing changes.
        l->setCurrentRow(0);
        clique(controle<QPushButton>(d, "boutannuler"));
    });
    EXPECT_FALSE(d.choisit(nom));
    EXPECT_EQ(nom, fixes.last());
    std::string stocke;
    EXPECT_FALSE(MagasinReglages(fichier).litfonte(stocke));
    // A double-click takes the entry and stores it.
    pendant(d, [&] {
        QListWidget* l = listeFontes(d);
        const QPoint p = l->visualItemRect(l->item(0)).center();
        // As a mouse sends it: the first click, then the second as a double-click.
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, p);
    });
    EXPECT_TRUE(d.choisit(nom));
    EXPECT_EQ(nom, fixes.first());
    EXPECT_TRUE(MagasinReglages(fichier).litfonte(stocke));
    EXPECT_EQ(QString::fromStdString(stocke), fixes.first());
}

TEST(DialogueFontes, ChoisitfontePrendCourierNewPourUnePoliceAbsente) {
    QStringList messages;
    auto choisit = [&](const QString& nom) { return choisitfonte(nom, nullptr, [&](const QString& m) { messages << m; }); };
    const QString fixe = fontesFixes().value(0);
    ASSERT_FALSE(fixe.isEmpty());
    EXPECT_EQ(choisit(fixe), fixe);
    EXPECT_EQ(choisit(QStringLiteral("Courier New")), QStringLiteral("Courier New"));
    EXPECT_TRUE(messages.isEmpty());

    EXPECT_EQ(choisit(QStringLiteral("Lucida Console")), QStringLiteral("Courier New"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("La police de caractères : Lucida Console n'existe pas sur cet ordinateur\n"
                                          "elle sera remplacée par la police \"Courier New\""));
    // Another letter case, or a proportional font, counts as missing.
    EXPECT_EQ(choisit(fixe.toUpper()), QStringLiteral("Courier New"));
    const QStringList toutes = QFontDatabase::families();
    const auto proportionnelle =
        std::find_if(toutes.begin(), toutes.end(), [](const QString& f) { return !QFontDatabase::isFixedPitch(f); });
    ASSERT_NE(proportionnelle, toutes.end());
    EXPECT_EQ(choisit(*proportionnelle), QStringLiteral("Courier New"));
    ASSERT_EQ(messages.size(), 3);
    EXPECT_TRUE(messages[1].contains(fixe.toUpper()));
}
