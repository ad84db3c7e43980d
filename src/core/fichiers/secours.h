// A recovery copy: the document as a save would write it, with the name the
// user gave it (empty for an unnamed document), kept while the document is
// modified so that a crash loses nothing. One file, read whole or refused.
#pragma once

#include <string>
#include <string_view>

namespace dotavob {

struct CopieDeSecours {
    std::string nom;       // the document's file name, UTF-8; empty: unnamed
    std::string document;  // the .dtv bytes
};

std::string ecritCopieDeSecours(const CopieDeSecours& c);
// False, with a French message, for anything but a whole copy.
bool litCopieDeSecours(std::string_view octets, CopieDeSecours& c, std::string& erreur);

}  // namespace dotavob
