#include "core/fichiers/importation.h"

#include <gtest/gtest.h>

#include "core/braille/codes.h"

using namespace dotavob;

TEST(Importation, Lignes) {
    EXPECT_EQ(joinsLignes("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(joinsLignes("a\n\n"), "a\r\n\r\n");
    EXPECT_EQ(joinsLignes(""), "");
    // A paste: every line end a paragraph end, the last line left unended.
    EXPECT_EQ(joinsLignes("un\ndeux\n\ntrois", false), "un\r\ndeux\r\n\r\ntrois");
    EXPECT_EQ(joinsLignes("un\r\ndeux\rtrois\n", false), "un\r\ndeux\r\ntrois\r\n");
}

TEST(Importation, EncodagesOctetsInvalidesEtCaracteresRemplaces) {
    // UTF-8 wins when its sequences outnumber the bytes that break it; each
    // such byte becomes "?" and is counted. Every character that code page
    // 1252 cannot hold becomes one "?" and is told, each once; an emoji (four
    // UTF-8 bytes, two UTF-16 units) is one. A UTF-16 or UTF-32 byte order
    // mark says how the text is written.
    using namespace std::string_literals;
    const struct { std::string contenu; const char* nom; std::string texte; std::u32string remplaces; std::int32_t nombre, invalides; } cas[] = {
        {"\xEF\xBB\xBF" "caf\xC3\xA9 \xFF d\xC3\xA9j\xC3\xA0", "a.txt", "caf\xE9 ? d\xE9j\xE0\r\n", U"", 0, 1},  // a byte order mark is dropped
        {"\xC3\xA9t\xC3\xA9 \xC3\xA0 \xE2\x80", "a.txt", "\xE9t\xE9 \xE0 ??\r\n", U"", 0, 2},  // a sequence cut short
        {"\xC3\xA9t\xE9 \xE0", "a.txt", "\xC3\xA9t\xE9 \xE0\r\n", U"", 0, 0},  // one sequence, two bad bytes
        {"\xC3\xA9t\xE9", "a.txt", "\xC3\xA9t\xE9\r\n", U"", 0, 0},              // as many as bad bytes
        {"caf\xE9\n", "a.txt", "caf\xE9\r\n", U"", 0, 0},                   // code page 1252
        {"\xC3\xA9\rb\nc\r\n\r", "a.txt", "\xE9\r\nb\r\nc\r\n\r\n", U"", 0, 0},  // UTF-8, every line end
        {"\xE2\x80\x9C" "a\xE2\x80\x9D", "a.TXT", "\x93" "a\x94\r\n", U"", 0, 0},
        {"{\\rtf1 a\\par b}", "A.RTF", "a\rb", U"", 0, 0},
        {"{\\rtf1 a}", "notes.doc", "a", U"", 0, 0},                      // RTF content under another name
        {"{\\rtf1 a}", "notes.txt", "{\\rtf1 a}\r\n", U"", 0, 0},
        {"x", "dossier.rtf/fichier", "x\r\n", U"", 0, 0},
        {"grec \xCE\xB1\xCE\xB2\xCE\xB3 \xE2\x89\xA4 \xF0\x9F\x98\x80 \xCE\xB1", "a.txt", "grec ??? ? ? ?\r\n", U"αβγ≤😀", 6, 0},
        {"\xFF\xFE" "c\0a\0f\0\xE9\0\n\0=\0\x3D\xD8\x00\xDE"s, "a.txt", "caf\xE9\r\n=?\r\n", U"😀", 1, 0},
        {"\xFE\xFF\0c\0\xE9\0\r\0\n\x22\x64"s, "a.txt", "c\xE9\r\n?\r\n", U"≤", 1, 0},
        {"\xFF\xFE\0\0" "a\0\0\0\x00\xF6\x01\0"s, "a.txt", "a?\r\n", U"😀", 1, 0},
        {"\0\0\xFE\xFF\0\0\0a"s, "a.txt", "a\r\n", U"", 0, 0},
        {"\xFF\xFE" "a\0\x3D\xD8" "b\0c"s, "a.txt", "a?b?\r\n", U"", 0, 2},  // a lone surrogate, a unit cut short
        {"{\\rtf1 \\u-10179?\\u-8704? x\\u945?\\u945?\\par}", "a.rtf", "? x??\r", U"😀α", 3, 0},
        {"{\\rtf1 \\u-10179?y}", "a.rtf", "?y", U"\uFFFD", 1, 0},  // a first surrogate alone
    };
    for (const auto& c : cas) {
        std::int32_t invalides = -1;
        CaracteresRemplaces r;
        EXPECT_EQ(texteImporte(c.contenu, c.nom, &invalides, &r), c.texte) << c.contenu;
        EXPECT_EQ(texteImporte(c.contenu, c.nom), c.texte) << c.contenu;
        EXPECT_EQ(std::tuple(r.caracteres, r.nombre, invalides), std::tuple(c.remplaces, c.nombre, c.invalides))
            << c.contenu;
    }
}

TEST(Importation, GrandTexteLuEnDeuxMoitiesCommeEnUne) {
    // A large text is read in two halves cut after a line feed: the result,
    // the counts and the list of replaced characters are those of one pass.
    // The halves differ (the second holds characters the first never
    // meets), a CR LF and a lone CR end lines, a byte breaks the UTF-8.
    const int n = 80000;
    std::string texte, attendu, cp1252, attendu1252;
    for (int i = 0; i < n; ++i) texte += "caf\xC3\xA9 \xE4\xB8\x80\r\nx\xFF y\r", attendu += "caf\xE9 ?\r\nx? y\r\n";  // é, U+4E00, an invalid byte
    for (int i = 0; i < n; ++i) texte += "\xE2\x82\xAC \xE4\xB8\x81\xE4\xB8\x80\n", attendu += "\x80 ??\r\n";  // €, U+4E01, U+4E00
    ASSERT_GT(texte.size(), std::size_t{1} << 20);
    std::int32_t invalides = 0;
    CaracteresRemplaces remplaces;
    EXPECT_EQ(texteImporte(texte, "a.txt", &invalides, &remplaces), attendu);
    EXPECT_EQ(std::tuple(invalides, remplaces.nombre, remplaces.caracteres), std::tuple(n, 3 * n, std::u32string{U'\u4E00', U'\u4E01'}));
    // The same bytes read as code page 1252 when the invalid ones outnumber the sequences.
    for (int i = 0; i < 4 * n; ++i) cp1252 += i < 2 * n ? "caf\xE9\r\n" : "\xE9t\xE9\n", attendu1252 += i < 2 * n ? "caf\xE9\r\n" : "\xE9t\xE9\r\n";
    ASSERT_GT(cp1252.size(), std::size_t{1} << 20);
    EXPECT_EQ(texteImporte(cp1252, "a.txt", &invalides, &remplaces), attendu1252);
    EXPECT_EQ(std::pair(invalides, remplaces.nombre), std::pair(0, 0));
    // One line past the middle, its middle inside a character: never cut there.
    std::string ligne = "a";
    for (int i = 0; i < 600000; ++i) ligne += "\xC3\xA9";
    invalides = -1;
    EXPECT_EQ(texteImporte(ligne + "\n", "a.txt", &invalides), "a" + std::string(600000, '\xE9') + "\r\n");
    EXPECT_EQ(invalides, 0);
}
