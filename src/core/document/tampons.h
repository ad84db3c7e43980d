// Storage that keeps typing cheap in book-length documents: a change costs
// the distance from the previous change, not the length of the document.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace dotavob {

// Bytes copied in reverse order, eight at a time where the compiler can
// swap a word's bytes: moving the gap across a book is a copy, not a loop
// over each byte.
inline void copieInversee(const char* de, std::size_t n, char* vers) {
#if defined(__GNUC__)
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t mot;
        std::memcpy(&mot, de + n - i - 8, 8);
        mot = __builtin_bswap64(mot);
        std::memcpy(vers + i, &mot, 8);
    }
    for (; i < n; ++i) vers[i] = de[n - 1 - i];
#else
    std::reverse_copy(de, de + n, vers);
#endif
}

// A byte string held as two halves around a gap: the bytes before the gap
// in order, the bytes after it in reverse order.
class TexteTampon {
public:
    std::int32_t taille() const { return static_cast<std::int32_t>(tete_.size() + queue_.size()); }
    bool vide() const { return tete_.empty() && queue_.empty(); }

    // 0-based.
    char operator[](std::int32_t i) const {
        auto u = static_cast<std::size_t>(i);
        return u < tete_.size() ? tete_[u] : queue_[queue_.size() - 1 - (u - tete_.size())];
    }

    void remplace(std::int32_t i, std::int32_t n, std::string_view s) {
        deplace(i + n);
        tete_.resize(tete_.size() - static_cast<std::size_t>(n));
        tete_.append(s);
    }

    std::string sousChaine(std::int32_t i, std::int32_t n) const {
        std::string r;
        if (n <= 0) return r;
        r.reserve(static_cast<std::size_t>(n));
        // Before the gap in one piece, then after it, read back from its reversed half.
        const auto debut = static_cast<std::size_t>(i), fin = debut + static_cast<std::size_t>(n), t = tete_.size();
        if (debut < t) r.append(tete_, debut, std::min(fin, t) - debut);
        if (fin > t) {
            // Bytes de..a after the gap stand, reversed, at q - a..q - de of the queue.
            const std::size_t de = std::max(debut, t) - t, a = fin - t, q = queue_.size(), ici = r.size();
            r.resize(ici + (a - de));
            copieInversee(queue_.data() + q - a, a - de, r.data() + ici);
        }
        return r;
    }

    std::string chaine() const {
        std::string r = tete_;
        r.resize(tete_.size() + queue_.size());
        copieInversee(queue_.data(), queue_.size(), r.data() + tete_.size());
        return r;
    }

    void assigne(std::string s) {
        tete_ = std::move(s);
        queue_.clear();
    }

    // The whole text in one piece, the gap moved to its end; valid until the
    // next change.
    std::string_view contigu() {
        deplace(taille());
        return tete_;
    }

    // The whole text taken out, leaving this empty.
    std::string prend() {
        deplace(taille());
        std::string r = std::move(tete_);
        tete_.clear();
        queue_.clear();
        return r;
    }

private:
    // The bytes cross the gap in one reversed copy into their new place
    // (appending a reversed range would first build it in a temporary).
    void deplace(std::int32_t i) {
        auto u = static_cast<std::size_t>(i);
        if (tete_.size() > u) {
            const std::size_t k = tete_.size() - u, q = queue_.size();
            queue_.resize(q + k);
            copieInversee(tete_.data() + u, k, queue_.data() + q);
            tete_.resize(u);
        } else if (tete_.size() < u) {
            const std::size_t k = u - tete_.size(), t = tete_.size(), q = queue_.size();
            tete_.resize(t + k);
            copieInversee(queue_.data() + q - k, k, tete_.data() + t);
            queue_.resize(q - k);
        }
    }

    std::string tete_, queue_;
};

// An ascending list of positions. Those after the gap are stored relative to
// a shared offset, so moving every later position costs one addition.
class IndexPositions {
public:
    std::size_t taille() const { return tete_.size() + queue_.size(); }

    std::int32_t operator[](std::size_t i) const {
        return i < tete_.size() ? tete_[i] : queue_[queue_.size() - 1 - (i - tete_.size())] + decalage_;
    }

    // Index of the first position >= v.
    std::size_t borneInf(std::int32_t v) const {
        std::size_t bas = 0, haut = taille();
        while (bas < haut) {
            std::size_t m = (bas + haut) / 2;
            if ((*this)[m] < v)
                bas = m + 1;
            else
                haut = m;
        }
        return bas;
    }

    // Removes the positions in [a, b), moves those >= b by `d`, then adds
    // `nouvelles` (ascending, all within the changed range).
    void remplace(std::int32_t a, std::int32_t b, std::int32_t d, const std::vector<std::int32_t>& nouvelles) {
        deplace(borneInf(a));
        while (!queue_.empty() && queue_.back() + decalage_ < b) queue_.pop_back();
        decalage_ += d;
        tete_.insert(tete_.end(), nouvelles.begin(), nouvelles.end());
    }

    void assigne(std::vector<std::int32_t> v) {
        tete_ = std::move(v);
        queue_.clear();
        decalage_ = 0;
    }

private:
    void deplace(std::size_t i) {
        while (tete_.size() > i) {
            queue_.push_back(tete_.back() - decalage_);
            tete_.pop_back();
        }
        while (tete_.size() < i) {
            tete_.push_back(queue_.back() + decalage_);
            queue_.pop_back();
        }
    }

    std::vector<std::int32_t> tete_, queue_;
    std::int32_t decalage_ = 0;
};

}  // namespace dotavob
