#include "core/editeur/apercu.h"

#include <algorithm>
#include <cmath>

#include "core/braille/codes.h"

namespace dotavob {

namespace {

constexpr double PROPORTION = 1.4143;  // height over width of a portrait sheet
constexpr std::int32_t BORD = 5;
constexpr double MARGE = 0.05;

}  // namespace

RectangleApercu placeFeuille(std::int32_t largeurPanneau, std::int32_t hauteurPanneau, bool paysage) {
    const std::int32_t w = std::max(0, largeurPanneau - 2 * BORD), h = std::max(0, hauteurPanneau - 2 * BORD);
    const double r = paysage ? 1.0 / PROPORTION : PROPORTION;
    RectangleApercu f;
    if (h <= w * r) {
        f.hauteur = h;
        f.largeur = arrondi(h / r);
        f.y = BORD;
        f.x = (largeurPanneau - f.largeur) / 2;
    } else {
        f.largeur = w;
        f.hauteur = arrondi(w * r);
        f.x = BORD;
        f.y = (hauteurPanneau - f.hauteur) / 2;
    }
    return f;
}

PagesFeuille placePages(std::int32_t W, std::int32_t H, bool paysage, bool noir, bool braille) {
    PagesFeuille r;
    if (!noir && !braille) return r;
    const std::int32_t mx = arrondi(W * MARGE), my = arrondi(H * MARGE);
    const std::int32_t mx2 = arrondi(W / 2.0 * MARGE), my2 = arrondi(H / 2.0 * MARGE);
    if (noir != braille) {
        const RectangleApercu seule =
            paysage ? RectangleApercu{W / 4, my, W / 2, H - 2 * my} : RectangleApercu{mx, my, W - 2 * mx, H - 2 * my};
        (noir ? r.noir : r.braille) = seule;
        return r;
    }
    // Side by side: in portrait both stand in the sheet's top half.
    const std::int32_t haut = paysage ? my : my2;
    const std::int32_t hauteur = paysage ? H - 2 * my : H / 2 - 2 * my2;
    r.noir = RectangleApercu{mx2, haut, W / 2 - 2 * mx2, hauteur};
    r.braille = RectangleApercu{W / 2 + mx2, haut, W / 2 - 2 * mx2, hauteur};
    r.separateur = RectangleApercu{W / 2, haut, 0, hauteur};
    return r;
}

}  // namespace dotavob
