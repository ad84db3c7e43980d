// Two halves of a book's work, one on each core.
#pragma once

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace dotavob {

// Keeps t off the core the caller runs on, when there is another. Left to
// itself, the system often queues a new thread on its creator's core, behind
// the very work it was made to share, and only moves it when the creator is
// done. Returns whether t was moved.
bool ecarteDuCoeurCourant(std::thread& t);
// Gives t back every core the caller may use.
void rendTousLesCoeurs(std::thread& t);

// Whether this thread runs a half: work split again inside it would only
// take the other core from the other half, and wait for it.
inline thread_local bool dansUneMoitie = false;

// Marks the thread as running a half while it lives.
class UneMoitie {
public:
    UneMoitie() : avant_(dansUneMoitie) { dansUneMoitie = true; }
    ~UneMoitie() { dansUneMoitie = avant_; }
    UneMoitie(const UneMoitie&) = delete;
    UneMoitie& operator=(const UneMoitie&) = delete;

private:
    bool avant_;
};

// a() then b(), both here, whatever a() throws; a()'s failure first, then b()'s.
template <class A, class B>
void lUnPuisLAutre(A&& a, B&& b) {
    std::exception_ptr echecA;
    try {
        a();
    } catch (...) {
        echecA = std::current_exception();
    }
    try {
        b();
    } catch (...) {
        if (!echecA) throw;
    }
    if (echecA) std::rethrow_exception(echecA);
}

// Runs a() here and b() on a second thread, and returns once both are done;
// b() runs here after a() when no thread is to be had, or inside a half.
// An exception from either is thrown again here, once both ended (a()'s
// when both failed).
template <class A, class B>
void deuxALaFois(A&& a, B&& b) {
    if (dansUneMoitie) {
        lUnPuisLAutre(a, b);
        return;
    }
    std::exception_ptr echecB;
    // The second thread starts b() once it stands where it is to run, and
    // ends only when let go: it is alive whenever it is moved.
    std::mutex m;
    std::condition_variable cv;
    bool place = false, libre = false;
    const auto signale = [&](bool& drapeau) {
        {
            const std::lock_guard<std::mutex> verrou(m);
            drapeau = true;
        }
        cv.notify_all();
    };
    std::thread second;
    try {
        second = std::thread([&] {
            {
                std::unique_lock<std::mutex> verrou(m);
                cv.wait(verrou, [&] { return place; });
            }
            try {
                const UneMoitie moitie;
                b();
            } catch (...) {
                echecB = std::current_exception();
            }
            std::unique_lock<std::mutex> verrou(m);
            cv.wait(verrou, [&] { return libre; });
        });
    } catch (const std::system_error&) {
        lUnPuisLAutre(a, b);
        return;
    }
    const bool ecarte = ecarteDuCoeurCourant(second);
    signale(place);
    try {
        const UneMoitie moitie;
        a();
    } catch (...) {
        signale(libre);
        second.join();
        throw;
    }
    // b() may still be waiting for a core: this one is free now.
    if (ecarte) rendTousLesCoeurs(second);
    signale(libre);
    second.join();
    if (echecB) std::rethrow_exception(echecB);
}

}  // namespace dotavob
