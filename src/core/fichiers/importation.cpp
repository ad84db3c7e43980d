#include "core/fichiers/importation.h"

#include <algorithm>
#include <cctype>

#include "core/braille/codes.h"
#include "core/fichiers/rtf.h"

namespace dotavob {

std::string joinsLignes(std::string_view texte) {
    std::string r;
    r.reserve(texte.size() + texte.size() / 32 + 2);
    std::size_t debut = 0;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] != '\r' && texte[i] != '\n') continue;
        r.append(texte.substr(debut, i - debut));
        r += "\r\n";
        if (texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
        debut = i + 1;
    }
    if (debut < texte.size()) {
        r.append(texte.substr(debut));
        r += "\r\n";
    }
    return r;
}

std::string texteImporte(std::string_view contenu, std::string_view nomFichier) {
    std::string extension;
    const auto point = nomFichier.find_last_of('.');
    const auto separateur = nomFichier.find_last_of("/\\:");
    if (point != std::string_view::npos && (separateur == std::string_view::npos || point > separateur))
        for (char c : nomFichier.substr(point)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (contenu.substr(0, 3) == "\xEF\xBB\xBF") contenu.remove_prefix(3);
    if (extension == ".rtf" || (extension != ".txt" && estRtf(contenu))) return rtfverstexte(joinsLignes(contenu));
    const bool utf8 = estUtf8Valide(contenu) &&
                      std::any_of(contenu.begin(), contenu.end(), [](char c) { return oct(c) >= 0x80; });
    return joinsLignes(utf8 ? utf8VersCp1252(contenu) : std::string(contenu));
}

}  // namespace dotavob
