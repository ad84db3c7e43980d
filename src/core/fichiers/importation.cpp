#include "core/fichiers/importation.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>

#include "core/braille/codes.h"
#include "core/fichiers/rtf.h"
#include "core/memoire/memoire.h"
#include "core/memoire/parallele.h"

namespace dotavob {

namespace {

// How a text's lines are joined: each one ended by CR, LF or CR LF is
// ended by CR LF, and the last one, when it is not ended, at the end.
struct Jonction {
    bool apresCR = false, ouverte = false;
    // A byte that is no line end was written.
    void contenu() {
        apresCR = false;
        ouverte = true;
    }
    // A CR or a LF met: whether it ends a line (the LF of a CR LF does not).
    bool finDeLigne(char c) {
        const bool lfDeCRLF = c == '\n' && apresCR;
        apresCR = c == '\r';
        if (!lfDeCRLF) ouverte = false;
        return !lfDeCRLF;
    }
};

// Appends text with its lines joined.
class LignesJointes {
public:
    explicit LignesJointes(std::string& r) : r_(r) {}
    void ajoute(std::string_view t) {
        const char* const base = t.data();
        const char* const bout = base + t.size();
        std::size_t debut = 0;
        for (const char* c = prochaineFinDeLigne(base, bout); c != bout; c = prochaineFinDeLigne(c + 1, bout)) {
            if (*c != '\r' && *c != '\n') continue;
            const auto i = static_cast<std::size_t>(c - base);
            if (i > debut) contenu(t.substr(debut, i - debut));
            if (jonction_.finDeLigne(*c)) r_ += "\r\n";
            debut = i + 1;
        }
        if (debut < t.size()) contenu(t.substr(debut));
    }
    void fin() {
        if (jonction_.ouverte) r_ += "\r\n";
        jonction_.ouverte = false;
    }

private:
    void contenu(std::string_view t) {
        r_.append(t);
        jonction_.contenu();
    }
    std::string& r_;
    Jonction jonction_;
};

// The first byte in [debut, fin) that is no plain ASCII character of a line:
// a CR, a LF or a byte of a multi-byte sequence; or fin.
const char* prochainNonAscii(const char* debut, const char* fin) {
    const char* p = debut;
#if defined(__SSE2__) || defined(_M_X64)
    for (; fin - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i fins = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(x, _mm_set1_epi8('\n')));
        if (const int m = _mm_movemask_epi8(_mm_or_si128(x, fins))) return p + std::countr_zero(static_cast<unsigned>(m));
    }
#endif
    for (; p < fin; ++p)
        if (oct(*p) >= 0x80 || *p == '\r' || *p == '\n') return p;
    return fin;
}

// One stretch of a text decoded as UTF-8 after the end of r, its lines
// joined; `derniere`: the stretch ends the text.
struct Decodage {
    std::int32_t sequences = 0, mauvais = 0;
    CaracteresRemplaces remplaces;

    // What decoding n bytes most often writes at most: the room made ahead.
    static std::size_t taillePrevue(std::size_t n) { return n + n / 32 + 64; }

    void decode(std::string_view s, std::string& r, bool derniere) {
        // Written in place, the room made ahead: a run of plain characters
        // is copied at once, and nothing is asked of the string byte by byte.
        std::size_t n = r.size();
        r.resize(n + taillePrevue(s.size()));
        auto place = [&](std::size_t w) {
            if (n + w > r.size()) r.resize(std::max(2 * r.size(), n + w));
            return r.data() + n;
        };
        Jonction lignes;
        const char* p = s.data();
        const char* const fin = p + s.size();
        while (p < fin) {
            const char* const q = prochainNonAscii(p, fin);
            if (q > p) {
                std::memcpy(place(static_cast<std::size_t>(q - p)), p, static_cast<std::size_t>(q - p));
                n += static_cast<std::size_t>(q - p);
                lignes.contenu();
            }
            if ((p = q) == fin) break;
            if (*p == '\r' || *p == '\n') {
                if (lignes.finDeLigne(*p)) {
                    std::memcpy(place(2), "\r\n", 2);
                    n += 2;
                }
                ++p;
                continue;
            }
            char32_t c;
            char octet = '?';
            if (const std::size_t k = decodeUtf8(s, static_cast<std::size_t>(p - s.data()), c)) {
                ++sequences;
                if (const int b = depuisUnicode(c); b >= 0)
                    octet = static_cast<char>(b);
                else
                    remplaces.ajoute(c);
                p += k;
            } else {
                ++mauvais;
                ++p;
            }
            *place(1) = octet;
            ++n;
            lignes.contenu();
        }
        if (derniere && lignes.ouverte) {
            std::memcpy(place(2), "\r\n", 2);
            n += 2;
        }
        r.resize(n);
    }
};

// Just after the first line feed from the middle of a large text on, where
// its two halves are read apart (no UTF-8 sequence holds a line feed, and
// after one a line starts afresh); 0 for a small text or none.
std::size_t milieuEntreLignes(std::string_view s) {
    constexpr std::size_t SEUIL_PARALLELE = std::size_t{1} << 20;
    if (s.size() < SEUIL_PARALLELE) return 0;
    const std::size_t lf = s.find('\n', s.size() / 2);
    return lf == std::string_view::npos || lf + 1 == s.size() ? 0 : lf + 1;
}

// `fait(morceau, sortie, derniere)` on each half of s, one on each core,
// joined into r; on all of s at once when `coupe` is 0.
// Each output's room is reserved as decoding asks for it: a half that found
// less would be moved to a buffer twice as large before a byte is written.
template <class Fait>
void parMoities(std::string_view s, std::size_t coupe, std::string& r, Fait&& fait) {
    reserveGrand(r, Decodage::taillePrevue(s.size()));
    if (coupe == 0) {
        fait(s, r, true);
        return;
    }
    std::string suite;
    deuxALaFois([&] { fait(s.substr(0, coupe), r, false); },
                [&] {
                    reserveGrand(suite, Decodage::taillePrevue(s.size() - coupe));
                    fait(s.substr(coupe), suite, true);
                });
    r += suite;
}

// A file name's extension, in small letters, with its dot; empty if none.
std::string extensionDe(std::string_view nomFichier) {
    std::string extension;
    const auto point = nomFichier.find_last_of('.');
    const auto separateur = nomFichier.find_last_of("/\\:");
    if (point != std::string_view::npos && (separateur == std::string_view::npos || point > separateur))
        for (char c : nomFichier.substr(point)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// Text whose valid multi-byte UTF-8 sequences outnumber its invalid bytes is
// UTF-8 damaged here and there: each invalid byte becomes "?" and is
// counted. Any other is code page 1252. One pass decodes and joins the lines
// as it counts, a large text's halves on both cores.
std::string decodeEtJoins(std::string_view s, std::int32_t& invalides, CaracteresRemplaces* remplaces) {
    const std::size_t coupe = milieuEntreLignes(s);
    std::string r;
    DecodageMorceaux total, suite;
    parMoities(s, coupe, r, [&](std::string_view morceau, std::string& sortie, bool derniere) {
        decodeMorceau(morceau, true, derniere, sortie, morceau.data() != s.data() ? suite : total);
    });
    total.ajoute(suite);
    invalides = 0;
    if (!total.utf8()) {
        // Code page 1252 after all: every byte is its character.
        r = std::string();
        parMoities(s, coupe, r, [&](std::string_view morceau, std::string& sortie, bool derniere) {
            decodeMorceau(morceau, false, derniere, sortie, suite);
        });
        return r;
    }
    invalides = total.invalides;
    if (remplaces) *remplaces = std::move(total.remplaces);
    return r;
}

}  // namespace

void DecodageMorceaux::ajoute(const DecodageMorceaux& suite) {
    sequences += suite.sequences;
    invalides += suite.invalides;
    remplaces.ajoute(suite.remplaces);
}

void decodeMorceau(std::string_view morceau, bool utf8, bool dernier, std::string& sortie, DecodageMorceaux& compte) {
    if (!utf8) {
        LignesJointes lignes(sortie);
        lignes.ajoute(morceau);
        if (dernier) lignes.fin();
        return;
    }
    Decodage d;
    d.decode(morceau, sortie, dernier);
    compte.sequences += d.sequences;
    compte.invalides += d.mauvais;
    compte.remplaces.ajoute(d.remplaces);
}

std::size_t debutTexteSimple(std::string_view debut, std::string_view nomFichier) {
    for (std::string_view marque : {std::string_view("\xFF\xFE", 2), std::string_view("\xFE\xFF", 2),
                                    std::string_view("\0\0\xFE\xFF", 4)})
        if (debut.substr(0, marque.size()) == marque) return std::string_view::npos;
    const std::size_t saute = debut.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    const std::string extension = extensionDe(nomFichier);
    if (extension == ".rtf" || (extension != ".txt" && estRtf(debut.substr(saute)))) return std::string_view::npos;
    return saute;
}

std::string joinsLignes(std::string_view texte, bool termine) {
    std::string r;
    r.reserve(texte.size() + texte.size() / 32 + 2);
    LignesJointes lignes(r);
    lignes.ajoute(texte);
    if (termine) lignes.fin();
    return r;
}

std::string texteImporte(std::string_view contenu, std::string_view nomFichier, std::int32_t* octetsInvalides,
                         CaracteresRemplaces* remplaces, std::string* omissions) {
    if (octetsInvalides) *octetsInvalides = 0;
    if (remplaces) *remplaces = {};
    if (omissions) omissions->clear();
    // A byte order mark of UTF-32 or UTF-16 says how the text is written (the
    // UTF-32 little-endian mark starts as the UTF-16 one: it is tried first).
    struct Marque {
        std::string_view octets;
        int largeur;
        bool grandBoutiste;
    };
    static constexpr Marque marques[] = {{std::string_view("\xFF\xFE\0\0", 4), 4, false},
                                         {std::string_view("\0\0\xFE\xFF", 4), 4, true},
                                         {"\xFF\xFE", 2, false},
                                         {"\xFE\xFF", 2, true}};
    for (const Marque& m : marques)
        if (contenu.substr(0, m.octets.size()) == m.octets) {
            std::int32_t malformes = 0;
            const std::string utf8 =
                utf16ou32VersUtf8(contenu.substr(m.octets.size()), m.largeur, m.grandBoutiste, malformes);
            std::string texte = texteImporte(utf8, nomFichier, octetsInvalides, remplaces, omissions);
            if (octetsInvalides) *octetsInvalides += malformes;
            return texte;
        }
    const std::string extension = extensionDe(nomFichier);
    if (contenu.substr(0, 3) == "\xEF\xBB\xBF") contenu.remove_prefix(3);
    if (extension == ".rtf" || (extension != ".txt" && estRtf(contenu)))
        return rtfverstexte(joinsLignes(contenu), remplaces, omissions);
    std::int32_t invalides = 0;
    std::string texte = decodeEtJoins(contenu, invalides, remplaces);
    if (octetsInvalides) *octetsInvalides = invalides;
    return texte;
}

}  // namespace dotavob
