#include "core/document/journal.h"

#include <algorithm>

namespace dotavob {
namespace {
std::int32_t litEntier(const std::vector<std::uint8_t>& f, std::size_t o) {
    std::uint32_t u = 0;
    for (std::size_t k = 0; k < 4; ++k) u |= static_cast<std::uint32_t>(f[o + k]) << (8 * k);
    return static_cast<std::int32_t>(u);
}
}  // namespace

void Journal::ecritEntier(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k) flux_.push_back(static_cast<std::uint8_t>((u >> (8 * k)) & 0xFF));
}

void Journal::ecritOctets(std::string_view s) { flux_.insert(flux_.end(), s.begin(), s.end()); }

void Journal::termine(std::size_t debut) {
    // Both copies of L: the record's length without its trailing copy.
    auto l = static_cast<std::int32_t>(flux_.size() - debut);
    auto u = static_cast<std::uint32_t>(l);
    for (std::size_t k = 0; k < 4; ++k) flux_[debut + k] = static_cast<std::uint8_t>((u >> (8 * k)) & 0xFF);
    ecritEntier(l);
    position_ = flux_.size();
}

std::size_t Journal::commence() {
    flux_.resize(position_);
    while (!annexes_.empty() && annexes_.back().first >= position_) annexes_.pop_back();
    return flux_.size();
}

void Journal::joins(std::size_t debut, AnnexeEnregistrement&& a) {
    if (!a.vide()) annexes_.emplace_back(debut, std::move(a));
}

const AnnexeEnregistrement* Journal::annexeDe(std::size_t debut) const {
    auto it = std::lower_bound(annexes_.begin(), annexes_.end(), debut,
                               [](const auto& a, std::size_t d) { return a.first < d; });
    return it != annexes_.end() && it->first == debut ? &it->second : nullptr;
}

void Journal::JournalRemplace(std::string_view ancien, std::string_view nouveau, std::int32_t pos,
                              AnnexeEnregistrement annexe) {
    if (JournalEstSuspendu()) return;
    // A new edit ends the redo history.
    std::size_t debut = commence();
    ecritEntier(0);
    flux_.push_back(REMPLACEMENT);
    ecritEntier(pos);
    ecritEntier(static_cast<std::int32_t>(ancien.size()));
    ecritOctets(ancien);
    ecritEntier(static_cast<std::int32_t>(nouveau.size()));
    ecritOctets(nouveau);
    termine(debut);
    joins(debut, std::move(annexe));
}

void Journal::JournalRetourne(std::int32_t premier, std::int32_t dernier, AnnexeEnregistrement annexe) {
    if (JournalEstSuspendu()) return;
    std::size_t debut = commence();
    ecritEntier(0);
    flux_.push_back(RETOURNEMENT);
    ecritEntier(premier);
    ecritEntier(dernier);
    termine(debut);
    joins(debut, std::move(annexe));
}

bool Journal::decode(std::size_t debut, std::size_t longueur, Enregistrement& e) const {
    // longueur = L; the record spans debut .. debut + L + 4.
    if (longueur < 5 || debut + longueur + 4 > flux_.size()) return false;
    if (litEntier(flux_, debut) != static_cast<std::int32_t>(longueur)) return false;
    e = Enregistrement{};
    e.type = flux_[debut + 4];
    std::size_t o = debut + 5;
    const std::size_t fin = debut + longueur;
    if (e.type == REMPLACEMENT) {
        if (o + 8 > fin) return false;
        e.pos = litEntier(flux_, o);
        auto na = static_cast<std::uint32_t>(litEntier(flux_, o + 4));
        o += 8;
        if (na > fin - o) return false;
        e.ancien.assign(flux_.begin() + static_cast<std::ptrdiff_t>(o),
                        flux_.begin() + static_cast<std::ptrdiff_t>(o + na));
        o += na;
        if (o + 4 > fin) return false;
        auto nn = static_cast<std::uint32_t>(litEntier(flux_, o));
        o += 4;
        if (nn != fin - o) return false;
        e.nouveau.assign(flux_.begin() + static_cast<std::ptrdiff_t>(o),
                         flux_.begin() + static_cast<std::ptrdiff_t>(fin));
    } else if (e.type == RETOURNEMENT) {
        if (longueur != 13) return false;
        e.premier = litEntier(flux_, o);
        e.dernier = litEntier(flux_, o + 4);
    }
    return true;
}

bool Journal::litPrecedent(Enregistrement& e, std::size_t& debut) const {
    if (position_ < 4) return false;
    auto l = static_cast<std::uint32_t>(litEntier(flux_, position_ - 4));
    if (static_cast<std::size_t>(l) + 4 > position_) return false;
    debut = position_ - l - 4;
    if (!decode(debut, l, e)) return false;
    e.annexe = annexeDe(debut);
    return true;
}

bool Journal::litSuivant(Enregistrement& e, std::size_t& fin) const {
    if (position_ + 4 > flux_.size()) return false;
    auto l = static_cast<std::uint32_t>(litEntier(flux_, position_));
    if (!decode(position_, l, e)) return false;
    e.annexe = annexeDe(position_);
    fin = position_ + l + 4;
    return true;
}

}  // namespace dotavob
