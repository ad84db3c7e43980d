// The check that lets a wrapped text through unchanged, against the re-wrap
// it stands for, on any bytes: the line-by-line check (recoupeTexte), and a
// document opened as the window opens one (its line index checks the lines
// as it builds), must both give what the byte-by-byte re-wrap gives.
//
// The input: its first byte is the line's width, the next three an
// indentation (how many cells, from where, how far), the rest the text.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/document.h"
#include "core/document/marqueurs.h"
#include "core/transcription/transcription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dotavob;
    if (size < 4) return 0;
    const std::int32_t cpl = 1 + data[0] % 50;
    const std::string texte(reinterpret_cast<const char*>(data) + 4, size - 4);
    const auto n = static_cast<std::int32_t>(texte.size());
    std::vector<Marqueur> retraits;
    if (data[1] % 8 != 0 && n > 0) {
        const std::int32_t de = 1 + data[2] % n;
        retraits.push_back({de, std::min(n, de + data[3]), MARQUEUR_INDENTATION, static_cast<std::uint8_t>(data[1] % 8)});
    }

    FormatPage format;
    format.derive();
    format.cpl = static_cast<std::uint8_t>(cpl);
    DocumentBraille d(format);
    d.charge(texte, retraits);
    const Indentation indentation = [&](std::int32_t p) { return Retrait{d.marqueurs().IndentationEn(p), p}; };
    const std::string attendu = recoupeTexteOctetParOctet(texte, cpl, indentation);

    const std::optional<std::string> recoupe = recoupeTexte(texte, cpl, indentation);
    if (recoupe.has_value() != (attendu != texte) || recoupe.value_or(texte) != attendu) std::abort();
    d.recoupeDocument(false);
    if (d.texte() != attendu) std::abort();
    return 0;
}
