#include "core/document/journal.h"

#include <gtest/gtest.h>

#include <random>

#include "core/editeur/editeur.h"

using namespace dotavob;

TEST(Journal, Enregistrements) {
    // Records read back as written, both ways, whatever their layout; positions beyond 16 bits.
    Journal j;
    j.JournalRemplace("", "a", 1);
    j.JournalRemplace("", "", 70000);
    j.JournalRetourne(3, 260);
    Enregistrement e;
    std::size_t debut = 0;
    ASSERT_TRUE(j.litPrecedent(e, debut));
    EXPECT_EQ(std::tuple(e.type, e.premier, e.dernier), std::tuple(Journal::RETOURNEMENT, 3, 260));
    j.placePosition(debut);
    ASSERT_TRUE(j.litPrecedent(e, debut));
    j.placePosition(debut);
    EXPECT_EQ(std::pair(e.pos, j.PeutRefaire()), std::pair(70000, true));

    // A new edit after undoing ends the redo history.
    j.JournalRemplace("xy", "z", 2);
    EXPECT_FALSE(j.PeutRefaire());
    j.placePosition(0);
    std::size_t fin = 0;
    ASSERT_TRUE(j.litSuivant(e, fin));
    EXPECT_EQ(std::tuple(e.type, e.pos, e.ancien, e.nouveau), std::tuple(Journal::REMPLACEMENT, 1, "", "a"));
    j.placePosition(fin);
    ASSERT_TRUE(j.litSuivant(e, fin));
    EXPECT_EQ(std::tuple(e.ancien, e.nouveau, fin), std::tuple(std::string("xy"), std::string("z"), j.octets().size()));

    const std::size_t taille = j.octets().size();
    {
        Journal::Suspension s(j);
        j.JournalRemplace("", "q", 1);
        EXPECT_TRUE(j.JournalEstSuspendu());
    }
    EXPECT_EQ(std::pair(j.JournalEstSuspendu(), j.octets().size()), std::pair(false, taille));
    j.vide();
    EXPECT_FALSE(j.PeutDefaire());
}

TEST(Journal, ProprieteToutDefaireToutRefaire) {
    // Undoing everything gives back the text and markers of every earlier state, in order; redoing, again.
    std::mt19937 alea(2024);
    const std::string alphabet = "abcdefgh  \xA8\x91\xE2\xB8\xB4*]b-\r\f";
    using Etat = std::pair<std::string, std::string>;
    for (int tour = 0; tour < 4; ++tour) {
        FormatPage f;
        f.cpl = static_cast<std::uint8_t>(10 + tour * 7);
        f.nbLignesTexte = static_cast<std::uint8_t>(3 + tour);
        DocumentBraille doc(f);
        EditeurBraille ed(doc);
        auto etat = [&] {
            std::string m;
            for (const auto& x : doc.marqueurs().liste())
                m += std::to_string(x.start) + "-" + std::to_string(x.end) + "/" + std::to_string(x.kind) + " ";
            return Etat{doc.texte(), m};
        };
        std::vector<Etat> etats{etat()};
        for (int n = 0; n < 1500; ++n) {
            const std::int32_t len = doc.longueur();
            const std::size_t position = doc.journal().position();
            const auto op = alea() % 10;
            if (op == 0 && len > 2) {
                std::int32_t a = 1 + static_cast<std::int32_t>(alea() % len);
                std::int32_t b = std::min(len, a + static_cast<std::int32_t>(alea() % 12));
                ed.selectionne(a, b);
                ed.retourneSelection();
            } else if (op == 1 && len > 2) {
                const std::int32_t p = 1 + static_cast<std::int32_t>(alea() % len);
                doc.marqueParagraphe(doc.debutParagraphe(p), doc.finParagraphe(p) - 1,
                                     alea() % 2 ? MARQUEUR_CENTRE : MARQUEUR_INDENTATION, 2);
            } else {
                std::int32_t from = 1 + static_cast<std::int32_t>(alea() % (len + 1));
                std::int32_t to = std::min(len + 1, from + static_cast<std::int32_t>(alea() % (op < 5 ? 2 : 8)));
                std::string nouveau;
                const auto k = alea() % (op < 5 ? 3 : 25);
                for (std::size_t i = 0; i < k; ++i) nouveau += alphabet[alea() % alphabet.size()];
                doc.remplace(from, to, nouveau);
            }
            // A command that changed nothing wrote no record.
            if (doc.journal().position() != position) etats.push_back(etat());
            for (const auto& m : doc.marqueurs().liste())
                ASSERT_TRUE(1 <= m.start && m.start <= m.end && m.end <= doc.longueur()) << m.start << ".." << m.end;
        }
        for (std::size_t i = etats.size() - 1; i > 0; --i) {
            ASSERT_TRUE(ed.Defait());
            ASSERT_EQ(etat(), etats[i - 1]) << "undo " << i;
        }
        EXPECT_FALSE(doc.journal().PeutDefaire());
        for (std::size_t i = 1; i < etats.size(); ++i) {
            ASSERT_TRUE(ed.Refait());
            ASSERT_EQ(etat(), etats[i]) << "redo " << i;
        }
        EXPECT_FALSE(doc.journal().PeutRefaire());
    }
}

TEST(Journal, DefaireRendLesMarqueursEtLeCurseur) {
    FormatPage f;
    f.cpl = 10;
    DocumentBraille doc(f);
    EditeurBraille ed(doc);
    // A turned range moved by typing comes back with the text, the caret after the restored text.
    ed.insereNoir("aa bb cc dd ee ff gg");
    const std::int32_t dd = static_cast<std::int32_t>(doc.texte().find("dd")) + 1;
    ed.selectionne(dd, dd + 1);
    ed.retourneSelection();
    ed.placeCurseur({1, 1});
    ed.caractereFrappe('x');
    ed.caractereFrappe('y');
    const auto avant = doc.marqueurs().liste();
    ed.caractereFrappe('z');
    const auto apres = doc.marqueurs().liste();
    ASSERT_TRUE(ed.Defait());
    EXPECT_EQ(std::pair(doc.marqueurs().liste(), ed.positionCurseur()), std::pair(avant, 3));
    ASSERT_TRUE(ed.Refait());
    EXPECT_EQ(std::pair(doc.marqueurs().liste(), ed.positionCurseur()), std::pair(apres, 4));

    // A drag to the left then a turn: the bytes it went over; a click alone turns nothing.
    ed.initialise("abcdefghijkl");
    doc.charge(doc.texte(), {{5, 8, MARQUEUR_RETOURNE, 0}});  // its markers only, no history
    ed.sourisEnfoncee(10);
    ed.sourisDeplacee(5);
    ed.retourneSelection();
    EXPECT_TRUE(doc.marqueurs().liste().empty());
    ASSERT_TRUE(ed.Defait());
    EXPECT_EQ(std::pair(doc.marqueurs().liste(), ed.Defait()), std::pair(std::vector<Marqueur>{{5, 8, MARQUEUR_RETOURNE, 0}}, false));
    ASSERT_TRUE(ed.Refait());
    EXPECT_EQ(ed.debutSelection(), 0);  // a redo selects nothing
    const std::size_t taille = doc.journal().octets().size();
    ed.sourisEnfoncee(3);
    ed.retourneSelection();
    EXPECT_EQ(doc.journal().octets().size(), taille);
}
