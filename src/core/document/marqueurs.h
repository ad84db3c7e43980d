// Paragraph and range attributes kept beside the Braille text: centred
// paragraphs (kind 0), turned ranges (3), print characters (4) and indented
// paragraphs (5). Positions are 1-based and inclusive.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dotavob {

enum GenreMarqueur : std::uint8_t {
    MARQUEUR_CENTRE = 0,
    MARQUEUR_RETOURNE = 3,
    MARQUEUR_CARACTERE = 4,
    MARQUEUR_INDENTATION = 5,
};

struct Marqueur {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::uint8_t kind = 0;
    std::uint8_t extra = 0;
    bool operator==(const Marqueur&) const = default;
};

// How positions move when a stretch of text is re-wrapped (spaces and LF
// swapped, VT removed or inserted): each byte keeps its identity.
class AlignementRecoupage {
public:
    AlignementRecoupage(std::int32_t debut, std::string_view ancien, std::string_view nouveau);
    // `estFin`: p ends a range, so a removed byte there leaves it ending before.
    std::int32_t mappe(std::int32_t p, bool estFin) const;
    // The re-wrapped stretch, in the new text: debut() up to finNouveau() (the byte after it).
    std::int32_t debut() const { return debut_; }
    std::int32_t finNouveau() const { return finAncien_ + delta_; }
    std::int32_t finAncien() const { return finAncien_; }

private:
    std::int32_t debut_, finAncien_, delta_;
    std::vector<std::int32_t> versNouveau_;
    std::vector<char> retire_;
};

// The list keeps the order in which markers were made (the document file
// stores it as is); the questions by position go through an index sorted by
// position, rebuilt on the first question after a change, and where several
// markers answer they give the one a scan of the list finds first. Questions
// update that index: one manager is not asked from two threads at once.
class TgestionnaireMarqueurs {
public:
    void Vide() {
        liste_.clear();
        change();
        aVerifier_ = {};
    }

    // Toggles the range for the kind, then adds a marker for what remains.
    void Ajoute(std::int32_t start, std::int32_t end, std::uint8_t kind, std::uint8_t extra = 0);
    void AjouteRetourne(std::int32_t start, std::int32_t end);

    int IndiceRetourne(std::int32_t pos) const;
    bool DebutRetourne(std::int32_t pos) const;
    bool FinRetourne(std::int32_t pos) const;
    bool DebutCentre(std::int32_t pos) const;
    std::uint8_t Indentation(std::int32_t pos) const;
    bool DansMarqueur(std::int32_t pos, std::uint8_t kind) const;
    std::uint8_t Valeur4(std::int32_t pos) const;
    // Indentation of the indented paragraph that holds pos (0 when none);
    // `jusqua`, when given, receives the last position that has the same.
    std::uint8_t IndentationEn(std::int32_t pos, std::int32_t* jusqua = nullptr) const;
    bool Bornes(int i, std::int32_t& start, std::int32_t& end) const;
    // The caller journals the turn before removing it (the journal is the model's).
    void SupprimeRetourne(int i);

    void Remplacement(std::int32_t from, std::int32_t to, std::int32_t n);
    void Purge(const std::function<std::uint8_t(std::int32_t)>& octet);

    // A stretch of text was re-wrapped: markers follow their bytes, and
    // later positions move by the change of length.
    void suitRecoupage(const AlignementRecoupage& a);

    // The marker block of the document file.
    void Ecrit(std::string& sortie) const;
    // Reads a block at `offset`; false (list unchanged) when the data is short.
    bool Lit(std::string_view donnees, std::size_t& offset);

    const std::vector<Marqueur>& liste() const { return liste_; }
    // Changes with every change of the markers, so that what was found out
    // about them can be known to still hold.
    std::uint64_t version() const { return version_; }
    void ajouteBrut(const Marqueur& m) {
        liste_.push_back(m);
        change();
        toutAVerifier();
    }

    // What undo and redo put back: the markers that reach into lo..hi, with
    // their places in the list; removing them; putting markers back at their
    // places (ascending), which gives back the list they were taken from.
    using Places = std::vector<std::pair<std::int32_t, Marqueur>>;
    Places touchant(std::int32_t lo, std::int32_t hi) const;
    // The same, with the markers `Purge` would remove wherever they stand.
    Places touchantOuPurges(std::int32_t lo, std::int32_t hi,
                            const std::function<std::uint8_t(std::int32_t)>& octet) const;
    void retireTouchant(std::int32_t lo, std::int32_t hi);
    void remetAuxPlaces(const Places& p);
    // Removes the markers at these places (as `touchant` gives them) that still hold these values.
    void retireAuxPlaces(const Places& p);

private:
    // The markers of one kind by position. Texts are read in order, so each
    // table keeps where its last answer was and looks there first.
    struct IndexGenre {
        std::vector<std::pair<std::int32_t, std::int32_t>> debuts;   // (start, list index), sorted
        std::vector<std::int32_t> fins;                              // every end, sorted
        // From `first` on, up to the next entry, the first marker in list
        // order that covers the position (-1: none). Ranges with start > end
        // cover nothing.
        std::vector<std::pair<std::int64_t, std::int32_t>> couverture;
        std::size_t curseurDebut = 0, curseurFin = 0, curseurCouverture = 0;
    };
    void change() {
        indexAJour_ = false;
        ++version_;
    }
    // Where `Purge` has something to look at: the starts of paragraph markers
    // whose byte before may have changed since the last purge (an empty zone
    // has debut > fin). Typing in a book with a marker on every paragraph
    // then looks at a few markers, not at all of them.
    struct Zone {
        std::int32_t debut = 1, fin = 0;
        bool contient(std::int32_t p) const { return debut <= p && p <= fin; }
    };
    void toutAVerifier() { aVerifier_ = {1, INT32_MAX}; }
    void ajouteAVerifier(std::int32_t debut, std::int32_t fin);
    // nullptr when no marker has this kind.
    IndexGenre* index(std::uint8_t kind) const;
    void reconstruitIndex() const;
    // An edit or a re-wrap that leaves every marker outside the stretch it
    // changes moves positions past it by one shift: the index follows in one
    // pass, without a rebuild. False when a marker stands in the stretch.
    bool horsMarqueurs(std::int64_t debutsDe, std::int64_t debutsA, std::int64_t finsDe, std::int64_t finsA,
                       std::int64_t debutNonParagraphe) const;
    void decaleIndex(std::int64_t apresDebut, std::int64_t depuisFin, std::int64_t apresCle, std::int32_t d) const;
    // List index of the first marker of the kind that starts at pos, or -1.
    std::int32_t premierDebut(std::uint8_t kind, std::int32_t pos) const;
    // List index of the first marker of the kind that holds pos, or -1.
    std::int32_t premierDedans(std::uint8_t kind, std::int32_t pos) const;

    void bascule(std::int32_t& a, std::int32_t& b, std::uint8_t kind);
    void remplaceListe(std::int32_t from, std::int32_t to, std::int32_t n);
    std::vector<Marqueur> liste_;
    mutable std::vector<IndexGenre> index_;
    mutable std::array<std::uint16_t, 256> place_{};  // kind -> 1 + its place in index_, 0 when absent
    mutable bool indexAJour_ = false;
    std::uint64_t version_ = 0;
    Zone aVerifier_;
};

}  // namespace dotavob
