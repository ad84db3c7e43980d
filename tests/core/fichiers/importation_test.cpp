#include "core/fichiers/importation.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(Importation, LignesEtEncodages) {
    EXPECT_EQ(joinsLignes("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(joinsLignes("a\n\n"), "a\r\n\r\n");
    EXPECT_EQ(joinsLignes(""), "");
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
