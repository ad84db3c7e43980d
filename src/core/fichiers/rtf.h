// Rich text (RTF) to plain text, for the import, the paste and the legacy
// documents.
#pragma once

#include <string>
#include <string_view>

namespace dotavob {

// The document's characters in code page 1252, CR LF between paragraphs;
// control words, destinations (font and colour tables, pictures, document
// information...) and fields' instructions dropped.
std::string rtfVersTexteBrut(std::string_view rtf);

// Marks the page breaks with the character 0xD0 so that they survive the
// conversion: after each "\pagebb" when the source has one, else in place of
// each "\page ".
void marquesautspage(std::string& rtf);

// Plain text with CR line ends and FF page breaks.
std::string rtfverstexte(std::string rtf);

// Does this text start as an RTF document?
bool estRtf(std::string_view texte);

}  // namespace dotavob
