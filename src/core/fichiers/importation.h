// Print text brought in from a file: what "Importer texte" inserts.
#pragma once

#include <string>
#include <string_view>

namespace dotavob {

// The file's lines (ended by CR, LF or CR LF) joined again with CR LF after
// every line.
std::string joinsLignes(std::string_view texte);

// The print text (code page 1252) of a text or RTF file: ".rtf" in any case,
// or any file whose content starts as RTF, goes through the RTF reader; text
// in UTF-8 is read as UTF-8, any other as code page 1252.
std::string texteImporte(std::string_view contenu, std::string_view nomFichier);

}  // namespace dotavob
