// PEF files written from the embossing's own composition, so that a PEF
// file holds exactly the pages an embosser would receive (read back by
// core/fichiers/pef.h).
#pragma once

#include <string>
#include <string_view>

#include "core/document/formatpage.h"
#include "core/fichiers/pef.h"
#include "core/sorties/embossage.h"

namespace dotavob {

class DocumentBraille;

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

}  // namespace dotavob
