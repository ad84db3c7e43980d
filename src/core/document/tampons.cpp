#include "core/document/tampons.h"

#include <new>

namespace dotavob {

// ---- TexteTampon ----------------------------------------------------------

std::size_t TexteTampon::pieceDe(std::int32_t i) const {
    // No piece is empty: the starts ascend strictly from 0.
    return debuts_.premierAuDela(i) - 1;
}

char TexteTampon::lentement(std::int32_t i) const {
    const std::size_t k = pieceDe(i);
    luDonnees_ = donnees(pieces_[k]);
    luDebut_ = debuts_[k];
    luTaille_ = static_cast<std::uint32_t>(pieces_[k].taille);
    return luDonnees_[i - luDebut_];
}

void TexteTampon::assigne(std::string s) {
    assigneSansPieces(std::move(s));
    faitPieces();
}

void TexteTampon::assigneSansPieces(std::string s) {
    // Made before anything changes: memory that runs out leaves the text as it was.
    std::vector<Piece> pieces;
    std::vector<std::int32_t> debuts;
    const auto n = static_cast<std::int32_t>(s.size());
    if (n > 0) {
        pieces.push_back(Piece{{}, 0, n});
        debuts.push_back(0);
    }
    oublieLu();
    base_ = std::move(s);
    taille_ = n;
    pieces_ = std::move(pieces);
    debuts_.ecrites() = std::move(debuts);
    vues_ = pieces_.size();
    intact_ = true;
}

void TexteTampon::faitPieces() noexcept {
    if (!intact_) return;  // changed since: its pieces are made
    // Made aside, then put in place: memory that runs out leaves the text
    // one piece, which reads as well and is only slower to change.
    std::vector<Piece> pieces;
    std::vector<std::int32_t> debuts;
    try {
        pieces.reserve(static_cast<std::size_t>(taille_ / TRANCHE + 1));
        debuts.reserve(pieces.capacity());
    } catch (const std::bad_alloc&) {
        return;
    }
    for (std::int32_t d = 0; d < taille_; d += TRANCHE) {
        pieces.push_back(Piece{{}, d, std::min(TRANCHE, taille_ - d)});
        debuts.push_back(d);
    }
    oublieLu();
    pieces_ = std::move(pieces);
    debuts_.ecrites() = std::move(debuts);
    vues_ = pieces_.size();
}

void TexteTampon::remplace(std::int32_t i, std::int32_t n, std::string_view s) {
    if (n == 0 && s.empty()) return;
    oublieLu();
    intact_ = false;
    const auto d = static_cast<std::int32_t>(s.size()) - n;
    const std::size_t k0 = pieces_.empty() ? 0 : pieceDe(i);
    const std::size_t k1 = n > 0 ? pieceDe(i + n - 1) : k0;
    if (!pieces_.empty() && k0 == k1 && pieces_[k0].taille + d > 0 && pieces_[k0].taille + d <= PIECE_MAX) {
        // Most changes: within one piece, which stays of a fair size.
        Piece& p = pieces_[k0];
        if (p.dansBase >= 0) {
            p.propre.assign(base_.data() + p.dansBase, static_cast<std::size_t>(p.taille));
            p.dansBase = -1;
            if (--vues_ == 0) base_ = std::string();
        }
        p.propre.replace(static_cast<std::size_t>(i - debuts_[k0]), static_cast<std::size_t>(n), s);
        p.taille += d;
        debuts_.decale(k0 + 1, d);
        taille_ += d;
        return;
    }
    // Pieces k0..k1 made anew: what comes before the change in the first,
    // the new bytes, what follows it in the last.
    std::string_view avant, apres;
    if (!pieces_.empty()) {
        const Piece& a = pieces_[k0];
        const Piece& b = pieces_[k1];
        avant = std::string_view(donnees(a), static_cast<std::size_t>(i - debuts_[k0]));
        const std::int32_t finB = debuts_[k1] + b.taille;
        apres = std::string_view(donnees(b) + b.taille - (finB - i - n), static_cast<std::size_t>(finB - i - n));
    }
    const std::size_t total = avant.size() + s.size() + apres.size();
    const std::size_t parPiece = total <= static_cast<std::size_t>(PIECE_MAX) ? std::max<std::size_t>(total, 1) : 2 * TRANCHE;
    std::vector<Piece> neuves;
    neuves.reserve(total / parPiece + 1);
    const std::string_view parts[] = {avant, s, apres};
    std::size_t part = 0, dansPart = 0;
    for (std::size_t fait = 0; fait < total;) {
        Piece p;
        const std::size_t voulu = std::min(parPiece, total - fait);
        p.propre.reserve(voulu);
        while (p.propre.size() < voulu) {
            if (dansPart == parts[part].size()) {
                ++part;
                dansPart = 0;
                continue;
            }
            const std::size_t m = std::min(voulu - p.propre.size(), parts[part].size() - dansPart);
            p.propre.append(parts[part].substr(dansPart, m));
            dansPart += m;
        }
        p.taille = static_cast<std::int32_t>(voulu);
        fait += voulu;
        neuves.push_back(std::move(p));
    }
    // The room first, so that memory that runs out leaves the text as it was.
    const std::size_t apresChange = pieces_.size() - (pieces_.empty() ? 0 : k1 - k0 + 1) + neuves.size();
    pieces_.reserve(apresChange);
    debuts_.ecrites().reserve(apresChange);
    if (!pieces_.empty()) {
        for (std::size_t k = k0; k <= k1; ++k) vues_ -= pieces_[k].dansBase >= 0 ? 1 : 0;
        const auto premier = pieces_.begin() + static_cast<std::ptrdiff_t>(k0);
        pieces_.erase(premier, premier + static_cast<std::ptrdiff_t>(k1 - k0 + 1));
    }
    pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(k0), std::make_move_iterator(neuves.begin()),
                   std::make_move_iterator(neuves.end()));
    if (vues_ == 0) base_ = std::string();
    std::vector<std::int32_t>& debuts = debuts_.ecrites();
    debuts.resize(pieces_.size());
    for (std::size_t k = k0; k < pieces_.size(); ++k) debuts[k] = k == 0 ? 0 : debuts[k - 1] + pieces_[k - 1].taille;
    taille_ += d;
}

std::string TexteTampon::sousChaine(std::int32_t i, std::int32_t n) const {
    std::string r;
    if (n <= 0) return r;
    r.reserve(static_cast<std::size_t>(n));
    for (std::size_t k = pieceDe(i); n > 0 && k < pieces_.size(); ++k) {
        const std::int32_t de = std::max(i - debuts_[k], 0);
        const std::int32_t m = std::min(n, pieces_[k].taille - de);
        r.append(donnees(pieces_[k]) + de, static_cast<std::size_t>(m));
        n -= m;
    }
    return r;
}

std::string_view TexteTampon::contigu() {
    if (!intact_) assigne(chaine());
    return base_;
}

std::string TexteTampon::prend() {
    std::string r = intact_ ? std::move(base_) : chaine();
    assigne(std::string());
    return r;
}

// ---- IndexPositions -------------------------------------------------------

std::size_t IndexPositions::borneInf(std::int32_t v) const {
    std::size_t bas = 0, haut = blocs_.size();
    // Near the last search, the answer is most often in the same block.
    if (const std::size_t b = luBloc_; b < blocs_.size() && blocs_[b].front() + decalages_[b] < v &&
                                       v <= blocs_[b].back() + decalages_[b])
        bas = haut = b;
    while (bas < haut) {
        const std::size_t m = (bas + haut) / 2;
        if (blocs_[m].back() + decalages_[m] < v)
            bas = m + 1;
        else
            haut = m;
    }
    if (bas == blocs_.size()) return taille_;
    luBloc_ = bas;
    const std::vector<std::int32_t>& x = blocs_[bas];
    const std::int32_t dec = decalages_[bas];
    const auto dans =
        std::partition_point(x.begin(), x.end(), [&](std::int32_t p) { return p + dec < v; });
    return avant_[bas] + static_cast<std::size_t>(dans - x.begin());
}

void IndexPositions::recompte(std::size_t b) {
    std::vector<std::size_t>& avant = avant_.ecrites();
    avant.resize(blocs_.size());
    for (std::size_t k = b; k < blocs_.size(); ++k) avant[k] = k == 0 ? 0 : avant[k - 1] + blocs_[k - 1].size();
    taille_ = blocs_.empty() ? 0 : avant.back() + blocs_.back().size();
}

void IndexPositions::remplace(std::int32_t a, std::int32_t b, std::int32_t d, const std::vector<std::int32_t>& nouvelles) {
    const std::size_t lo = borneInf(a), hi = borneInf(b);
    if (blocs_.empty()) {
        assigne(nouvelles);
        return;
    }
    // The blocks that hold the ranks removed, or where the new ones go;
    // every later block moves by its shift alone.
    const std::size_t k0 = lo < taille_ ? blocDuRang(lo) : blocs_.size() - 1;
    const std::size_t k1 = hi > lo ? blocDuRang(hi - 1) : k0;
    decalages_.decale(k1 + 1, d);
    const std::size_t retirees = hi - lo;
    if (k0 == k1 && blocs_[k0].size() - retirees + nouvelles.size() - 1 < 2 * BLOC) {
        // Most changes: within one block, which stays neither empty nor too long.
        std::vector<std::int32_t>& x = blocs_[k0];
        const std::int32_t dec = decalages_[k0];
        const std::size_t l = lo - avant_[k0], h = hi - avant_[k0];
        // Through a plain pointer and a local copy, so that the loop is vectorised.
        std::int32_t* const q = x.data();
        for (std::size_t j = h, n = x.size(); j < n; ++j) q[j] += d;
        x.erase(x.begin() + static_cast<std::ptrdiff_t>(l), x.begin() + static_cast<std::ptrdiff_t>(h));
        x.insert(x.begin() + static_cast<std::ptrdiff_t>(l), nouvelles.begin(), nouvelles.end());
        for (std::size_t j = l; j < l + nouvelles.size(); ++j) x[j] -= dec;
        // Every later block starts that many ranks further (unsigned: a wrap is a subtraction).
        avant_.decale(k0 + 1, nouvelles.size() - retirees);
        taille_ += nouvelles.size() - retirees;
        return;
    }
    // Else the blocks k0..k1 are made anew.
    std::vector<std::int32_t> neuf;
    neuf.reserve(avant_[k1] + blocs_[k1].size() - avant_[k0] + nouvelles.size());
    for (std::size_t k = k0; k <= k1; ++k) {
        for (std::size_t j = 0; j < blocs_[k].size(); ++j) {
            const std::size_t r = avant_[k] + j;
            if (r == lo) neuf.insert(neuf.end(), nouvelles.begin(), nouvelles.end());
            if (r < lo) neuf.push_back(blocs_[k][j] + decalages_[k]);
            else if (r >= hi) neuf.push_back(blocs_[k][j] + decalages_[k] + d);
        }
    }
    if (lo == taille_) neuf.insert(neuf.end(), nouvelles.begin(), nouvelles.end());
    const auto k0d = static_cast<std::ptrdiff_t>(k0), k1d = static_cast<std::ptrdiff_t>(k1 + 1);
    blocs_.erase(blocs_.begin() + k0d, blocs_.begin() + k1d);
    std::vector<std::int32_t>& decalages = decalages_.ecrites();
    decalages.erase(decalages.begin() + k0d, decalages.begin() + k1d);
    const std::size_t parBloc = neuf.size() <= 2 * BLOC ? neuf.size() : BLOC;
    std::vector<std::vector<std::int32_t>> neufs;
    for (std::size_t j = 0; j < neuf.size(); j += parBloc)
        neufs.emplace_back(neuf.begin() + static_cast<std::ptrdiff_t>(j),
                           neuf.begin() + static_cast<std::ptrdiff_t>(std::min(j + parBloc, neuf.size())));
    blocs_.insert(blocs_.begin() + k0d, std::make_move_iterator(neufs.begin()), std::make_move_iterator(neufs.end()));
    decalages.insert(decalages.begin() + k0d, neufs.size(), 0);
    recompte(k0);
}

std::size_t IndexPositions::borneInfDepuis(std::int32_t v, std::size_t k) const {
    if (k >= taille_) return taille_;
    std::size_t b = blocDuRang(k), j = k - avant_[b];
    for (; b < blocs_.size(); ++b, j = 0) {
        const std::vector<std::int32_t>& x = blocs_[b];
        const std::int32_t dec = decalages_[b];
        if (x.back() + dec < v) continue;
        while (x[j] + dec < v) ++j;
        luBloc_ = b;
        return avant_[b] + j;
    }
    return taille_;
}

void IndexPositions::Remplissage::prevoit(std::size_t n) {
    const std::size_t blocs = (n + BLOC - 1) / BLOC;
    blocs_.reserve(blocs_.size() + blocs);
    prevus_.reserve(prevus_.size() + blocs);
    for (std::size_t k = 0; k < blocs; ++k) prevus_.emplace_back().reserve(BLOC);
}

void IndexPositions::Remplissage::nouveauBloc() {
    if (prevus_.empty()) {
        blocs_.emplace_back(BLOC);
    } else {
        blocs_.push_back(std::move(prevus_.back()));
        prevus_.pop_back();
        blocs_.back().resize(BLOC);
    }
    ici_ = blocs_.back().data();
    fin_ = ici_ + BLOC;
}

void IndexPositions::assigne(const std::vector<std::int32_t>& v) {
    Remplissage r;
    for (const std::int32_t p : v) r.ajoute(p);
    assigne(std::move(r), Remplissage());
}

void IndexPositions::assigne(Remplissage premiers, Remplissage suivants) {
    blocs_.clear();
    for (Remplissage* r : {&premiers, &suivants}) {
        if (r->blocs_.empty()) continue;
        r->blocs_.back().resize(BLOC - static_cast<std::size_t>(r->fin_ - r->ici_));
        blocs_.insert(blocs_.end(), std::make_move_iterator(r->blocs_.begin()), std::make_move_iterator(r->blocs_.end()));
    }
    decalages_.ecrites().assign(blocs_.size(), 0);
    recompte(0);
}

}  // namespace dotavob
