// The page format that the application owns and passes to whoever reads it:
// characters per line, lines per page, text lines per page, indentation.
#pragma once

#include <cstdint>

namespace dotavob {

struct FormatPage {
    std::uint8_t cpl = 30;            // characters per line, 10..50
    std::uint8_t lignesParPage = 28;  // header and footer lines included, 10..60
    std::uint8_t nbLignesTexte = 28;  // lines per page less the header and footer lines
    std::uint8_t indentation = 0;     // the indentation given to new indented paragraphs, 0..5
};

}  // namespace dotavob
