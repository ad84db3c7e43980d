#include "core/fichiers/brf.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/memoire/memoire.h"

namespace dotavob {
namespace {

constexpr std::int32_t LARGEUR_MAXIMALE = 50;  // the widest page format

// The cell byte of each Braille ASCII character; 0 for any other byte (no
// cell byte is 0).
std::array<Octet, 256> tableLecture() {
    std::array<Octet, 256> t{};
    for (int c = 0; c < 64; ++c) t[tableUS()[c]] = tableCode()[c];
    // Either case: 0x40..0x5E and 0x60..0x7E are the same characters.
    for (int b = 0x40; b <= 0x5E; ++b) {
        if (!t[b]) t[b] = t[b + 0x20];
        if (!t[b + 0x20]) t[b + 0x20] = t[b];
    }
    return t;
}

ResultatLecture refus(std::int32_t ligne, std::size_t colonne, Octet b) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    ResultatLecture r;
    r.erreur = std::string("l'octet ") + hex + " de la ligne " + std::to_string(ligne) + ", colonne " +
               std::to_string(colonne) + ", n'est pas du braille ASCII";
    return r;
}

}  // namespace

ResultatLecture litBrf(std::string_view o, const FormatPage& format) {
    static const std::array<Octet, 256> table = tableLecture();
    // The end-of-file mark that some programs still write (Ctrl+Z) ends the file.
    while (!o.empty() && o.back() == '\x1A') o.remove_suffix(1);
    // The final page break, then the final line end (CR LF, LF or CR), close
    // what they follow.
    std::size_t n = o.size();
    const bool sautFinal = n > 0 && o[n - 1] == '\f';
    if (sautFinal) --n;
    if (n > 0 && o[n - 1] == '\n') --n;
    if (n > 0 && o[n - 1] == '\r') --n;

    ResultatLecture r;
    std::string& texte = r.contenu.texte;
    reserveGrand(texte, n + n / LARGEUR_MAXIMALE);
    texte.resize(n + n / LARGEUR_MAXIMALE);
    char* const sortie = texte.data();
    std::size_t k = 0;
    std::int32_t coupees = 0;  // lines wider than a page can be
    // Where the messages stand: lines as a text editor counts them (FF is a character).
    std::int32_t ligne = 1;
    std::size_t debutLigne = 0;
    // The longest line and the longest page that a page break closes, as
    // the document counts them (FF ends a line; an empty line that FF ends
    // takes no room).
    std::int32_t cellules = 0, plusLongue = 0, lignesPage = 0, plusLonguePage = 0;
    bool saut = false, coupee = false;
    for (std::size_t i = 0; i < n; ++i) {
        // The cells up to the line's end, or to the widest line, in one run.
        const std::size_t bout = std::min(n, i + static_cast<std::size_t>(LARGEUR_MAXIMALE - cellules));
        std::size_t j = i;
        for (Octet c; j < bout && (c = table[oct(o[j])]) != 0; ++j) sortie[k++] = static_cast<char>(c);
        cellules += static_cast<std::int32_t>(j - i);
        if (j == n) break;
        i = j;
        const Octet b = oct(o[i]);
        if (table[b]) {
            // No page is wider: the line goes on on the next one, every cell kept.
            sortie[k++] = static_cast<char>(CR);
            plusLongue = LARGEUR_MAXIMALE;
            cellules = 0;
            ++lignesPage;
            if (!coupee) ++coupees;
            coupee = true;
            --i;  // the cell starts the next run
        } else if (b == '\r' || b == '\n') {
            if (b == '\r' && i + 1 < n && o[i + 1] == '\n') ++i;
            sortie[k++] = static_cast<char>(CR);
            plusLongue = std::max(plusLongue, cellules);
            cellules = 0;
            coupee = false;
            ++lignesPage;
            ++ligne;
            debutLigne = i + 1;
        } else if (b == '\f') {
            sortie[k++] = static_cast<char>(FF);
            plusLongue = std::max(plusLongue, cellules);
            if (cellules > 0) ++lignesPage;
            plusLonguePage = std::max(plusLonguePage, lignesPage);
            cellules = lignesPage = 0;
            coupee = false;
            saut = true;
        } else {
            return refus(ligne, i - debutLigne + 1, b);
        }
    }
    texte.resize(k);
    plusLongue = std::max(plusLongue, cellules);
    if (sautFinal) {
        // Left out of the text, the final page break still tells how long the last page is.
        plusLonguePage = std::max(plusLonguePage, lignesPage + (cellules > 0 ? 1 : 0));
        saut = true;
    }

    FormatPage& f = r.contenu.format;
    f = format;
    f.entete.active = f.pied.active = false;
    if (f.interligneDouble) f.basculeInterligne(false);
    f.setCaracteres(std::max(f.caracteres, plusLongue));
    if (saut) f.setLignes(std::max(f.lignes, plusLonguePage));
    f.derive();
    r.contenu.formatPresent = true;
    r.ok = true;
    if (coupees > 0)
        r.avertissement = std::to_string(coupees) +
                          (coupees > 1 ? " lignes de plus de 50 cellules ont été coupées"
                                       : " ligne de plus de 50 cellules a été coupée") +
                          " toutes les 50 cellules, sans perdre une cellule : une page n'est pas plus large.";
    return r;
}

bool estTexteBrailleUnicode(std::string_view octets) {
    if (octets.substr(0, 3) == "\xEF\xBB\xBF") octets.remove_prefix(3);
    return estBrailleUnicode(octets);
}

ResultatLecture litBrailleUnicode(std::string_view octets, const FormatPage& format) {
    if (octets.substr(0, 3) == "\xEF\xBB\xBF") octets.remove_prefix(3);
    // The cells as the paste takes them, each written back as the Braille
    // ASCII character of its cell; line ends and page breaks as they are.
    std::string ascii = brailleUnicodeVersOctets(octets);
    for (char& c : ascii) {
        const Octet b = oct(c);
        if (b != CR && b != FF) c = static_cast<char>(tableUS()[cellule(b) & 63u]);
    }
    return litBrf(ascii, format);
}

}  // namespace dotavob
