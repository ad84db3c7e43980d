// Unicode braille: a cell as its character of the braille patterns block,
// U+2800 plus the dots (dot n is bit n - 1), and back. What the Braille page
// says to a screen reader, the Unicode export and the paste of braille
// characters all go through here.
#pragma once

#include <string>
#include <string_view>

#include "core/braille/codes.h"

namespace dotavob {

constexpr char32_t BRAILLE_UNICODE = 0x2800;          // the blank cell
constexpr char32_t DERNIERE_CELLULE_SIX_POINTS = 0x283F;  // past it, dots 7 and 8

// The cell of a byte; a byte with no cell is the full cell, as the export writes it.
char32_t brailleUnicode(Octet octet);
// The byte of a six-dot pattern; -1 for any other character.
int octetDeBrailleUnicode(char32_t c);

// Is this UTF-8 text braille cells and nothing else: six-dot patterns, with
// spaces, line ends (CR, LF, CR LF) and page breaks (FF) between them, and at
// least one cell? Malformed UTF-8 is not.
bool estBrailleUnicode(std::string_view utf8);
// Its cell bytes: each pattern its byte, a space the blank cell, a line end
// a paragraph end (CR), a page break FF. Any other character is left out.
std::string brailleUnicodeVersOctets(std::string_view utf8);

}  // namespace dotavob
