// The files that carry Braille from and to other programs, told apart by
// their names: Braille ASCII (.brf, .txt) and PEF (.pef).
#pragma once

#include <string>
#include <string_view>

#include "core/document/formatpage.h"
#include "core/fichiers/dtv.h"

namespace dotavob {

enum class FormatEchange { Aucun, Brf, Pef };

// ".brf" and ".txt" are Braille ASCII, ".pef" is PEF, in any letter case.
FormatEchange formatEchangeDe(std::string_view nomFichier);

// The document a Braille ASCII or PEF file holds (litBrf, litPef), its format
// chosen by its name; a name of neither is read as Braille ASCII, and a text
// of Unicode braille as its cells (litBrailleUnicode). Errors name the file,
// in French.
ResultatLecture chargeEchange(const std::string& chemin, const FormatPage& format = FormatPage{});

}  // namespace dotavob
