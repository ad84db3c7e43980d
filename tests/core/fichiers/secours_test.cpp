#include "core/fichiers/secours.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(CopieDeSecours, AllerRetourEtCopiesAbimees) {
    // Names with accents and line ends, documents with every byte.
    std::string octets;
    for (int i = 0; i < 256; ++i) octets += static_cast<char>(i);
    for (const CopieDeSecours& c : {CopieDeSecours{"/home/élève/livre.dtv", octets}, CopieDeSecours{"", ""},
                                    CopieDeSecours{"a\nb", "\nfin\n"}}) {
        const std::string ecrit = ecritCopieDeSecours(c);
        CopieDeSecours lue;
        std::string erreur;
        ASSERT_TRUE(litCopieDeSecours(ecrit, lue, erreur)) << erreur;
        EXPECT_EQ(std::tie(lue.nom, lue.document), std::tie(c.nom, c.document));
        // Cut anywhere, or lengthened: refused, and the copy asked for is left as it was.
        CopieDeSecours intacte{"garde", "garde"};
        for (std::size_t n = 0; n < ecrit.size(); ++n) {
            EXPECT_FALSE(litCopieDeSecours(std::string_view(ecrit).substr(0, n), intacte, erreur)) << n;
            EXPECT_FALSE(erreur.empty());
        }
        EXPECT_FALSE(litCopieDeSecours(ecrit + "x", intacte, erreur));
        EXPECT_EQ(intacte.nom, "garde");
    }
    // A length that does not hold, or that is no number.
    CopieDeSecours lue;
    std::string erreur;
    for (const char* faux : {"DotavoB copie de secours 1\nnom 99\nx\ndocument 0\n\nfin\n",
                             "DotavoB copie de secours 1\nnom -1\n\ndocument 0\n\nfin\n",
                             "DotavoB copie de secours 1\nnom 99999999999999999999999\n", "autre chose"})
        EXPECT_FALSE(litCopieDeSecours(faux, lue, erreur)) << faux;
}
