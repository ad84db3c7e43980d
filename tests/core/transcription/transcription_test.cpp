#include "core/transcription/transcription.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/braille/codes.h"
#include "core/document/marqueurs.h"
#include "core/noir/noir.h"

using namespace dotavob;

namespace {

// Lines of a Braille text (every structure byte ends one).
std::vector<std::string> lignes(const std::string& t) {
    std::vector<std::string> r(1);
    for (char c : t) estFinDeLigne(oct(c)) ? r.emplace_back() : r.back() += c;
    return r;
}

// No cut (VT) separates a hidden prefix from its sign, or splits per mille
// or a base-first sign.
void verifieCoupures(const std::string& t) {
    for (std::size_t k = 0; k < t.size(); ++k) {
        if (t[k] != '\v' || k == 0 || k + 1 >= t.size()) continue;
        std::string autour = t.substr(0, k) + t.substr(k + 1);
        auto i = static_cast<std::int32_t>(k);  // 1-based index of the byte before the cut
        EXPECT_FALSE(estPrefixeEnPosition(autour, i)) << "prefix cut at " << k;
        EXPECT_FALSE(estDebutSigneDouble(i, autour)) << "base-first sign cut at " << k;
        for (std::size_t avant : {1u, 2u})
            EXPECT_FALSE(k >= avant && autour.substr(k - avant, 3) == "\xB4\xF3\xF3") << "per mille cut at " << k;
    }
}

}  // namespace

TEST(Transcrire, Regles) {
    const struct { const char* noir; const char* braille; } cas[] = {
        {"12", "\x91\xE2\xEA"}, {"1 2", "\x91\xE2 \x91\xEA"}, {"Paris", "\xA8paris"},
        {"ONU", "\xA8\xA8onu"}, {"L'ONU", "\xA8\xA8l'onu"}, {"PDFs", "\xA8p\xA8" "d\xA8" "fs"},
        {"A4B", "\xA8\xA8" "a\x91\xF4" "b"},
        {"Oui !", "\xA8oui!"},                 // no space before the mark, none at the end
        {"fin ", "fin"}, {"a\r\nb", "a\rb"}, {"a\fb", "a\fb"},
        {"*", "\xB4*"}, {"3*4", "\x91\xEE\xD7\xF4"}, {"1+3", "\x91\xE2!\xEE"},
        {"12'3", "\x91\xE2\xEA'\xEE"}, {"]", "]b"}, {"a}", "a }"},
        {"_", "\xB4\xAC"}, {"\xABoui\xBB", "\"oui\""}, {"\x89", "\xB4\xF3\xF3"},
        {"a\x85", "a..."}, {"l\x92" "a", "l'a"},
        {"l\x91" "a", "l'a"},                 // a left quote is an apostrophe, never a number sign
        {"1\x91" "2", "\x91\xE2'\x91\xEA"}, {"\xB8mot", "\xB8mot"}, {"\xC9t\xE9", "\xA8\xE9t\xE9"},
        {"B\tA", "\xA8" "b \xA8" "a"},             // a tab ends a stretch of capitals
        {"AB\tCD", "\xA8\xA8" "ab \xA8\xA8" "cd"},
        {"a\x96" "b\x97" "c", "a-b-c"},            // dashes become the hyphen
        {"\x84oui\x94", "\"oui\""}, {"\xE4", "\xE4"},
    };
    // Also as a header is, with no margin at all: room is asked for what the
    // text can write, not for the line's width.
    for (const std::int32_t cpl : {30, INT32_MAX})
        for (auto [noir, braille] : cas) EXPECT_EQ(Transcrire(noir, 1, cpl), braille) << noir << " " << cpl;
}

TEST(Transcrire, CoupureALaMargeEtAvantUneUnite) {
    const std::string a29(29, 'a'), b12(12, '\xB8');
    const struct { std::string noir; std::int32_t colonne, cpl; std::string braille; } cas[] = {
        {"aaaa bbbb cccc", 1, 10, "aaaa bbbb\ncccc"},  // the last space of a full line becomes LF
        {"aaaaaaaaaaaa", 1, 10, "aaaaaaaaaa\vaa"},     // a word too long is cut by VT
        {"aaaaaaaaa*", 1, 10, "aaaaaaaaa\v\xB4*"},    // a two-cell form counts before the break is decided
        {"aaaa bbbb*", 1, 10, "aaaa\nbbbb\xB4*"},
        {"aaaaaaaaa\xB8" "b", 1, 10, "aaaaaaaaa\v\xB8" "b"},  // the emphasis sign counts as one column
        {"abc def", 8, 10, "abc\ndef"},                // the column where the text starts counts
        {"aaaaaa 12 34", 1, 10, "aaaaaa \x91\xE2\xEA\n\x91\xEE\xF4"},  // a line end ends the number too
        // Per mille typed as its three bytes moves whole to the next line.
        {"z\r" + a29 + "\xB4\xF3\xF3x", 1, 30, "z\r" + a29 + "\v\xB4\xF3\xF3x"},
        // A run of hidden prefixes longer than a line is cut as written.
        {"ab" + b12 + "c", 1, 10, "ab" + b12.substr(0, 8) + "\v" + b12.substr(0, 4) + "c"},
        // A unit that holds a space, wider than the line: the next one is
        // cut after it, not at its space.
        {"U@\t}-", 1, 1, "\xA8u\v@\n }\v-"},
    };
    for (const auto& c : cas) EXPECT_EQ(Transcrire(c.noir, c.colonne, c.cpl), c.braille) << c.noir;
}

// Words of small letters a to z, which are written sixteen bytes at a time:
// wrapped as a greedy wrap does, each space before a word that no longer fits
// made a line end, a word wider than the line cut at its margin; a space
// before punctuation is dropped wherever the run of letters stands.
TEST(Transcrire, MotsDeLettresSimplesCommeUnRetourGlouton) {
    std::mt19937 alea(31);
    for (int essai = 0; essai < 300; ++essai) {
        const std::int32_t cpl = 5 + static_cast<std::int32_t>(alea() % 40);
        std::string noir, attendu;
        std::size_t colonne = 0;  // bytes on the expected line
        for (int m = 0; m < 40; ++m) {
            std::string mot(1 + alea() % 45, 'a');
            for (char& c : mot) c = static_cast<char>('a' + alea() % 26);
            if (m > 0) {
                const bool tient = colonne + 1 + mot.size() <= static_cast<std::size_t>(cpl);
                noir += ' ', attendu += tient ? ' ' : '\n', colonne = tient ? colonne + 1 : 0;
            }
            noir += mot;
            for (char c : mot) {
                if (colonne == static_cast<std::size_t>(cpl)) attendu += '\v', colonne = 0;
                attendu += c, ++colonne;
            }
        }
        ASSERT_EQ(Transcrire(noir, 1, cpl), attendu) << noir << " / " << cpl;
    }
    const std::string longue = "le chat dort tranquillement ; il revient , la nuit tombe ! sur la ville";
    EXPECT_EQ(Transcrire(longue, 1, 1000), "le chat dort tranquillement; il revient, la nuit tombe! sur la ville");
}

TEST(Transcrire, CaracteresOmis) {
    // Characters with no Braille form: left out, each listed once, all counted.
    const std::string noir = "a\xB6" "b\x95\xB6\r\n\t\x96";
    CaracteresOmis omis;
    EXPECT_EQ(Transcrire(noir, 1, 30, &omis), "ab\r -");
    for (const CaracteresOmis& o : {omis, caracteresOmis(noir)})
        EXPECT_EQ(std::pair(o.nombre, o.caracteres), std::pair(3, std::string("\xB6\x95")));
    EXPECT_EQ(caracteresOmis("Caf\xE9 \x84ok\x93 \x89").nombre, 0);
}

TEST(Transcrire, AucuneLigneTropLongueNiCoupureDansUnSigne) {
    std::mt19937 alea(7);
    const std::string alphabet = "abcdeABCDE\xC9\xE9 0123456789*%]\x89\xB8_',.-";
    for (int essai = 0; essai < 400; ++essai) {
        const int cpl = 10 + static_cast<int>(alea() % 41);
        std::string noir;
        const int n = static_cast<int>(alea() % 200);
        for (int i = 0; i < n; ++i) noir += alphabet[alea() % alphabet.size()];
        std::string b = Transcrire(noir, 1, cpl);
        for (const auto& l : lignes(b)) EXPECT_LE(static_cast<int>(l.size()), cpl) << noir;
        verifieCoupures(b);
        std::string plat;
        for (char c : b)
            if (c != '\v') plat += c == '\n' ? ' ' : c;
        std::int32_t nb = 0;
        std::string p = CoupeParagraphe(plat, cpl, &nb);
        for (const auto& l : lignes(p)) EXPECT_LE(static_cast<int>(l.size()), cpl) << plat;
        verifieCoupures(p);
        EXPECT_EQ(nb, static_cast<std::int32_t>(lignes(p).size()));
    }
}

TEST(Transcrire, AllerRetour) {
    for (const char* phrase : {"Le petit chat dort sur le canap\xE9 depuis 3 heures.",
                               "L'ONU a publi\xE9 12 rapports en 2023, dont 4 sur l'\xC9" "cole.",
                               "Il a pay\xE9 3,50 euros pour 2 caf\xE9s et 1 croissant.",
                               "\xC0 l'\xE9t\xE9, la m\xE8re et l'\x9C" "uf sont l\xE0 -- d\xE9j\xE0 vu.",
                               "Ces PDFs viennent de la SNCF et de l'INSEE.",
                               "Un tr\xE8s long mot comme anticonstitutionnellement tient sur sa ligne."})
        for (int cpl : {30, 40, 50}) EXPECT_EQ(BrailleVersNoir(Transcrire(phrase, 1, cpl)), phrase) << phrase << " cpl " << cpl;
    std::mt19937 alea(11);
    const std::string minuscules = "abcdefghijklmnopqrstuvwxyz\xE9\xE8\xE0\xF9\xE7";
    const std::string majuscules = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC9\xC8\xC0";
    for (int essai = 0; essai < 300; ++essai) {
        std::string noir;
        const int mots = 1 + static_cast<int>(alea() % 30);
        for (int m = 0; m < mots; ++m) {
            if (m) noir += ' ';
            const int genre = static_cast<int>(alea() % 4);
            const int n = 1 + static_cast<int>(alea() % 8);
            for (int i = 0; i < n; ++i)
                noir += genre == 0 ? static_cast<char>('0' + alea() % 10)
                        : genre == 1 || (genre == 2 && i == 0) ? majuscules[alea() % majuscules.size()]
                                                               : minuscules[alea() % minuscules.size()];
            // Punctuation that reads back as itself after a word or a number.
            const char* fins = genre == 0 ? ".;?" : ".,;:!?";
            if (alea() % 4 == 0) noir += fins[alea() % std::strlen(fins)];
        }
        const int cpl = 10 + static_cast<int>(alea() % 41);
        EXPECT_EQ(BrailleVersNoir(Transcrire(noir, 1, cpl)), noir) << noir << " cpl " << cpl;
    }
}

TEST(Transcrire, CoupeParagraphe) {
    std::int32_t nb = 0, nbVide = 0;  // an empty paragraph is still one line
    EXPECT_EQ(CoupeParagraphe("", 30, &nbVide), "");
    EXPECT_EQ(CoupeParagraphe("aaaaaaaaaaaaaaaaaaaaaaa", 10, &nb), "aaaaaaaaaa\vaaaaaaaaaa\vaaa");
    EXPECT_EQ(std::pair(nbVide, nb), std::pair(1, 3));
    // The cut moves back before a capital sign and the letter it belongs to.
    EXPECT_EQ(CoupeParagraphe("aaaaaaaaa\xA8" "bcd", 10, &nb), "aaaaaaaaa\v\xA8" "bcd");
    // ...but a unit that fills the whole line is cut where it must be.
    EXPECT_EQ(CoupeParagraphe("\xB8\xB8\xB8\xB8\xB8\xB8\xB8\xB8\xB8\xB8" "a", 10, &nb),
              "\xB8\xB8\xB8\xB8\xB8\xB8\xB8\xB8\xB8\xB8\va");
}

TEST(Transcrire, RecoupageDuDocument) {
    // Positions de..a are indented by retrait: every line takes the width of its
    // own first position, also a line made by moving a word down.
    const struct { const char* texte; std::int32_t de, a, retrait; const char* attendu; } cas[] = {
        {"aaaa\nbbbb cccc\rdd\vdd", 0, -1, 0, "aaaa bbbb\ncccc\rdddd"},
        {"aaa bbbbbb ccccccc", 0, -1, 0, "aaa bbbbbb\nccccccc"},  // the moved word counts on its new line
        {"aaa bbb ccc dd\raaaa bbbb cccc", 1, 15, 4, "aaa\nbbb\nccc dd\raaaa bbbb\ncccc"},  // other paragraphs keep their width
        {"aaaa bbbb cccc dddd", 6, 19, 2, "aaaa bbbb\ncccc\ndddd"},
        {"aaaa bbbb cccc dddd eeee", 1, 9, 2, "aaaa\nbbbb\ncccc dddd\neeee"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(recoupeTexte(c.texte, 10, [&](std::int32_t p) { return Retrait{p >= c.de && p <= c.a ? c.retrait : 0, p}; }), c.attendu) << c.texte;
    // A width never goes below one cell.
    for (const auto& l : lignes(recoupeTexteOctetParOctet("abc", 10, [](std::int32_t p) { return Retrait{200, p}; }))) EXPECT_LE(l.size(), 1u);
}

// The line-by-line check that lets a wrapped text through uncopied agrees
// with the byte-by-byte re-wrap: on random texts, on their re-wrap, and on
// that re-wrap with one byte changed, which falls right on the edge of what
// the check accepts.
TEST(Transcrire, RecoupageVerifieParLigneCommeOctetParOctet) {
    // A full line cut at its margin across a sign: the cut moves back; a
    // cut moved back before a prefix that a space or a paragraph end
    // follows, or after a prefix of its own: not where the re-wrap cuts.
    const Indentation aucune = [](std::int32_t) { return Retrait{0, INT32_MAX}; };
    for (const std::string t : {"aaaaaaaa\xB4\xF3\v\xF3", "aaaaaaaaa\xA8\vbcd", "aaaaaaaaa)\vbb", "aaaaaaaaaa\v",
                                "aaaaaaaaa\v\x91 b", "aaaaaaaaa\v\x91\rb", "aaaaaaaa\x91\v\x91" "b"}) {
        EXPECT_NE(recoupeTexteOctetParOctet(t, 10, aucune), t);
        EXPECT_EQ(recoupeTexte(t, 10, aucune), recoupeTexteOctetParOctet(t, 10, aucune));
    }
    // A prefix before per mille is a unit wider than a line of three: the
    // cut stays at the margin.
    const std::string etroit = "aa\v\x91\xB4\xF3\v\xF3" "cd\ve";
    EXPECT_EQ(recoupeTexte(etroit, 3, aucune), "aa\x91\v\xB4\xF3\xF3\vcde");
    std::mt19937 alea(23);
    const std::string alphabet = "abcdefgh    --)\xB8\xA8\x91\xB4\xF3\n\n\v\r\f";
    for (int essai = 0; essai < 1500; ++essai) {
        const auto cpl = static_cast<std::int32_t>(1 + alea() % 14);
        const auto de = static_cast<std::int32_t>(alea() % 60), a = de + static_cast<std::int32_t>(alea() % 60);
        const int retrait = static_cast<int>(alea() % 6);
        auto indentation = [&](std::int32_t p) {
            if (p < de) return Retrait{0, de - 1};
            return p <= a ? Retrait{retrait, a} : Retrait{0, INT32_MAX};
        };
        std::string texte;
        for (auto n = alea() % 120; n > 0; --n) texte += alphabet[alea() % alphabet.size()];
        const std::string recoupe = recoupeTexteOctetParOctet(texte, cpl, indentation);
        std::string touche = recoupe;
        if (const auto coupure = touche.find('\v', touche.empty() ? 0 : alea() % touche.size());
            coupure != std::string::npos && coupure + 1 < touche.size() && alea() % 2) {
            std::swap(touche[coupure], touche[coupure + 1]);  // a cut one byte later
        } else if (!touche.empty()) {
            const auto i = alea() % touche.size();
            if (alea() % 2) touche.erase(i, 1); else touche.insert(i, 1, alphabet[alea() % alphabet.size()]);
        }
        for (const std::string& t : {texte, recoupe, touche}) {
            const std::string attendu = recoupeTexteOctetParOctet(t, cpl, indentation);
            const std::optional<std::string> r = recoupeTexte(t, cpl, indentation);
            EXPECT_EQ(r.has_value(), attendu != t) << essai;
            EXPECT_EQ(r.value_or(t), attendu) << essai;
        }
    }
}
