#include "core/memoire/memoire.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace dotavob {

void reserveGrand(std::string& s, std::size_t n) {
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
    const std::uintptr_t p0 = (debut + page - 1) & ~(page - 1), p1 = fin & ~(page - 1);
    if (p1 > p0) (void)::madvise(reinterpret_cast<void*>(p0), p1 - p0, MADV_POPULATE_WRITE);
#endif
#endif
}

}  // namespace dotavob
