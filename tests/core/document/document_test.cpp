#include "core/document/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "core/editeur/editeur.h"
#include "core/transcription/transcription.h"

using namespace dotavob;

namespace {

struct Espion : ObservateurDocument {
    std::vector<std::pair<std::int32_t, std::int32_t>> lignes;
    void lignesModifiees(std::int32_t a, std::int32_t b) override { lignes.emplace_back(a, b); }
};

// The pages walked byte by byte as the rules say: a page ends after N lines
// or at an FF; an FF right after a full page belongs to that page.
struct PagesReference {
    std::vector<std::int32_t> debuts{1};
    std::set<std::int32_t> absorbees;  // empty FF lines that follow a full page

    PagesReference(const std::string& t, std::int32_t n) {
        std::int32_t ligne = 1, dansPage = 0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (!estFinDeLigne(oct(t[i]))) continue;
            ++dansPage;
            ++ligne;
            if (oct(t[i]) == FF) {
                debuts.push_back(ligne);
                dansPage = 0;
            } else if (dansPage == n) {
                if (i + 1 < t.size() && oct(t[i + 1]) == FF) {
                    absorbees.insert(ligne);
                    ++i;
                    ++ligne;
                }
                debuts.push_back(ligne);
                dansPage = 0;
            }
        }
    }
    std::int32_t pageDe(std::int32_t ligne) const {
        if (absorbees.count(ligne)) ++ligne;  // shown on the next page
        return static_cast<std::int32_t>(std::upper_bound(debuts.begin(), debuts.end(), ligne) - debuts.begin());
    }
};

// Braille bytes as typing and transcription give them: words of every length
// (some longer than a line), numbers, prefixes, per mille, hyphens, commas.
std::string octetsAleatoires(std::mt19937& alea, std::size_t mots, std::int32_t cpl) {
    const std::string signes = "abcdefgh,-'\x91\xA8\xB8\xB4\xF3\x5E";
    std::string s;
    for (std::size_t m = 0; m < mots; ++m) {
        if (m > 0) s += ' ';
        const auto longueur = alea() % 8 == 0 ? 1 + alea() % static_cast<unsigned>(cpl + 15) : 1 + alea() % 9;
        for (std::size_t k = 0; k < longueur; ++k) {
            if (alea() % 30 == 0)
                s += "\xB4\xF3\xF3";  // per mille, a unit a cut must not split
            else
                s += signes[alea() % 3 == 0 ? alea() % signes.size() : alea() % 8];
        }
    }
    return s;
}

const Indentation aucune = [](std::int32_t) { return Retrait{0, INT32_MAX}; };

// The same with no word wider than four bytes: wrapped, it holds no cut (VT).
std::string motsCourts(std::string s) {
    for (std::size_t i = 0, long_ = 0; i < s.size(); ++i) {
        long_ = s[i] == ' ' ? 0 : long_ + 1;
        if (long_ > 4) s[i] = ' ', long_ = 0;
    }
    return s;
}

std::vector<Marqueur> marqueursAleatoires(std::mt19937& alea, const std::string& t) {
    std::vector<Marqueur> m;
    const auto n = static_cast<std::int32_t>(t.size());
    if (n < 2) return m;
    for (int k = 0; k < 6; ++k) {
        const std::int32_t p = 1 + static_cast<std::int32_t>(alea() % static_cast<unsigned>(n));
        const std::int32_t q = std::min(n, p + static_cast<std::int32_t>(alea() % 40));
        switch (alea() % 4) {
            case 0: m.push_back({p, q, MARQUEUR_RETOURNE, 0}); break;
            case 1: m.push_back({p, p, MARQUEUR_CARACTERE, '*'}); break;
            case 2: m.push_back({1, q, MARQUEUR_INDENTATION, static_cast<std::uint8_t>(1 + alea() % 4)}); break;
            default: m.push_back({1, q, MARQUEUR_CENTRE, 0}); break;
        }
    }
    return m;
}

}  // namespace

TEST(Document, LignesEtPositions) {
    FormatPage f;
    DocumentBraille d(f);
    auto ligne = [&](std::int32_t n) {
        const Tligne l = d.ligne(n);
        return std::tuple(l.debut, l.fin, l.texte);
    };
    // An empty document: no line has a start, every point is the first.
    EXPECT_EQ(std::tuple(ligne(3), d.positionDe({4, 2}), d.pointDe(7), d.nbPages()),
              std::tuple(std::tuple(0, 0, std::string()), 0, Point{1, 1}, 1));
    // Inside the text, PagesSuiventLesModifications checks them; past the end, after the last byte;
    // past a line end, on it.
    d.initialise("ab\rc");
    EXPECT_EQ(std::tuple(d.pointDe(99), d.positionDe({5, 1}), d.positionDe({1, 9})), std::tuple(Point{2, 2}, 3, 5));

    d.initialise("a\r\rb");  // an empty line ends before it starts
    EXPECT_EQ(std::pair(ligne(2), d.positionDe({3, 2})), std::pair(std::tuple(3, 2, std::string()), 3));
}

TEST(Document, PagesSuiventLesModifications) {
    // Random edits: lines, positions and pages always agree with a plain walk.
    std::mt19937 alea(99);
    const std::string alphabet = "abc \r\r\n\v\f";
    FormatPage f;
    f.cpl = 12;
    DocumentBraille d(f);
    EditeurBraille ed(d);
    for (int n = 0; n < 1500; ++n) {
        const std::int32_t len = d.longueur();
        std::int32_t from = 1 + static_cast<std::int32_t>(alea() % (len + 1));
        std::int32_t to = std::min(len + 1, from + static_cast<std::int32_t>(alea() % 4));
        std::string nouveau;
        for (auto k = alea() % 4; k > 0; --k) nouveau += alphabet[alea() % alphabet.size()];
        d.remplace(from, to, nouveau);
        if (n % 50 == 0) f.nbLignesTexte = static_cast<std::uint8_t>(1 + alea() % 4);

        const std::string t = d.texte();
        PagesReference ref(t, f.nbLignesTexte);
        ASSERT_EQ(d.nbLignes(), 1 + std::count_if(t.begin(), t.end(), [](char c) { return estFinDeLigne(oct(c)); }));
        for (std::int32_t l = 1; l <= d.nbLignes(); ++l) ASSERT_EQ(d.pageDeLigne(l), ref.pageDe(l)) << t << " ligne " << l;
        const std::int32_t p = 1 + static_cast<std::int32_t>(alea() % (d.longueur() + 1));
        Point pt = d.pointDe(p);
        ASSERT_EQ(d.positionDe(pt), t.empty() ? 0 : p);
        ed.placeCurseur(pt);
        ASSERT_EQ(ed.nbPages(), static_cast<std::int32_t>(ref.debuts.size()));
        ASSERT_EQ(ed.pageCourante(), ref.pageDe(pt.ligne));
        if (t.empty()) continue;
        const Tligne l = d.ligne(pt.ligne);
        ASSERT_EQ(l.texte, t.substr(static_cast<std::size_t>(l.debut - 1), static_cast<std::size_t>(l.fin - l.debut + 1)));
    }
}

TEST(Document, RecoupageEtAnnonce) {
    FormatPage f;
    f.cpl = 10;
    DocumentBraille d(f);
    Espion e;
    d.ajouteObservateur(&e);
    d.initialise("un\raaaa bbbbb");
    e.lignes.clear();
    d.remplace(14, 14, "b");  // the word no longer fits: it moves down, and the later lines may have moved
    EXPECT_EQ(std::pair(d.texte(), d.modifie()), std::pair(std::string("un\raaaa\nbbbbbb"), true));
    ASSERT_FALSE(e.lignes.empty());
    EXPECT_EQ(e.lignes.back(), std::pair(2, JUSQUA_LA_FIN));
    d.remplace(4, 5, "");  // and it comes back when room is made
    EXPECT_EQ(d.texte(), "un\raaa bbbbbb");

    // A paragraph ended by LF and VT re-wraps as the same words with spaces.
    d.initialise("aaaa\nbbbb\vcc\rz");
    ResultatRecoupage r = d.recoupeParagraphe(2);
    EXPECT_EQ(d.texte(), "aaaa\nbbbbcc\rz");
    EXPECT_EQ(std::pair(r.nbLignesChange, r.premiereLigne), std::pair(true, 1));
    // Deleting the last word of a paragraph re-wraps what stays.
    d.initialise("aaaa bbbb\ncc\rz");
    d.remplace(11, 13, "");
    EXPECT_EQ(d.texte(), "aaaa bbbb \rz");

    // Markers follow the re-wrap of their paragraph.
    d.initialise("aaaa bbbb cc");
    d.marqueurs().ajouteBrut({6, 12, MARQUEUR_RETOURNE, 0});
    d.remplace(1, 1, "x");
    EXPECT_EQ(d.texte(), "xaaaa bbbb\ncc");
    EXPECT_EQ(d.marqueurs().liste(), (std::vector<Marqueur>{{7, 13, MARQUEUR_RETOURNE, 0}}));

    // The whole document re-wrapped, as for a new format, is undone like an edit (its text: OuvertureDUnLivreDejaCoupe).
    d.charge("aaa bbb ccc dd\raaaa bbbb cccc", {{1, 14, MARQUEUR_INDENTATION, 4}});
    d.recoupeDocument();
    EXPECT_TRUE(d.modifie());
    ASSERT_TRUE(d.Defait().ok);
    EXPECT_EQ(d.texte(), "aaa bbb ccc dd\raaaa bbbb cccc");
}

TEST(Document, RecoupageDepuisLaLigneTouchee) {
    // Typing re-wraps only the lines the edit reaches: a fresh copy re-wrapping whole paragraphs gives
    // the same text, caret, markers and undo record; undoing everything gives back the start.
    std::mt19937 alea(11);
    int etroits = 0;  // records over less than the whole paragraph: the short path ran
    for (int tour = 0; tour < 60; ++tour) {
        FormatPage f;
        f.cpl = static_cast<std::uint8_t>(10 + alea() % 41);
        std::string texte;
        const auto paragraphes = 1 + alea() % 3;
        for (std::size_t k = 0; k < paragraphes; ++k) {
            if (k > 0) texte += '\r';
            texte += CoupeParagraphe(octetsAleatoires(alea, 5 + alea() % 120, f.cpl), f.cpl);
        }
        DocumentBraille d(f);
        d.charge(texte, marqueursAleatoires(alea, texte));
        if (alea() % 2) {  // opened as the window opens a file: indented paragraphs wrapped narrower
            d.recoupeDocument(false);
            texte = d.texte();
        }
        const std::vector<Marqueur> marqueursDepart = d.marqueurs().liste();
        std::int32_t curseur = 1 + static_cast<std::int32_t>(alea() % static_cast<unsigned>(d.longueur() + 1));
        for (int pas = 0; pas < 80; ++pas) {
            const std::int32_t len = d.longueur();
            std::int32_t from = std::clamp(curseur + static_cast<std::int32_t>(alea() % 17) - 8, 1, len + 1);
            std::int32_t to = std::min(len + 1, from + static_cast<std::int32_t>(alea() % 5 == 0 ? alea() % 25 : alea() % 3));
            std::string nouveau = octetsAleatoires(alea, 1 + alea() % 2, 4).substr(0, alea() % 5);
            if (alea() % 12 == 0) nouveau += alea() % 2 ? '\n' : '\v';
            // Paragraph ends made and joined: Enter, a paste of paragraphs, Backspace at a paragraph's start.
            switch (alea() % 16) {
                case 0: nouveau = "\r"; to = from; break;
                case 1: nouveau += '\r' + octetsAleatoires(alea, 1, 4).substr(0, alea() % 3); break;
                case 2: nouveau += "\r" + CoupeParagraphe(octetsAleatoires(alea, 3 + alea() % 60, f.cpl), f.cpl) + "\f" + nouveau; break;
                case 3:
                    if (const std::string t = d.texte(); t.find('\r') != std::string::npos) {
                        from = static_cast<std::int32_t>(t.find('\r', static_cast<std::size_t>(alea() % t.size()))) + 1;
                        if (from == 0) from = static_cast<std::int32_t>(t.find('\r')) + 1;
                        to = from + 1;
                        nouveau.clear();
                    }
                    break;
                default: break;
            }

            DocumentBraille r(f);
            r.charge(d.texte(), d.marqueurs().liste());
            r.oublieCoupes();
            const std::int32_t attendu = r.remplace(from, to, nouveau);
            curseur = d.remplace(from, to, nouveau);
            ASSERT_EQ(std::tuple(d.texte(), curseur, d.marqueurs().liste()), std::tuple(r.texte(), attendu, r.marqueurs().liste()))
                << "cpl " << int{f.cpl} << " edit " << from << ".." << to;
            Enregistrement e, er;
            std::size_t p = 0;
            ASSERT_TRUE(d.journal().litPrecedent(e, p));
            ASSERT_TRUE(r.journal().litPrecedent(er, p));
            ASSERT_EQ(std::tuple(e.pos, e.ancien, e.nouveau, e.annexe->curseurDefait, e.annexe->curseurRefait),
                      std::tuple(er.pos, er.ancien, er.nouveau, er.annexe->curseurDefait, er.annexe->curseurRefait));
            if (e.annexe->debut > er.annexe->debut || e.annexe->finAvant < er.annexe->finAvant) ++etroits;
        }
        while (d.Defait().ok) continue;
        ASSERT_EQ(std::pair(d.texte(), d.marqueurs().liste()), std::pair(texte, marqueursDepart));
    }
    EXPECT_GT(etroits, 1000);
}

TEST(Document, EntreePuisRetourArriereRecoupentAutourDuSaut) {
    // Enter in a long saved paragraph, then Backspace joining it again: each re-wraps the lines around
    // it, not the paragraph (a book of one paragraph would be copied whole).
    std::mt19937 alea(5);
    FormatPage f;
    f.cpl = 30;
    std::string mots;  // none longer than a line: no cut, which edits wrap otherwise
    for (int m = 0; m < 2000; ++m) mots += std::string(1 + alea() % 9, static_cast<char>('a' + alea() % 8)) + ' ';
    const std::string texte = CoupeParagraphe(mots, f.cpl);
    DocumentBraille d(f);
    d.charge(texte, {});
    ASSERT_TRUE(d.coupeSelonLeFormat());
    std::int32_t p = d.longueur() / 2;
    while (d.octet(p) == ' ' || estFinDeLigne(d.octet(p)) || estFinDeLigne(d.octet(p - 1))) --p;
    d.remplace(p, p, "\r");
    const auto saut = static_cast<std::int32_t>(d.texte().find('\r')) + 1;
    d.remplace(saut, saut + 1, "");
    EXPECT_EQ(d.texte(), texte);
    for (const char* touche : {"Retour arrière", "Entrée"}) {
        Enregistrement e;
        std::size_t debut = 0;
        ASSERT_TRUE(d.journal().litPrecedent(e, debut) && e.annexe != nullptr) << touche;
        EXPECT_GT(e.annexe->debut, 1000) << touche;
        d.journal().placePosition(debut);
    }
}

TEST(Document, UnEffacementEnFinDeParagrapheNeTouchePasLeSuivant) {
    // The last letter of a cut word deleted drops a cut; the next paragraph, unedited and not
    // standing wrapped, stays as it is, and undo gives all back.
    FormatPage f;
    f.cpl = 10;
    const std::string suivant(20, 'b'), texte = std::string(10, 'a') + '\v' + std::string(10, 'a') + "\va\r" + suivant;
    DocumentBraille d(f);
    d.charge(texte, {});
    d.remplace(23, 24, "");
    EXPECT_EQ(d.texte(), std::string(10, 'a') + '\v' + std::string(10, 'a') + '\r' + suivant);
    d.Defait();
    EXPECT_EQ(d.texte(), texte);
}

TEST(Document, OuvertureDUnLivreDejaCoupe) {
    // Opening checks the wrap while indexing and re-wraps nothing when it stands wrapped; what it finds
    // is forgotten when the width or indentation changes. Each time the text must be what the
    // byte-by-byte re-wrap makes of it.
    std::mt19937 alea(5);
    for (int tour = 0; tour < 150; ++tour) {
        FormatPage f;
        f.cpl = static_cast<std::uint8_t>(10 + alea() % 31);
        std::string texte;
        // Most books have no word wider than a line, hence no cut (VT), which the check leaves to the
        // byte-by-byte re-wrap: they reopen through the answer found while indexing.
        const bool courts = tour % 4 != 0;
        for (auto k = 1 + alea() % 4; k > 0; --k) {
            const std::string p = octetsAleatoires(alea, 3 + alea() % 60, f.cpl);
            texte += (courts ? motsCourts(p) : p) + "\r";
        }
        std::vector<Marqueur> retraits;
        const auto n = static_cast<std::int32_t>(texte.size());
        for (auto k = alea() % 4; k > 0; --k) {
            const std::int32_t p = 1 + static_cast<std::int32_t>(alea() % static_cast<unsigned>(n));
            retraits.push_back({p, std::min(n, p + static_cast<std::int32_t>(alea() % 200)), MARQUEUR_INDENTATION,
                                static_cast<std::uint8_t>(1 + alea() % 6)});
        }
        DocumentBraille d(f);
        auto recoupeCommeOctetParOctet = [&] {
            const std::string voulu = recoupeTexteOctetParOctet(
                d.texte(), f.cpl, [&](std::int32_t p) { return Retrait{d.marqueurs().IndentationEn(p), p}; });
            d.recoupeDocument(false);
            EXPECT_EQ(d.texte(), voulu) << tour;
            return d.texte() == voulu;
        };
        d.charge(texte, retraits);
        ASSERT_TRUE(recoupeCommeOctetParOctet());
        // Saved and reopened: found wrapped while indexing, unless an indentation narrows a line under
        // a word moved down onto it.
        d.charge(std::string(d.texte()), d.marqueurs().liste());
        EXPECT_TRUE(!retraits.empty() || d.coupeSelonLeFormat()) << tour;
        ASSERT_TRUE(recoupeCommeOctetParOctet());
        // Another indentation, then another width, no edit of the text.
        d.marqueurs().ajouteBrut({1, d.longueur(), MARQUEUR_INDENTATION, static_cast<std::uint8_t>(1 + alea() % 4)});
        ASSERT_TRUE(recoupeCommeOctetParOctet());
        f.cpl = static_cast<std::uint8_t>(10 + alea() % 31);
        ASSERT_TRUE(recoupeCommeOctetParOctet());
        // Typing wraps its paragraph to the whole width; the next re-wrap gives the indented lines back.
        d.remplace(1, 1, "aaaa aaaa aaaa ");
        ASSERT_TRUE(recoupeCommeOctetParOctet());
    }
}

TEST(Document, OuvertureDeFautesAChaqueDecalage) {
    // The index reads 64 bytes at a time: a line a re-wrap would change, at every offset in a block.
    FormatPage f;
    f.cpl = 10;
    for (const std::string faute : {"a cccccccc\vdddd\r",  // a space in a line cut at the margin
                                    " ccccccccc\vdddd\r",  // ...as its first byte
                                    "ccccccccc \vdddd\r",  // ...as its last
                                    "aaaa\nbbbbb c\r"}) {   // a LF before a word that just fits
        for (std::size_t decalage = 0; decalage < 80; ++decalage) {
            const std::string t = std::string(decalage, '\r') + faute;
            DocumentBraille d(f);
            d.charge(t, {});
            d.recoupeDocument(false);
            const std::string attendu = recoupeTexteOctetParOctet(t, f.cpl, aucune);
            ASSERT_NE(attendu, t);
            EXPECT_EQ(d.texte(), attendu) << decalage;
        }
    }
}

TEST(Document, UnLivreIndexeEnDeuxMoitiesCommeDUnTrait) {
    // A book over a megabyte is indexed in two halves cut at a paragraph end: lines, pages and the wrap
    // check must be those of one pass. Its first half has no word wider than a line: cuts (VT) stand
    // only in the second.
    std::mt19937 alea(11);
    FormatPage f;
    f.cpl = 24;
    f.nbLignesTexte = 25;
    std::string noir;
    while (noir.size() < (std::size_t{3} << 19)) {
        const std::string p = octetsAleatoires(alea, 3 + alea() % 60, f.cpl);
        noir += (noir.size() < (std::size_t{5} << 18) ? motsCourts(p) : p) + (alea() % 40 == 0 ? "\f" : "\r");
    }
    const std::string livre = recoupeTexteOctetParOctet(noir, f.cpl, aucune);
    const std::size_t milieu = livre.size() / 2;
    ASSERT_EQ(livre.find('\v'), livre.find('\v', milieu)) << "no cut in the first half";
    ASSERT_NE(livre.find('\v', milieu), std::string::npos);

    // One pass, as the check is fed when the text is not cut in two.
    auto uneFois = [&](const std::string& t, const DocumentBraille& d) {
        VerificationRecoupage v(t, f.cpl, [&](std::int32_t p) { Retrait r; r.cellules = d.marqueurs().IndentationEn(p, &r.jusqua); return r; });
        pourChaqueFinDeLigne(t, [&](std::size_t i) { v.ligne(i); });
        v.ligne(t.size());
        return v.inchange();
    };
    // A line too long, and a line ended too soon (its LF where a word still fits).
    auto troplongue = [](std::string t, std::size_t depuis) { return t[t.find('\n', depuis)] = ' ', t; };
    auto tropCourte = [](std::string t, std::size_t depuis) { return t[t.rfind(' ', t.find('\n', depuis))] = '\n', t; };
    const auto m = static_cast<std::int32_t>(milieu);
    const std::vector<Marqueur> retraits{{1000, 50000, MARQUEUR_INDENTATION, 2},
                                         {m - 3000, m + 3000, MARQUEUR_INDENTATION, 3},
                                         {m + 90000, m + 90500, MARQUEUR_INDENTATION, 1}};
    DocumentBraille avecRetraits(f);
    avecRetraits.charge(livre, retraits);
    avecRetraits.recoupeDocument(false);
    const struct { const char* nom; std::string texte; std::vector<Marqueur> marqueurs; } cas[] = {
        {"coupé", livre, {}},
        {"première moitié trop longue", troplongue(livre, milieu / 3), {}},
        {"seconde moitié trop longue", troplongue(livre, milieu + milieu / 3), {}},
        {"seconde moitié trop courte", tropCourte(livre, milieu + milieu / 2), {}},
        {"un mot plus large qu'une ligne à la fin", livre + std::string(f.cpl + 3, 'a'), {}},
        {"retraits de part et d'autre du milieu", livre, retraits},
        {"recoupé avec ses retraits", avecRetraits.texte(), avecRetraits.marqueurs().liste()},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        DocumentBraille d(f);
        d.charge(c.texte, c.marqueurs);
        // Lines and pages as the bytes say.
        std::vector<std::int32_t> debuts{1};
        for (std::size_t i = 0; i < c.texte.size(); ++i)
            if (estFinDeLigne(oct(c.texte[i]))) debuts.push_back(static_cast<std::int32_t>(i) + 2);
        ASSERT_EQ(d.nbLignes(), static_cast<std::int32_t>(debuts.size()));
        for (std::size_t l = 0; l < debuts.size(); l += 1 + alea() % 97)
            ASSERT_EQ(d.debutLigne(static_cast<std::int32_t>(l) + 1), debuts[l]) << l;
        const PagesReference pages(c.texte, d.lignesParPage());
        EXPECT_EQ(d.nbPages(), static_cast<std::int32_t>(pages.debuts.size()));
        // Positions at random, and the last one, past the last paragraph end.
        for (std::size_t p = 1; p <= c.texte.size(); p = p == c.texte.size() ? p + 1 : std::min(c.texte.size(), p + 1 + alea() % 5000)) {
            const std::size_t fin = std::min(c.texte.find_first_of("\r\f", p - 1), c.texte.size());
            ASSERT_EQ(d.finParagraphe(static_cast<std::int32_t>(p)), static_cast<std::int32_t>(fin) + 1) << p;
        }
        EXPECT_EQ(d.coupeSelonLeFormat(), uneFois(c.texte, d));
    }
    // The first edit of a book just opened, by a cut in the second half, wraps as with nothing known.
    std::size_t vt = livre.find('\v', milieu + milieu / 2);
    for (int essai = 0; essai < 12; ++essai, vt = livre.find('\v', vt + 1 + alea() % 20000)) {
        ASSERT_NE(vt, std::string::npos);
        const auto from = static_cast<std::int32_t>(vt) + 1 + static_cast<std::int32_t>(alea() % 9) - 4;
        const auto to = from + static_cast<std::int32_t>(alea() % 3);
        std::string nouveau = octetsAleatoires(alea, 1, 4).substr(0, alea() % 4);
        if (alea() % 2) nouveau += alea() % 2 ? '\n' : '\v';
        DocumentBraille d(f), temoin(f);
        d.charge(livre, {});
        temoin.charge(livre, {});
        temoin.oublieCoupes();
        ASSERT_EQ(std::pair(d.remplace(from, to, nouveau), d.texte()), std::pair(temoin.remplace(from, to, nouveau), temoin.texte())) << essai;
    }
}
