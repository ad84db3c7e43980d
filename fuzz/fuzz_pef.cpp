// The PEF reader on any bytes: never a crash; a refusal leaves no text and
// says why; what it accepts holds only cells, paragraph ends and page breaks,
// and that document written as PEF reads back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/fichiers/pef.h"
#include "core/sorties/pef.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dotavob;
    const ResultatLecture r = litPef(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string& texte = r.contenu.texte;
    if (!r.ok) {
        if (r.erreur.empty() || !texte.empty()) std::abort();
        return 0;
    }
    for (char c : texte)
        if (oct(c) != CR && oct(c) != FF && caractere(cellule(oct(c))) != oct(c)) std::abort();
    const FormatPage& f = r.contenu.format;
    DocumentBraille d(f);
    d.charge(texte, {});
    ReglagesEmbossage reglages;
    reglages.caracteresParLigne = f.cpl;
    reglages.lignesParPage = f.lignesParPage;
    const ResultatLecture relu = litPef(exportePef(d, f, reglages, MetaPef{"urn:fuzz", "", "", ""}));
    if (!relu.ok) std::abort();
    return 0;
}
