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

// Plain text with CR line ends and FF page breaks: a break at each
// "\pagebb" when the source has one, else at each "\page".
// `remplaces`, when given, receives the characters that code page 1252
// cannot hold, each written "?" (a pair of \u surrogates is one character);
// `omissions`, the text left out, in words ("notes de bas de page omises",
// "en-têtes et pieds de page omis"), empty when none was.
struct CaracteresRemplaces;
std::string rtfverstexte(std::string_view rtf, CaracteresRemplaces* remplaces = nullptr,
                         std::string* omissions = nullptr);

// Does this text start as an RTF document?
bool estRtf(std::string_view texte);

}  // namespace dotavob
