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
// markers answer they give the one a scan of the list finds first.
//
// An edit or a re-wrap that moves no marker but by the change of length
// (every marker outside the changed stretch) only moves the index, lazily:
// in a document whose markers of each kind do not overlap (those the editor
// makes), the list itself is brought up to date when it is read, and the
// undo records and the purge find their markers through the index. Typing
// in a book with a marker on every paragraph then costs a few searches.
// Questions update the index and the list: one manager is not asked from
// two threads at once.
class TgestionnaireMarqueurs {
public:
    void Vide() {
        liste_.clear();
        enRetard_ = false;
        change();
        aVerifier_ = {};
    }
    bool vide() const { return liste_.empty(); }
    std::size_t taille() const { return liste_.size(); }

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
    // The same answer, safe from several threads at once: it keeps no trace
    // of where it looked. The index must be made first (any read makes it).
    std::uint8_t IndentationEnConcurrente(std::int32_t pos, std::int32_t* jusqua) const;
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

    const std::vector<Marqueur>& liste() const {
        metListeAJour();
        return liste_;
    }
    // Changes with every change of the markers, so that what was found out
    // about them can be known to still hold.
    std::uint64_t version() const { return version_; }
    void ajouteBrut(const Marqueur& m) {
        metListeAJour();
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
    // Both, as undo and redo do them: where the markers that come back are
    // those that stand there, with new bounds that keep their order, they
    // change in place.
    void remetTouchant(std::int32_t lo, std::int32_t hi, const Places& p);
    // Removes the markers at these places (as `touchant` gives them) that still hold these values.
    void retireAuxPlaces(const Places& p);

private:
    // Positions sorted, each with a list index. Entries from `depuis` on
    // read `decalage` further than they are stored: moving every position
    // after an edit is one search, and an edit elsewhere later pays for the
    // entries between the two places, as a gap in a text does. Texts are
    // read in order, so the table keeps where its last answer was and looks
    // there first.
    struct Tableau {
        struct Entree {
            std::int64_t cle;
            std::int32_t indice;
            auto operator<=>(const Entree&) const = default;
        };
        std::vector<Entree> v;
        std::size_t depuis = 0;
        std::int64_t decalage = 0;
        std::size_t curseur = 0;
        std::size_t size() const { return v.size(); }
        std::int64_t cle(std::size_t i) const { return v[i].cle + (i >= depuis ? decalage : 0); }
        // The first entry whose position is not below k.
        std::size_t premierNonInferieur(std::int64_t k);
        // The same by a search alone.
        std::size_t recherche(std::int64_t k) const;
        // Entries from `de` on move by d.
        void decale(std::size_t de, std::int64_t d);
    };
    // The markers of one kind by position.
    struct IndexGenre {
        std::uint8_t genre = 0;
        Tableau debuts;  // (start, list index)
        Tableau fins;    // (end, list index)
        // From each position on, up to the next entry, the first marker in
        // list order that covers it (-1: none). Ranges with start > end
        // cover nothing. Only made when some markers overlap.
        Tableau couverture;
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
    // The coverage of one kind (`fini`: one flag per marker of the list, all clear).
    void couvre(IndexGenre& g, std::vector<char>& fini) const;
    // The positions of the list from the index, when only the index moved.
    void metListeAJour() const;
    // An edit or a re-wrap that leaves every marker outside the stretch it
    // changes moves positions past it by one shift: the index follows
    // without a rebuild. False when a marker stands in the stretch.
    bool horsMarqueurs(std::int64_t debutsDe, std::int64_t debutsA, std::int64_t finsDe, std::int64_t finsA,
                       std::int64_t debutNonParagraphe) const;
    void decaleIndex(std::int64_t apresDebut, std::int64_t depuisFin, std::int64_t apresCle, std::int32_t d) const;
    // The markers `Purge` would remove, found through the index: only when
    // the index is up to date and its kinds do not overlap.
    Places aPurgerParIndex(const std::function<std::uint8_t(std::int32_t)>& octet) const;
    Places touchantParIndex(std::int32_t lo, std::int32_t hi) const;
    bool remetSurPlace(std::int32_t lo, std::int32_t hi, const Places& p);
    // List index of the first marker of the kind that starts at pos, or -1.
    std::int32_t premierDebut(std::uint8_t kind, std::int32_t pos) const;
    // List index of the first marker of the kind that holds pos, or -1.
    std::int32_t premierDedans(std::uint8_t kind, std::int32_t pos) const;
    // The same in one kind's index; `jusqua` receives the last position with the same answer.
    // `suivi`: the tables keep where they answered, for the next read nearby.
    std::int32_t dedans(IndexGenre& g, std::int32_t pos, std::int64_t& jusqua, bool suivi = true) const;
    std::uint8_t indentation(std::int32_t pos, std::int32_t* jusqua, bool suivi) const;

    void bascule(std::int32_t& a, std::int32_t& b, std::uint8_t kind);
    void remplaceListe(std::int32_t from, std::int32_t to, std::int32_t n);
    void suitZone(std::int32_t from, std::int32_t to, std::int32_t n);
    // The list holds creation order, kinds and extras always; its positions
    // only when `enRetard_` is false (otherwise the index holds them).
    mutable std::vector<Marqueur> liste_;
    mutable bool enRetard_ = false;
    mutable std::vector<IndexGenre> index_;
    mutable std::array<std::uint16_t, 256> place_{};  // kind -> 1 + its place in index_, 0 when absent
    mutable bool indexAJour_ = false;
    // Every marker has start <= end and none overlaps another of its kind:
    // a kind's starts and ends then come in the same order.
    mutable bool disjoints_ = false;
    std::uint64_t version_ = 0;
    Zone aVerifier_;
};

}  // namespace dotavob
