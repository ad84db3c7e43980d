#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

#include "core/memoire/parallele.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace dotavob {
namespace {

std::atomic<std::uint32_t> travailGarde{0};  // the busy halves' work, kept from the optimiser

// Both halves always run to their end, and a failure of either is the
// caller's: on two threads, and on one inside a half; then in many short
// splits in a row, either half ending first (a wake-up missed by the caller
// or the second thread would hang here).
TEST(Parallele, DeuxMoitiesEtLeursEchecs) {
    struct Cas { bool echecA, echecB, dansUneMoitie; const char* attendu; };
    // Each half busy for its number of turns; -1: b() sleeps until a() is surely done.
    const auto essaie = [](const Cas& c, int toursA, int toursB) {
        const auto travail = [](int tours) {
            if (tours < 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::uint32_t x = 1;
            for (int k = 0; k < tours; ++k) x = x * 1664525u + 1013904223u;
            travailGarde.store(x, std::memory_order_relaxed);
        };
        std::atomic<int> finis{0};
        std::string lu;
        try {
            deuxALaFois(
                [&] {
                    travail(toursA);
                    ++finis;
                    if (c.echecA) throw std::runtime_error("a");
                },
                [&] {
                    travail(toursB);
                    ++finis;
                    if (c.echecB) throw std::runtime_error("b");
                });
        } catch (const std::runtime_error& e) {
            lu = e.what();
        }
        return std::tuple(finis.load(), lu) == std::tuple(2, std::string(c.attendu));
    };
    const Cas cas[] = {{false, false, false, ""}, {true, false, false, "a"}, {false, true, false, "b"},
                       {true, true, false, "a"},  {false, false, true, ""}, {true, false, true, "a"},
                       {false, true, true, "b"},  {true, true, true, "a"}};
    for (const Cas& c : cas) {
        std::optional<UneMoitie> moitie;
        if (c.dansUneMoitie) moitie.emplace();
        EXPECT_TRUE(essaie(c, 0, -1)) << c.echecA << c.echecB << c.dansUneMoitie;
    }
    std::mt19937 alea(5);
    for (int essai = 0; essai < 2000; ++essai)
        ASSERT_TRUE(essaie(cas[alea() % 4], static_cast<int>(alea() % 3000), static_cast<int>(alea() % 3000))) << essai;
}

// Work split again inside a half stays on that half's thread; after the
// halves, it is split again.
// Pieces made on both cores are written in their order, whichever core is
// faster; a failure ends the turns, even one met while a piece is written.
TEST(Parallele, ToursDansLOrdreEtEchec) {
    Tours tours;
    std::string ordre;
    const auto ecrit = [&](int premier) {
        for (int n = premier; n < 40; n += 2) {
            ASSERT_TRUE(tours.attends(n));
            ordre += static_cast<char>('0' + n % 10);
            ASSERT_TRUE(tours.passe(n));
        }
    };
    deuxALaFois([&] { ecrit(1); }, [&] { ecrit(0); });
    EXPECT_EQ(ordre, "0123456789012345678901234567890123456789");
    Tours echec;
    ASSERT_TRUE(echec.attends(0));
    echec.echoue();  // on the other core, while piece 0 is written
    EXPECT_FALSE(echec.passe(0));
    EXPECT_FALSE(echec.attends(1));
    EXPECT_TRUE(echec.echoues());
}

TEST(Parallele, UneMoitieNeSePartageParDeNouveau) {
    using Fils = std::array<std::thread::id, 3>;  // the half's, then its own split's two
    const auto releve = [](Fils& f) {
        f[0] = std::this_thread::get_id();
        deuxALaFois([&] { f[1] = std::this_thread::get_id(); }, [&] { f[2] = std::this_thread::get_id(); });
    };
    Fils a, b, apres;
    deuxALaFois([&] { releve(a); }, [&] { releve(b); });
    releve(apres);
    EXPECT_NE(a[0], b[0]);
    EXPECT_EQ(a, (Fils{a[0], a[0], a[0]}));
    EXPECT_EQ(b, (Fils{b[0], b[0], b[0]}));
    EXPECT_NE(apres[1], apres[2]);
}

#if defined(__linux__)
int coeursPermis() {
    cpu_set_t s;
    return ::sched_getaffinity(0, sizeof s, &s) == 0 ? CPU_COUNT(&s) : 0;
}

// The second half starts on another core than the caller's, and may take
// the caller's once the first half is done.
TEST(Parallele, LaSecondeMoitieSurUnAutreCoeur) {
    const int coeurs = coeursPermis();
    if (coeurs < 2) GTEST_SKIP() << "un seul cœur permis";
    std::atomic<bool> lu{false};
    int auDebut = 0, apres = 0;
    deuxALaFois(
        [&] {
            while (!lu) std::this_thread::yield();
        },
        [&] {
            auDebut = coeursPermis();
            lu = true;
            const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while ((apres = coeursPermis()) != coeurs && std::chrono::steady_clock::now() < limite)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    EXPECT_EQ(std::tuple(auDebut, apres, coeursPermis()), std::tuple(coeurs - 1, coeurs, coeurs));
}
#endif

}  // namespace
}  // namespace dotavob
