// Print text to Braille (letter for letter, with soft line breaks), and the
// re-wrapping of paragraphs and of whole documents.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace dotavob {

// `colonneDepart`: the 1-based column at which the first produced byte stands.
std::string Transcrire(std::string_view noir, std::int32_t colonneDepart, std::int32_t cpl);

// One paragraph without CR or FF, whose LF were turned back into spaces and
// whose VT were removed. `nbLignes` receives 1 + the number of LF and VT.
std::string CoupeParagraphe(std::string_view paragraphe, std::int32_t cpl, std::int32_t* nbLignes = nullptr);

// The whole text re-wrapped in one pass; the lines of an indented paragraph
// are shortened by `indentation(position)`.
std::string recoupeTexte(std::string_view texte, std::int32_t cpl,
                         const std::function<int(std::int32_t)>& indentation);

// Where a cut (VT) proposed between s[j-1] and s[j] must go so that it never
// separates a hidden prefix from its sign nor splits per mille or a
// base-first sign. `suite` holds the bytes that will follow s. A unit that
// starts the line (at `debutLigne`, unless `ligneEntamee`) is cut as proposed.
std::size_t placeCoupure(std::string_view s, std::string_view suite, std::size_t j, std::size_t debutLigne,
                         bool ligneEntamee);

}  // namespace dotavob
