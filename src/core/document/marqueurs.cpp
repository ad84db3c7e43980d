#include "core/document/marqueurs.h"

#include <algorithm>
#include <cstring>

#include "core/braille/codes.h"

namespace dotavob {

void TgestionnaireMarqueurs::bascule(std::int32_t& a, std::int32_t& b, std::uint8_t kind) {
    std::size_t i = 0;
    while (i < liste_.size()) {
        if (liste_[i].kind != kind) {
            ++i;
            continue;
        }
        Marqueur& m = liste_[i];
        if (a < m.start && m.start <= b) {
            Marqueur avant{a, m.start - 1, kind, m.extra};
            m.start = b + 1;
            a = m.end + 1;
            liste_.insert(liste_.begin() + static_cast<std::ptrdiff_t>(i) + 1, avant);
        } else if (m.start == a) {
            m.start = b + 1;
            a = m.end + 1;
        } else if (m.start < a && a < m.end) {
            Marqueur avant{m.start, a - 1, kind, m.extra};
            m.start = b + 1;
            a = m.end + 1;
            liste_.insert(liste_.begin() + static_cast<std::ptrdiff_t>(i) + 1, avant);
        } else if (a == m.end + 1) {
            m.end = b;
            a = b = 0;
            return;
        } else if (b == m.start - 1) {
            m.start = a;
            a = b = 0;
            return;
        }
        if (liste_[i].end < liste_[i].start)
            liste_.erase(liste_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
        if (b < a) {
            a = b = 0;
            return;
        }
    }
}

void TgestionnaireMarqueurs::Ajoute(std::int32_t start, std::int32_t end, std::uint8_t kind, std::uint8_t extra) {
    bascule(start, end, kind);
    if (start >= 1 && end > start) liste_.push_back({start, end, kind, extra});
}

void TgestionnaireMarqueurs::AjouteRetourne(std::int32_t start, std::int32_t end) {
    bascule(start, end, MARQUEUR_RETOURNE);
    if (start > 0 && end > start) liste_.push_back({start, end, MARQUEUR_RETOURNE, 0});
}

int TgestionnaireMarqueurs::IndiceRetourne(std::int32_t pos) const {
    for (std::size_t i = 0; i < liste_.size(); ++i) {
        const auto& m = liste_[i];
        if (m.kind == MARQUEUR_RETOURNE && m.start <= pos && pos <= m.end) return static_cast<int>(i);
    }
    return -1;
}

bool TgestionnaireMarqueurs::DebutRetourne(std::int32_t pos) const {
    return std::any_of(liste_.begin(), liste_.end(),
                       [&](const Marqueur& m) { return m.kind == MARQUEUR_RETOURNE && m.start == pos; });
}

bool TgestionnaireMarqueurs::FinRetourne(std::int32_t pos) const {
    return std::any_of(liste_.begin(), liste_.end(),
                       [&](const Marqueur& m) { return m.kind == MARQUEUR_RETOURNE && m.end == pos - 1; });
}

bool TgestionnaireMarqueurs::DebutCentre(std::int32_t pos) const {
    return std::any_of(liste_.begin(), liste_.end(),
                       [&](const Marqueur& m) { return m.kind == MARQUEUR_CENTRE && m.start == pos; });
}

std::uint8_t TgestionnaireMarqueurs::Indentation(std::int32_t pos) const {
    for (const auto& m : liste_)
        if (m.kind == MARQUEUR_INDENTATION && m.start == pos) return m.extra;
    return 0;
}

bool TgestionnaireMarqueurs::DansMarqueur(std::int32_t pos, std::uint8_t kind) const {
    return std::any_of(liste_.begin(), liste_.end(),
                       [&](const Marqueur& m) { return m.kind == kind && m.start <= pos && pos <= m.end; });
}

std::uint8_t TgestionnaireMarqueurs::Valeur4(std::int32_t pos) const {
    for (const auto& m : liste_)
        if (m.kind == MARQUEUR_CARACTERE && m.start == pos) return m.extra;
    return 0;
}

std::uint8_t TgestionnaireMarqueurs::IndentationEn(std::int32_t pos) const {
    for (const auto& m : liste_)
        if (m.kind == MARQUEUR_INDENTATION && m.start <= pos && pos <= m.end) return m.extra;
    return 0;
}

bool TgestionnaireMarqueurs::Bornes(int i, std::int32_t& start, std::int32_t& end) const {
    if (i < 0 || i >= static_cast<int>(liste_.size())) return false;
    start = liste_[static_cast<std::size_t>(i)].start;
    end = liste_[static_cast<std::size_t>(i)].end;
    return true;
}

void TgestionnaireMarqueurs::SupprimeRetourne(int i) {
    if (i < 0 || i >= static_cast<int>(liste_.size())) return;
    liste_.erase(liste_.begin() + i);
}

void TgestionnaireMarqueurs::Remplacement(std::int32_t from, std::int32_t to, std::int32_t n) {
    if (from <= to) {
        const std::int32_t retire = to - from + 1;
        for (std::size_t i = 0; i < liste_.size();) {
            Marqueur& m = liste_[i];
            bool supprime = false;
            if (m.kind == MARQUEUR_CENTRE && m.start - 1 == to) {
                supprime = true;
            } else {
                if (from <= m.start) m.start = std::max(from, m.start - retire);
                if (from <= m.end) {
                    m.end -= retire;
                    if (m.end < from) m.end = from - 1;
                }
                supprime = m.end < m.start;
            }
            if (supprime)
                liste_.erase(liste_.begin() + static_cast<std::ptrdiff_t>(i));
            else
                ++i;
        }
    }
    if (n == 0) return;
    for (auto& m : liste_) {
        // A paragraph marker keeps its start when text is typed exactly there,
        // so the new text joins the paragraph.
        bool paragraphe = m.kind == MARQUEUR_CENTRE || m.kind == MARQUEUR_INDENTATION;
        if (from <= m.start && !(paragraphe && m.start == from)) m.start += n;
        if (from <= m.end) m.end += n;
    }
}

void TgestionnaireMarqueurs::Purge(const std::function<std::uint8_t(std::int32_t)>& octet) {
    std::erase_if(liste_, [&](const Marqueur& m) {
        if (m.kind != MARQUEUR_CENTRE && m.kind != MARQUEUR_INDENTATION) return false;
        return m.start != 1 && !estSeparateur(octet(m.start - 1));
    });
}

AlignementRecoupage::AlignementRecoupage(std::int32_t debut, std::string_view ancien, std::string_view nouveau)
    : debut_(debut),
      finAncien_(debut + static_cast<std::int32_t>(ancien.size())),
      delta_(static_cast<std::int32_t>(nouveau.size()) - static_cast<std::int32_t>(ancien.size())),
      versNouveau_(ancien.size() + 1),
      retire_(ancien.size() + 1, 0) {
    // The two texts hold the same bytes but for VT and LF/space.
    const std::size_t na = ancien.size();
    auto lfOuEspace = [](char c) { return c == ' ' || c == static_cast<char>(LF); };
    std::size_t i = 0, j = 0;
    while (i < na) {
        if (j < nouveau.size() &&
            (ancien[i] == nouveau[j] || (lfOuEspace(ancien[i]) && lfOuEspace(nouveau[j])))) {
            versNouveau_[i++] = static_cast<std::int32_t>(j++);
        } else if (ancien[i] == static_cast<char>(VT)) {
            retire_[i] = 1;
            versNouveau_[i++] = static_cast<std::int32_t>(j);
        } else if (j < nouveau.size() && nouveau[j] == static_cast<char>(VT)) {
            ++j;
        } else {
            versNouveau_[i++] = static_cast<std::int32_t>(j < nouveau.size() ? j++ : j);
        }
    }
    versNouveau_[na] = static_cast<std::int32_t>(nouveau.size());
}

std::int32_t AlignementRecoupage::mappe(std::int32_t p, bool estFin) const {
    if (p < debut_) return p;
    if (p >= finAncien_) return p + delta_;
    const auto k = static_cast<std::size_t>(p - debut_);
    const std::int32_t q = debut_ + versNouveau_[k];
    // A removed byte that ended a range leaves the range ending before it.
    return retire_[k] && estFin ? q - 1 : q;
}

void TgestionnaireMarqueurs::suitRecoupage(const AlignementRecoupage& a) {
    for (auto& m : liste_) {
        m.start = a.mappe(m.start, false);
        m.end = a.mappe(m.end, true);
    }
    std::erase_if(liste_, [](const Marqueur& m) { return m.end < m.start; });
}

namespace {
void ecritEntier(std::string& s, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k) s += static_cast<char>((u >> (8 * k)) & 0xFF);
}
std::int32_t litEntier(std::string_view s, std::size_t o) {
    std::uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= static_cast<std::uint32_t>(oct(s[o + static_cast<std::size_t>(k)])) << (8 * k);
    return static_cast<std::int32_t>(u);
}
}  // namespace

void TgestionnaireMarqueurs::Ecrit(std::string& sortie) const {
    sortie += '\0';
    sortie += '\0';
    ecritEntier(sortie, static_cast<std::int32_t>(liste_.size()));
    for (const auto& m : liste_) {
        ecritEntier(sortie, m.start);
        ecritEntier(sortie, m.end);
        sortie += static_cast<char>(m.kind);
        sortie += static_cast<char>(m.extra);
    }
}

bool TgestionnaireMarqueurs::Lit(std::string_view donnees, std::size_t& offset) {
    if (offset > donnees.size() || donnees.size() - offset < 6) return false;
    std::int32_t n = litEntier(donnees, offset + 2);
    std::size_t reste = donnees.size() - offset - 6;
    if (n < 0 || static_cast<std::size_t>(n) > reste / 10) return false;
    std::vector<Marqueur> lus;
    lus.reserve(static_cast<std::size_t>(n));
    std::size_t o = offset + 6;
    for (std::int32_t k = 0; k < n; ++k, o += 10)
        lus.push_back({litEntier(donnees, o), litEntier(donnees, o + 4), oct(donnees[o + 8]), oct(donnees[o + 9])});
    liste_ = std::move(lus);
    offset = o;
    return true;
}

}  // namespace dotavob
