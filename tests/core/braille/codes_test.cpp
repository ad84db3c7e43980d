#include "core/braille/codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace dotavob;

namespace {

// Dots written as decimal digits (1245) to our cell value (bit 5..0 = dot 3 2 1 4 5 6).
Octet cel(int points) {
    const Octet bit[7] = {0, 8, 16, 32, 4, 2, 1};
    Octet c = 0;
    for (; points > 0; points /= 10) c |= bit[points % 10];
    return c;
}

std::string s(std::initializer_list<int> octets) { return {octets.begin(), octets.end()}; }

}  // namespace

TEST(Codes, LettresFrancaisesSurLeursPoints) {
    // French Braille letters and accented letters, from their standard dots.
    const struct { char lettre; int points; } lettres[] = {
        {'a', 1}, {'b', 12}, {'c', 14}, {'d', 145}, {'e', 15}, {'f', 124}, {'g', 1245}, {'h', 125}, {'i', 24}, {'j', 245},
        {'k', 13}, {'l', 123}, {'m', 134}, {'n', 1345}, {'o', 135}, {'p', 1234}, {'q', 12345}, {'r', 1235}, {'s', 234},
        {'t', 2345}, {'u', 136}, {'v', 1236}, {'w', 2456}, {'x', 1346}, {'y', 13456}, {'z', 1356}, {'\xE9', 123456},
        {'\xE0', 12356}, {'\xE8', 2346}, {'\xF9', 23456}, {'\xE2', 16}, {'\xEA', 126}, {'\xEE', 146}, {'\xF4', 1456},
        {'\xFB', 156}, {'\xEB', 1246}, {'\xEF', 12456}, {'\xFC', 1256}, {'\x9C', 246}, {'\xE7', 12346}, {',', 2}, {';', 23},
        {':', 25}, {'.', 256}, {'?', 26}, {'!', 235}, {'(', 236}, {')', 356}, {'"', 2356}, {'\'', 3}, {'-', 36}, {'/', 34}, {'@', 345}};
    // The way back, cell of a letter, follows from the round trip over all 64 cells below.
    for (auto [lettre, points] : lettres) EXPECT_EQ(caractere(cel(points)), oct(lettre)) << points;
}

TEST(Codes, BrailleAmericainSelonLaNorme) {
    // North American Braille ASCII indexed by dot 1 = 1, dot 2 = 2 ... dot 6 = 32.
    const std::string norme = " A1B'K2L@CIF/MSP\"E3H9O6R^DJG>NTQ,*5<-U8V.%[$+X!&;:4\\0Z7(_?W]#Y)=";
    for (int c = 0; c < 64; ++c) {
        int indice = 0;
        for (int point = 1; point <= 6; ++point)
            if (c & cel(point)) indice |= 1 << (point - 1);
        EXPECT_EQ(caractereUS(c), oct(static_cast<char>(std::tolower(norme[static_cast<std::size_t>(indice)]))))
            << c;
    }
}

TEST(Codes, TablesSansDoublonEtAllerRetour) {
    // The way back also rules out two cells showing the same byte.
    for (int c = 0; c < 64; ++c) {
        EXPECT_EQ(cellule(caractere(c)), c);
        EXPECT_EQ(retourneCellule(retourneCellule(static_cast<Octet>(c))), c);
    }
    EXPECT_EQ(std::pair(retourneCellule(cel(123)), retourneCellule(cel(12))), std::pair(cel(456), cel(56)));  // a half turn, not a mirror
    // A byte with no cell comes out as the full cell.
    EXPECT_EQ(retourneChaine("ab\r\xC9"), s({0xE9, 0x0D, 0x84, 0x91}));
    // In the Cyrillic table the lower cell wins for bytes listed twice.
    for (auto [o, c] : {std::pair<Octet, int>{0xEE, 13}, {0xF4, 15}, {0xEF, 31}, {0xE9, 40}}) EXPECT_EQ(cellulePour(o, 1251), c) << int{o};
}

TEST(Codes, CelluleEtPrefixes) {
    // Bytes that stand for a sign have its cell; a digit, a capital or a line end has none.
    for (auto [o, c] : {std::pair<Octet, Octet>{0x91, 1}, {'*', 34}, {'1', 255}, {0xC9, 255}, {CR, 255}})
        EXPECT_EQ(cellule(o), c) << int(o);
    // Prefixes: the current ones both ways, the old bytes turned into them.
    EXPECT_EQ(caracterePrefixe(codePrefixe(0xA8)), 0xA8);
    std::string t = "\x8C" "a\x8D\x8E\x8F\x90" "b";
    convertitPrefixesAnciens(t);
    EXPECT_EQ(t, "\xA8" "a\x91\xB8\xA4\xB4" "b");
    EXPECT_EQ(codePrefixeAncien('a'), -1);
}

TEST(Codes, ChiffresEtOperateurs) {
    const std::string antoine = "\x30\xE2\xEA\xEE\xF4\xFB\xEB\xEF\xFC\x9C";
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(caractere(celluleChiffre(static_cast<Octet>('0' + d))), oct(antoine[static_cast<std::size_t>(d)]));
        EXPECT_EQ(chiffreDeCaractere(oct(antoine[static_cast<std::size_t>(d)])), '0' + d);
    }
    EXPECT_EQ(chiffreDeCaractere('a'), 0);
    const std::string ops = "+-:=^(),[]*";
    const std::string octets = "!-:\"@(),\xE0\xF9\xD7";
    for (std::size_t i = 0; i < ops.size(); ++i) {
        EXPECT_TRUE(estOperateur(oct(ops[i])));
        EXPECT_EQ(caractere(celluleOperateur(oct(ops[i]))), oct(octets[i])) << ops[i];
    }
    // "*" shows as the times sign, ":" as the division sign.
    for (auto [o, op] : {std::pair<Octet, Octet>{'!', '+'}, {0xD7, 0xD7}, {':', 0xF7}, {'a', 0}})
        EXPECT_EQ(operateurDeCaractere(o), op) << int(o);
}

TEST(Codes, SignesSpeciaux) {
    // "*", "]" and "}" are written by the transcription tests.
    for (auto [o, a, b] : {std::tuple{'{', 0x91, 0x7B}, {'\x80', 0xA4, 0x80}}) EXPECT_EQ(ecritureSigneSpecial(oct(o)), s({a, b})) << o;
    EXPECT_EQ(signeSpecialDeCellule('a'), 0);

    std::string sortie;
    std::int32_t p = 1;
    EXPECT_TRUE(lisSigneDouble(p, "]b", sortie));
    EXPECT_EQ(std::pair(sortie, p), std::pair(std::string("]"), 2));
    // Any byte of the base cell is read as the sign, but only "]" starts one.
    for (auto [texte, lu, debut] : {std::tuple{")b", true, false}, {"}", false, false}, {"(b", false, false}, {"]", false, false}}) {
        p = 1;
        EXPECT_EQ(lisSigneDouble(p, texte, sortie), lu) << texte;
        EXPECT_EQ(estDebutSigneDouble(1, texte), debut) << texte;
    }
    EXPECT_TRUE(estDebutSigneDouble(1, "]b"));

    for (auto [texte, prefixe] : {std::pair{"\xB4*", true}, {"\xB4" "a", false}, {"\xB4", false}, {"\xA8", true},
                                  {"\xA8 ", true}, {"a", false}})
        EXPECT_EQ(estPrefixeEnPosition(texte, 1), prefixe) << texte;
}

TEST(Codes, OrdreDesCellules) {
    std::multiset<Octet> cellules;
    for (int i = 0; i <= 64; ++i) cellules.insert(celluleDOrdre(i));
    EXPECT_EQ(cellules.count(0), 2u);
    for (int c = 1; c < 64; ++c) EXPECT_EQ(cellules.count(static_cast<Octet>(c)), 1u) << c;
    EXPECT_EQ(celluleDOrdre(65), 255);
}

TEST(Codes, ClassesEtCasse) {
    for (auto [majuscule, minuscule] : {std::pair<Octet, Octet>{0xC9, 0xE9}, {0x8C, 0x9C}}) {
        EXPECT_EQ(enMinuscule(majuscule), minuscule);
        EXPECT_EQ(enMajuscule(minuscule), majuscule);
    }
    // The times sign and the sign inside per mille are no letters; 0xDF is a capital in Cyrillic only.
    EXPECT_FALSE(estMajuscule(0xD7) || estMinuscule(0xF3) || estMajusculePour(0xDF, 1252));
    EXPECT_TRUE(estMajusculePour(0xDF, 1251));
    EXPECT_FALSE(estSeparateur('-'));
    EXPECT_TRUE(estSeparateurMot('-'));
    EXPECT_EQ(normaliseGuillemets('\''), '\'');
    std::string t = std::string("a\0_\xBB", 4);
    normaliseChaine(t);
    EXPECT_EQ(t, "a\xAC\"");
    // \xE1 (á) has no cell.
    for (auto [o, accepte] : {std::pair<int, bool>{'\t', false}, {0xAB, true}, {'A', true}, {'5', true}, {0x80, true}, {0xE1, false}})
        EXPECT_EQ(estAccepte(static_cast<Octet>(o)), accepte) << o;
}

TEST(Codes, Unicode) {
    for (int b = 0; b < 256; ++b) {
        std::string un(1, static_cast<char>(b));
        EXPECT_EQ(utf8VersCp1252(cp1252VersUtf8(un)), un) << b;
    }
    EXPECT_EQ(cp1252VersUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
    EXPECT_EQ(utf8VersCp1252("\xE2\x80\x99"), "\x92");      // right single quotation mark
    EXPECT_EQ(utf8VersCp1252("\xE2\x86\x92"), "?");         // an arrow has no byte
    EXPECT_EQ(utf8VersCp1252("caf\xE9"), "caf\xE9");        // a stray Latin-1 byte is kept
    EXPECT_TRUE(estUtf8Valide("\xC3\xA9t\xC3\xA9"));
    EXPECT_FALSE(estUtf8Valide("\xE9t\xE9"));
    EXPECT_FALSE(estUtf8Valide("\xED\xA0\x80"));             // a surrogate
}
