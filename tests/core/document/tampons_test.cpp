#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <random>
#include <set>

#include "core/document/tampons.h"

namespace dotavob {
namespace {

// The allocations to let through before one fails; -1: none fails.
std::atomic<long> allocationsAvantEchec{-1};

}  // namespace
}  // namespace dotavob

// Out of line, so that the compiler does not pair this free with a new it sees.
[[gnu::noinline]] void* operator new(std::size_t n) {
    if (dotavob::allocationsAvantEchec.load() >= 0 && dotavob::allocationsAvantEchec.fetch_sub(1) == 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace dotavob {
namespace {

// Random changes of every size, from a byte to several pieces, at random
// places or next to the last one, with reads in between and the text taken
// whole now and then: the store must always read as the plain string does.
TEST(Tampons, TexteCommeUneChaine) {
    std::mt19937 alea(7);
    auto octets = [&](std::size_t n) {
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>('a' + alea() % 26);
        return s;
    };
    for (int livre = 0; livre < 40; ++livre) {
        TexteTampon t;
        std::string attendu = octets(std::array<std::size_t, 4>{0, 10, 5000, 70000}[alea() % 4]);
        // Given whole: cut into pieces at once, left one piece, or cut after.
        if (livre % 3 == 0) {
            t.assigne(attendu);
        } else {
            t.assigneSansPieces(attendu);
            if (livre % 3 == 2) t.faitPieces();
        }
        std::int32_t dernier = 0;
        for (int pas = 0; pas < 300; ++pas) {
            const auto taille = static_cast<std::int32_t>(attendu.size());
            const std::int32_t i = alea() % 2 ? std::min(dernier, taille) : static_cast<std::int32_t>(alea() % (taille + 1));
            const std::int32_t longs[] = {0, 1, 3, 4096, 20000};
            const std::int32_t n = std::min(taille - i, longs[alea() % (alea() % 8 ? 3 : 5)]);
            const std::string s = octets(static_cast<std::size_t>(longs[alea() % (alea() % 8 ? 3 : 5)]));
            t.remplace(i, n, s);
            attendu.replace(static_cast<std::size_t>(i), static_cast<std::size_t>(n), s);
            dernier = i + static_cast<std::int32_t>(s.size());
            ASSERT_EQ(t.taille(), static_cast<std::int32_t>(attendu.size()));
            // Bytes read one after the other across the change, then anywhere.
            for (std::int32_t k = std::max(i - 5, 0); k < std::min(dernier + 5, t.taille()); ++k)
                ASSERT_EQ(t[k], attendu[static_cast<std::size_t>(k)]) << "livre " << livre << " pas " << pas;
            for (int q = 0; q < 20 && !attendu.empty(); ++q) {
                const auto k = static_cast<std::int32_t>(alea() % attendu.size());
                ASSERT_EQ(t[k], attendu[static_cast<std::size_t>(k)]) << "livre " << livre << " pas " << pas;
            }
            const auto de = static_cast<std::int32_t>(alea() % (attendu.size() + 1));
            const auto combien = static_cast<std::int32_t>(alea() % 9000);
            ASSERT_EQ(t.sousChaine(de, std::min(combien, t.taille() - de)),
                      attendu.substr(static_cast<std::size_t>(de), static_cast<std::size_t>(combien)));
            switch (alea() % 40) {
                case 0: ASSERT_EQ(t.contigu(), attendu); break;
                case 1: ASSERT_EQ(t.prend(), attendu); t.assigne(attendu); break;
                case 2: ASSERT_EQ(t.chaine(), attendu); break;
                case 3: t.faitPieces(); break;  // once changed, the pieces stand
                default: break;
            }
        }
        ASSERT_EQ(t.chaine(), attendu);
        ASSERT_EQ(t.vide(), attendu.empty());
    }
}

// Memory that runs out while a text given whole is cut, or changed before
// it was cut (its first change then makes every piece anew), leaves it
// reading as it did; each allocation in turn is made to fail.
TEST(Tampons, MemoireEpuisee) {
    std::string attendu(70000, '\0');
    for (std::size_t i = 0; i < attendu.size(); ++i) attendu[i] = static_cast<char>('a' + i % 26);
    for (const bool coupe : {false, true}) {
        for (long echec = 0;; ++echec) {
            TexteTampon t;
            t.assigneSansPieces(attendu);
            std::string voulu = attendu;
            bool echoue = false;
            allocationsAvantEchec = echec;
            try {
                if (coupe) t.faitPieces();
                t.remplace(35000, 3, "xyz");
                voulu.replace(35000, 3, "xyz");
            } catch (const std::bad_alloc&) {
                echoue = true;
            }
            allocationsAvantEchec = -1;
            ASSERT_EQ(t.taille(), static_cast<std::int32_t>(voulu.size())) << coupe << " " << echec;
            for (const std::int32_t k : {0, 4095, 34999, 35001, 69999})
                ASSERT_EQ(t[k], voulu[static_cast<std::size_t>(k)]) << coupe << " " << echec << " " << k;
            ASSERT_EQ(t.chaine(), voulu) << coupe << " " << echec;
            if (!echoue) break;
        }
    }
}

// The same for the index of positions: removed, moved, added, in one block
// or across many, and searched from below, within and beyond.
TEST(Tampons, IndexCommeUneListe) {
    std::mt19937 alea(11);
    for (int livre = 0; livre < 60; ++livre) {
        std::vector<std::int32_t> attendu;
        for (std::int32_t p = 1, n = std::array{0, 5, 3000}[alea() % 3]; n > 0; --n) attendu.push_back(p += 1 + static_cast<std::int32_t>(alea() % 40));
        IndexPositions ix;
        if (livre % 2 == 0) {
            ix.assigne(attendu);
        } else {  // in two parts, as a book's two halves are indexed, the second's memory foreseen or not
            IndexPositions::Remplissage premiers, suivants;
            const std::size_t coupe = attendu.empty() ? 0 : alea() % (attendu.size() + 1);
            suivants.prevoit(std::array<std::size_t, 4>{0, 1, attendu.size() - coupe, 2 * attendu.size()}[alea() % 4]);
            for (std::size_t r = 0; r < attendu.size(); ++r) (r < coupe ? premiers : suivants).ajoute(attendu[r]);
            ix.assigne(std::move(premiers), std::move(suivants));
        }
        for (int pas = 0; pas < 200; ++pas) {
            const std::int32_t fin = attendu.empty() ? 100 : attendu.back() + 50;
            // One change in five past the last position: the new ones go last.
            const auto a = static_cast<std::int32_t>(alea() % 5 ? alea() % static_cast<std::uint32_t>(fin) : fin - alea() % 50);
            const std::int32_t b = a + static_cast<std::int32_t>(alea() % (alea() % 10 ? 60 : 20000));
            // After the change, the added positions lie in [a, b + d).
            const std::int32_t d = static_cast<std::int32_t>(alea() % (alea() % 10 ? 50 : 60000)) - (b - a);
            std::set<std::int32_t> ajout;
            for (auto k = alea() % (alea() % 10 ? 4 : 3000); k > 0 && b + d > a; --k)
                ajout.insert(a + static_cast<std::int32_t>(alea() % static_cast<std::uint32_t>(b + d - a)));
            const std::vector<std::int32_t> nouvelles(ajout.begin(), ajout.end());
            ix.remplace(a, b, d, nouvelles);
            std::vector<std::int32_t> apres;
            for (std::int32_t p : attendu)
                if (p < a) apres.push_back(p);
            apres.insert(apres.end(), nouvelles.begin(), nouvelles.end());
            for (std::int32_t p : attendu)
                if (p >= b) apres.push_back(p + d);
            attendu = std::move(apres);
            ASSERT_EQ(ix.taille(), attendu.size()) << "livre " << livre << " pas " << pas;
            for (int q = 0; q < 30 && !attendu.empty(); ++q) {
                const std::size_t r = alea() % attendu.size();
                ASSERT_EQ(ix[r], attendu[r]) << "livre " << livre << " pas " << pas;
            }
            const std::int32_t bout = attendu.empty() ? 0 : attendu.back();
            for (std::int32_t v : {INT32_MIN, 0, a, b, b + d, bout, bout + 1, INT32_MAX,
                                   static_cast<std::int32_t>(alea() % static_cast<std::uint32_t>(bout + 2))})
            {
                const auto rang = static_cast<std::size_t>(std::lower_bound(attendu.begin(), attendu.end(), v) - attendu.begin());
                const std::size_t depuis = alea() % (attendu.size() + 2);
                ASSERT_EQ(std::tuple(ix.borneInf(v), ix.borneInfDepuis(v, depuis)),
                          std::tuple(rang, std::min(std::max(rang, depuis), attendu.size())))
                    << "livre " << livre << " pas " << pas << " v " << v << " depuis " << depuis;
            }
        }
    }
}

}  // namespace
}  // namespace dotavob
