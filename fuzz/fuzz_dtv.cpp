// The document reader on any bytes: never a crash, and whatever it accepts
// is written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/fichiers/dtv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dotavob;
    const ResultatLecture r = litDtv(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r.ok) return 0;
    const ResultatLecture relu = litDtv(ecritDtv(r.contenu));
    if (!relu.ok || relu.contenu.texte != r.contenu.texte || !(relu.contenu.format == r.contenu.format) ||
        relu.contenu.fonte != r.contenu.fonte || relu.contenu.marqueurs != r.contenu.marqueurs)
        std::abort();
    return 0;
}
