#include "core/fichiers/importation.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(Importation, LignesEtEncodages) {
    EXPECT_EQ(joinsLignes("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(joinsLignes("a\n\n"), "a\r\n\r\n");
    EXPECT_EQ(joinsLignes(""), "");
    // A paste: every line end a paragraph end, the last line left unended.
    EXPECT_EQ(joinsLignes("un\ndeux\n\ntrois", false), "un\r\ndeux\r\n\r\ntrois");
    EXPECT_EQ(joinsLignes("un\r\ndeux\rtrois\n", false), "un\r\ndeux\r\ntrois\r\n");
    const struct { const char* contenu; const char* nom; const char* texte; } cas[] = {
        {"caf\xC3\xA9\n", "a.txt", "caf\xE9\r\n"},               // UTF-8
        {"caf\xE9\n", "a.txt", "caf\xE9\r\n"},                   // code page 1252
        {"\xEF\xBB\xBFok", "a.txt", "ok\r\n"},                   // a byte order mark is dropped
        {"\xE2\x80\x9C" "a\xE2\x80\x9D", "a.TXT", "\x93" "a\x94\r\n"},
        {"{\\rtf1 a\\par b}", "A.RTF", "a\rb"},
        {"{\\rtf1 a}", "notes.doc", "a"},                      // RTF content under another name
        {"{\\rtf1 a}", "notes.txt", "{\\rtf1 a}\r\n"},
        {"x", "dossier.rtf/fichier", "x\r\n"},
    };
    for (auto [contenu, nom, texte] : cas) EXPECT_EQ(texteImporte(contenu, nom), texte) << nom;
}

TEST(Importation, Utf8AvecOctetsInvalides) {
    // UTF-8 wins when its sequences outnumber the bytes that break it; each
    // such byte becomes "?" and is counted.
    const struct { const char* contenu; const char* texte; std::int32_t invalides; } cas[] = {
        {"\xEF\xBB\xBF" "caf\xC3\xA9 \xFF d\xC3\xA9j\xC3\xA0", "caf\xE9 ? d\xE9j\xE0\r\n", 1},
        {"\xC3\xA9t\xC3\xA9 \xC3\xA0 \xE2\x80", "\xE9t\xE9 \xE0 ??\r\n", 2},  // a sequence cut short
        {"\xC3\xA9t\xE9 \xE0", "\xC3\xA9t\xE9 \xE0\r\n", 0},  // one sequence, two bad bytes
        {"\xC3\xA9t\xE9", "\xC3\xA9t\xE9\r\n", 0},              // as many as bad bytes
        {"caf\xC3\xA9", "caf\xE9\r\n", 0},
    };
    for (auto [contenu, texte, invalides] : cas) {
        std::int32_t n = -1;
        EXPECT_EQ(texteImporte(contenu, "a.txt", &n), texte) << contenu;
        EXPECT_EQ(n, invalides) << contenu;
    }
}
