#include "core/braille/codes.h"

namespace dotavob {
namespace {

constexpr Table64 table1252 = {
    0x20, 0x91, 0xB4, 0x84, 0x5E, 0xA8, 0xA4, 0xB8,  // 0..7
    0x61, 0xE2, 0x65, 0xFB, 0x63, 0xEE, 0x64, 0xF4,  // 8..15
    0x2C, 0x3F, 0x3A, 0x2E, 0x69, 0x9C, 0x6A, 0x77,  // 16..23
    0x62, 0xEA, 0x68, 0xFC, 0x66, 0xEB, 0x67, 0xEF,  // 24..31
    0x27, 0x2D, 0xD7, 0x29, 0x2F, 0xF3, 0x40, 0x30,  // 32..39
    0x6B, 0x75, 0x6F, 0x7A, 0x6D, 0x78, 0x6E, 0x79,  // 40..47
    0x3B, 0x28, 0x21, 0x22, 0x73, 0xE8, 0x74, 0xF9,  // 48..55
    0x6C, 0x76, 0x72, 0xE0, 0x70, 0xE7, 0x71, 0xE9,  // 56..63
};

constexpr Table64 table1251 = {
    0x20, 0x7D, 0x5F, 0x3C, 0x5E, 0x7B, 0x5B, 0x7C,
    0xE0, 0xB8, 0xE5, 0xF8, 0xF6, 0xEE, 0xE4, 0xF4,
    0x2C, 0x3F, 0x3A, 0x2E, 0xE8, 0xFD, 0xE6, 0xE2,
    0xE1, 0xEA, 0xF5, 0xFE, 0xF4, 0xFF, 0xE3, 0xEF,
    0x27, 0x2D, 0x2A, 0x29, 0x2F, 0x5C, 0x40, 0x5D,
    0xE9, 0xF3, 0xEE, 0xE7, 0xEC, 0xF9, 0xED, 0x79,
    0x3B, 0x28, 0x21, 0x3D, 0xF1, 0xFB, 0xF2, 0xFC,
    0xEB, 0x76, 0xF0, 0xFA, 0xEF, 0xE9, 0xF7, 0x60,
};

constexpr Table64 tableAmericaine = {
    0x20, 0x2C, 0x22, 0x3B, 0x40, 0x2E, 0x5E, 0x5F,
    0x61, 0x2A, 0x65, 0x3A, 0x63, 0x25, 0x64, 0x3F,
    0x31, 0x35, 0x33, 0x34, 0x69, 0x5B, 0x6A, 0x77,
    0x62, 0x3C, 0x68, 0x5C, 0x66, 0x24, 0x67, 0x5D,
    0x27, 0x2D, 0x39, 0x30, 0x2F, 0x2B, 0x3E, 0x23,
    0x6B, 0x75, 0x6F, 0x7A, 0x6D, 0x78, 0x6E, 0x79,
    0x32, 0x38, 0x36, 0x37, 0x73, 0x21, 0x74, 0x29,
    0x6C, 0x76, 0x72, 0x28, 0x70, 0x26, 0x71, 0x3D,
};

// Digits 0..9 in the order of the letters a..j with dot 6 added.
constexpr std::array<Octet, 10> cellulesChiffres = {39, 9, 25, 13, 15, 11, 29, 31, 27, 21};

constexpr std::string_view operateurs = "+-:=^(),[]*";
constexpr std::array<Octet, 11> cellulesOperateurs = {50, 33, 18, 51, 38, 49, 35, 16, 59, 55, 34};

struct SigneSpecial {
    Octet signe;
    Octet base;
    Octet compagnon;
};

// Order matters: searches take the first match.
constexpr std::array<SigneSpecial, 27> signesSpeciaux = {{
    {0xAC, 33, 0x02}, {0x2A, 34, 0x02}, {0x7E, 17, 0x02}, {0xE5, 10, 0x04},
    {0xF0, 60, 0x06}, {0xB5, 44, 0x06}, {0xB3, 13, 0x04}, {0xB2, 25, 0x04},
    {0xA5, 47, 0x06}, {0xA2, 12, 0x06}, {0xAE, 58, 0x02}, {0xA9, 12, 0x02},
    {0x5B, 49, 0x06}, {0x5D, 35, 0x98}, {0x7B, 49, 0x01}, {0x7D, 35, 0x20},
    {0xB0, 42, 0x02}, {0x80, 10, 0x06}, {0xA3, 56, 0x06}, {0x25, 37, 0x02},
    {0x24, 52, 0x06}, {0x5C, 36, 0x02}, {0x26, 63, 0x02}, {0x23, 39, 0x02},
    {0xA7, 60, 0x02}, {0x3C, 25, 0x02}, {0x3E, 38, 0x02},
}};

struct SigneAlternatif {
    Octet octet;
    Octet cellule;
};

constexpr std::array<SigneAlternatif, 13> signesAlternatifs = {{
    {0xE4, 38}, {0xF6, 21}, {0x2B, 50}, {0x3D, 51}, {0xFE, 39}, {0xF5, 1}, {0xDF, 2},
    {0xDE, 3}, {0xDD, 4}, {0xD1, 5}, {0xF1, 6}, {0xBF, 7}, {0xF7, 18},
}};

// Dots written as decimal digits (1245) to a cell value.
constexpr Octet points(int chiffres) {
    constexpr Octet bit[7] = {0, 8, 16, 32, 4, 2, 1};
    Octet c = 0;
    for (; chiffres > 0; chiffres /= 10) c |= bit[chiffres % 10];
    return c;
}

constexpr std::array<int, 65> grilleOrdre = {
    0,  1,    12,   14,    145,   15,   124,    1245,  125,   24,   245,   45,   4,
    3,  13,   123,  134,   1345,  135,  1234,   12345, 1235,  234,  2345,  456,  46,
    36, 136,  1236, 1346,  13456, 1356, 12346,  123456, 12356, 2346, 23456, 3456, 346,
    6,  16,   126,  146,   1456,  156,  1246,   12456, 1256,  246,  2456,  345,  34,
    0,  2,    23,   25,    256,   26,   235,    2356,  236,   35,   356,   56,   5,
};

// Precomputed answers for every byte, so that the hot paths (painting,
// transcription) do a single look-up instead of a table search.
constexpr int F_PONCT = classesOctet::PONCT, F_FINLIGNE = classesOctet::FINLIGNE, F_MAJ = classesOctet::MAJ, F_MIN = classesOctet::MIN,
              F_OPER = classesOctet::OPER, F_SPECIAL = classesOctet::SPECIAL, F_ALTERN = classesOctet::ALTERN,
              F_CHIFFRE = classesOctet::CHIFFRE, F_TABLE = classesOctet::TABLE;

struct Tables {
    std::array<Octet, 256> cellule{};
    std::array<Octet, 256> cellule1251{};
    std::array<Octet, 256> prefixe{};
    std::array<Octet, 256> chiffre{};
    std::array<Octet, 256> operateur{};
    std::array<Octet, 256> special{};  // index + 1 in signesSpeciaux, 0 if none
    // The two-cell sign that a byte's cell starts: index + 1 in
    // signesSpeciaux of the first sign of that base, if it has a second
    // cell; 0 if not.
    std::array<Octet, 256> signeDouble{};
    std::array<int, 256> drapeaux{};
};

constexpr bool majuscule1252(int b) {
    return (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xC4) || b == 0xC7 || (b >= 0xC8 && b <= 0xCF) ||
           (b >= 0xD2 && b <= 0xD6) || (b >= 0xD9 && b <= 0xDC) || b == 0x8C;
}
constexpr bool minuscule1252(int b) {
    return (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xE4) || (b >= 0xE7 && b <= 0xEF) ||
           (b >= 0xF4 && b <= 0xF6) || (b >= 0xF9 && b <= 0xFC) || b == 0x9C;
}

constexpr Octet chercheCellule(const Table64& t, int b) {
    for (int p = 1; p <= 7; ++p)
        if (t[p] == b) return static_cast<Octet>(p);
    for (int c = 0; c < 64; ++c)
        if (t[c] == b) return static_cast<Octet>(c);
    for (const auto& s : signesSpeciaux)
        if (s.signe == b) return s.base;
    for (const auto& a : signesAlternatifs)
        if (a.octet == b) return a.cellule;
    return AUCUNE_CELLULE;
}

constexpr Tables construitTables() {
    Tables t;
    for (int b = 0; b < 256; ++b) {
        t.cellule[b] = chercheCellule(table1252, b);
        t.cellule1251[b] = chercheCellule(table1251, b);
        t.prefixe[b] = AUCUNE_CELLULE;
        for (int p = 1; p <= 7; ++p)
            if (table1252[p] == b) {
                t.prefixe[b] = static_cast<Octet>(p);
                break;
            }
        t.chiffre[b] = 0;
        for (int d = 0; d < 10; ++d)
            if (t.cellule[b] == cellulesChiffres[d]) t.chiffre[b] = static_cast<Octet>('0' + d);
        t.operateur[b] = 0;
        for (std::size_t o = 0; o < cellulesOperateurs.size(); ++o)
            if (t.cellule[b] == cellulesOperateurs[o]) {
                Octet op = static_cast<Octet>(operateurs[o]);
                t.operateur[b] = op == '*' ? 0xD7 : op == ':' ? 0xF7 : op;
                break;
            }
        t.special[b] = 0;
        for (std::size_t s = 0; s < signesSpeciaux.size(); ++s)
            if (signesSpeciaux[s].signe == b) {
                t.special[b] = static_cast<Octet>(s + 1);
                break;
            }
        t.signeDouble[b] = 0;
        for (std::size_t s = 0; s < signesSpeciaux.size(); ++s)
            if (signesSpeciaux[s].base == t.cellule[b]) {
                if (signesSpeciaux[s].compagnon > 128) t.signeDouble[b] = static_cast<Octet>(s + 1);
                break;
            }
        int f = 0;
        if (b == '!' || b == ',' || b == '.' || b == ':' || b == ';' || b == '?') f |= F_PONCT;
        if (b == LF || b == VT || b == FF || b == CR) f |= F_FINLIGNE;
        if (majuscule1252(b)) f |= F_MAJ;
        if (minuscule1252(b)) f |= F_MIN;
        if (operateurs.find(static_cast<char>(b)) != std::string_view::npos) f |= F_OPER;
        if (t.special[b]) f |= F_SPECIAL;
        for (const auto& a : signesAlternatifs)
            if (a.octet == b) f |= F_ALTERN;
        if (b >= '0' && b <= '9') f |= F_CHIFFRE;
        if (t.prefixe[b] != AUCUNE_CELLULE || b == PREFIXE_POINT5 || b == 0xF3 || t.signeDouble[b] != 0) f |= classesOctet::RETIENT;
        for (Octet x : table1252)
            if (x == b) f |= F_TABLE;
        t.drapeaux[b] = f;
    }
    return t;
}

constexpr Tables tables = construitTables();

constexpr bool drapeau(Octet b, int f) { return (tables.drapeaux[b] & f) != 0; }

}  // namespace

// Set at compile time: no static initialiser can read it before it holds its values.
constinit const std::array<int, 256> classesOctet::drapeaux = tables.drapeaux;

const Table64& tableCode() { return tableCodePour(pageCode); }
const Table64& tableCodePour(int page) { return page == 1251 ? table1251 : table1252; }
const Table64& tableUS() { return tableAmericaine; }

Octet caractere(int c) { return tableCode()[c & 63]; }
Octet caractereUS(int c) { return tableAmericaine[c & 63]; }
Octet cellule(Octet b) { return tables.cellule[b]; }
Octet cellulePour(Octet b, int page) { return page == 1251 ? tables.cellule1251[b] : tables.cellule[b]; }
Octet codePrefixe(Octet b) { return tables.prefixe[b]; }
bool estPrefixe(Octet b) { return tables.prefixe[b] != AUCUNE_CELLULE; }

Octet caracterePrefixe(int valeur) {
    if (valeur >= 1 && valeur <= 7) return caractere(valeur);
    return static_cast<Octet>(valeur);
}

Octet celluleChiffre(Octet b) { return estChiffre(b) ? cellulesChiffres[b - '0'] : AUCUNE_CELLULE; }
Octet chiffreDeCaractere(Octet b) { return tables.chiffre[b]; }

Octet celluleOperateur(Octet b) {
    auto i = operateurs.find(static_cast<char>(b));
    return i == std::string_view::npos ? AUCUNE_CELLULE : cellulesOperateurs[i];
}
Octet operateurDeCaractere(Octet b) { return tables.operateur[b]; }

bool estSigneSpecial(Octet b) { return tables.special[b] != 0; }
Octet celluleSigneSpecial(Octet b) {
    return tables.special[b] ? signesSpeciaux[tables.special[b] - 1].base : AUCUNE_CELLULE;
}

std::string ecritureSigneSpecial(Octet b) {
    if (!tables.special[b]) return std::string(1, static_cast<char>(b));
    const auto& s = signesSpeciaux[tables.special[b] - 1];
    std::string r;
    if (s.compagnon >= 128) {
        r += static_cast<char>(s.signe);
        r += static_cast<char>(caractere(s.compagnon - 128));
    } else {
        r += static_cast<char>(caracterePrefixe(s.compagnon));
        r += static_cast<char>(s.signe);
    }
    return r;
}

Octet signeSpecialDeCellule(Octet b) {
    Octet c = cellule(b);
    for (const auto& s : signesSpeciaux)
        if (s.base == c) return s.signe;
    return 0;
}

Octet celluleSigneAlternatif(Octet b) {
    for (const auto& a : signesAlternatifs)
        if (a.octet == b) return a.cellule;
    return AUCUNE_CELLULE;
}

Octet celluleDOrdre(int index) {
    if (index < 0 || index > 64) return AUCUNE_CELLULE;
    return points(grilleOrdre[index]);
}

Octet retourneCellule(Octet c) {
    // Half a turn: dot 1 <-> 6, 2 <-> 5, 3 <-> 4.
    constexpr Octet vers[6] = {8, 16, 32, 1, 2, 4};
    Octet r = 0;
    for (int bit = 0; bit < 6; ++bit)
        if (c & (1 << bit)) r |= vers[bit];
    return r;
}

Octet retourneCaractere(Octet b) { return caractere(retourneCellule(cellule(b))); }

std::string retourneChaine(std::string_view s) {
    std::string r(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i) {
        Octet b = oct(s[s.size() - 1 - i]);
        r[i] = static_cast<char>(estFinDeLigne(b) ? b : retourneCaractere(b));
    }
    return r;
}

int codePrefixeAncien(Octet b) {
    switch (b) {
        case 0x8C: return 5;
        case 0x8D: return 1;
        case 0x8E: return 7;
        case 0x8F: return 6;
        case 0x90: return 2;
        default: return -1;
    }
}

void convertitPrefixesAnciens(std::string& s) {
    for (auto& ch : s) {
        int p = codePrefixeAncien(oct(ch));
        if (p >= 0) ch = static_cast<char>(caractere(p));
    }
}

bool estToucheDePoint(int vk) {
    return vk == 0x53 || vk == 0x44 || vk == 0x46 || vk == 0x4A || vk == 0x4B || vk == 0x4C;
}


bool estMajusculePour(Octet b, int page) {
    if (page == 1251) return (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF);
    return estMajuscule(b);
}
bool estMinusculePour(Octet b, int page) {
    if (page == 1251) return (b >= 'a' && b <= 'z') || b >= 0xE0;
    return estMinuscule(b);
}

bool estAccepte(Octet b) {
    Octet n = normaliseGuillemets(b);
    if (n < 31) return false;
    if (drapeau(n, F_TABLE)) return true;
    return estChiffre(n) || estMajuscule(n) || estOperateur(n) || estSigneSpecial(n);
}

Octet enMinuscule(Octet b) {
    if (estMinuscule(b)) return b;
    if (b == 0x8C) return 0x9C;
    return static_cast<Octet>(b + 32);
}

Octet enMajuscule(Octet b) {
    if (estMajuscule(b)) return b;
    if (b == 0x9C) return 0x8C;
    return static_cast<Octet>(b - 32);
}

Octet normaliseGuillemets(Octet b) {
    switch (b) {
        case 0xAB: case 0xBB: case 0x93: case 0x94: return '"';
        case '_': return 0xAC;
        default: return b;
    }
}

void normaliseChaine(std::string& s) {
    std::size_t j = 0;
    for (char ch : s)
        if (ch != '\0') s[j++] = static_cast<char>(normaliseGuillemets(oct(ch)));
    s.resize(j);
}

bool estSigneDouble(Octet a, Octet b) {
    const Octet k = tables.signeDouble[a];
    return k != 0 && tables.cellule[b] == signesSpeciaux[k - 1].compagnon - 128;
}

bool lisSigneDouble(std::int32_t& position, std::string_view texte, std::string& sortie) {
    const auto n = static_cast<std::int32_t>(texte.size());
    if (position < 1 || position >= n || !estSigneDouble(oct(texte[position - 1]), oct(texte[position]))) return false;
    sortie += static_cast<char>(signesSpeciaux[tables.signeDouble[oct(texte[position - 1])] - 1].signe);
    ++position;
    return true;
}

bool estDebutSigneDouble(std::int32_t position, std::string_view texte) {
    const auto n = static_cast<std::int32_t>(texte.size());
    if (position < 1 || position >= n) return false;
    Octet b = oct(texte[position - 1]);
    if (!tables.special[b]) return false;
    const auto& s = signesSpeciaux[tables.special[b] - 1];
    return s.compagnon >= 128 && cellule(oct(texte[position])) == s.compagnon - 128;
}

bool estPrefixeEnPosition(std::string_view texte, std::int32_t i) {
    const auto n = static_cast<std::int32_t>(texte.size());
    if (i < 1 || i > n) return false;
    Octet k = codePrefixe(oct(texte[i - 1]));
    if (k == AUCUNE_CELLULE) return false;
    if (k == 1 || k == 3 || k == 5 || k == 7) return true;
    return i < n && estSigneSpecial(oct(texte[i]));
}

namespace {
// Code page 1252's 0x80..0x9F; the five unassigned bytes keep their C1 code
// point so that every byte survives a round trip.
constexpr std::array<char16_t, 32> c1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

std::string utf16ou32VersUtf8(std::string_view s, int largeur, bool grandBoutiste, std::int32_t& invalides) {
    auto unite = [&](std::size_t i) {
        std::uint32_t u = 0;
        for (int k = 0; k < largeur; ++k) {
            const auto o = static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]));
            u |= o << (8 * (grandBoutiste ? largeur - 1 - k : k));
        }
        return u;
    };
    const auto w = static_cast<std::size_t>(largeur);
    std::string r;
    r.reserve(s.size() / w + 16);
    std::size_t i = 0;
    for (; i + w <= s.size(); i += w) {
        char32_t c = unite(i);
        if (largeur == 2 && c >= 0xD800 && c <= 0xDBFF && i + 2 * w <= s.size()) {
            const char32_t bas = unite(i + w);
            if (bas >= 0xDC00 && bas <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (bas - 0xDC00);
                i += w;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            ++invalides;
            c = U'?';
        }
        ajouteUtf8(r, c);
    }
    if (i < s.size()) {
        ++invalides;
        r += '?';
    }
    return r;
}

void ajouteUtf8(std::string& r, char32_t c) {
    if (c < 0x80) {
        r += static_cast<char>(c);
    } else if (c < 0x800) {
        r += static_cast<char>(0xC0 | (c >> 6));
        r += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        r += static_cast<char>(0xE0 | (c >> 12));
        r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        r += static_cast<char>(0xF0 | (c >> 18));
        r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& c) {
    Octet b = oct(s[i]);
    std::size_t n;
    if (b < 0x80) { c = b; return 1; }
    if (b >= 0xC2 && b <= 0xDF) { n = 2; c = b & 0x1F; }
    else if (b >= 0xE0 && b <= 0xEF) { n = 3; c = b & 0x0F; }
    else if (b >= 0xF0 && b <= 0xF4) { n = 4; c = b & 0x07; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        Octet x = oct(s[i + k]);
        if ((x & 0xC0) != 0x80) return 0;
        c = (c << 6) | (x & 0x3F);
    }
    if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return n;
}

char32_t versUnicode(Octet b) {
    if (b >= 0x80 && b <= 0x9F) return c1252[b - 0x80];
    return b;
}

int depuisUnicode(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (c1252[i] == c) return 0x80 + i;
    return -1;
}

std::string cp1252VersUtf8(std::string_view s) {
    std::string r;
    r.reserve(s.size() + s.size() / 4);
    for (char ch : s) ajouteUtf8(r, versUnicode(oct(ch)));
    return r;
}

void CaracteresRemplaces::ajoute(char32_t c) {
    ++nombre;
    if (caracteres.size() < GARDES && caracteres.find(c) == std::u32string::npos) caracteres += c;
}

void CaracteresRemplaces::ajoute(const CaracteresRemplaces& suite) {
    nombre += suite.nombre;
    for (char32_t c : suite.caracteres)
        if (caracteres.size() < GARDES && caracteres.find(c) == std::u32string::npos) caracteres += c;
}

std::string utf8VersCp1252(std::string_view s, CaracteresRemplaces* remplaces) {
    std::string r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t ascii = finAscii(s, i);
        r.append(s.substr(i, ascii - i));
        if ((i = ascii) == s.size()) break;
        char32_t c;
        std::size_t n = decodeUtf8(s, i, c);
        if (n == 0) {
            r += s[i++];
            continue;
        }
        const int b = depuisUnicode(c);
        if (b < 0 && remplaces) remplaces->ajoute(c);
        r += static_cast<char>(b < 0 ? '?' : b);
        i += n;
    }
    return r;
}

std::string extrait(std::string_view utf8, std::size_t longueur) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < utf8.size() && n < longueur; ++n) {
        char32_t c = 0;
        const std::size_t l = decodeUtf8(utf8, i, c);
        i += l ? l : 1;
    }
    if (i >= utf8.size()) return std::string(utf8);
    return std::string(utf8.substr(0, i)) + "…";
}

bool estUtf8Valide(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t c;
        std::size_t n = decodeUtf8(s, i, c);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

}  // namespace dotavob
