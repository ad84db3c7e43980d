// Storage that keeps typing cheap in book-length documents: a change costs
// a piece of a few kilobytes, wherever it falls, not the length of the document.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dotavob {

// Ascending values of which all from `depuis_` on are to be moved by
// `decalage_`, not yet written: moving every value past a place costs the
// distance from the place of the previous move, as a text gap does.
template <class T>
class ValeursDecalees {
public:
    std::size_t taille() const { return v_.size(); }
    T operator[](std::size_t i) const { return i >= depuis_ ? v_[i] + decalage_ : v_[i]; }
    // Adds d to every value from index k on.
    void decale(std::size_t k, T d) {
        // The values between the two places take the move still owed to them
        // (or give back the one they are about to be owed twice).
        if (decalage_ != 0 && k > depuis_) {
            for (std::size_t i = depuis_; i < k && i < v_.size(); ++i) v_[i] += decalage_;
        } else if (decalage_ != 0) {
            for (std::size_t i = k; i < depuis_ && i < v_.size(); ++i) v_[i] -= decalage_;
        }
        depuis_ = k;
        decalage_ += d;
    }
    // The index of the first value greater than v.
    std::size_t premierAuDela(T v) const {
        std::size_t bas = 0, haut = v_.size();
        while (bas < haut) {
            const std::size_t m = (bas + haut) / 2;
            if ((*this)[m] <= v)
                bas = m + 1;
            else
                haut = m;
        }
        return bas;
    }
    // Every value written, to be changed in place or in number.
    std::vector<T>& ecrites() {
        for (std::size_t i = depuis_; i < v_.size() && decalage_ != 0; ++i) v_[i] += decalage_;
        depuis_ = 0;
        decalage_ = 0;
        return v_;
    }

private:
    std::vector<T> v_;
    std::size_t depuis_ = 0;
    T decalage_ = 0;
};

// A byte string held in pieces of a few kilobytes, so that a change costs
// the size of a piece, wherever it falls, even the first one in a book just
// opened. A text given whole stays one string (`base_`) that the pieces only
// point into, until they change: opening copies nothing, and each piece is
// copied the first time it changes.
class TexteTampon {
public:
    std::int32_t taille() const { return taille_; }
    bool vide() const { return taille_ == 0; }

    // 0-based. The piece last read is kept, so that reading on costs nothing
    // (the cache makes reads unsafe from two threads at once).
    char operator[](std::int32_t i) const {
        const auto r = static_cast<std::uint32_t>(i - luDebut_);
        return r < luTaille_ ? luDonnees_[r] : lentement(i);
    }

    void remplace(std::int32_t i, std::int32_t n, std::string_view s);
    std::string sousChaine(std::int32_t i, std::int32_t n) const;
    std::string chaine() const { return sousChaine(0, taille_); }
    void assigne(std::string s);
    // The same in two steps, so that a book's pieces may be made on one core
    // while the other reads its text: first the text as one piece, whole and
    // readable, but copied whole by its first change; then, as long as it
    // did not change and memory allows, cut into pieces of a few kilobytes.
    void assigneSansPieces(std::string s);
    void faitPieces() noexcept;
    // The whole text in one piece; valid until the next change.
    std::string_view contigu();
    // The whole text taken out, leaving this empty.
    std::string prend();

private:
    static constexpr std::int32_t TRANCHE = 2048;       // a text given whole is cut so
    static constexpr std::int32_t PIECE_MAX = 4 * TRANCHE;  // a piece that grows past it is cut in two

    struct Piece {
        std::string propre;            // its bytes, once it changed
        std::int32_t dansBase = -1;    // else where they stand in base_
        std::int32_t taille = 0;
    };
    const char* donnees(const Piece& p) const { return p.dansBase >= 0 ? base_.data() + p.dansBase : p.propre.data(); }
    // The piece that holds byte i (i < taille_), or the last one for i == taille_.
    std::size_t pieceDe(std::int32_t i) const;
    char lentement(std::int32_t i) const;
    void oublieLu() const { luTaille_ = 0; }

    std::string base_;
    std::size_t vues_ = 0;  // pieces still read from base_; none: base_ is let go
    bool intact_ = true;    // the pieces are base_ whole, in order, as given
    std::vector<Piece> pieces_;
    ValeursDecalees<std::int32_t> debuts_;  // where each piece starts
    std::int32_t taille_ = 0;
    mutable const char* luDonnees_ = nullptr;
    mutable std::int32_t luDebut_ = 0;
    mutable std::uint32_t luTaille_ = 0;
};

// An ascending list of positions, in blocks of a few hundred: moving every
// later position costs one addition per block, and a change costs the size
// of a block, wherever it falls.
class IndexPositions {
    static constexpr std::size_t BLOC = 256;  // a block that grows past 2 BLOC is cut

public:
    // Positions given in ascending order, put in blocks as they come: a
    // book's index is made with no list of its own to copy.
    class Remplissage {
    public:
        Remplissage() = default;
        // Moved, it leaves nothing to write into behind it.
        Remplissage(Remplissage&& o) noexcept
            : blocs_(std::move(o.blocs_)), prevus_(std::move(o.prevus_)), ici_(std::exchange(o.ici_, nullptr)),
              fin_(std::exchange(o.fin_, nullptr)) {}
        Remplissage& operator=(Remplissage&& o) noexcept {
            if (this == &o) return *this;
            blocs_ = std::move(o.blocs_);
            prevus_ = std::move(o.prevus_);
            ici_ = std::exchange(o.ici_, nullptr);
            fin_ = std::exchange(o.fin_, nullptr);
            return *this;
        }
        void ajoute(std::int32_t p) {
            if (ici_ == fin_) nouveauBloc();
            *ici_++ = p;
        }
        // Memory for about n positions, asked for by the caller's thread. A
        // thread's first heap grows a page per system call as it is asked
        // for more: the thread that fills the index then asks for none.
        void prevoit(std::size_t n);

    private:
        friend class IndexPositions;
        void nouveauBloc();
        std::vector<std::vector<std::int32_t>> blocs_;
        std::vector<std::vector<std::int32_t>> prevus_;  // empty, their room reserved
        std::int32_t* ici_ = nullptr;  // in the last block
        std::int32_t* fin_ = nullptr;
    };

    std::size_t taille() const { return taille_; }

    std::int32_t operator[](std::size_t i) const {
        const std::size_t b = blocDuRang(i);
        return blocs_[b][i - avant_[b]] + decalages_[b];
    }

    // Index of the first position >= v.
    std::size_t borneInf(std::int32_t v) const;
    // The same from index k on: the first index >= k whose position is >= v.
    // Read forward, block by block: searches that go forward through a book
    // cost the positions they pass, with no jump a processor could not guess.
    std::size_t borneInfDepuis(std::int32_t v, std::size_t k) const;

    // Removes the positions in [a, b), moves those >= b by `d`, then adds
    // `nouvelles` (ascending, all within the changed range).
    void remplace(std::int32_t a, std::int32_t b, std::int32_t d, const std::vector<std::int32_t>& nouvelles);

    void assigne(const std::vector<std::int32_t>& v);
    // The positions given to `premiers`, then those given to `suivants`.
    void assigne(Remplissage premiers, Remplissage suivants);

private:
    // The block of rank i (< taille_); the last one found is tried first,
    // so that reading on or near costs no search.
    std::size_t blocDuRang(std::size_t i) const {
        const std::size_t b = luBloc_;
        if (b < blocs_.size() && i >= avant_[b] && i - avant_[b] < blocs_[b].size()) return b;
        return luBloc_ = avant_.premierAuDela(i) - 1;
    }
    // avant_ again from block b on, after blocks changed in number or size.
    void recompte(std::size_t b);

    // Each block's positions, less the block's shift; no block is empty.
    std::vector<std::vector<std::int32_t>> blocs_;
    ValeursDecalees<std::int32_t> decalages_;
    ValeursDecalees<std::size_t> avant_;  // positions in the blocks before each one
    std::size_t taille_ = 0;
    mutable std::size_t luBloc_ = 0;  // the block last found (reads are thus unsafe from two threads at once)
};

}  // namespace dotavob
