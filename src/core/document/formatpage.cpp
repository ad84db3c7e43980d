#include "core/document/formatpage.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "core/transcription/transcription.h"

namespace dotavob {

void FormatPage::setLignes(std::int32_t v) { lignes = std::clamp(v, 10, 60); }
void FormatPage::setCaracteres(std::int32_t v) { caracteres = std::clamp(v, 10, 50); }
void FormatPage::setIndentation(std::int32_t v) { indentation = static_cast<std::uint8_t>(std::clamp(v, 0, 5)); }
void FormatPage::setPremierePage(Bande& b, std::int32_t v) { b.premierePage = std::clamp(v, 1, 100); }

void FormatPage::basculeInterligne(bool coche) {
    interligneDouble = coche;
    setLignes(coche ? lignes / 2 : lignes * 2);
}

void FormatPage::derive() {
    cpl = static_cast<std::uint8_t>(caracteres);
    lignesParPage = static_cast<std::uint8_t>(lignes);
    nbLignesTexte = static_cast<std::uint8_t>(lignes - (entete.active ? 1 : 0) - (pied.active ? 1 : 0));
}

std::string remplaceNumeros(std::string modele, std::int32_t page, std::int32_t nbPages) {
    std::string r;
    for (std::size_t i = 0; i < modele.size(); ++i) {
        if (modele[i] == '[' && i + 2 < modele.size() && modele[i + 2] == ']') {
            const char l = static_cast<char>(std::toupper(static_cast<unsigned char>(modele[i + 1])));
            if (l == 'P' || l == 'T') {
                r += std::to_string(l == 'P' ? page : nbPages);
                i += 2;
                continue;
            }
        }
        r += modele[i];
    }
    return r;
}

namespace {
// Header and footer alike: the numbers are plain digits, so the
// transcription writes one number sign before them. The text is never cut.
std::string texteBande(const Bande& b, std::int32_t cpl, std::int32_t page, std::int32_t nbPages) {
    std::string s = Transcrire(remplaceNumeros(b.texte, page, nbPages), 1, std::numeric_limits<std::int32_t>::max());
    const auto n = cpl - static_cast<std::int32_t>(s.size());
    if (b.alignement == Alignement::Centre && n / 2 > 0) s.insert(0, static_cast<std::size_t>(n / 2), ' ');
    if (b.alignement == Alignement::Droite && n > 0) s.insert(0, static_cast<std::size_t>(n), ' ');
    return s;
}
}  // namespace

std::string FormatPage::texteentete(std::int32_t page, std::int32_t nbPages) const {
    return texteBande(entete, cpl, page, nbPages);
}

std::string FormatPage::textepied(std::int32_t page, std::int32_t nbPages) const {
    return texteBande(pied, cpl, page, nbPages);
}

FormatPage chargeformat(const std::optional<FormatStocke>& stocke) {
    FormatPage f;
    const FormatStocke s = stocke.value_or(FormatStocke{});
    f.setCaracteres(s.caracteres.value_or(30));
    f.setLignes(s.lignes.value_or(28));
    f.interligneDouble = s.interligneDouble.value_or(false);
    f.setIndentation(s.indentation.value_or(0));
    // The header is on unless a stored format says otherwise.
    f.entete = Bande{s.entete.value_or(true), "[P]", Alignement::Droite, 2};
    f.pied = Bande{s.pied.value_or(false), "", Alignement::Droite, 2};
    f.derive();
    return f;
}

void formatdefaut(FormatPage& f) {
    f.entete.active = false;
    f.pied.active = false;
    f.setCaracteres(31);
    f.setLignes(28);
    f.derive();
}

FormatStocke formatAStocker(const FormatPage& f) {
    FormatStocke s;
    s.version = 1;
    s.lignes = f.lignes;
    s.caracteres = f.caracteres;
    s.indentation = f.indentation;
    s.interligneDouble = f.interligneDouble;
    s.entete = f.entete.active;
    s.pied = f.pied.active;
    return s;
}

}  // namespace dotavob
