// Reading Braille back into print, one line at a time: which cells are
// hidden, which become capitals, digits, signs or superscripts. The print
// view paints these pieces; the clipboard concatenates them, so both always
// agree on what a stretch of Braille says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dotavob {

class TgestionnaireMarqueurs;

enum StyleNoir : std::uint8_t {
    STYLE_NORMAL = 0,
    STYLE_GRAS = 1,         // inside an emphasis
    STYLE_EXPOSANT = 2,     // superscript, drawn at half height
    STYLE_GREC = 4,         // drawn with the Greek character set (0xF0 is pi)
    STYLE_PREFIXE_SEUL = 8, // raw display: a prefix cell drawn as a run of its own
};

struct MorceauNoir {
    std::string texte;        // print characters, code page 1252
    std::uint8_t style = 0;
    std::int32_t debut = 0;   // first source position read for it, hidden prefixes included
    std::int32_t fin = 0;     // last source position read for it
};

struct LigneNoire {
    std::vector<MorceauNoir> morceaux;
    std::int32_t arret = 0;      // position of the byte that stopped the line
    std::uint8_t finLigne = 0;   // that byte (CR, LF, VT, FF), 0 at the end of the text
};

struct ContexteNoir {
    std::string_view texte;                            // the Braille text, or a window of it
    std::int32_t decalage = 0;                         // document position of texte[0], minus 1
    const TgestionnaireMarqueurs* marqueurs = nullptr; // for the print characters of kind 4
    bool signesModificateurs = false;                  // raw display: every sign shown as stored
};

// Reads the line that starts at position `pos` (1-based in ctx.texte). A
// line that starts just after a cut inside a word (VT) starts in the capital
// and number modes that held at that cut: the reading looks back to the
// word's start, so the window must hold it.
LigneNoire litLigneNoir(const ContexteNoir& ctx, std::int32_t pos);

// A space, or a line end other than a cut inside a word: where the reading's
// modes are cleared, so where a look-back for them stops.
bool effaceLesModes(std::uint8_t c);

// The print characters of one line, concatenated.
std::string texteLigneNoir(const LigneNoire& ligne);

// The print characters that the print view shows for these bytes, without
// styles: CR LF for a paragraph end, a space for LF, nothing for VT, CR FF
// for a page break. `decalage` is the document position of braille[0], minus
// 1, so that print characters attached by markers are found.
std::string BrailleVersNoir(std::string_view braille, const TgestionnaireMarqueurs* marqueurs = nullptr,
                            std::int32_t decalage = 0);

// The Braille bytes themselves, each CR followed by LF.
std::string BrailleBrut(std::string_view braille);

}  // namespace dotavob
