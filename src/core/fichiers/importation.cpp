#include "core/fichiers/importation.h"

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

namespace {

// The length of the valid multi-byte UTF-8 sequence that starts at s[i], or 0.
std::size_t sequenceUtf8(std::string_view s, std::size_t i) {
    const Octet b = oct(s[i]);
    const std::size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    return n && i + n <= s.size() && estUtf8Valide(s.substr(i, n)) ? n : 0;
}

// Text whose valid multi-byte sequences outnumber its invalid bytes is UTF-8
// damaged here and there: each invalid byte becomes "?" and is counted.
// Any other is code page 1252.
std::string decodeTexte(std::string_view s, std::int32_t& invalides) {
    std::int32_t sequences = 0, mauvais = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (oct(s[i]) < 0x80) {
            ++i;
        } else if (std::size_t n = sequenceUtf8(s, i)) {
            ++sequences;
            i += n;
        } else {
            ++mauvais;
            ++i;
        }
    }
    invalides = 0;
    if (sequences <= mauvais) return std::string(s);
    std::string propre;
    propre.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = oct(s[i]) < 0x80 ? 1 : sequenceUtf8(s, i);
        if (n) {
            propre.append(s.substr(i, n));
            i += n;
        } else {
            propre += '?';
            ++i;
        }
    }
    invalides = mauvais;
    return utf8VersCp1252(propre);
}

}  // namespace

std::string texteImporte(std::string_view contenu, std::string_view nomFichier, std::int32_t* octetsInvalides) {
    if (octetsInvalides) *octetsInvalides = 0;
    std::string extension;
    const auto point = nomFichier.find_last_of('.');
    const auto separateur = nomFichier.find_last_of("/\\:");
    if (point != std::string_view::npos && (separateur == std::string_view::npos || point > separateur))
        for (char c : nomFichier.substr(point)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (contenu.substr(0, 3) == "\xEF\xBB\xBF") contenu.remove_prefix(3);
    if (extension == ".rtf" || (extension != ".txt" && estRtf(contenu))) return rtfverstexte(joinsLignes(contenu));
    std::int32_t invalides = 0;
    std::string texte = joinsLignes(decodeTexte(contenu, invalides));
    if (octetsInvalides) *octetsInvalides = invalides;
    return texte;
}

}  // namespace dotavob
