#include "core/document/document.h"

#include <algorithm>

#include "core/memoire/parallele.h"
#include "core/transcription/transcription.h"

namespace dotavob {
namespace {
bool finParagrapheOctet(Octet b) { return b == CR || b == FF; }
}  // namespace

DocumentBraille::DocumentBraille(const FormatPage& format) : format_(format) {}

std::string DocumentBraille::sousChaine(std::int32_t debut, std::int32_t n) const {
    debut = std::max(debut, 1);
    n = std::min(n, longueur() - debut + 1);
    if (n <= 0) return {};
    return texte_.sousChaine(debut - 1, n);
}

void DocumentBraille::initialise(std::string texte) {
    texte_.assigneSansPieces(std::move(texte));
    reconstruitIndex(true);
    modifie_ = false;
    annonceLignes(1, JUSQUA_LA_FIN);
}

void DocumentBraille::nouveau() {
    marqueurs_.Vide();
    journal_.vide();
    initialise({});
}

void DocumentBraille::charge(std::string texte, std::vector<Marqueur> marqueurs) {
    marqueurs_.Vide();
    for (const auto& m : marqueurs) marqueurs_.ajouteBrut(m);
    journal_.vide();
    initialise(std::move(texte));
}

// Each line end of a book goes through the index's lambda: inlined into the loop.
#if defined(__GNUC__)
#define INLINE_TOUJOURS __attribute__((always_inline))
#else
#define INLINE_TOUJOURS
#endif

namespace {
// One stretch of the text indexed: its line ends, page breaks and paragraph
// ends, and whether its lines stand wrapped.
struct IndexPartiel {
    IndexPositions::Remplissage lignes, sauts, paragraphes;
    bool recoupe = true;
    bool coupure = false;  // a cut (VT) was met while the lines stood wrapped
};

// The bytes [debut, fin) of t, from a paragraph's start, into r; `derniere`: they end t.
void indexe(IndexPartiel& r, std::string_view t, std::size_t debut, std::size_t fin, bool derniere, std::int32_t cpl,
            Indentation indentation) {
    // Whether the text stands wrapped is found in the same pass, while each
    // line is still in the cache.
    VerificationRecoupage verification(t, cpl, std::move(indentation));
    verification.reprend(debut);
    pourChaqueFinDeLigneEtMots(t, debut, fin, [&](std::size_t i, const MotsAutour& mots) INLINE_TOUJOURS {
        const auto position = static_cast<std::int32_t>(i) + 1;
        r.lignes.ajoute(position);
        if (oct(t[i]) == FF) r.sauts.ajoute(position);
        if (finParagrapheOctet(oct(t[i]))) r.paragraphes.ajoute(position);
        verification.ligne(i, &mots);
    });
    if (derniere) verification.ligne(t.size());
    r.recoupe = verification.inchange();
    r.coupure = verification.coupure();
}

// Just past the first paragraph end from the middle of t on, if a byte follows it; else 0.
std::size_t milieuEntreParagraphes(std::string_view t) {
    const char* const bout = t.data() + t.size();
    for (const char* c = t.data() + t.size() / 2; (c = prochaineFinDeLigne(c, bout)) != bout; ++c)
        if (finParagrapheOctet(oct(*c))) return c + 1 == bout ? 0 : static_cast<std::size_t>(c - t.data()) + 1;
    return 0;
}
}  // namespace

void DocumentBraille::reconstruitIndex(bool piecesAFaire) {
    const std::string_view t = texte_.contigu();
    // After a paragraph end every line's check starts over: a book's two
    // halves, cut there, are indexed apart, one on each core.
    constexpr std::size_t SEUIL_PARALLELE = std::size_t{1} << 20;
    const std::size_t coupe = t.size() >= SEUIL_PARALLELE ? milieuEntreParagraphes(t) : 0;
    IndexPartiel r, suite;
    if (coupe == 0) {
        if (piecesAFaire) texte_.faitPieces();
        indexe(r, t, 0, t.size(), true, format_.cpl, indentation());
    } else {
        (void)marqueurs_.IndentationEn(1);  // their index made before two threads read it
        const Indentation concurrente = indentation(true);
        // The second half's index blocks are made here, where the heap grows
        // at once (a new thread's grows a page per system call), while the
        // other core makes the text's pieces; it starts on its half once the
        // blocks are made, or failed to be. A wrapped line holds at most a
        // line's cells and its end.
        EtatPartage prevus(0);
        deuxALaFois(
            [&] {
                {
                    const struct Signale {
                        EtatPartage& e;
                        ~Signale() { e.change(1); }
                    } signale{prevus};
                    suite.lignes.prevoit((t.size() - coupe) / (static_cast<std::size_t>(format_.cpl) + 1));
                }
                indexe(r, t, 0, coupe, false, format_.cpl, concurrente);
            },
            [&] {
                if (piecesAFaire) texte_.faitPieces();
                prevus.attendsQueChange(0, std::chrono::microseconds(500));
                indexe(suite, t, coupe, t.size(), true, format_.cpl, concurrente);
            });
        // As one pass would have found: the second half counts only if the first stood wrapped.
        r.coupure = r.coupure || (r.recoupe && suite.coupure);
        r.recoupe = r.recoupe && suite.recoupe;
    }
    verification_ = Verification{format_.cpl, marqueurs_.version(), r.recoupe, r.coupure};
    lignes_.assigne(std::move(r.lignes), std::move(suite.lignes));
    sauts_.assigne(std::move(r.sauts), std::move(suite.sauts));
    paragraphes_.assigne(std::move(r.paragraphes), std::move(suite.paragraphes));
    segmentsValides_ = false;
    coupeCpl_ = 0;
}

Indentation DocumentBraille::indentation(bool concurrente) const {
    // The markers do not change during a re-wrap: their index answers.
    return [this, concurrente](std::int32_t p) {
        Retrait r;
        r.cellules = concurrente ? marqueurs_.IndentationEnConcurrente(p, &r.jusqua) : marqueurs_.IndentationEn(p, &r.jusqua);
        return r;
    };
}

void DocumentBraille::changeTexte(std::int32_t from, std::int32_t to, std::string_view nouveau) {
    const std::int32_t d = static_cast<std::int32_t>(nouveau.size()) - (to - from);
    std::vector<std::int32_t> nl, ns, np;
    pourChaqueFinDeLigne(nouveau, [&](std::size_t k) {
        nl.push_back(from + static_cast<std::int32_t>(k));
        if (oct(nouveau[k]) == FF) ns.push_back(from + static_cast<std::int32_t>(k));
        if (finParagrapheOctet(oct(nouveau[k]))) np.push_back(from + static_cast<std::int32_t>(k));
    });
    // The paragraph known to be wrapped moves with a change before its
    // paragraph end; a change that reaches it makes it unknown.
    if (coupeCpl_ != 0) {
        if (to <= coupeDebut_ - 1) {
            coupeDebut_ += d;
            coupeFin_ += d;
        } else if (from <= coupeFin_) {
            coupeCpl_ = 0;
        }
    }
    const std::size_t avantFrom = lignes_.borneInf(from);
    const auto retirees = static_cast<std::int32_t>(lignes_.borneInf(to) - avantFrom);
    const bool sautRetire = sauts_.borneInf(to) != sauts_.borneInf(from);
    texte_.remplace(from - 1, to - from, nouveau);
    verification_.reset();
    lignes_.remplace(from, to, d, nl);
    sauts_.remplace(from, to, d, ns);
    paragraphes_.remplace(from, to, d, np);
    // Pages change with the lines, and with the byte just before an FF (an
    // empty FF line after a full page belongs to that page).
    const std::int32_t deltaLignes = static_cast<std::int32_t>(nl.size()) - retirees;
    const bool avantUnSaut = octet(from + static_cast<std::int32_t>(nouveau.size())) == FF;
    if (sautRetire || !ns.empty())
        segmentsValides_ = false;
    else if (deltaLignes != 0 || avantUnSaut)
        ajusteSegments(static_cast<std::int32_t>(avantFrom) + 1, deltaLignes);
}

void DocumentBraille::ajusteSegments(std::int32_t ligne, std::int32_t deltaLignes) {
    if (!segmentsValides_ || segmentsLignesParPage_ != lignesParPage()) {
        segmentsValides_ = false;
        return;
    }
    // Only the segment holding the edit changes; the later ones move.
    auto it = std::lower_bound(segments_.begin(), segments_.end(), ligne,
                               [](const Segment& s, std::int32_t l) { return s.derniereLigne < l; });
    if (it == segments_.end()) --it;
    const auto k = static_cast<std::size_t>(it - segments_.begin());
    const std::int32_t anciennesPages = it->pages;
    if (k + 1 == segments_.size()) {
        *it = segment(it->debutLigne, nbLignes(), 0, it->pagesAvant);
    } else {
        *it = segment(it->debutLigne, it->derniereLigne + deltaLignes, sauts_[k], it->pagesAvant);
    }
    const std::int32_t deltaPages = it->pages - anciennesPages;
    for (auto j = segments_.begin() + static_cast<std::ptrdiff_t>(k) + 1; j != segments_.end(); ++j) {
        j->debutLigne += deltaLignes;
        j->derniereLigne += deltaLignes;
        j->pagesAvant += deltaPages;
    }
}

DocumentBraille::Segment DocumentBraille::segment(std::int32_t debut, std::int32_t derniere, std::int32_t saut,
                                                   std::int32_t pagesAvant) const {
    const std::int32_t n = lignesParPage();
    const std::int32_t m = derniere - debut + 1;
    // Its FF line is empty when a line end stands just before the FF: the
    // line index says so, with no read of a text that may be out of the cache.
    const bool vide =
        saut > 0 && (saut == 1 || (derniere >= 2 && lignes_[static_cast<std::size_t>(derniere) - 2] == saut - 1));
    const bool absorbe = m > 1 && (m - 1) % n == 0 && vide;
    return {debut, derniere, pagesAvant, absorbe ? (m - 1) / n : (m + n - 1) / n, absorbe};
}

Tligne DocumentBraille::ligne(std::int32_t n) const {
    const std::int32_t len = longueur();
    if (len == 0) return {};
    n = std::max(n, 1);
    if (n > nbLignes()) return {len + 1, len, {}};
    Tligne l;
    l.debut = debutLigne(n);
    const auto i = static_cast<std::size_t>(n - 1);
    l.fin = i < lignes_.taille() ? lignes_[i] - 1 : len;
    l.texte = sousChaine(l.debut, l.fin - l.debut + 1);
    return l;
}

std::int32_t DocumentBraille::debutLigne(std::int32_t n) const {
    if (n <= 1) return 1;
    const auto i = static_cast<std::size_t>(n - 2);
    return i < lignes_.taille() ? lignes_[i] + 1 : longueur() + 1;
}

std::int32_t DocumentBraille::positionDe(Point p) const {
    const std::int32_t len = longueur();
    if (len == 0) return 0;
    if (p.ligne > nbLignes()) return len + 1;
    // From the line index alone: no copy of the line on this path of every keystroke.
    const std::int32_t n = std::max(p.ligne, 1);
    const std::int32_t debut = debutLigne(n);
    const auto i = static_cast<std::size_t>(n - 1);
    const std::int32_t taille = (i < lignes_.taille() ? lignes_[i] - 1 : len) - debut + 1;
    const std::int32_t col = std::min(std::max(p.colonne, 1), taille + 1);
    return std::min(debut + col - 1, len + 1);
}

Point DocumentBraille::pointDe(std::int32_t position) const {
    if (longueur() == 0 || position < 2) return {};
    position = std::min(position, longueur() + 1);
    const std::size_t avant = lignes_.borneInf(position);
    const auto ligne = static_cast<std::int32_t>(avant) + 1;
    return {position - debutLigne(ligne) + 1, ligne};
}

std::int32_t DocumentBraille::debutParagraphe(std::int32_t pos) const {
    const std::size_t i = paragraphes_.borneInf(pos);
    return i > 0 ? paragraphes_[i - 1] + 1 : 1;
}

std::int32_t DocumentBraille::finParagraphe(std::int32_t pos) const {
    const std::size_t i = paragraphes_.borneInf(pos);
    return i < paragraphes_.taille() ? paragraphes_[i] : longueur() + 1;
}

// ---- Pages --------------------------------------------------------------

const std::vector<DocumentBraille::Segment>& DocumentBraille::segments() const {
    const std::int32_t n = lignesParPage();
    if (segmentsValides_ && segmentsLignesParPage_ == n) return segments_;
    segments_.clear();
    std::int32_t debut = 1, pagesAvant = 0;
    // Each page break is a line end further on than the one before.
    std::size_t rang = 0;
    for (std::size_t k = 0; k < sauts_.taille(); ++k) {
        const std::int32_t f = sauts_[k];
        rang = lignes_.borneInfDepuis(f, rang);
        segments_.push_back(segment(debut, static_cast<std::int32_t>(rang) + 1, f, pagesAvant));
        pagesAvant += segments_.back().pages;
        debut = segments_.back().derniereLigne + 1;
    }
    segments_.push_back(segment(debut, nbLignes(), 0, pagesAvant));
    segmentsValides_ = true;
    segmentsLignesParPage_ = n;
    return segments_;
}

std::int32_t DocumentBraille::pageDeLigne(std::int32_t n, std::int32_t* premiere) const {
    const auto& seg = segments();
    n = std::clamp(n, 1, nbLignes());
    auto it = std::lower_bound(seg.begin(), seg.end(), n,
                               [](const Segment& s, std::int32_t l) { return s.derniereLigne < l; });
    if (it == seg.end()) --it;
    const std::int32_t parPage = lignesParPage();
    // The empty line of an FF that follows a full page: typing there writes
    // on the next page, so the caret is shown there, on its first row.
    if (it->absorbe && n == it->derniereLigne) {
        if (premiere) *premiere = n + 1;
        return it->pagesAvant + it->pages + 1;
    }
    const std::int32_t rang = (n - it->debutLigne) / parPage;
    if (premiere) *premiere = it->debutLigne + rang * parPage;
    return it->pagesAvant + rang + 1;
}

std::int32_t DocumentBraille::nbPages() const {
    const auto& seg = segments();
    return seg.back().pagesAvant + seg.back().pages;
}

std::int32_t DocumentBraille::derniereLigneDePage(std::int32_t premiere) const {
    std::int32_t derniere = std::min(premiere + lignesParPage() - 1, nbLignes());
    const std::size_t k = sauts_.borneInf(debutLigne(premiere));
    if (k < sauts_.taille()) derniere = std::min(derniere, pointDe(sauts_[k]).ligne);
    return std::max(premiere, derniere);
}

std::int32_t DocumentBraille::premiereLigneDePage(std::int32_t n) const {
    const auto& seg = segments();
    n = std::clamp(n, 1, nbPages());
    auto it = std::lower_bound(seg.begin(), seg.end(), n,
                               [](const Segment& s, std::int32_t p) { return s.pagesAvant + s.pages < p; });
    return it->debutLigne + (n - it->pagesAvant - 1) * lignesParPage();
}

// ---- Editing ------------------------------------------------------------

std::function<std::uint8_t(std::int32_t)> DocumentBraille::lecteur() const {
    return [this](std::int32_t p) { return octet(p); };
}

void DocumentBraille::journaliseDifference(std::string_view avant, std::string_view apres, std::int32_t pos,
                                           std::size_t maxPre, std::size_t maxSuf, AnnexeEnregistrement annexe) {
    // The record holds only what differs: the common start and end are left out.
    std::size_t pre = 0, suf = 0;
    while (pre < maxPre && pre < avant.size() && pre < apres.size() && avant[pre] == apres[pre]) ++pre;
    while (suf < maxSuf && suf < avant.size() - pre && suf < apres.size() - pre &&
           avant[avant.size() - 1 - suf] == apres[apres.size() - 1 - suf])
        ++suf;
    journal_.JournalRemplace(avant.substr(pre, avant.size() - pre - suf), apres.substr(pre, apres.size() - pre - suf),
                             pos + static_cast<std::int32_t>(pre), std::move(annexe));
}

std::int32_t DocumentBraille::remplace(std::int32_t from, std::int32_t to, std::string_view nouveau) {
    const std::int32_t len = longueur();
    from = std::clamp(from, 1, len + 1);
    to = std::clamp(to, from, len + 1);
    // What the replacement and the re-wraps of the two paragraphs can touch.
    const std::int32_t a = debutParagraphe(from);
    const std::int32_t b = finParagraphe(to);
    const bool finDeParagraphe =
        std::any_of(nouveau.begin(), nouveau.end(), [](char c) { return finParagrapheOctet(oct(c)); });
    // A paste of whole paragraphs (a book imported) goes the long way: it
    // re-wraps only the paragraphs at its two ends and copies nothing else.
    const bool paragraphesInseres = nouveau.size() > 4096 && finDeParagraphe;
    if (!paragraphesInseres && paragraphesCoupes(a, b)) return remplaceDansParagrapheCoupe(from, to, nouveau, a, b);
    // A document nobody will undo (one made by the command line) keeps no
    // copy of the stretch: a whole book inserted at once is not held twice.
    const bool journalise = !journal_.JournalEstSuspendu();
    const std::string avant = journalise ? sousChaine(a, b - a) : std::string();
    // Undo puts back the markers of the stretch as they were, and those that
    // the purge below removes wherever they stand (a paragraph marker that no
    // longer starts a paragraph). The stretch is widened by one each side: a
    // marker cut short at the edit can end just before it.
    AnnexeEnregistrement annexe;
    if (journalise) annexe.avant = marqueurs_.touchantOuPurges(a - 1, b + 1, lecteur());

    changeTexte(from, to, nouveau);
    marqueurs_.Remplacement(from, to - 1, static_cast<std::int32_t>(nouveau.size()));
    marqueurs_.Purge(lecteur());
    // The later paragraph first: re-wrapping it never moves the earlier one.
    // The end of the new text is followed through both re-wraps.
    const auto n = static_cast<std::int32_t>(nouveau.size());
    std::int32_t suivi = n > 0 ? from + n - 1 : from;
    recoupeParagraphe(from + n, &suivi, n > 0);
    // Without a paragraph end in the new text both are one paragraph, which
    // the re-wrap may have shortened: `from` can then stand in the next one,
    // which no edit touched.
    if (finDeParagraphe) recoupeParagraphe(from, &suivi, n > 0);

    // The record holds the net change, re-wraps included, so that undo and
    // redo give back exactly the text that stood.
    const std::int32_t retour = n > 0 ? suivi + 1 : suivi;
    if (journalise) {
        const std::string apres = sousChaine(a, b - a + longueur() - len);
        annexe.debut = a - 1;
        annexe.finAvant = b + 1;
        annexe.finApres = b + 1 + longueur() - len;
        annexe.apres = marqueurs_.touchant(annexe.debut, annexe.finApres);
        // The caret as the user saw it: after the bytes put back, or after the new ones.
        annexe.curseurDefait = to;
        annexe.curseurRefait = retour;
        journaliseDifference(avant, apres, a, static_cast<std::size_t>(from - a), static_cast<std::size_t>(b - to),
                             std::move(annexe));
    }

    modifie_ = true;
    annonceLignes(pointDe(a).ligne, JUSQUA_LA_FIN);
    retientParagrapheCoupe(retour);
    return retour;
}

bool DocumentBraille::paragraphesCoupes(std::int32_t a, std::int32_t b) const {
    if (format_.cpl < 1) return false;
    if (coupeCpl_ == format_.cpl && coupeDebut_ <= a && b <= coupeFin_) return true;
    // A text found wrapped as it was indexed (a book just opened) is wrapped
    // in every paragraph but the indented ones, which the opening wraps
    // narrower; words cut (VT) are cut otherwise by an edit's re-wrap.
    if (!verification_ || !verification_->recoupe || verification_->coupure || verification_->cpl != format_.cpl ||
        verification_->versionMarqueurs != marqueurs_.version())
        return false;
    for (std::int32_t p = a;;) {
        std::int32_t jusqua = 0;
        if (marqueurs_.IndentationEn(p, &jusqua) != 0) return false;
        if (jusqua >= b) return true;
        p = jusqua + 1;
    }
}

void DocumentBraille::retientParagrapheCoupe(std::int32_t pos) {
    coupeCpl_ = format_.cpl >= 1 ? format_.cpl : 0;
    coupeDebut_ = debutParagraphe(pos);
    coupeFin_ = finParagraphe(pos);
}

std::int32_t DocumentBraille::remplaceDansParagrapheCoupe(std::int32_t from, std::int32_t to, std::string_view nouveau,
                                                          std::int32_t a, std::int32_t b) {
    const std::int32_t len = longueur();
    const std::int32_t cpl = format_.cpl;
    const auto n = static_cast<std::int32_t>(nouveau.size());
    const std::int32_t dEdit = n - (to - from);

    // The first line to re-wrap: the line before it decided its end from
    // bytes that the edit leaves alone (a decision reads at most 2 cpl + 3
    // bytes of the paragraph, VT apart, from its line start).
    const std::int32_t portee = 2 * cpl + 8;
    std::size_t j = lignes_.borneInf(from);
    std::int32_t debut = j > 0 && lignes_[j - 1] >= a ? lignes_[j - 1] + 1 : a;
    for (std::int32_t vt = 0; debut > a; --j) {
        if (octet(lignes_[j - 1]) == VT) ++vt;
        const std::int32_t debutPrec = j > 1 && lignes_[j - 2] >= a ? lignes_[j - 2] + 1 : a;
        if (from - debutPrec - vt >= portee) break;
        debut = debutPrec;
    }

    // The paragraph as it will be after the edit, as CoupeParagraphe takes
    // it, from `debut` on; each byte with its position once the edit is made.
    std::string plat;
    std::vector<std::int32_t> place;
    // Called for every byte re-wrapped: kept inline whatever else the file holds.
    auto ajoute = [&](char c, std::int32_t p) INLINE_TOUJOURS {
        if (c == static_cast<char>(VT)) return;
        plat += c == static_cast<char>(LF) ? ' ' : c;
        place.push_back(p);
    };
    for (std::int32_t p = debut; p < from; ++p) ajoute(texte_[p - 1], p);
    // New paragraph ends: the paragraph they end is re-wrapped whole, the
    // whole paragraphs between them come as they are (wrapped by whoever
    // inserts them), and the last one is re-wrapped as below.
    std::string tete;
    std::int32_t k0 = 0;
    bool unSeulSaut = false;  // the new text ends one paragraph, no more
    const auto finNouveau = std::find_if(nouveau.begin(), nouveau.end(), [](char c) { return finParagrapheOctet(oct(c)); });
    if (finNouveau != nouveau.end()) {
        const auto premiere = static_cast<std::int32_t>(finNouveau - nouveau.begin());
        for (std::int32_t k = 0; k < premiere; ++k) ajoute(nouveau[static_cast<std::size_t>(k)], from + k);
        tete = CoupeParagraphe(plat, cpl);
        const auto derniere = static_cast<std::int32_t>(
            nouveau.size() - 1 -
            static_cast<std::size_t>(std::find_if(nouveau.rbegin(), nouveau.rend(), [](char c) {
                                         return finParagrapheOctet(oct(c));
                                     }) - nouveau.rbegin()));
        tete.append(nouveau.substr(static_cast<std::size_t>(premiere), static_cast<std::size_t>(derniere - premiere + 1)));
        unSeulSaut = premiere == derniere;
        plat.clear();
        place.clear();
        k0 = derniere + 1;
    }
    for (std::int32_t k = k0; k < n; ++k) ajoute(nouveau[static_cast<std::size_t>(k)], from + k);
    // Past the new bytes, a line that starts where a line of the old wrap
    // started ends the work: from there the old wrap is the new one.
    auto arret = [&](std::size_t g) {
        if (g >= place.size()) return false;
        const std::int32_t q = place[g];
        if (q - 1 < from + n) return false;
        const Octet avant = octet(q - 1 - dEdit);  // the text is not changed yet
        return avant == LF || avant == VT;
    };
    std::string sortie;
    std::size_t g = 0;
    // Each try reads four times as far: a wrap that never meets the old one
    // again costs about one pass over the paragraph, not two.
    for (std::int32_t lu = to, fin = std::min(b, to + 4 * portee);;
         fin = static_cast<std::int32_t>(std::min<std::int64_t>(b, fin + std::int64_t{3} * (fin - to) + portee))) {
        for (; lu < fin; ++lu) ajoute(texte_[lu - 1], lu + dEdit);
        g = CoupeParagrapheDepuis(plat, fin == b, cpl, arret, sortie);
        if (g != std::string_view::npos) break;
    }
    sortie.insert(0, tete);
    const std::int32_t q = g < place.size() ? place[g] : b + dEdit;  // end of the re-wrapped stretch, after the edit
    const std::int32_t qAvant = q - dEdit;                            // the same, before it

    // The markers for undo, as in `remplace`, over the stretch that changes.
    AnnexeEnregistrement annexe;
    if (!journal_.JournalEstSuspendu()) annexe.avant = marqueurs_.touchantOuPurges(debut - 1, qAvant + 1, lecteur());

    const std::string retire = journal_.JournalEstSuspendu() ? std::string() : sousChaine(from, to - from);
    changeTexte(from, to, nouveau);
    marqueurs_.Remplacement(from, to - 1, n);
    marqueurs_.Purge(lecteur());
    std::int32_t suivi = n > 0 ? from + n - 1 : from;
    const std::string ancienne = sousChaine(debut, q - debut);
    if (sortie != ancienne) {
        changeTexte(debut, q, sortie);
        const AlignementRecoupage alignement(debut, ancienne, sortie);
        marqueurs_.suitRecoupage(alignement);
        suivi = alignement.mappe(suivi, n > 0);
    }
    const std::int32_t retour = n > 0 ? suivi + 1 : suivi;

    // The record of the net change, as `remplace` makes it from the whole
    // paragraph before and after: outside the re-wrapped stretch both agree,
    // so only that stretch is read. A document nobody will undo makes none.
    const std::int32_t dTotal = longueur() - len;
    if (!journal_.JournalEstSuspendu()) {
        const std::string avantF = ancienne.substr(0, static_cast<std::size_t>(from - debut)) + retire +
                                   ancienne.substr(static_cast<std::size_t>(from + n - debut));
        const std::int32_t tailleAvant = b - a, tailleApres = tailleAvant + dTotal, wa = debut - a;
        const auto fa = static_cast<std::int32_t>(avantF.size()), fn = static_cast<std::int32_t>(sortie.size());
        auto avantEn = [&](std::int32_t k) -> char {
            if (k < wa) return static_cast<char>(octet(a + k));
            if (k < wa + fa) return avantF[static_cast<std::size_t>(k - wa)];
            return static_cast<char>(octet(a + k + dTotal));
        };
        auto apresEn = [&](std::int32_t k) -> char {
            if (k < wa) return static_cast<char>(octet(a + k));
            if (k < wa + fn) return sortie[static_cast<std::size_t>(k - wa)];
            return static_cast<char>(octet(a + k));
        };
        const std::int32_t maxPre = from - a, maxSuf = b - to, queue = tailleAvant - wa - fa;
        std::int32_t pre = std::min({wa, maxPre, tailleAvant, tailleApres});
        while (pre < maxPre && pre < tailleAvant && pre < tailleApres && avantEn(pre) == apresEn(pre)) ++pre;
        std::int32_t suf = std::min({queue, maxSuf, tailleAvant - pre, tailleApres - pre});
        while (suf < maxSuf && suf < tailleAvant - pre && suf < tailleApres - pre &&
               avantEn(tailleAvant - 1 - suf) == apresEn(tailleApres - 1 - suf))
            ++suf;
        // Bytes de..a of the paragraph, before or after: the text before the
        // stretch, the stretch (`milieu`), then the text after it, read where it
        // now stands (`decalage`), a piece at a time.
        auto morceaux = [&](std::int32_t de, std::int32_t a_, std::string_view milieu, std::int32_t decalage) {
            std::string r;
            r.reserve(static_cast<std::size_t>(std::max(a_ - de, 0)));
            const auto m = static_cast<std::int32_t>(milieu.size());
            if (de < std::min(a_, wa)) r += sousChaine(a + de, std::min(a_, wa) - de);
            if (const std::int32_t x = std::max(de, wa), y = std::min(a_, wa + m); x < y)
                r.append(milieu.substr(static_cast<std::size_t>(x - wa), static_cast<std::size_t>(y - x)));
            if (const std::int32_t x = std::max(de, wa + m); x < a_) r += sousChaine(a + x + decalage, a_ - x);
            return r;
        };
        const std::string ancienEnr = morceaux(pre, tailleAvant - suf, avantF, dTotal);
        const std::string nouveauEnr = morceaux(pre, tailleApres - suf, sortie, 0);
        annexe.debut = debut - 1;
        annexe.finAvant = qAvant + 1;
        annexe.finApres = qAvant + 1 + dTotal;
        annexe.apres = marqueurs_.touchant(annexe.debut, annexe.finApres);
        annexe.curseurDefait = to;
        annexe.curseurRefait = retour;
        journal_.JournalRemplace(ancienEnr, nouveauEnr, a + pre, std::move(annexe));
    }

    modifie_ = true;
    annonceLignes(pointDe(a).ligne, JUSQUA_LA_FIN);
    // The paragraphs of the stretch stand wrapped: the one edited, or both
    // halves of one cut in two (Enter), so that joining them again (Backspace)
    // re-wraps only around the join. Whole paragraphs pasted between come
    // as they were given.
    if (tete.empty() || unSeulSaut) {
        coupeDebut_ = a;
        coupeFin_ = b + dTotal;
        coupeCpl_ = cpl;
    } else {
        retientParagrapheCoupe(retour);
    }
    return retour;
}

ResultatRecoupage DocumentBraille::recoupeParagraphe(std::int32_t pos, std::int32_t* suivi, bool suiviEstFin) {
    pos = std::clamp(pos, 1, longueur() + 1);
    const std::int32_t a = debutParagraphe(pos);
    const std::int32_t b = finParagraphe(pos);
    const std::int32_t premiere = pointDe(a).ligne;
    if (b <= a) return {premiere, false, premiere};
    const std::string ancien = sousChaine(a, b - a);
    std::string plat;
    plat.reserve(ancien.size());
    std::int32_t anciennesLignes = 1;
    for (char c : ancien) {
        if (c == static_cast<char>(VT)) {
            ++anciennesLignes;
        } else if (c == static_cast<char>(LF)) {
            ++anciennesLignes;
            plat += ' ';
        } else {
            plat += c;
        }
    }
    std::int32_t lignes = 1;
    const std::string nouveau = CoupeParagraphe(plat, format_.cpl, &lignes);
    if (nouveau != ancien) {
        changeTexte(a, b, nouveau);
        if (suivi || !marqueurs_.vide()) {
            const AlignementRecoupage alignement(a, ancien, nouveau);
            marqueurs_.suitRecoupage(alignement);
            if (suivi) *suivi = alignement.mappe(*suivi, suiviEstFin);
        }
    }
    return {premiere, lignes != anciennesLignes, premiere + lignes - 1};
}

bool DocumentBraille::coupeSelonLeFormat() {
    // A document opened as it was saved was checked when its index was built.
    if (!verification_ || verification_->cpl != format_.cpl || verification_->versionMarqueurs != marqueurs_.version())
        reconstruitIndex();
    return verification_->recoupe;
}

void DocumentBraille::recoupeDocument(bool journalise, const FormatPage* formatAvant) {
    std::optional<std::string> recoupe;
    if (!coupeSelonLeFormat()) recoupe = recoupeTexte(texte_.contigu(), format_.cpl, indentation());
    if (!recoupe) {
        // The text stays as it was, but the format is undone all the same.
        if (journalise && formatAvant && !journal_.JournalEstSuspendu()) {
            AnnexeEnregistrement annexe;
            annexe.formatAvant = *formatAvant;
            annexe.formatApres = format_;
            journal_.JournalRemplace("", "", 1, std::move(annexe));
        }
        return;
    }
    AnnexeEnregistrement annexe;
    if (journalise) annexe.avant = marqueurs_.touchant(1, JUSQUA_LA_FIN);
    const std::string ancien = texte_.prend();
    const std::string& nouveau = *recoupe;
    texte_.assigne(nouveau);
    // With no marker, nothing has to follow the bytes.
    if (!marqueurs_.vide()) marqueurs_.suitRecoupage(AlignementRecoupage(1, ancien, nouveau));
    reconstruitIndex();
    if (journalise) {
        // Every marker may have moved: all of them are kept for undo.
        annexe.debut = 1;
        annexe.finAvant = annexe.finApres = JUSQUA_LA_FIN;
        annexe.apres = marqueurs_.touchant(1, JUSQUA_LA_FIN);
        if (formatAvant) {
            annexe.formatAvant = *formatAvant;
            annexe.formatApres = format_;
        }
        journaliseDifference(ancien, nouveau, 1, ancien.size(), ancien.size(), std::move(annexe));
    }
    modifie_ = true;
    annonceLignes(1, JUSQUA_LA_FIN);
}

void DocumentBraille::retourne(std::int32_t s, std::int32_t e) {
    if (s < 1 || e < s) return;
    int i = marqueurs_.IndiceRetourne(s);
    if (i < 0) i = marqueurs_.IndiceRetourne(e);
    std::int32_t de = s, a = e;
    if (i >= 0) marqueurs_.Bornes(i, de, a);
    // The record replays in its own direction: the markers before and after
    // (a toggle may reach markers beyond the range, and turning is a rare
    // command: all of them).
    AnnexeEnregistrement annexe;
    annexe.debut = 1;
    annexe.finAvant = annexe.finApres = JUSQUA_LA_FIN;
    annexe.avant = marqueurs_.touchant(1, JUSQUA_LA_FIN);
    if (i < 0)
        marqueurs_.AjouteRetourne(s, e);
    else
        marqueurs_.SupprimeRetourne(i);
    annexe.apres = marqueurs_.touchant(annexe.debut, annexe.finApres);
    const std::int32_t premiere = pointDe(std::min(de, a)).ligne, derniere = pointDe(std::max(de, a)).ligne;
    journal_.JournalRetourne(de, a, std::move(annexe));
    annonceLignes(premiere, derniere);
    modifie_ = true;
}

void DocumentBraille::marqueParagraphe(std::int32_t debut, std::int32_t fin, std::uint8_t kind, std::uint8_t extra) {
    // Undone like an edit: a record that changes no byte, with the markers
    // before and after (a toggle may reach markers beyond the paragraph, and
    // it is a rare command: all of them).
    AnnexeEnregistrement annexe;
    annexe.debut = 1;
    annexe.finAvant = annexe.finApres = JUSQUA_LA_FIN;
    annexe.avant = marqueurs_.touchant(1, JUSQUA_LA_FIN);
    marqueurs_.Ajoute(debut, fin, kind, extra);
    annexe.apres = marqueurs_.touchant(1, JUSQUA_LA_FIN);
    // An empty paragraph takes no marker: no record, nothing changed.
    if (annexe.apres == annexe.avant) return;
    journal_.JournalRemplace("", "", debut, std::move(annexe));
    modifie_ = true;
    annonceLignes(pointDe(debut).ligne, pointDe(fin + 1).ligne);
}

std::int32_t DocumentBraille::cherche(std::string_view motif, std::int32_t depart) const {
    if (motif.empty()) return 0;
    const std::string t = texte();
    const std::size_t trouve = t.find(motif, static_cast<std::size_t>(std::max(depart, 1) - 1));
    return trouve == std::string::npos ? 0 : static_cast<std::int32_t>(trouve) + 1;
}

bool DocumentBraille::rejoue(std::int32_t from, std::int32_t to, std::string_view nouveau) {
    if (from < 1 || to < from || to > longueur() + 1) return false;
    changeTexte(from, to, nouveau);
    marqueurs_.Remplacement(from, to - 1, static_cast<std::int32_t>(nouveau.size()));
    marqueurs_.Purge(lecteur());
    modifie_ = true;
    annonceLignes(pointDe(from).ligne, JUSQUA_LA_FIN);
    return true;
}

ResultatRejeu DocumentBraille::rejoueEnregistrement(const Enregistrement& e, bool defaire) {
    Journal::Suspension suspension(journal_);
    const AnnexeEnregistrement* x = e.annexe;
    // The markers of the stretch become those the record kept for this side.
    auto remetMarqueurs = [&] {
        if (!x) return;
        marqueurs_.remetTouchant(x->debut, defaire ? x->finAvant : x->finApres, defaire ? x->avant : x->apres);
        annonceLignes(pointDe(std::max(1, x->debut)).ligne, JUSQUA_LA_FIN);
    };
    if (e.type == Journal::REMPLACEMENT) {
        const std::string& retire = defaire ? e.nouveau : e.ancien;
        // The format first, the text put back being wrapped and paged by it;
        // a record that cannot be replayed changes neither.
        if (e.pos < 1 || e.pos + static_cast<std::int64_t>(retire.size()) > std::int64_t{longueur()} + 1) return {};
        if (x)
            if (const auto& f = defaire ? x->formatAvant : x->formatApres)
                for (auto* o : observateurs_) o->formatRemis(*f);
        const std::string& remis = defaire ? e.ancien : e.nouveau;
        const auto n = static_cast<std::int32_t>(remis.size());
        if (!rejoue(e.pos, e.pos + static_cast<std::int32_t>(retire.size()), remis)) return {};
        remetMarqueurs();
        const std::int32_t curseur = x ? (defaire ? x->curseurDefait : x->curseurRefait) : 0;
        return {true, curseur > 0 ? curseur : e.pos + n};
    }
    if (e.type == Journal::RETOURNEMENT) {
        if (x) {
            remetMarqueurs();
            modifie_ = true;
        } else if (e.premier >= 1 && e.dernier >= e.premier) {
            retourne(e.premier, e.dernier);  // a record without its markers: turning is its own inverse
        }
    }
    return {true, 0};
}

ResultatRejeu DocumentBraille::Defait() {
    Enregistrement e;
    std::size_t debut = 0;
    if (!journal_.PeutDefaire() || !journal_.litPrecedent(e, debut)) return {};
    const ResultatRejeu r = rejoueEnregistrement(e, true);
    if (r.ok) journal_.placePosition(debut);
    return r;
}

ResultatRejeu DocumentBraille::Refait() {
    Enregistrement e;
    std::size_t fin = 0;
    if (!journal_.PeutRefaire() || !journal_.litSuivant(e, fin)) return {};
    const ResultatRejeu r = rejoueEnregistrement(e, false);
    if (r.ok) journal_.placePosition(fin);
    return r;
}

// ---- Observers ----------------------------------------------------------

void DocumentBraille::retireObservateur(ObservateurDocument* o) { std::erase(observateurs_, o); }

void DocumentBraille::annonceLignes(std::int32_t premiere, std::int32_t derniere) {
    for (auto* o : observateurs_) o->lignesModifiees(premiere, derniere);
}

}  // namespace dotavob
