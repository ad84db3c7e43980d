#include "core/memoire/memoire.h"

#include <cstdint>

#include "core/memoire/parallele.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace dotavob {

void reserveGrand(std::string& s, std::size_t n, bool prete) {
    (void)prete;
    s.reserve(n);
#if defined(__linux__)
    constexpr std::uintptr_t GRANDE_PAGE = std::uintptr_t{2} << 20;
    if (n < GRANDE_PAGE) return;
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto debut = reinterpret_cast<std::uintptr_t>(s.data());
    const std::uintptr_t fin = debut + s.capacity();
    // Only whole pages within the buffer: the bytes around it may be another's.
    // Both requests are advice; a system that declines them only runs slower.
    const std::uintptr_t g0 = (debut + GRANDE_PAGE - 1) & ~(GRANDE_PAGE - 1), g1 = fin & ~(GRANDE_PAGE - 1);
    if (g1 > g0) (void)::madvise(reinterpret_cast<void*>(g0), g1 - g0, MADV_HUGEPAGE);
#if defined(MADV_POPULATE_WRITE)
    if (!prete) return;
    const std::uintptr_t p0 = (debut + page - 1) & ~(page - 1), p1 = fin & ~(page - 1);
    const auto peuple = [](std::uintptr_t de, std::uintptr_t a) {
        if (a > de) (void)::madvise(reinterpret_cast<void*>(de), a - de, MADV_POPULATE_WRITE);
    };
    // The system zeroes each page before it gives it: a book's buffer is
    // zeroed by both cores at once.
    constexpr std::uintptr_t SEUIL_PARALLELE = std::uintptr_t{4} << 20;
    if (p1 <= p0 + SEUIL_PARALLELE) {
        peuple(p0, p1);
    } else {
        const std::uintptr_t milieu = (p0 + (p1 - p0) / 2) & ~(GRANDE_PAGE - 1);
        deuxALaFois([&] { peuple(p0, milieu); }, [&] { peuple(milieu, p1); });
    }
#endif
#endif
}

}  // namespace dotavob
