// PEF, the Portable Embosser Format (version 2008-1): embossed pages as
// Unicode braille in XML, read back as a document of those pages (the
// writer is an output: core/sorties/pef.h).
#pragma once

#include <string>
#include <string_view>

#include "core/document/formatpage.h"
#include "core/fichiers/dtv.h"

namespace dotavob {

inline constexpr std::string_view ESPACE_PEF = "http://www.daisy.org/ns/2008/pef";
inline constexpr std::string_view ESPACE_DUBLIN_CORE = "http://purl.org/dc/elements/1.1/";

// The pages of every volume and section in order: each row a line ended by a
// paragraph end (CR), the last row of a page ended by a page break (FF)
// instead, the last page by nothing. Refused, with a French message and no
// document: malformed or truncated XML, a root other than PEF's "pef", an
// element of PEF's (or of no namespace) where the format does not have it,
// an element of another namespace in a row, text outside the
// rows, a volume without its cols and rows, a row longer than its cols, a
// page with more rows than its rows, a character in a row that is not a
// six-dot cell (U+2800..U+283F; eight-dot cells are refused too). The head is
// not read. The page format is `format` without header, footer or double
// spacing, as wide as the widest volume's cols and as high as its rows
// (within 10..50 characters and 10..60 lines).
ResultatLecture litPef(std::string_view octets, const FormatPage& format = FormatPage{});

}  // namespace dotavob
