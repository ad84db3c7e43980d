#include "core/fichiers/dtv.h"
#include "plateforme/spouleur.h"

namespace dotavob {

bool SpouleurFichier::ouvre(const std::string& chemin, const std::string&) {
    // A new file for the first job; the later copies follow it.
    if (chemin != chemin_) octets_.clear();
    chemin_ = chemin;
    erreur_.clear();
    return true;
}

bool SpouleurFichier::ecrit(std::string_view octets) {
    octets_ += octets;
    return true;
}

bool SpouleurFichier::ferme() { return ecritFichierAtomique(chemin_, octets_, erreur_); }

}  // namespace dotavob
