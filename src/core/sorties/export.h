// The whole document as text: Braille ASCII in "Code US" (North American
// Braille ASCII, what a .brf file holds) or "Code Français" (the cell
// bytes), or Unicode braille in UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dotavob {

// The byte a cell byte becomes in "Code US" or "Code Français". A byte with
// no cell counts by its low six bits: the full cell.
std::uint8_t octetBraille(std::uint8_t b, bool codeFrancais);

class TgestionnaireMarqueurs;

// Turned ranges come out reversed within each line with every cell turned;
// CR, LF and VT become CR LF; FF stays alone.
std::string Exporte(std::string_view texte, const TgestionnaireMarqueurs& marqueurs, bool codeFrancais);
// The same lines, each cell as its Unicode braille character (a byte with no
// cell: the full cell, U+283F).
std::string ExporteUnicode(std::string_view texte, const TgestionnaireMarqueurs& marqueurs);
// Positions debut..fin (1-based, inclusive) of the text the same way, the
// turned ranges cut to that stretch: a selection copied as Unicode braille.
// With `paragraphes`, lines end only at paragraph ends and page breaks (the
// wrap's line ends read as blanks, its cuts as nothing): what a paste here
// wraps again as it was.
std::string ExporteUnicodeExtrait(std::string_view texte, const TgestionnaireMarqueurs& marqueurs, std::int32_t debut,
                                  std::int32_t fin, bool paragraphes = false);

}  // namespace dotavob
