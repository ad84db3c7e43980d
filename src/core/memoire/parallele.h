// Two halves of a book's work, one on each core.
#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace dotavob {

// Runs a() here and b() on a second thread, and returns once both are done;
// b() runs here after a() when no thread is to be had. An exception from
// either is thrown again here, once both ended.
template <class A, class B>
void deuxALaFois(A&& a, B&& b) {
    std::exception_ptr echecB;
    std::thread second;
    try {
        second = std::thread([&] {
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
    try {
        a();
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (echecB) std::rethrow_exception(echecB);
}

}  // namespace dotavob
