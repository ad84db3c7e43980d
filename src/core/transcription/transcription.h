// Print text to Braille (letter for letter, with soft line breaks), and the
// re-wrapping of paragraphs and of whole documents.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace dotavob {

// What a transcription left out: the characters that have no Braille form.
struct CaracteresOmis {
    std::int32_t nombre = 0;  // every occurrence
    std::string caracteres;   // each one once (code page 1252), in the order first met
};

// `colonneDepart`: the 1-based column at which the first produced byte stands.
// `omis`, when given, receives what was left out.
std::string Transcrire(std::string_view noir, std::int32_t colonneDepart, std::int32_t cpl,
                       CaracteresOmis* omis = nullptr);

// What `Transcrire` leaves out of this text, without transcribing it.
CaracteresOmis caracteresOmis(std::string_view noir);

// One paragraph without CR or FF, whose LF were turned back into spaces and
// whose VT were removed. `nbLignes` receives 1 + the number of LF and VT.
std::string CoupeParagraphe(std::string_view paragraphe, std::int32_t cpl, std::int32_t* nbLignes = nullptr);

// CoupeParagraphe from a line start on, so that an edit re-wraps only the
// lines it reached: `morceau` holds the paragraph's bytes (as CoupeParagraphe
// takes them) from that line start; `complet` says it runs to the paragraph's
// end. At every new line start g (an index into `morceau`) `arret(g)` is
// asked; when it holds, `sortie` receives what comes before g, its line end
// included, and g is returned. Returns morceau.size() when all of it was
// written, npos when a decision needed bytes past an incomplete `morceau`.
std::size_t CoupeParagrapheDepuis(std::string_view morceau, bool complet, std::int32_t cpl,
                                  const std::function<bool(std::size_t)>& arret, std::string& sortie);

// The whole text re-wrapped in one pass; each line is shortened by
// `indentation(position)` of its own first byte, also a line that a moved
// word starts.
std::string recoupeTexte(std::string_view texte, std::int32_t cpl,
                         const std::function<int(std::int32_t)>& indentation);

// Where a cut (VT) proposed between s[j-1] and s[j] must go so that it never
// separates a hidden prefix from its sign nor splits per mille or a
// base-first sign. `suite` holds the bytes that will follow s. A unit that
// starts the line (at `debutLigne`, unless `ligneEntamee`), or that is longer
// than `largeur` (the width of a line), is cut as proposed.
std::size_t placeCoupure(std::string_view s, std::string_view suite, std::size_t j, std::size_t debutLigne,
                         bool ligneEntamee, std::int32_t largeur);

}  // namespace dotavob
