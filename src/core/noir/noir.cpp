#include "core/noir/noir.h"

#include "core/braille/codes.h"
#include "core/document/marqueurs.h"

namespace dotavob {
namespace {

// Capitals only for letters: an apostrophe, a hyphen or a digit inside a
// word in capitals is shown as it is.
Octet majusculeVisible(Octet c) {
    Octet u = enMajuscule(c);
    return estMajuscule(u) ? u : c;
}

// What a line passes on to the next one when a cut inside a word (VT) ends
// it; every other line end clears it.
struct Modes {
    bool majuscule = false, toutMajuscules = false, numerique = false, evidence = false;
};

class Lecteur {
public:
    Lecteur(const ContexteNoir& ctx, LigneNoire& r, const Modes& m)
        : n_(static_cast<std::int32_t>(ctx.texte.size())),
          ctx_(ctx),
          r_(r),
          majuscule_(m.majuscule),
          toutMajuscules_(m.toutMajuscules),
          numerique_(m.numerique),
          evidence_(m.evidence) {}

    Octet at(std::int32_t p) const { return p >= 1 && p <= n_ ? oct(ctx_.texte[static_cast<std::size_t>(p - 1)]) : 0; }

    void emet(std::string_view s, std::uint8_t style, std::int32_t debut, std::int32_t fin) {
        if (muet_) return;
        if (cache_) {
            debut = cache_;
            cache_ = 0;
        }
        if (evidence_) style |= STYLE_GRAS;
        r_.morceaux.push_back({std::string(s), style, debut + ctx_.decalage, fin + ctx_.decalage});
    }
    void emet(Octet c, std::uint8_t style, std::int32_t debut, std::int32_t fin) {
        char ch = static_cast<char>(c);
        emet(std::string_view(&ch, 1), style, debut, fin);
    }

    // Returns the position after what the rule consumed.
    std::int32_t regle(std::int32_t pos);

    Modes modes() const { return {majuscule_, toutMajuscules_, numerique_, evidence_}; }

    std::int32_t n_ = 0;
    bool muet_ = false;  // reading only for the modes: nothing is emitted

private:
    std::int32_t prefixe(std::int32_t pos, Octet c);
    std::int32_t enAttente(std::int32_t pos, Octet c);

    const ContexteNoir& ctx_;
    LigneNoire& r_;
    bool majuscule_ = false, toutMajuscules_ = false, numerique_ = false, evidence_ = false, attente_ = false;
    std::int32_t cache_ = 0;  // first hidden prefix waiting for the sign it belongs to
};

std::int32_t Lecteur::prefixe(std::int32_t pos, Octet c) {
    const Octet k = codePrefixe(c);
    const Octet nx = at(pos + 1), nx2 = at(pos + 2), nx3 = at(pos + 3);
    if (!cache_) cache_ = pos;
    // The prefix of a special sign's own written form belongs to that sign
    // alone: dot 6 before "{" starts no number.
    if (pos < n_ && estSigneSpecial(nx) && oct(ecritureSigneSpecial(nx)[0]) == c) {
        attente_ = true;
        return pos + 1;
    }
    if (k == 5) (majuscule_ ? toutMajuscules_ : majuscule_) = true;
    if (k == 1) numerique_ = true;
    if (k == 7) evidence_ = true;
    auto deux = [&](char a, char b) { return nx == oct(a) && nx2 == oct(b); };
    if (k == 2 && pos < n_ - 1 && nx == 0xF3 && nx2 == 0xF3) {
        attente_ = true;
    } else if (k == 4 && pos < n_ - 2 && nx == 0xE8 && nx2 == 'm' && nx3 == 'e') {
        attente_ = true;
    } else if (k == 4 && pos < n_ - 1 && (deux('m', 'e') || deux('e', 'r') || deux('r', 'e'))) {
        attente_ = true;
    } else if (k == 4 && pos < n_ && (nx == 'e' || nx == 0xEE)) {
        attente_ = true;
    } else if ((k == 2 || k == 4 || k == 6) && pos < n_ && estSigneSpecial(nx)) {
        attente_ = true;
    } else if (k == 2 || k == 4 || k == 6) {
        emet(c, STYLE_NORMAL, pos, pos);
    }
    return pos + 1;
}

std::int32_t Lecteur::enAttente(std::int32_t pos, Octet c) {
    attente_ = false;
    const Octet nx = at(pos + 1), nx2 = at(pos + 2);
    if (c == 0xF0) {
        emet(c, STYLE_GREC, pos, pos);
        return pos + 1;
    }
    if (c == 0xE8 && nx == 'm' && nx2 == 'e') {
        emet("\xE8me", STYLE_EXPOSANT, pos, pos + 2);
        return pos + 3;
    }
    if ((c == 'm' && nx == 'e') || (c == 'e' && nx == 'r') || (c == 'r' && nx == 'e')) {
        const char s[2] = {static_cast<char>(c), static_cast<char>(nx)};
        emet(std::string_view(s, 2), STYLE_EXPOSANT, pos, pos + 1);
        return pos + 2;
    }
    if (c == 'e') {
        emet("e", STYLE_EXPOSANT, pos, pos);
    } else if (c == 0xEE) {
        emet("3", STYLE_EXPOSANT, pos, pos);
    } else if (c == 0xAC) {
        emet("_", STYLE_NORMAL, pos, pos);
    } else if (c == 0xF3 && pos < n_ && nx == 0xF3) {
        emet(Octet{0x89}, STYLE_NORMAL, pos, pos + 1);
        return pos + 2;
    } else {
        emet(c, STYLE_NORMAL, pos, pos);
    }
    return pos + 1;
}

std::int32_t Lecteur::regle(std::int32_t pos) {
    const Octet c = at(pos), nx = at(pos + 1);
    if (pos < n_ && c == 0xA4 && nx == '(') {
        emet("[", STYLE_NORMAL, pos, pos + 1);
        return pos + 2;
    }
    if (pos < n_ && c == ')' && nx == 'b') {
        emet("]", STYLE_NORMAL, pos, pos + 1);
        return pos + 2;
    }
    if (estPrefixe(c)) return prefixe(pos, c);
    if (attente_) return enAttente(pos, c);
    Octet substitut = 0;
    switch (c) {
        case 0xFE: substitut = '0'; break;
        case 0xF5: substitut = 0x91; break;
        case 0xDF: substitut = caracterePrefixe(2); break;
        case 0xDE: substitut = 0xF8; break;
        case 0xDD: substitut = '^'; break;
        case 0xD1: substitut = 0xA8; break;
        case 0xF1: substitut = 0xA4; break;
        case 0xBF: substitut = 0xB8; break;
        default: break;
    }
    if (substitut) {
        emet(substitut, STYLE_NORMAL, pos, pos);
        return pos + 1;
    }
    if (numerique_ && chiffreDeCaractere(c)) {
        emet(chiffreDeCaractere(c), STYLE_NORMAL, pos, pos);
        return pos + 1;
    }
    if (numerique_ && operateurDeCaractere(c)) {
        // ":" and "!" share their cells with division and plus. The space
        // before punctuation is not written in Braille ("12 :" is stored
        // "12:"): before a blank or an end, they end the number as punctuation.
        const Octet apres = at(pos + 1);
        if ((c == ':' || c == '!') && (apres == 0 || apres == ' ' || apres == '\r' || apres == '\n' || apres == '\f')) {
            majuscule_ = toutMajuscules_ = numerique_ = false;
            emet(c, STYLE_NORMAL, pos, pos);
            return pos + 1;
        }
        emet(operateurDeCaractere(c), STYLE_NORMAL, pos, pos);
        return pos + 1;
    }
    std::int32_t p = pos;
    std::string signe;
    if (lisSigneDouble(p, ctx_.texte, signe)) {
        emet(signe, STYLE_NORMAL, pos, p);
        return p + 1;
    }
    if (estSeparateur(c)) {
        majuscule_ = toutMajuscules_ = numerique_ = false;
        evidence_ = false;
        emet(c, STYLE_NORMAL, pos, pos);
        return pos + 1;
    }
    if (majuscule_) {
        majuscule_ = false;
        emet(majusculeVisible(c), STYLE_NORMAL, pos, pos);
    } else if (toutMajuscules_) {
        emet(majusculeVisible(c), STYLE_NORMAL, pos, pos);
    } else if (Octet v = ctx_.marqueurs ? ctx_.marqueurs->Valeur4(pos + ctx_.decalage) : 0) {
        emet(v, STYLE_NORMAL, pos, pos);
    } else {
        emet(c, STYLE_NORMAL, pos, pos);
    }
    return pos + 1;
}

// The modes in which the line at `pos` starts: when a cut inside a word ends
// the line before it, those that held at that cut, read again from the start
// of the word (never further back).
Modes modesAuDebut(const ContexteNoir& ctx, std::int32_t pos) {
    LigneNoire ignore;
    Lecteur l(ctx, ignore, {});
    if (ctx.signesModificateurs || pos < 2 || pos - 1 > l.n_ || l.at(pos - 1) != VT) return {};
    std::int32_t p = pos - 1;
    while (p > 1 && !effaceLesModes(l.at(p - 1))) --p;
    l.muet_ = true;
    while (p < pos - 1) p = l.at(p) == VT ? p + 1 : l.regle(p);
    return l.modes();
}

LigneNoire litLigne(const ContexteNoir& ctx, std::int32_t pos, Modes& modes) {
    LigneNoire r;
    Lecteur l(ctx, r, modes);
    while (pos <= l.n_) {
        const Octet c = l.at(pos);
        if (estFinDeLigne(c)) {
            r.arret = pos + ctx.decalage;
            r.finLigne = c;
            modes = c == VT ? l.modes() : Modes{};
            return r;
        }
        if (ctx.signesModificateurs) {
            if (estPrefixe(c))
                l.emet(c, STYLE_PREFIXE_SEUL, pos, pos);
            else
                l.emet(c == 0xAC ? Octet{'-'} : c, STYLE_NORMAL, pos, pos);
            ++pos;
            continue;
        }
        pos = l.regle(pos);
    }
    r.arret = l.n_ + 1 + ctx.decalage;
    modes = l.modes();
    return r;
}

}  // namespace

bool effaceLesModes(std::uint8_t c) { return c == ' ' || c == CR || c == LF || c == FF; }

LigneNoire litLigneNoir(const ContexteNoir& ctx, std::int32_t pos) {
    Modes modes = modesAuDebut(ctx, pos);
    return litLigne(ctx, pos, modes);
}

std::string texteLigneNoir(const LigneNoire& ligne) {
    std::string s;
    for (const auto& m : ligne.morceaux) s += m.texte;
    return s;
}

std::string BrailleVersNoir(std::string_view braille, const TgestionnaireMarqueurs* marqueurs, std::int32_t decalage) {
    std::string out;
    out.reserve(braille.size());
    ContexteNoir ctx{braille, decalage, marqueurs, false};
    const auto n = static_cast<std::int32_t>(braille.size());
    std::int32_t pos = 1;
    Modes modes;  // carried from line to line, so no line looks back
    while (pos <= n) {
        LigneNoire l = litLigne(ctx, pos, modes);
        for (const auto& m : l.morceaux) out += m.texte;
        switch (l.finLigne) {
            case CR: out += "\r\n"; break;
            case LF: out += ' '; break;
            case FF: out += "\r\f"; break;
            default: break;
        }
        pos = l.arret - decalage + 1;
    }
    return out;
}

std::string BrailleBrut(std::string_view braille) {
    std::string out;
    out.reserve(braille.size() + braille.size() / 16);
    for (char ch : braille) {
        out += ch;
        if (ch == static_cast<char>(CR)) out += static_cast<char>(LF);
    }
    return out;
}

}  // namespace dotavob
