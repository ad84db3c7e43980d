// XML read in one pass, from the first byte to the last, keeping nothing of
// what it passed: a file of any size is read within the memory of its own
// bytes. What makes XML well formed is checked on the way (tags that close
// what they opened, attributes, references, comments, CDATA sections,
// processing instructions, the doctype); the markup is given as it comes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotavob {

// Thrown where the XML stops being well formed: the byte, and why in French.
struct ErreurXml {
    std::size_t position;
    std::string pourquoi;
};

// UTF-16 or UTF-32 XML (told by its byte order mark or its first "<") as
// UTF-8; nothing for UTF-8, which is read as it is.
std::optional<std::string> xmlEnUtf8(std::string_view octets);

class LecteurXml {
public:
    enum class Evenement { Debut, Texte, Fin, FinDuDocument };
    struct Attribut {
        std::string_view nom;
        std::string valeur;  // references resolved, white space as spaces
    };

    // `utf8` stays alive while it is read.
    explicit LecteurXml(std::string_view utf8);

    // The next start of an element, its text, or its end (an empty element
    // gives both). White space alone between tags is no text; a CDATA section
    // always is. Throws ErreurXml.
    Evenement suivant();
    // After Debut: passes over all the element holds, up to its end.
    void passeElement();

    // The element started or ended, as written (with its prefix).
    std::string_view nom() const { return nom_; }
    // After Debut: its attributes in order.
    const std::vector<Attribut>& attributs() const { return attributs_; }
    const Attribut* attribut(std::string_view nom) const;
    // The namespace of the element started: from the declarations in scope;
    // empty for none; nothing when its prefix is not declared.
    std::optional<std::string_view> espace() const;
    // After Texte: references resolved, line ends as LF.
    std::string_view texte() const { return texte_; }
    bool cdata() const { return cdata_; }

private:
    struct Declaration {
        std::string_view prefixe;
        std::string espace;
    };
    struct Ouvert {
        std::string_view nom;
        std::size_t declarations;  // in force before it
    };

    std::string_view s_;
    std::size_t i_ = 0;
    std::string_view nom_;
    std::vector<Attribut> attributs_;
    std::vector<Ouvert> ouverts_;
    std::vector<Declaration> declarations_;
    std::string texte_;
    bool cdata_ = false;
    bool finPendante_ = false;  // an empty element's end, still to give

    Evenement debut();
    Evenement fin();
    void passeDoctype();
    void decode(std::string_view brut, bool attribut, std::string& sortie) const;
};

}  // namespace dotavob
