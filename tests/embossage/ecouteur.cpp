// Plays a network embosser for the tests: listens on 127.0.0.1 (a free
// port, printed on standard output), and writes the bytes of each
// connection (one job) to DOSSIER/travail-N.bin. Ends after N jobs, or after
// 60 seconds without any.
// Usage: ecouteur DOSSIER N
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string dossier = argv[1];
    const int n = std::stoi(argv[2]);
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    adresse.sin_port = 0;
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) != 0 || listen(s, 4) != 0) return 1;
    socklen_t taille = sizeof adresse;
    getsockname(s, reinterpret_cast<sockaddr*>(&adresse), &taille);
    std::printf("%d\n", ntohs(adresse.sin_port));
    std::fflush(stdout);
    for (int k = 1; k <= n; ++k) {
        alarm(60);
        const int c = accept(s, nullptr, nullptr);
        if (c < 0) return 1;
        std::ofstream sortie(dossier + "/travail-" + std::to_string(k) + ".bin", std::ios::binary);
        char tampon[4096];
        for (ssize_t lu; (lu = read(c, tampon, sizeof tampon)) > 0;) sortie.write(tampon, lu);
        close(c);
    }
    return 0;
}
