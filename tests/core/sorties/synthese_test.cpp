#include "core/sorties/synthese.h"

#include <gtest/gtest.h>

using namespace dotavob;

TEST(Synthese, VolumeEtVitesseDesCurseurs) {
    const struct { int position, volume, vitesse; } cas[] = {{0, 0, -10}, {64, 25, -5}, {127, 50, 0}, {128, 50, 0}, {255, 100, 10}};
    for (const auto& c : cas)
        EXPECT_EQ(std::pair(volumeSynthese(c.position), vitesseSynthese(c.position)), std::pair(c.volume, c.vitesse))
            << c.position;
}

TEST(Synthese, NomDesVoix) {
    const struct { const char* nom; const char* affiche; } cas[] = {
        {"Microsoft Server Speech Text to Speech Voice (fr-FR, Hortense)", " (fr-FR, Hortense)"},
        {"A Microsoft Server Speech Text to Speech Voice B Microsoft Server Speech Text to Speech Voice", "A  B "},
        {"flite kal16", "flite kal16"},
        {"Microsoft Server Speech Text to Speech", "Microsoft Server Speech Text to Speech"},
    };
    for (const auto& c : cas) EXPECT_EQ(nomVoixAffiche(c.nom), c.affiche) << c.nom;
}
