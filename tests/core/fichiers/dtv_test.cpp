#include "core/fichiers/dtv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "core/editeur/editeur.h"

using namespace dotavob;

namespace {

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

}  // namespace

TEST(Fichier, AllerRetour) {
    std::mt19937 alea(5);
    for (int essai = 0; essai < 300; ++essai) {
        ContenuDocument c = documentAuHasard(alea);
        // A band that is off keeps nothing in the file: the reader's dialog state stays.
        for (Bande* b : {&c.format.entete, &c.format.pied})
            if (!b->active) *b = b == &c.format.entete ? FormatPage{}.entete : FormatPage{}.pied, b->active = false;
        const ResultatLecture r = litDtv(ecritDtv(c));
        ASSERT_TRUE(r.ok) << r.erreur;
        EXPECT_EQ(r.contenu.texte, c.texte);
        EXPECT_EQ(r.contenu.format, c.format);
        EXPECT_EQ(r.contenu.fonte, c.fonte);
        EXPECT_EQ(r.contenu.marqueurs, c.marqueurs);
        EXPECT_TRUE(r.contenu.formatPresent);
    }
}

TEST(Fichier, DocumentVide) {
    ContenuDocument c;
    c.format = chargeformat(std::nullopt);
    const std::string octets = ecritDtv(c);
    const std::string attendu = Octets{}
                                    .u16(104).i32(0)
                                    .u16(3).i32(28).i32(30).i32(0).u8(0)
                                    .u8(1).chaine("[P]").u8(0).u8(1).u8(0).i32(2)
                                    .u8(0)
                                    .chaine("Courier New")
                                    .u16(0).i32(0).s;
    EXPECT_EQ(octets, attendu);
    EXPECT_EQ(octets.substr(octets.size() - 6), std::string(6, '\0'));
}

TEST(Fichier, ToutesLesVersions) {
    // 101: text only; the defaults apply.
    ResultatLecture r = litDtv(Octets{}.u16(101).chaine("ab\rc").s);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contenu.texte, "ab\rc");
    EXPECT_FALSE(r.contenu.formatPresent);
    EXPECT_EQ(r.contenu.format.cpl, 31);
    EXPECT_EQ(r.contenu.format.nbLignesTexte, 28);
    EXPECT_FALSE(r.contenu.format.entete.active);
    EXPECT_EQ(r.contenu.fonte, "Courier New");

    // 100: former prefix bytes become today's.
    r = litDtv(Octets{}.u16(100).chaine("\x8C" "a\x8D\xE2").s);
    EXPECT_EQ(r.contenu.texte, "\xA8" "a\x91\xE2");

    // 102 with a block of version 0: no indentation (2), no double spacing, no first pages.
    r = litDtv(Octets{}.u16(102).chaine("x").u16(0).i32(20).i32(25).u8(1).chaine("T").u8(1).u8(0).u8(0).u8(0).s);
    ASSERT_TRUE(r.ok) << r.erreur;
    EXPECT_EQ(r.contenu.format.indentation, 2);
    EXPECT_EQ(r.contenu.format.cpl, 25);
    EXPECT_EQ(r.contenu.format.nbLignesTexte, 19);
    EXPECT_EQ(r.contenu.format.entete.alignement, Alignement::Centre);
    EXPECT_EQ(r.contenu.format.entete.premierePage, 2);

    // 103 with a block of version 1: the markers follow the block directly; values clamped.
    r = litDtv(Octets{}.u16(103).chaine("abcdef")
                   .u16(1).i32(99).i32(5).u8(0).u8(1).chaine("P").u8(0).u8(0).u8(1).i32(500)
                   .u16(0).i32(2).i32(2).i32(4).u8(3).u8(0).i32(3).i32(99).u8(0).u8(0).s);
    ASSERT_TRUE(r.ok) << r.erreur;
    EXPECT_EQ(r.contenu.format.lignes, 60);
    EXPECT_EQ(r.contenu.format.caracteres, 10);
    EXPECT_EQ(r.contenu.format.nbLignesTexte, 59);
    EXPECT_EQ(r.contenu.format.entete.active, false);
    EXPECT_EQ(r.contenu.format.pied.premierePage, 100);
    EXPECT_EQ(r.contenu.format.pied.alignement, Alignement::Gauche);
    EXPECT_EQ(r.contenu.marqueurs, (std::vector<Marqueur>{{2, 4, 3, 0}, {3, 6, 0, 0}}));
    EXPECT_EQ(r.contenu.fonte, "Courier New");

    // 0..99: print text in RTF pages, transcribed from column 1, pages separated by FF.
    r = litDtv(Octets{}.u16(5).u16(2).u8(20).u8(25).u8(0).u8(0).u8(0).i32(0).u16(2).i32(2)
                   .chaine("{\\rtf1 Paris\\par 12}").chaine("Fin").s);
    ASSERT_TRUE(r.ok) << r.erreur;
    EXPECT_EQ(r.contenu.texte, "\xA8paris\r\x91\xE2\xEA\f\xA8" "fin");
    EXPECT_EQ(r.contenu.format.cpl, 31);
    r = litDtv(Octets{}.u16(0).u16(1).u8(30).u8(28).u8(0).u16(1).chaine("a").u8(1).chaine("b").u8(0).s);
    EXPECT_EQ(r.contenu.texte, "a\fb");
    r = litDtv(Octets{}.u16(0).u16(1).u8(30).u8(28).u8(0).u16(0).s);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.contenu.texte, "");
}

TEST(Fichier, FichiersEndommages) {
    std::mt19937 alea(9);
    ContenuDocument c = documentAuHasard(alea);
    c.format.entete.active = c.format.pied.active = true;
    c.marqueurs = {{1, 1, 4, 'x'}};
    c.texte = "abc";
    const std::string bon = ecritDtv(c);
    for (std::size_t n = 0; n < bon.size(); ++n) {
        const ResultatLecture r = litDtv(bon.substr(0, n));
        EXPECT_FALSE(r.ok) << n;
        EXPECT_FALSE(r.erreur.empty());
    }
    const std::string legacy = Octets{}.u16(5).u16(1).u8(30).u8(28).u8(0).u16(2).i32(1).chaine("{\\rtf1 x}").s;
    for (std::size_t n = 0; n < legacy.size(); ++n) EXPECT_FALSE(litDtv(legacy.substr(0, n)).ok) << n;
    // Huge lengths and counts are refused before anything is allocated.
    EXPECT_FALSE(litDtv(Octets{}.u16(104).i32(0x7FFFFFFF).s).ok);
    EXPECT_FALSE(litDtv(Octets{}.u16(104).i32(-5).s).ok);
    EXPECT_FALSE(litDtv(Octets{}.u16(5).u16(1).u8(30).u8(28).u8(0).u16(2).i32(0x7FFFFFFF).s).ok);
    EXPECT_FALSE(litDtv(Octets{}.u16(105).i32(0).s).ok);
    for (int essai = 0; essai < 2000; ++essai) {
        std::string hasard;
        for (auto n = alea() % 64; n > 0; --n) hasard += static_cast<char>(alea() % 256);
        const ResultatLecture r = litDtv(hasard);
        if (r.ok) {
            for (const auto& m : r.contenu.marqueurs) {
                EXPECT_GE(m.start, 1);
                EXPECT_LE(m.end, static_cast<std::int32_t>(r.contenu.texte.size()));
            }
        }
    }
}

TEST(Fichier, SurLeDisque) {
    namespace fs = std::filesystem;
    const fs::path dossier = fs::temp_directory_path() / ("dotavob-test-" + std::to_string(::getpid()));
    fs::create_directories(dossier);
    const std::string chemin = (dossier / "doc.dtv").string();
    ContenuDocument c;
    c.texte = "\xA8paris";
    std::string erreur;
    ASSERT_TRUE(enregistreDtv(chemin, c, erreur)) << erreur;
    ResultatLecture r = chargeDtv(chemin, FormatPage{}, [](const std::string& f) { return f + " (remplacée)"; });
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contenu.texte, c.texte);
    EXPECT_EQ(r.contenu.fonte, "Courier New (remplacée)");

    // A save that cannot finish leaves the old file whole and says why.
    fs::create_directories(dossier / "bloque.dtv" / "x");
    EXPECT_FALSE(enregistreDtv((dossier / "bloque.dtv").string(), c, erreur));
    EXPECT_NE(erreur.find("bloque.dtv"), std::string::npos);
    EXPECT_FALSE(enregistreDtv((dossier / "absent" / "doc.dtv").string(), c, erreur));
    EXPECT_TRUE(fs::is_directory(dossier / "bloque.dtv" / "x"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier), fs::directory_iterator{}), 2);

    std::ofstream(dossier / "tronque.dtv", std::ios::binary) << std::string("\x68\x00\x10\x00\x00\x00" "ab", 8);
    r = chargeDtv((dossier / "tronque.dtv").string());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.erreur, "Le fichier « " + (dossier / "tronque.dtv").string() +
                            " » n'est pas un document DotavoB lisible : texte incomplet.");
    r = chargeDtv((dossier / "manquant.dtv").string());
    EXPECT_NE(r.erreur.find("introuvable"), std::string::npos);
    fs::remove_all(dossier);

    // Opening a document: caret after its last byte, unmodified, no undo history.
    FormatPage f;
    DocumentBraille doc(f);
    EditeurBraille ed(doc);
    doc.remplace(1, 1, "x");
    ed.charge("ab\rcd", {{4, 5, MARQUEUR_CENTRE, 0}});
    EXPECT_EQ(ed.positionCurseur(), 6);
    EXPECT_FALSE(doc.modifie());
    EXPECT_FALSE(doc.journal().PeutDefaire());
    EXPECT_EQ(doc.marqueurs().liste().size(), 1u);
    ed.nouveau();
    EXPECT_EQ(doc.texte(), "");
    EXPECT_TRUE(doc.marqueurs().liste().empty());
}
