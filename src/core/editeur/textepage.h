// The page shown as a screen reader reads it: one text for the print page,
// one for the Braille page (Unicode braille), the lines of the page joined
// by line ends, and the way between document positions and offsets in that
// text. Only the lines of the page are read, whatever the document's length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/braille/unicode.h"
#include "core/editeur/lignespage.h"

namespace dotavob {

struct TextePage {
    // A run of text that stands for the bytes debut..fin (a print unit with
    // its hidden prefixes, or one cell).
    struct Unite {
        std::int32_t debut = 0, fin = 0;
        std::int32_t decalage = 0, longueur = 0;  // where it stands in texte, in characters
    };
    struct Ligne {
        std::int32_t debut = 0;     // position of its first byte
        std::int32_t finLigne = 0;  // position of the byte that ends it (just past its text)
        std::int32_t decalage = 0;  // offset of its first character
        std::int32_t longueur = 0;  // its characters, without the line end
        bool finParagraphe = true;  // it ends its paragraph (not a line end inside one)
        std::vector<Unite> unites;
    };
    std::u32string texte;
    std::vector<Ligne> lignes;
};

// The print page: what a sighted user reads, line by line.
TextePage texteNoir(const std::vector<LignePage>& lignes);
// The Braille page: each byte of each line as its cell.
TextePage texteBraille(const std::vector<LignePage>& lignes);

// The offset at which a caret standing at `position` stands: before the
// unit that holds it. Before the page: 0; past it: the text's length.
std::int32_t decalageDe(const TextePage& t, std::int32_t position);
// The selection debut..fin (inclusive positions) as offsets [premier, dernier).
struct Etendue {
    std::int32_t premier = 0, dernier = 0;
};
Etendue etendueDe(const TextePage& t, std::int32_t debut, std::int32_t fin);
// The position a caret put at `decalage` goes to: the start of the unit
// there, or the end of the line.
std::int32_t positionDe(const TextePage& t, std::int32_t decalage);

// What a screen reader asks of a page's text: the character, word,
// sentence, line or paragraph at an offset, or the one before or after it.
// The text is cut into pieces that follow each other without a gap:
// - a character is one character;
// - a word is a run of letters and digits (or of cells that are not blank),
//   an apostrophe between two of them included ("l'été"); between words,
//   each run of blanks is a piece, each line end and each other sign is one
//   (as Qt's own text boundaries cut them: "(oui)" is "(", "oui", ")");
// - a sentence runs to the blanks after its final ".", "!", "?" or "…"
//   (or the cells of these signs) or to the end of its paragraph, both included;
// - a line runs to its line end, included; a paragraph to the line end that
//   closes it. A page that ends with a line end has an empty last line.
// The piece "at" an offset holds it; at the end of the text it is the last
// piece (an empty one for a character). Before the first piece and after the
// last there is nothing: an empty piece at 0 or at the text's length.
enum class Frontiere { Caractere, Mot, Phrase, Ligne, Paragraphe };
enum class Cote { Avant, A, Apres };
struct Morceau {
    std::int32_t debut = 0, fin = 0;  // [debut, fin)
    bool operator==(const Morceau&) const = default;
};
Morceau morceau(const TextePage& t, std::int32_t decalage, Frontiere f, Cote c);

// What changed between two texts: at `decalage`, `ote` became `ajoute`.
struct Difference {
    std::int32_t decalage = 0;
    std::u32string ote, ajoute;
};
Difference difference(const std::u32string& avant, const std::u32string& apres);

}  // namespace dotavob
