#include "plateforme/reglages.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

using namespace dotavob;

namespace {

const char* programme = nullptr;

std::string decrit(const std::optional<FormatStocke>& f) {
    if (!f) return "absent";
    auto v = [](const auto& o) { return o ? std::to_string(static_cast<int>(*o)) : std::string("-"); };
    return v(f->version) + " " + v(f->lignes) + " " + v(f->caracteres) + " " + v(f->indentation) + " " +
           v(f->interligneDouble) + " " + v(f->entete) + " " + v(f->pied);
}

// What another process reads from the same file.
std::string luParUnAutreProcessus(const QString& fichier) {
    const std::string commande = std::string(programme) + " --lis-format '" + fichier.toStdString() + "'";
    std::FILE* p = ::popen(commande.c_str(), "r");
    if (!p) return "popen";
    char ligne[256] = {};
    std::string r = std::fgets(ligne, sizeof ligne, p) ? ligne : "";
    ::pclose(p);
    return r;
}

class Reglages : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString fichier = dossier.filePath(QStringLiteral("DotavoB.conf"));
    MagasinReglages magasin{fichier};
};

}  // namespace

TEST_F(Reglages, FormatDePage) {
    FormatPage f = chargeformat(std::nullopt);
    f.setLignes(26);
    f.setCaracteres(40);
    f.setIndentation(3);
    f.interligneDouble = true;
    magasin.ecritformat(formatAStocker(f));
    EXPECT_EQ(decrit(magasin.litformat()), "1 26 40 3 1 1 0");
    // The flags are stored as 0 or 1, and another process reads the same values.
    QSettings brut(fichier, QSettings::IniFormat);
    EXPECT_EQ(brut.value(QStringLiteral("Format Page/Entete")).toString() + brut.value(QStringLiteral("Format Page/Pied")).toString(),
              QStringLiteral("10"));
    EXPECT_EQ(luParUnAutreProcessus(fichier), "1 26 40 3 1 1 0\n");
    EXPECT_EQ(chargeformat(magasin.litformat()).nbLignesTexte, 25);
}

TEST_F(Reglages, CleIncomplete) {
    // A font chosen before any page format: the key holds only "Fonte".
    magasin.ecritfonte("Liberation Mono \xE9");
    std::string fonte;
    EXPECT_TRUE(magasin.litfonte(fonte));
    EXPECT_EQ(fonte, "Liberation Mono \xE9");
    const auto stocke = magasin.litformat();
    ASSERT_TRUE(stocke);
    EXPECT_EQ(decrit(stocke), "- - - - - - -");
    const FormatPage f = chargeformat(stocke);  // a missing value is the default, "Entete" included
    EXPECT_EQ(std::tuple(f.cpl, f.lignes, f.entete.active), std::tuple(30, 28, true));
    EXPECT_EQ(magasin.messageProblemes(), QString());
    // A value of the wrong type counts as missing, and the user hears of it once.
    QSettings(fichier, QSettings::IniFormat).setValue(QStringLiteral("Format Page/Lignes"), QStringLiteral("beaucoup"));
    EXPECT_FALSE(magasin.litformat()->lignes);
    EXPECT_TRUE(magasin.messageProblemes().contains(QStringLiteral("Format Page/Lignes")));
    EXPECT_EQ(magasin.messageProblemes(), QString());
}

TEST_F(Reglages, MagasinQuiNePeutEtreEcrit) {
    // The store's folder cannot exist: a plain file stands where it should be.
    ASSERT_TRUE(QFile(dossier.filePath(QStringLiteral("dossier"))).open(QIODevice::WriteOnly));
    MagasinReglages impossible(dossier.filePath(QStringLiteral("dossier/DotavoB.conf")));
    EXPECT_FALSE(impossible.ecritformat(formatAStocker(chargeformat(std::nullopt))));
    EXPECT_TRUE(impossible.messageProblemes().contains(QStringLiteral("n'ont pas pu être enregistrés")));
}

// The speech settings are read back whole by the speech dialog's tests.
TEST_F(Reglages, Embosseuse) {
    magasin.ecritembosseuse({27, 32, 2, 1, 3});
    const auto e = magasin.litembosseuse();
    ASSERT_TRUE(e);
    EXPECT_EQ(std::tuple(e->lignes, e->caracteres, e->margeGauche, e->margeHaut, e->code), std::tuple(27, 32, 2, 1, 3));
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--lis-format") {
        std::printf("%s\n", decrit(MagasinReglages(QString::fromLocal8Bit(argv[2])).litformat()).c_str());
        return 0;
    }
    programme = argv[0];
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
