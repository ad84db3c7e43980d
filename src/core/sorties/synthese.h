// What the speech settings send to a voice: the sliders' positions as the
// voice's volume and rate, and a voice's name as the list shows it.
#pragma once

#include <string>

namespace dotavob {

// The sliders' ranges and their original positions.
constexpr int VOLUME_MAX = 255, VOLUME_DEFAUT = 255;
constexpr int VITESSE_MAX = 255, VITESSE_DEFAUT = 127;
constexpr int HAUTEUR_MIN = -10, HAUTEUR_MAX = 10, HAUTEUR_DEFAUT = 0;
constexpr int LECTURE_MAX = 50, LECTURE_DEFAUT = 50;

// Volume position 0..255 -> percent 0..100, rounded half to even.
int volumeSynthese(int position);
// Speed position 0..255 -> rate -10..10 (127 is the voice's own rate).
int vitesseSynthese(int position);
// The name without the engine's long product text, wherever it stands.
std::string nomVoixAffiche(std::string nom);

}  // namespace dotavob
