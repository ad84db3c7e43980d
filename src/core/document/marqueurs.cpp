#include "core/document/marqueurs.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <queue>
#include <tuple>

#include "core/braille/codes.h"

namespace dotavob {

std::size_t TgestionnaireMarqueurs::Tableau::premierNonInferieur(std::int64_t k) {
    const std::size_t n = v.size();
    auto convient = [&](std::size_t c) { return (c == 0 || cle(c - 1) < k) && (c == n || !(cle(c) < k)); };
    std::size_t c = std::min(curseur, n);
    if (!convient(c)) {
        if (c < n && convient(c + 1))
            ++c;
        else
            c = recherche(k);
    }
    curseur = c;
    return c;
}

std::size_t TgestionnaireMarqueurs::Tableau::recherche(std::int64_t k) const {
    std::size_t lo = 0, hi = v.size();
    while (lo < hi) {
        const std::size_t m = lo + (hi - lo) / 2;
        if (cle(m) < k)
            lo = m + 1;
        else
            hi = m;
    }
    return lo;
}

void TgestionnaireMarqueurs::Tableau::decale(std::size_t de, std::int64_t d) {
    if (d == 0) return;
    const std::size_t n = v.size();
    de = std::min(de, n);
    if (decalage != 0) {
        depuis = std::min(depuis, n);
        // The entries between the old place and the new keep what they read.
        for (std::size_t i = depuis; i < de; ++i) v[i].cle += decalage;
        for (std::size_t i = de; i < depuis; ++i) v[i].cle -= decalage;
    }
    depuis = de;
    decalage += d;
}

TgestionnaireMarqueurs::IndexGenre* TgestionnaireMarqueurs::index(std::uint8_t kind) const {
    if (!indexAJour_) reconstruitIndex();
    const std::size_t p = place_[kind];
    return p != 0 && p <= index_.size() ? &index_[p - 1] : nullptr;
}

void TgestionnaireMarqueurs::metListeAJour() const {
    if (!enRetard_) return;
    for (const IndexGenre& g : index_) {
        for (std::size_t k = 0; k < g.debuts.size(); ++k)
            liste_[static_cast<std::size_t>(g.debuts.v[k].indice)].start = static_cast<std::int32_t>(g.debuts.cle(k));
        for (std::size_t k = 0; k < g.fins.size(); ++k)
            liste_[static_cast<std::size_t>(g.fins.v[k].indice)].end = static_cast<std::int32_t>(g.fins.cle(k));
    }
    enRetard_ = false;
}

void TgestionnaireMarqueurs::couvre(IndexGenre& g, std::vector<char>& fini) const {
    // A sweep over starts and ends: the markers that hold the current
    // position wait in a heap, smallest list index on top; those that
    // ended leave it when they reach the top.
    std::vector<std::pair<std::int64_t, std::int32_t>> sorties;  // (end + 1, list index)
    for (const auto& e : g.debuts.v) {
        const Marqueur& m = liste_[static_cast<std::size_t>(e.indice)];
        if (m.start <= m.end) sorties.emplace_back(std::int64_t{m.end} + 1, e.indice);
    }
    if (!std::is_sorted(sorties.begin(), sorties.end())) std::sort(sorties.begin(), sorties.end());
    std::priority_queue<std::int32_t, std::vector<std::int32_t>, std::greater<>> actifs;
    constexpr std::int64_t aucun = std::numeric_limits<std::int64_t>::max();
    const auto& debuts = g.debuts.v;
    auto& couverture = g.couverture.v;
    std::size_t a = 0, s = 0;
    while (a < debuts.size() || s < sorties.size()) {
        const std::int64_t x = std::min(a < debuts.size() ? debuts[a].cle : aucun,
                                        s < sorties.size() ? sorties[s].first : aucun);
        for (; s < sorties.size() && sorties[s].first == x; ++s) fini[static_cast<std::size_t>(sorties[s].second)] = 1;
        for (; a < debuts.size() && debuts[a].cle == x; ++a) {
            const Marqueur& m = liste_[static_cast<std::size_t>(debuts[a].indice)];
            if (m.start <= m.end) actifs.push(debuts[a].indice);
        }
        while (!actifs.empty() && fini[static_cast<std::size_t>(actifs.top())]) actifs.pop();
        const std::int32_t premier = actifs.empty() ? -1 : actifs.top();
        if (couverture.empty() ? premier != -1 : couverture.back().indice != premier)
            couverture.push_back({x, premier});
    }
}

void TgestionnaireMarqueurs::reconstruitIndex() const {
    index_.clear();
    place_.fill(0);
    for (std::size_t i = 0; i < liste_.size(); ++i) {
        const Marqueur& m = liste_[i];
        auto& p = place_[m.kind];
        if (p == 0) {
            index_.emplace_back().genre = m.kind;
            p = static_cast<std::uint16_t>(index_.size());
        }
        IndexGenre& g = index_[p - 1U];
        g.debuts.v.push_back({m.start, static_cast<std::int32_t>(i)});
        g.fins.v.push_back({m.end, static_cast<std::int32_t>(i)});
    }
    disjoints_ = true;
    // Lists are mostly kept in text order: sort only what is not.
    for (IndexGenre& g : index_) {
        for (Tableau* t : {&g.debuts, &g.fins})
            if (!std::is_sorted(t->v.begin(), t->v.end())) std::sort(t->v.begin(), t->v.end());
        std::int64_t finPrecedente = std::numeric_limits<std::int64_t>::min();
        for (const auto& e : g.debuts.v) {
            const Marqueur& m = liste_[static_cast<std::size_t>(e.indice)];
            if (m.start > m.end || m.start <= finPrecedente) disjoints_ = false;
            finPrecedente = m.end;
        }
    }
    // Markers that do not overlap answer by their starts and ends alone.
    if (!disjoints_) {
        std::vector<char> fini(liste_.size(), 0);
        for (IndexGenre& g : index_) couvre(g, fini);
    }
    indexAJour_ = true;
}

bool TgestionnaireMarqueurs::horsMarqueurs(std::int64_t debutsDe, std::int64_t debutsA, std::int64_t finsDe,
                                           std::int64_t finsA, std::int64_t debutNonParagraphe) const {
    for (IndexGenre& g : index_) {
        auto debutDans = [&](std::int64_t lo, std::int64_t hi) {
            const std::size_t c = g.debuts.premierNonInferieur(lo);
            return c < g.debuts.size() && g.debuts.cle(c) <= hi;
        };
        const std::size_t f = g.fins.premierNonInferieur(finsDe);
        if (debutDans(debutsDe, debutsA) || (f < g.fins.size() && g.fins.cle(f) <= finsA)) return false;
        const bool paragraphe = g.genre == MARQUEUR_CENTRE || g.genre == MARQUEUR_INDENTATION;
        if (!paragraphe && debutDans(debutNonParagraphe, debutNonParagraphe)) return false;
    }
    return true;
}

void TgestionnaireMarqueurs::decaleIndex(std::int64_t apresDebut, std::int64_t depuisFin, std::int64_t apresCle,
                                         std::int32_t d) const {
    if (d == 0) return;
    for (IndexGenre& g : index_) {
        g.debuts.decale(g.debuts.premierNonInferieur(apresDebut + 1), d);
        g.fins.decale(g.fins.premierNonInferieur(depuisFin), d);
        g.couverture.decale(g.couverture.premierNonInferieur(apresCle + 1), d);
    }
}

std::int32_t TgestionnaireMarqueurs::premierDebut(std::uint8_t kind, std::int32_t pos) const {
    IndexGenre* g = index(kind);
    if (!g) return -1;
    const std::size_t c = g->debuts.premierNonInferieur(pos);
    return c < g->debuts.size() && g->debuts.cle(c) == pos ? g->debuts.v[c].indice : -1;
}

std::int32_t TgestionnaireMarqueurs::dedans(IndexGenre& g, std::int32_t pos, std::int64_t& jusqua, bool suivi) const {
    const std::int64_t apres = std::int64_t{pos} + 1;
    auto cherche = [&](Tableau& t) { return suivi ? t.premierNonInferieur(apres) : t.recherche(apres); };
    if (disjoints_) {
        // The last marker that starts at or before pos, if it reaches pos.
        const std::size_t k = cherche(g.debuts);
        if (k > 0 && g.fins.cle(k - 1) >= pos) {
            jusqua = g.fins.cle(k - 1);
            return g.debuts.v[k - 1].indice;
        }
        jusqua = k < g.debuts.size() ? g.debuts.cle(k) - 1 : std::numeric_limits<std::int64_t>::max();
        return -1;
    }
    // The last entry at or before pos.
    const std::size_t c = cherche(g.couverture);
    jusqua = c < g.couverture.size() ? g.couverture.cle(c) - 1 : std::numeric_limits<std::int64_t>::max();
    return c == 0 ? -1 : g.couverture.v[c - 1].indice;
}

std::int32_t TgestionnaireMarqueurs::premierDedans(std::uint8_t kind, std::int32_t pos) const {
    IndexGenre* g = index(kind);
    std::int64_t jusqua = 0;
    return g ? dedans(*g, pos, jusqua) : -1;
}

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

void TgestionnaireMarqueurs::ajouteAVerifier(std::int32_t debut, std::int32_t fin) {
    if (aVerifier_.debut > aVerifier_.fin) {
        aVerifier_ = {debut, fin};
        return;
    }
    aVerifier_.debut = std::min(aVerifier_.debut, debut);
    aVerifier_.fin = std::max(aVerifier_.fin, fin);
}

void TgestionnaireMarqueurs::Ajoute(std::int32_t start, std::int32_t end, std::uint8_t kind, std::uint8_t extra) {
    metListeAJour();
    change();
    toutAVerifier();
    bascule(start, end, kind);
    if (start >= 1 && end > start) liste_.push_back({start, end, kind, extra});
}

void TgestionnaireMarqueurs::AjouteRetourne(std::int32_t start, std::int32_t end) {
    metListeAJour();
    change();
    bascule(start, end, MARQUEUR_RETOURNE);
    if (start > 0 && end > start) liste_.push_back({start, end, MARQUEUR_RETOURNE, 0});
}

int TgestionnaireMarqueurs::IndiceRetourne(std::int32_t pos) const { return premierDedans(MARQUEUR_RETOURNE, pos); }

bool TgestionnaireMarqueurs::DebutRetourne(std::int32_t pos) const { return premierDebut(MARQUEUR_RETOURNE, pos) >= 0; }

bool TgestionnaireMarqueurs::FinRetourne(std::int32_t pos) const {
    IndexGenre* g = index(MARQUEUR_RETOURNE);
    if (!g) return false;
    const std::int64_t fin = std::int64_t{pos} - 1;
    const std::size_t c = g->fins.premierNonInferieur(fin);
    return c < g->fins.size() && g->fins.cle(c) == fin;
}

bool TgestionnaireMarqueurs::DebutCentre(std::int32_t pos) const { return premierDebut(MARQUEUR_CENTRE, pos) >= 0; }

std::uint8_t TgestionnaireMarqueurs::Indentation(std::int32_t pos) const {
    const std::int32_t i = premierDebut(MARQUEUR_INDENTATION, pos);
    return i < 0 ? 0 : liste_[static_cast<std::size_t>(i)].extra;
}

bool TgestionnaireMarqueurs::DansMarqueur(std::int32_t pos, std::uint8_t kind) const {
    return premierDedans(kind, pos) >= 0;
}

std::uint8_t TgestionnaireMarqueurs::Valeur4(std::int32_t pos) const {
    const std::int32_t i = premierDebut(MARQUEUR_CARACTERE, pos);
    return i < 0 ? 0 : liste_[static_cast<std::size_t>(i)].extra;
}

std::uint8_t TgestionnaireMarqueurs::IndentationEn(std::int32_t pos, std::int32_t* jusqua) const {
    return indentation(pos, jusqua, true);
}

std::uint8_t TgestionnaireMarqueurs::IndentationEnConcurrente(std::int32_t pos, std::int32_t* jusqua) const {
    return indentation(pos, jusqua, false);
}

std::uint8_t TgestionnaireMarqueurs::indentation(std::int32_t pos, std::int32_t* jusqua, bool suivi) const {
    IndexGenre* g = index(MARQUEUR_INDENTATION);
    if (!g) {
        if (jusqua) *jusqua = INT32_MAX;
        return 0;
    }
    std::int64_t fin = 0;
    const std::int32_t i = dedans(*g, pos, fin, suivi);
    if (jusqua) *jusqua = static_cast<std::int32_t>(std::min<std::int64_t>(fin, INT32_MAX));
    return i < 0 ? 0 : liste_[static_cast<std::size_t>(i)].extra;
}

bool TgestionnaireMarqueurs::Bornes(int i, std::int32_t& start, std::int32_t& end) const {
    if (i < 0 || i >= static_cast<int>(liste_.size())) return false;
    metListeAJour();
    start = liste_[static_cast<std::size_t>(i)].start;
    end = liste_[static_cast<std::size_t>(i)].end;
    return true;
}

void TgestionnaireMarqueurs::SupprimeRetourne(int i) {
    if (i < 0 || i >= static_cast<int>(liste_.size())) return;
    metListeAJour();
    liste_.erase(liste_.begin() + i);
    change();
}

void TgestionnaireMarqueurs::Remplacement(std::int32_t from, std::int32_t to, std::int32_t n) {
    ++version_;
    // Typing between markers shifts those after it: the index follows, and
    // when the kinds do not overlap, the list waits until it is read.
    const std::size_t avant = liste_.size();
    const bool suit = indexAJour_ && (from <= to || n > 0) &&
                      horsMarqueurs(from, from <= to ? std::int64_t{to} + 1 : std::int64_t{from} - 1, from, to,
                                    n > 0 ? from : std::int64_t{INT32_MIN});
    const std::int32_t d = n - (from <= to ? to - from + 1 : 0);
    suitZone(from, to, n);
    if (suit && disjoints_) {
        ++version_;
        enRetard_ = true;
        decaleIndex(from, from, from, d);
        return;
    }
    metListeAJour();
    change();
    remplaceListe(from, to, n);
    if (suit && liste_.size() == avant) {
        decaleIndex(from, from, from, d);
        indexAJour_ = true;
    }
}

void TgestionnaireMarqueurs::suitZone(std::int32_t from, std::int32_t to, std::int32_t n) {
    // The zone follows the text; bytes from..from+n are new, and a start
    // just after them has a new byte before it.
    if (aVerifier_.debut <= aVerifier_.fin) {
        const std::int64_t retire = from <= to ? to - from + 1 : 0;
        // An open zone (to the end) stays open.
        auto mappe = [&](std::int32_t p) -> std::int32_t {
            if (p < from || p == INT32_MAX) return p;
            return static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(from, p - retire) + n, INT32_MAX));
        };
        aVerifier_ = {std::min(aVerifier_.debut, from), mappe(aVerifier_.fin)};
    }
    ajouteAVerifier(from, static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{from} + n + 1, INT32_MAX)));
}

void TgestionnaireMarqueurs::remplaceListe(std::int32_t from, std::int32_t to, std::int32_t n) {
    if (from <= to) {
        const std::int32_t retire = to - from + 1;
        // Kept markers close up in one pass, in their order: deleting a
        // stretch that holds many markers stays linear.
        std::size_t garde = 0;
        for (std::size_t i = 0; i < liste_.size(); ++i) {
            Marqueur m = liste_[i];
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
            if (!supprime) liste_[garde++] = m;
        }
        liste_.resize(garde);
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

namespace {
// A paragraph marker that no longer starts a paragraph.
bool aPurger(const Marqueur& m, const std::function<std::uint8_t(std::int32_t)>& octet) {
    if (m.kind != MARQUEUR_CENTRE && m.kind != MARQUEUR_INDENTATION) return false;
    return m.start != 1 && !estSeparateur(octet(m.start - 1));
}
}  // namespace

TgestionnaireMarqueurs::Places TgestionnaireMarqueurs::aPurgerParIndex(
    const std::function<std::uint8_t(std::int32_t)>& octet) const {
    Places r;
    const Zone z = aVerifier_;
    if (z.debut > z.fin) return r;
    for (const std::uint8_t kind : {MARQUEUR_CENTRE, MARQUEUR_INDENTATION}) {
        IndexGenre* g = index(kind);
        if (!g) continue;
        for (std::size_t k = g->debuts.premierNonInferieur(z.debut); k < g->debuts.size() && g->debuts.cle(k) <= z.fin; ++k) {
            const std::int32_t i = g->debuts.v[k].indice;
            const Marqueur m{static_cast<std::int32_t>(g->debuts.cle(k)), static_cast<std::int32_t>(g->fins.cle(k)), kind,
                             liste_[static_cast<std::size_t>(i)].extra};
            if (aPurger(m, octet)) r.emplace_back(i, m);
        }
    }
    std::sort(r.begin(), r.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    return r;
}

void TgestionnaireMarqueurs::Purge(const std::function<std::uint8_t(std::int32_t)>& octet) {
    ++version_;
    const Zone z = aVerifier_;
    if (z.debut > z.fin) return;
    // Most edits leave every paragraph marker after a separator: the index
    // finds the few starts in the zone without reading the list.
    if (indexAJour_ && disjoints_ && aPurgerParIndex(octet).empty()) {
        aVerifier_ = {};
        return;
    }
    aVerifier_ = {};
    metListeAJour();
    if (std::erase_if(liste_, [&](const Marqueur& m) { return z.contient(m.start) && aPurger(m, octet); }) > 0) change();
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
    ++version_;
    const std::int64_t fin = a.finAncien();
    const std::size_t avant = liste_.size();
    const bool suit = indexAJour_ && horsMarqueurs(a.debut(), fin - 1, a.debut() - 1, fin - 1, std::int64_t{INT32_MIN});
    if (aVerifier_.debut <= aVerifier_.fin)
        aVerifier_ = {std::min(aVerifier_.debut, a.debut()),
                      aVerifier_.fin == INT32_MAX ? INT32_MAX : std::max(a.mappe(aVerifier_.fin, false), a.finNouveau())};
    ajouteAVerifier(a.debut(), a.finNouveau());
    if (suit && disjoints_) {
        ++version_;
        if (a.finNouveau() != a.finAncien()) enRetard_ = true;
        decaleIndex(fin - 1, fin, fin - 1, a.finNouveau() - a.finAncien());
        return;
    }
    metListeAJour();
    change();
    for (auto& m : liste_) {
        m.start = a.mappe(m.start, false);
        m.end = a.mappe(m.end, true);
    }
    std::erase_if(liste_, [](const Marqueur& m) { return m.end < m.start; });
    if (suit && liste_.size() == avant) {
        decaleIndex(fin - 1, fin, fin - 1, a.finNouveau() - a.finAncien());
        indexAJour_ = true;
    }
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
    metListeAJour();
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
    enRetard_ = false;
    change();
    toutAVerifier();
    offset = o;
    return true;
}

namespace {
// A range with its ends in either order reaches into lo..hi.
bool touche(const Marqueur& m, std::int32_t lo, std::int32_t hi) {
    return std::min(m.start, m.end) <= hi && std::max(m.start, m.end) >= lo;
}
}  // namespace

TgestionnaireMarqueurs::Places TgestionnaireMarqueurs::touchantParIndex(std::int32_t lo, std::int32_t hi) const {
    // A kind whose markers do not overlap has its starts and ends in the
    // same order: those that reach into lo..hi follow one another from the
    // first that ends at lo or after.
    Places r;
    for (IndexGenre& g : index_)
        for (std::size_t k = g.fins.premierNonInferieur(lo); k < g.debuts.size() && g.debuts.cle(k) <= hi; ++k) {
            const std::int32_t i = g.debuts.v[k].indice;
            const Marqueur& m = liste_[static_cast<std::size_t>(i)];
            r.emplace_back(i, Marqueur{static_cast<std::int32_t>(g.debuts.cle(k)), static_cast<std::int32_t>(g.fins.cle(k)),
                                       m.kind, m.extra});
        }
    std::sort(r.begin(), r.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    return r;
}

TgestionnaireMarqueurs::Places TgestionnaireMarqueurs::touchant(std::int32_t lo, std::int32_t hi) const {
    if (!indexAJour_) reconstruitIndex();
    if (disjoints_) return touchantParIndex(lo, hi);
    Places r;
    for (std::size_t i = 0; i < liste_.size(); ++i)
        if (touche(liste_[i], lo, hi)) r.emplace_back(static_cast<std::int32_t>(i), liste_[i]);
    return r;
}

TgestionnaireMarqueurs::Places TgestionnaireMarqueurs::touchantOuPurges(
    std::int32_t lo, std::int32_t hi, const std::function<std::uint8_t(std::int32_t)>& octet) const {
    if (!indexAJour_) reconstruitIndex();
    if (disjoints_) {
        Places r = touchantParIndex(lo, hi);
        const Places purges = aPurgerParIndex(octet);
        if (purges.empty()) return r;
        Places tous;
        std::merge(r.begin(), r.end(), purges.begin(), purges.end(), std::back_inserter(tous),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
        tous.erase(std::unique(tous.begin(), tous.end(), [](const auto& x, const auto& y) { return x.first == y.first; }),
                   tous.end());
        return tous;
    }
    Places r;
    for (std::size_t i = 0; i < liste_.size(); ++i)
        if (touche(liste_[i], lo, hi) || (aVerifier_.contient(liste_[i].start) && aPurger(liste_[i], octet)))
            r.emplace_back(static_cast<std::int32_t>(i), liste_[i]);
    return r;
}

bool TgestionnaireMarqueurs::remetSurPlace(std::int32_t lo, std::int32_t hi, const Places& p) {
    const Places t = touchantParIndex(lo, hi);
    if (t.size() != p.size()) return false;
    for (std::size_t j = 0; j < t.size(); ++j)
        if (t[j].first != p[j].first || t[j].second.kind != p[j].second.kind || t[j].second.extra != p[j].second.extra)
            return false;
    // In each kind the markers that reach into lo..hi follow one another
    // (k0..k1); their new bounds must keep them apart, in the same order,
    // between their neighbours.
    struct Place {
        IndexGenre* g;
        std::size_t k;
        const Marqueur* m;
    };
    std::vector<Place> places;
    places.reserve(p.size());
    for (std::size_t j = 0; j < p.size(); ++j) {
        IndexGenre* g = index(p[j].second.kind);
        const std::size_t k = g->debuts.premierNonInferieur(t[j].second.start);
        if (k >= g->debuts.size() || g->debuts.v[k].indice != p[j].first) return false;
        places.push_back({g, k, &p[j].second});
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return std::tie(a.g, a.k) < std::tie(b.g, b.k); });
    for (std::size_t j = 0; j < places.size(); ++j) {
        const Place& x = places[j];
        const bool premier = j == 0 || places[j - 1].g != x.g, dernier = j + 1 == places.size() || places[j + 1].g != x.g;
        if (x.m->start > x.m->end) return false;
        if (premier ? x.k > 0 && x.g->fins.cle(x.k - 1) >= x.m->start : places[j - 1].m->end >= x.m->start) return false;
        if (dernier && x.k + 1 < x.g->debuts.size() && x.g->debuts.cle(x.k + 1) <= x.m->end) return false;
    }
    std::int32_t debut = INT32_MAX, fin = INT32_MIN;
    for (const Place& x : places) {
        Tableau& d = x.g->debuts;
        Tableau& f = x.g->fins;
        d.v[x.k].cle = x.m->start - (x.k >= d.depuis ? d.decalage : 0);
        f.v[x.k].cle = x.m->end - (x.k >= f.depuis ? f.decalage : 0);
        Marqueur& l = liste_[static_cast<std::size_t>(d.v[x.k].indice)];
        l.start = x.m->start;
        l.end = x.m->end;
        debut = std::min(debut, x.m->start);
        fin = std::max(fin, x.m->start);
    }
    ++version_;
    // What comes back was checked when it was recorded; a purge looks at it again all the same.
    if (debut <= fin) ajouteAVerifier(debut, fin);
    return true;
}

void TgestionnaireMarqueurs::remetTouchant(std::int32_t lo, std::int32_t hi, const Places& p) {
    if (!indexAJour_) reconstruitIndex();
    if (disjoints_ && remetSurPlace(lo, hi, p)) return;
    retireTouchant(lo, hi);
    remetAuxPlaces(p);
}

void TgestionnaireMarqueurs::retireTouchant(std::int32_t lo, std::int32_t hi) {
    metListeAJour();
    std::erase_if(liste_, [&](const Marqueur& m) { return touche(m, lo, hi); });
    change();
}

void TgestionnaireMarqueurs::remetAuxPlaces(const Places& p) {
    metListeAJour();
    for (const auto& [i, m] : p) {
        const auto place = std::min(static_cast<std::size_t>(std::max(i, 0)), liste_.size());
        liste_.insert(liste_.begin() + static_cast<std::ptrdiff_t>(place), m);
    }
    change();
    toutAVerifier();
}

void TgestionnaireMarqueurs::retireAuxPlaces(const Places& p) {
    metListeAJour();
    for (auto it = p.rbegin(); it != p.rend(); ++it) {
        const auto i = static_cast<std::size_t>(std::max(it->first, 0));
        if (i < liste_.size() && liste_[i] == it->second) liste_.erase(liste_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    change();
}

}  // namespace dotavob
