#include "core/braille/unicode.h"

namespace dotavob {
namespace {
// Our cells hold dots 1, 2, 3 in bits 3, 4, 5 and dots 4, 5, 6 in bits 2, 1, 0.
constexpr int bitDuPoint[6] = {3, 4, 5, 2, 1, 0};
}  // namespace

char32_t brailleUnicode(Octet octet) {
    const unsigned c = cellule(octet) & 63u;
    char32_t u = BRAILLE_UNICODE;
    for (int point = 0; point < 6; ++point)
        if (c & (1u << bitDuPoint[point])) u |= char32_t{1} << point;
    return u;
}

int octetDeBrailleUnicode(char32_t c) {
    if (c < BRAILLE_UNICODE || c > DERNIERE_CELLULE_SIX_POINTS) return -1;
    const auto points = static_cast<unsigned>(c - BRAILLE_UNICODE);
    int cel = 0;
    for (int point = 0; point < 6; ++point)
        if (points & (1u << point)) cel |= 1 << bitDuPoint[point];
    return caractere(cel);
}

bool estBrailleUnicode(std::string_view utf8) {
    bool cellule = false;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = decodeUtf8(utf8, i, c);
        if (n == 0) return false;
        i += n;
        if (octetDeBrailleUnicode(c) >= 0)
            cellule = true;
        else if (c != U' ' && c != U'\r' && c != U'\n' && c != U'\f')
            return false;
    }
    return cellule;
}

std::string brailleUnicodeVersOctets(std::string_view utf8) {
    std::string r;
    r.reserve(utf8.size() / 3 + 1);
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = decodeUtf8(utf8, i, c);
        if (n == 0) {
            ++i;
            continue;
        }
        i += n;
        if (const int b = octetDeBrailleUnicode(c); b >= 0)
            r += static_cast<char>(b);
        else if (c == U' ')
            r += static_cast<char>(caractere(0));
        else if (c == U'\f')
            r += static_cast<char>(FF);
        else if (c == U'\n' || c == U'\r') {
            r += static_cast<char>(CR);
            if (c == U'\r' && i < utf8.size() && utf8[i] == '\n') ++i;
        }
    }
    return r;
}

}  // namespace dotavob
