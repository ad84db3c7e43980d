// Where the print preview puts its sheet in the window, and the pages on a
// sheet (on screen and on paper alike): pure numbers, tested without pixels.
#pragma once

#include <cstdint>
#include <optional>

namespace dotavob {

struct RectangleApercu {
    std::int32_t x = 0, y = 0, largeur = 0, hauteur = 0;
    bool operator==(const RectangleApercu&) const = default;
};

// The sheet in a panel of this size: an A-series proportion, as large as
// fits inside a 5-pixel border, centred along its free direction.
RectangleApercu placeFeuille(std::int32_t largeurPanneau, std::int32_t hauteurPanneau, bool paysage);

// The pages shown on a sheet of width W and height H, and the line between
// two pages side by side (x, from y1 to y2).
struct PagesFeuille {
    std::optional<RectangleApercu> noir, braille;
    std::optional<RectangleApercu> separateur;  // largeur 0: a vertical line
};
PagesFeuille placePages(std::int32_t W, std::int32_t H, bool paysage, bool noir, bool braille);

}  // namespace dotavob
