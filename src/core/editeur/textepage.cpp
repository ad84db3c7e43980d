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
        ligne.finParagraphe = l.finLigne != LF && l.finLigne != VT;
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

namespace {

bool blanc(char32_t c) { return c == U' ' || c == U'\t' || c == 0xA0 || c == BRAILLE_UNICODE; }

// A character of a word: a letter or a digit in any script the pages show,
// or a cell with at least one dot.
bool deMot(char32_t c) {
    if ((c >= U'0' && c <= U'9') || ((c | 0x20) >= U'a' && (c | 0x20) <= U'z')) return true;
    if (c == 0xAA || c == 0xB2 || c == 0xB3 || c == 0xB5 || c == 0xB9 || c == 0xBA) return true;
    if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;  // not × and ÷
    if (c == 0x152 || c == 0x153 || c == 0x160 || c == 0x161 || c == 0x178 || c == 0x17D || c == 0x17E) return true;
    if (c >= 0x370 && c <= 0x52F) return true;  // Greek, Cyrillic
    return c > BRAILLE_UNICODE && c <= 0x28FF;
}

bool apostrophe(char32_t c) { return c == U'\'' || c == 0x2019; }

// The signs that end a sentence, in print and as the cells of French braille
// (dots 2 5 6, 2 3 5, 2 6), and what may close it after them.
bool finDePhrase(char32_t c) {
    return c == U'.' || c == U'!' || c == U'?' || c == 0x2026 || c == 0x2832 || c == 0x2816 || c == 0x2822;
}
bool fermant(char32_t c) { return c == U')' || c == U']' || c == 0xBB || c == 0x201D || c == U'"'; }

// For each offset of the text, whether a line end stands there that closes
// a paragraph.
std::vector<bool> finsDeParagraphe(const TextePage& t) {
    std::vector<bool> r(t.texte.size(), false);
    for (std::size_t i = 0; i < t.texte.size(); ++i) r[i] = t.texte[i] == U'\n';
    for (const auto& l : t.lignes) {
        const auto p = static_cast<std::size_t>(l.decalage + l.longueur);
        if (p < r.size() && t.texte[p] == U'\n') r[p] = l.finParagraphe;
    }
    return r;
}

// Where each piece of the text starts, in order; the first at 0.
std::vector<std::int32_t> debuts(const TextePage& t, Frontiere f) {
    const std::u32string& s = t.texte;
    const auto n = static_cast<std::int32_t>(s.size());
    std::vector<std::int32_t> d;
    if (n == 0) return d;
    switch (f) {
        case Frontiere::Caractere:
            for (std::int32_t i = 0; i < n; ++i) d.push_back(i);
            break;
        case Frontiere::Mot:
            for (std::int32_t i = 0; i < n;) {
                d.push_back(i);
                std::int32_t j = i + 1;
                if (deMot(s[i]))
                    while (j < n && (deMot(s[j]) || (apostrophe(s[j]) && j + 1 < n && deMot(s[j + 1])))) ++j;
                else if (blanc(s[i]))
                    while (j < n && blanc(s[j])) ++j;
                i = j;
            }
            break;
        case Frontiere::Ligne:
            d.push_back(0);
            for (std::int32_t i = 0; i < n; ++i)
                if (s[i] == U'\n') d.push_back(i + 1);
            break;
        case Frontiere::Paragraphe: {
            const std::vector<bool> fin = finsDeParagraphe(t);
            d.push_back(0);
            for (std::int32_t i = 0; i < n; ++i)
                if (fin[i]) d.push_back(i + 1);
            break;
        }
        case Frontiere::Phrase: {
            const std::vector<bool> fin = finsDeParagraphe(t);
            d.push_back(0);
            for (std::int32_t i = 0; i < n;) {
                if (fin[i]) {
                    if (i + 1 < n) d.push_back(i + 1);
                    ++i;
                    continue;
                }
                if (!finDePhrase(s[i])) {
                    ++i;
                    continue;
                }
                std::int32_t j = i;
                while (j < n && finDePhrase(s[j])) ++j;
                while (j < n && fermant(s[j])) ++j;
                // "3.14" or "etc.)," go on: only a blank or a line end after them ends the sentence.
                if (j < n && !blanc(s[j]) && s[j] != U'\n') {
                    i = j;
                    continue;
                }
                while (j < n && (blanc(s[j]) || (s[j] == U'\n' && !fin[j]))) ++j;
                if (j < n && fin[j]) ++j;  // the paragraph's end goes with its last sentence
                if (j < n) d.push_back(j);
                i = j;
            }
            break;
        }
    }
    return d;
}

}  // namespace

Morceau morceau(const TextePage& t, std::int32_t decalage, Frontiere f, Cote c) {
    const auto n = static_cast<std::int32_t>(t.texte.size());
    // A negative offset stands for the end, as Qt reads -1; past the end is the end.
    const std::int32_t o = decalage < 0 ? n : std::min(decalage, n);
    const std::vector<std::int32_t> d = debuts(t, f);
    if (d.empty()) return {0, 0};
    // The piece that starts at d[k].
    auto piece = [&](std::size_t k) {
        return Morceau{d[k], k + 1 < d.size() ? d[k + 1] : n};
    };
    Morceau a{n, n};  // a character at the end: none
    if (f != Frontiere::Caractere || o < n)
        a = piece(static_cast<std::size_t>(std::upper_bound(d.begin(), d.end(), o) - d.begin()) - 1);
    switch (c) {
        case Cote::A: return a;
        case Cote::Avant: {
            const auto k = static_cast<std::size_t>(std::lower_bound(d.begin(), d.end(), a.debut) - d.begin());
            return k == 0 ? Morceau{0, 0} : piece(k - 1);
        }
        case Cote::Apres: {
            const auto k = static_cast<std::size_t>(std::upper_bound(d.begin(), d.end(), a.debut) - d.begin());
            return k == d.size() ? Morceau{n, n} : piece(k);
        }
    }
    return a;
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
