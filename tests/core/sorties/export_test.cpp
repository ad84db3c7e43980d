#include "core/sorties/export.h"

#include <gtest/gtest.h>

#include <random>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/document/marqueurs.h"

using namespace dotavob;

TEST(Export, Octets) {
    TgestionnaireMarqueurs aucun;
    const struct { const char* texte; bool fr; const char* sortie; } cas[] = {
        {"", false, ""},           {"ab\ncd", false, "ab\r\ncd"}, {"ab\vcd\rx", true, "ab\r\ncd\r\nx"},
        {"a\fb", false, "a\fb"},   {"\xE9", false, "="},          {"\xE9", true, "\xE9"},
        {"\xC9", false, "="},      // a byte with no cell: the full cell, in both codes
        {"a5\xFF\x90" "b", true, "a\xE9\xE9\xE9" "b"},
    };
    for (auto [texte, fr, sortie] : cas) EXPECT_EQ(Exporte(texte, aucun, fr), sortie) << texte;
}

TEST(Export, PlagesRetournees) {
    // Turned from a to e: each line's stretch reversed on its own.
    TgestionnaireMarqueurs m;
    m.ajouteBrut({2, 7, MARQUEUR_RETOURNE, 0});
    EXPECT_EQ(Exporte("xabc\ndey", m, true), "x" + retourneChaine("abc") + "\r\n" + retourneChaine("de") + "y");
    // A page break inside a turned range ends the turned stretch of its page.
    TgestionnaireMarqueurs p;
    p.ajouteBrut({1, 4, MARQUEUR_RETOURNE, 0});
    EXPECT_EQ(Exporte("ab\fcd", p, true), retourneChaine("ab") + "\f" + retourneChaine("c") + "d");
}

TEST(Export, BrailleUnicodeAuxMemesLignesQueLeCodeFrancais) {
    TgestionnaireMarqueurs aucun;
    EXPECT_EQ(ExporteUnicode("ab\ncd\vx\ry\fz", aucun), "⠁⠃\r\n⠉⠙\r\n⠭\r\n⠽\f⠵");
    EXPECT_EQ(ExporteUnicode("\xC9", aucun), "⠿");
    // On any text and turned range, the cells are those of the Code Français export, line for line.
    std::mt19937 alea(3);
    const std::string fins = "\r\n\v\f";
    for (int tour = 0; tour < 150; ++tour) {
        std::string t;
        for (auto n = alea() % 60; n > 0; --n)
            t += alea() % 8 == 0 ? fins[alea() % fins.size()] : static_cast<char>(tableCode()[alea() % 64]);
        TgestionnaireMarqueurs m;
        if (t.size() > 1) {
            const auto debut = static_cast<std::int32_t>(1 + alea() % t.size());
            m.ajouteBrut({debut, std::min<std::int32_t>(static_cast<std::int32_t>(t.size()), debut + static_cast<std::int32_t>(alea() % 20)),
                          MARQUEUR_RETOURNE, 0});
        }
        std::string attendu = Exporte(t, m, true);
        std::erase(attendu, '\n');  // CR LF: one line end
        ASSERT_EQ(brailleUnicodeVersOctets(ExporteUnicode(t, m)), attendu) << t;
    }
}

