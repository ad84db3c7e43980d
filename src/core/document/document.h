// The Braille document: one byte string in which CR, LF, VT and FF give
// lines, paragraphs and pages, with its markers and its undo journal. Every
// change of the text goes through `remplace`; views observe the document and
// none keeps a copy of the text. The caret, the selection and the keys are
// the editor's (core/editeur/editeur.h).
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/braille/codes.h"
#include "core/document/formatpage.h"
#include "core/document/journal.h"
#include "core/document/marqueurs.h"
#include "core/document/tampons.h"
#include "core/transcription/transcription.h"

namespace dotavob {

struct Point {
    std::int32_t colonne = 1;
    std::int32_t ligne = 1;
    bool operator==(const Point&) const = default;
};

// A line: its first position, its last byte before the structure byte that
// ends it, and its bytes. An empty document gives {0, 0, ""}.
struct Tligne {
    std::int32_t debut = 0;
    std::int32_t fin = 0;
    std::string texte;
};

// A change that moves every later line announces its lines up to here.
constexpr std::int32_t JUSQUA_LA_FIN = std::numeric_limits<std::int32_t>::max();

class ObservateurDocument {
public:
    virtual ~ObservateurDocument() = default;
    // Lines premiere..derniere changed (text or markers); `derniere` may be
    // JUSQUA_LA_FIN when the later lines moved too.
    virtual void lignesModifiees(std::int32_t premiere, std::int32_t derniere) = 0;
    // Undo or redo puts back a page format: whoever holds the format takes it.
    virtual void formatRemis(const FormatPage& /*format*/) {}
};

struct ResultatRecoupage {
    std::int32_t premiereLigne = 1;
    bool nbLignesChange = false;
    std::int32_t derniereLigne = 1;
};

// What an undo or a redo did: where the caret goes after the text it put
// back (0: a turned range was toggled, the caret stays).
struct ResultatRejeu {
    bool ok = false;
    std::int32_t curseur = 0;
};

class DocumentBraille {
public:
    explicit DocumentBraille(const FormatPage& format);

    // The text.
    std::int32_t longueur() const { return texte_.taille(); }
    Octet octet(std::int32_t pos) const {
        return pos >= 1 && pos <= longueur() ? oct(texte_[pos - 1]) : 0;
    }
    std::string texte() const { return texte_.chaine(); }
    std::string sousChaine(std::int32_t debut, std::int32_t n) const;
    // The document becomes this text, unmodified. The journal and the
    // markers are the caller's to set.
    void initialise(std::string texte);
    // A new, empty document: no text, markers or undo history.
    void nouveau();
    // A document read from a file: unmodified, and no undo history (undo
    // never replays another document's edits).
    void charge(std::string texte, std::vector<Marqueur> marqueurs);

    // Lines.
    std::int32_t nbLignes() const { return static_cast<std::int32_t>(lignes_.taille()) + 1; }
    Tligne ligne(std::int32_t n) const;
    std::int32_t debutLigne(std::int32_t n) const;
    std::int32_t positionDe(Point p) const;
    Point pointDe(std::int32_t position) const;
    std::int32_t debutParagraphe(std::int32_t pos) const;
    std::int32_t finParagraphe(std::int32_t pos) const;  // the CR or FF that ends it, or length + 1

    // Pages: lines per page from the format, a page break (FF) ends a page.
    std::int32_t nbPages() const;
    // The page that shows line n, and the first line of that page.
    std::int32_t pageDeLigne(std::int32_t n, std::int32_t* premiere = nullptr) const;
    // The first line of page n (1..nbPages()).
    std::int32_t premiereLigneDePage(std::int32_t n) const;
    // The last line of the page that starts at line `premiere`: a page break
    // or the end of the text may end it early.
    std::int32_t derniereLigneDePage(std::int32_t premiere) const;
    std::int32_t lignesParPage() const { return format_.nbLignesTexte > 0 ? format_.nbLignesTexte : 1; }

    // Editing. `remplace` is the single change of the text; it returns the
    // position just after the new text once the paragraphs are re-wrapped.
    std::int32_t remplace(std::int32_t from, std::int32_t to, std::string_view nouveau);
    ResultatRecoupage recoupeParagraphe(std::int32_t pos, std::int32_t* suivi = nullptr, bool suiviEstFin = false);
    // Forgets which paragraphs are known to stand wrapped: the next edit
    // re-wraps its paragraphs whole, as the shorter way must agree with.
    void oublieCoupes() {
        coupeCpl_ = 0;
        verification_.reset();
    }
    // Re-wraps the whole document to the characters per line, the lines of
    // indented paragraphs shortened. Journaled as one change unless asked not
    // to (a document just opened has no history to keep).
    // `formatAvant`: the format this re-wrap replaces, put back by undo.
    void recoupeDocument(bool journalise = true, const FormatPage* formatAvant = nullptr);
    // Whether the text stands as that re-wrap leaves it (found while indexing).
    bool coupeSelonLeFormat();
    // Turns de..a, or puts back the turned range that holds one of its ends.
    void retourne(std::int32_t de, std::int32_t a);
    // A paragraph marker (centring, indentation) over debut..fin.
    void marqueParagraphe(std::int32_t debut, std::int32_t fin, std::uint8_t kind, std::uint8_t extra);
    // The first position from `depart` (1-based) where `motif` stands, 0 if none.
    std::int32_t cherche(std::string_view motif, std::int32_t depart) const;
    ResultatRejeu Defait();
    ResultatRejeu Refait();

    bool modifie() const { return modifie_; }
    void setModifie(bool m) { modifie_ = m; }

    Journal& journal() { return journal_; }
    const Journal& journal() const { return journal_; }
    TgestionnaireMarqueurs& marqueurs() { return marqueurs_; }
    const TgestionnaireMarqueurs& marqueurs() const { return marqueurs_; }
    const FormatPage& format() const { return format_; }

    void ajouteObservateur(ObservateurDocument* o) { observateurs_.push_back(o); }
    void retireObservateur(ObservateurDocument* o);

private:
    struct Segment {
        std::int32_t debutLigne;  // first line of the segment
        std::int32_t derniereLigne;  // the line ended by its FF, or the last line
        std::int32_t pagesAvant;
        std::int32_t pages;
        bool absorbe;  // its FF line is empty and follows a full page
    };

    // Text, line index and page cache, nothing else.
    void changeTexte(std::int32_t from, std::int32_t to, std::string_view nouveau);
    // The lines of the segment that holds `ligne` changed by `deltaLignes`.
    void ajusteSegments(std::int32_t ligne, std::int32_t deltaLignes);
    // A segment of lines from `debut` to `derniere`, closed by the FF at
    // position `saut` (0: the last segment, closed by the end of the text).
    Segment segment(std::int32_t debut, std::int32_t derniere, std::int32_t saut, std::int32_t pagesAvant) const;
    // `piecesAFaire`: the text was given by assigneSansPieces, and its
    // pieces are made here, on the other core when the book is large.
    void reconstruitIndex(bool piecesAFaire = false);
    // The width of each line, by the indentation markers.
    // `concurrente`: read from two threads at once (IndentationEnConcurrente).
    Indentation indentation(bool concurrente = false) const;
    const std::vector<Segment>& segments() const;
    // An exact replay of a journal record: no re-wrap, no new record.
    bool rejoue(std::int32_t from, std::int32_t to, std::string_view nouveau);
    ResultatRejeu rejoueEnregistrement(const Enregistrement& e, bool defaire);
    void annonceLignes(std::int32_t premiere, std::int32_t derniere);
    // The byte reader that marker operations take.
    std::function<std::uint8_t(std::int32_t)> lecteur() const;
    // Writes the net change avant -> apres at `pos` (the common ends, within
    // maxPre and maxSuf, left out).
    void journaliseDifference(std::string_view avant, std::string_view apres, std::int32_t pos, std::size_t maxPre,
                              std::size_t maxSuf, AnnexeEnregistrement annexe);
    // Whether the paragraphs a..b stand exactly as CoupeParagraphe wraps them.
    bool paragraphesCoupes(std::int32_t a, std::int32_t b) const;
    // An edit inside the paragraphs a..b known to be wrapped: re-wraps from a
    // line before the edit until the line ends fall where they fell (the
    // paragraphs the new bytes end, whole), and journals the net change of
    // that stretch only.
    std::int32_t remplaceDansParagrapheCoupe(std::int32_t from, std::int32_t to, std::string_view nouveau,
                                             std::int32_t debut, std::int32_t fin);
    void retientParagrapheCoupe(std::int32_t pos);

    const FormatPage& format_;
    TexteTampon texte_;
    IndexPositions lignes_;  // positions of every CR, LF, VT and FF
    IndexPositions sauts_;   // positions of every FF
    IndexPositions paragraphes_;  // positions of every CR and FF
    // One paragraph known to be exactly as CoupeParagraphe wraps it at
    // `coupeCpl_` (0: none): from `coupeDebut_` to its end `coupeFin_` (its
    // CR or FF, or length + 1). Edits inside it re-wrap only what they reach.
    std::int32_t coupeDebut_ = 0, coupeFin_ = 0, coupeCpl_ = 0;
    // What the last index rebuild found: whether the text stood as the
    // re-wrap at `cpl` leaves it, with the markers at `versionMarqueurs`. A
    // change of the text forgets it. Opening a book then re-wraps it without
    // reading it twice.
    struct Verification {
        std::int32_t cpl;
        std::uint64_t versionMarqueurs;
        bool recoupe;
        bool coupure;  // a cut (VT) stands in the text
    };
    std::optional<Verification> verification_;
    mutable std::vector<Segment> segments_;
    mutable bool segmentsValides_ = false;
    mutable std::int32_t segmentsLignesParPage_ = 0;
    bool modifie_ = false;

    TgestionnaireMarqueurs marqueurs_;
    Journal journal_;
    std::vector<ObservateurDocument*> observateurs_;
};

}  // namespace dotavob
