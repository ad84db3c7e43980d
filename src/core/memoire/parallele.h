// Two halves of a book's work, one on each core.
#pragma once

#include <atomic>
#include <exception>
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

// Runs a() here and b() on a second thread, and returns once both are done;
// b() runs here after a() when no thread is to be had. An exception from
// either is thrown again here, once both ended.
template <class A, class B>
void deuxALaFois(A&& a, B&& b) {
    std::exception_ptr echecB;
    std::thread second;
    // b() waits until its thread stands where it is to run: the thread
    // cannot have ended when it is moved.
    std::atomic<bool> place{false};
    try {
        second = std::thread([&] {
            place.wait(false);
            try {
                b();
            } catch (...) {
                echecB = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        a();
        b();
        return;
    }
    const bool ecarte = ecarteDuCoeurCourant(second);
    place.store(true);
    place.notify_one();
    try {
        a();
    } catch (...) {
        second.join();
        throw;
    }
    // b() may still be waiting for a core: this one is free now.
    if (ecarte) rendTousLesCoeurs(second);
    second.join();
    if (echecB) std::rethrow_exception(echecB);
}

}  // namespace dotavob
