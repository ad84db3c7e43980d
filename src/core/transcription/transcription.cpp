#include "core/transcription/transcription.h"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cstring>
#include <vector>

#include "core/braille/codes.h"
#include "core/memoire/memoire.h"
#include "core/memoire/parallele.h"

namespace dotavob {
namespace {

constexpr char cLF = static_cast<char>(LF);
constexpr char cVT = static_cast<char>(VT);

std::size_t debutLigneDe(std::string_view s) {
    for (std::size_t i = s.size(); i > 0; --i)
        if (estFinDeLigne(oct(s[i - 1]))) return i;
    return 0;
}

// The bytes a transcription writes: appended with no call each (the string's
// own append is not inlined), grown by doubling, handed over without a copy.
class Sortie {
public:
    explicit Sortie(std::size_t capacite) {
        reserveGrand(s_, std::max<std::size_t>(capacite, 16));
        s_.resize(s_.capacity());
    }
    void ajoute(char c) {
        if (n_ == s_.size()) s_.resize(2 * s_.size());
        s_[n_++] = c;
    }
    void ajoute(const char* o, std::size_t w) {
        for (std::size_t k = 0; k < w; ++k) ajoute(o[k]);
    }
    // Room for w more bytes, written through the pointer returned, then
    // kept by `jusqua`: a run of bytes with no check each.
    char* place(std::size_t w) {
        if (n_ + w > s_.size()) s_.resize(std::max(2 * s_.size(), n_ + w));
        return s_.data() + n_;
    }
    void jusqua(const char* fin) { n_ = static_cast<std::size_t>(fin - s_.data()); }
    std::size_t size() const { return n_; }
    char& operator[](std::size_t i) { return s_[i]; }
    void insert(std::size_t pos, std::size_t, char c) {
        ajoute(c);
        std::memmove(&s_[pos + 1], &s_[pos], n_ - 1 - pos);
        s_[pos] = c;
    }
    operator std::string_view() const { return {s_.data(), n_}; }
    std::string rend() && {
        s_.resize(n_);
        return std::move(s_);
    }

private:
    std::string s_;
    std::size_t n_ = 0;
};

// The last space in [debut, fin), or fin when there is none.
const char* dernierEspace(const char* debut, const char* fin) {
    const char* p = fin;
#if defined(__SSE2__) || defined(_M_X64)
    for (; p - debut >= 16; p -= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 16));
        if (const auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')))))
            return p - 16 + (std::bit_width(m) - 1);
    }
#endif
    while (p > debut)
        if (*--p == ' ') return p;
    return fin;
}

// A line's bytes followed by those after it, as a cut reads them.
struct LectureCoupure {
    std::string_view s, suite;
    Octet at(std::size_t i) const {
        if (i < s.size()) return oct(s[i]);
        i -= s.size();
        return i < suite.size() ? oct(suite[i]) : 0;
    }
    bool prefixeCache(std::size_t i) const {
        Octet k = codePrefixe(at(i));
        if (k == AUCUNE_CELLULE) return false;
        return k == 1 || k == 3 || k == 5 || k == 7 || estSigneSpecial(at(i + 1));
    }
    // How far a cut at j must move back not to split a sign; 0: it stands.
    // It reads no further than j + 1. Asked at every cut of a book being
    // opened: kept inline wherever it is asked.
#if defined(__GNUC__)
    [[gnu::always_inline]]
#endif
    std::size_t recul(std::size_t j, std::size_t debutLigne) const {
        if (j > debutLigne && prefixeCache(j - 1)) return 1;
        if (j >= 1 && at(j - 1) == PREFIXE_POINT5 && at(j) == 0xF3 && at(j + 1) == 0xF3) return 1;
        if (j >= 2 && at(j - 2) == PREFIXE_POINT5 && at(j - 1) == 0xF3 && at(j) == 0xF3) return 2;
        if (j >= 1 && estSigneDouble(at(j - 1), at(j))) return 1;
        return 0;
    }
};

// Makes room on the current line of `out`, which starts at `debut`, before a
// unit that does not fit (`suite(tout)` gives its bytes and those that
// follow, asked only when the word must be cut: all a cut may read, or
// without `tout` at least the first two when the word has them); returns
// the column after the line's bytes.
template <class Texte, class Suite>
std::int32_t coupe(Texte& out, std::size_t debut, std::int32_t cpl, Suite&& suite, bool ligneEntamee) {
    const std::size_t len = out.size();
    if (len > debut && cpl > 0) {
        // The last space among the line's last cpl bytes.
        const auto largeur = static_cast<std::size_t>(cpl);
        const std::size_t bas = len - debut > largeur ? len - largeur : debut;
        const std::string_view ligne = out;
        if (const char* e = dernierEspace(ligne.data() + bas, ligne.data() + len); e != ligne.data() + len) {
            const auto k = static_cast<std::size_t>(e - ligne.data());
            out[k] = cLF;  // the word that did not fit moves to the new line
            return static_cast<std::int32_t>(len - k);
        }
        if (bas == debut && estSeparateurMot(oct(out[debut]))) {
            out.insert(debut + 1, 1, cVT);
            return static_cast<std::int32_t>(len - debut);
        }
    }
    // No place to break: the word is cut at the margin, where most often no
    // sign stands across it, which the two bytes past it tell.
    std::size_t j = len;
    if (LectureCoupure{out, suite(false)}.recul(len, debut) != 0)
        j = placeCoupure(out, suite(true), len, debut, ligneEntamee && debut == 0, cpl);
    out.insert(j, 1, cVT);
    return static_cast<std::int32_t>(len - j) + 1;
}

// The print character as it is transcribed: a tab separates words as a
// space does (dropping it would glue them); dashes and low quotes, which
// have no cell, take the form of their plain counterparts.
Octet normalise(char ch) {
    switch (oct(ch)) {
        case '\t': return ' ';
        case 0x96: case 0x97: return '-';
        case 0x84: return '"';
        case 0x82: return '\'';
        default: return normaliseGuillemets(oct(ch));
    }
}

// Whether a (normalised) print character is written at all: every rule of
// `ecrit` but the last names what it writes; the last takes what the code
// page accepts, and everything else is left out.
bool aUneForme(Octet c) {
    return c == ' ' || estFinDeLigne(c) || estChiffre(c) || estMajuscule(c) || estSigneSpecial(c) ||
           codePrefixe(c) == 7 || estMinuscule(c) || estPonctuation(c) || estApostropheOuTiret(c) ||
           estSigneAlternatif(c) || c == 0x91 || c == 0x92 || c == 0x85 || estGuillemet(c) || c == 0x89 ||
           estAccepte(c);
}

struct Etat {
    bool numMode = false;
    std::size_t finEtirement = 0;   // end of the stretch of capitals being written
    std::size_t sansEtirement = 0;  // before it, no capital starts a stretch (a small letter follows)
};

// The end (exclusive index) of the stretch that starts at a capital letter,
// when it holds two or more letters and all of them are capitals; 0 if not.
// The stretch ends where the print view ends a word in capitals. A small
// letter that ends the scan is kept in `e`, so that no later capital before
// it scans the word again.
// What each byte is to the scan for a stretch of capitals, asked of the
// code tables once: it ends the word, it is a small letter (no stretch), a
// capital, or anything else.
enum GenreEtirement : std::uint8_t { AUTRE, FIN, MINUSCULE, MAJUSCULE };
const std::array<std::uint8_t, 256>& genresEtirement() {
    static const std::array<std::uint8_t, 256> genres = [] {
        std::array<std::uint8_t, 256> g{};
        for (int b = 0; b < 256; ++b) {
            const Octet c = normalise(static_cast<char>(b));
            g[static_cast<std::size_t>(b)] =
                c == ' ' || estPonctuation(c) || estFinDeLigne(c) || c == 0x85 || c == '}' ? FIN
                : estMinuscule(c)                                                        ? MINUSCULE
                : estMajuscule(c)                                                        ? MAJUSCULE
                                                                                         : AUTRE;
        }
        return g;
    }();
    return genres;
}

std::size_t finEtirementMajuscules(std::string_view noir, std::size_t i, Etat& e) {
    if (i < e.sansEtirement) return 0;
    const std::array<std::uint8_t, 256>& genres = genresEtirement();
    int lettres = 0;
    std::size_t j = i;
    for (; j < noir.size(); ++j) {
        const std::uint8_t g = genres[oct(noir[j])];
        if (g == FIN) break;
        if (g == MINUSCULE) {
            e.sansEtirement = j;
            return 0;
        }
        if (g == MAJUSCULE) ++lettres;
    }
    return lettres >= 2 ? j : 0;
}

// The bytes (at most three) that the i-th print character `c` (normalised)
// writes, CR and FF apart; updates the modes.
int ecrit(std::string_view noir, std::size_t i, Octet c, Etat& e, char o[3]) {
    int w = 0;
    auto met = [&](Octet a) { o[w++] = static_cast<char>(a); };
    const std::size_t n = noir.size();
    if (!aUneForme(c)) {
        // left out
    } else if (estChiffre(c)) {
        if (!e.numMode) met(caracterePrefixe(1));
        met(caractere(celluleChiffre(c)));
        e.numMode = true;
    } else if (e.numMode && estOperateur(c)) {
        met(caractere(celluleOperateur(c)));
    } else if (e.numMode && c == '\'') {
        met(c);
    } else if (estMajuscule(c)) {
        if (i >= e.finEtirement) {
            met(caracterePrefixe(5));
            e.finEtirement = finEtirementMajuscules(noir, i, e);
            if (e.finEtirement) met(caracterePrefixe(5));
        }
        met(enMinuscule(c));
    } else if (estSigneSpecial(c)) {
        std::string s = ecritureSigneSpecial(c);
        met(oct(s[0]));
        met(oct(s[1]));
    } else if (c == ' ') {
        if (i + 1 < n && !estPonctuation(oct(noir[i + 1]))) met(' ');
        e.numMode = false;
    } else if (codePrefixe(c) == 7) {
        met(c);
    } else if (estFinDeLigne(c)) {
        e.numMode = false;
    } else if (estMinuscule(c) || estPonctuation(c) || estApostropheOuTiret(c)) {
        met(c);
        e.numMode = false;
    } else if (estSigneAlternatif(c)) {
        met(c);
    } else if (c == 0x92 || c == 0x91) {
        met('\'');
        e.numMode = false;
    } else if (c == 0x85) {
        met('.');
        met('.');
        met('.');
        e.numMode = false;
    } else if (estGuillemet(c)) {
        met('"');
        e.numMode = false;
    } else if (c == 0x89) {
        met(caractere(2));
        met(caractere(37));
        met(caractere(37));
        e.numMode = false;
    } else {
        met(c);
    }
    return w;
}

// Per print byte, what the common characters need, so that most of the text
// is written without asking the code tables byte by byte: its normalised
// form; whether it is punctuation; whether it is written as itself and
// clears the number mode whatever the modes: 1 for a small letter that is
// no operator, 2 for what the space's rule writes (dropped before
// punctuation), 0 for neither.
struct Classes {
    std::array<Octet, 256> normal{};
    std::array<bool, 256> ponctuation{};
    std::array<std::uint8_t, 256> simple{};
    std::array<bool, 256> omis{};  // left out wherever it stands
    // A capital that `ecrit` writes as its small letter inside a stretch of
    // capitals (0 when it is not one): only the first of a stretch reads on.
    std::array<char, 256> minusculeDansEtirement{};
    // A small letter that ends, where it stands, the scan for a stretch of
    // capitals: after one capital, no stretch (most capitals in a text).
    std::array<bool, 256> finitEtirement{};
    char prefixeMajuscule = static_cast<char>(caracterePrefixe(5));
    // The space reaches its own rule whatever the modes.
    bool espaceSimple = aUneForme(' ') && !estChiffre(' ') && !estOperateur(' ') && !estMajuscule(' ') &&
                        !estSigneSpecial(' ');
    // What `ecrit` writes for a byte in each number mode (0: off, 1: on),
    // and the mode after it: everything but a capital and a space, which
    // read the text around them, is written the same wherever it stands.
    struct Forme {
        bool duContexte = true;
        std::uint8_t w = 0;
        char o[3] = {};
        bool numModeApres = false;
    };
    std::array<std::array<Forme, 256>, 2> forme{};
    // Whether a to z are each written as itself, whatever the modes, and are
    // no punctuation, and the space is written as itself before them: such
    // runs are then copied sixteen bytes at a time.
    bool asciiSimple = false;
    Classes() {
        for (int b = 0; b < 256; ++b) {
            const Octet c = normalise(static_cast<char>(b));
            normal[static_cast<std::size_t>(b)] = c;
            const bool lettre = aUneForme(c) && !estChiffre(c) && !estOperateur(c) && c != '\'' &&
                                !estMajuscule(c) && !estSigneSpecial(c) && c != ' ' && codePrefixe(c) != 7 &&
                                !estFinDeLigne(c) && estMinuscule(c);
            ponctuation[static_cast<std::size_t>(b)] = estPonctuation(static_cast<Octet>(b));
            simple[static_cast<std::size_t>(b)] = lettre ? 1 : c == ' ' && espaceSimple ? 2 : 0;
            omis[static_cast<std::size_t>(b)] = !aUneForme(c);
            if (aUneForme(c) && !estChiffre(c) && !estOperateur(c) && c != '\'' && estMajuscule(c))
                minusculeDansEtirement[static_cast<std::size_t>(b)] = static_cast<char>(enMinuscule(c));
            finitEtirement[static_cast<std::size_t>(b)] = genresEtirement()[static_cast<std::size_t>(b)] == MINUSCULE;
            if (estMajuscule(c) || c == ' ') continue;
            for (int mode = 0; mode < 2; ++mode) {
                Forme& f = forme[static_cast<std::size_t>(mode)][static_cast<std::size_t>(b)];
                Etat e;
                e.numMode = mode == 1;
                const char seul = static_cast<char>(b);
                f.w = static_cast<std::uint8_t>(ecrit(std::string_view(&seul, 1), 0, c, e, f.o));
                f.numModeApres = e.numMode;
                f.duContexte = false;
            }
        }
        asciiSimple = simple[' '] == 2 && normal[' '] == ' ';
        for (int b = 'a'; b <= 'z'; ++b)
            asciiSimple = asciiSimple && simple[static_cast<std::size_t>(b)] == 1 &&
                          normal[static_cast<std::size_t>(b)] == b && !ponctuation[static_cast<std::size_t>(b)];
    }
};
const Classes& classes() {
    static const Classes c;
    return c;
}

// What the capital at i writes, as `ecrit` writes it, when the tables
// answer without reading on (0 when they do not): its small letter inside
// the stretch of capitals that ends at `finEtirement`, or its sign and
// letter before a small letter.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline int majusculeParTables(const Classes& k, std::string_view noir, std::size_t i, std::size_t finEtirement,
                              char o[2]) {
    const char minuscule = k.minusculeDansEtirement[oct(noir[i])];
    if (minuscule == 0) return 0;
    if (i < finEtirement) {
        o[0] = minuscule;
        return 1;
    }
    // A capital before a small letter: its sign and its letter, as `ecrit`
    // writes it once the scan for a stretch stops at that letter (no later
    // capital reads what the scan would leave).
    if (i + 1 < noir.size() && k.finitEtirement[oct(noir[i + 1])]) {
        o[0] = k.prefixeMajuscule;
        o[1] = minuscule;
        return 2;
    }
    return 0;
}

// What the byte at i (normalised: c) writes, as `ecrit` writes it, taken from the tables
// wherever they answer: the transcription's step for every byte that is not
// a plain small letter, and the look-ahead of a cut.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline int ecritParTables(const Classes& k, std::string_view noir, std::size_t i, Octet c, Etat& e, char o[3]) {
    const Octet b = oct(noir[i]);
    if (const int w = majusculeParTables(k, noir, i, e.finEtirement, o)) return w;
    const Classes::Forme& f = k.forme[e.numMode ? 1 : 0][b];
    if (f.duContexte) return ecrit(noir, i, c, e, o);
    std::memcpy(o, f.o, 3);
    e.numMode = f.numModeApres;
    return f.w;
}

// What the characters from i on will write, up to `max` bytes and never past
// the word, appended to s: what a cut needs to see of the unit it must not split.
void suiteEcrite(std::string_view noir, std::size_t i, Etat e, std::size_t max, std::string& s) {
    char o[3];
    const Classes& k = classes();
    const std::size_t limite = s.size() + max;
    for (; i < noir.size() && s.size() < limite; ++i) {
        const Octet c = k.normal[oct(noir[i])];
        if (c == ' ' || estFinDeLigne(c)) break;
        s.append(o, static_cast<std::size_t>(ecritParTables(k, noir, i, c, e, o)));
    }
}

void noteOmis(CaracteresOmis& r, std::bitset<256>& vus, char ch) {
    ++r.nombre;
    if (!vus[oct(ch)]) r.caracteres += ch;
    vus[oct(ch)] = true;
}

}  // namespace

CaracteresOmis caracteresOmis(std::string_view noir) {
    CaracteresOmis r;
    std::bitset<256> vus;
    const Classes& k = classes();
    for (char ch : noir)
        if (k.omis[oct(ch)]) noteOmis(r, vus, ch);
    return r;
}

std::size_t placeCoupure(std::string_view s, std::string_view suite, std::size_t j, std::size_t debutLigne,
                         bool ligneEntamee, std::int32_t largeur) {
    const LectureCoupure l{s, suite};
    const std::size_t propose = j;
    while (const std::size_t r = l.recul(j, debutLigne)) {
        j -= r;
        if (j < debutLigne) return propose;
    }
    if (j == propose) return j;
    if (j == debutLigne && !ligneEntamee) return propose;
    // A unit longer than a whole line would not fit on the next one either.
    const std::size_t fin = s.size() + suite.size();
    std::size_t u = j;
    while (u < fin && l.prefixeCache(u)) ++u;
    if (u < fin) {
        if (l.at(u) == PREFIXE_POINT5 && l.at(u + 1) == 0xF3 && l.at(u + 2) == 0xF3)
            u += 3;
        else if (estSigneDouble(l.at(u), l.at(u + 1)))
            u += 2;
        else
            u += 1;
    }
    if (u - j > static_cast<std::size_t>(std::max(largeur, 1))) return propose;
    return j;
}

namespace {
// What a transcription writes, most often at most: its room asked for at once.
std::size_t tailleEstimee(std::string_view noir) { return noir.size() + noir.size() / 4 + 8; }

// `Transcrire`, into a buffer of at least `capacite` bytes.
std::string transcrit(std::string_view noir, std::int32_t colonneDepart, std::int32_t cpl, CaracteresOmis* omis,
                      std::size_t capacite) {
    Sortie out(capacite);
    std::int32_t col = colonneDepart;
    const bool entamee = colonneDepart > 1;
    Etat etat;
    std::bitset<256> omisVus;
    char o[3];
    std::string suite;  // what a cut reads past the margin: its room made once
    const std::size_t n = noir.size();
    const Classes& k = classes();
    for (std::size_t i = 0; i < n; ++i) {
        // Most bytes: a run on a line with room for all it writes, each byte
        // written as the tables say wherever it stands (small letters,
        // spaces, digits, most signs, the capitals inside a stretch or
        // before a small letter); what reads further, a line end, a byte
        // left out or a unit that passes the margin ends the run.
        if (col <= cpl) {
            // col <= cpl: the difference fits 32 unsigned bits, whatever the start column.
            const std::uint32_t place = static_cast<std::uint32_t>(cpl) - static_cast<std::uint32_t>(col);
            // Each byte written takes a column, and a byte read writes at most
            // three: the run writes at most this many (sixteen bytes are
            // stored at once, a sign's three copied whole: sixteen more of room).
            const std::size_t largeur = std::min(std::size_t{place} + 1, 3 * (n - i));
            char* const debut = out.place(largeur + 16);
            char* d = debut;
            const char* const fin = d + largeur;
            bool num = etat.numMode;
            // In registers of their own: the cut below takes `i` by reference,
            // which would keep it in memory, each step waiting on the last.
            const char* const t = noir.data();
            const std::size_t finEtirement = etat.finEtirement;
            std::size_t j = i;
#if defined(__SSE2__) || defined(_M_X64)
            const __m128i avantA = _mm_set1_epi8('a' - 1), apresZ = _mm_set1_epi8('z' + 1), espace = _mm_set1_epi8(' ');
            const auto lettres = [&](__m128i x) { return _mm_and_si128(_mm_cmpgt_epi8(x, avantA), _mm_cmplt_epi8(x, apresZ)); };
#endif
            for (; j < n; ++j) {
                const Octet b = oct(t[j]);
                if (const std::uint8_t simple = k.simple[b]; simple != 0) {
#if defined(__SSE2__) || defined(_M_X64)
                    // Sixteen bytes at once while they are small letters a to
                    // z, or spaces before one, as many as the line has room for.
                    if (k.asciiSimple && n - j >= 17) {
                        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + j));
                        const __m128i apres = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + j + 1));
                        const __m128i espaces = _mm_and_si128(_mm_cmpeq_epi8(x, espace), lettres(apres));
                        const auto m = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(lettres(x), espaces)));
                        const auto simples = std::min(static_cast<std::size_t>(std::countr_one(m)),
                                                      static_cast<std::size_t>(fin - d));
                        if (simples > 0) {
                            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), x);
                            d += simples;
                            j += simples - 1;
                            num = false;
                            continue;
                        }
                    }
#endif
                    if (d == fin) break;
                    // Written, then kept unless a space before punctuation:
                    // letters and spaces take one path.
                    *d = static_cast<char>(k.normal[b]);
                    d += simple == 1 || (j + 1 < n && !k.ponctuation[oct(t[j + 1])]);
                    num = false;
                } else if (k.minusculeDansEtirement[b] != 0) {
                    // Written in place, kept only when the line has room for it.
                    const int w = majusculeParTables(k, noir, j, finEtirement, d);
                    if (w == 0 || fin - d < w) break;
                    d += w;
                } else {
                    const Classes::Forme& f = k.forme[num ? 1 : 0][b];
                    if (f.duContexte || f.w == 0 || fin - d < f.w) break;
                    std::memcpy(d, f.o, 3);
                    d += f.w;
                    num = f.numModeApres;
                }
            }
            i = j;
            col += static_cast<std::int32_t>(d - debut);
            out.jusqua(d);
            etat.numMode = num;
            if (i == n) break;
        }
        const Octet c = k.normal[oct(noir[i])];
        // A full line followed by a space: the space becomes the line end.
        if (c == ' ' && col > cpl) {
            out.ajoute(cLF);
            col = 1;
            etat.numMode = false;
            continue;
        }
        if (c == CR || c == FF) {
            out.ajoute(static_cast<char>(c));
            col = 1;
            etat.numMode = false;
            continue;
        }
        const int w = ecritParTables(k, noir, i, c, etat, o);
        if (w == 0) {
            if (omis && !aUneForme(c)) noteOmis(*omis, omisVus, noir[i]);
            continue;
        }
        // A break after a hyphen frees less than a unit may need: break again.
        if (col > 1 && col - 1 + w > cpl) {
            bool debutLu = false, toutLu = false;
            auto lisSuite = [&](bool tout) -> std::string_view {
                if (toutLu || (debutLu && !tout)) return suite;
                suite.assign(o, static_cast<std::size_t>(w));
                suiteEcrite(noir, i + 1, etat, tout ? static_cast<std::size_t>(std::max(cpl, 1)) + 3 : 2, suite);
                (tout ? toutLu : debutLu) = true;
                return suite;
            };
            for (int essai = 0; essai < 4 && col > 1 && col - 1 + w > cpl; ++essai) {
                // The line holds the col - 1 bytes last written (a line begun
                // before this text starts with them).
                const auto ecrits = static_cast<std::size_t>(col - 1);
                col = coupe(out, ecrits <= out.size() ? out.size() - ecrits : 0, cpl, lisSuite, entamee);
            }
        }
        out.ajoute(o, static_cast<std::size_t>(w));
        col += w;
    }
    return std::move(out).rend();
}
}  // namespace

std::string Transcrire(std::string_view noir, std::int32_t colonneDepart, std::int32_t cpl, CaracteresOmis* omis) {
    return transcrit(noir, colonneDepart, cpl, omis, tailleEstimee(noir));
}

namespace {
// The paragraph re-wrap, from a line start: `arret(g)` is asked at each new
// line start g and ends the work there when it holds.
template <class Arret>
std::size_t coupeDepuis(std::string_view paragraphe, bool complet, std::int32_t cpl, Arret arret, std::string& out) {
    out.clear();
    out.reserve(paragraphe.size() + paragraphe.size() / 16 + 2);
    std::int32_t col = 1;
    const std::size_t n = paragraphe.size();
    const auto regard = static_cast<std::size_t>(std::max(cpl, 1)) + 3;
    for (std::size_t i = 0; i < n; ++i) {
        // A decision reads up to `regard` bytes ahead: past an incomplete
        // stretch it would take its end for the paragraph's.
        if (!complet && i + regard + 2 >= n) return std::string_view::npos;
        out += paragraphe[i];
        ++col;
        if (col > cpl && i + 1 < n) {
            if (paragraphe[i + 1] == ' ') {
                out += cLF;
                ++i;
                col = 1;
                if (arret(i + 1)) return i + 1;
            } else {
                col = coupe(out, debutLigneDe(out), cpl, [&](bool) { return paragraphe.substr(i + 1, regard); }, false);
                // The new line holds the col - 1 bytes that end at i.
                const std::size_t g = i + 2 - static_cast<std::size_t>(col);
                if (arret(g)) {
                    out.resize(out.size() - static_cast<std::size_t>(col - 1));
                    return g;
                }
            }
        }
    }
    return n;
}
}  // namespace

std::string CoupeParagraphe(std::string_view paragraphe, std::int32_t cpl, std::int32_t* nbLignes) {
    std::string out;
    coupeDepuis(paragraphe, true, cpl, [](std::size_t) { return false; }, out);
    if (nbLignes)
        *nbLignes = 1 + static_cast<std::int32_t>(std::count_if(out.begin(), out.end(),
                                                               [](char ch) { return ch == cLF || ch == cVT; }));
    return out;
}

std::size_t CoupeParagrapheDepuis(std::string_view morceau, bool complet, std::int32_t cpl,
                                  const std::function<bool(std::size_t)>& arret, std::string& sortie) {
    return coupeDepuis(morceau, complet, cpl, [&](std::size_t g) { return arret(g); }, sortie);
}

namespace {
// The re-wrap of one paragraph, positions debut..fin (1-based, its CR or FF
// included), byte by byte; what follows it is read to place a cut.
void recoupeParagraphe(std::string_view texte, std::int32_t debutParagraphe, std::int32_t finParagraphe,
                       std::int32_t cpl, const Indentation& indentation, std::string& out,
                       std::vector<std::int32_t>& origine) {
    std::int32_t largeur = cpl;
    std::size_t debutLigne = out.size();
    bool ligneNeuve = true;
    // The position in `texte` of each byte of the current line, so that a
    // line made by moving a word down takes the width of its own first byte.
    origine.clear();
    const auto n = static_cast<std::int32_t>(texte.size());
    auto normal = [&](std::int32_t p) { return texte[static_cast<std::size_t>(p - 1)] == cLF ? ' ' : texte[static_cast<std::size_t>(p - 1)]; };
    auto largeurEn = [&](std::int32_t p) { return std::max(1, cpl - indentation(p).cellules); };
    auto finDeLigne = [&] {
        debutLigne = out.size();
        origine.clear();
        ligneNeuve = true;
    };
    for (std::int32_t p = debutParagraphe; p <= finParagraphe; ++p) {
        char b = normal(p);
        if (b == cVT) continue;
        if (ligneNeuve) largeur = largeurEn(p);
        ligneNeuve = false;
        if (b == static_cast<char>(CR) || b == static_cast<char>(FF)) {
            out += b;
            finDeLigne();
            continue;
        }
        if (b == ' ' && static_cast<std::int32_t>(out.size() - debutLigne) >= largeur) {
            out += cLF;
            finDeLigne();
            continue;
        }
        // The count restarts after each line end made here: the moved word
        // counts on its new line, which may be narrower than the one it left.
        while (static_cast<std::int32_t>(out.size() - debutLigne) >= largeur) {
            std::size_t k = out.size();
            while (k > debutLigne && out[k - 1] != ' ') --k;
            std::size_t debut;  // where the new line starts, before any insertion
            std::size_t coupure = 0;
            if (k > debutLigne) {
                out[k - 1] = cLF;
                debut = k;
            } else {
                std::string suite(1, b);
                const auto max = static_cast<std::size_t>(largeur) + 3;
                for (std::int32_t q = p + 1; q <= n && suite.size() < max; ++q)
                    if (texte[static_cast<std::size_t>(q - 1)] != cVT) suite += normal(q);
                debut = placeCoupure(out, suite, out.size(), debutLigne, false, largeur);
                out.insert(debut, 1, cVT);
                coupure = 1;
            }
            const std::size_t depuis = debut - debutLigne;
            const std::int32_t premier = depuis < origine.size() ? origine[depuis] : p;
            origine.erase(origine.begin(), origine.begin() + static_cast<std::ptrdiff_t>(depuis));
            debutLigne = debut + coupure;
            largeur = largeurEn(premier);
        }
        out += b;
        origine.push_back(p);
    }
}

// The paragraph that starts at `a`: whether it stands as the re-wrap
// leaves it; `fin` receives the index of its CR or FF, or the text's size.
bool paragrapheInchange(VerificationRecoupage& v, std::string_view texte, std::size_t a, std::size_t& fin) {
    const char* const base = texte.data();
    const char* const bout = base + texte.size();
    v.reprend(a);
    for (const char* c = base + a;; ++c) {
        c = prochaineFinDeLigne(c, bout);
        v.ligne(static_cast<std::size_t>(c - base));
        if (c == bout || *c == static_cast<char>(CR) || *c == static_cast<char>(FF)) {
            fin = static_cast<std::size_t>(c - base);
            return v.inchange();
        }
    }
}
}  // namespace

void VerificationRecoupage::ligneCoupee(std::size_t debut, std::size_t fin, std::size_t largeur, bool retrecie) {
    coupure_ = true;
    // A word moved down onto a narrower line may already pass its width
    // before the cut: left to the byte-by-byte re-wrap.
    inchange_ = !retrecie && coupureJuste(debut, fin, largeur);
}

bool VerificationRecoupage::motPlusLong(std::size_t debut, std::size_t longueur) const {
    for (std::size_t k = debut; longueur > 0; ++k) {
        if (k >= texte_.size()) return false;
        const char c = texte_[k];
        if (c == cVT) continue;
        if (c == ' ' || estFinDeLigne(oct(c))) return false;
        --longueur;
    }
    return true;
}

bool VerificationRecoupage::coupureJuste(std::size_t debut, std::size_t fin, std::size_t largeur) const {
    // The line as the re-wrap holds it when it overflows: its first `largeur`
    // bytes, cuts passed over; a space or a paragraph end among them, or as
    // the byte that overflows, ends the line without a cut. Those bytes are
    // the line's own, then the next line's first ones: read where they stand.
    const std::size_t n = texte_.size(), longueur = fin - debut;
    if (longueur > largeur) return false;
    const std::string_view ligne = texte_.substr(debut, longueur);
    if (finDeMot(ligne.data(), ligne.data() + longueur, texte_.data() + n) != ligne.data() + longueur) return false;
    // Most cuts before the margin: one byte back, so that a hidden prefix
    // that the margin would have split from its letter goes down with it.
    // The two bytes past the cut tell it when the line's last byte and the
    // letter start no sign of their own (the re-wrap then reads no further).
    if (longueur + 1 == largeur && longueur >= 1 && fin + 2 < n) {
        // The byte past the cut is the prefix (so neither a space nor a line end).
        const Octet lettre = oct(texte_[fin + 2]);
        if (lettre != ' ' && !estFinDeLigne(lettre) &&
            !classesOctet::a(oct(texte_[fin - 1]), classesOctet::RETIENT) &&
            !classesOctet::a(lettre, classesOctet::RETIENT) &&
            LectureCoupure{ligne, texte_.substr(fin + 1, 2)}.prefixeCache(longueur))
            return true;
    }
    // What follows, cuts passed over: up to `largeur` past the overflowing byte.
    // Written in place, its room made once for the widest line.
    if (suite_.size() < 2 * largeur + 3) suite_.resize(2 * largeur + 3);
    char* const suite = suite_.data();
    std::size_t lus = 0, q = fin + 1;
    auto lisJusqua = [&](std::size_t taille) {
        for (; q < n && lus < taille; ++q) {
            const char c = texte_[q];
            if (c == cVT) continue;
            if (lus <= largeur - longueur && (c == ' ' || estFinDeLigne(oct(c)))) return false;
            suite[lus++] = c == cLF ? ' ' : c;
        }
        return true;
    };
    // The bytes just past the overflowing one first: most often no sign
    // stands across the margin, and the cut goes there without reading on.
    if (!lisJusqua(largeur - longueur + 2)) return false;
    if (lus <= largeur - longueur) return false;
    if (LectureCoupure{ligne, std::string_view(suite, lus)}.recul(largeur, 0) == 0) return largeur == longueur;
    if (!lisJusqua(2 * largeur + 3 - longueur)) return false;
    return placeCoupure(ligne, std::string_view(suite, lus), largeur, 0, false, static_cast<std::int32_t>(largeur)) ==
           longueur;
}

std::optional<std::string> recoupeTexte(std::string_view texte, std::int32_t cpl,
                                        const Indentation& indentation) {
    std::string out, paragraphe;
    std::vector<std::int32_t> origine;
    bool change = false;
    VerificationRecoupage verification(texte, cpl, indentation);
    for (std::size_t a = 0; a < texte.size();) {
        std::size_t e = 0;
        const bool inchange = paragrapheInchange(verification, texte, a, e);
        const std::size_t fin = std::min(e + 1, texte.size());
        const std::string_view avant = texte.substr(a, fin - a);
        if (!inchange) {
            paragraphe.clear();
            recoupeParagraphe(texte, static_cast<std::int32_t>(a) + 1, static_cast<std::int32_t>(fin), cpl,
                              indentation, paragraphe, origine);
        }
        if (!inchange && paragraphe != avant) {
            if (!change) {
                reserveGrand(out, texte.size() + texte.size() / 16 + 2);
                out.assign(texte.substr(0, a));
                change = true;
            }
            out += paragraphe;
        } else if (change) {
            out += avant;
        }
        a = fin;
    }
    if (!change) return std::nullopt;
    return out;
}

namespace {
std::string transcritEtRecoupe(std::string_view noir, std::int32_t cpl, CaracteresOmis* omis, std::size_t capacite = 0) {
    std::string braille = transcrit(noir, 1, cpl, omis, std::max(capacite, tailleEstimee(noir)));
    if (auto recoupe = recoupeTexte(braille, cpl, [](std::int32_t) { return Retrait{0, INT32_MAX}; }))
        braille = std::move(*recoupe);
    return braille;
}

// Just after the paragraph end nearest the middle of the text; 0 if none.
std::size_t milieuEntreParagraphes(std::string_view noir) {
    auto fin = [&](std::size_t i) { return normalise(noir[i]) == CR || normalise(noir[i]) == FF; };
    for (std::size_t d = 0, m = noir.size() / 2; d <= m; ++d) {
        if (m + d < noir.size() && fin(m + d)) return m + d + 1;
        if (fin(m - d)) return m - d + 1;
    }
    return 0;
}
}  // namespace

std::string TranscritEnDocument(std::string_view noir, std::int32_t cpl, CaracteresOmis* omis) {
    // After a paragraph end every mode starts over (the column, numbers, a
    // stretch of capitals) and the wrap takes each paragraph alone: a book's
    // two halves, cut there, are transcribed and wrapped apart, one on each core.
    constexpr std::size_t SEUIL_PARALLELE = 256 * 1024;
    const std::size_t coupe = noir.size() >= SEUIL_PARALLELE ? milieuEntreParagraphes(noir) : 0;
    if (coupe == 0 || coupe >= noir.size()) return transcritEtRecoupe(noir, cpl, omis);
    CaracteresOmis omisSuite;
    std::string braille, suite;
    // The first half's buffer has room for the whole, and for a file's head
    // and tail around it: the second half joins it, and the book is written
    // out, without being copied again.
    const std::size_t capacite = tailleEstimee(noir) + 4096;
    deuxALaFois([&] { braille = transcritEtRecoupe(noir.substr(0, coupe), cpl, omis, capacite); },
                [&] { suite = transcritEtRecoupe(noir.substr(coupe), cpl, omis ? &omisSuite : nullptr); });
    // Most often already there.
    reserveGrand(braille, braille.size() + suite.size() + 4096);
    braille += suite;
    if (omis) omis->ajoute(omisSuite);
    return braille;
}

void CaracteresOmis::ajoute(const CaracteresOmis& suite) {
    nombre += suite.nombre;
    for (char ch : suite.caracteres)
        if (caracteres.find(ch) == std::string::npos) caracteres += ch;
}

std::string recoupeTexteOctetParOctet(std::string_view texte, std::int32_t cpl,
                                      const Indentation& indentation) {
    std::string out;
    std::vector<std::int32_t> origine;
    const char* const bout = texte.data() + texte.size();
    for (std::size_t a = 0; a < texte.size();) {
        const char* c = texte.data() + a;
        while ((c = prochaineFinDeLigne(c, bout)) != bout && *c != static_cast<char>(CR) && *c != static_cast<char>(FF)) ++c;
        const std::size_t fin = std::min(static_cast<std::size_t>(c - texte.data()) + 1, texte.size());
        recoupeParagraphe(texte, static_cast<std::int32_t>(a) + 1, static_cast<std::int32_t>(fin), cpl, indentation,
                          out, origine);
        a = fin;
    }
    return out;
}

}  // namespace dotavob
