#include "interface/dialoguesynthese.h"

#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "commun/fenetre.h"

using namespace dotavob;

namespace {

class OptionsSynthese : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString fichier = dossier.filePath(QStringLiteral("r.conf"));
    MagasinReglages reglages{fichier};
    essai::MoteurEspion moteur;

    void SetUp() override {
        moteur.liste = {{QStringLiteral("Microsoft Server Speech Text to Speech Voice (fr-FR, Hortense)"),
                         QStringLiteral("fr_FR"), QStringLiteral("Hortense, fr_FR")},
                        {QStringLiteral("kal"), QStringLiteral("en_US"), QStringLiteral("kal, en_US")}};
        QFile dico(dossier.filePath(QStringLiteral("dico-fr_FR.txt")));
        ASSERT_TRUE(dico.open(QIODevice::WriteOnly));
        dico.write("chat\r\n\xC3\xA9t\xC3\xA9\r\n");
    }
    std::unique_ptr<TDlgOptionSpEng> dialogue(MoteurSynthese& m) {
        return std::make_unique<TDlgOptionSpEng>(reglages, m, nullptr, dossier.path());
    }
    static auto positions(const TDlgOptionSpEng& d) {
        return std::tuple(d.volume()->value(), d.vitesse()->value(), d.hauteur()->value(), d.lecture()->value());
    }
    auto applique() const { return std::tuple(moteur.choisie, moteur.volume, moteur.vitesse); }
    static int pendant(TDlgOptionSpEng& d, std::function<void()> geste) {
        essai::pendant(d, std::move(geste));
        return d.exec();
    }
};

}  // namespace

TEST_F(OptionsSynthese, PremiereVoixEtSonDictionnaire) {
    auto d = dialogue(moteur);
    ASSERT_EQ(d->voix()->count(), 2);
    EXPECT_EQ(d->voix()->currentIndex(), 0);
    EXPECT_EQ(positions(*d), std::tuple(255, 127, 0, 50));
    EXPECT_EQ(applique(), std::tuple(0, 1.0, 0.0));
    EXPECT_EQ(d->dictionnaire(), (QStringList{QStringLiteral("chat"), QStringLiteral("été")}));
    // A voice reads at its own speed.
    EXPECT_FALSE(d->lecture()->isEnabled());
    // Another voice chosen: no word list for its language.
    d->show();
    QTest::keyClick(d->voix(), Qt::Key_Down);
    EXPECT_EQ(std::tuple(moteur.choisie, d->dictionnaire().isEmpty()), std::tuple(1, true));
}

TEST_F(OptionsSynthese, CurseursAppliquesEtEnregistres) {
    auto d = dialogue(moteur);
    d->show();
    // From the keyboard each step reaches the voice; Cancel stores nothing and puts the voice back.
    QTest::keyClick(d->volume(), Qt::Key_PageDown);
    EXPECT_EQ(std::tuple(d->volume()->value(), moteur.volume), std::tuple(245, 245 / 255.0));
    QTest::keyClick(d->vitesse(), Qt::Key_Home);
    EXPECT_EQ(moteur.vitesse, -1.0);
    d->hide();
    EXPECT_NE(pendant(*d, [&d] { QTest::mouseClick(d->annuler(), Qt::LeftButton); }), QDialog::Accepted);
    EXPECT_FALSE(MagasinReglages(fichier).litsynthvoc());
    EXPECT_EQ(applique(), std::tuple(0, 1.0, 0.0));
    // OK stores the voice's entry and the four positions; a new dialog takes them back.
    EXPECT_EQ(pendant(*d,
                      [&d] {
                          d->voix()->setCurrentIndex(1);
                          d->volume()->setValue(51);
                          d->vitesse()->setValue(254);
                          d->hauteur()->setValue(-3);
                          QTest::mouseClick(d->ok(), Qt::LeftButton);
                      }),
              QDialog::Accepted);
    const auto r = MagasinReglages(fichier).litsynthvoc();
    ASSERT_TRUE(r);
    EXPECT_EQ(std::tuple(r->voix, r->volume, r->vitesse, r->pitch, r->lecture), std::tuple("kal", 51, 254, -3, 50));
    auto nouveau = dialogue(moteur);
    EXPECT_EQ(std::tuple(nouveau->voix()->currentIndex(), positions(*nouveau)), std::tuple(1, std::tuple(51, 254, -3, 50)));
    EXPECT_EQ(applique(), std::tuple(1, 0.2, 1.0));
    // "Paramètres originaux": the four defaults, applied at once.
    QTest::mouseClick(nouveau->parametresOriginaux(), Qt::LeftButton);
    EXPECT_EQ(positions(*nouveau), std::tuple(255, 127, 0, 50));
    EXPECT_EQ(applique(), std::tuple(1, 1.0, 0.0));
}

TEST_F(OptionsSynthese, SansVoixLesReglagesRestent) {
    // The engine this machine has (none without an engine plugin), and an engine with no voice.
    SyntheseSysteme systeme;
    moteur.liste.clear();
    for (MoteurSynthese* m : {static_cast<MoteurSynthese*>(&systeme), static_cast<MoteurSynthese*>(&moteur)}) {
        QFile::remove(fichier);
        auto d = dialogue(*m);
        EXPECT_EQ(d->voix()->count(), m->voix().size());
        pendant(*d, [&d] {
            d->volume()->setValue(100);
            d->lecture()->setValue(20);
            d->ok()->click();
        });
        EXPECT_EQ(positions(*dialogue(*m)), std::tuple(100, 127, 0, 20));
    }
    // No voice: nothing applied, no voice stored, the reading speed open.
    EXPECT_EQ(applique(), std::tuple(-1, -1.0, -9.0));
    EXPECT_EQ(MagasinReglages(fichier).litsynthvoc()->voix, "");
    EXPECT_TRUE(dialogue(moteur)->lecture()->isEnabled());
}
