#include "core/document/formatpage.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(FormatPage, ChargeFormat) {
    // Lines clamped as the spin box clamps them; missing values take the
    // defaults (the first start's are pinned by the empty document's bytes).
    FormatStocke s;
    s.lignes = 70, s.caracteres = 40, s.entete = s.pied = true;
    const FormatPage f = chargeformat(s);
    EXPECT_EQ(std::tuple(f.lignes, f.cpl, f.nbLignesTexte, f.indentation), std::tuple(60, 40, 58, 0));
}

TEST(FormatPage, InterligneDouble) {
    FormatPage f;
    const struct { int lignes; bool coche; int apres; } cas[] = {{28, true, 14}, {14, false, 28}, {29, true, 14},
                                                                 {11, true, 10}, {31, false, 60}};
    for (auto c : cas) {
        f.setLignes(c.lignes);
        f.basculeInterligne(c.coche);
        EXPECT_EQ(f.lignes, c.apres) << c.lignes;
    }
}

TEST(FormatPage, EnteteEtPied) {
    FormatPage f;
    f.setCaracteres(30);
    f.derive();
    // Page 2 of 5: "2" transcribed (number sign and digit), right-aligned.
    EXPECT_EQ(f.texteentete(2, 5), std::string(28, ' ') + "\x91\xEA");
    // The slash does not end the number: 12 follows without a new number sign.
    f.entete.texte = "Page [p]/[T]";
    f.entete.alignement = Alignement::Gauche;
    EXPECT_EQ(f.texteentete(3, 12), "\xA8page \x91\xEE/\xE2\xEA");
    // The footer carries one number sign, as the header does.
    f.pied.texte = "[P]";
    f.pied.alignement = Alignement::Centre;
    EXPECT_EQ(f.textepied(7, 9), std::string(14, ' ') + "\x91\xEF");
    // A header longer than the line is neither padded nor cut.
    f.entete.texte = std::string(31, 'a');
    f.entete.alignement = Alignement::Centre;
    EXPECT_EQ(f.texteentete(1, 1), std::string(31, 'a'));
    EXPECT_EQ(remplaceNumeros("[P][x][t]", 4, 9), "4[x]9");
}
