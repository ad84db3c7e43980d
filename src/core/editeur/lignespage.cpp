#include "core/editeur/lignespage.h"

#include <algorithm>

#include "core/document/document.h"
#include "core/editeur/editeur.h"

namespace dotavob {

LignePage lignePage(const DocumentBraille& d, std::int32_t numero, bool signesModificateurs, bool enNoir) {
    const Tligne t = d.ligne(numero);
    LignePage l;
    l.numero = numero;
    l.debut = t.debut;
    l.texte = t.texte;
    l.finLigne = d.octet(t.fin + 1);  // 0 at the end of the text
    if (enNoir) {
        // The line, its end and the bytes after it: the reading looks ahead up
        // to three. A line that a cut inside a word (VT) starts reads in the
        // modes of that word, so the window opens at the word's start.
        std::int32_t debut = t.debut;
        if (!signesModificateurs && d.octet(debut - 1) == VT) {
            --debut;
            while (debut > 1 && !effaceLesModes(d.octet(debut - 1))) --debut;
        }
        const std::string fenetre =
            d.sousChaine(debut, t.debut - debut + static_cast<std::int32_t>(t.texte.size()) + 4);
        l.noire = litLigneNoir(ContexteNoir{fenetre, debut - 1, &d.marqueurs(), signesModificateurs},
                               t.debut - debut + 1);
    }
    l.centre = d.marqueurs().DansMarqueur(l.debut, MARQUEUR_CENTRE);
    l.retrait = l.centre ? 0 : d.marqueurs().IndentationEn(l.debut);
    return l;
}

std::vector<LignePage> lignesAffichees(const EditeurBraille& e, bool signesModificateurs, bool enNoir) {
    std::vector<LignePage> r;
    const DocumentBraille& d = e.document();
    if (d.longueur() == 0) return r;
    const std::int32_t n = d.lignesParPage(), premiere = e.premiereLigne();
    for (std::int32_t numero = premiere; numero < premiere + n && numero <= d.nbLignes(); ++numero) {
        r.push_back(lignePage(d, numero, signesModificateurs, enNoir));
        if (r.back().finLigne == FF || r.back().finLigne == 0) break;
    }
    return r;
}

std::int32_t decalageLigne(const DocumentBraille& d, std::int32_t debut, std::int32_t longueur) {
    if (d.longueur() == 0) return 0;
    if (d.marqueurs().DansMarqueur(debut, MARQUEUR_CENTRE)) return std::max(0, (d.format().cpl - longueur) / 2);
    return d.marqueurs().IndentationEn(debut);
}

LignePage ligneSeule(const std::string& texte, bool signesModificateurs) {
    LignePage l;
    l.numero = 1;
    l.debut = 1;
    l.texte = texte;
    l.noire = litLigneNoir(ContexteNoir{texte, 0, nullptr, signesModificateurs}, 1);
    return l;
}

}  // namespace dotavob
