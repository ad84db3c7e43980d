// The RTF reader and the import of files on any bytes: never a crash, and
// the text it gives back is never longer than what it read allows.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/fichiers/importation.h"
#include "core/fichiers/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dotavob;
    const std::string source(reinterpret_cast<const char*>(data), size);
    const std::string brut = rtfVersTexteBrut(source);
    // Each source byte gives at most two characters (a paragraph end, CR LF).
    if (brut.size() > 2 * source.size()) std::abort();
    const std::string texte = rtfverstexte(source);
    const std::string importe = texteImporte(source, "fichier.rtf");
    (void)texte;
    (void)importe;
    return 0;
}
