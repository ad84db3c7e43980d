#include "print/pagenoire.h"

#include <algorithm>

#include "braille/document.h"

namespace dotavob {

std::vector<LignePage> lignesAffichees(const DocumentBraille& d, bool signesModificateurs, bool enNoir) {
    std::vector<LignePage> r;
    if (d.longueur() == 0) return r;
    const std::int32_t n = std::max<std::int32_t>(1, d.format().nbLignesTexte);
    const std::int32_t debutPage = d.premierePosition();
    const std::int32_t finPage = d.ligne(d.premiereLigne() + n).debut;
    // The page's bytes and a few after them: the reading looks ahead up to three.
    const std::string fenetre = d.sousChaine(debutPage, finPage - debutPage + 3);
    const ContexteNoir ctx{fenetre, debutPage - 1, &d.marqueurs(), signesModificateurs};
    std::size_t i = 0;
    for (std::int32_t k = 0; k < n && i <= fenetre.size(); ++k) {
        std::size_t fin = i;
        while (fin < fenetre.size() && !estFinDeLigne(oct(fenetre[fin]))) ++fin;
        LignePage l;
        l.numero = d.premiereLigne() + k;
        l.debut = static_cast<std::int32_t>(i) + debutPage;
        l.texte = fenetre.substr(i, fin - i);
        l.finLigne = fin < fenetre.size() ? oct(fenetre[fin]) : 0;
        if (enNoir) l.noire = litLigneNoir(ctx, static_cast<std::int32_t>(i) + 1);
        l.centre = d.marqueurs().DansMarqueur(l.debut, MARQUEUR_CENTRE);
        l.retrait = l.centre ? 0 : d.marqueurs().IndentationEn(l.debut);
        const bool finPageAtteinte = l.finLigne == FF || l.finLigne == 0;
        r.push_back(std::move(l));
        if (finPageAtteinte) break;
        i = fin + 1;
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
