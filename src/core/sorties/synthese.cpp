#include "core/sorties/synthese.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/braille/codes.h"

namespace dotavob {

int volumeSynthese(int position) {
    return std::clamp(arrondi(position / double(VOLUME_MAX) * 100), 0, 100);
}

int vitesseSynthese(int position) {
    const int milieu = VITESSE_DEFAUT;
    return std::clamp(arrondi((position - milieu) / double(milieu) * 10), -10, 10);
}

std::string nomVoixAffiche(std::string nom) {
    constexpr std::string_view produit = "Microsoft Server Speech Text to Speech Voice";
    for (auto i = nom.find(produit); i != std::string::npos; i = nom.find(produit, i)) nom.erase(i, produit.size());
    return nom;
}

}  // namespace dotavob
