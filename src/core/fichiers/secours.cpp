#include "core/fichiers/secours.h"

#include <charconv>

namespace dotavob {
namespace {

constexpr std::string_view ENTETE = "DotavoB copie de secours 1\n";
constexpr std::string_view FIN = "\nfin\n";

// "mot LONGUEUR\n" then that many bytes.
void ecritChamp(std::string& r, std::string_view mot, std::string_view valeur) {
    r.append(mot);
    r += ' ';
    r += std::to_string(valeur.size());
    r += '\n';
    r.append(valeur);
}

bool litChamp(std::string_view& s, std::string_view mot, std::string& valeur) {
    if (s.substr(0, mot.size()) != mot || s.size() <= mot.size() || s[mot.size()] != ' ') return false;
    s.remove_prefix(mot.size() + 1);
    const auto ligne = s.find('\n');
    if (ligne == std::string_view::npos || ligne == 0 || ligne > 20) return false;
    std::size_t n = 0;
    const auto [fin, ec] = std::from_chars(s.data(), s.data() + ligne, n);
    if (ec != std::errc() || fin != s.data() + ligne) return false;
    s.remove_prefix(ligne + 1);
    if (n > s.size()) return false;
    valeur.assign(s.substr(0, n));
    s.remove_prefix(n);
    return true;
}

}  // namespace

std::string ecritCopieDeSecours(const CopieDeSecours& c) {
    std::string r;
    r.reserve(ENTETE.size() + c.nom.size() + c.document.size() + 64);
    r.append(ENTETE);
    ecritChamp(r, "nom", c.nom);
    r += '\n';
    ecritChamp(r, "document", c.document);
    r.append(FIN);
    return r;
}

bool litCopieDeSecours(std::string_view s, CopieDeSecours& c, std::string& erreur) {
    erreur = "ce n'est pas une copie de secours entière de DotavoB";
    if (s.substr(0, ENTETE.size()) != ENTETE) return false;
    s.remove_prefix(ENTETE.size());
    CopieDeSecours lue;
    if (!litChamp(s, "nom", lue.nom) || s.empty() || s.front() != '\n') return false;
    s.remove_prefix(1);
    if (!litChamp(s, "document", lue.document) || s != FIN) return false;
    c = std::move(lue);
    erreur.clear();
    return true;
}

}  // namespace dotavob
