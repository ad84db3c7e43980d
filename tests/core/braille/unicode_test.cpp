#include "core/braille/unicode.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(BrailleUnicode, CelluleEtCaractereDansLesDeuxSens) {
    // Dots n at bit n - 1 of the pattern, from the cells' standard dots.
    const struct { char octet; char32_t u; } cas[] = {
        {' ', U'\u2800'}, {'a', U'\u2801'}, {',', U'\u2802'}, {'\'', U'\u2804'}, {'c', U'\u2809'}, {'\xE9', U'\u283F'},
        {'\x91', U'\u2820'}, {'\xA8', U'\u2828'},  // dot 6 (the number sign), dots 4 6 (the capital sign)
        {'\xC9', U'\u283F'},  // a byte with no cell: the full cell, as every export writes it
    };
    for (auto [octet, u] : cas) EXPECT_EQ(brailleUnicode(oct(octet)), u) << int(oct(octet));
    // Every six-dot pattern has its byte, which gives the pattern back.
    for (char32_t u = 0x2800; u <= 0x283F; ++u) {
        const int b = octetDeBrailleUnicode(u);
        ASSERT_GE(b, 0);
        EXPECT_EQ(brailleUnicode(static_cast<Octet>(b)), u);
    }
    for (char32_t autre : {U'\u27FF', U'\u2840', U'\u28FF', U'a', U'\u0000'}) EXPECT_EQ(octetDeBrailleUnicode(autre), -1);
}

TEST(BrailleUnicode, TexteEntierementEnCellules) {
    const struct { const char* texte; bool braille; const char* octets; } cas[] = {
        {"⠁⠃", true, "ab"}, {"⠁ ⠃\r\n⠉\r⠙\n⠑\f⠋", true, "a b\rc\rd\re\ff"}, {"⠀", true, " "},
        {"", false, ""}, {" \r\n\f", false, " \r\f"},  // no cell at all
        {"⠁a⠃", false, "ab"}, {"⠁\t⠃", false, "ab"},    // a print letter, a tab
        {"⡁", false, ""},                                // dot 7: an eight-dot cell
        {"⠁\xE2\xA0", false, "a"}, {"\xFF⠁", false, "a"},  // cut inside a character, a stray byte
    };
    for (auto [texte, braille, octets] : cas) {
        EXPECT_EQ(estBrailleUnicode(texte), braille) << texte;
        EXPECT_EQ(brailleUnicodeVersOctets(texte), octets) << texte;
    }
}
