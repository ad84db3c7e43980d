// Two halves of a book's work, one on each core.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
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

// A state that one thread changes and another waits on. Waiting spins
// first, for up to the patience given, then sleeps: waking a thread that
// sleeps took 50 to 100 µs on a virtual machine, longer than the wait for
// the other half most often is. Every change is made under the lock, so that
// a sleeper never misses one.
class EtatPartage {
public:
    explicit EtatPartage(int valeur = 0) : valeur_(valeur) {}
    int valeur() const { return valeur_.load(); }
    void change(int valeur);
    // Changes it from `avant` only; whether it did.
    bool changeSi(int avant, int apres);
    // Until it no longer holds `valeur`. No spinning on a machine of one
    // core: the thread that is to change it needs that core.
    void attendsQueChange(int valeur, std::chrono::microseconds patience);

private:
    std::atomic<int> valeur_;
    std::mutex m_;
    std::condition_variable cv_;
};

// Pieces made on both cores and written in their order: each waits for its
// number's turn, then passes it on. A failure ends every turn, and no turn
// passed on afterwards undoes it.
class Tours {
public:
    // Until piece `numero`'s turn; false once a failure ended the turns.
    bool attends(int numero) {
        for (int v; (v = etat_.valeur()) != numero;) {
            if (v == ECHEC) return false;
            etat_.attendsQueChange(v, std::chrono::microseconds(200));
        }
        return true;
    }
    // Piece `numero` is written: the next one's turn; false when a failure came meanwhile.
    bool passe(int numero) { return etat_.changeSi(numero, numero + 1); }
    void echoue() { etat_.change(ECHEC); }
    bool echoues() const { return etat_.valeur() == ECHEC; }

private:
    static constexpr int ECHEC = -1;
    EtatPartage etat_{0};
};

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
    // The second thread starts b() once it stands where it is to run, and is
    // alive whenever it is moved. Once it says b() is done it touches nothing
    // here again but the state it shares: it ends on its own, and nobody
    // waits to see it end.
    enum : int { ATTEND, EN_COURS, DEPLACE, FINI };
    std::exception_ptr echecA, echecB;
    std::shared_ptr<EtatPartage> etat;
    std::thread second;
    try {
        etat = std::make_shared<EtatPartage>(ATTEND);
        second = std::thread([etat, &b, &echecB] {
            etat->attendsQueChange(ATTEND, std::chrono::microseconds(0));
            try {
                const UneMoitie moitie;
                b();
            } catch (...) {
                echecB = std::current_exception();
            }
            while (!etat->changeSi(EN_COURS, FINI)) etat->attendsQueChange(DEPLACE, std::chrono::microseconds(0));
        });
    } catch (const std::exception&) {  // no thread to be had (system_error), or no memory for it
        lUnPuisLAutre(a, b);
        return;
    }
    const bool ecarte = ecarteDuCoeurCourant(second);
    etat->change(EN_COURS);
    try {
        const UneMoitie moitie;
        a();
    } catch (...) {
        echecA = std::current_exception();
    }
    // b() may still be waiting for a core: this one is free now.
    if (ecarte && etat->changeSi(EN_COURS, DEPLACE)) {
        rendTousLesCoeurs(second);
        etat->change(EN_COURS);
    }
    // When b() may need this core (it could not be moved off it), no spinning.
    etat->attendsQueChange(EN_COURS, std::chrono::microseconds(ecarte ? 500 : 0));
#if defined(_WIN32)
    // The mingw thread library frees a detached thread's record while the
    // thread may still be ending, and the thread then reads it: joined there.
    second.join();
#else
    second.detach();
#endif
    if (echecA) std::rethrow_exception(echecA);
    if (echecB) std::rethrow_exception(echecB);
}

}  // namespace dotavob
