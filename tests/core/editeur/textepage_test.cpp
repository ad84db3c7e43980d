#include "core/editeur/textepage.h"

#include <gtest/gtest.h>

#include "core/editeur/editeur.h"

using namespace dotavob;

namespace {

class TexteDePage : public ::testing::Test {
protected:
    FormatPage format;
    DocumentBraille doc{format};
    EditeurBraille ed{doc};

    TextePage noir() const { return texteNoir(lignesAffichees(ed, false)); }
    TextePage braille() const { return texteBraille(lignesAffichees(ed, false, false)); }
};

TEST_F(TexteDePage, LesLignesDeLaPageSeSuiventSepareesParDesFinsDeLigne) {
    ed.initialise("le chat\rdu chat");
    const TextePage t = noir();
    EXPECT_EQ(t.texte, U"le chat\ndu chat");
    ASSERT_EQ(t.lignes.size(), 2u);
    EXPECT_EQ(t.lignes[1].decalage, 8);
    // Byte 9 starts the second line; byte 8, the paragraph end, stands after "le chat".
    EXPECT_EQ(std::pair(decalageDe(t, 9), decalageDe(t, 8)), std::pair(8, 7));
    EXPECT_EQ(std::pair(positionDe(t, 8), positionDe(t, 7)), std::pair(9, 8));
}

TEST_F(TexteDePage, LeCurseurEnNoirSeTientAvantLUniteEtSonSigneCache) {
    ed.insereNoir("Le chat.");
    const TextePage n = noir(), b = braille();
    // Position 1 is the capital sign, 2 the L it makes a capital, 3 the e; 10 is after the last byte.
    EXPECT_EQ((std::vector{decalageDe(n, 1), decalageDe(n, 2), decalageDe(n, 3), decalageDe(b, 3), decalageDe(n, 10)}),
              (std::vector{0, 0, 1, 2, 8}));
    EXPECT_EQ(std::pair(positionDe(n, 0), positionDe(n, 1)), std::pair(1, 3));
    // The e and the space selected.
    for (auto [t, premier, dernier] : {std::tuple{&n, 1, 3}, {&b, 2, 4}})
        EXPECT_EQ(std::pair(etendueDe(*t, 3, 4).premier, etendueDe(*t, 3, 4).dernier), std::pair(premier, dernier));
}

TEST_F(TexteDePage, SeulesLesLignesDeLaPageMontreeSontLues) {
    const std::int32_t n = doc.lignesParPage();
    std::string texte;
    for (std::int32_t i = 0; i < 3 * n; ++i) texte += i < n ? "a\r" : "b\r";
    ed.initialise(texte);
    ed.allerPage(2);
    const TextePage t = noir();
    EXPECT_EQ(static_cast<std::int32_t>(t.lignes.size()), n);
    EXPECT_EQ(t.texte.find(U'a'), std::u32string::npos);
    EXPECT_EQ(decalageDe(t, 1), 0);  // a caret before the page
    EXPECT_EQ(decalageDe(t, doc.longueur()), static_cast<std::int32_t>(t.texte.size()));
}

TEST(Difference, NeGardeQueCeQuiAChange) {
    using T = std::tuple<int, std::u32string, std::u32string>;
    for (const auto& [avant, apres, attendu] : {std::tuple{U"le chat", U"le chant", T{6, U"", U"n"}},
                                                {U"aaa", U"a", T{1, U"aa", U""}}, {U"abcd", U"abXd", T{2, U"c", U"X"}}}) {
        const Difference d = difference(avant, apres);
        EXPECT_EQ(T(d.decalage, d.ote, d.ajoute), attendu);
    }
}

}  // namespace
