#include "core/sorties/embossage.h"

#include <algorithm>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/document/formatpage.h"
#include "core/sorties/export.h"

namespace dotavob {
namespace {

// Writes the lines of one page and counts them.
class Page {
public:
    explicit Page(const ReglagesEmbossage& r) : r_(r) {}
    void ligne(std::string_view t) {
        octets_.append(static_cast<std::size_t>(std::clamp(r_.margeGauche, 0, 255)), ' ');
        plusLarge_ = std::max(plusLarge_, static_cast<std::int32_t>(std::min<std::size_t>(t.size(), INT32_MAX)));
        const auto n = std::min(t.size(), static_cast<std::size_t>(std::clamp(r_.caracteresParLigne, 0, 255)));
        for (std::size_t i = 0; i < n; ++i) octets_ += static_cast<char>(octetBraille(oct(t[i]), !r_.codeUS));
        octets_ += "\r\n";
        ++lignes_;
    }
    void videJusqua(std::int32_t n) {
        while (lignes_ < n) ligne({});
    }
    std::int32_t lignes() const { return lignes_; }
    std::int32_t plusLarge() const { return plusLarge_; }  // cells of the widest line given, uncut
    std::string& octets() { return octets_; }

private:
    const ReglagesEmbossage& r_;
    std::string octets_;
    std::int32_t lignes_ = 0, plusLarge_ = 0;
};

// A line of the document as embossed: turned stretches reversed, every cell
// turned; a centred line or every line of an indented paragraph shifted.
std::string ligneEmbossee(const DocumentBraille& d, const ReglagesEmbossage& r, std::int32_t n) {
    const Tligne l = d.ligne(n);
    const auto& m = d.marqueurs();
    std::string t;
    t.reserve(l.texte.size());
    for (std::size_t i = 0; i < l.texte.size();) {
        const auto pos = l.debut + static_cast<std::int32_t>(i);
        if (!m.DansMarqueur(pos, MARQUEUR_RETOURNE)) {
            t += l.texte[i++];
            continue;
        }
        std::size_t j = i;
        while (j < l.texte.size() && m.DansMarqueur(l.debut + static_cast<std::int32_t>(j), MARQUEUR_RETOURNE)) ++j;
        t += retourneChaine(std::string_view(l.texte).substr(i, j - i));
        i = j;
    }
    std::int32_t decalage = 0;
    if (m.DansMarqueur(l.debut, MARQUEUR_CENTRE))
        decalage = std::max(0, (r.caracteresParLigne - static_cast<std::int32_t>(t.size())) / 2);
    else
        decalage = m.IndentationEn(l.debut);  // every line of an indented paragraph, as the wrap left room for
    return std::string(static_cast<std::size_t>(decalage), ' ') + t;
}

}  // namespace

namespace {

Page compose(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, std::int32_t page) {
    Page p(r);
    const std::int32_t nb = d.nbPages();
    for (std::int32_t i = 0; i < r.margeHaut; ++i) p.ligne({});
    if (f.entete.active) p.ligne(page >= f.entete.premierePage ? f.texteentete(page, nb) : std::string());
    if (d.longueur() > 0) {
        const std::int32_t premiere = d.premiereLigneDePage(page), derniere = d.derniereLigneDePage(premiere);
        for (std::int32_t n = premiere; n <= derniere; ++n) {
            p.ligne(ligneEmbossee(d, r, n));
            if (f.interligneDouble) p.ligne({});
        }
    }
    if (f.pied.active) {
        // The footer stands on the page's last line, full page or not.
        p.videJusqua(r.lignesParPage - 1);
        p.ligne(page >= f.pied.premierePage ? f.textepied(page, nb) : std::string());
    } else {
        p.videJusqua(r.lignesParPage);
    }
    return p;
}

}  // namespace

std::int32_t lignesPhysiques(const FormatPage& f) { return f.lignesParPage * (f.interligneDouble ? 2 : 1); }

std::string composePage(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, std::int32_t page) {
    return std::move(compose(d, f, r, page).octets());
}

std::string exporteBrfPages(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r) {
    std::string octets;
    for (std::int32_t page = 1; page <= d.nbPages(); ++page) {
        std::string p = std::move(compose(d, f, r, page).octets());
        // The blank lines that only fill the page (margin included): the form feed ends it.
        const std::size_t dernier = p.find_last_not_of(" \r\n");
        p.resize(dernier == std::string::npos ? 0 : p.find("\r\n", dernier) + 2);
        octets += p;
        octets += '\f';
    }
    return octets;
}

std::int32_t lignesDeLaPlusLonguePage(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r,
                                      std::int32_t premiere, std::int32_t derniere) {
    return mesurePages(d, f, r, premiere, derniere).lignes;
}

MesurePages mesurePages(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r,
                        std::int32_t premiere, std::int32_t derniere) {
    MesurePages m;
    const std::int32_t fin = derniere > 0 ? std::min(derniere, d.nbPages()) : d.nbPages();
    for (std::int32_t page = std::max(1, premiere); page <= fin; ++page) {
        const Page p = compose(d, f, r, page);
        m.lignes = std::max(m.lignes, p.lignes());
        m.caracteres = std::max(m.caracteres, p.plusLarge());
    }
    return m;
}

std::string embosse(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, const TravailEmbossage& t,
                    SpouleurBrut& spouleur) {
    const std::int32_t premiere = std::max(1, t.premiere);
    const std::int32_t derniere = t.derniere > 0 ? std::min(t.derniere, d.nbPages()) : d.nbPages();
    // Nothing to send is said, never reported as a job done.
    if (premiere > derniere || t.copies < 1) return "aucune page à embosser";
    std::string erreurs;
    auto echec = [&] {
        const std::string pourquoi = spouleur.erreur();
        const std::string m = "impossible d'embosser" + (pourquoi.empty() ? std::string() : " : " + pourquoi);
        if (erreurs.find(m) == std::string::npos) erreurs += (erreurs.empty() ? "" : "\n") + m;
    };
    for (std::int32_t copie = 0; copie < t.copies; ++copie) {
        if (!spouleur.ouvre(t.imprimante, t.nomDocument)) {
            echec();
            continue;
        }
        bool ok = true, arrete = false;
        for (std::int32_t page = premiere; ok && page <= derniere; ++page) {
            if (t.avantPage && !t.avantPage(page)) {
                arrete = true;
                break;
            }
            const std::string octets = composePage(d, f, r, page);
            bool debut = spouleur.debutPage();
            while (!debut && t.reessaiePage && t.reessaiePage()) debut = spouleur.debutPage();
            if (!debut) {
                ok = false;
                break;
            }
            ok = spouleur.ecrit(octets) && spouleur.finPage();
        }
        if (arrete) {
            spouleur.annule();
            return "embossage abandonné";
        }
        if (!ok) echec();
        if (!spouleur.ferme() && ok) echec();
        if (spouleur.abandonne()) return "embossage abandonné : " + spouleur.erreur();
    }
    return erreurs;
}

}  // namespace dotavob
