// What the user chose to see on the pages. The main window owns one value;
// the pages and their strips read it.
#pragma once

namespace dotavob {

struct OptionsAffichage {
    bool pointsGris = false;               // the dots a cell lacks, in grey (Braille page)
    bool cadresCellules = false;           // a frame around each cell (Braille page)
    bool sautsPageVisibles = false;        // a dashed line after a page break
    bool sautsParagrapheVisibles = false;  // a return arrow after a paragraph end
    bool espacesVisibles = false;          // blank cells and spaces shaded
};

}  // namespace dotavob
