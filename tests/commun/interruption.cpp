#include "commun/interruption.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

namespace {

bool arme = false;
dev_t appareil = 0;
ino_t numero = 0;

}  // namespace

void interruption::tueAuMilieuDeLEcriture(const std::string& chemin) {
    struct stat st {};
    if (::stat(chemin.c_str(), &st) != 0) return;
    appareil = st.st_dev;
    numero = st.st_ino;
    arme = true;
}

// The program's own write(2), ahead of the C library's for the code linked
// into it: it passes everything through but the armed file's.
extern "C" ssize_t write(int fd, const void* octets, size_t n) {
    if (arme) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_dev == appareil && st.st_ino == numero) {
            (void)::syscall(SYS_write, fd, octets, n / 2);
            ::kill(::getpid(), SIGKILL);
        }
    }
    return ::syscall(SYS_write, fd, octets, n);
}
#else
void interruption::tueAuMilieuDeLEcriture(const std::string&) {}
#endif
