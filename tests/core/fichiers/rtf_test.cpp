#include "core/fichiers/rtf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace dotavob;

namespace {
std::string litDonnee(const std::string& nom) {
    std::ifstream in(std::string(DOTAVOB_DONNEES_TEST) + "/" + nom, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(Rtf, FichiersDUnTraitementDeTexte) {
    // Written by a word processor: a heading, accents and quotes as \u with
    // their fallback, bold, a tab, a paragraph on a new page (\pagebb).
    const std::string t = rtfverstexte(litDonnee("exemple.rtf"));
    EXPECT_EQ(t.substr(0, 16), "Le Petit Prince\r");
    for (const char* extrait : {"Lorsque j\x92" "avais six ans", "\" Histoires v\xE9" "cues \"",
                                "12 \x80 et 3,5 % \x97 \x9Cuvre\ttabul\xE9" "e.\fChapitre II."})
        EXPECT_NE(t.find(extrait), std::string::npos) << extrait;
    EXPECT_EQ(std::tuple(t.find("Times New Roman"), t.back()), std::tuple(std::string::npos, '\r'));
    // A footnote, a table and an underscore.
    std::string omissions = "?";
    EXPECT_EQ(rtfverstexte(litDonnee("exemple.rtf"), nullptr, &omissions).substr(0, 3), "Le ");
    EXPECT_EQ(omissions, "");
    EXPECT_EQ(rtfverstexte(litDonnee("notes.rtf"), nullptr, &omissions),
              "Note et suite\xACsoulign\xE9" "e.\rA1\tB1\t\rFin \" ici \".\r");
    EXPECT_EQ(omissions, "notes de bas de page omises");  // the footnote, left out, is said
}

TEST(Rtf, LeTexteLaisseDeCoteEstDit) {
    const struct { const char* rtf; const char* omissions; } cas[] = {
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\generator x}a}", ""},  // tables and settings are no text
        {"{\\rtf1 a{\\footnote b}c{\\footnote d}}", "notes de bas de page omises"},
        {"{\\rtf1 a{\\*\\footnote b}}", "notes de bas de page omises"},
        {"{\\rtf1{\\headerl x}{\\footer y}a}", "en-têtes et pieds de page omis"},
        {"{\\rtf1{\\header{\\footnote x}}{\\footnote y}}", "notes de bas de page omises, en-têtes et pieds de page omis"},
        {"{\\rtf1{\\info{\\footnote x}}a}", ""},  // inside what is left out already
    };
    for (auto [rtf, attendu] : cas) {
        std::string omissions;
        rtfverstexte(rtf, nullptr, &omissions);
        EXPECT_EQ(omissions, attendu) << rtf;
    }
}

TEST(Rtf, ControlesEtDestinations) {
    const struct { const char* rtf; const char* texte; } cas[] = {
        {"{\\rtf1 a\\par b}", "a\r\nb"},
        {"{\\rtf1 \\u8364?\\u-4064 x}", "\x80?"},  // \uN skips its fallback
        {"{\\rtf1\\uc2 \\u233\\'e9\\'e9z}", "\xE9z"},
        {"{\\rtf1 \\'e9t\\'E9}", "\xE9t\xE9"},
        {"{\\rtf1{\\*\\unknown skip}{\\fonttbl{\\f0 Arial;}}ok}", "ok"},
        {"{\\rtf1 a\\\\b\\{c\\}}", "a\\b{c}"},
        {"{\\rtf1 x\\bin3 {}\\y}", "xy"},
        {"{\\rtf1 \\ldblquote a\\rdblquote\\tab\\~}", "\x93" "a\x94\t\xA0"},
        {"{\\rtf1 a}}}b{{", "ab"},  // unbalanced braces
        {"{\\rtf1 \\u12345678 \\'zz", "?z"},
    };
    for (auto [rtf, texte] : cas) EXPECT_EQ(rtfVersTexteBrut(rtf), texte) << rtf;
}

TEST(Rtf, SautsDePage) {
    // Only the \pagebb breaks are marked when the source has one.
    EXPECT_EQ(rtfverstexte("{\\rtf1 a\\par\\pard\\pagebb b\\page c\\par}"), "a\fb\rc\r");
    // Otherwise each "\page " is one; a break right after a paragraph end absorbs it.
    EXPECT_EQ(rtfverstexte("{\\rtf1 a\\par\\page b\\par}"), "a\fb\r");
    // A control word ends at the first byte that is not a letter, as converters write them.
    const struct { const char* rtf; const char* texte; } cas[] = {
        {"{\\rtf1 a\\par\\page{b}\\par}", "a\fb\r"},
        {"{\\rtf1 a\\par\\page\\par b\\par}", "a\f\rb\r"},
        {"{\\rtf1 a\\par\\page\r\nb\\par}", "a\fb\r"},
        {"{\\rtf1 a\\par\\page-1 b\\par}", "a\fb\r"},
        {"{\\rtf1 a\\pagebreak b}", "ab"},                        // another word: no break
        {"{\\rtf1 {\\footer x\\page y}a\\par}", "a\r"},          // not in a destination left out
        {"{\\rtf1 \\'d0a \xD0 b}", "\xD0" "a \xD0 b"},              // the letter stays a letter
    };
    for (auto [rtf, texte] : cas) EXPECT_EQ(rtfverstexte(rtf), texte) << rtf;
    EXPECT_EQ(rtfverstexte(""), "");
    EXPECT_TRUE(estRtf("{\\rtf1") && !estRtf(" {\\rtf1"));
}
