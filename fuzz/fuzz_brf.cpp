// The Braille ASCII reader on any bytes: never a crash; a refusal leaves no
// text; what it accepts holds only cells, paragraph ends and page breaks,
// at most a byte for each byte read and a line end for each 50 cells of a
// line cut, and exported as Code US then read again comes back the same, less a final
// page break and then a final paragraph end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/braille/codes.h"
#include "core/document/marqueurs.h"
#include "core/fichiers/brf.h"
#include "core/sorties/export.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dotavob;
    const ResultatLecture r = litBrf(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string& texte = r.contenu.texte;
    if (!r.ok) {
        if (r.erreur.empty() || !texte.empty()) std::abort();
        return 0;
    }
    if (texte.size() > size + size / 50) std::abort();
    for (char c : texte)
        if (oct(c) != CR && oct(c) != FF && caractere(cellule(oct(c))) != oct(c)) std::abort();
    std::string attendu = texte;
    if (!attendu.empty() && oct(attendu.back()) == FF) attendu.pop_back();
    if (!attendu.empty() && oct(attendu.back()) == CR) attendu.pop_back();
    const TgestionnaireMarqueurs aucun;
    const ResultatLecture relu = litBrf(Exporte(texte, aucun, false));
    if (!relu.ok || relu.contenu.texte != attendu) std::abort();
    return 0;
}
