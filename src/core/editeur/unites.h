// The units the caret never splits: a prefix and the sign it belongs to,
// base-first two-cell signs, per mille and superscript endings.
#pragma once

#include <cstdint>
#include <string_view>

namespace dotavob {

class DocumentBraille;

constexpr std::string_view POUR_MILLE = "\xB4\xF3\xF3";
constexpr std::string_view EME = "^\xE8me";

// A prefix at i that belongs to the sign after it (it is not drawn alone).
bool prefixeCache(const DocumentBraille& d, std::int32_t i);
// The start of a base-first two-cell sign at i.
bool signeDouble(const DocumentBraille& d, std::int32_t i);
// These bytes stand at p.
bool suite(const DocumentBraille& d, std::int32_t p, std::string_view octets);
// Length of per mille or of a superscript ending at p, else 1.
std::int32_t longueurUniteSimple(const DocumentBraille& d, std::int32_t p);

// Where the caret may stand left and right of p, and the start of the unit
// that holds p.
std::int32_t positionGauche(const DocumentBraille& d, std::int32_t p);
std::int32_t positionDroite(const DocumentBraille& d, std::int32_t p);
std::int32_t debutUnite(const DocumentBraille& d, std::int32_t p);

}  // namespace dotavob
