#pragma once
// Killing a process that saves in a loop while one of its saves is written
// into the file itself: its side copy (a ".dtv" in the folder) is down.
#ifndef _WIN32
#include <dirent.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#ifdef __linux__
#include <sys/inotify.h>
#endif

namespace interruption {

inline bool copieDeCote(const std::string& dossier) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d) return false;
    bool trouvee = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string nom = e->d_name;
        if (nom.size() > 4 && nom[0] != '.' && nom.compare(nom.size() - 4, 4, ".dtv") == 0) trouvee = true;
    }
    ::closedir(d);
    return trouvee;
}

// Kills `fils` and reaps it. A copy seen is first stopped on, then looked at
// again: the kill lands only while it is still down, so a fast disk cannot
// finish the save between the look and the kill. Says whether it did; after
// `delai` it kills anyway. The folder must exist.
inline bool tuePendantEcritureSurPlace(pid_t fils, const std::string& dossier,
                                       std::chrono::milliseconds delai = std::chrono::seconds(10)) {
    const auto fin = std::chrono::steady_clock::now() + delai;
    bool pris = false;
#ifdef __linux__
    // Told by the kernel as soon as a copy is renamed into place.
    const int veille = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (veille >= 0) ::inotify_add_watch(veille, dossier.c_str(), IN_MOVED_TO | IN_CREATE);
#else
    const int veille = -1;
#endif
    while (!pris && std::chrono::steady_clock::now() < fin) {
        bool arrivee = false;
#ifdef __linux__
        if (veille >= 0) {
            pollfd p{veille, POLLIN, 0};
            ::poll(&p, 1, 50);
            alignas(inotify_event) char tampon[4096];
            ssize_t n;
            while ((n = ::read(veille, tampon, sizeof tampon)) > 0)
                for (const char* c = tampon; c < tampon + n;) {
                    const auto* e = reinterpret_cast<const inotify_event*>(c);
                    const std::string nom = e->len ? e->name : "";
                    if (nom.size() > 4 && nom[0] != '.' && nom.compare(nom.size() - 4, 4, ".dtv") == 0) arrivee = true;
                    c += sizeof(inotify_event) + e->len;
                }
        }
#endif
        if (veille < 0) ::usleep(10);
        if (!arrivee && !copieDeCote(dossier)) continue;
        ::kill(fils, SIGSTOP);
        ::waitpid(fils, nullptr, WUNTRACED);
        pris = copieDeCote(dossier);
        if (!pris) ::kill(fils, SIGCONT);
    }
    if (veille >= 0) ::close(veille);
    ::kill(fils, SIGKILL);
    ::waitpid(fils, nullptr, 0);
    return pris;
}

}  // namespace interruption
#endif
