// Print text brought in from a file: what "Importer texte" inserts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/braille/codes.h"

namespace dotavob {

// The file's lines (ended by CR, LF or CR LF) joined again with CR LF after
// every line. `termine` false: the last line stays as it is, unended (a paste).
std::string joinsLignes(std::string_view texte, bool termine = true);

// The print text (code page 1252) of a text or RTF file: ".rtf" in any case,
// or any file whose content starts as RTF, goes through the RTF reader. Text
// whose valid multi-byte UTF-8 sequences outnumber its invalid bytes is read
// as UTF-8, each invalid byte becoming "?"; any other as code page 1252. A
// UTF-8 byte order mark is dropped; a UTF-16 or UTF-32 one says the text's
// encoding. `octetsInvalides`, when given, receives how many bytes (or
// UTF-16/32 units) became "?"; `remplaces`, the characters that code page
// 1252 cannot hold, each become "?" too; `omissions`, the text of an RTF file
// left out, in words (rtfverstexte).
std::string texteImporte(std::string_view contenu, std::string_view nomFichier,
                         std::int32_t* octetsInvalides = nullptr, CaracteresRemplaces* remplaces = nullptr,
                         std::string* omissions = nullptr);

// A plain text file read piece by piece, each piece ending just after a line
// feed, or after a CR that no line feed follows (no line end and no UTF-8
// sequence then spans two pieces): the pieces decoded one after the other
// give what texteImporte gives for the whole. `debut`: the file's first
// bytes (eight, or all of a smaller file). How many of them the text skips (a
// UTF-8 byte order mark), or npos for a file that is read whole (UTF-16,
// UTF-32, RTF).
std::size_t debutTexteSimple(std::string_view debut, std::string_view nomFichier);

// What decoding the pieces found, summed over them in their order.
struct DecodageMorceaux {
    std::int32_t sequences = 0, invalides = 0;  // valid multi-byte UTF-8 sequences, invalid bytes
    CaracteresRemplaces remplaces;              // the characters that code page 1252 lacks
    // Those of the pieces that follow, as if met after these.
    void ajoute(const DecodageMorceaux& suite);
    // Whether the whole text is UTF-8, as texteImporte decides: only then
    // does decoding the pieces as UTF-8 give its text (a text of plain ASCII
    // bytes reads the same either way).
    bool utf8() const { return invalides == 0 || sequences > invalides; }
};

// One piece decoded, as UTF-8 or code page 1252, its lines joined, after
// the end of `sortie`; `dernier`: it ends the text. The counts of a UTF-8
// piece are added to `compte`.
void decodeMorceau(std::string_view morceau, bool utf8, bool dernier, std::string& sortie, DecodageMorceaux& compte);

}  // namespace dotavob
