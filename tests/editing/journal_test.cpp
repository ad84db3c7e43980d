#include "editing/journal.h"

#include <gtest/gtest.h>

#include <random>

#include "braille/document.h"

using namespace dotavob;

namespace {

std::vector<std::uint8_t> octets(std::initializer_list<int> l) {
    return std::vector<std::uint8_t>(l.begin(), l.end());
}

void verifieMarqueurs(const DocumentBraille& d) {
    for (const auto& m : d.marqueurs().liste()) {
        EXPECT_GE(m.start, 1);
        EXPECT_LE(m.start, m.end);
        EXPECT_LE(m.end, d.longueur());
    }
}

}  // namespace

TEST(Journal, Enregistrements) {
    Journal j;
    j.JournalRemplace("", "a", 1);
    EXPECT_EQ(j.octets(), octets({18, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'a', 18, 0, 0, 0}));
    j.JournalRemplace("", "", 7);
    EXPECT_EQ(j.octets().size(), 22u + 21u);
    j.JournalRetourne(3, 260);
    const auto& f = j.octets();
    EXPECT_EQ(std::vector<std::uint8_t>(f.end() - 17, f.end()),
              octets({13, 0, 0, 0, 2, 3, 0, 0, 0, 4, 1, 0, 0, 13, 0, 0, 0}));

    Enregistrement e;
    std::size_t debut = 0;
    ASSERT_TRUE(j.litPrecedent(e, debut));
    EXPECT_EQ(e.type, 2);
    EXPECT_EQ(e.dernier, 260);
    j.placePosition(debut);
    ASSERT_TRUE(j.litPrecedent(e, debut));
    EXPECT_EQ(e.pos, 7);
    j.placePosition(debut);
    EXPECT_TRUE(j.PeutRefaire());

    // A new edit after undoing ends the redo history.
    j.JournalRemplace("xy", "z", 2);
    EXPECT_FALSE(j.PeutRefaire());
    EXPECT_EQ(j.octets().size(), 22u + 24u);
    j.placePosition(22);
    std::size_t fin = 0;
    ASSERT_TRUE(j.litSuivant(e, fin));
    EXPECT_EQ(e.ancien, "xy");
    EXPECT_EQ(e.nouveau, "z");
    EXPECT_EQ(fin, j.octets().size());

    {
        Journal::Suspension s(j);
        j.JournalRemplace("", "q", 1);
        EXPECT_TRUE(j.JournalEstSuspendu());
    }
    EXPECT_FALSE(j.JournalEstSuspendu());
    EXPECT_EQ(j.octets().size(), 22u + 24u);
    j.vide();
    EXPECT_FALSE(j.PeutDefaire());
}

TEST(Journal, DefaitRefaitDansLeDocument) {
    FormatPage f;
    DocumentBraille d(f);
    d.remplace(1, 1, "a");
    EXPECT_EQ(d.journal().octets().size(), 22u);
    ASSERT_TRUE(d.Defait());
    EXPECT_EQ(d.texte(), "");
    EXPECT_EQ(d.positionCurseur(), 1);
    EXPECT_FALSE(d.Defait());
    ASSERT_TRUE(d.Refait());
    EXPECT_EQ(d.texte(), "a");
    EXPECT_EQ(d.positionCurseur(), 2);
    EXPECT_EQ(d.journal().octets().size(), 22u);  // replaying writes nothing

    d.remplace(2, 2, "bc");
    d.remplace(1, 1, "x");
    d.Defait();
    d.Defait();
    d.remplace(2, 2, "q");
    EXPECT_FALSE(d.journal().PeutRefaire());
    EXPECT_EQ(d.texte(), "aq");

    // Turning, undone and redone.
    d.initialise("abcdefghij");
    d.journal().vide();
    d.selectionne(3, 6);
    d.retourneSelection();
    EXPECT_EQ(d.marqueurs().liste(), (std::vector<Marqueur>{{3, 6, MARQUEUR_RETOURNE, 0}}));
    d.Defait();
    EXPECT_TRUE(d.marqueurs().liste().empty());
    d.Refait();
    EXPECT_EQ(d.marqueurs().liste(), (std::vector<Marqueur>{{3, 6, MARQUEUR_RETOURNE, 0}}));
    EXPECT_EQ(d.debutSelection(), 0);
}

TEST(Journal, ProprieteToutDefaireToutRefaire) {
    std::mt19937 alea(2024);
    const std::string alphabet = "abcdefgh  \xA8\x91\xE2\xB8\xB4*]b-\r\f";
    for (int tour = 0; tour < 4; ++tour) {
        FormatPage f;
        f.cpl = static_cast<std::uint8_t>(10 + tour * 7);
        f.nbLignesTexte = static_cast<std::uint8_t>(3 + tour);
        DocumentBraille d(f);
        std::vector<std::string> etats{d.texte()};
        for (int n = 0; n < 1500; ++n) {
            const std::int32_t len = d.longueur();
            const auto op = alea() % 10;
            if (op == 0 && len > 2) {
                std::int32_t a = 1 + static_cast<std::int32_t>(alea() % len);
                std::int32_t b = std::min(len, a + static_cast<std::int32_t>(alea() % 12));
                d.selectionne(a, b);
                d.retourneSelection();
                verifieMarqueurs(d);
                etats.push_back(d.texte());  // a turn changes no byte but is one record
                continue;
            }
            if (op == 1 && len > 2) {
                std::int32_t a = 1 + static_cast<std::int32_t>(alea() % len);
                d.marqueurs().Ajoute(a, std::min(len, a + 5), MARQUEUR_CENTRE);
            }
            std::int32_t from = 1 + static_cast<std::int32_t>(alea() % (len + 1));
            std::int32_t to = std::min(len + 1, from + static_cast<std::int32_t>(alea() % (op < 5 ? 2 : 8)));
            std::string nouveau;
            const auto k = alea() % (op < 5 ? 3 : 25);
            for (std::size_t i = 0; i < k; ++i) nouveau += alphabet[alea() % alphabet.size()];
            d.remplace(from, to, nouveau);
            etats.push_back(d.texte());
            verifieMarqueurs(d);
            if (::testing::Test::HasFailure()) return;
        }
        // Every state comes back, in order, by undoing; then again by redoing.
        for (std::size_t i = etats.size() - 1; i > 0; --i) {
            ASSERT_TRUE(d.Defait());
            ASSERT_EQ(d.texte(), etats[i - 1]) << "undo " << i;
            verifieMarqueurs(d);
        }
        EXPECT_FALSE(d.journal().PeutDefaire());
        for (std::size_t i = 1; i < etats.size(); ++i) {
            ASSERT_TRUE(d.Refait());
            ASSERT_EQ(d.texte(), etats[i]) << "redo " << i;
        }
        EXPECT_FALSE(d.journal().PeutRefaire());
    }
}
