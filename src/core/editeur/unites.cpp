#include "core/editeur/unites.h"

#include <algorithm>

#include "core/braille/codes.h"
#include "core/document/document.h"

namespace dotavob {

bool prefixeCache(const DocumentBraille& d, std::int32_t i) {
    const Octet k = codePrefixe(d.octet(i));
    if (k == AUCUNE_CELLULE || i < 1) return false;
    if (k == 1 || k == 3 || k == 5 || k == 7) return true;
    return i < d.longueur() && estSigneSpecial(d.octet(i + 1));
}

bool signeDouble(const DocumentBraille& d, std::int32_t i) {
    if (i < 1 || i >= d.longueur()) return false;
    const char deux[2] = {static_cast<char>(d.octet(i)), static_cast<char>(d.octet(i + 1))};
    return estDebutSigneDouble(1, std::string_view(deux, 2));
}

bool suite(const DocumentBraille& d, std::int32_t p, std::string_view octets) {
    if (p < 1 || p + static_cast<std::int32_t>(octets.size()) - 1 > d.longueur()) return false;
    for (std::size_t k = 0; k < octets.size(); ++k)
        if (d.octet(p + static_cast<std::int32_t>(k)) != oct(octets[k])) return false;
    return true;
}

// Length of per mille and of the superscript endings that the caret jumps.
std::int32_t longueurUniteSimple(const DocumentBraille& d, std::int32_t p) {
    if (suite(d, p, POUR_MILLE) || suite(d, p, "^me") || suite(d, p, "^re") || suite(d, p, "^er")) return 3;
    if (suite(d, p, "^e") || suite(d, p, "^\xEE")) return 2;
    return 1;
}

std::int32_t positionGauche(const DocumentBraille& d, std::int32_t p) {
    while (p > 1) {
        std::int32_t q = p - 1;
        // A prefix and its sign, or a base-first sign, are stepped over whole.
        if (q > 1 && (prefixeCache(d, q - 1) || signeDouble(d, q - 1))) {
            p = q;
            continue;
        }
        if (p > 3 && longueurUniteSimple(d, p - 3) == 3)
            q = p - 3;
        else if (p > 2 && longueurUniteSimple(d, p - 2) == 2)
            q = p - 2;
        // Prefixes before a sign of several bytes belong to it too.
        while (q > 1 && prefixeCache(d, q - 1)) --q;
        return q;
    }
    return p;
}

std::int32_t positionDroite(const DocumentBraille& d, std::int32_t p) {
    const std::int32_t len = d.longueur();
    if (p > len) return p;
    // Prefixes in a row (two capital signs, emphasis then capital) all belong
    // to the sign after them, which may itself take several bytes.
    std::int32_t r = p;
    while (r <= len && prefixeCache(d, r)) ++r;
    if (r > len) return len + 1;
    const std::int32_t unite = longueurUniteSimple(d, r) > 1 ? longueurUniteSimple(d, r) : signeDouble(d, r) ? 2 : 1;
    return std::min(r + unite, len + 1);
}

std::int32_t debutUnite(const DocumentBraille& d, std::int32_t p) {
    for (bool change = true; change;) {
        change = false;
        if (p > 1 && (prefixeCache(d, p - 1) || signeDouble(d, p - 1))) {
            --p;
            change = true;
            continue;
        }
        for (std::int32_t debut = p - 1; debut >= std::max(1, p - 2); --debut)
            if (longueurUniteSimple(d, debut) > p - debut) {
                p = debut;
                change = true;
                break;
            }
    }
    return p;
}

}  // namespace dotavob
