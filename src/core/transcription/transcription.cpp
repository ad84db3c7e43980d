#include "core/transcription/transcription.h"

#include <algorithm>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

constexpr char cLF = static_cast<char>(LF);
constexpr char cVT = static_cast<char>(VT);

std::size_t debutLigneDe(std::string_view s) {
    for (std::size_t i = s.size(); i > 0; --i)
        if (estFinDeLigne(oct(s[i - 1]))) return i;
    return 0;
}

bool estSigneDouble(Octet a, Octet b) {
    const char deux[2] = {static_cast<char>(a), static_cast<char>(b)};
    std::int32_t p = 1;
    std::string ignore;
    return lisSigneDouble(p, std::string_view(deux, 2), ignore);
}

// Makes room on the current line of `out` before a unit that does not fit
// (`suite` holds its first bytes); returns the column after the line's bytes.
std::int32_t coupe(std::string& out, std::int32_t cpl, std::string_view suite, bool ligneEntamee) {
    const std::size_t debut = debutLigneDe(out);
    const std::size_t len = out.size();
    if (len > debut) {
        std::size_t k = len - 1;
        while (k > debut && out[k] != ' ' && static_cast<std::int32_t>(len - 1 - k) < cpl) --k;
        const auto distance = static_cast<std::int32_t>(len - 1 - k);
        if (distance < cpl && out[k] == ' ') {
            out[k] = cLF;  // the word that did not fit moves to the new line
            return distance + 1;
        }
        if (distance < cpl && estSeparateurMot(oct(out[k]))) {
            out.insert(k + 1, 1, cVT);
            return distance + 1;
        }
    }
    // No place to break: the word is cut at the margin.
    std::size_t j = placeCoupure(out, suite, len, debut, ligneEntamee && debut == 0);
    out.insert(j, 1, cVT);
    return static_cast<std::int32_t>(len - j) + 1;
}

// The end (exclusive index) of the stretch that starts at a capital letter,
// when it holds two or more letters and all of them are capitals; 0 if not.
// The stretch ends where the print view ends a word in capitals.
std::size_t finEtirementMajuscules(std::string_view noir, std::size_t i) {
    int lettres = 0;
    std::size_t j = i;
    for (; j < noir.size(); ++j) {
        Octet c = normaliseGuillemets(oct(noir[j]));
        if (c == ' ' || estPonctuation(c) || estFinDeLigne(c) || c == 0x85 || c == '}') break;
        if (estMinuscule(c)) return 0;
        if (estMajuscule(c)) ++lettres;
    }
    return lettres >= 2 ? j : 0;
}

}  // namespace

std::size_t placeCoupure(std::string_view s, std::string_view suite, std::size_t j, std::size_t debutLigne,
                         bool ligneEntamee) {
    auto at = [&](std::size_t i) -> Octet {
        if (i < s.size()) return oct(s[i]);
        i -= s.size();
        return i < suite.size() ? oct(suite[i]) : 0;
    };
    auto prefixeCache = [&](std::size_t i) {
        Octet k = codePrefixe(at(i));
        if (k == AUCUNE_CELLULE) return false;
        return k == 1 || k == 3 || k == 5 || k == 7 || estSigneSpecial(at(i + 1));
    };
    const std::size_t propose = j;
    for (;;) {
        if (j > debutLigne && prefixeCache(j - 1)) {
            --j;
        } else if (j >= 1 && at(j - 1) == PREFIXE_POINT5 && at(j) == 0xF3 && at(j + 1) == 0xF3) {
            j -= 1;
        } else if (j >= 2 && at(j - 2) == PREFIXE_POINT5 && at(j - 1) == 0xF3 && at(j) == 0xF3) {
            j -= 2;
        } else if (j >= 1 && estSigneDouble(at(j - 1), at(j))) {
            j -= 1;
        } else {
            break;
        }
        if (j < debutLigne) return propose;
    }
    if (j == debutLigne && !ligneEntamee && j != propose) return propose;
    return j;
}

std::string Transcrire(std::string_view noir, std::int32_t colonneDepart, std::int32_t cpl) {
    std::string out;
    out.reserve(noir.size() + noir.size() / 4 + 8);
    std::int32_t col = colonneDepart;
    const bool entamee = colonneDepart > 1;
    bool numMode = false;
    std::size_t finEtirement = 0;
    char o[3];
    const std::size_t n = noir.size();
    for (std::size_t i = 0; i < n; ++i) {
        // A tab separates words as a space does; dropping it would glue them.
        const Octet c = noir[i] == '\t' ? Octet{' '} : normaliseGuillemets(oct(noir[i]));
        // A full line followed by a space: the space becomes the line end.
        if (c == ' ' && col > cpl) {
            out += cLF;
            col = 1;
            numMode = false;
            continue;
        }
        int w = 0;
        auto met = [&](Octet a) { o[w++] = static_cast<char>(a); };
        if (estChiffre(c)) {
            if (!numMode) met(caracterePrefixe(1));
            met(caractere(celluleChiffre(c)));
            numMode = true;
        } else if (numMode && estOperateur(c)) {
            met(caractere(celluleOperateur(c)));
        } else if (numMode && c == '\'') {
            met(c);
        } else if (estMajuscule(c)) {
            if (i >= finEtirement) {
                met(caracterePrefixe(5));
                finEtirement = finEtirementMajuscules(noir, i);
                if (finEtirement) met(caracterePrefixe(5));
            }
            met(enMinuscule(c));
        } else if (estSigneSpecial(c)) {
            std::string e = ecritureSigneSpecial(c);
            met(oct(e[0]));
            met(oct(e[1]));
        } else if (c == ' ') {
            if (i + 1 < n && !estPonctuation(oct(noir[i + 1]))) met(' ');
            numMode = false;
        } else if (c == CR || c == FF) {
            out += static_cast<char>(c);
            col = 1;
            numMode = false;
            continue;
        } else if (codePrefixe(c) == 7) {
            met(c);
        } else if (c == LF || c == VT) {
            numMode = false;
        } else if (estMinuscule(c) || estPonctuation(c) || estApostropheOuTiret(c)) {
            met(c);
            numMode = false;
        } else if (estSigneAlternatif(c)) {
            met(c);
        } else if (c == 0x92 || c == 0x91) {
            met('\'');
            numMode = false;
        } else if (c == 0x85) {
            met('.');
            met('.');
            met('.');
            numMode = false;
        } else if (estGuillemet(c)) {
            met('"');
            numMode = false;
        } else if (c == 0x89) {
            met(caractere(2));
            met(caractere(37));
            met(caractere(37));
            numMode = false;
        } else if (estAccepte(c)) {
            met(c);
        }
        if (w == 0) continue;
        // A break after a hyphen frees less than a unit may need: break again.
        for (int essai = 0; essai < 4 && col > 1 && col - 1 + w > cpl; ++essai)
            col = coupe(out, cpl, std::string_view(o, static_cast<std::size_t>(w)), entamee);
        out.append(o, static_cast<std::size_t>(w));
        col += w;
    }
    return out;
}

std::string CoupeParagraphe(std::string_view paragraphe, std::int32_t cpl, std::int32_t* nbLignes) {
    std::string out;
    out.reserve(paragraphe.size() + paragraphe.size() / 16 + 2);
    std::int32_t col = 1;
    const std::size_t n = paragraphe.size();
    for (std::size_t i = 0; i < n; ++i) {
        out += paragraphe[i];
        ++col;
        if (col > cpl && i + 1 < n) {
            if (paragraphe[i + 1] == ' ') {
                out += cLF;
                ++i;
                col = 1;
            } else {
                col = coupe(out, cpl, paragraphe.substr(i + 1, 3), false);
            }
        }
    }
    if (nbLignes)
        *nbLignes = 1 + static_cast<std::int32_t>(std::count_if(out.begin(), out.end(),
                                                               [](char ch) { return ch == cLF || ch == cVT; }));
    return out;
}

std::string recoupeTexte(std::string_view texte, std::int32_t cpl,
                         const std::function<int(std::int32_t)>& indentation) {
    std::string out;
    out.reserve(texte.size() + texte.size() / 16 + 2);
    std::int32_t compteur = 0, largeur = cpl;
    std::size_t debutLigne = 0;
    const auto n = static_cast<std::int32_t>(texte.size());
    auto normal = [&](std::int32_t p) { return texte[static_cast<std::size_t>(p - 1)] == cLF ? ' ' : texte[static_cast<std::size_t>(p - 1)]; };
    for (std::int32_t p = 1; p <= n; ++p) {
        char b = normal(p);
        if (b == cVT) continue;
        if (compteur == 0) largeur = std::max(1, cpl - indentation(p));
        if (b == static_cast<char>(CR) || b == static_cast<char>(FF)) {
            out += b;
            compteur = 0;
            debutLigne = out.size();
            continue;
        }
        ++compteur;
        if (compteur > largeur) {
            if (b == ' ') {
                out += cLF;
                compteur = 0;
                debutLigne = out.size();
                continue;
            }
            std::size_t k = out.size();
            while (k > debutLigne && out[k - 1] != ' ') --k;
            if (k > debutLigne) {
                out[k - 1] = cLF;
                debutLigne = k;
            } else {
                std::string suite(1, b);
                for (std::int32_t q = p + 1; q <= n && suite.size() < 3; ++q)
                    if (texte[static_cast<std::size_t>(q - 1)] != cVT) suite += normal(q);
                std::size_t j = placeCoupure(out, suite, out.size(), debutLigne, false);
                out.insert(j, 1, cVT);
                debutLigne = j + 1;
            }
            // The count restarts after the line end just made: the moved word counts.
            compteur = static_cast<std::int32_t>(out.size() - debutLigne) + 1;
        }
        out += b;
    }
    return out;
}

}  // namespace dotavob
