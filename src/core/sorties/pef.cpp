#include "core/sorties/pef.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

#include <pugixml.hpp>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/document/document.h"

namespace dotavob {
namespace {

class VersChaine : public pugi::xml_writer {
public:
    std::string texte;
    void write(const void* donnees, std::size_t taille) override { texte.append(static_cast<const char*>(donnees), taille); }
};

// Text that XML 1.0 can carry: no control character, malformed UTF-8 as U+FFFD.
std::string texteXml(std::string_view utf8) {
    std::string r;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = decodeUtf8(utf8, i, c);
        i += n ? n : 1;
        if (!n) c = 0xFFFD;
        if ((c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF) continue;
        ajouteUtf8(r, c);
    }
    return r;
}

std::string dateDuJour() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char s[16];
    std::strftime(s, sizeof s, "%Y-%m-%d", &tm);
    return s;
}

}  // namespace

MetaPef metaPef(std::string titre, std::string_view texte) {
    // FNV-1a: the same bytes, the same identifier, on every system.
    std::uint64_t h = 14695981039346656037ull;
    for (char c : texte) h = (h ^ oct(c)) * 1099511628211ull;
    char hex[24];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    MetaPef m;
    m.identifiant = std::string("urn:dotavob:") + hex;
    m.titre = std::move(titre);
    m.date = dateDuJour();
    return m;
}

std::string exportePef(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, const MetaPef& meta) {
    // The composition in the cell bytes, then each line as its cells.
    ReglagesEmbossage cellules = r;
    cellules.codeUS = false;
    std::vector<std::vector<std::string>> pages;
    std::size_t colonnes = static_cast<std::size_t>(std::clamp(r.margeGauche, 0, 255) + std::clamp(r.caracteresParLigne, 0, 255));
    std::size_t rangees = static_cast<std::size_t>(std::max(r.lignesParPage, 1));
    for (std::int32_t p = 1; p <= d.nbPages(); ++p) {
        const std::string octets = composePage(d, f, cellules, p);
        auto& lignes = pages.emplace_back();
        for (std::size_t i = 0; i < octets.size();) {
            std::size_t j = octets.find("\r\n", i);
            if (j == std::string::npos) j = octets.size();
            std::string rangee;
            for (std::size_t k = i; k < j; ++k) ajouteUtf8(rangee, brailleUnicode(oct(octets[k])));
            colonnes = std::max(colonnes, j - i);
            lignes.push_back(std::move(rangee));
            i = j + 2;
        }
        rangees = std::max(rangees, lignes.size());
    }
    colonnes = std::max<std::size_t>(colonnes, 1);

    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node pef = doc.append_child("pef");
    pef.append_attribute("version") = "2008-1";
    pef.append_attribute("xmlns") = std::string(ESPACE_PEF).c_str();
    pugi::xml_node m = pef.append_child("head").append_child("meta");
    m.append_attribute("xmlns:dc") = std::string(ESPACE_DUBLIN_CORE).c_str();
    auto dc = [&](const char* nom, const std::string& valeur) {
        m.append_child(nom).text().set(texteXml(valeur).c_str());
    };
    dc("dc:format", "application/x-pef+xml");
    dc("dc:identifier", meta.identifiant);
    if (!meta.titre.empty()) dc("dc:title", meta.titre);
    if (!meta.date.empty()) dc("dc:date", meta.date);
    if (!meta.langue.empty()) dc("dc:language", meta.langue);
    pugi::xml_node volume = pef.append_child("body").append_child("volume");
    volume.append_attribute("cols") = static_cast<unsigned long long>(colonnes);
    volume.append_attribute("rows") = static_cast<unsigned long long>(rangees);
    volume.append_attribute("rowgap") = 0;
    volume.append_attribute("duplex") = false;
    pugi::xml_node section = volume.append_child("section");
    for (const auto& lignes : pages) {
        pugi::xml_node page = section.append_child("page");
        for (const std::string& l : lignes) {
            pugi::xml_node row = page.append_child("row");
            if (!l.empty()) row.text().set(l.c_str());
        }
    }
    VersChaine sortie;
    doc.save(sortie, "  ", pugi::format_indent, pugi::encoding_utf8);
    return std::move(sortie.texte);
}

}  // namespace dotavob
