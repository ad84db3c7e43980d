#include "core/noir/noir.h"

#include <gtest/gtest.h>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/document/marqueurs.h"
#include "core/editeur/lignespage.h"
#include "core/transcription/transcription.h"

using namespace dotavob;

namespace {

LigneNoire lis(std::string_view braille, bool brut = false) { return litLigneNoir(ContexteNoir{braille, 0, nullptr, brut}, 1); }

// The style of the piece that shows the n-th character of the line.
std::uint8_t styleDe(const LigneNoire& l, std::size_t n) {
    for (const auto& m : l.morceaux) {
        if (n < m.texte.size()) return m.style;
        n -= m.texte.size();
    }
    return 0xFF;
}

}  // namespace

TEST(Noir, ReglesInterpretees) {
    // Words, capitals and numbers as the transcription writes them: the round trips of its tests.
    const struct { const char* braille; const char* noir; } cas[] = {
        {"\xA8\xA8" "ab-cd", "AB-CD"},
        {"\x91\xE2\xEA \xEA", "12 \xEA"},       // a space ends the number
        {"\x91\xE2,\xEA", "1,2"},               // a comma does not
        {"\x91\xE2!\xEE", "1+3"}, {"\xB4*", "*"}, {"\xB4\xF3\xF3", "\x89"},
        {"\xA4\x80", "\x80"},
        {"\x91{a", "{a"},                      // the dot-6 prefix of "{" starts no number
        {"]b", "]"}, {")b", "]"}, {"\xB4\xAC", "_"},
        {"^x", "^x"}, {"\xB4" "a", "\xB4" "a"}, {"\xFE\xF5\xDF\xDE\xDD\xD1\xF1\xBF", "0\x91\xB4\xF8^\xA8\xA4\xB8"},
        {"^\xE8me", "\xE8me"}, {"a\rb", "a"}, {"", ""},
    };
    for (auto [braille, attendu] : cas) EXPECT_EQ(texteLigneNoir(lis(braille)), attendu) << braille;
}

TEST(Noir, StylesEtPositions) {
    // The separator ends the emphasis.
    const struct { const char* braille; bool brut; const char* noir; std::vector<std::uint8_t> styles; } cas[] = {
        {"^er", false, "er", {STYLE_EXPOSANT}},
        {"\xB8" "abc de", false, "abc de", {STYLE_GRAS, STYLE_GRAS, STYLE_GRAS, STYLE_NORMAL, STYLE_NORMAL}},
        {"\xA4\xF0", false, nullptr, {STYLE_GREC}},
        {"\xA8p\x91\xE2\xAC", true, "\xA8p\x91\xE2-", {STYLE_PREFIXE_SEUL, STYLE_NORMAL}},  // shown raw
    };
    for (const auto& c : cas) {
        const LigneNoire l = lis(c.braille, c.brut);
        if (c.noir) { EXPECT_EQ(texteLigneNoir(l), c.noir); }
        for (std::size_t i = 0; i < c.styles.size(); ++i) EXPECT_EQ(styleDe(l, i), c.styles[i]) << c.braille << " " << i;
    }
    // The capital letter is read from its capital sign on.
    LigneNoire l = lis("x \xA8\xA8p");
    ASSERT_EQ(l.morceaux.size(), 3u);
    EXPECT_EQ(std::tuple(l.morceaux[2].texte, l.morceaux[2].debut, l.morceaux[2].fin), std::tuple(std::string("P"), 3, 5));

    l = litLigneNoir(ContexteNoir{"ab\fcd", 10, nullptr, false}, 1);
    EXPECT_EQ(std::pair(l.arret, l.finLigne), std::pair(13, FF));
}

TEST(Noir, LaPonctuationApresUnNombre) {
    // The space before ":" and "!" is not written: before a blank or an end they
    // read as punctuation; inside a number they stay its operators.
    const struct { const char* noir; const char* relu; } cas[] = {
        {"Article 12 : le texte", "Article 12: le texte"}, {"Il en a 3 !", "Il en a 3!"},
        {"Il en a 3 !\r\nSuite", "Il en a 3!\r\nSuite"}, {"12:30", "12\xF7" "30"}, {"3+4", "3+4"},
    };
    for (auto [texte, relu] : cas) EXPECT_EQ(BrailleVersNoir(Transcrire(texte, 1, 40)), relu) << texte;
}

TEST(Noir, BrailleVersNoirEtBrut) {
    EXPECT_EQ(BrailleVersNoir("\xA8\xA8onu est\rl\xE0\nbas\vsi\fb"), "ONU est\r\nl\xE0 bassi\r\fb");
    // Capitals and numbers never carry over a line end.
    EXPECT_EQ(BrailleVersNoir("\xA8\xA8" "ab\r\x91\xE2\r\xE2"), "AB\r\n1\r\n\xE2");
    EXPECT_EQ(BrailleVersNoir("\xA8\xA8" "ab\ncd \x91\xE2\f\xE2"), "AB cd 1\r\f\xE2");
    // A character marker shows its own character, placed by the text's offset in the document.
    TgestionnaireMarqueurs m;
    m.ajouteBrut({12, 12, MARQUEUR_CARACTERE, '#'});
    EXPECT_EQ(BrailleVersNoir("xyz", &m, 10), "x#z");
    EXPECT_EQ(BrailleBrut("a\rb\n"), "a\r\nb\n");
}

TEST(Noir, UneCoupureDansUnMotNeChangePasSaLecture) {
    FormatPage f;
    f.cpl = 10;
    DocumentBraille d(f);
    for (const char* mot : {"2016-12-18", "ABCDEFGHIJKL", "SOCK_STREAM"}) {
        const std::string b = "x " + Transcrire(mot, 3, 10);
        const auto vt = b.find('\v');
        ASSERT_NE(vt, std::string::npos) << mot;
        EXPECT_EQ(BrailleVersNoir(b), std::string("x ") + mot);
        // The line after the cut starts in the modes that held at its end.
        const std::string premiere = texteLigneNoir(litLigneNoir(ContexteNoir{b, 0, nullptr, false}, 1));
        const LigneNoire seconde = litLigneNoir(ContexteNoir{b, 0, nullptr, false}, static_cast<std::int32_t>(vt) + 2);
        EXPECT_EQ(premiere + texteLigneNoir(seconde), std::string("x ") + mot);
        d.initialise(b);
        const LignePage l = lignePage(d, 2, false);
        EXPECT_EQ(texteLigneNoir(l.noire), texteLigneNoir(seconde)) << mot;
        ASSERT_FALSE(l.noire.morceaux.empty());
        EXPECT_EQ(l.noire.morceaux.front().debut, l.debut);
    }
}
