// The system clipboard, for the selection copied as text: code page 1252 in
// the core, Unicode on the system's side.
#pragma once

#include "core/editeur/editeur.h"

namespace dotavob {

class PressePapiersSysteme : public PressePapiers {
public:
    void metTexte(const std::string& texte) override;
};

}  // namespace dotavob
