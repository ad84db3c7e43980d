#include "core/sorties/export.h"

#include <algorithm>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/document/marqueurs.h"

namespace dotavob {
namespace {

// The text as it is read: turned ranges reversed line by line, every cell turned.
std::string texteLu(std::string_view texte, const TgestionnaireMarqueurs& marqueurs) {
    std::string source;
    source.reserve(texte.size());
    std::string tourne;  // the turned bytes of the current line, in reading order
    bool dansTourne = false;
    auto vide = [&] {
        source.append(tourne.rbegin(), tourne.rend());
        tourne.clear();
    };
    const auto n = static_cast<std::int32_t>(texte.size());
    for (std::int32_t i = 1; i <= n; ++i) {
        const Octet c = oct(texte[static_cast<std::size_t>(i - 1)]);
        if (dansTourne && marqueurs.FinRetourne(i)) {
            vide();
            dansTourne = false;
        }
        if (!dansTourne && marqueurs.DebutRetourne(i)) dansTourne = true;
        if (!dansTourne) {
            source += static_cast<char>(c);
        } else if (estFinDeLigne(c)) {
            // A line end, page break included, ends the turned stretch of its line.
            vide();
            source += static_cast<char>(c);
        } else {
            tourne += static_cast<char>(retourneCaractere(c));
        }
    }
    vide();
    return source;
}

// Every export ends lines alike: CR, LF and VT become CR LF, FF stays alone.
// With `paragraphes`, only paragraph ends and page breaks end lines: a line
// the wrap ended (LF) reads as the blank cell it stands for, a cut in a word
// (VT) as nothing, so that the text can be wrapped again elsewhere.
template <typename Cellule>
std::string exporte(std::string_view texte, const TgestionnaireMarqueurs& marqueurs, std::size_t parCellule,
                    Cellule ajouteCellule, bool paragraphes = false) {
    const std::string source = texteLu(texte, marqueurs);
    std::string sortie;
    sortie.reserve(source.size() * parCellule + source.size() / 16);
    for (char ch : source) {
        const Octet b = oct(ch);
        if (b == FF)
            sortie += '\f';
        else if (paragraphes && b == LF)
            ajouteCellule(sortie, ' ');
        else if (paragraphes && b == VT)
            continue;
        else if (estFinDeLigne(b))
            sortie += "\r\n";
        else
            ajouteCellule(sortie, b);
    }
    return sortie;
}

}  // namespace

std::string Exporte(std::string_view texte, const TgestionnaireMarqueurs& marqueurs, bool codeFrancais) {
    return exporte(texte, marqueurs, 1,
                   [codeFrancais](std::string& s, Octet b) { s += static_cast<char>(octetBraille(b, codeFrancais)); });
}

std::string ExporteUnicode(std::string_view texte, const TgestionnaireMarqueurs& marqueurs) {
    return exporte(texte, marqueurs, 3, [](std::string& s, Octet b) { ajouteUtf8(s, brailleUnicode(b)); });
}

std::string ExporteUnicodeExtrait(std::string_view texte, const TgestionnaireMarqueurs& marqueurs, std::int32_t debut,
                                  std::int32_t fin, bool paragraphes) {
    debut = std::max(debut, 1);
    fin = std::min(fin, static_cast<std::int32_t>(texte.size()));
    if (fin < debut) return {};
    TgestionnaireMarqueurs tournes;
    for (const Marqueur& m : marqueurs.liste())
        if (m.kind == MARQUEUR_RETOURNE && m.start <= fin && m.end >= debut)
            tournes.ajouteBrut({std::max(m.start, debut) - debut + 1, std::min(m.end, fin) - debut + 1, MARQUEUR_RETOURNE, 0});
    return exporte(texte.substr(static_cast<std::size_t>(debut - 1), static_cast<std::size_t>(fin - debut + 1)), tournes,
                   3, [](std::string& s, Octet b) { ajouteUtf8(s, brailleUnicode(b)); }, paragraphes);
}

std::uint8_t octetBraille(std::uint8_t b, bool codeFrancais) {
    if (!codeFrancais) return caractereUS(cellule(b));
    return cellule(b) == AUCUNE_CELLULE ? caractere(AUCUNE_CELLULE) : b;
}

}  // namespace dotavob
