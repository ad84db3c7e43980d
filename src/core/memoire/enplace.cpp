// Built as C++23 where the compiler has it (see CMakeLists.txt): sizing a
// string without writing it first only came then.
#include <algorithm>
#include <exception>
#include <string>

#include "core/memoire/memoire.h"

namespace dotavob {

std::size_t ecritEnPlace(std::string& s, std::size_t n, const std::function<std::size_t(char*)>& ecrit) {
#if defined(__cpp_lib_string_resize_and_overwrite)
    // An exception must not leave the string at a length no one set: it is
    // caught inside, the string emptied, and thrown again here.
    std::exception_ptr echec;
    std::size_t ecrits = 0;
    s.resize_and_overwrite(n, [&](char* p, std::size_t) noexcept {
        try {
            ecrits = std::min(ecrit(p), n);
        } catch (...) {
            echec = std::current_exception();
            ecrits = 0;
        }
        return ecrits;
    });
    if (echec) std::rethrow_exception(echec);
    return ecrits;
#else
    s.resize(n);
    std::size_t ecrits = 0;
    try {
        ecrits = std::min(ecrit(s.data()), n);
    } catch (...) {
        s.clear();
        throw;
    }
    s.resize(ecrits);
    return ecrits;
#endif
}

}  // namespace dotavob
