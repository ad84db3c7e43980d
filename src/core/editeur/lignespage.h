// The lines of the page on screen, as both page views draw them: their
// bytes, their centring or indentation, and their reading in print.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/noir/noir.h"

namespace dotavob {

class DocumentBraille;
class EditeurBraille;

struct LignePage {
    std::int32_t numero = 0;   // line number in the document
    std::int32_t debut = 0;    // position of its first byte
    std::string texte;         // its bytes, without the structure byte that ends it
    std::uint8_t finLigne = 0; // CR, LF, VT or FF; 0 at the end of the text
    bool centre = false;       // in a centred paragraph
    std::uint8_t retrait = 0;  // indentation in cells (indented paragraph)
    LigneNoire noire;          // its reading in print
};

// From the first line of the page shown, at most text-lines-per-page lines;
// the page ends early at a page break or at the end of the text. The reading
// in print is made only when asked for (the Braille page does not need it).
std::vector<LignePage> lignesAffichees(const EditeurBraille& e, bool signesModificateurs, bool enNoir = true);

// One line of the document, as the page views draw it.
LignePage lignePage(const DocumentBraille& d, std::int32_t numero, bool signesModificateurs, bool enNoir = true);

// The blank cells before the line that starts at `debut` and holds
// `longueur` cells: the centring of a centred paragraph (never below 0), or
// the indentation of an indented one. The page, its caret and the mouse share it.
std::int32_t decalageLigne(const DocumentBraille& d, std::int32_t debut, std::int32_t longueur);

// The lines of a text that stands alone (a header or footer strip).
LignePage ligneSeule(const std::string& texte, bool signesModificateurs);

}  // namespace dotavob
