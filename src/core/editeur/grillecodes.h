// The code chooser ("Choix d'un code"): the grid of the 64 cells in five
// columns of thirteen, where its cells and dots stand, which cell lies under
// the pointer, and the labels of print signs with what each inserts and what
// its preview shows. Pure numbers and bytes: the dialog only paints them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/braille/codes.h"
#include "core/editeur/geometrie.h"

namespace dotavob {

constexpr int COLONNES_GRILLE = 5, RANGS_GRILLE = 13;

// A cell of the grid by column (0..4) and row (0..12); -1 when none.
struct CaseGrille {
    int colonne = -1, rang = -1;
    bool valide() const { return colonne >= 0 && rang >= 0; }
    bool operator==(const CaseGrille&) const = default;
};

struct Rectangle {
    std::int32_t x = 0, y = 0, largeur = 0, hauteur = 0;
    bool operator==(const Rectangle&) const = default;
};

// The dot colours of the grid: the lower cells (row 0), the letters a..j
// (column 0), the last two rows, and every other cell.
enum class CouleurPoints { Bleu, Rouge, Vert, Noir };

struct GrilleCodes {
    std::int32_t A = 0, B = 0;    // cell width and height
    std::int32_t My = 0, Mx = 0;  // top and left margins
    std::int32_t Gy = 0, Gx = 0;  // gaps between rows and between columns
    std::int32_t d = 0;           // dot diameter
    std::int32_t hauteurFonte = 0;   // pixel height of the grid's and the preview's font
    std::int32_t hauteurApercu = 0;  // height of the preview box

    // The metrics for a grid this many pixels wide.
    static GrilleCodes calcule(std::int32_t largeur);

    std::int32_t xColonne(int colonne) const { return (A + Gx) * colonne + Mx; }
    // The first row stands apart, and so do the last two.
    std::int32_t yRang(int rang) const;
    // The cell under (x, y): a cell, or none (-1) over a gap or outside the
    // grid; nullopt where the pointer changes nothing (the empty cells of
    // row 0 in columns 0 and 4, right of the last column).
    std::optional<CaseGrille> caseSous(std::int32_t x, std::int32_t y) const;
    // The box left of a cell that shows its character, large.
    Rectangle boiteCaractere(CaseGrille c) const;
    // The two lines that set apart the first row and the last two.
    std::int32_t ySeparation(int k) const { return k == 0 ? My + B + Gy : My + 11 * B + 12 * Gy; }
    // One cell as the Braille views draw it: A x B, dots of diameter d.
    GeometrieBraille geometrieCellule() const;

    // The preview of n cells: its width, and where its k-th cell stands.
    std::int32_t largeurApercu(int n) const { return n * (Gy / 2 + A) + A / 2 - Gy / 2; }
    std::int32_t xApercu(int k) const { return k * (Gy / 2 + A) + A / 4; }
    std::int32_t yApercu() const { return B / 4; }
};

Octet celluleGrille(CaseGrille c);
CouleurPoints couleurPoints(CaseGrille c);
// The byte inserted for a chosen cell. The prefix cells and the cell of dots
// 3 4 5 6 take bytes of their own: their table bytes would be read as a
// prefix or a digit.
Octet octetDeCellule(Octet cellule);
// The dots of a cell as digits, "1 2 5" (empty for the blank cell).
std::string pointsDe(Octet cellule);
// An arrow key from a cell (none: the first letter); the grid's edges and
// its two empty cells stop the move.
CaseGrille deplaceCase(CaseGrille depuis, int dColonne, int dRang);

// A print sign of the "Noir" page. Texts shown are UTF-8; what is inserted
// and previewed are code page 1252 bytes.
struct EtiquetteCode {
    int ligne = 1, place = 0;  // line 1..7, slot in the line
    int tag = 0;
    std::string legende;       // the sign shown
    std::string insere;        // typed, byte by byte, through insereCaractere
    std::string apercu;        // bytes whose cells the preview shows
    std::string nom;           // what a screen reader says
    int taille = 23;           // pixel size of its font
    bool times = false;        // drawn in Times New Roman, not Arial
    std::string support;       // a grey glyph before a superscript (no action)
};
const std::vector<EtiquetteCode>& etiquettesCodes();
// The sign an arrow key goes to from sign i (an index of etiquettesCodes()):
// Left and Right the one before or after it in reading order, Up and Down
// the nearest one on the line above or below. At an edge it stays.
std::size_t etiquetteVoisine(std::size_t i, int dPlace, int dLigne);

// A descriptive caption under one sign or more (largeur: the slots it spans).
struct LegendeCode {
    int ligne = 1, place = 0, largeur = 1;
    std::string texte;  // UTF-8
};
const std::vector<LegendeCode>& legendesCodes();

}  // namespace dotavob
