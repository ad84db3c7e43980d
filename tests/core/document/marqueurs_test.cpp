#include "core/document/marqueurs.h"

#include <gtest/gtest.h>

#include <string>

using namespace dotavob;

namespace {

using Liste = std::vector<Marqueur>;

Marqueur R(std::int32_t a, std::int32_t b) { return {a, b, MARQUEUR_RETOURNE, 0}; }
Marqueur C(std::int32_t a, std::int32_t b) { return {a, b, MARQUEUR_CENTRE, 0}; }
Marqueur I(std::int32_t a, std::int32_t b, std::uint8_t x = 2) { return {a, b, MARQUEUR_INDENTATION, x}; }

TgestionnaireMarqueurs avec(const Liste& l) {
    TgestionnaireMarqueurs m;
    for (const auto& x : l) m.ajouteBrut(x);
    return m;
}

}  // namespace

TEST(Marqueurs, Bascule) {
    const struct {
        Liste avant;
        std::int32_t a, b;
        Liste apres;
    } cas[] = {
        {{}, 5, 9, {R(5, 9)}},
        {{R(10, 20)}, 10, 20, {}},                       // toggling a marker off
        {{R(10, 20)}, 15, 18, {R(19, 20), R(10, 14)}},   // cutting a part out
        {{R(10, 20)}, 5, 25, {R(5, 9), R(21, 25)}},      // keeping what only one covers
        {{R(10, 20)}, 21, 30, {R(10, 30)}},              // merging end to end
        {{R(10, 20)}, 5, 9, {R(5, 20)}},
        {{R(10, 20)}, 20, 25, {R(10, 20), R(20, 25)}},   // sharing one index matches no rule
        {{R(10, 20)}, 7, 7, {R(10, 20)}},                // one character is never added
        {{R(10, 20), C(10, 20)}, 10, 20, {C(10, 20)}},   // other kinds are passed over
    };
    for (const auto& c : cas) {
        auto m = avec(c.avant);
        m.AjouteRetourne(c.a, c.b);
        EXPECT_EQ(m.liste(), c.apres) << c.a << ".." << c.b;
    }
    TgestionnaireMarqueurs m;
    m.Ajoute(3, 9, MARQUEUR_INDENTATION, 4);
    EXPECT_EQ(m.Indentation(3), 4);
    EXPECT_EQ(m.IndentationEn(5), 4);
    m.Ajoute(3, 9, MARQUEUR_INDENTATION, 4);
    EXPECT_TRUE(m.liste().empty());
}

TEST(Marqueurs, Questions) {
    auto m = avec({R(10, 20), C(1, 5), {7, 7, MARQUEUR_CARACTERE, 'x'}, I(30, 40, 3)});
    EXPECT_EQ(m.IndiceRetourne(15), 0);
    EXPECT_TRUE(m.FinRetourne(21));
    EXPECT_FALSE(m.FinRetourne(20));
    EXPECT_EQ(m.Indentation(30), 3);
    EXPECT_EQ(m.Indentation(31), 0);
    EXPECT_TRUE(m.DansMarqueur(40, MARQUEUR_INDENTATION));
    std::int32_t a = 0, b = 0;
    EXPECT_TRUE(m.Bornes(0, a, b));
    EXPECT_EQ(a, 10);
    EXPECT_FALSE(m.Bornes(9, a, b));
}

TEST(Marqueurs, Remplacement) {
    const struct {
        Liste avant;
        std::int32_t from, to, n;
        Liste apres;
    } cas[] = {
        {{R(10, 20)}, 10, 20, 0, {}},                    // the marked text deleted
        {{R(10, 20)}, 5, 6, 0, {R(8, 18)}},
        {{R(10, 20)}, 15, 25, 0, {R(10, 14)}},
        {{R(10, 20)}, 5, 12, 0, {R(5, 12)}},
        {{C(10, 20)}, 9, 9, 0, {}},                      // the end before a centred paragraph
        {{I(10, 20)}, 9, 9, 0, {I(9, 19)}},
        {{R(10, 20)}, 10, 9, 3, {R(13, 23)}},
        {{R(10, 20)}, 21, 20, 3, {R(10, 20)}},
        {{C(10, 20)}, 10, 9, 3, {C(10, 23)}},            // typed at its start: joins the paragraph
        {{C(10, 20)}, 4, 3, 3, {C(13, 23)}},
        {{I(10, 20)}, 4, 3, 3, {I(13, 23)}},             // an indented paragraph moves with its text
        {{I(10, 20)}, 10, 9, 3, {I(10, 23)}},
        {{R(10, 20)}, 12, 14, 1, {R(10, 18)}},
    };
    for (const auto& c : cas) {
        auto m = avec(c.avant);
        m.Remplacement(c.from, c.to, c.n);
        EXPECT_EQ(m.liste(), c.apres) << c.from << ".." << c.to << " +" << c.n;
    }
}

TEST(Marqueurs, Purge) {
    const std::string texte = "ab\rcd ef";
    auto m = avec({C(4, 5), C(5, 8), I(7, 8), R(2, 3), I(1, 2)});
    m.Purge([&](std::int32_t p) { return static_cast<std::uint8_t>(texte[static_cast<std::size_t>(p - 1)]); });
    EXPECT_EQ(m.liste(), (Liste{C(4, 5), I(7, 8), R(2, 3), I(1, 2)}));
}

TEST(Marqueurs, SuiventLeRecoupage) {
    // Old "ab cd\vef gh" (positions 5..15) becomes "ab\ncdef gh": the VT goes.
    auto m = avec({R(1, 4), R(8, 12), R(10, 10), C(16, 20), R(9, 9)});
    m.suitRecoupage(AlignementRecoupage(5, "ab cd\vef gh", "ab\ncdef gh"));
    // A range made only of the removed VT disappears.
    EXPECT_EQ(m.liste(), (Liste{R(1, 4), R(8, 11), C(15, 19), R(9, 9)}));
    // An inserted VT pushes later bytes on.
    auto n = avec({R(3, 6)});
    n.suitRecoupage(AlignementRecoupage(1, "abcdefgh", "abcd\vefgh"));
    EXPECT_EQ(n.liste(), (Liste{R(3, 7)}));
}

TEST(Marqueurs, Bloc) {
    TgestionnaireMarqueurs vide;
    std::string bloc;
    vide.Ecrit(bloc);
    EXPECT_EQ(bloc, std::string(6, '\0'));

    auto m = avec({R(10, 20), I(1, 300, 5), {-1, 70000, 4, 0xE9}});
    std::string octets = "XY";
    m.Ecrit(octets);
    EXPECT_EQ(octets.size(), 2u + 6 + 30);
    TgestionnaireMarqueurs lu;
    std::size_t o = 2;
    ASSERT_TRUE(lu.Lit(octets, o));
    EXPECT_EQ(o, octets.size());
    EXPECT_EQ(lu.liste(), m.liste());

    // Truncated anywhere: refused, and the list stays as it was.
    for (std::size_t n = 2; n < octets.size(); ++n) {
        std::size_t p = 2;
        EXPECT_FALSE(lu.Lit(std::string_view(octets).substr(0, n), p)) << n;
        EXPECT_EQ(lu.liste(), m.liste());
    }
    std::string enorme = std::string("\0\0\xFF\xFF\xFF\x7F", 6);
    std::size_t p = 0;
    EXPECT_FALSE(lu.Lit(enorme, p));
}
