// A text file transcribed into a document, as the command line does it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/braille/codes.h"
#include "core/document/formatpage.h"
#include "core/fichiers/dtv.h"
#include "core/transcription/transcription.h"

namespace dotavob {

// What was lost on the way, for the user to be told.
struct BilanTranscription {
    std::int32_t invalides = 0;     // damaged UTF-8 bytes (or UTF-16/32 units) read as "?"
    CaracteresRemplaces remplaces;  // characters that code page 1252 lacks, read as "?"
    std::string omissions;          // what the RTF reader left out, in words
    CaracteresOmis omis;            // characters with no Braille form, left out
};

// How much of a plain text file is read at once.
constexpr std::size_t TAILLE_PIECE = std::size_t{128} << 10;

// The text file `entree`, imported as texteImporte reads it, transcribed at
// format.cpl (TranscritEnDocument), as a document of `format` with no
// markers: the bytes of ecritDtv, given to `sortie`. A plain text file is
// read, transcribed and written a piece of about `taillePiece` bytes at a
// time, on both cores: a book takes a few megabytes of memory, not several
// times its size. False, with `erreur` said, when the file cannot be read or
// the document would be more than a document may hold (as saving it to
// `cheminSortie` would say); false also when `sortie` refused its bytes
// (its own error then tells why).
bool transcritFichier(const std::string& entree, const FormatPage& format, SortieOctets& sortie,
                      BilanTranscription& bilan, std::string& erreur, const std::string& cheminSortie,
                      std::size_t taillePiece = TAILLE_PIECE);

}  // namespace dotavob
