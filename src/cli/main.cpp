// dotavob-cli: the Braille core from the command line, without windows.
#include <cstdio>
#include <iostream>
#include <string>

#include "braille/codes.h"
#include "editing/transcription.h"

using namespace dotavob;

namespace {

// A Braille byte as the Unicode Braille pattern of its cell.
std::string cellulesUnicode(const std::string& braille) {
    std::string r;
    for (char ch : braille) {
        Octet b = oct(ch);
        if (b == CR || b == LF || b == VT || b == FF) {
            r += '\n';
            continue;
        }
        Octet c = cellule(b) & 63;
        // Our bit order (dot 3 2 1 4 5 6) to the pattern's (dot 1..6 = bit 0..5).
        constexpr int point[6] = {6, 5, 4, 1, 2, 3};
        char32_t u = 0x2800;
        for (int bit = 0; bit < 6; ++bit)
            if (c & (1 << bit)) u |= 1u << (point[bit] - 1);
        r += static_cast<char>(0xE0 | (u >> 12));
        r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (u & 0x3F));
    }
    return r;
}

int aide() {
    std::cout << "Usage : dotavob-cli demo [TEXTE] [--cpl N]\n"
                 "  Transcrit TEXTE (UTF-8) en braille intégral français, l'affiche en points\n"
                 "  puis le relit en noir.\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string commande = argc > 1 ? argv[1] : "demo";
    if (commande == "--help" || commande == "-h" || commande == "aide") return aide();
    if (commande != "demo") {
        std::cerr << "dotavob-cli : commande inconnue « " << commande << " » (voir --help)\n";
        return 2;
    }
    std::string texte = "Le 14 juillet, l'ONU publie 12 rapports : « Paris » coûte 3,5 % de plus !";
    int cpl = 30;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--cpl" && i + 1 < argc) {
            try {
                cpl = std::stoi(argv[++i]);
            } catch (const std::exception&) {
                std::cerr << "dotavob-cli : --cpl attend un nombre\n";
                return 2;
            }
            if (cpl < 10 || cpl > 50) {
                std::cerr << "dotavob-cli : --cpl doit être entre 10 et 50\n";
                return 2;
            }
        } else {
            texte = a;
        }
    }
    const std::string noir = utf8VersCp1252(texte);
    const std::string braille = Transcrire(noir, 1, cpl);
    std::cout << "Noir :    " << texte << "\n";
    std::cout << "Braille :\n" << cellulesUnicode(braille) << "\n";
    std::cout << "Relu :    " << cp1252VersUtf8(BrailleVersNoir(braille)) << "\n";
    return 0;
}
