#include "core/fichiers/xml.h"

#include <algorithm>
#include <cstdint>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

constexpr std::string_view ESPACE_XML = "http://www.w3.org/XML/1998/namespace";
constexpr std::size_t PROFONDEUR_MAXIMALE = 10000;

bool blanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool debutDeNom(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || (oct(c) & 0x80);
}
bool dansUnNom(char c) { return debutDeNom(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

[[noreturn]] void malForme(std::size_t ou, const char* pourquoi) { throw ErreurXml{ou, pourquoi}; }

// The character of a reference "&...;" at s[i], and its length; 0 when it is none.
std::size_t reference(std::string_view s, std::size_t i, char32_t& c) {
    const std::size_t fin = s.find(';', i);
    if (fin == std::string_view::npos || fin - i > 12) return 0;
    const std::string_view nom = s.substr(i + 1, fin - i - 1);
    static constexpr struct { std::string_view nom; char32_t c; } nommees[] = {
        {"lt", U'<'}, {"gt", U'>'}, {"amp", U'&'}, {"apos", U'\''}, {"quot", U'"'}};
    for (const auto& n : nommees)
        if (nom == n.nom) {
            c = n.c;
            return fin - i + 1;
        }
    if (nom.size() < 2 || nom[0] != '#') return 0;
    const bool hexa = nom[1] == 'x';
    const std::string_view chiffres = nom.substr(hexa ? 2 : 1);
    if (chiffres.empty()) return 0;
    std::uint32_t v = 0;
    for (char ch : chiffres) {
        int d = -1;
        if (ch >= '0' && ch <= '9') d = ch - '0';
        else if (hexa && ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
        else if (hexa && ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
        if (d < 0) return 0;
        v = v * (hexa ? 16 : 10) + static_cast<std::uint32_t>(d);
        if (v > 0x10FFFF) return 0;
    }
    if (v == 0 || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    c = v;
    return fin - i + 1;
}

}  // namespace

std::optional<std::string> xmlEnUtf8(std::string_view octets) {
    struct Marque {
        std::string_view debut;
        int largeur;
        bool grandBoutiste, saute;
    };
    // The UTF-32 little-endian mark starts as the UTF-16 one: tried first.
    static constexpr Marque marques[] = {
        {std::string_view("\xFF\xFE\0\0", 4), 4, false, true}, {std::string_view("\0\0\xFE\xFF", 4), 4, true, true},
        {"\xFF\xFE", 2, false, true},                          {"\xFE\xFF", 2, true, true},
        {std::string_view("<\0\0\0", 4), 4, false, false},     {std::string_view("\0\0\0<", 4), 4, true, false},
        {std::string_view("<\0", 2), 2, false, false},         {std::string_view("\0<", 2), 2, true, false}};
    for (const Marque& m : marques)
        if (octets.substr(0, m.debut.size()) == m.debut) {
            std::int32_t invalides = 0;
            return utf16ou32VersUtf8(octets.substr(m.saute ? m.debut.size() : 0), m.largeur, m.grandBoutiste, invalides);
        }
    return std::nullopt;
}

LecteurXml::LecteurXml(std::string_view utf8) : s_(utf8) {
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") i_ = 3;
}

const LecteurXml::Attribut* LecteurXml::attribut(std::string_view nom) const {
    for (const Attribut& a : attributs_)
        if (a.nom == nom) return &a;
    return nullptr;
}

std::optional<std::string_view> LecteurXml::espace() const {
    const auto deuxPoints = nom_.find(':');
    const std::string_view prefixe = deuxPoints == std::string_view::npos ? std::string_view() : nom_.substr(0, deuxPoints);
    if (prefixe == "xml") return ESPACE_XML;
    for (auto d = declarations_.rbegin(); d != declarations_.rend(); ++d)
        if (d->prefixe == prefixe) return std::string_view(d->espace);
    if (prefixe.empty()) return std::string_view();
    return std::nullopt;
}

void LecteurXml::decode(std::string_view brut, bool attribut, std::string& sortie) const {
    sortie.clear();
    if (brut.find_first_of(attribut ? "&\r\n\t" : "&\r") == std::string_view::npos) {
        sortie.assign(brut);
        return;
    }
    sortie.reserve(brut.size());
    for (std::size_t i = 0; i < brut.size(); ++i) {
        const char c = brut[i];
        if (c == '&') {
            char32_t r = 0;
            if (const std::size_t n = reference(brut, i, r)) {
                ajouteUtf8(sortie, r);
                i += n - 1;
                continue;
            }
            sortie += c;  // not a reference of XML's own: kept as written
        } else if (c == '\r' || c == '\n' || (attribut && c == '\t')) {
            if (c == '\r' && i + 1 < brut.size() && brut[i + 1] == '\n') ++i;
            sortie += attribut ? ' ' : '\n';
        } else {
            sortie += c;
        }
    }
}

LecteurXml::Evenement LecteurXml::suivant() {
    if (finPendante_) {
        finPendante_ = false;
        nom_ = ouverts_.back().nom;
        declarations_.resize(ouverts_.back().declarations);
        ouverts_.pop_back();
        return Evenement::Fin;
    }
    const std::size_t n = s_.size();
    while (i_ < n) {
        if (s_[i_] != '<') {
            const std::size_t debut = i_;
            i_ = std::min(s_.find('<', i_), n);
            const std::string_view brut = s_.substr(debut, i_ - debut);
            bool rienQueDuBlanc = true;
            for (char c : brut)
                if (!blanc(c)) {
                    rienQueDuBlanc = false;
                    break;
                }
            if (rienQueDuBlanc) continue;
            decode(brut, false, texte_);
            cdata_ = false;
            return Evenement::Texte;
        }
        const std::string_view reste = s_.substr(i_);
        if (reste.substr(0, 2) == "</") return fin();
        if (reste.substr(0, 2) == "<?") {
            const std::size_t f = s_.find("?>", i_ + 2);
            if (f == std::string_view::npos || i_ + 2 >= n || !debutDeNom(s_[i_ + 2]))
                malForme(i_, "instruction de traitement mal formée");
            i_ = f + 2;
            continue;
        }
        if (reste.substr(0, 4) == "<!--") {
            const std::size_t f = s_.find("-->", i_ + 4);
            if (f == std::string_view::npos) malForme(i_, "commentaire mal formé");
            i_ = f + 3;
            continue;
        }
        if (reste.substr(0, 9) == "<![CDATA[") {
            const std::size_t f = s_.find("]]>", i_ + 9);
            if (f == std::string_view::npos || ouverts_.empty()) malForme(i_, "section CDATA mal formée");
            // Only line ends change in a CDATA section: its "&" are its own.
            texte_.assign(s_.substr(i_ + 9, f - i_ - 9));
            for (std::size_t k = texte_.find('\r'); k != std::string::npos; k = texte_.find('\r', k)) {
                if (k + 1 < texte_.size() && texte_[k + 1] == '\n') texte_.erase(k, 1);
                else texte_[k] = '\n';
            }
            i_ = f + 3;
            cdata_ = true;
            return Evenement::Texte;
        }
        if (reste.substr(0, 9) == "<!DOCTYPE") {
            passeDoctype();
            continue;
        }
        if (reste.size() < 2 || !debutDeNom(reste[1])) malForme(i_, "balise illisible");
        return debut();
    }
    if (!ouverts_.empty()) malForme(n, "balise fermante qui ne ferme pas l'élément ouvert, ou fichier tronqué");
    return Evenement::FinDuDocument;
}

LecteurXml::Evenement LecteurXml::debut() {
    // A file that only nests elements would take more memory than its size.
    if (ouverts_.size() >= PROFONDEUR_MAXIMALE) malForme(i_, "plus de 10 000 éléments imbriqués");
    const std::size_t n = s_.size();
    std::size_t j = i_ + 1;
    while (j < n && dansUnNom(s_[j])) ++j;
    const std::string_view nom = s_.substr(i_ + 1, j - i_ - 1);
    attributs_.clear();
    const std::size_t declarations = declarations_.size();
    bool vide = false;
    for (;;) {
        const std::size_t avantBlanc = j;
        while (j < n && blanc(s_[j])) ++j;
        if (j >= n) malForme(j, "balise ouvrante mal formée");
        if (s_[j] == '>') {
            ++j;
            break;
        }
        if (s_[j] == '/') {
            if (j + 1 >= n || s_[j + 1] != '>') malForme(j, "balise ouvrante mal formée");
            j += 2;
            vide = true;
            break;
        }
        if (j == avantBlanc || !debutDeNom(s_[j])) malForme(j, "attribut mal formé");
        const std::size_t debutNom = j;
        while (j < n && dansUnNom(s_[j])) ++j;
        const std::string_view nomAttribut = s_.substr(debutNom, j - debutNom);
        while (j < n && blanc(s_[j])) ++j;
        if (j >= n || s_[j] != '=') malForme(j, "attribut mal formé");
        ++j;
        while (j < n && blanc(s_[j])) ++j;
        if (j >= n || (s_[j] != '"' && s_[j] != '\'')) malForme(j, "attribut mal formé");
        const std::size_t fin = s_.find(s_[j], j + 1);
        if (fin == std::string_view::npos) malForme(j, "attribut mal formé");
        Attribut& a = attributs_.emplace_back();
        a.nom = nomAttribut;
        decode(s_.substr(j + 1, fin - j - 1), true, a.valeur);
        j = fin + 1;
        if (nomAttribut == "xmlns") declarations_.push_back({{}, a.valeur});
        else if (nomAttribut.substr(0, 6) == "xmlns:") declarations_.push_back({nomAttribut.substr(6), a.valeur});
    }
    i_ = j;
    nom_ = nom;
    ouverts_.push_back({nom, declarations});
    finPendante_ = vide;
    return Evenement::Debut;
}

LecteurXml::Evenement LecteurXml::fin() {
    const std::size_t n = s_.size();
    std::size_t j = i_ + 2;
    while (j < n && dansUnNom(s_[j])) ++j;
    const std::string_view nom = s_.substr(i_ + 2, j - i_ - 2);
    while (j < n && blanc(s_[j])) ++j;
    if (j >= n) malForme(i_, "balise fermante qui ne ferme pas l'élément ouvert, ou fichier tronqué");
    if (nom.empty() || s_[j] != '>') malForme(i_, "balise fermante mal formée");
    if (ouverts_.empty() || ouverts_.back().nom != nom)
        malForme(i_, "balise fermante qui ne ferme pas l'élément ouvert, ou fichier tronqué");
    i_ = j + 1;
    nom_ = nom;
    declarations_.resize(ouverts_.back().declarations);
    ouverts_.pop_back();
    return Evenement::Fin;
}

void LecteurXml::passeDoctype() {
    const std::size_t debut = i_, n = s_.size();
    if (!ouverts_.empty()) malForme(debut, "déclaration de type de document mal formée");
    bool sousEnsemble = false;
    for (std::size_t j = i_ + 9; j < n; ++j) {
        const char c = s_[j];
        std::size_t f = j;
        if (c == '"' || c == '\'') {
            f = s_.find(c, j + 1);
        } else if (sousEnsemble && s_.substr(j, 4) == "<!--") {
            f = s_.find("-->", j + 4);
            if (f != std::string_view::npos) f += 2;
        } else if (sousEnsemble && s_.substr(j, 2) == "<?") {
            f = s_.find("?>", j + 2);
            if (f != std::string_view::npos) f += 1;
        } else if (c == '[') {
            sousEnsemble = true;
        } else if (c == ']') {
            sousEnsemble = false;
        } else if (c == '>' && !sousEnsemble) {
            i_ = j + 1;
            return;
        }
        if (f == std::string_view::npos) break;
        j = f;
    }
    malForme(debut, "déclaration de type de document mal formée");
}

void LecteurXml::passeElement() {
    const std::size_t profondeur = ouverts_.size();
    while (ouverts_.size() >= profondeur) suivant();
}

}  // namespace dotavob
