#include "core/fichiers/pef.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/fichiers/xml.h"

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

// The namespace of the element just started; an undeclared prefix is refused.
std::string_view espaceDe(const LecteurXml& x) {
    if (const std::optional<std::string_view> e = x.espace()) return *e;
    const std::string_view nom = x.nom();
    refuse("le préfixe « " + extrait(nom.substr(0, nom.find(':'))) + " » de « " + extrait(nom) + " » n'est pas déclaré");
}

bool estPef(const LecteurXml& x, std::string_view local) { return nomLocal(x.nom()) == local && espaceDe(x) == ESPACE_PEF; }

// XML wants each attribute once.
void verifieAttributs(const LecteurXml& x) {
    std::vector<std::string_view> noms;
    for (const LecteurXml::Attribut& a : x.attributs()) noms.push_back(a.nom);
    std::sort(noms.begin(), noms.end());
    if (const auto double_ = std::adjacent_find(noms.begin(), noms.end()); double_ != noms.end())
        refuse("l'attribut " + extrait(*double_) + " de « " + extrait(x.nom()) + " » est donné deux fois");
}

// The elements in the element just started (named `parent`), up to its end,
// each checked to be PEF's `attendu` and given to `fonction`, which reads it
// to its end; text between them is refused. Elements of another namespace are
// extensions, which PEF lets a body, a volume, a section and a page hold:
// passed over with all they hold.
template <typename Fonction>
void pourChaque(LecteurXml& x, const std::string& parent, std::string_view attendu, Fonction fonction) {
    for (;;) {
        switch (x.suivant()) {
            case LecteurXml::Evenement::Texte:
                if (x.cdata() && x.texte().find_first_not_of(" \t\r\n") == std::string_view::npos) break;
                refuse("du texte hors d'une rangée, dans « " + extrait(parent) + " »");
            case LecteurXml::Evenement::Debut:
                if (const std::string_view espace = espaceDe(x); !espace.empty() && espace != ESPACE_PEF) {
                    x.passeElement();
                    break;
                }
                if (!estPef(x, attendu))
                    refuse("l'élément « " + extrait(x.nom()) + " » n'a pas sa place dans « " + extrait(parent) + " »");
                verifieAttributs(x);
                fonction();
                break;
            default:
                return;  // the parent's end
        }
    }
}

// An attribute's whole number, within min..max; absent: `defaut` (refused if none).
std::int32_t entier(const LecteurXml& x, const char* nom, std::int32_t min, std::int32_t max, std::int32_t defaut) {
    const LecteurXml::Attribut* a = x.attribut(nom);
    if (!a) {
        if (defaut < 0) refuse("il manque l'attribut " + std::string(nom) + " de « " + extrait(x.nom()) + " »");
        return defaut;
    }
    const std::string_view v = a->valeur;
    std::int64_t n = 0;
    bool ok = !v.empty() && v.size() <= 9;
    for (std::size_t i = 0; ok && i < v.size(); ++i) {
        ok = v[i] >= '0' && v[i] <= '9';
        n = n * 10 + (v[i] - '0');
    }
    if (!ok || n < min || n > max)
        refuse("l'attribut " + std::string(nom) + " de « " + extrait(x.nom()) + " » vaut « " + extrait(v) +
               " », qui n'est pas un nombre de " + std::to_string(min) + " à " + std::to_string(max));
    return static_cast<std::int32_t>(n);
}

void verifieDuplex(const LecteurXml& x) {
    if (const LecteurXml::Attribut* a = x.attribut("duplex")) {
        const std::string_view v = a->valeur;
        if (v != "true" && v != "false" && v != "1" && v != "0")
            refuse("l'attribut duplex de « " + extrait(x.nom()) + " » vaut « " + extrait(v) + " » au lieu de true ou false");
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

// The document read as it comes, in one pass: nothing of the XML is kept
// but the cells of the rows.
class Lecteur {
public:
    std::string texte;
    std::int32_t colonnes = 0, rangees = 0;

    explicit Lecteur(LecteurXml& x) : x_(x) {}

    void lit() {
        bool racine = false;
        for (;;) {
            const LecteurXml::Evenement e = x_.suivant();
            if (e == LecteurXml::Evenement::FinDuDocument) break;
            if (e == LecteurXml::Evenement::Texte) refuse("du texte hors de l'élément racine");
            if (racine) refuse("le document a plus d'un élément racine");
            racine = true;
            litRacine();
        }
        if (!racine) refuse("le document n'a pas d'élément racine");
    }

private:
    LecteurXml& x_;
    std::int32_t pages_ = 0;

    void litRacine() {
        const std::string nom(x_.nom());
        if (nomLocal(nom) != "pef") refuse("ce n'est pas un document PEF : son élément racine est « " + extrait(nom) + " »");
        if (espaceDe(x_) != ESPACE_PEF)
            refuse("l'élément racine « " + extrait(nom) + " » n'est pas dans l'espace de noms de PEF (" +
                   std::string(ESPACE_PEF) + ")");
        verifieAttributs(x_);
        bool corps = false;
        for (;;) {
            const LecteurXml::Evenement e = x_.suivant();
            if (e == LecteurXml::Evenement::Fin) break;
            if (e != LecteurXml::Evenement::Debut) continue;
            if (estPef(x_, "head")) {  // what the file says of itself changes nothing of its pages
                x_.passeElement();
                continue;
            }
            if (!estPef(x_, "body") || corps)
                refuse("l'élément « " + extrait(x_.nom()) + " » n'a pas sa place dans « " + extrait(nom) + " »");
            corps = true;
            litCorps();
        }
        if (!corps) refuse("le document n'a pas de corps (body)");
    }

    void litCorps() {
        verifieAttributs(x_);
        const std::string corps(x_.nom());
        bool volume = false;
        pourChaque(x_, corps, "volume", [&] {
            volume = true;
            const std::string nom(x_.nom());
            Dimensions d{entier(x_, "cols", 1, DIMENSION_MAXIMALE, -1), entier(x_, "rows", 1, DIMENSION_MAXIMALE, -1)};
            entier(x_, "rowgap", 0, DIMENSION_MAXIMALE, 0);
            verifieDuplex(x_);
            pourChaque(x_, nom, "section", [&] { litSection(d); });
        });
        if (!volume) refuse("le corps (body) n'a aucun volume");
    }

    void litSection(Dimensions d) {
        d.colonnes = entier(x_, "cols", 1, DIMENSION_MAXIMALE, d.colonnes);
        d.rangees = entier(x_, "rows", 1, DIMENSION_MAXIMALE, d.rangees);
        entier(x_, "rowgap", 0, DIMENSION_MAXIMALE, 0);
        verifieDuplex(x_);
        colonnes = std::max(colonnes, d.colonnes);
        rangees = std::max(rangees, d.rangees);
        const std::string section(x_.nom());
        std::string page;
        pourChaque(x_, section, "page", [&] {
            // Each page but the first follows a page break.
            if (pages_++ > 0) texte += static_cast<char>(FF);
            entier(x_, "rowgap", 0, DIMENSION_MAXIMALE, 0);
            page = x_.nom();
            std::int32_t rangee = 0;
            pourChaque(x_, page, "row", [&] {
                if (++rangee > d.rangees)
                    refuse("la page " + std::to_string(pages_) + " a plus de rangées que les " + std::to_string(d.rangees) +
                           " de son volume (rows)");
                if (rangee > 1) texte += static_cast<char>(CR);
                entier(x_, "rowgap", 0, DIMENSION_MAXIMALE, 0);
                litRangee(rangee, d.colonnes);
            });
        });
    }

    void litRangee(std::int32_t rangee, std::int32_t largeur) {
        auto ou = [&] { return "page " + std::to_string(pages_) + ", rangée " + std::to_string(rangee); };
        std::int32_t cellules = 0;
        for (;;) {
            const LecteurXml::Evenement e = x_.suivant();
            if (e == LecteurXml::Evenement::Fin) return;
            if (e == LecteurXml::Evenement::Debut)
                refuse(ou() + " : l'élément « " + extrait(x_.nom()) + " » n'a pas sa place dans une rangée");
            const std::string_view t = x_.texte();
            for (std::size_t i = 0; i < t.size();) {
                char32_t c = 0;
                const std::size_t longueur = decodeUtf8(t, i, c);
                if (longueur == 0) refuse(ou() + " : UTF-8 mal formé");
                i += longueur;
                ++cellules;
                const int b = octetDeBrailleUnicode(c);
                if (b < 0) {
                    const std::string cellule = ou() + ", cellule " + std::to_string(cellules) + " : ";
                    if (c > DERNIERE_CELLULE_SIX_POINTS && c <= 0x28FF)
                        refuse(cellule + hexUnicode(c) +
                               " est une cellule à huit points ; seules les cellules à six points (U+2800 à U+283F) se lisent");
                    refuse(cellule + "le caractère " + hexUnicode(c) + " n'est pas une cellule braille");
                }
                if (cellules > largeur)
                    refuse(ou() + " : plus de cellules que les " + std::to_string(largeur) + " colonnes de son volume (cols)");
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

// A NUL byte, which no XML text may hold (it would end a row's text and
// lose the rest of it).
std::optional<std::string> octetNul(std::string_view utf8) {
    const std::size_t nul = utf8.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    return "le fichier contient un octet nul " + position(utf8, nul) + ", ce que XML ne permet pas";
}

}  // namespace

ResultatLecture litPef(std::string_view octets, const FormatPage& format) {
    ResultatLecture r;
    // UTF-16 and UTF-32 become UTF-8 first; UTF-8, the usual, is read where it stands.
    const std::optional<std::string> converti = xmlEnUtf8(octets);
    const std::string_view utf8 = converti ? std::string_view(*converti) : octets;
    if (std::optional<std::string> nul = octetNul(utf8)) {
        r.erreur = std::move(*nul);
        return r;
    }
    LecteurXml x(utf8);
    Lecteur l(x);
    try {
        l.lit();
    } catch (const Refus& refus) {
        r.erreur = refus.message;
        return r;
    } catch (const ErreurXml& e) {
        r.erreur = "XML mal formé " + position(utf8, std::min(e.position, utf8.size())) + " : " + e.pourquoi;
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
