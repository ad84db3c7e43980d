#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/editeur/editeur.h"
#include "core/noir/noir.h"

using namespace dotavob;
namespace t = touches;

namespace {

class Edition : public ::testing::Test {
protected:
    FormatPage format;
    DocumentBraille doc{format};
    EditeurBraille d{doc};

    void tape(std::string_view s) { for (char c : s) d.caractereFrappe(oct(c)); }
    void touche(int vk, bool maj = false, bool ctrl = false) { d.toucheRelachee(vk, maj, ctrl); }
    void accord(std::string_view points, char relachee) {
        for (char p : points) d.toucheEnfoncee(p);
        d.toucheRelachee(relachee);
    }
    void curseurA(std::int32_t p) { d.placeCurseur(doc.pointDe(p)); }
};

// The page shown and the lines repainted, as the views hear them.
struct EspionPages : ObservateurEditeur {
    std::vector<std::pair<std::int32_t, std::int32_t>> lignes;
    int pages = 0, page = 0;
    void vueModifiee(std::int32_t a, std::int32_t b) override { lignes.emplace_back(a, b); }
    void pageModifiee(std::int32_t p, std::int32_t) override { ++pages, page = p; }
};

std::string repete(const std::string& s, int n) { std::string r; while (n-- > 0) r += s; return r; }

}  // namespace

TEST_F(Edition, Pages) {
    EspionPages e;
    d.ajouteObservateur(&e);
    // 28 lines a page (the page of a line is checked against a plain walk in the document tests);
    // the caret on the empty line of an FF after a full page shows on page 2, row 1.
    d.initialise(repete("x\r", 28) + "\fy");
    for (auto [ligne, page, rang, premiere, position] : {std::array{30, 2, 1, 30, 58}, {29, 2, 1, 30, 58}, {28, 1, 28, 1, 1}}) {
        d.placeCurseur({1, ligne});
        EXPECT_EQ(std::tuple(d.pageCourante(), d.rangCurseur(), d.premiereLigne(), d.premierePosition()),
                  std::tuple(page, rang, premiere, position)) << ligne;
    }

    d.initialise("a\rb\rc\fd\re");
    e.pages = 0;
    d.allerPage(1);
    EXPECT_EQ(d.curseur(), (Point{1, 1}));
    EXPECT_EQ(std::pair(e.pages, e.page), std::pair(1, 1));
    d.allerPage(2);
    EXPECT_EQ(std::pair(d.premiereLigne(), d.curseur()), std::pair(4, Point{1, 4}));
    d.allerPage(3);  // pages that do not exist are ignored
    d.allerPage(0);
    EXPECT_EQ(d.pageCourante(), 2);
    // Turning pages repaints but does not make the document modified.
    EXPECT_FALSE(doc.modifie());
    EXPECT_FALSE(e.lignes.empty());
}

TEST_F(Edition, SelectionEtRecherche) {
    d.initialise("le chat\rdu chat");
    d.selectionne(4, 7);
    d.selectionne(4, 0);  // an end of 0 changes nothing
    EXPECT_EQ(d.finSelection(), 7);
    d.selectionne(5, 4);
    EXPECT_EQ(d.debutSelection(), 0);
    // Case-blind, then on from the caret until none is left (the search window makes the first two).
    for (bool trouve : {true, true, false}) EXPECT_EQ(d.recherche("CHAT", false), trouve);
    EXPECT_FALSE(d.recherche("", true));
    // What is found is selected, the caret at its start.
    ASSERT_TRUE(d.recherche("chat", true));
    EXPECT_EQ(std::tuple(d.debutSelection(), d.finSelection(), d.positionCurseur()), std::tuple(4, 7, 4));
}

TEST_F(Edition, SixTouches) {
    d.modeSixTouches(true);
    accord("FD", 'D');
    d.toucheRelachee('F');  // the chord was already emitted
    EXPECT_EQ(doc.texte(), "b");
    accord("L", 'L');
    accord("FDSJKL", 'K');
    tape("a ");
    EXPECT_EQ(std::pair(doc.texte(), d.positionCurseur()), std::pair(std::string("b\x91\xE9 "), 5));
    // Typed letters and digits are no cells; a chord inserts its cell with no capital or number sign.
    tape("A1");
    accord("SJK", 'S');
    EXPECT_EQ(doc.texte(), "b\x91\xE9 @");
    d.modeSixTouches(false);
    accord("FD", 'D');
    EXPECT_EQ(doc.texte(), "b\x91\xE9 @");
}

TEST_F(Edition, FrappeEnNoir) {
    const struct { const char* frappe; const char* braille; } cas[] = {
        {"Paris eBay", "\xA8paris e\xA8" "bay"},  // a capital inside a word keeps its sign
        {" 12+3 x*2 3*4", " \x91\xE2\xEA!\xEE x\xB4*\x91\xEA \x91\xEE\xD7\xF4"},
        {"1\x91" "2", "\x91\xE2\xEA"},  // the number sign is ignored inside a number
        {"^2 \x89 \xE3 \xAB" "a_", "^2 \xB4\xF3\xF3 ^\xE8me \"a\xB4\xAC"},
        {"l'Arc \"Oui", "l'\xA8" "arc \"\xA8oui"},
    };
    for (const auto& c : cas) {
        d.initialise("");
        tape(c.frappe);
        EXPECT_EQ(doc.texte(), c.braille) << c.frappe;
        EXPECT_EQ(d.positionCurseur(), doc.longueur() + 1) << c.frappe;
    }
    // Pasted print text is transcribed and wrapped where it lands.
    format.cpl = 10;
    d.initialise("abc ");
    curseurA(5);
    d.insereNoir("Le 12 mai");
    EXPECT_EQ(doc.texte(), "abc \xA8le\n\x91\xE2\xEA mai");
    EXPECT_EQ(d.positionCurseur(), doc.longueur() + 1);
}

TEST_F(Edition, DeplacementsSansCouperLesSignes) {
    d.initialise("\xA8\xA8onu \xB4\xF3\xF3 ^er ^\xE8me ]b \xB8\xA8x");
    curseurA(1);
    for (auto [vk, arrets] : {std::pair{t::DROITE, std::vector{4, 5, 6, 7, 10, 11, 14, 15, 16, 17, 18, 19, 20, 22, 23, 26, 26}},
                              {t::GAUCHE, std::vector{23, 22, 20, 19, 18, 17, 16, 15, 14, 11, 10, 7, 6, 5, 4, 1, 1}}}) {
        for (std::int32_t attendu : arrets) {
            touche(vk);
            EXPECT_EQ(d.positionCurseur(), attendu) << vk;
        }
    }

    // Up and Down keep the column, cut to the line, never inside a sign.
    d.initialise("abcdef\rab\rx\xA8y");
    curseurA(5);
    for (auto [vk, fois, attendu] : {std::tuple{t::BAS, 1, Point{3, 2}}, {t::BAS, 1, Point{2, 3}}, {t::HAUT, 3, Point{2, 1}}}) {
        for (int i = 0; i < fois; ++i) touche(vk);
        EXPECT_EQ(d.curseur(), attendu) << vk;
    }
}

TEST_F(Edition, SelectionAuClavierEtALaSouris) {
    d.initialise("abcdef");
    // Shift moves select between where they began and the caret, on either side.
    curseurA(3);
    // Back where it began, nothing is selected.
    const struct { int vk; bool maj; std::int32_t debut, fin; } pas[] = {
        {t::GAUCHE, true, 2, 2}, {t::GAUCHE, true, 1, 2}, {t::DROITE, true, 2, 2}, {t::DROITE, true, 0, 0},
        {t::DROITE, true, 3, 3}, {t::DROITE, true, 3, 4}, {t::GAUCHE, true, 3, 3}, {t::GAUCHE, false, 0, 0}};
    for (std::size_t i = 0; i < std::size(pas); ++i) {
        touche(pas[i].vk, pas[i].maj);
        EXPECT_EQ(std::pair(d.debutSelection(), d.finSelection()), std::pair(pas[i].debut, pas[i].fin)) << "step " << i;
    }

    // A drag within one cell selects nothing; a click leaves no selection to delete.
    auto glisse = [&](std::int32_t a, std::int32_t b) {
        d.sourisEnfoncee(a);
        d.sourisDeplacee(b);
        d.sourisRelachee(b);
    };
    glisse(3, 3);
    EXPECT_EQ(d.copieSelection(), "");
    touche(t::SUPPR);
    glisse(2, 4);
    EXPECT_EQ(std::pair(doc.texte(), d.copieSelection()), std::pair(std::string("abdef"), std::string("bd")));

    // The first step of a drag repaints only the band between the press and the pointer.
    d.initialise(repete("abc\r", 8));
    EspionPages e;
    d.ajouteObservateur(&e);
    d.sourisEnfoncee(doc.positionDe({2, 5}));
    e.lignes.clear();
    d.sourisDeplacee(doc.positionDe({2, 6}));
    EXPECT_EQ(e.lignes, (std::vector{std::pair(5, 6)}));
    d.retireObservateur(&e);
}

TEST_F(Edition, Suppression) {
    // A prefix goes with its sign; per mille and superscripts go whole.
    const struct { const char* texte; std::int32_t curseur; int touche, fois; const char* reste; std::int32_t apres; } cas[] = {
        {"x\xA8" "a", 2, t::SUPPR, 1, "x", 2},
        {"x\xA8" "ab", 3, t::SUPPR, 1, "xb", 2},  // on the sign of a prefix: both go
        {"\xA8" "a", 3, t::RETOUR_ARRIERE, 1, "", 1},
        {"^\xE8me \xB4\xF3\xF3!]b", 1, t::SUPPR, 1, " \xB4\xF3\xF3!]b", 1},  // superscript
        {" \xB4\xF3\xF3!]b", 2, t::SUPPR, 1, " !]b", 2},
        {" !]b", 3, t::SUPPR, 1, " !", 3},
        {" !", 3, t::RETOUR_ARRIERE, 3, "", 1},
    };
    for (const auto& c : cas) {
        d.initialise(c.texte);
        curseurA(c.curseur);
        for (int i = 0; i < c.fois; ++i) touche(c.touche);
        EXPECT_EQ(doc.texte(), c.reste) << c.texte;
        EXPECT_EQ(d.positionCurseur(), c.apres) << c.texte;
    }
}

TEST_F(Edition, FinDeParagrapheAvantLeSigneMajuscule) {
    tape("x ");
    d.signeMajuscule();
    touche(t::ENTREE);
    EXPECT_EQ(std::pair(doc.texte(), d.positionCurseur()), std::pair(std::string("x \r\xA8"), 4));
}

TEST_F(Edition, DesCellulesColleesEnPlusieursParagraphesSontToutesRecoupees) {
    // Three paragraphs of 14 cells and a page break, pasted in the middle of
    // a line 10 cells wide: no line of the document is wider than the page.
    format.cpl = 10;
    d.initialise("ab cd");
    curseurA(3);
    const std::string p = "aaaa bbbb cccc";
    d.insereBraille(p + "\r" + p + "\f" + p + "\r" + p);
    for (std::int32_t l = 1; l <= doc.nbLignes(); ++l) {
        const Tligne ligne = doc.ligne(l);
        EXPECT_LE(ligne.texte.size(), 10u) << l << " : " << ligne.texte;
    }
    std::string sans = doc.texte();
    std::replace(sans.begin(), sans.end(), static_cast<char>(LF), ' ');
    EXPECT_EQ(sans, "ab" + p + "\r" + p + "\f" + p + "\r" + p + " cd");
}

TEST_F(Edition, Boutons) {
    // The capital button cycles one sign, two, none; the number button toggles.
    tape("a");
    for (auto [majuscule, attendu] : {std::pair{true, "a\xA8"}, {true, "a\xA8\xA8"}, {true, "a"}, {false, "a\x91"}, {false, "a"}}) {
        if (majuscule) d.signeMajuscule(); else d.signeNumerique();
        EXPECT_EQ(std::pair(doc.texte(), d.positionCurseur()), std::pair(std::string(attendu), doc.longueur() + 1)) << attendu;
    }

    // Emphasis: one sign a word of the selection, taken off when all have one;
    // with no selection, the word at the caret's start, none inside a word.
    d.initialise("un deux, trois");
    const struct { std::int32_t debut, fin; const char* texte; std::int32_t curseur; } evidence[] = {
        {1, 14, "\xB8un \xB8" "deux, \xB8trois", 0}, {1, 17, "un deux, trois", 0},
        {4, 0, "un \xB8" "deux, trois", 5}, {6, 0, "un \xB8" "deux, trois", 6}};
    for (const auto& c : evidence) {
        if (c.fin) d.selectionne(c.debut, c.fin); else curseurA(c.debut);
        d.miseEnEvidence();
        EXPECT_EQ(std::pair(doc.texte(), d.sansSelection()), std::pair(std::string(c.texte), true)) << c.debut;
        EXPECT_TRUE(!c.curseur || d.positionCurseur() == c.curseur) << c.debut;
    }

    format.indentation = 3;
    d.initialise("ab\rcdef\rg");
    curseurA(5);
    d.marqueParagraphe(MARQUEUR_CENTRE);
    d.marqueParagraphe(MARQUEUR_INDENTATION);
    EXPECT_EQ(doc.marqueurs().liste(), (std::vector<Marqueur>{{4, 7, MARQUEUR_CENTRE, 0}, {4, 7, MARQUEUR_INDENTATION, 3}}));
    d.marqueParagraphe(MARQUEUR_CENTRE);
    EXPECT_EQ(doc.marqueurs().liste().size(), 1u);
    // Centring an empty paragraph changes nothing and records nothing.
    d.initialise("a\r\rb");
    doc.charge(doc.texte(), {});
    d.placeCurseur({1, 2});
    d.marqueParagraphe(MARQUEUR_CENTRE);
    EXPECT_TRUE(doc.marqueurs().liste().empty());
    EXPECT_FALSE(doc.modifie() || doc.journal().PeutDefaire());
}

TEST_F(Edition, PressePapiers) {
    tape("Le 12, Paris");
    d.selectionne(1, doc.longueur());
    EXPECT_EQ(d.copieSelection(), "Le 12, Paris");
    d.modeSixTouches(true);  // the cells themselves
    EXPECT_EQ(d.copieSelection(), doc.texte());
    d.modeSixTouches(false);
    d.selectionne(1, 3);
    EXPECT_EQ(d.copieSelection(), "Le");
}

TEST_F(Edition, PositionSousLePointeur) {
    format.cpl = 20;
    d.initialise("abcdef\rxy\rlong");
    doc.marqueurs().ajouteBrut({8, 9, MARQUEUR_CENTRE, 0});
    doc.marqueurs().ajouteBrut({11, 14, MARQUEUR_INDENTATION, 2});
    const GeometriePage g{40, 20, 9};
    const struct { int x, y; std::int32_t position; } cas[] = {
        {9, 45, 1},     // the first cell
        {-50, 45, 1},   // left of the first cell: the line start
        {500, 45, 7},   // past the end: after the last cell
        {9, 10, 1},     // above the first line: the first line
        {9 * 10, 65, 8},  // "xy" is centred: 9 blank cells first, so cell 10 is x
        {9 * 3, 85, 11},  // indented by 2: cell 3 is the first byte
        {9, 2000, 11},  // below the text: the page's last line
    };
    for (auto c : cas) EXPECT_EQ(d.positionSousPointeur(c.x, c.y, g), c.position) << c.x << "," << c.y;
    // Below a page ended by a page break: its last line, not the next page.
    d.initialise("a\rb\fc\rd");
    EXPECT_EQ(doc.pointDe(d.positionSousPointeur(9, 2000, g)).ligne, 2);
}

TEST_F(Edition, SequencesAleatoires) {
    std::mt19937 alea(31);
    const std::string lettres = "abcdeXYZ\xC9\xE9 0123456789*%]+-,.'\x89\xE3_\xAB";
    format.cpl = 12;
    format.nbLignesTexte = 4;
    for (int tour = 0; tour < 5; ++tour) {
        d.initialise("");
        doc.journal().vide();
        doc.marqueurs().Vide();
        for (int n = 0; n < 1500; ++n) {
            const auto k = alea() % 40;
            bool fleche = false;
            if (k < 20) {
                d.caractereFrappe(oct(lettres[alea() % lettres.size()]));
            } else if (k < 28) {
                const int fleches[] = {t::GAUCHE, t::DROITE, t::HAUT, t::BAS};
                touche(fleches[alea() % 4], alea() % 2 == 0);
                fleche = true;
            } else {
                switch (k) {
                    case 28: touche(t::ENTREE); break;
                    case 29: touche(t::ENTREE, false, alea() % 4 == 0); break;
                    case 30: touche(t::RETOUR_ARRIERE); break;
                    case 31: touche(t::SUPPR); break;
                    case 32: d.signeMajuscule(); break;
                    case 33: d.signeNumerique(); break;
                    case 34: d.miseEnEvidence(); break;
                    case 35: d.marqueParagraphe(alea() % 2 ? MARQUEUR_CENTRE : MARQUEUR_INDENTATION); break;
                    case 36: d.retourneSelection(); break;
                    case 37: d.supprimeSelection(); break;
                    case 38: d.modeSixTouches(!d.sixTouches()); break;
                    default: accord("FDSJKL" + alea() % 5, 'L'); break;
                }
            }
            const std::string texte = doc.texte();
            const std::int32_t p = d.positionCurseur();
            ASSERT_TRUE(p >= 1 && p <= doc.longueur() + 1);
            if (d.debutSelection() > 0 && d.finSelection() >= d.debutSelection()) {
                ASSERT_LE(d.finSelection(), doc.longueur());
            }
            // The text end is a place for the caret even after a prefix with no sign yet.
            if (fleche && p > 1 && p <= doc.longueur()) {
                ASSERT_FALSE(estPrefixeEnPosition(texte, p - 1)) << "caret after a hidden prefix at " << p;
            }
            std::size_t ligne = 0;
            for (char c : texte) {
                ligne = estFinDeLigne(oct(c)) ? 0 : ligne + 1;
                ASSERT_LE(ligne, format.cpl) << "line too long";
            }
        }
        while (doc.journal().PeutDefaire()) ASSERT_TRUE(d.Defait());
        EXPECT_EQ(doc.texte(), "");
    }
}

TEST_F(Edition, ControlesEtModificateursDeLaFrappe) {
    // Control characters are not print text: a real Delete key carries 0x7F.
    tape("ab");
    for (Octet c : {Octet{0x7F}, Octet{0x1B}, Octet{'\t'}, Octet{'\r'}, Octet{0}}) d.caractereFrappe(c);
    EXPECT_EQ(doc.texte(), "ab");
    // The modifiers held when a key went down count, not those at its release.
    curseurA(1);
    d.toucheEnfoncee(t::DROITE, true);
    d.toucheRelachee(t::DROITE, false);
    EXPECT_EQ(std::pair(d.debutSelection(), d.finSelection()), std::pair(1, 1));
    d.annuleSelection();
    curseurA(2);
    d.toucheEnfoncee(t::ENTREE, false, true);
    d.toucheRelachee(t::ENTREE);  // a page break, the caret after it on the next page
    EXPECT_EQ(std::tuple(doc.texte(), d.positionCurseur(), d.pageCourante()), std::tuple(std::string("a\fb"), 3, 2));
    // A release never seen going down keeps the modifiers it carries.
    d.toucheRelachee(t::DROITE, true);
    EXPECT_FALSE(d.sansSelection());
}

TEST_F(Edition, UneCoupureNEstPasUneFinDeMot) {
    format.cpl = 10;
    // Emphasis over a selection: one sign a word, none inside a cut word; twice gives the text back.
    d.insereNoir("abcdefghijkl mn");
    const std::string avant = doc.texte();
    ASSERT_NE(avant.find('\v'), std::string::npos);
    d.selectionne(1, doc.longueur());
    d.miseEnEvidence();
    EXPECT_EQ(BrailleVersNoir(doc.texte()), "abcdefghijkl mn");
    EXPECT_EQ(std::ranges::count(doc.texte(), '\xB8'), 2);
    d.selectionne(1, doc.longueur());
    d.miseEnEvidence();
    EXPECT_EQ(doc.texte(), avant);
    // Backspace just after a cut deletes the cell before it; Delete just before, the cell after.
    for (auto [curseur, vk, reste] : {std::tuple{12, t::RETOUR_ARRIERE, "abcdefghik\vl"}, {11, t::SUPPR, "abcdefghij\vl"}}) {
        d.initialise("abcdefghij\vkl");
        curseurA(curseur);
        touche(vk);
        EXPECT_EQ(doc.texte(), reste);
    }
    // A number typed across the margin keeps one number sign.
    d.initialise("");
    tape("123456789012345");
    EXPECT_EQ(std::ranges::count(doc.texte(), '\x91'), 1) << doc.texte();
    EXPECT_EQ(BrailleVersNoir(doc.texte()), "123456789012345");
}

TEST_F(Edition, MajusculesTapees) {
    // Typed capitals read back as typed, whatever stands around them (no cells given); after the
    // capital-sign button a capital takes no second sign; after emphasis it keeps its own.
    const struct { int majuscules; bool evidence; const char* frappe; const char* braille; } cas[] = {
        {0, false, "ONU", nullptr}, {0, false, "McDonald", nullptr}, {0, false, "Jean-Pierre", nullptr},
        {0, false, "(Paris", nullptr}, {0, false, "[Note]", nullptr},
        {1, false, "P", "\xA8p"}, {2, false, "ONU", "\xA8\xA8onu"}, {0, true, "Paris", "\xB8\xA8paris"}};
    for (const auto& c : cas) {
        d.initialise("");
        for (int i = 0; i < c.majuscules; ++i) d.signeMajuscule();
        if (c.evidence) d.miseEnEvidence();
        tape(c.frappe);
        EXPECT_EQ(c.braille ? doc.texte() : BrailleVersNoir(doc.texte()), c.braille ? c.braille : c.frappe);
    }
}

// The command line writes a transcribed book without a document: the text the editor holds after
// typing that print into a new document and wrapping it as opening does.
TEST(Transcription, EnDocumentCommeLEditeurLaTape) {
    std::mt19937 alea(31);
    const std::string morceaux[] = {"le ", "chat ", "Paris ", "ENREGISTREMENT ", "12,5 ", "3.2.1 ", "/home/u/doc.dtv ",
                                    "anticonstitutionnellement ", "(oui) ", "\xE9t\xE9 ", "\r\n", "\f", "  ", "a-b_c ",
                                    "x", "_________________________________________________________ "};
    // Characters left out, which a book cut in two halves notes from both.
    std::string omis;
    for (int b = 1; b < 256; ++b)
        if (caracteresOmis(std::string(1, static_cast<char>(b))).nombre > 0) omis += static_cast<char>(b);
    ASSERT_FALSE(omis.empty());
    // The last few are books long enough to be transcribed in two halves at once.
    for (int essai = 0; essai < 304; ++essai) {
        std::string noir;
        // Words, then runs of signs without a blank, which the two wraps cut otherwise.
        const std::string signes = "ab1Z,.;:!?()'-/_@=+*<>[]{}\"#%&$\xE9\xE0\xAB\xBB\xA0\x80 \r" + omis;
        const std::size_t voulus = essai < 300 ? 1 : 300000;
        while (noir.size() < voulus) {
            for (auto n = alea() % 120; n > 0; --n) noir += morceaux[alea() % std::size(morceaux)];
            for (auto n = alea() % 3 * 40; n > 0; --n) noir += signes[alea() % signes.size()];
        }
        const std::int32_t cpl = std::array{10, 17, 30, 50}[alea() % 4];
        FormatPage f;
        f.setCaracteres(cpl);
        f.derive();
        DocumentBraille doc(f);
        EditeurBraille e(doc);
        e.nouveau();
        e.insereBraille(Transcrire(noir, 1, cpl));
        doc.recoupeDocument(false);
        CaracteresOmis omisEnDeux, omisDUnTenant;
        ASSERT_EQ(TranscritEnDocument(noir, cpl, &omisEnDeux), doc.texte()) << "essai " << essai << " cpl " << cpl;
        Transcrire(noir, 1, cpl, &omisDUnTenant);
        EXPECT_EQ(std::pair(omisEnDeux.nombre, omisEnDeux.caracteres), std::pair(omisDUnTenant.nombre, omisDUnTenant.caracteres)) << essai;
    }
}
