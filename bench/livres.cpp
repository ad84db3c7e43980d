#include "livres.h"

#include <algorithm>

#include "core/transcription/transcription.h"

namespace dotavob {

const char* const phrases[5] = {
    "Le petit chat dort sur le canap\xE9 depuis 3 heures, pr\xE8s de la fen\xEA" "tre. ",
    "L'ONU a publi\xE9 12 rapports en 2023 ; Paris et Lyon y figurent. ",
    "No\xEBl arrive le 25 d\xE9" "cembre : les \xE9l\xE8ves de CM2 sont ravis ! ",
    "Il a pay\xE9 3,50 euros pour 2 caf\xE9s, soit 7 % de plus qu'hier. ",
    "\xC0 l'\xE9t\xE9, la m\xE8re et l'\x9C" "uf sont l\xE0 ; d\xE9j\xE0 vu ? Oui. ",
};

// A book of short paragraphs (two or three lines each), as the editor wraps them.
std::string livreParagraphes(int paragraphes) {
    std::string modeles[5];
    for (int k = 0; k < 5; ++k) {
        std::string plat;
        for (char c : Transcrire(phrases[k], 1, 1000))
            if (c != '\r' && c != '\n') plat += c;
        modeles[k] = CoupeParagraphe(plat, 30) + "\r";
    }
    std::string t;
    for (int i = 0; i < paragraphes; ++i) t += modeles[i % 5];
    return t;
}

// One marker per paragraph, the four kinds in turn: centred, indented, a
// turned stretch, a print character.
TgestionnaireMarqueurs unMarqueurParParagraphe(const std::string& t) {
    TgestionnaireMarqueurs m;
    std::int32_t debut = 1;
    int k = 0;
    for (std::int32_t p = 1; p <= static_cast<std::int32_t>(t.size()); ++p) {
        if (t[static_cast<std::size_t>(p - 1)] != '\r') continue;
        switch (k++ % 4) {
            case 0: m.ajouteBrut({debut, p - 1, MARQUEUR_CENTRE, 0}); break;
            case 1: m.ajouteBrut({debut, p - 1, MARQUEUR_INDENTATION, 2}); break;
            case 2: m.ajouteBrut({debut + 3, std::min(debut + 40, p - 1), MARQUEUR_RETOURNE, 0}); break;
            default: m.ajouteBrut({debut + 1, debut + 1, MARQUEUR_CARACTERE, '*'}); break;
        }
        debut = p + 1;
    }
    return m;
}

// A book of `pages` pages of 28 lines of 30 cells in one single paragraph
// (no CR at all), wrapped as the editor wraps it.
std::string livreUnSeulParagraphe(int pages) {
    std::string plat;
    const auto voulus = static_cast<std::size_t>(pages) * 28 * 27;
    for (int k = 0; plat.size() < voulus; ++k) {
        if (!plat.empty()) plat += ' ';
        for (char c : Transcrire(phrases[k % 5], 1, 1000))
            if (c != '\r' && c != '\n') plat += c;
    }
    return CoupeParagraphe(plat, 30);
}

}  // namespace dotavob
