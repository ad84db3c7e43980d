// The whole knowledge of the French Braille code: constant tables and small
// stateless conversions between Braille bytes (code page 1252), cells and
// print characters. Positions in strings are 1-based, as in the document.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace dotavob {

using Octet = std::uint8_t;
using Table64 = std::array<Octet, 64>;

// The code page never changes at run time; it selects the Latin table.
constexpr int pageCode = 1252;

constexpr Octet AUCUNE_CELLULE = 255;
constexpr Octet LF = 10, VT = 11, FF = 12, CR = 13;

// Bytes of the prefix cells that the editing rules name.
constexpr Octet SIGNE_NUMERIQUE = 0x91;   // dot 6, prefix code 1
constexpr Octet SIGNE_MAJUSCULE = 0xA8;   // dots 4 6, prefix code 5
constexpr Octet SIGNE_EVIDENCE = 0xB8;    // dots 4 5 6, prefix code 7
constexpr Octet SIGNE_EXPOSANT = 0x5E;    // dot 4, prefix code 4
constexpr Octet PREFIXE_POINT5 = 0xB4;    // dot 5, prefix code 2

inline Octet oct(char c) { return static_cast<Octet>(c); }
// Nearest integer, halves to even: how every measure of the pages and
// dialogs rounds.
inline std::int32_t arrondi(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

// What each byte is, computed once: the classes below are one look-up,
// inlined where text is read byte by byte (transcription, painting).
namespace classesOctet {
constexpr int PONCT = 1, FINLIGNE = 2, MAJ = 4, MIN = 8, OPER = 16, SPECIAL = 32, ALTERN = 64, CHIFFRE = 128,
              TABLE = 256,
              RETIENT = 512;  // a cut just after it may have to move back: a prefix (dot 5 among them), 0xF3 (per mille's middle), a two-cell sign's start
extern const std::array<int, 256> drapeaux;
inline bool a(Octet b, int f) { return (drapeaux[b] & f) != 0; }
}  // namespace classesOctet

inline bool estOperateur(Octet b) { return classesOctet::a(b, classesOctet::OPER); }
inline bool estSigneAlternatif(Octet b) { return classesOctet::a(b, classesOctet::ALTERN); }
inline bool estChiffre(Octet b) { return classesOctet::a(b, classesOctet::CHIFFRE); }
inline bool estPonctuation(Octet b) { return classesOctet::a(b, classesOctet::PONCT); }
// LF, VT, FF or CR: b - LF, as an unsigned byte, is below 4 for exactly these four.
inline bool estFinDeLigne(Octet b) { return static_cast<Octet>(b - LF) < 4; }
inline bool estSeparateur(Octet b) { return classesOctet::a(b, classesOctet::PONCT | classesOctet::FINLIGNE) || b == ' '; }
inline bool estSeparateurMot(Octet b) { return estSeparateur(b) || b == '-'; }
inline bool estApostropheOuTiret(Octet b) { return b == '\'' || b == '-'; }
inline bool estGuillemet(Octet b) { return b == '"' || b == 0xAB || b == 0xBB; }
inline bool estMajuscule(Octet b) { return classesOctet::a(b, classesOctet::MAJ); }
inline bool estMinuscule(Octet b) { return classesOctet::a(b, classesOctet::MIN); }
inline bool estLettre(Octet b) { return classesOctet::a(b, classesOctet::MAJ | classesOctet::MIN); }

// Finding line ends fast, since opening a book looks for every one.
#if defined(__SSE2__) || defined(_M_X64)
// Bit k set when p[k] is a line end, for the sixteen bytes at p.
inline std::uint64_t finsDeLigne16(const char* p) {
    const __m128i x = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8(static_cast<char>(LF)));
    const __m128i trois = _mm_set1_epi8(3);
    return static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(x, trois), x)));
}
// Bit k set when p[k] is a space or a line end.
inline std::uint32_t finsDeMot16(const char* p) {
    const __m128i octets = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i x = _mm_sub_epi8(octets, _mm_set1_epi8(static_cast<char>(LF)));
    const __m128i trois = _mm_set1_epi8(3);
    const __m128i espace = _mm_cmpeq_epi8(octets, _mm_set1_epi8(' '));
    return static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(x, trois), x), espace)));
}
#endif

// The first line end in [debut, fin), or fin.
inline const char* prochaineFinDeLigne(const char* debut, const char* fin) {
    const char* p = debut;
#if defined(__SSE2__) || defined(_M_X64)
    for (; fin - p >= 16; p += 16)
        if (const std::uint64_t m = finsDeLigne16(p)) return p + std::countr_zero(m);
#endif
    for (; p < fin; ++p)
        if (estFinDeLigne(oct(*p))) return p;
    return fin;
}

// The first space or line end in [debut, fin), or fin: where a word stops.
// The bytes up to `lisible` (not before fin) may be read, sixteen at a time.
inline const char* finDeMot(const char* debut, const char* fin, const char* lisible) {
    const char* p = debut;
#if defined(__SSE2__) || defined(_M_X64)
    for (; p < fin && lisible - p >= 16; p += 16)
        if (const std::uint32_t m = finsDeMot16(p)) return std::min(p + std::countr_zero(m), fin);
#endif
    for (; p < fin; ++p)
        if (*p == ' ' || estFinDeLigne(oct(*p))) return p;
    return fin;
}

// Calls f(i) with the index of every line end of t, in order: sixty-four
// bytes give one mask, and each line end costs one bit.
template <class F>
void pourChaqueFinDeLigne(std::string_view t, F&& f) {
    const char* const d = t.data();
    const std::size_t n = t.size();
    std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    for (; i + 64 <= n; i += 64) {
        std::uint64_t m = finsDeLigne16(d + i) | finsDeLigne16(d + i + 16) << 16 | finsDeLigne16(d + i + 32) << 32 |
                          finsDeLigne16(d + i + 48) << 48;
        for (; m != 0; m &= m - 1) f(i + static_cast<std::size_t>(std::countr_zero(m)));
    }
#endif
    for (; i < n; ++i)
        if (estFinDeLigne(oct(d[i]))) f(i);
}

// The word ends (spaces and line ends) on either side of a line end, one
// bit a byte: bit k of `apres` for the byte k + 1 after it, bit 63 - k of
// `avant` for the byte k + 1 before it; a byte outside the text is none.
struct MotsAutour {
    std::uint64_t avant = 0, apres = 0;
};

namespace detail {
// The line ends and the word ends of the 64 bytes from p, bit k for t[p + k].
struct Fins64 {
    std::uint64_t lignes = 0, mots = 0;
};
inline Fins64 fins64(std::string_view t, std::ptrdiff_t p) {
    const auto n = static_cast<std::ptrdiff_t>(t.size());
    Fins64 r;
#if defined(__SSE2__) || defined(_M_X64)
    if (p >= 0 && p + 64 <= n) {
        for (int q = 0; q < 4; ++q) {
            const char* c = t.data() + p + 16 * q;
            r.lignes |= finsDeLigne16(c) << (16 * q);
            r.mots |= std::uint64_t{finsDeMot16(c)} << (16 * q);
        }
        return r;
    }
#endif
    for (std::ptrdiff_t k = std::max<std::ptrdiff_t>(0, -p); k < 64 && p + k < n; ++k) {
        const Octet b = static_cast<Octet>(t[static_cast<std::size_t>(p + k)]);
        r.lignes |= std::uint64_t{estFinDeLigne(b)} << k;
        r.mots |= std::uint64_t{estFinDeLigne(b) || b == ' '} << k;
    }
    return r;
}
}  // namespace detail

// pourChaqueFinDeLigne over t's bytes [debut, fin), each line end i given
// with the word ends around it, read from all of t: f(i, mots).
template <class F>
void pourChaqueFinDeLigneEtMots(std::string_view t, std::size_t debut, std::size_t fin, F&& f) {
    auto p = static_cast<std::ptrdiff_t>(debut);
    const auto bout = static_cast<std::ptrdiff_t>(fin);
    std::uint64_t motsAvant = detail::fins64(t, p - 64).mots;
    detail::Fins64 ici = detail::fins64(t, p);
    for (; p < bout; p += 64) {
        const detail::Fins64 suivant = detail::fins64(t, p + 64);
        const std::uint64_t w = ici.mots;
        std::uint64_t m = bout - p < 64 ? ici.lignes & ((std::uint64_t{1} << (bout - p)) - 1) : ici.lignes;
        for (; m != 0; m &= m - 1) {
            const int k = std::countr_zero(m);
            f(static_cast<std::size_t>(p + k),
              MotsAutour{(w << (63 - k) << 1) | (motsAvant >> k), (w >> k >> 1) | (suivant.mots << (63 - k))});
        }
        motsAvant = w;
        ici = suivant;
    }
}

// Tables.
const Table64& tableCode();              // the active table (code page 1252)
const Table64& tableCodePour(int page);  // 1252 or 1251
const Table64& tableUS();                // North American Braille ASCII

// Cell and byte lookups.
Octet caractere(int cellule);            // low six bits of the cell count
Octet caractereUS(int cellule);
Octet cellule(Octet b);                  // 255: no cell
Octet cellulePour(Octet b, int page);    // the same lookup with another table
Octet codePrefixe(Octet b);              // 1..7 or 255
bool estPrefixe(Octet b);
Octet caracterePrefixe(int valeur);
Octet celluleChiffre(Octet b);
Octet chiffreDeCaractere(Octet b);       // '0'..'9' or 0
Octet celluleOperateur(Octet b);
Octet operateurDeCaractere(Octet b);     // 0 when none
bool estSigneSpecial(Octet b);
Octet celluleSigneSpecial(Octet b);
std::string ecritureSigneSpecial(Octet b);
Octet signeSpecialDeCellule(Octet b);    // 0 when none
Octet celluleSigneAlternatif(Octet b);
Octet celluleDOrdre(int index);          // 0..64, five rows of thirteen
Octet retourneCellule(Octet c);
Octet retourneCaractere(Octet b);
std::string retourneChaine(std::string_view s);
int codePrefixeAncien(Octet b);          // -1 when none
void convertitPrefixesAnciens(std::string& s);
bool estToucheDePoint(int toucheVirtuelle);

// Character classes.
bool estMajusculePour(Octet b, int page);
bool estMinusculePour(Octet b, int page);
bool estAccepte(Octet b);

// Case mapping and quote normalisation.
Octet enMinuscule(Octet b);
Octet enMajuscule(Octet b);
Octet normaliseGuillemets(Octet b);
void normaliseChaine(std::string& s);

// Two-cell signs read inside a Braille text (1-based positions).
bool lisSigneDouble(std::int32_t& position, std::string_view texte, std::string& sortie);
// Whether the cells of bytes a then b make one two-cell sign.
bool estSigneDouble(Octet a, Octet b);
bool estDebutSigneDouble(std::int32_t position, std::string_view texte);
bool estPrefixeEnPosition(std::string_view texte, std::int32_t i);

// The edge where bytes meet the user: code page 1252 <-> Unicode.
char32_t versUnicode(Octet b);
int depuisUnicode(char32_t c);           // -1: no byte for it
std::string cp1252VersUtf8(std::string_view s);
// The characters that code page 1252 cannot hold, each written "?": how
// many, and each one once, in the order first met (the first 40 kept).
struct CaracteresRemplaces {
    static constexpr std::size_t GARDES = 40;  // the characters kept
    std::int32_t nombre = 0;
    std::u32string caracteres;
    void ajoute(char32_t c);
    // Those of a text that follows, as if met after these. Exact even when
    // `suite` kept only its first ones: of those, no more are already here
    // than there are here, which leaves enough new ones to fill the list.
    void ajoute(const CaracteresRemplaces& suite);
};
// Characters with no byte become '?' (counted in `remplaces` when given).
// Malformed UTF-8 bytes are read as code page 1252 bytes, so nothing typed
// is silently dropped.
std::string utf8VersCp1252(std::string_view s, CaracteresRemplaces* remplaces = nullptr);
bool estUtf8Valide(std::string_view s);
// A value quoted in a message: its first `longueur` characters (UTF-8), then
// "…" when it is longer. A hostile file's huge value never fills a message.
std::string extrait(std::string_view utf8, std::size_t longueur = 40);
void ajouteUtf8(std::string& s, char32_t c);
// UTF-16 or UTF-32 text (`largeur` 2 or 4 bytes a unit, after its byte order
// mark) as UTF-8; a unit that is no character (a lone surrogate, past
// U+10FFFF, a last unit cut short) becomes "?" and is counted.
std::string utf16ou32VersUtf8(std::string_view s, int largeur, bool grandBoutiste, std::int32_t& invalides);
// Decodes the UTF-8 sequence at s[i] into c; its length, 0 when malformed.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& c);
// The first index from i on whose byte is not ASCII, or s.size(): eight
// bytes at a time, since a French text is mostly ASCII.
inline std::size_t finAscii(std::string_view s, std::size_t i) {
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t m;
        std::memcpy(&m, s.data() + i, 8);
        if (m & 0x8080808080808080u) break;
    }
    while (i < s.size() && oct(s[i]) < 0x80) ++i;
    return i;
}

}  // namespace dotavob
