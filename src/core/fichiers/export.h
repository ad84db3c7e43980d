// Braille ASCII export: the whole document as 8-bit Braille text, in "Code
// US" (North American Braille ASCII) or "Code Français" (the cell bytes).
#pragma once

#include <string>
#include <string_view>

namespace dotavob {

class TgestionnaireMarqueurs;

// Turned ranges come out reversed within each line with every cell turned;
// CR, LF and VT become CR LF; FF stays alone.
std::string Exporte(std::string_view texte, const TgestionnaireMarqueurs& marqueurs, bool codeFrancais);

}  // namespace dotavob
