#include "core/fichiers/pef.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include <pugixml.hpp>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"

namespace dotavob {
namespace {

// ---- Reading --------------------------------------------------------------------

struct Refus {
    std::string message;
};

[[noreturn]] void refuse(std::string message) { throw Refus{std::move(message)}; }

std::string_view nomLocal(std::string_view nom) {
    const auto deuxPoints = nom.find(':');
    return deuxPoints == std::string_view::npos ? nom : nom.substr(deuxPoints + 1);
}

// The namespace of an element's name, from the declarations in scope.
std::string_view espaceDe(pugi::xml_node e) {
    const std::string_view nom = e.name();
    const auto deuxPoints = nom.find(':');
    const std::string attribut =
        deuxPoints == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(nom.substr(0, deuxPoints));
    for (pugi::xml_node n = e; n.type() == pugi::node_element; n = n.parent())
        if (const pugi::xml_attribute a = n.attribute(attribut.c_str())) return a.value();
    if (deuxPoints != std::string_view::npos)
        refuse("le préfixe « " + extrait(nom.substr(0, deuxPoints)) + " » de « " + extrait(nom) + " » n'est pas déclaré");
    return {};
}

bool estPef(pugi::xml_node e, std::string_view local) { return nomLocal(e.name()) == local && espaceDe(e) == ESPACE_PEF; }

// The parser lets an attribute given twice through; XML does not.
void verifieAttributs(pugi::xml_node e) {
    std::vector<std::string_view> noms;
    for (pugi::xml_attribute a = e.first_attribute(); a; a = a.next_attribute()) noms.emplace_back(a.name());
    std::sort(noms.begin(), noms.end());
    if (const auto double_ = std::adjacent_find(noms.begin(), noms.end()); double_ != noms.end())
        refuse("l'attribut " + extrait(*double_) + " de « " + extrait(e.name()) + " » est donné deux fois");
}

// The elements in `parent`, each checked to be PEF's `attendu`; text between
// them is refused. Elements of another namespace are extensions, which PEF
// lets a body, a volume, a section and a page hold: skipped with all they hold.
template <typename Fonction>
void pourChaque(pugi::xml_node parent, std::string_view attendu, Fonction fonction) {
    for (pugi::xml_node n : parent.children()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            const std::string_view t = n.value();
            if (t.find_first_not_of(" \t\r\n") != std::string_view::npos)
                refuse("du texte hors d'une rangée, dans « " + extrait(parent.name()) + " »");
        } else if (n.type() == pugi::node_element) {
            if (const std::string_view espace = espaceDe(n); !espace.empty() && espace != ESPACE_PEF) continue;
            if (!estPef(n, attendu))
                refuse("l'élément « " + extrait(n.name()) + " » n'a pas sa place dans « " + extrait(parent.name()) + " »");
            verifieAttributs(n);
            fonction(n);
        }
    }
}

// An attribute's whole number, within min..max; absent: `defaut` (refused if none).
std::int32_t entier(pugi::xml_node e, const char* nom, std::int32_t min, std::int32_t max, std::int32_t defaut) {
    const pugi::xml_attribute a = e.attribute(nom);
    if (!a) {
        if (defaut < 0) refuse("il manque l'attribut " + std::string(nom) + " de « " + e.name() + " »");
        return defaut;
    }
    const std::string_view v = a.value();
    std::int64_t n = 0;
    bool ok = !v.empty() && v.size() <= 9;
    for (std::size_t i = 0; ok && i < v.size(); ++i) {
        ok = v[i] >= '0' && v[i] <= '9';
        n = n * 10 + (v[i] - '0');
    }
    if (!ok || n < min || n > max)
        refuse("l'attribut " + std::string(nom) + " de « " + extrait(e.name()) + " » vaut « " + extrait(v) + " », qui n'est pas un nombre de " +
               std::to_string(min) + " à " + std::to_string(max));
    return static_cast<std::int32_t>(n);
}

void verifieDuplex(pugi::xml_node e) {
    if (const pugi::xml_attribute a = e.attribute("duplex")) {
        const std::string_view v = a.value();
        if (v != "true" && v != "false" && v != "1" && v != "0")
            refuse("l'attribut duplex de « " + extrait(e.name()) + " » vaut « " + extrait(v) + " » au lieu de true ou false");
    }
}

constexpr std::int32_t DIMENSION_MAXIMALE = 100000;

struct Dimensions {
    std::int32_t colonnes = 0, rangees = 0;
};

std::string hexUnicode(char32_t c) {
    char s[16];
    std::snprintf(s, sizeof s, "U+%04X", static_cast<unsigned>(c));
    return s;
}

class Lecteur {
public:
    std::string texte;
    std::int32_t colonnes = 0, rangees = 0;

    void lit(const pugi::xml_document& doc) {
        pugi::xml_node racine;
        for (pugi::xml_node n : doc.children()) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) refuse("du texte hors de l'élément racine");
            if (n.type() != pugi::node_element) continue;
            if (racine) refuse("le document a plus d'un élément racine");
            racine = n;
        }
        if (!racine) refuse("le document n'a pas d'élément racine");
        if (nomLocal(racine.name()) != "pef")
            refuse("ce n'est pas un document PEF : son élément racine est « " + extrait(racine.name()) + " »");
        if (espaceDe(racine) != ESPACE_PEF)
            refuse("l'élément racine « " + extrait(racine.name()) + " » n'est pas dans l'espace de noms de PEF (" +
                   std::string(ESPACE_PEF) + ")");
        verifieAttributs(racine);
        pugi::xml_node corps;
        for (pugi::xml_node n : racine.children()) {
            if (n.type() != pugi::node_element) continue;
            if (estPef(n, "head")) continue;  // what the file says of itself changes nothing of its pages
            if (!estPef(n, "body") || corps)
                refuse("l'élément « " + extrait(n.name()) + " » n'a pas sa place dans « " + extrait(racine.name()) + " »");
            corps = n;
        }
        if (!corps) refuse("le document n'a pas de corps (body)");
        verifieAttributs(corps);
        bool volume = false;
        pourChaque(corps, "volume", [&](pugi::xml_node v) {
            volume = true;
            Dimensions d{entier(v, "cols", 1, DIMENSION_MAXIMALE, -1), entier(v, "rows", 1, DIMENSION_MAXIMALE, -1)};
            entier(v, "rowgap", 0, DIMENSION_MAXIMALE, 0);
            verifieDuplex(v);
            pourChaque(v, "section", [&](pugi::xml_node s) { litSection(s, d); });
        });
        if (!volume) refuse("le corps (body) n'a aucun volume");
    }

private:
    std::int32_t pages_ = 0;

    void litSection(pugi::xml_node s, Dimensions d) {
        d.colonnes = entier(s, "cols", 1, DIMENSION_MAXIMALE, d.colonnes);
        d.rangees = entier(s, "rows", 1, DIMENSION_MAXIMALE, d.rangees);
        entier(s, "rowgap", 0, DIMENSION_MAXIMALE, 0);
        verifieDuplex(s);
        colonnes = std::max(colonnes, d.colonnes);
        rangees = std::max(rangees, d.rangees);
        pourChaque(s, "page", [&](pugi::xml_node p) {
            // Each page but the first follows a page break.
            if (pages_++ > 0) texte += static_cast<char>(FF);
            entier(p, "rowgap", 0, DIMENSION_MAXIMALE, 0);
            std::int32_t rangee = 0;
            pourChaque(p, "row", [&](pugi::xml_node r) {
                if (++rangee > d.rangees)
                    refuse("la page " + std::to_string(pages_) + " a plus de rangées que les " + std::to_string(d.rangees) +
                           " de son volume (rows)");
                if (rangee > 1) texte += static_cast<char>(CR);
                entier(r, "rowgap", 0, DIMENSION_MAXIMALE, 0);
                litRangee(r, rangee, d.colonnes);
            });
        });
    }

    void litRangee(pugi::xml_node r, std::int32_t rangee, std::int32_t largeur) {
        const std::string ou = "page " + std::to_string(pages_) + ", rangée " + std::to_string(rangee);
        std::int32_t cellules = 0;
        for (pugi::xml_node n : r.children()) {
            if (n.type() == pugi::node_element)
                refuse(ou + " : l'élément « " + extrait(n.name()) + " » n'a pas sa place dans une rangée");
            if (n.type() != pugi::node_pcdata && n.type() != pugi::node_cdata) continue;
            const std::string_view t = n.value();
            for (std::size_t i = 0; i < t.size();) {
                char32_t c = 0;
                const std::size_t longueur = decodeUtf8(t, i, c);
                if (longueur == 0) refuse(ou + " : UTF-8 mal formé");
                i += longueur;
                ++cellules;
                const int b = octetDeBrailleUnicode(c);
                if (b < 0) {
                    const std::string cellule = ou + ", cellule " + std::to_string(cellules) + " : ";
                    if (c > DERNIERE_CELLULE_SIX_POINTS && c <= 0x28FF)
                        refuse(cellule + hexUnicode(c) +
                               " est une cellule à huit points ; seules les cellules à six points (U+2800 à U+283F) se lisent");
                    refuse(cellule + "le caractère " + hexUnicode(c) + " n'est pas une cellule braille");
                }
                if (cellules > largeur)
                    refuse(ou + " : plus de cellules que les " + std::to_string(largeur) + " colonnes de son volume (cols)");
                texte += static_cast<char>(b);
            }
        }
    }
};

// Where a byte stands, as a text editor counts: lines and characters (UTF-8) from 1.
std::string position(std::string_view octets, std::size_t fin) {
    std::size_t ligne = 1, colonne = 1;
    for (std::size_t i = 0; i < fin; ++i) {
        if (octets[i] == '\n') {
            ++ligne;
            colonne = 1;
        } else if ((oct(octets[i]) & 0xC0) != 0x80) {
            ++colonne;
        }
    }
    return "à la ligne " + std::to_string(ligne) + ", colonne " + std::to_string(colonne);
}

std::string xmlMalForme(std::string_view octets, const pugi::xml_parse_result& r) {
    const char* pourquoi = "";
    switch (r.status) {
        case pugi::status_out_of_memory: pourquoi = "mémoire insuffisante"; break;
        case pugi::status_unrecognized_tag: pourquoi = "balise illisible"; break;
        case pugi::status_bad_pi: pourquoi = "instruction de traitement mal formée"; break;
        case pugi::status_bad_comment: pourquoi = "commentaire mal formé"; break;
        case pugi::status_bad_cdata: pourquoi = "section CDATA mal formée"; break;
        case pugi::status_bad_doctype: pourquoi = "déclaration de type de document mal formée"; break;
        case pugi::status_bad_pcdata: pourquoi = "texte mal formé"; break;
        case pugi::status_bad_start_element: pourquoi = "balise ouvrante mal formée"; break;
        case pugi::status_bad_attribute: pourquoi = "attribut mal formé"; break;
        case pugi::status_bad_end_element: pourquoi = "balise fermante mal formée"; break;
        case pugi::status_end_element_mismatch: pourquoi = "balise fermante qui ne ferme pas l'élément ouvert, ou fichier tronqué"; break;
        case pugi::status_no_document_element: pourquoi = "aucun élément"; break;
        default: pourquoi = "erreur de lecture"; break;
    }
    const auto fin = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(r.offset, 0, static_cast<std::ptrdiff_t>(octets.size())));
    return "XML mal formé " + position(octets, fin) + " : " + pourquoi;
}

// A NUL byte, which no XML text may hold, in a file written in UTF-8 (the
// parser would end the text there and lose the rest of the row).
std::optional<std::string> octetNul(std::string_view octets) {
    for (std::string_view autre : {std::string_view("\xFE\xFF"), std::string_view("\xFF\xFE"), std::string_view("\0<", 2),
                                   std::string_view("<\0", 2)})
        if (octets.substr(0, autre.size()) == autre) return std::nullopt;  // UTF-16 or UTF-32
    const std::size_t nul = octets.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    return "le fichier contient un octet nul " + position(octets, nul) + ", ce que XML ne permet pas";
}

}  // namespace

ResultatLecture litPef(std::string_view octets, const FormatPage& format) {
    ResultatLecture r;
    if (std::optional<std::string> nul = octetNul(octets)) {
        r.erreur = std::move(*nul);
        return r;
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result lu = doc.load_buffer(octets.data(), octets.size(), pugi::parse_default | pugi::parse_fragment, pugi::encoding_auto);
    if (!lu) {
        r.erreur = xmlMalForme(octets, lu);
        return r;
    }
    Lecteur l;
    try {
        l.lit(doc);
    } catch (const Refus& refus) {
        r.erreur = refus.message;
        return r;
    }
    r.contenu.texte = std::move(l.texte);
    FormatPage& f = r.contenu.format;
    f = format;
    f.entete.active = f.pied.active = false;
    f.interligneDouble = false;
    f.setCaracteres(l.colonnes);
    f.setLignes(l.rangees);
    f.derive();
    r.contenu.formatPresent = true;
    r.ok = true;
    return r;
}

}  // namespace dotavob
