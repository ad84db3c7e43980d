// Print text to Braille (letter for letter, with soft line breaks), and the
// re-wrapping of paragraphs and of whole documents.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/braille/codes.h"

namespace dotavob {

// What a transcription left out: the characters that have no Braille form.
struct CaracteresOmis {
    std::int32_t nombre = 0;  // every occurrence
    std::string caracteres;   // each one once (code page 1252), in the order first met
    // Those of a text that follows, as if met after these.
    void ajoute(const CaracteresOmis& suite);
};

// `colonneDepart`: the 1-based column at which the first produced byte stands.
// `omis`, when given, receives what was left out.
std::string Transcrire(std::string_view noir, std::int32_t colonneDepart, std::int32_t cpl,
                       CaracteresOmis* omis = nullptr);

// A print text as the editor types it into a new document (from column
// one, no marker), then wrapped as opening wraps it: the document that
// opens without a re-wrap. One copy of the book is made, none kept.
std::string TranscritEnDocument(std::string_view noir, std::int32_t cpl, CaracteresOmis* omis = nullptr);

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

// The indentation at a position, in cells, and the last position that has
// the same (checking a wrapped text line by line asks again only past it).
struct Retrait {
    int cellules = 0;
    std::int32_t jusqua = 0;
};
using Indentation = std::function<Retrait(std::int32_t)>;

// Whether a text stands as recoupeTexte leaves it, line by line instead of
// byte by byte, fed the line ends in order by whoever finds them: each line
// fits its width, a line shorter than its width ends where the next word
// would not fit, and a cut (VT) stands where the re-wrap puts it in a word
// wider than the line.
class VerificationRecoupage {
public:
    VerificationRecoupage(std::string_view texte, std::int32_t cpl, Indentation indentation)
        : texte_(texte), cpl_(cpl), indentation_(std::move(indentation)) {}

    // The line from the end of the previous one to `fin`, the index of its
    // line end (the text's size for the last line); `mots`, if given, the
    // word ends around it. Called for every line while a book is indexed:
    // kept inline, its rare cases out of line.
#if defined(__GNUC__)
    [[gnu::always_inline]]
#endif
    void ligne(std::size_t fin, const MotsAutour* mots = nullptr) {
        const std::size_t debut = debut_;
        debut_ = fin + 1;
        if (!inchange_) return;
        const std::size_t n = texte_.size();
        const Octet b = fin < n ? oct(texte_[fin]) : CR;
        const std::size_t longueur = fin - debut;
        const bool suite = continue_;
        continue_ = b == LF || b == VT;
        if (longueur == 0 && !continue_) return;
        const auto p = static_cast<std::int32_t>(debut) + 1;
        if (p > retrait_.jusqua) retrait_ = indentation_(p);
        const auto largeur = static_cast<std::size_t>(std::max(1, cpl_ - retrait_.cellules));
        const std::size_t largeurPrecedente = std::exchange(largeurPrecedente_, largeur);
        if (b == VT) {
            // Most cuts stand at the margin of a full line, with no sign
            // across it: the bytes on either side tell, with no call.
            const bool retrecie = suite && largeur < largeurPrecedente;
            if (longueur == largeur && !retrecie && coupureAuBord(debut, fin, mots))
                coupure_ = true;
            else
                ligneCoupee(debut, fin, largeur, retrecie);
        } else if (longueur > largeur) {
            inchange_ = false;
        } else if (b == LF && longueur < largeur) {
            // The LF reads as a space: the line ends there only if the next
            // word, moved up, would pass the width.
            const std::size_t reste = largeur - longueur, dernier = fin + reste;
            if (dernier >= n) {
                inchange_ = false;
                return;
            }
            if (mots && reste < 64 && (mots->apres & ((std::uint64_t{1} << reste) - 1)) == 0) return;
            const char* const d = texte_.data();
            if (const char* c = finDeMot(d + fin + 1, d + dernier + 1, d + n); c != d + dernier + 1) {
                // A cut in that word takes no room: counted again without it.
                if (oct(*c) != VT || !motPlusLong(fin + 1, largeur - longueur)) inchange_ = false;
            }
        }
    }
    bool inchange() const { return inchange_; }
    // Whether a cut (VT) was met.
    bool coupure() const { return coupure_; }
    // Starts over at a paragraph's first byte.
    void reprend(std::size_t debut) {
        debut_ = debut;
        inchange_ = true;
        continue_ = false;
    }

private:
    // Whether the full line [debut, fin) of one word stands cut where the
    // re-wrap cuts it, told from the bytes around the cut (and the word ends
    // in `mots`, when given), not from the rest of the word: it goes on past
    // the margin, and the line's last byte starts no sign that a cut there
    // would split. False: coupureJuste decides.
    bool coupureAuBord(std::size_t debut, std::size_t fin, const MotsAutour* mots) const {
        if (fin + 1 >= texte_.size()) return false;
        const Octet apres = oct(texte_[fin + 1]);
        if (apres == ' ' || estFinDeLigne(apres) || classesOctet::a(oct(texte_[fin - 1]), classesOctet::RETIENT))
            return false;
        const std::size_t longueur = fin - debut;
        if (mots && longueur < 64) return (mots->avant >> (64 - longueur)) == 0;
        const char* const d = texte_.data();
        return finDeMot(d + debut, d + fin, d + texte_.size()) == d + fin;
    }
    // Whether the re-wrap cuts the word that starts the line at `debut`
    // exactly at `fin`: the line filled to `largeur` with no space, the cut
    // placed as placeCoupure places it.
    bool coupureJuste(std::size_t debut, std::size_t fin, std::size_t largeur) const;
    // A line ended by a cut; `retrecie`: narrower than the line before it in its paragraph.
    void ligneCoupee(std::size_t debut, std::size_t fin, std::size_t largeur, bool retrecie);
    // Whether the `longueur` bytes from `debut`, cuts passed over, are all of one word.
    bool motPlusLong(std::size_t debut, std::size_t longueur) const;

    std::string_view texte_;
    std::int32_t cpl_;
    Indentation indentation_;
    Retrait retrait_{0, 0};
    std::size_t debut_ = 0;
    std::size_t largeurPrecedente_ = 0;
    bool continue_ = false;  // the line goes on the paragraph of the one before
    bool inchange_ = true;
    bool coupure_ = false;
    mutable std::string suite_;  // kept from one cut to the next
};

// The whole text re-wrapped in one pass; each line is shortened by the
// indentation of its own first byte, also a line that a moved word starts.
// Nothing when the text is already wrapped so: a document opened as it was
// saved is checked line by line, not copied.
std::optional<std::string> recoupeTexte(std::string_view texte, std::int32_t cpl, const Indentation& indentation);
// The same re-wrap byte by byte through every paragraph, with no check of
// the lines as they stand: what recoupeTexte must always agree with.
std::string recoupeTexteOctetParOctet(std::string_view texte, std::int32_t cpl, const Indentation& indentation);

// Where a cut (VT) proposed between s[j-1] and s[j] must go so that it never
// separates a hidden prefix from its sign nor splits per mille or a
// base-first sign. `suite` holds the bytes that will follow s. A unit that
// starts the line (at `debutLigne`, unless `ligneEntamee`), or that is longer
// than `largeur` (the width of a line), is cut as proposed.
std::size_t placeCoupure(std::string_view s, std::string_view suite, std::size_t j, std::size_t debutLigne,
                         bool ligneEntamee, std::int32_t largeur);

}  // namespace dotavob
