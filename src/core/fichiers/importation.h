// Print text brought in from a file: what "Importer texte" inserts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
struct CaracteresRemplaces;
std::string texteImporte(std::string_view contenu, std::string_view nomFichier,
                         std::int32_t* octetsInvalides = nullptr, CaracteresRemplaces* remplaces = nullptr,
                         std::string* omissions = nullptr);

}  // namespace dotavob
