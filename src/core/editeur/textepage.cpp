#include "core/editeur/textepage.h"

#include <algorithm>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

template <typename Remplit>
TextePage compose(const std::vector<LignePage>& lignes, Remplit remplit) {
    TextePage t;
    for (const LignePage& l : lignes) {
        if (!t.lignes.empty()) t.texte += U'\n';
        TextePage::Ligne ligne;
        ligne.debut = l.debut;
        ligne.finLigne = l.debut + static_cast<std::int32_t>(l.texte.size());
        ligne.decalage = static_cast<std::int32_t>(t.texte.size());
        remplit(l, t.texte, ligne.unites);
        ligne.longueur = static_cast<std::int32_t>(t.texte.size()) - ligne.decalage;
        t.lignes.push_back(std::move(ligne));
    }
    return t;
}

}  // namespace

TextePage texteNoir(const std::vector<LignePage>& lignes) {
    return compose(lignes, [](const LignePage& l, std::u32string& texte, std::vector<TextePage::Unite>& unites) {
        for (const MorceauNoir& m : l.noire.morceaux) {
            const auto decalage = static_cast<std::int32_t>(texte.size());
            if (m.style & STYLE_GREC)
                texte += U'\u03C0';  // the Greek run draws pi
            else
                for (char c : m.texte) texte += versUnicode(oct(c));
            unites.push_back({m.debut, m.fin, decalage, static_cast<std::int32_t>(texte.size()) - decalage});
        }
    });
}

TextePage texteBraille(const std::vector<LignePage>& lignes) {
    return compose(lignes, [](const LignePage& l, std::u32string& texte, std::vector<TextePage::Unite>& unites) {
        for (std::size_t i = 0; i < l.texte.size(); ++i) {
            const std::int32_t p = l.debut + static_cast<std::int32_t>(i);
            unites.push_back({p, p, static_cast<std::int32_t>(texte.size()), 1});
            texte += brailleUnicode(oct(l.texte[i]));
        }
    });
}

std::int32_t decalageDe(const TextePage& t, std::int32_t position) {
    for (const auto& l : t.lignes) {
        if (position < l.debut) return l.decalage;
        if (position > l.finLigne) continue;
        std::int32_t d = l.decalage;
        for (const auto& u : l.unites) {
            if (u.fin >= position) break;
            d = u.decalage + u.longueur;
        }
        return d;
    }
    return static_cast<std::int32_t>(t.texte.size());
}

Etendue etendueDe(const TextePage& t, std::int32_t debut, std::int32_t fin) {
    return {decalageDe(t, debut), std::max(decalageDe(t, debut), decalageDe(t, fin + 1))};
}

std::int32_t positionDe(const TextePage& t, std::int32_t decalage) {
    for (const auto& l : t.lignes) {
        if (decalage > l.decalage + l.longueur) continue;
        for (const auto& u : l.unites)
            if (decalage < u.decalage + u.longueur) return u.debut;
        return l.finLigne;
    }
    return t.lignes.empty() ? 1 : t.lignes.back().finLigne;
}

Difference difference(const std::u32string& avant, const std::u32string& apres) {
    std::size_t debut = 0;
    while (debut < avant.size() && debut < apres.size() && avant[debut] == apres[debut]) ++debut;
    std::size_t fin = 0;
    while (fin < avant.size() - debut && fin < apres.size() - debut &&
           avant[avant.size() - 1 - fin] == apres[apres.size() - 1 - fin])
        ++fin;
    return {static_cast<std::int32_t>(debut), avant.substr(debut, avant.size() - debut - fin),
            apres.substr(debut, apres.size() - debut - fin)};
}

}  // namespace dotavob
