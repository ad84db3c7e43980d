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
    // their fallback, bold, a tab, a paragraph on a new page (\pagebb); nothing left out.
    std::string omissions = "?";
    const std::string t = rtfverstexte(litDonnee("exemple.rtf"), nullptr, &omissions);
    EXPECT_EQ(std::tuple(t.substr(0, 16), t.find("Times New Roman"), t.back(), omissions),
              std::tuple("Le Petit Prince\r", std::string::npos, '\r', ""));
    for (const char* extrait : {"Lorsque j\x92" "avais six ans", "\" Histoires v\xE9" "cues \"",
                                "12 \x80 et 3,5 % \x97 \x9Cuvre\ttabul\xE9" "e.\fChapitre II."})
        EXPECT_NE(t.find(extrait), std::string::npos) << extrait;
    // A footnote (left out, and said), a table and an underscore.
    EXPECT_EQ(rtfverstexte(litDonnee("notes.rtf"), nullptr, &omissions),
              "Note et suite\xACsoulign\xE9" "e.\rA1\tB1\t\rFin \" ici \".\r");
    EXPECT_EQ(omissions, "notes de bas de page omises");
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

TEST(Rtf, SautsDePageEtTexteLaisseDeCote) {
    const std::string notes = "notes de bas de page omises", bandes = "en-têtes et pieds de page omis";
    const struct { const char* rtf; const char* texte; std::string omissions; } cas[] = {
        // Only the \pagebb breaks are marked when the source has one.
        {"{\\rtf1 a\\par\\pard\\pagebb b\\page c\\par}", "a\fb\rc\r", ""},
        // Otherwise each "\page " is one; a break right after a paragraph end absorbs it.
        {"{\\rtf1 a\\par\\page b\\par}", "a\fb\r", ""},
        // A control word ends at the first byte that is not a letter, as converters write them.
        {"{\\rtf1 a\\par\\page{b}\\par}", "a\fb\r", ""},
        {"{\\rtf1 a\\par\\page\\par b\\par}", "a\f\rb\r", ""},
        {"{\\rtf1 a\\par\\page\r\nb\\par}", "a\fb\r", ""},
        {"{\\rtf1 a\\par\\page-1 b\\par}", "a\fb\r", ""},
        {"{\\rtf1 a\\pagebreak b}", "ab", ""},                      // another word: no break
        {"{\\rtf1 {\\footer x\\page y}a\\par}", "a\r", bandes},     // not in a destination left out
        {"{\\rtf1 \\'d0a \xD0 b}", "\xD0" "a \xD0 b", ""},            // the letter stays a letter
        {"", "", ""},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\generator x}a}", "a", ""},  // tables and settings are no text
        {"{\\rtf1 a{\\footnote b}c{\\footnote d}}", "ac", notes},
        {"{\\rtf1 a{\\*\\footnote b}}", "a", notes},
        {"{\\rtf1{\\headerl x}{\\footer y}a}", "a", bandes},
        {"{\\rtf1{\\header{\\footnote x}}{\\footnote y}}", "", notes + ", " + bandes},
        {"{\\rtf1{\\info{\\footnote x}}a}", "a", ""},  // inside what is left out already
    };
    for (const auto& c : cas) {
        std::string omissions = "?";
        EXPECT_EQ(std::pair(rtfverstexte(c.rtf, nullptr, &omissions), omissions), std::pair(std::string(c.texte), c.omissions)) << c.rtf;
        EXPECT_EQ(rtfverstexte(c.rtf), c.texte) << c.rtf;
    }
    EXPECT_TRUE(estRtf("{\\rtf1") && !estRtf(" {\\rtf1"));
}
