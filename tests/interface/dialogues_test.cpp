#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEngine>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <stdexcept>

#include "commun/fenetre.h"
#include "interface/dialoguefontes.h"
#include "interface/dialogueformat.h"

using namespace dotavob;
using essai::pendant;

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

FormatPage formatPeuCommun() {
    FormatPage f;
    f.lignes = 40, f.caracteres = 25, f.indentation = 4, f.interligneDouble = true;
    f.entete = Bande{false, "Page [P]/[T]", Alignement::Centre, 3};
    f.pied = Bande{true, "\xE9t\xE9 [P]", Alignement::Gauche, 5};  // "été" in code page 1252
    f.derive();
    return f;
}

// The dialog on settings of its own.
template <class D>
class Dialogue : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString fichier = dossier.filePath(QStringLiteral("r.conf"));
    MagasinReglages reglages{fichier};
    D d{reglages, nullptr};
};

class DialogueFormat : public Dialogue<TdlgFormatpage> {
protected:
    QSpinBox* lignes() { return controle<QSpinBox>(d, "spEdnblgpg"); }
    QCheckBox* interligne() { return controle<QCheckBox>(d, "chbinterligne"); }
};

}  // namespace

TEST_F(DialogueFormat, LesControlesPrennentEtRendentLeFormat) {
    const FormatPage f = formatPeuCommun();
    d.fixeFormat(f);
    EXPECT_EQ(d.format(), f);
    EXPECT_EQ(controle<QLineEdit>(d, "Editpied")->text(), QStringLiteral("été [P]"));
    EXPECT_EQ(std::tuple(controle<QLineEdit>(d, "Editentete")->isEnabled(), controle<QLineEdit>(d, "Editpied")->isEnabled(),
                         controle<QRadioButton>(d, "RBCentre")->isChecked(), controle<QRadioButton>(d, "RBGauche1")->isChecked()),
              std::tuple(false, true, true, true));
    // Values beyond the ranges are brought to their ends.
    for (auto [taille, premiere, attendu] : {std::tuple{9, 0, std::tuple(10, 10, 1, 1)}, {61, 101, {60, 50, 100, 100}}}) {
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
    interligne()->click();
    EXPECT_EQ(std::tuple(interligne()->isChecked(), lignes()->value()), std::tuple(false, 28));
    // The user's click halves, the next one doubles.
    d.show();
    clique(interligne());
    EXPECT_EQ(std::tuple(interligne()->isChecked(), lignes()->value()), std::tuple(true, 14));
    clique(interligne());
    EXPECT_EQ(lignes()->value(), 28);
    lignes()->setValue(31);
    QTest::keyClick(interligne(), Qt::Key_Space);
    QTest::keyClick(interligne(), Qt::Key_Space);
    EXPECT_EQ(lignes()->value(), 30);
}

TEST_F(DialogueFormat, ModelesSuiventLeurCaseEtLaLongueurDeLigne) {
    d.show();
    auto* entete = controle<QLineEdit>(d, "Editentete");
    auto* pied = controle<QLineEdit>(d, "Editpied");
    EXPECT_EQ(std::tuple(entete->isEnabled(), pied->isEnabled()), std::tuple(true, false));
    clique(controle<QCheckBox>(d, "chbentete"));
    clique(controle<QCheckBox>(d, "chBPied"));
    EXPECT_EQ(std::tuple(entete->isEnabled(), pied->isEnabled()), std::tuple(false, true));
    // No longer than a line, but a shorter line cuts nothing, it only stops the growth.
    auto* caracteres = controle<QSpinBox>(d, "spednbcarlg");
    caracteres->setValue(12);
    pied->clear();
    QTest::keyClicks(pied, QStringLiteral("abcdefghijklmnop"));
    EXPECT_EQ(pied->text(), QStringLiteral("abcdefghijkl"));
    caracteres->setValue(10);
    EXPECT_EQ(pied->text(), QStringLiteral("abcdefghijkl"));
    QTest::keyClick(pied, Qt::Key_Backspace);
    QTest::keyClicks(pied, QStringLiteral("xy"));
    EXPECT_EQ(pied->text(), QStringLiteral("abcdefghijk"));
    caracteres->setValue(13);
    QTest::keyClicks(pied, QStringLiteral("xyz"));
    EXPECT_EQ(pied->text(), QStringLiteral("abcdefghijkxy"));
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
    // Some controls of each kind: Cancel puts the whole format back at once, read and written whole as the first test checks.
    pendant(d, [this] {
        tape(lignes(), QStringLiteral("45"));
        clique(interligne());
        clique(controle<QCheckBox>(d, "chbentete"));
        QTest::keyClicks(controle<QLineEdit>(d, "Editentete"), QStringLiteral(" !"));
        clique(controle<QRadioButton>(d, "RBDroite1"));
        tape(controle<QSpinBox>(d, "EditPremPied"), QStringLiteral("77"));
        clique(controle<QPushButton>(d, "boutannuler"));
    });
    // Braces: the dialog runs before the controls are read.
    EXPECT_EQ((std::tuple{d.edite(), d.format(), controle<QLineEdit>(d, "Editentete")->isEnabled(),
                          controle<QLineEdit>(d, "Editpied")->isEnabled(), MagasinReglages(fichier).litformat().has_value()}),
              std::tuple(false, f, false, true, false));
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
    EXPECT_EQ((std::tuple{d.edite(), lignes()->value(), interligne()->isChecked()}), std::tuple(false, 50, true));
}

TEST_F(DialogueFormat, TabEntreDansLAlignementParLeBoutonCoche) {
    for (const char* coche : {"RBDroite1", "RBCentre1", "RBGauche1"}) {
        clique(controle<QRadioButton>(d, coche));
        // Only the checked button is in the Tab chain; the arrows reach the others.
        for (const char* nom : {"RBGauche1", "RBCentre1", "RBDroite1"}) {
            QRadioButton* b = controle<QRadioButton>(d, nom);
            EXPECT_EQ(bool(b->focusPolicy() & Qt::TabFocus), b->isChecked()) << coche << " " << nom;
        }
    }
}

TEST(DialogueIndentation, BornesOkEtAnnuler) {
    TdlgIndent d(nullptr);
    for (auto [donnee, gardee] : {std::pair{6, 5}, {-1, 0}}) {
        d.fixeIndentation(donnee);
        EXPECT_EQ(d.indentation(), gardee) << donnee;
    }
    auto* sp = controle<QSpinBox>(d, "spEdIndent");
    pendant(d, [&] {
        tape(sp, QStringLiteral("4"));
        clique(controle<QPushButton>(d, "boutok"));
    });
    EXPECT_EQ((std::tuple{d.edite(), d.indentation()}), std::tuple(true, 4));  // braces: in order
    pendant(d, [&] {
        tape(sp, QStringLiteral("1"));
        clique(controle<QPushButton>(d, "boutannuler"));
    });
    EXPECT_EQ((std::tuple{d.edite(), d.indentation()}), std::tuple(false, 4));
}

namespace {

// An image that notes, for each text drawn on it, the font it was drawn in.
class SurfaceTextes : public QImage {
public:
    QList<std::tuple<QString, QString, int>> textes;  // text, family, pixel size
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
        SurfaceTextes& s_;
    };
    mutable Moteur moteur_{*this};
};

QListWidget* listeFontes(QWidget& d) { return controle<QListWidget>(d, "listeFontes"); }

using DialogueFontes = Dialogue<Tdlgfontes>;

}  // namespace

TEST_F(DialogueFontes, PolicesFixesChacuneDansSaFonte) {
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
            EXPECT_EQ(s.textes[0], std::tuple(texte, texte, 18));
        }
        // Another entry, then Cancel: nothing changes.
        l->setCurrentRow(0);
        clique(controle<QPushButton>(d, "boutannuler"));
    });
    std::string stocke;
    bool choisi = d.choisit(nom);
    EXPECT_EQ(std::tuple(choisi, nom, MagasinReglages(fichier).litfonte(stocke)), std::tuple(false, fixes.last(), false));
    // A double-click takes the entry and stores it.
    pendant(d, [&] {
        QListWidget* l = listeFontes(d);
        const QPoint p = l->visualItemRect(l->item(0)).center();
        // As a mouse sends it: the first click, then the second as a double-click.
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, p);
    });
    choisi = d.choisit(nom);
    EXPECT_EQ(std::tuple(choisi, nom, MagasinReglages(fichier).litfonte(stocke)), std::tuple(true, fixes.first(), true));
    EXPECT_EQ(QString::fromStdString(stocke), fixes.first());
}

TEST_F(DialogueFontes, OkSansAutreChoixGardeLaPoliceDuDocument) {
    // "Courier New" resolves to another family here: that entry is selected,
    // the keyboard on the list, and OK keeps the document's name.
    QString nom = QStringLiteral("Courier New");
    const QString resolue = QFontInfo(QFont(nom)).family();
    ASSERT_NE(resolue, nom);
    pendant(d, [&] {
        QListWidget* l = listeFontes(d);
        EXPECT_EQ(l->currentItem() ? l->currentItem()->text() : QString(), resolue);
        EXPECT_EQ(d.focusWidget(), static_cast<QWidget*>(l));
        clique(controle<QPushButton>(d, "boutok"));
    });
    EXPECT_TRUE(d.choisit(nom));
    EXPECT_EQ(nom, QStringLiteral("Courier New"));
}

TEST(ChoixDeFonte, ChoisitfontePrendCourierNewPourUnePoliceAbsente) {
    QStringList messages;
    auto choisit = [&](const QString& nom) { return choisitfonte(nom, nullptr, [&](const QString& m) { messages << m; }); };
    const QString fixe = fontesFixes().value(0);
    ASSERT_FALSE(fixe.isEmpty());
    EXPECT_EQ(choisit(fixe), fixe);
    EXPECT_EQ(choisit(QStringLiteral("Courier New")), QStringLiteral("Courier New"));
    EXPECT_TRUE(messages.isEmpty());
    // Missing, another letter case, or a proportional font: replaced, and said.
    EXPECT_EQ(choisit(QStringLiteral("Lucida Console")), QStringLiteral("Courier New"));
    EXPECT_EQ(choisit(fixe.toUpper()), QStringLiteral("Courier New"));
    const QStringList toutes = QFontDatabase::families();
    const auto proportionnelle =
        std::find_if(toutes.begin(), toutes.end(), [](const QString& f) { return !QFontDatabase::isFixedPitch(f); });
    ASSERT_NE(proportionnelle, toutes.end());
    EXPECT_EQ(choisit(*proportionnelle), QStringLiteral("Courier New"));
    ASSERT_EQ(messages.size(), 3);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Lucida Console")));
    EXPECT_TRUE(messages[1].contains(fixe.toUpper()));
    // A name of any length, as a file may hold: the message quotes its start.
    EXPECT_EQ(choisit(QString(100000, QLatin1Char('x'))), QStringLiteral("Courier New"));
    EXPECT_TRUE(messages.back().contains(QString(40, QLatin1Char('x')) + QStringLiteral("…")));
    EXPECT_LT(messages.back().size(), 200);
}
