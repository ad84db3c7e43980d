// Where cells and dots stand on the Braille page, in pixels: pure numbers,
// so that the painter and the mouse agree and tests need no pixels.
#pragma once

#include <cstdint>

namespace dotavob {

struct GeometrieBraille {
    std::int32_t largeurPage = 0, hauteurPage = 0;
    std::int32_t hauteurLigne = 1;  // the print view's line height: the cells' height follows it
    std::int32_t pasLigne = 1;      // the print view's line pitch: lines stand level on both pages
    std::int32_t margeHaut = 0;
    std::int32_t largeurCellule = 0, ecart = 0, pas = 1, taillePoint = 0, hauteurCellule = 0;
    std::int32_t colonnesPoints[2] = {0, 0};
    std::int32_t lignesPoints[3] = {0, 0, 0};

    // The page of this height, for cpl cells per line. The pitch is the line
    // height with single spacing (0), twice it with double spacing. However
    // small the page, a cell keeps room for its six dots.
    static GeometrieBraille calcule(std::int32_t hauteurPage, std::int32_t cpl, std::int32_t hauteurLigne,
                                    std::int32_t margeHaut, std::int32_t pasLigne = 0);
    // Left edge of cell n (0-based) and top of row k (0-based) of the page.
    std::int32_t xCellule(std::int32_t n) const { return pas * (n + 1); }
    std::int32_t yLigne(std::int32_t k) const { return margeHaut + k * pasLigne; }
    // The dots' columns and rows inside a cell, from its size and the dots'.
    void placePoints();
    // Offset of the dot of bit b (0..5) of a cell value inside the cell.
    void positionPoint(int bit, std::int32_t& dx, std::int32_t& dy) const;
};

}  // namespace dotavob
