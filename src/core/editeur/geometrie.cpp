#include "core/editeur/geometrie.h"

#include <algorithm>
#include <cmath>

#include "core/braille/codes.h"

namespace dotavob {
GeometrieBraille GeometrieBraille::calcule(std::int32_t hauteurPage, std::int32_t cpl, std::int32_t hauteurLigne,
                                           std::int32_t margeHaut, std::int32_t pasLigne) {
    GeometrieBraille g;
    g.hauteurPage = hauteurPage;
    g.largeurPage = hauteurPage * 210 / 297;
    g.hauteurLigne = hauteurLigne > 0 ? hauteurLigne : 1;
    g.pasLigne = pasLigne > 0 ? pasLigne : g.hauteurLigne;
    g.margeHaut = margeHaut;
    auto largeur = [&g](std::int32_t cellule) {
        g.largeurCellule = cellule;
        g.ecart = std::max(1, arrondi(g.largeurCellule * 0.5625));
        g.pas = g.largeurCellule + g.ecart;
    };
    largeur(std::max(2, arrondi((g.largeurPage / std::max(1, cpl + 2)) * 0.64)));
    // Rounded up, a full line could pass the page's right edge and lose the
    // right column of dots of its last cell: the cells are then narrower.
    while (g.largeurCellule > 2 && g.pas * std::max(1, cpl) + g.largeurCellule > g.largeurPage)
        largeur(g.largeurCellule - 1);
    // Dots that three to a column would not fit the line's height (a page of
    // few wide cells and many lines) are made smaller: a cell stays in its line.
    g.taillePoint = std::max(1, std::min(arrondi(g.largeurCellule * 0.375), g.hauteurLigne / 3));
    g.hauteurCellule = std::max(3 * g.taillePoint, arrondi(g.hauteurLigne * 0.65));
    g.placePoints();
    return g;
}

void GeometrieBraille::placePoints() {
    colonnesPoints[0] = 0;
    colonnesPoints[1] = largeurCellule - taillePoint;
    lignesPoints[0] = 0;
    lignesPoints[1] = (hauteurCellule - taillePoint) / 2;
    lignesPoints[2] = hauteurCellule - taillePoint;
}

void GeometrieBraille::positionPoint(int bit, std::int32_t& dx, std::int32_t& dy) const {
    // Bits 3 4 5 are dots 1 2 3 (left column, top down); bits 2 1 0 are dots 4 5 6.
    const bool gauche = bit >= 3;
    dx = colonnesPoints[gauche ? 0 : 1];
    dy = lignesPoints[gauche ? bit - 3 : 2 - bit];
}

}  // namespace dotavob
