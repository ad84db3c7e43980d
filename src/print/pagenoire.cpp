#include "print/pagenoire.h"

#include <algorithm>

#include "braille/document.h"

namespace dotavob {

std::vector<LignePage> lignesAffichees(const DocumentBraille& d, bool signesModificateurs) {
    std::vector<LignePage> r;
    if (d.longueur() == 0) return r;
    const std::int32_t n = std::max<std::int32_t>(1, d.format().nbLignesTexte);
    const std::int32_t debutPage = d.premierePosition();
    const std::int32_t finPage = d.ligne(d.premiereLigne() + n).debut;
    // The page's bytes and a few after them: the reading looks ahead up to three.
    const std::string fenetre = d.sousChaine(debutPage, finPage - debutPage + 3);
    const ContexteNoir ctx{fenetre, debutPage - 1, &d.marqueurs(), signesModificateurs};
    std::int32_t pos = 1;
    for (std::int32_t k = 0; k < n && pos <= static_cast<std::int32_t>(fenetre.size()) + 1; ++k) {
        LignePage l;
        l.numero = d.premiereLigne() + k;
        l.debut = pos + ctx.decalage;
        l.noire = litLigneNoir(ctx, pos);
        l.finLigne = l.noire.finLigne;
        l.texte = fenetre.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(l.noire.arret - l.debut));
        l.centre = d.marqueurs().DansMarqueur(l.debut, MARQUEUR_CENTRE);
        l.retrait = l.centre ? 0 : d.marqueurs().IndentationEn(l.debut);
        const bool finPageAtteinte = l.finLigne == FF || l.finLigne == 0;
        pos = l.noire.arret - ctx.decalage + 1;
        r.push_back(std::move(l));
        if (finPageAtteinte) break;
    }
    return r;
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
