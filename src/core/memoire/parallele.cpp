#include "core/memoire/parallele.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace dotavob {

#if defined(__linux__)
bool ecarteDuCoeurCourant(std::thread& t) {
    cpu_set_t autres;
    if (::sched_getaffinity(0, sizeof autres, &autres) != 0 || CPU_COUNT(&autres) < 2) return false;
    const int ici = ::sched_getcpu();
    if (ici < 0 || ici >= CPU_SETSIZE || !CPU_ISSET(ici, &autres)) return false;
    CPU_CLR(ici, &autres);
    return ::pthread_setaffinity_np(t.native_handle(), sizeof autres, &autres) == 0;
}

void rendTousLesCoeurs(std::thread& t) {
    cpu_set_t tous;
    if (::sched_getaffinity(0, sizeof tous, &tous) == 0)
        (void)::pthread_setaffinity_np(t.native_handle(), sizeof tous, &tous);
}
#else
bool ecarteDuCoeurCourant(std::thread&) { return false; }
void rendTousLesCoeurs(std::thread&) {}
#endif

}  // namespace dotavob
