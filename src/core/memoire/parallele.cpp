#include "core/memoire/parallele.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace dotavob {

void EtatPartage::change(int valeur) {
    {
        const std::lock_guard<std::mutex> verrou(m_);
        valeur_.store(valeur);
    }
    cv_.notify_all();
}

bool EtatPartage::changeSi(int avant, int apres) {
    {
        const std::lock_guard<std::mutex> verrou(m_);
        if (valeur_.load() != avant) return false;
        valeur_.store(apres);
    }
    cv_.notify_all();
    return true;
}

void EtatPartage::attendsQueChange(int valeur, std::chrono::microseconds patience) {
    static const bool plusieursCoeurs = std::thread::hardware_concurrency() > 1;
    if (plusieursCoeurs && patience.count() > 0) {
        const auto limite = std::chrono::steady_clock::now() + patience;
        for (unsigned k = 1; valeur_.load() == valeur; ++k) {
#if defined(__SSE2__) || defined(_M_X64)
            _mm_pause();
#endif
            if (k % 64 == 0 && std::chrono::steady_clock::now() >= limite) break;
        }
    }
    std::unique_lock<std::mutex> verrou(m_);
    cv_.wait(verrou, [&] { return valeur_.load() != valeur; });
}

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
