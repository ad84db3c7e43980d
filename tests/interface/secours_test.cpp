// Recovery copies through the window: written while the document is
// modified, gone once it is saved, offered by the next editor after a crash.
#include <QDir>
#include <QTest>

#include "commun/fenetre.h"
#include "core/fichiers/dtv.h"
#include "core/fichiers/secours.h"
#include "plateforme/secours.h"

using namespace dotavob;
using essai::octets;

namespace {

class Secours : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QStringList messages;
    std::vector<TFDotavoB::ChoixSecours> reponses;  // what the user answers each offer
    QStringList offres;

    void SetUp() override {
        qputenv("DOTAVOB_SECOURS", dossier.filePath(QStringLiteral("secours")).toLocal8Bit());
        qputenv("DOTAVOB_DELAI_SECOURS", "0");
    }
    void TearDown() override { qunsetenv("DOTAVOB_DELAI_SECOURS"); }
    // A window as started, its first paint done and what it offered answered.
    std::unique_ptr<TFDotavoB> demarre() {
        auto f = std::make_unique<TFDotavoB>(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))),
                                             QStringList{QStringLiteral("dotavob")});
        f->afficheErreur = f->informe = [this](const QString& m) { messages << m; };
        f->choisitSecours = [this](const QString& texte) {
            offres << texte;
            if (reponses.empty()) return TFDotavoB::ChoixSecours::Ignorer;
            const auto r = reponses.front();
            reponses.erase(reponses.begin());
            return r;
        };
        f->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(f.get()));
        QTest::qWait(50);
        return f;
    }
    QString fichier(const char* nom) const { return dossier.filePath(QString::fromUtf8(nom)); }
    // The copy as a crashed editor leaves it: no editor's lock beside it.
    void orpheline(const char* id, const CopieDeSecours& c) {
        QDir().mkpath(fichier("secours"));
        QFile f(fichier("secours/") + QString::fromUtf8(id) + QStringLiteral(".copie"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(ecritCopieDeSecours(c)));
    }
};

}  // namespace

TEST_F(Secours, LaCopieSuitLeDocumentModifieEtPartALEnregistrement) {
    auto f = demarre();
    f->editeur().insereNoir("Le chat dort.");
    QTest::qWait(20);
    f->secours().attends();
    std::string lu, erreur;
    ASSERT_TRUE(lisFichier(f->secours().fichier().toStdString(), lu, erreur)) << erreur;
    CopieDeSecours c;
    ASSERT_TRUE(litCopieDeSecours(lu, c, erreur)) << erreur;
    const ResultatLecture r = litDtv(c.document);
    ASSERT_TRUE(r.ok) << r.erreur;
    EXPECT_EQ(std::tuple(c.nom, r.contenu.texte), std::tuple(std::string(), f->document().texte()));
    // Saved: no copy is kept.
    f->fichierAEnregistrer = [this](const QString&, const QString&, const QString&) { return fichier("chat.dtv"); };
    ASSERT_TRUE(f->enregistrer());
    f->secours().attends();
    EXPECT_FALSE(QFile::exists(f->secours().fichier()));
}

TEST_F(Secours, LaCopieDUnEditeurArreteEstRecupereeSousSonNom) {
    // The file as last saved, then the copy of the work typed since.
    ContenuDocument ancien, tape;
    ancien.texte = "ancien texte.";
    tape.texte = ancien.texte + " et la suite.";  // one line, which the layout leaves as is
    std::string erreur;
    ASSERT_TRUE(enregistreDtv(fichier("livre.dtv").toStdString(), ancien, erreur)) << erreur;
    const QByteArray surDisque = octets(fichier("livre.dtv"));
    orpheline("1-1", {fichier("livre.dtv").toStdString(), ecritDtv(tape)});
    orpheline("2-2", {"", "pas un document"});
    // The oldest is offered first.
    QFile abimee(fichier("secours/2-2.copie"));
    ASSERT_TRUE(abimee.open(QIODevice::ReadWrite));
    abimee.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    abimee.close();
    // The damaged one is set aside with a word; the other is recovered,
    // modified, under its name; the file is untouched until the user saves.
    reponses = {TFDotavoB::ChoixSecours::Recuperer, TFDotavoB::ChoixSecours::Recuperer};
    auto f = demarre();
    ASSERT_EQ(offres.size(), 2);
    EXPECT_TRUE(offres[0].contains(QStringLiteral("sans nom"))) << offres[0].toStdString();
    EXPECT_TRUE(offres[1].contains(QStringLiteral("« %1 »").arg(fichier("livre.dtv")))) << offres[1].toStdString();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(QFile::exists(fichier("secours/2-2.copie.illisible")));
    EXPECT_EQ(std::tuple(f->document().texte(), f->nomfichier(), f->document().modifie()),
              std::tuple(tape.texte, fichier("livre.dtv"), true));
    EXPECT_EQ(octets(fichier("livre.dtv")), surDisque);
    // The copy is this editor's now: another one started meanwhile offers nothing.
    EXPECT_TRUE(QFile::exists(f->secours().fichier()));
    offres.clear();
    auto autre = demarre();
    EXPECT_TRUE(offres.isEmpty()) << offres.join(QLatin1Char('|')).toStdString();
    // Saving writes where the user meant, without a question.
    ASSERT_TRUE(f->enregistrer());
    EXPECT_EQ(chargeDtv(fichier("livre.dtv").toStdString()).contenu.texte, tape.texte);
    f->secours().attends();
    EXPECT_FALSE(QFile::exists(f->secours().fichier()));
}

TEST_F(Secours, IgnoreeElleRevientSupprimeeElleDisparait) {
    orpheline("3-3", {"", ""});
    reponses = {TFDotavoB::ChoixSecours::Ignorer};
    demarre();
    ASSERT_EQ(offres.size(), 1);
    reponses = {TFDotavoB::ChoixSecours::Supprimer};
    demarre();
    ASSERT_EQ(offres.size(), 2);
    EXPECT_FALSE(QFile::exists(fichier("secours/3-3.copie")));
    demarre();
    EXPECT_EQ(offres.size(), 2);
}
