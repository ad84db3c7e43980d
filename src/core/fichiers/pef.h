// PEF, the Portable Embosser Format (version 2008-1): embossed pages as
// Unicode braille in XML. Written from the embossing's own composition, so a
// PEF file holds exactly the pages an embosser would receive; read back as a
// document of those pages.
#pragma once

#include <string>
#include <string_view>

#include "core/document/formatpage.h"
#include "core/fichiers/dtv.h"
#include "core/fichiers/embossage.h"

namespace dotavob {

class DocumentBraille;

inline constexpr std::string_view ESPACE_PEF = "http://www.daisy.org/ns/2008/pef";
inline constexpr std::string_view ESPACE_DUBLIN_CORE = "http://purl.org/dc/elements/1.1/";

// What the file says of itself (Dublin Core), in UTF-8.
struct MetaPef {
    std::string identifiant;    // dc:identifier, required by the format
    std::string titre;          // dc:title; left out when empty
    std::string date;           // dc:date, YYYY-MM-DD; left out when empty
    std::string langue = "fr";  // dc:language; left out when empty
};

// The description of a document named `titre`: today's date, and an
// identifier drawn from the document's bytes (the same text, the same one).
MetaPef metaPef(std::string titre, std::string_view texte);

// Every page as composePage makes it (top margin, header, lines with their
// left margin, footer), one row per embossed line, in one volume of one
// section. The volume is as wide as the characters and left margin of `r`
// and as high as its lines per page, or more when a line or a page of the
// composition is longer. r.codeUS does not matter: cells are cells.
std::string exportePef(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, const MetaPef& meta);

// The pages of every volume and section in order: each row a line ended by a
// paragraph end (CR), the last row of a page ended by a page break (FF)
// instead, the last page by nothing. Refused, with a French message and no
// document: malformed or truncated XML, a root other than PEF's "pef", an
// element in the body that the format does not have there, text outside the
// rows, a volume without its cols and rows, a row longer than its cols, a
// page with more rows than its rows, a character in a row that is not a
// six-dot cell (U+2800..U+283F; eight-dot cells are refused too). The head is
// not read. The page format is `format` without header, footer or double
// spacing, as wide as the widest volume's cols and as high as its rows
// (within 10..50 characters and 10..60 lines).
ResultatLecture litPef(std::string_view octets, const FormatPage& format = FormatPage{});

}  // namespace dotavob
