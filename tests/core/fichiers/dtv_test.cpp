#include "core/fichiers/dtv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "commun/interruption.h"
#endif

#include "core/editeur/editeur.h"

using namespace dotavob;
namespace fs = std::filesystem;

namespace {

// Paths cross the program as UTF-8, whatever the system's own encoding.
std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}
fs::path cheminDe(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

std::string contenu(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void ecrit(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

// Hand-built files, field by field.
struct Octets {
    std::string s;
    Octets& u8(int v) { s += static_cast<char>(v); return *this; }
    Octets& u16(int v) { return u8(v & 0xFF).u8(v >> 8); }
    Octets& i32(std::int32_t v) {
        for (int k = 0; k < 4; ++k) u8(static_cast<int>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF));
        return *this;
    }
    Octets& chaine(std::string_view t) { i32(static_cast<std::int32_t>(t.size())); s += t; return *this; }
};

ContenuDocument documentAuHasard(std::mt19937& alea) {
    ContenuDocument c;
    for (auto n = alea() % 300; n > 0; --n) c.texte += static_cast<char>(alea() % 256);
    c.format.setLignes(static_cast<std::int32_t>(alea() % 80));
    c.format.setCaracteres(static_cast<std::int32_t>(alea() % 80));
    c.format.setIndentation(static_cast<std::int32_t>(alea() % 9));
    c.format.interligneDouble = alea() % 2;
    for (Bande* b : {&c.format.entete, &c.format.pied}) {
        b->active = alea() % 2;
        b->texte = alea() % 2 ? "Page [P] sur [T]" : "";
        b->alignement = static_cast<Alignement>(alea() % 3);
        c.format.setPremierePage(*b, static_cast<std::int32_t>(alea() % 120));
    }
    c.format.derive();
    c.fonte = alea() % 2 ? "Courier New" : "DejaVu Sans Mono";
    const auto n = static_cast<std::int32_t>(c.texte.size());
    for (auto k = n > 1 ? alea() % 5 : 0; k > 0; --k) {
        const std::int32_t a = 1 + static_cast<std::int32_t>(alea() % static_cast<unsigned>(n));
        c.marqueurs.push_back({a, a + static_cast<std::int32_t>(alea() % static_cast<unsigned>(n - a + 1)),
                               static_cast<std::uint8_t>(alea() % 6), static_cast<std::uint8_t>(alea() % 256)});
    }
    return c;
}

// Holds a file as a save holds its temporary file, until it goes out of scope.
struct Tenu {
#ifdef _WIN32
    HANDLE h;
    explicit Tenu(const fs::path& p)
        : h(::CreateFileW(p.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Tenu() { ::CloseHandle(h); }
    bool tenu() const { return h != INVALID_HANDLE_VALUE; }
#else
    int fd;
    explicit Tenu(const fs::path& p) : fd(::open(p.c_str(), O_RDONLY)) {
        if (fd >= 0 && ::flock(fd, LOCK_EX) != 0) ::close(fd), fd = -1;
    }
    ~Tenu() { ::close(fd); }
    bool tenu() const { return fd >= 0; }
#endif
};

// A folder of its own for each test.
class Disque : public ::testing::Test {
protected:
    void SetUp() override {
        dossier_ = fs::temp_directory_path() /
                   ("dotavob-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                    std::to_string(std::random_device{}()));  // tests may run in parallel
        fs::remove_all(dossier_);
        fs::create_directories(dossier_);
        // What saves keep in the user's data folder goes to the test's own.
#ifdef _WIN32
        ::_wputenv_s(L"APPDATA", (dossier_ / "donnees").wstring().c_str());
#else
        ::setenv("XDG_DATA_HOME", (dossier_ / "donnees").c_str(), 1);
#endif
    }
    void TearDown() override {
        std::error_code ec;
        // A read-only file cannot be deleted on Windows; a read-only folder anywhere.
        for (const auto& e : fs::recursive_directory_iterator(dossier_, ec))
            fs::permissions(e.path(), e.is_directory(ec) ? fs::perms::owner_all : fs::perms::owner_write,
                            fs::perm_options::add, ec);
        fs::remove_all(dossier_, ec);
    }
    std::string chemin(const std::string& nom) const { return utf8(dossier_ / cheminDe(nom)); }
    std::vector<std::string> temporaires() const {
        std::vector<std::string> r;
        for (const auto& e : fs::recursive_directory_iterator(dossier_))
            if (utf8(e.path().filename()).rfind(".dtvb-", 0) == 0) r.push_back(utf8(e.path()));
        return r;
    }
    fs::path dossier_;
    std::string erreur;  // the last failed save's message
};

}  // namespace

TEST(Fichier, AllerRetourEtOctetsExacts) {
    std::mt19937 alea(5);
    for (int essai = 0; essai < 250; ++essai) {
        ContenuDocument c = documentAuHasard(alea);
        // A band that is off keeps nothing in the file: the reader's dialog state stays.
        for (Bande* b : {&c.format.entete, &c.format.pied})
            if (!b->active) *b = b == &c.format.entete ? FormatPage{}.entete : FormatPage{}.pied, b->active = false;
        const std::string octets = ecritDtv(c);
        // Made in the text's own buffer, with room to spare or not: the same bytes.
        ContenuDocument pris = c;
        if (essai % 2) pris.texte.reserve(pris.texte.size() + 4096);
        EXPECT_EQ(ecritDtv(std::move(pris)), octets);
        const ResultatLecture r = litDtv(octets);
        ASSERT_TRUE(r.ok) << r.erreur;
        EXPECT_EQ(std::tuple(r.contenu.texte, r.contenu.format, r.contenu.fonte, r.contenu.marqueurs, r.contenu.formatPresent),
                  std::tuple(c.texte, c.format, c.fonte, c.marqueurs, true));
    }
    // An empty document, byte for byte: the version and the text; the format: its own
    // version, page, header, footer; the font; no markers.
    ContenuDocument c;
    c.format = chargeformat(std::nullopt);
    EXPECT_EQ(ecritDtv(c), Octets{}
                               .u16(104).i32(0)
                               .u16(3).i32(28).i32(30).i32(0).u8(0)
                               .u8(1).chaine("[P]").u8(0).u8(1).u8(0).i32(2)
                               .u8(0)
                               .chaine("Courier New")
                               .u16(0).i32(0).s);
}

TEST(Fichier, ToutesLesVersions) {
    // 101: text only; the defaults apply.
    ResultatLecture r = litDtv(Octets{}.u16(101).chaine("ab\rc").s);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contenu.texte, "ab\rc");
    EXPECT_FALSE(r.contenu.formatPresent || r.contenu.format.entete.active);
    EXPECT_EQ(std::tuple(r.contenu.format.cpl, r.contenu.format.nbLignesTexte, r.contenu.fonte), std::tuple(31, 28, "Courier New"));
    // 100: former prefix bytes become today's.
    r = litDtv(Octets{}.u16(100).chaine("\x8C" "a\x8D\xE2").s);
    EXPECT_EQ(r.contenu.texte, "\xA8" "a\x91\xE2");
    // 102 with a block of version 0: no indentation (2), no double spacing, no first pages.
    r = litDtv(Octets{}.u16(102).chaine("x").u16(0).i32(20).i32(25).u8(1).chaine("T").u8(1).u8(0).u8(0).u8(0).s);
    ASSERT_TRUE(r.ok) << r.erreur;
    EXPECT_EQ(std::tuple(r.contenu.format.indentation, r.contenu.format.cpl, r.contenu.format.nbLignesTexte,
                         r.contenu.format.entete.premierePage),
              std::tuple(2, 25, 19, 2));
    EXPECT_EQ(r.contenu.format.entete.alignement, Alignement::Centre);
    // 103 with a block of version 1: the markers follow the block directly; values
    // clamped, a marker past the text's end dropped.
    r = litDtv(Octets{}.u16(103).chaine("abcdef")
                   .u16(1).i32(99).i32(5).u8(0).u8(1).chaine("P").u8(0).u8(0).u8(1).i32(500)
                   .u16(0).i32(3).i32(2).i32(4).u8(3).u8(0).i32(3).i32(99).u8(0).u8(0).i32(7).i32(9).u8(0).u8(0).s);
    ASSERT_TRUE(r.ok) << r.erreur;
    const FormatPage& f = r.contenu.format;
    EXPECT_EQ(std::tuple(f.lignes, f.caracteres, f.nbLignesTexte, f.pied.premierePage, f.entete.active, r.contenu.fonte),
              std::tuple(60, 10, 59, 100, false, "Courier New"));
    EXPECT_EQ(f.pied.alignement, Alignement::Gauche);
    EXPECT_EQ(r.contenu.marqueurs, (std::vector<Marqueur>{{2, 4, 3, 0}, {3, 6, 0, 0}}));
    // 0..99: print text in RTF pages, transcribed from column 1, pages separated by FF.
    r = litDtv(Octets{}.u16(5).u16(2).u8(20).u8(25).u8(0).u8(0).u8(0).i32(0).u16(2).i32(2)
                   .chaine("{\\rtf1 Paris\\par 12}").chaine("Fin").s);
    ASSERT_TRUE(r.ok) << r.erreur;
    EXPECT_EQ(r.contenu.texte, "\xA8paris\r\x91\xE2\xEA\f\xA8" "fin");
    EXPECT_EQ(std::tuple(r.contenu.version, r.contenu.format.cpl), std::tuple(5, 31));
    EXPECT_EQ(litDtv(Octets{}.u16(0).u16(1).u8(30).u8(28).u8(0).u16(1).chaine("a").u8(1).chaine("b").u8(0).s).contenu.texte,
              "a\fb");
    r = litDtv(Octets{}.u16(0).u16(1).u8(30).u8(28).u8(0).u16(0).s);
    EXPECT_TRUE(r.ok && r.contenu.texte.empty());
}

TEST(Fichier, FichiersEndommages) {
    std::mt19937 alea(9);
    ContenuDocument c = documentAuHasard(alea);
    c.format.entete.active = c.format.pied.active = true;
    c.marqueurs = {{1, 1, 4, 'x'}};
    c.texte = "abc";
    const std::string bon = ecritDtv(c);
    const std::string legacy = Octets{}.u16(5).u16(1).u8(30).u8(28).u8(0).u16(2).i32(1).chaine("{\\rtf1 x}").s;
    for (const std::string& entier : {bon, legacy})
        for (std::size_t n = 0; n < entier.size(); ++n) {
            const ResultatLecture r = litDtv(entier.substr(0, n));
            EXPECT_TRUE(!r.ok && !r.erreur.empty()) << n;
        }
    // Huge or negative lengths are refused before anything is allocated; so is a version to come.
    for (const std::string& faux : {Octets{}.u16(104).i32(0x7FFFFFFF).s, Octets{}.u16(104).i32(-5).s,
                                    Octets{}.u16(5).u16(1).u8(30).u8(28).u8(0).u16(2).i32(0x7FFFFFFF).s,
                                    Octets{}.u16(105).i32(0).s})
        EXPECT_FALSE(litDtv(faux).ok);
}

TEST_F(Disque, EnregistreEtCharge) {
    ContenuDocument c;
    c.texte = "\xA8paris";
    ASSERT_TRUE(enregistreDtv(chemin("doc.dtv"), c, erreur)) << erreur;
    const ResultatLecture r = chargeDtv(chemin("doc.dtv"), FormatPage{}, [](const std::string& f) { return f + " (remplacée)"; });
    EXPECT_EQ(std::tuple(r.ok, r.contenu.texte, r.contenu.fonte), std::tuple(true, c.texte, "Courier New (remplacée)"));
    // A save that cannot finish leaves the old file whole and says why.
    fs::create_directories(dossier_ / "bloque.dtv" / "x");
    EXPECT_FALSE(enregistreDtv(chemin("bloque.dtv"), c, erreur));
    EXPECT_TRUE(erreur.find("bloque.dtv") != std::string::npos && fs::is_directory(dossier_ / "bloque.dtv" / "x")) << erreur;
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier_), fs::directory_iterator{}), 2);
    ecrit(dossier_ / "tronque.dtv", std::string("\x68\x00\x10\x00\x00\x00" "ab", 8));
    EXPECT_EQ(chargeDtv(chemin("tronque.dtv")).erreur,
              "Le fichier « " + chemin("tronque.dtv") + " » n'est pas un document DotavoB lisible : texte incomplet.");
    // Opening a document: caret after its last byte, unmodified, no undo history.
    FormatPage f;
    DocumentBraille doc(f);
    EditeurBraille ed(doc);
    doc.remplace(1, 1, "x");
    ed.charge("ab\rcd", {{4, 5, MARQUEUR_CENTRE, 0}});
    EXPECT_EQ(std::tuple(ed.positionCurseur(), doc.modifie(), doc.journal().PeutDefaire(), doc.marqueurs().liste().size()),
              std::tuple(6, false, false, 1u));
    ed.nouveau();
    EXPECT_EQ(std::tuple(doc.texte(), doc.marqueurs().liste().size()), std::tuple("", 0u));
}

TEST_F(Disque, LectureBorneeSansException) {
    const std::string cent(100, 'x');
    ecrit(chemin("cent.txt"), cent);
    // A book is read on both cores at once, in slices from both ends (the
    // last one partial), its head aside: each byte must land in its place.
    std::string livre((std::size_t{5} << 20) + 7, '\0');
    std::mt19937 alea(5);
    for (char& c : livre) c = static_cast<char>(alea());
    ecrit(chemin("livre.dtv"), livre);
    struct Cas { std::string chemin; std::size_t maximum; std::string erreur; const std::string& attendu; };  // no error: read whole
    std::vector<Cas> cas = {{chemin("cent.txt"), 100, "", cent},
                            {chemin("cent.txt"), 99, "trop volumineux (plus de 99 octets)", cent},
                            {chemin("livre.dtv"), livre.size(), "", livre},
                            {chemin("livre.dtv"), livre.size() - 1, "trop volumineux", livre}};
#ifndef _WIN32
    // No size to go by: the limit still holds.
    cas.push_back({"/dev/zero", 1000, "trop volumineux (plus de 1000 octets)", cent});
    cas.push_back({chemin("cent.txt/"), TAILLE_MAXIMALE_FICHIER, "n'est pas un dossier", cent});
#endif
    // Read whole, and with its first six bytes aside.
    for (const auto& c : cas)
        for (const bool aPart : {false, true}) {
            std::string octets, entete = "x", message;
            EXPECT_EQ(lisFichier(c.chemin, octets, message, c.maximum, aPart ? &entete : nullptr, 6), c.erreur.empty()) << c.chemin;
            const std::string tete = aPart ? entete : "";
            if (c.erreur.empty())
                EXPECT_TRUE(tete + octets == c.attendu && tete.size() == (aPart ? 6u : 0u)) << c.chemin << " : " << octets.size() << " octets lus";
            else
                EXPECT_TRUE(message.find("« " + c.chemin + " »") != std::string::npos && message.find(c.erreur) != std::string::npos && tete.empty()) << message;
        }
}

TEST_F(Disque, NomsTemporaires) {
    const std::string doc = chemin("doc.dtv");
    ecrit(doc, "ancien");
    ecrit(chemin("victime"), "victime");
    // The names taken by what is no leftover of a killed save: a file another
    // save is writing (held), and on POSIX a link to someone's file.
#ifdef _WIN32
    ecrit(dossier_ / ".dtvb-AAAAAA", "victime");
    const Tenu a(dossier_ / ".dtvb-AAAAAA");
#else
    fs::create_symlink(chemin("victime"), dossier_ / ".dtvb-AAAAAA");
#endif
    ecrit(dossier_ / ".dtvb-BBBBBB", "autre");
    const Tenu b(dossier_ / ".dtvb-BBBBBB");
    ASSERT_TRUE(b.tenu());
    // Leftovers of ours that no save holds go, young or old (on Windows, where
    // a save lets its file go just before the rename, once a minute old).
#ifdef _WIN32
    constexpr bool recentSupprime = false;
#else
    constexpr bool recentSupprime = true;
#endif
    struct Cas { std::string nom; bool supprime; };
    std::vector<Cas> cas = {{".dtvb-vieux1", true}, {".dtvb-recent", recentSupprime},
                            {".dtvb-vieux12", false}, {".dtvb-vie-x1", false}, {"vieux.dtv", false}};
#ifndef _WIN32
    // Someone else's, as only root can make it.
    if (::geteuid() == 0) cas.push_back({".dtvb-autrui", false});
#endif
    for (const auto& c : cas) ecrit(dossier_ / c.nom, "x");
    fs::last_write_time(dossier_ / ".dtvb-vieux1", fs::file_time_type::clock::now() - std::chrono::hours(1));
#ifndef _WIN32
    ASSERT_TRUE(::geteuid() != 0 || ::chown(chemin(".dtvb-autrui").c_str(), 65534, 65534) == 0);
#endif
    std::size_t k = 0;
    const std::vector<std::string> suffixes = {"AAAAAA", "BBBBBB", "CCCCCC"};
    ASSERT_TRUE(ecritFichierAtomique(doc, "nouveau", erreur, [&] { return suffixes[std::min<std::size_t>(k++, 2)]; }))
        << erreur;
    for (const auto& c : cas) EXPECT_EQ(fs::exists(dossier_ / c.nom), !c.supprime) << c.nom;
    // No free name at all: the save gives up, the old file whole.
    EXPECT_FALSE(ecritFichierAtomique(doc, "encore", erreur, [] { return std::string("BBBBBB"); }));
    EXPECT_NE(erreur.find("« " + doc + " »"), std::string::npos) << erreur;
    EXPECT_EQ(std::tuple(contenu(doc), contenu(chemin("victime")), contenu(dossier_ / ".dtvb-AAAAAA"), contenu(dossier_ / ".dtvb-BBBBBB")),
              std::tuple("nouveau", "victime", "victime", "autre"));
}

// A save replaces the whole file or leaves it whole.
TEST_F(Disque, RemplacementEntier) {
    const std::string protege = chemin("protégé-Ελλάδα.dtv");  // a name in another script, too
    ecrit(cheminDe(protege), "ancien");
    fs::permissions(cheminDe(protege), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(ecritFichierAtomique(protege, "nouveau", erreur));
    EXPECT_EQ(erreur, "Impossible d'enregistrer « " + protege + " » : le fichier est en lecture seule.");
    EXPECT_EQ(contenu(cheminDe(protege)), "ancien");
    const std::string doc = chemin("élève.dtv");
    const std::string a(std::size_t{3} << 20, 'a'), b((std::size_t{2} << 20) + 7, 'b');
    for (int k = 0; k < 3; ++k) {  // grows, then shrinks
        ASSERT_TRUE(ecritFichierAtomique(doc, k % 2 ? a : b, erreur)) << erreur;
        EXPECT_TRUE(contenu(cheminDe(doc)) == (k % 2 ? a : b)) << k;
    }
    EXPECT_EQ(temporaires(), std::vector<std::string>{});
#ifndef _WIN32
    // Killed at any point, a save leaves one document or the other.
    std::mt19937 alea(17);
    for (int tour = 0; tour < 20; ++tour) {
        const pid_t fils = ::fork();
        ASSERT_GE(fils, 0);
        if (fils == 0)
            for (int k = 0;; ++k) ecritFichierAtomique(doc, k % 2 ? a : b, erreur);
        ::usleep(static_cast<useconds_t>(alea() % 30000));
        ::kill(fils, SIGKILL);
        ::waitpid(fils, nullptr, 0);
        const std::string lu = contenu(cheminDe(doc));
        ASSERT_TRUE(lu == a || lu == b) << "tour " << tour << " : " << lu.size() << " octets";
    }
#else
    // What the user set on the file stays.
    const std::wstring large = cheminDe(doc).wstring();
    ASSERT_TRUE(::SetFileAttributesW(large.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(ecritFichierAtomique(doc, a, erreur)) << erreur;
    EXPECT_NE(::GetFileAttributesW(large.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // Held open by another program that shares it with no one: refused, whole.
    const HANDLE autre = ::CreateFileW(large.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(autre, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ecritFichierAtomique(doc, b, erreur));
    ::CloseHandle(autre);
    EXPECT_EQ(erreur, "Impossible d'enregistrer « " + doc + " » : fichier occupé par un autre programme.");
    EXPECT_TRUE(contenu(cheminDe(doc)) == a);
    EXPECT_EQ(temporaires(), std::vector<std::string>{});
    // A device is written to, never replaced.
    EXPECT_TRUE(ecritFichierAtomique("NUL", "x", erreur)) << erreur;
#endif
}

TEST_F(Disque, OctetsFaitsEnEcrivant) {
    // Bytes made as they are written (a head put right at the end) land
    // whole, whether straight into the new file or, for a file written in
    // place, made in memory first; each attempt starts afresh. A making that
    // fails leaves the old file and no temporary file, and says why.
    int essais = 0;
    const Production production = [&](SortieOctets& s, std::string&) {
        ++essais;
        return s.ajoute("????") && s.ajoute(" corps") && s.remplace(0, "tete") && s.taille() == 10;
    };
    std::vector<std::string> cibles = {chemin("neuf.dtv"), chemin("ancien.dtv")};
    ecrit(cheminDe(cibles[1]), "ancien contenu plus long");
#ifndef _WIN32
    cibles.push_back(chemin("lie.dtv"));  // a second hard link: written in place
    ecrit(cibles[2], "ancien");
    fs::create_hard_link(cibles[2], chemin("autre-nom.dtv"));
#endif
    for (const std::string& cible : cibles) {
        essais = 0;
        ASSERT_TRUE(ecritFichierAtomique(cible, production, erreur)) << erreur;
        EXPECT_EQ(std::pair(contenu(cheminDe(cible)), essais), std::pair(std::string("tete corps"), 1)) << cible;
        const Production refusee = [](SortieOctets& s, std::string& e) {
            s.ajoute("à moitié");
            e = "Impossible de lire « entrée » : erreur d'entrée-sortie.";
            return false;
        };
        EXPECT_FALSE(ecritFichierAtomique(cible, refusee, erreur));
        EXPECT_EQ(erreur, "Impossible de lire « entrée » : erreur d'entrée-sortie.");
        EXPECT_EQ(contenu(cheminDe(cible)), "tete corps") << cible;
    }
#ifndef _WIN32
    EXPECT_EQ(contenu(chemin("autre-nom.dtv")), "tete corps");
#endif
    EXPECT_EQ(temporaires(), std::vector<std::string>{});
}

#ifndef _WIN32
TEST_F(Disque, OctetsFaitsEnEcrivantRefusesParLeSysteme) {
    // The system refuses the file's bytes midway (a file size limit, as a
    // full disk would): the save says so, and the old file stays whole.
    const std::string doc = chemin("doc.dtv");
    ecrit(doc, "ancien");
    const Production production = [](SortieOctets& s, std::string&) {
        return s.ajoute(std::string(3000, 'a')) && s.ajoute(std::string(3000, 'b'));
    };
    struct rlimit avant {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &avant), 0);
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite = avant;
    limite.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    const bool ecrit = ecritFichierAtomique(doc, production, erreur);
    ::setrlimit(RLIMIT_FSIZE, &avant);
    std::signal(SIGXFSZ, signal);
    EXPECT_FALSE(ecrit);
    EXPECT_EQ(erreur, "Impossible d'enregistrer « " + doc + " » : fichier trop volumineux pour ce disque.");
    EXPECT_EQ(contenu(doc), "ancien");
    EXPECT_EQ(temporaires(), std::vector<std::string>{});
}

// Modes, links, pipes and read-only folders: what POSIX systems have.
TEST_F(Disque, EnregistrementGardeModeEtLiens) {
    const std::string doc = chemin("doc.dtv");
    ecrit(doc, "ancien");
    ASSERT_EQ(::chmod(doc.c_str(), 0751), 0);
    ASSERT_TRUE(ecritFichierAtomique(doc, "nouveau", erreur)) << erreur;
    struct stat st {};
    ASSERT_EQ(::stat(doc.c_str(), &st), 0);
    EXPECT_EQ(std::tuple(contenu(doc), st.st_mode & 07777), std::tuple("nouveau", 0751u));
    // Hard links, and a file in a read-only folder (root passes over that):
    // every name sees the new text; longer, then shorter.
    fs::create_hard_link(doc, chemin("autre-nom.dtv"));
    const fs::path sous = dossier_ / "sous";
    fs::create_directories(sous / "protege");
    ecrit(sous / "protege" / "doc.dtv", "ancien");
    ASSERT_EQ(::chmod((sous / "protege").c_str(), 0555), 0);
    for (const std::string texte : {"un texte plus long que l'ancien", "court"}) {
        ASSERT_TRUE(ecritFichierAtomique(doc, texte, erreur)) << erreur;
        EXPECT_EQ(std::pair(contenu(chemin("autre-nom.dtv")), fs::hard_link_count(doc)), std::pair(texte, std::uintmax_t{2}));
        EXPECT_TRUE(ecritFichierAtomique((sous / "protege" / "doc.dtv").string(), texte, erreur)) << erreur;
        EXPECT_EQ(contenu(sous / "protege" / "doc.dtv"), texte);
    }
    // Symbolic links, relative to their own folder, chained, or to a file not there yet.
    ecrit(sous / "vrai.dtv", "ancien");
    fs::create_symlink("vrai.dtv", sous / "lien2");
    fs::create_symlink("sous/lien2", dossier_ / "lien");
    fs::create_symlink("sous/neuf.dtv", dossier_ / "pendant");
    for (const auto& [lien, cible] : {std::pair{"lien", "sous/vrai.dtv"}, std::pair{"pendant", "sous/neuf.dtv"}}) {
        ASSERT_TRUE(ecritFichierAtomique(chemin(lien), "nouveau", erreur)) << erreur;
        EXPECT_TRUE(fs::is_symlink(chemin(lien))) << lien;
        EXPECT_EQ(contenu(chemin(cible)), "nouveau") << lien;
    }
    EXPECT_TRUE(fs::is_symlink(sous / "lien2"));
    // The longest names: the temporary name must fit as well.
    const std::string long250 = chemin(std::string(246, 'n') + ".dtv");
    ASSERT_TRUE(ecritFichierAtomique(long250, "nouveau", erreur)) << erreur;
    EXPECT_EQ(contenu(long250), "nouveau");
    // A pipe is written to, never replaced by a file.
    const std::string tube = chemin("tube");
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    const int lecteur = ::open(tube.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(lecteur, 0);
    ASSERT_TRUE(ecritFichierAtomique(tube, "abc", erreur)) << erreur;
    char lu[8] = {};
    EXPECT_EQ(::read(lecteur, lu, sizeof lu), 3);
    ::close(lecteur);
    EXPECT_TRUE(fs::is_fifo(tube));
    EXPECT_EQ(temporaires(), std::vector<std::string>{});
}

TEST_F(Disque, EnregistrementSurPlaceInterrompuLaisseUnDocumentEntier) {
    // A file with a second hard link is written in place. A save killed
    // halfway through its write into the file (at random points: sur_place.sh)
    // opens, by either name, saying that it was cut short and naming the new
    // document, whole.
    const std::string doc = chemin("doc.dtv"), secours = chemin("secours");
    ContenuDocument a, b;
    a.texte = std::string(std::size_t{3} << 20, 'a');
    b.texte = std::string((std::size_t{2} << 20) + 7, 'b');
    const std::string octetsA = ecritDtv(a), octetsB = ecritDtv(b);
    ASSERT_TRUE(ecritFichierAtomique(doc, octetsA, erreur, {}, secours)) << erreur;
    fs::create_hard_link(doc, chemin("autre-nom.dtv"));
    for (int tour = 0; tour < 2; ++tour) {
        const pid_t fils = ::fork();
        ASSERT_GE(fils, 0);
        if (fils == 0) {
            interruption::tueAuMilieuDeLEcriture(doc);
            ecritFichierAtomique(doc, octetsB, erreur, {}, secours);
            ::_exit(1);  // not reached: killed in its write
        }
        ::waitpid(fils, nullptr, 0);
        const ResultatLecture r = chargeDtv(chemin(tour % 2 ? "doc.dtv" : "autre-nom.dtv"), FormatPage{}, {}, secours);
        ASSERT_FALSE(r.ok || r.copieComplete.empty()) << "tour " << tour << " " << r.erreur;
        EXPECT_NE(r.erreur.find("interrompu"), std::string::npos) << r.erreur;
        const ResultatLecture entier = chargeDtv(r.copieComplete, FormatPage{}, {}, secours);
        ASSERT_TRUE(entier.ok) << entier.erreur;
        ASSERT_EQ(entier.contenu.texte, b.texte) << "tour " << tour;
        ASSERT_TRUE(ecritFichierAtomique(doc, octetsA, erreur, {}, secours)) << erreur;  // whole again
    }
    // A save that ends makes the file whole again: its next opening says nothing.
    ASSERT_TRUE(ecritFichierAtomique(doc, octetsB, erreur, {}, secours)) << erreur;
    const ResultatLecture r = chargeDtv(doc, FormatPage{}, {}, secours);
    EXPECT_TRUE(r.ok && r.contenu.texte == b.texte) << r.erreur;
    EXPECT_TRUE(fs::is_empty(dossier_ / "secours" / "sur-place"));
    // With nowhere to keep the new bytes, nothing is written in place.
    EXPECT_FALSE(ecritFichierAtomique(doc, octetsA, erreur, {}, ""));
    EXPECT_TRUE(contenu(doc) == octetsB);
    // A copy left behind that differs from the file in its head alone.
    std::string autre = octetsB;
    autre[0] = static_cast<char>(autre[0] ^ 1);
    ecrit(dossier_ / "secours" / "sur-place" / "0123456789abcdef.dtv", autre);
    ecrit(dossier_ / "secours" / "sur-place" / "0123456789abcdef.chemin", doc);
    EXPECT_NE(chargeDtv(doc, FormatPage{}, {}, secours).erreur.find("interrompu"), std::string::npos);
}
#endif

TEST(Document, UnSeulPlafondPourEcrireEtPourLire) {
    // No writer makes a document that the readers would refuse; the message
    // says so before anything is written.
    std::string erreur;
    EXPECT_TRUE(documentAdmis(TAILLE_MAXIMALE_FICHIER, "livre.dtv", erreur));
    EXPECT_FALSE(documentAdmis(TAILLE_MAXIMALE_FICHIER + 1, "livre.dtv", erreur));
    EXPECT_EQ(erreur, "Impossible d'enregistrer « livre.dtv » : le document ferait 513 Mo, plus que les 512 Mo qu'un "
                      "document peut faire pour s'ouvrir encore. Rien n'a été écrit.");
}
