#include "core/sorties/embossage.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/document/formatpage.h"

using namespace dotavob;

namespace {

// Records what the embossing asks of the spooler; can be told to fail.
struct SpouleurEspion : SpouleurBrut {
    std::vector<std::string> appels, travaux;
    std::string echecA;  // the call that fails
    bool abandon = false;  // the user stopped the wait for the device
    bool note(const std::string& appel) { return appels.push_back(appel), echecA != appel; }
    bool ouvre(const std::string& imprimante, const std::string& nom) override {
        travaux.emplace_back(), appels.push_back("ouvre " + imprimante + " " + nom);
        return echecA != "ouvre";
    }
    bool debutPage() override { return note("debutPage"); }
    bool ecrit(std::string_view o) override { return travaux.back() += o, echecA != "ecrit"; }
    bool finPage() override { return note("finPage"); }
    bool ferme() override { return note("ferme"); }
    void annule() override { appels.push_back("annule"); }
    std::string erreur() const override { return "panne"; }
    bool abandonne() const override { return abandon; }
};

class Embossage : public ::testing::Test {
protected:
    FormatPage f;
    DocumentBraille d{f};
    ReglagesEmbossage r;

    void SetUp() override {
        f.entete.active = f.pied.active = false;
        f.nbLignesTexte = 3;
        r.lignesParPage = 4, r.caracteresParLigne = 10;
    }
    // The page's lines, without their CR LF; the last one ends with it too.
    std::vector<std::string> lignes(std::int32_t page) {
        const std::string o = composePage(d, f, r, page);
        EXPECT_TRUE(o.empty() || o.ends_with("\r\n"));
        std::vector<std::string> l;
        for (std::size_t i = 0, j; (j = o.find("\r\n", i)) != std::string::npos; i = j + 2) l.push_back(o.substr(i, j - i));
        return l;
    }
};

}  // namespace

TEST_F(Embossage, MargesEnteteCodesCentrageRetraitRetournementInterligne) {
    // A line longer than the characters per line is cut; nothing carries over.
    d.initialise("abcdefghijkl\rz");
    r.margeGauche = 2;
    EXPECT_EQ(lignes(1), (std::vector<std::string>{"  abcdefghij", "  z", "  ", "  "}));
    // In the French code cells go out as stored; a byte with no cell is the full cell.
    d.initialise("a\xE9\xFF");
    r.margeGauche = 0;
    r.codeUS = false;
    EXPECT_EQ(lignes(1)[0], "a\xE9\xE9");
    r.codeUS = true;
    EXPECT_EQ(lignes(1)[0], "a==");
    // A centred line, an indented paragraph, a turned stretch; the bytes as
    // stored, to compare with the document's.
    f.entete.active = f.interligneDouble = true;
    f.entete.premierePage = 1;
    r.lignesParPage = 12, r.margeHaut = 1, r.codeUS = false;
    d.initialise("abc\rdef gh\rxyz");
    d.marqueurs().ajouteBrut({1, 3, MARQUEUR_CENTRE, 0});
    d.marqueurs().ajouteBrut({5, 10, MARQUEUR_INDENTATION, 2});
    d.marqueurs().ajouteBrut({12, 13, MARQUEUR_RETOURNE, 0});
    const auto l = lignes(1);
    ASSERT_EQ(l.size(), 12u);
    // The top margin, the header cut to the line, centred (10 - 3) / 2, double spacing, indented, turned.
    EXPECT_EQ((std::vector<std::string>{l[0], l[1], l[2], l[3], l[4], l[6], l[11]}),
              (std::vector<std::string>{"", f.texteentete(1, 1).substr(0, 10), "   abc", "", "  def gh",
                                        retourneChaine("xy") + "z", ""}));
}

TEST_F(Embossage, LesPagesMisesEnFormeEnBrf) {
    // Each page as embossed (margin, centring, indentation on every line), its
    // filling blank lines left to the form feed that ends it; a blank page is
    // a form feed alone.
    r.margeGauche = 1;
    d.initialise("abc\rdef\ngh\rij\f\fxyz");
    d.marqueurs().ajouteBrut({1, 3, MARQUEUR_CENTRE, 0});
    d.marqueurs().ajouteBrut({5, 10, MARQUEUR_INDENTATION, 2});
    EXPECT_EQ(exporteBrfPages(d, f, r), "    abc\r\n   def\r\n   gh\r\n\f ij\r\n\f\f xyz\r\n\f");
    // A footer on the page's last row keeps the blank rows above it.
    f.pied = Bande{true, "[P]", Alignement::Gauche, 1};
    const std::string pages = exporteBrfPages(d, f, r);
    EXPECT_NE(pages.find("\f ij\r\n \r\n \r\n ,<\r\n\f"), std::string::npos) << pages;  // the number 2
}

TEST_F(Embossage, TravauxCopiesEtEchecs) {
    d.initialise("a\rb\rc\rd\re\rf\rg");  // three pages of three lines
    SpouleurEspion s;
    TravailEmbossage t;
    t.imprimante = "Q", t.nomDocument = "doc", t.copies = 2, t.premiere = 2;
    EXPECT_EQ(embosse(d, f, r, t, s), "");
    // One job a copy, one spooler page a Braille page.
    EXPECT_EQ(s.appels, (std::vector<std::string>{"ouvre Q doc", "debutPage", "finPage", "debutPage", "finPage", "ferme",
                                                  "ouvre Q doc", "debutPage", "finPage", "debutPage", "finPage", "ferme"}));
    EXPECT_EQ(s.travaux, std::vector<std::string>(2, composePage(d, f, r, 2) + composePage(d, f, r, 3)));
    // Nothing to send is said, and no job is opened.
    SpouleurEspion vide;
    for (auto [copies, premiere, derniere] : {std::tuple{1, 3, 2}, {1, 4, 0}, {0, 1, 0}}) {
        t.copies = copies, t.premiere = premiere, t.derniere = derniere;
        EXPECT_EQ(embosse(d, f, r, t, vide), "aucune page à embosser") << copies << " " << premiere << "-" << derniere;
    }
    EXPECT_TRUE(vide.appels.empty());
    // The user stops it: the job is cancelled, never closed as done.
    SpouleurEspion arret;
    t.copies = 2;
    t.avantPage = [](std::int32_t page) { return page < 2; };
    EXPECT_EQ(embosse(d, f, r, t, arret), "embossage abandonné");
    EXPECT_EQ(arret.appels, (std::vector<std::string>{"ouvre Q doc", "debutPage", "finPage", "annule"}));
    t.avantPage = nullptr;
    // Every failure is said; a failed copy does not stop the next one.
    for (const char* panne : {"ouvre", "debutPage", "ecrit", "ferme"}) {
        SpouleurEspion p;
        p.echecA = panne;
        EXPECT_EQ(embosse(d, f, r, t, p), "impossible d'embosser : panne") << panne;
        EXPECT_EQ(std::count(p.appels.begin(), p.appels.end(), "ouvre Q doc"), 2) << panne;
    }
    // Stopped while the spooler waited for the device: no further copy.
    SpouleurEspion attente;
    attente.echecA = "ferme", attente.abandon = true;
    EXPECT_EQ(embosse(d, f, r, t, attente), "embossage abandonné : panne");
    EXPECT_EQ(std::count(attente.appels.begin(), attente.appels.end(), "ouvre Q doc"), 1);
    // A page the spooler refuses is tried again while the user says so.
    SpouleurEspion refus;
    refus.echecA = "debutPage";
    int essais = 0;
    t.copies = 1, t.reessaiePage = [&] { return ++essais < 3; };
    EXPECT_NE(embosse(d, f, r, t, refus), "");
    EXPECT_EQ(essais, 3);
}

// The embosser's page, unless the user sets another, is the paper page the
// format fills: a full page of a double-spaced document fits it, header and
// footer included; with a top margin, the longest page says by how much it overflows.
TEST_F(Embossage, LaPagePhysiqueTientLaPageComposee) {
    f.entete.active = f.pied.active = true;
    f.entete.premierePage = f.pied.premierePage = 1;
    std::string t;
    for (int i = 0; i < 40; ++i) t += "ligne\r";
    for (bool double_ : {false, true}) {
        f.lignes = 12;
        f.interligneDouble = double_;
        f.derive();
        d.initialise(t);
        r.lignesParPage = lignesPhysiques(f), r.margeHaut = 0;
        EXPECT_EQ(std::pair(r.lignesParPage, lignesDeLaPlusLonguePage(d, f, r)), std::pair(double_ ? 24 : 12, r.lignesParPage)) << double_;
        r.margeHaut = 4;
        EXPECT_EQ(lignesDeLaPlusLonguePage(d, f, r), static_cast<std::int32_t>(lignes(1).size())) << double_;
        EXPECT_GT(lignesDeLaPlusLonguePage(d, f, r), r.lignesParPage) << double_;
    }
}
