#include "core/fichiers/transcriptionfichier.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "core/fichiers/importation.h"

using namespace dotavob;
namespace fs = std::filesystem;

namespace {

class TranscriptionFichier : public ::testing::Test {
protected:
    void SetUp() override {
        dossier_ = fs::temp_directory_path() /
                   ("dotavob-tf-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                    std::to_string(std::random_device{}()));
        fs::create_directories(dossier_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dossier_, ec);
    }
    std::string fichier(const std::string& nom, const std::string& contenu) const {
        const fs::path p = dossier_ / nom;
        std::ofstream(p, std::ios::binary) << contenu;
        return p.string();
    }
    fs::path dossier_;
};

// What the editor makes of the file imported whole: the bytes, and what was lost.
std::pair<std::string, BilanTranscription> dUnSeulTenant(const std::string& contenu, const std::string& nom,
                                                         const FormatPage& format) {
    BilanTranscription b;
    const std::string texte = texteImporte(contenu, nom, &b.invalides, &b.remplaces, &b.omissions);
    ContenuDocument c;
    c.texte = TranscritEnDocument(texte, format.cpl, &b.omis);
    c.format = format;
    return {ecritDtv(c), b};
}

// A French text of every kind of line: accents, capitals, numbers, words
// longer than a line, signs with no cell, characters code page 1252 lacks,
// each line ended by LF, CR LF or a lone CR.
std::string texteAuHasard(std::size_t octets, unsigned graine) {
    static const char* const morceaux[] = {
        "le ",      "Chat ",  "\xC3\xA9t\xC3\xA9 ", "ABC ", "12 ",  "3,5 ", "/usr/lib/x86_64-linux-gnu/libtruc.so ",
        "\t",       "- ",     "l'",                  "(",    ") ",   ". ",   "anticonstitutionnellement ",
        "\x01",     "\xCE\xB1 ", "\xE2\x80\x9C" "a\xE2\x80\x9D ", "\n", "\r\n", "\r",  "\f",
    };
    std::mt19937 g(graine);
    std::string s;
    while (s.size() < octets) s += morceaux[g() % std::size(morceaux)];
    return s;
}

}  // namespace

TEST_F(TranscriptionFichier, PieceParPieceCommeDUnSeulTenant) {
    // Read in pieces as small as a byte, or as the command line reads a book:
    // the document, the damaged bytes, the replaced and the omitted
    // characters are those of the file imported whole.
    using namespace std::string_literals;
    const std::string utf8 = texteAuHasard(300'000, 1);
    std::string cp1252 = texteAuHasard(20'000, 2);
    for (char& c : cp1252)
        if (c == '\xC3') c = '\xE0';  // é as code page 1252 bytes: invalid UTF-8, read again as such
    const struct {
        const char* quoi;
        std::string contenu, nom;
    } cas[] = {
        {"UTF-8", utf8, "a.txt"},
        {"code page 1252", cp1252, "a.txt"},
        {"UTF-8 with a damaged byte", "caf\xC3\xA9\n\xFF d\xC3\xA9j\xC3\xA0\r\nfin", "a.txt"},
        {"byte order mark, no last line end", "\xEF\xBB\xBF" "Caf\xC3\xA9\r\nABC 12", "a.txt"},
        {"lone CRs", "un\rdeux\r\rtrois\r", "a.txt"},
        {"CR LF across two reads of a cut", std::string(4095, 'x') + "\r\nabc\r\n", "a.txt"},
        {"lone CR ending a read of a cut", std::string(4095, 'x') + "\rabc", "a.txt"},
        {"one line longer than every piece", std::string(70'000, 'x') + " fin", "a.txt"},
        {"empty", "", "a.txt"},
        {"RTF, read whole", "{\\rtf1 un\\par deux\\par}", "a.rtf"},
        {"UTF-16, read whole", "\xFF\xFE" "a\0\n\0\xE9\0"s, "a.txt"},
    };
    FormatPage format;
    format.setCaracteres(20);
    format.derive();
    for (const auto& c : cas) {
        const std::string entree = fichier(c.nom, c.contenu);
        const auto [attendu, bilanAttendu] = dUnSeulTenant(c.contenu, c.nom, format);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{5000}, TAILLE_PIECE}) {
            std::string octets, erreur;
            SortieMemoire sortie(octets);
            BilanTranscription b;
            ASSERT_TRUE(transcritFichier(entree, format, sortie, b, erreur, "b.dtv", piece)) << erreur;
            EXPECT_EQ(octets, attendu) << c.quoi << ", pièces de " << piece;
            EXPECT_EQ(std::tuple(b.invalides, b.remplaces.caracteres, b.remplaces.nombre, b.omis.caracteres,
                                 b.omis.nombre, b.omissions),
                      std::tuple(bilanAttendu.invalides, bilanAttendu.remplaces.caracteres,
                                 bilanAttendu.remplaces.nombre, bilanAttendu.omis.caracteres, bilanAttendu.omis.nombre,
                                 bilanAttendu.omissions))
                << c.quoi << ", pièces de " << piece;
        }
    }
}

TEST_F(TranscriptionFichier, FichierIllisible) {
    // Said in French, naming the file; nothing given to the output.
    std::string octets = "avant", erreur;
    SortieMemoire sortie(octets);
    BilanTranscription b;
    const std::string absent = (dossier_ / "absent.txt").string();
    EXPECT_FALSE(transcritFichier(absent, FormatPage{}, sortie, b, erreur, "b.dtv"));
    EXPECT_EQ(erreur.rfind("Impossible d'ouvrir « " + absent + " » : ", 0), 0u) << erreur;
    EXPECT_EQ(octets, "");
    EXPECT_FALSE(transcritFichier(dossier_.string(), FormatPage{}, sortie, b, erreur, "b.dtv"));
    EXPECT_EQ(erreur, "« " + dossier_.string() + " » est un dossier, pas un fichier.");
}

TEST_F(TranscriptionFichier, FichierVideQuandLeDocumentSEcrit) {
    // The file loses its bytes while the first piece is written, once the
    // second is read: the transcription fails and says why, instead of
    // writing a document without its end.
    std::string texte;
    for (int l = 0; l < 30; ++l) texte += std::string(99, 'a') + "\n";  // three pieces of 1000 bytes
    const std::string entree = fichier("a.txt", texte);
    struct Lente : SortieOctets {
        int appels = 0;
        std::string entree;
        bool ajoute(std::string_view octets) override {
            taille_ += octets.size();
            if (++appels == 2) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                fs::resize_file(entree, 0);
            }
            return true;
        }
        bool remplace(std::uint64_t, std::string_view) override { return true; }
        bool recommence() override { return true; }
    } sortie;
    sortie.entree = entree;
    BilanTranscription b;
    std::string erreur;
    EXPECT_FALSE(transcritFichier(entree, FormatPage{}, sortie, b, erreur, "b.dtv", 1000));
    EXPECT_EQ(erreur, "Impossible de lire « " + entree + " » : le fichier a changé pendant la lecture.");
}

TEST_F(TranscriptionFichier, FichierRaccourciPendantLaLecture) {
    // A file that loses bytes while it is read is a failure, not a shorter text.
    const std::string p = fichier("a.txt", std::string(100, 'a'));
    FichierEnLecture f;
    bool regulier = false;
    std::string erreur;
    ASSERT_TRUE(f.ouvre(p, 1000, regulier, erreur)) << erreur;
    ASSERT_TRUE(regulier);
    EXPECT_EQ(f.taille(), 100u);
    fs::resize_file(p, 50);
    char d[100];
    EXPECT_TRUE(f.lit(10, d, 40, erreur)) << erreur;
    EXPECT_FALSE(f.lit(0, d, 100, erreur));
    EXPECT_EQ(erreur, "Impossible de lire « " + p + " » : le fichier a changé pendant la lecture.");
    FichierEnLecture g;
    EXPECT_FALSE(g.ouvre(p, 49, regulier, erreur));
    EXPECT_EQ(erreur, "Le fichier « " + p + " » est trop volumineux (plus de 49 octets).");
}
