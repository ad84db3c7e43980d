// The page format of a document: what the page-format and indentation
// dialogs hold, and the three settings derived from it that the editor, the
// print view, the transcription and the embosser read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dotavob {

enum class Alignement : std::uint8_t { Gauche, Centre, Droite };

// A running header or footer.
struct Bande {
    bool active = false;
    std::string texte;                          // print template, "[P]" and "[T]" included
    Alignement alignement = Alignement::Droite;
    std::int32_t premierePage = 2;              // 1..100
    bool operator==(const Bande&) const = default;
};

// What the settings store keeps of a page format; a value it lacks is absent.
struct FormatStocke {
    std::optional<std::int32_t> version, lignes, caracteres, indentation;
    std::optional<bool> interligneDouble, entete, pied;
};

struct FormatPage {
    // The dialogs' controls, always within their ranges.
    std::int32_t lignes = 28;       // lines per page, 10..60
    std::int32_t caracteres = 31;   // characters per line, 10..50
    std::uint8_t indentation = 2;   // what a new indented paragraph takes, 0..5
    bool interligneDouble = false;
    Bande entete{true, "[P]", Alignement::Droite, 2};
    Bande pied;

    // The derived settings (start values until the first derivation).
    std::uint8_t cpl = 30;
    std::uint8_t lignesParPage = 28;
    std::uint8_t nbLignesTexte = 28;

    // Assignments clamp as the spin boxes do.
    void setLignes(std::int32_t v);
    void setCaracteres(std::int32_t v);
    void setIndentation(std::int32_t v);
    void setPremierePage(Bande& b, std::int32_t v);
    // Ticking "Interligne double" halves the lines; unticking doubles them.
    void basculeInterligne(bool coche);
    // cpl, lines per page and text lines per page from the controls.
    void derive();

    // The Braille text of the header or the footer for a page.
    std::string texteentete(std::int32_t page, std::int32_t nbPages) const;
    std::string textepied(std::int32_t page, std::int32_t nbPages) const;

    bool operator==(const FormatPage&) const = default;
};

// The stored format, or the first-start defaults; values the store lacks
// take the defaults.
FormatPage chargeformat(const std::optional<FormatStocke>& stocke);
// The format of a document that carries none.
void formatdefaut(FormatPage& f);
// What the settings store keeps after OK in the page-format dialog.
FormatStocke formatAStocker(const FormatPage& f);

// "[P]" and "[T]" (either letter case) replaced by the numbers.
std::string remplaceNumeros(std::string modele, std::int32_t page, std::int32_t nbPages);

}  // namespace dotavob
