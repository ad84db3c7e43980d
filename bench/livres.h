// Books of every shape for the benchmarks: the same text, wrapped as the
// editor wraps it, in short paragraphs or in one, with or without markers.
#pragma once

#include <string>

#include "core/document/marqueurs.h"

namespace dotavob {

// Five French sentences in code page 1252.
extern const char* const phrases[5];
// A book of short paragraphs (two or three lines each).
std::string livreParagraphes(int paragraphes);
// One marker per paragraph, the four kinds in turn.
TgestionnaireMarqueurs unMarqueurParParagraphe(const std::string& t);
// A book of `pages` pages of 28 lines of 30 cells in one single paragraph.
std::string livreUnSeulParagraphe(int pages);

}  // namespace dotavob
