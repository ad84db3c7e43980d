#include "core/document/marqueurs.h"

#include <gtest/gtest.h>

#include "core/braille/codes.h"

#include <algorithm>
#include <array>
#include <climits>
#include <random>
#include <string>

using namespace dotavob;

namespace dotavob {
void PrintTo(const Marqueur& m, std::ostream* os) {
    *os << int{m.kind} << ":" << m.start << ".." << m.end << "/" << int{m.extra};
}
}  // namespace dotavob

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
    const struct { Liste avant; std::int32_t a, b; Liste apres; } cas[] = {
        {{}, 5, 9, {R(5, 9)}},
        {{R(10, 20)}, 10, 20, {}},                       // toggling a marker off
        {{R(10, 20)}, 15, 18, {R(19, 20), R(10, 14)}},   // cutting a part out
        {{R(10, 20)}, 5, 25, {R(5, 9), R(21, 25)}},      // keeping what only one covers
        {{R(10, 20)}, 21, 30, {R(10, 30)}},              // merging end to end
        {{R(10, 20)}, 20, 25, {R(10, 20), R(20, 25)}},   // sharing one index matches no rule
        {{R(10, 20)}, 7, 7, {R(10, 20)}},                // one character is never added
        {{R(10, 20), C(10, 20)}, 10, 20, {C(10, 20)}},   // other kinds are passed over
    };
    for (const auto& c : cas) {
        auto m = avec(c.avant);
        m.AjouteRetourne(c.a, c.b);
        EXPECT_EQ(m.liste(), c.apres) << c.a << ".." << c.b;
    }
}

// The other look-ups are checked against a plain scan in CommeLaListeSimpleAuFilDesModifications.
TEST(Marqueurs, Bornes) {
    auto m = avec({R(10, 20), C(1, 5)});
    std::int32_t a = 0, b = 0;
    ASSERT_TRUE(m.Bornes(0, a, b));  // by index in the list; past its end, none
    EXPECT_EQ(std::tuple(a, b, m.Bornes(9, a, b)), std::tuple(10, 20, false));
}

TEST(Marqueurs, Remplacement) {
    const struct { Liste avant; std::int32_t from, to, n; Liste apres; } cas[] = {
        {{R(10, 20)}, 10, 20, 0, {}},                    // the marked text deleted
        {{R(10, 20)}, 15, 25, 0, {R(10, 14)}},           // cut at either end
        {{R(10, 20)}, 5, 12, 0, {R(5, 12)}},
        {{C(10, 20)}, 9, 9, 0, {}},                      // the end before a centred paragraph
        {{I(10, 20)}, 9, 9, 0, {I(9, 19)}},
        {{R(10, 20)}, 21, 20, 3, {R(10, 20)}},
        {{C(10, 20)}, 10, 9, 3, {C(10, 23)}},            // typed at its start: joins the paragraph
        {{I(10, 20)}, 4, 3, 3, {I(13, 23)}},             // a paragraph moves with its text
        {{I(10, 20)}, 10, 9, 3, {I(10, 23)}},
    };
    for (const auto& c : cas) {
        auto m = avec(c.avant);
        m.Remplacement(c.from, c.to, c.n);
        EXPECT_EQ(m.liste(), c.apres) << c.from << ".." << c.to << " +" << c.n;
    }
}

TEST(Marqueurs, SuiventLeRecoupage) {
    // A VT removed (a range of it alone disappears), then one inserted, which pushes later bytes on.
    const struct { Liste avant; std::int32_t debut; const char *ancien, *nouveau; Liste apres; } cas[] = {
        {{R(1, 4), R(8, 12), R(10, 10), C(16, 20), R(9, 9)}, 5, "ab cd\vef gh", "ab\ncdef gh",
         {R(1, 4), R(8, 11), C(15, 19), R(9, 9)}},
        {{R(3, 6)}, 1, "abcdefgh", "abcd\vefgh", {R(3, 7)}},
    };
    for (const auto& c : cas) {
        auto m = avec(c.avant);
        m.suitRecoupage(AlignementRecoupage(c.debut, c.ancien, c.nouveau));
        EXPECT_EQ(m.liste(), c.apres) << c.ancien;
    }
}

TEST(Marqueurs, Bloc) {
    auto m = avec({R(10, 20), I(1, 300, 5), {-1, 70000, 4, 0xE9}});
    std::string octets = "XY";
    m.Ecrit(octets);
    TgestionnaireMarqueurs lu;
    std::size_t o = 2;
    ASSERT_TRUE(lu.Lit(octets, o));
    EXPECT_EQ(std::pair(o, lu.liste()), std::pair(octets.size(), m.liste()));

    // Truncated anywhere: refused, and the list stays as it was.
    for (std::size_t n = 2; n < octets.size(); ++n) {
        std::size_t p = 2;
        EXPECT_FALSE(lu.Lit(std::string_view(octets).substr(0, n), p)) << n;
        EXPECT_EQ(lu.liste(), m.liste());
    }
    std::size_t p = 0;  // a count no block could hold
    EXPECT_FALSE(lu.Lit(std::string("\0\0\xFF\xFF\xFF\x7F", 6), p));
}

namespace {

// The answers of a plain scan of the list, first match in list order.
struct Balayage {
    const Liste& l;
    int premier(auto&& accepte) const {
        for (std::size_t i = 0; i < l.size(); ++i)
            if (accepte(l[i])) return static_cast<int>(i);
        return -1;
    }
    int dedans(std::int32_t pos, std::uint8_t kind) const {
        return premier([&](const Marqueur& m) { return m.kind == kind && m.start <= pos && pos <= m.end; });
    }
    int debut(std::int32_t pos, std::uint8_t kind) const {
        return premier([&](const Marqueur& m) { return m.kind == kind && m.start == pos; });
    }
    std::uint8_t extra(int i) const { return i < 0 ? 0 : l[static_cast<std::size_t>(i)].extra; }
};

// Every question at pos, against a plain scan of `l`.
void compare(const TgestionnaireMarqueurs& m, const Liste& l, std::int32_t pos, const std::string& contexte) {
    const Balayage b{l};
    const std::int64_t finAvant = std::int64_t{pos} - 1;
    const bool fin = std::any_of(l.begin(), l.end(),
                                 [&](const Marqueur& x) { return x.kind == MARQUEUR_RETOURNE && x.end == finAvant; });
    SCOPED_TRACE(contexte + " pos " + std::to_string(pos));
    ASSERT_EQ(m.IndiceRetourne(pos), b.dedans(pos, MARQUEUR_RETOURNE));
    ASSERT_EQ(m.DebutRetourne(pos), b.debut(pos, MARQUEUR_RETOURNE) >= 0);
    ASSERT_EQ(m.FinRetourne(pos), fin);
    ASSERT_EQ(m.DebutCentre(pos), b.debut(pos, MARQUEUR_CENTRE) >= 0);
    ASSERT_EQ(m.Indentation(pos), b.extra(b.debut(pos, MARQUEUR_INDENTATION)));
    ASSERT_EQ(m.Valeur4(pos), b.extra(b.debut(pos, MARQUEUR_CARACTERE)));
    ASSERT_EQ(m.IndentationEn(pos), b.extra(b.dedans(pos, MARQUEUR_INDENTATION)));
    // The answer holds up to `jusqua`, and the indented paragraph changes after it.
    std::int32_t jusqua = 0, jusquaConcurrente = 0;
    m.IndentationEn(pos, &jusqua);
    ASSERT_GE(jusqua, pos);
    // The same from a thread that may not move the search's cursor.
    ASSERT_EQ(m.IndentationEnConcurrente(pos, &jusquaConcurrente), m.IndentationEn(pos));
    ASSERT_EQ(jusquaConcurrente, jusqua);
    ASSERT_TRUE(jusqua == INT32_MAX || b.dedans(jusqua + 1, MARQUEUR_INDENTATION) != b.dedans(pos, MARQUEUR_INDENTATION));
    for (std::int64_t p = pos; p <= std::min<std::int64_t>(jusqua, std::int64_t{pos} + 3); ++p)
        ASSERT_EQ(b.dedans(static_cast<std::int32_t>(p), MARQUEUR_INDENTATION), b.dedans(pos, MARQUEUR_INDENTATION));
    for (const std::uint8_t k : std::array<std::uint8_t, 6>{0, 1, 3, 4, 5, 255})
        ASSERT_EQ(m.DansMarqueur(pos, k), b.dedans(pos, k) >= 0) << "kind " << int{k};
}

// Reading forward, backward and at random, as the export, the views and
// the commands do: each way leaves the index somewhere else for the next.
void compareTout(const TgestionnaireMarqueurs& m, const Liste& l, std::mt19937& alea, const std::string& contexte,
                 std::int32_t fin = 50) {
    std::vector<std::int32_t> ordre;
    for (std::int32_t p = -6; p <= fin; ++p) ordre.push_back(p);
    for (std::int32_t p = fin; p >= -6; --p) ordre.push_back(p);
    for (int k = 0; k < 40; ++k) ordre.push_back(static_cast<std::int32_t>(alea() % static_cast<unsigned>(fin + 8)) - 6);
    ordre.insert(ordre.end(), {INT32_MIN, INT32_MIN + 1, 7, INT32_MAX - 1, INT32_MAX});
    for (std::int32_t p : ordre) {
        compare(m, l, p, contexte);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

Marqueur auHasard(std::mt19937& alea) {
    constexpr std::uint8_t genres[] = {MARQUEUR_CENTRE, MARQUEUR_RETOURNE, MARQUEUR_CARACTERE, MARQUEUR_INDENTATION, 1};
    const auto a = static_cast<std::int32_t>(alea() % 44) - 2;
    // Mostly short ranges, some reversed (start > end), some of one byte.
    const auto b = a + static_cast<std::int32_t>(alea() % 12) - 3;
    return {a, b, genres[alea() % 5], static_cast<std::uint8_t>(1 + alea() % 250)};
}

// The list as it was kept before the index moved lazily: every change goes
// through the whole list, every question scans it. The manager must give
// the same answers and the same list after any run of changes.
struct ListeSimple {
    Liste l;
    using Places = TgestionnaireMarqueurs::Places;
    static bool paragraphe(const Marqueur& m) { return m.kind == MARQUEUR_CENTRE || m.kind == MARQUEUR_INDENTATION; }
    void remplacement(std::int32_t from, std::int32_t to, std::int32_t n) {
        if (from <= to) {
            const std::int32_t retire = to - from + 1;
            Liste garde;
            for (Marqueur m : l) {
                if (m.kind == MARQUEUR_CENTRE && m.start - 1 == to) continue;
                if (from <= m.start) m.start = std::max(from, m.start - retire);
                if (from <= m.end) m.end = std::max(from - 1, m.end - retire);
                if (m.end >= m.start) garde.push_back(m);
            }
            l = garde;
        }
        if (n == 0) return;
        for (auto& m : l) {
            if (from <= m.start && !(paragraphe(m) && m.start == from)) m.start += n;
            if (from <= m.end) m.end += n;
        }
    }
    void recoupage(const AlignementRecoupage& a) {
        for (auto& m : l) {
            m.start = a.mappe(m.start, false);
            m.end = a.mappe(m.end, true);
        }
        std::erase_if(l, [](const Marqueur& m) { return m.end < m.start; });
    }
    // Outside the text, the document reads a blank.
    static bool aPurger(const Marqueur& m, const std::string& t) {
        const std::int32_t p = m.start - 1;
        return paragraphe(m) && m.start != 1 && p >= 1 && p <= static_cast<std::int32_t>(t.size()) &&
               !estSeparateur(oct(t[static_cast<std::size_t>(p - 1)]));
    }
    void purge(const std::string& t) { std::erase_if(l, [&](const Marqueur& m) { return aPurger(m, t); }); }
    Places touchant(std::int32_t lo, std::int32_t hi, const std::string* purges = nullptr) const {
        Places r;
        for (std::size_t i = 0; i < l.size(); ++i)
            if ((std::min(l[i].start, l[i].end) <= hi && std::max(l[i].start, l[i].end) >= lo) ||
                (purges && aPurger(l[i], *purges)))
                r.emplace_back(static_cast<std::int32_t>(i), l[i]);
        return r;
    }
};

// Markers as the editor makes them: of each kind, none overlaps another.
Liste disjoints(std::mt19937& alea, std::int32_t longueur) {
    Liste l;
    for (const std::uint8_t kind : {MARQUEUR_CENTRE, MARQUEUR_RETOURNE, MARQUEUR_CARACTERE, MARQUEUR_INDENTATION}) {
        for (std::int32_t p = 1 + static_cast<std::int32_t>(alea() % 6); p <= longueur;) {
            const std::int32_t fin = kind == MARQUEUR_CARACTERE ? p : p + static_cast<std::int32_t>(alea() % 14);
            l.push_back({p, fin, kind, static_cast<std::uint8_t>(1 + alea() % 9)});
            p = fin + 1 + static_cast<std::int32_t>(alea() % 12);
        }
    }
    std::shuffle(l.begin(), l.end(), alea);  // creation order is not text order
    return l;
}

}  // namespace

// Random edits, purges, re-wraps, undos and toggles, near one another (the lazy shift follows) or
// anywhere (it moves), over disjoint markers and, one run in four, any markers (changed at once):
// questions, undo records and the list agree with the plain list; the purge, looking only where
// text changed, misses none; undo gives back the list as it was.
TEST(Marqueurs, CommeLaListeSimpleAuFilDesModifications) {
    std::mt19937 alea(20261207);
    const std::string alphabet = "ab c\r\n,.";
    for (int essai = 0; essai < 200; ++essai) {
        std::string texte;
        for (int i = 0; i < 160; ++i) texte += alphabet[alea() % alphabet.size()];
        Liste depart = disjoints(alea, static_cast<std::int32_t>(texte.size()));
        if (essai % 4 == 3)
            for (int k = 0; k < 6; ++k) depart.push_back(auHasard(alea));
        TgestionnaireMarqueurs m = avec(depart);
        ListeSimple ref{depart};
        ref.purge(texte);
        m.Purge([&](std::int32_t p) { return oct(texte[static_cast<std::size_t>(p - 1)]); });
        std::int32_t ici = 1 + static_cast<std::int32_t>(alea() % texte.size());
        for (int pas = 0; pas < 60; ++pas) {
            const std::string contexte = "essai " + std::to_string(essai) + " pas " + std::to_string(pas);
            SCOPED_TRACE(contexte);
            auto octet = [&](std::int32_t p) {
                return p >= 1 && p <= static_cast<std::int32_t>(texte.size()) ? oct(texte[static_cast<std::size_t>(p - 1)])
                                                                             : Octet{32};
            };
            const auto n = static_cast<std::int32_t>(texte.size());
            // Mostly next to the last edit, as typing goes; sometimes anywhere.
            ici = alea() % 4 == 0 ? 1 + static_cast<std::int32_t>(alea() % (texte.size() + 1))
                                  : std::clamp(ici + static_cast<std::int32_t>(alea() % 5) - 2, 1, n + 1);
            const auto retire = std::min<std::int32_t>(static_cast<std::int32_t>(alea() % 3), n - ici + 1);
            std::string ajout;
            for (auto k = alea() % 3; k > 0; --k) ajout += alphabet[alea() % alphabet.size()];
            // The stretch the edit and its re-wrap can change, as the document records it, widened by one.
            const std::int32_t lo = std::max(1, ici - 10), hi = std::max(lo - 1, std::min(n, ici + retire + 16));
            const auto avant = m.touchantOuPurges(lo - 1, hi + 1, octet);
            ASSERT_EQ(avant, ref.touchant(lo - 1, hi + 1, &texte));
            const Liste listeAvant = ref.l;
            const std::string texteAvant = texte;
            texte.replace(static_cast<std::size_t>(ici - 1), static_cast<std::size_t>(retire), ajout);
            const auto na = static_cast<std::int32_t>(ajout.size());
            m.Remplacement(ici, ici + retire - 1, na);
            ref.remplacement(ici, ici + retire - 1, na);
            m.Purge(octet);
            ref.purge(texte);
            ASSERT_TRUE(alea() % 3 || m.liste() == ref.l);  // a re-wrap then starts from a list up to date
            if (alea() % 2 == 0 && !texte.empty()) {
                // A re-wrap around the edit: spaces and line ends swap, cuts come and go.
                const auto debut = std::clamp(ici - static_cast<std::int32_t>(alea() % 8), 1,
                                              static_cast<std::int32_t>(texte.size()));
                const std::string ancien = texte.substr(static_cast<std::size_t>(debut - 1), 3 + alea() % 10);
                std::string nouveau;
                for (char c : ancien) {
                    if (c == ' ' || c == '\n') c = alea() % 2 ? ' ' : '\n';
                    if (c != '\v' || alea() % 2) nouveau += c;
                    if (alea() % 6 == 0) nouveau += '\v';
                }
                texte.replace(static_cast<std::size_t>(debut - 1), ancien.size(), nouveau);
                const AlignementRecoupage a(debut, ancien, nouveau);
                m.suitRecoupage(a);
                ref.recoupage(a);
            }
            const std::int32_t hiApres = hi + static_cast<std::int32_t>(texte.size()) - n;
            ASSERT_EQ(m.touchant(lo - 1, hiApres + 1), ref.touchant(lo - 1, hiApres + 1));

            // The questions first: they must not need the list brought up to date.
            if (pas % 10 == 0) {
                compareTout(m, ref.l, alea, contexte, static_cast<std::int32_t>(texte.size()) + 12);
            } else {
                for (int k = 0; k < 12; ++k)
                    compare(m, ref.l, static_cast<std::int32_t>(alea() % (texte.size() + 4)) - 1, contexte);
            }
            if (HasFatalFailure()) return;
            switch (alea() % 8) {
                case 0: {
                    // Undo, as the document replays it: the text back, then the markers of the stretch.
                    m.Remplacement(lo, hiApres, hi - lo + 1);
                    texte = texteAvant;
                    m.Purge(octet);
                    m.remetTouchant(lo - 1, hi + 1, avant);
                    ref.remplacement(lo, hiApres, hi - lo + 1);
                    ref.purge(texte);
                    std::erase_if(ref.l, [&](const Marqueur& x) {
                        return std::min(x.start, x.end) <= hi + 1 && std::max(x.start, x.end) >= lo - 1;
                    });
                    for (const auto& [i, x] : avant) ref.l.insert(ref.l.begin() + std::min<std::size_t>(i, ref.l.size()), x);
                    ASSERT_EQ(m.liste(), ref.l);
                    // A reversed marker (only a file makes them) goes at the first deletion anywhere.
                    ASSERT_TRUE(essai % 4 == 3 || m.liste() == listeAvant);
                    break;
                }
                case 1:
                case 3: {
                    const Marqueur x = auHasard(alea);
                    if (alea() % 2) m.Ajoute(x.start, x.end, x.kind, x.extra); else m.AjouteRetourne(x.start, x.end);
                    ref.l = m.liste();
                    break;
                }
                case 2: ASSERT_EQ(m.liste(), ref.l); break;
                case 4: {
                    const auto i = static_cast<int>(alea() % 16);
                    m.SupprimeRetourne(i);
                    if (i < static_cast<int>(ref.l.size())) ref.l.erase(ref.l.begin() + i);
                    break;
                }
                case 5: {
                    // A copy answers as its source, and its file block reads back as the list.
                    TgestionnaireMarqueurs copie = m;
                    compareTout(copie, ref.l, alea, contexte + " copy");
                    std::string bloc;
                    copie.Ecrit(bloc);
                    std::size_t o = 0;
                    TgestionnaireMarqueurs lu;
                    ASSERT_TRUE(lu.Lit(bloc, o));
                    ASSERT_EQ(lu.liste(), ref.l);
                    copie.Vide();
                    compareTout(copie, {}, alea, contexte + " emptied");
                    break;
                }
                default: break;
            }
        }
        ASSERT_EQ(m.liste(), ref.l);
    }
}

// Undo puts back a record's markers in place when their bounds keep them apart, otherwise removes
// and puts back: both ways give the same list and answers, before and after a purge.
TEST(Marqueurs, RemisEnPlaceCommeRetiresPuisRemis) {
    const std::string texte = "abcd efgh\rijkl mnop\rqrst";
    auto octet = [&](std::int32_t p) { return oct(texte[static_cast<std::size_t>(p - 1)]); };
    using P = TgestionnaireMarqueurs::Places;
    const struct { Liste avant; std::int32_t lo, hi; P remis; } cas[] = {
        {{R(2, 4), R(7, 9), C(11, 20)}, 6, 10, {{1, R(6, 9)}}},               // in place
        {{R(2, 4), R(7, 9), C(11, 20)}, 6, 10, {{1, R(3, 9)}}},               // over the one before
        {{R(2, 4), R(7, 9), R(12, 14)}, 6, 10, {{1, R(7, 13)}}},              // over the one after
        {{R(2, 4), R(7, 9), C(11, 20)}, 1, 10, {{0, R(7, 8)}, {1, R(2, 3)}}}, // in another order
        {{R(2, 4), R(7, 9)}, 6, 10, {{1, C(7, 9)}}},                          // another kind
        {{R(2, 4), R(7, 9)}, 6, 10, {}},                                      // gone
        {{R(2, 4), C(11, 19)}, 10, 20, {{1, C(13, 19)}}},                     // where a purge takes it
        {{R(2, 4), I(11, 19, 2)}, 10, 20, {{1, I(11, 19, 4)}}},               // another indentation
    };
    for (const auto& c : cas) {
        auto m = avec(c.avant), ref = avec(c.avant);
        // As while typing: nothing left to purge, the index up to date.
        m.Purge(octet);
        ref.Purge(octet);
        m.DebutCentre(1);
        m.remetTouchant(c.lo, c.hi, c.remis);
        ref.retireTouchant(c.lo, c.hi);
        ref.remetAuxPlaces(c.remis);
        std::mt19937 alea(3);
        compareTout(m, ref.liste(), alea, "remis " + ::testing::PrintToString(c.remis), 28);
        m.Purge(octet);
        ref.Purge(octet);
        EXPECT_EQ(m.liste(), ref.liste()) << ::testing::PrintToString(c.remis);
    }
}
