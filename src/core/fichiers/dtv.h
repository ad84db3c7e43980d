// The document file (.dtv): the writer of the newest layout and the reader
// of every layout, legacy print-text files included. The reader trusts no
// length: a truncated or corrupt file gives a French message, never a crash.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/formatpage.h"
#include "core/document/marqueurs.h"

namespace dotavob {

constexpr std::uint16_t VERSION_DTV = 104;

struct ContenuDocument {
    std::string texte;             // the Braille text
    FormatPage format;             // the page format (dialog state)
    bool formatPresent = false;    // false: the file carried none, the defaults apply
    std::string fonte = "Courier New";
    std::vector<Marqueur> marqueurs;
    std::uint16_t version = VERSION_DTV;
};

struct ResultatLecture {
    bool ok = false;
    std::string erreur;            // in French, for the user
    ContenuDocument contenu;
};

std::string ecritDtv(const ContenuDocument& c);

// `format` is the page format in force: a file without one keeps its dialog
// state, as the dialogs keep theirs, before the defaults apply.
ResultatLecture litDtv(std::string_view octets, const FormatPage& format = FormatPage{});

// Whole files. Writing goes to a temporary file renamed over the target, so
// a failed write leaves the old file whole. Errors name the file, in French.
bool lisFichier(const std::string& chemin, std::string& octets, std::string& erreur);
bool ecritFichierAtomique(const std::string& chemin, std::string_view octets, std::string& erreur);

// `verifieFonte` gets the font name the file asks for and returns the one to
// use (a font that is not installed gives way to another).
using VerificationFonte = std::function<std::string(const std::string&)>;
ResultatLecture chargeDtv(const std::string& chemin, const FormatPage& format = FormatPage{},
                          const VerificationFonte& verifieFonte = {});
bool enregistreDtv(const std::string& chemin, const ContenuDocument& c, std::string& erreur);

}  // namespace dotavob
