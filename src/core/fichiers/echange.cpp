#include "core/fichiers/echange.h"

#include <cctype>

#include "core/fichiers/brf.h"
#include "core/fichiers/pef.h"

namespace dotavob {

FormatEchange formatEchangeDe(std::string_view nomFichier) {
    const auto point = nomFichier.find_last_of('.');
    const auto separateur = nomFichier.find_last_of("/\\:");
    if (point == std::string_view::npos || (separateur != std::string_view::npos && point < separateur))
        return FormatEchange::Aucun;
    std::string extension;
    for (char c : nomFichier.substr(point + 1)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "brf" || extension == "txt") return FormatEchange::Brf;
    if (extension == "pef") return FormatEchange::Pef;
    return FormatEchange::Aucun;
}

ResultatLecture chargeEchange(const std::string& chemin, const FormatPage& format) {
    ResultatLecture r;
    std::string octets;
    if (!lisFichier(chemin, octets, r.erreur)) return r;
    const bool pef = formatEchangeDe(chemin) == FormatEchange::Pef;
    // A text of Unicode braille (what the Unicode export writes) is its cells.
    r = pef ? litPef(octets, format) : estTexteBrailleUnicode(octets) ? litBrailleUnicode(octets, format) : litBrf(octets, format);
    if (!r.ok)
        r.erreur = "Le fichier « " + chemin + " » n'est pas un fichier " + (pef ? "PEF" : "braille ASCII") +
                   " lisible : " + r.erreur + ".";
    return r;
}

}  // namespace dotavob
