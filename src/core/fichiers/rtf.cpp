#include "core/fichiers/rtf.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

bool estLettreAscii(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool estChiffreAscii(char c) { return c >= '0' && c <= '9'; }

int valeurHexa(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Destinations whose text is not part of the document's text.
constexpr std::array<std::string_view, 44> destinationsIgnorees = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "footer", "headerl", "headerr",
    "headerf", "footerl", "footerr", "footerf", "footnote", "fldinst", "themedata", "colorschememapping",
    "latentstyles", "datastore", "xmlnsdecl", "listtable", "listoverridetable", "rsidtbl", "generator",
    "filetbl", "revtbl", "listtext", "pntext", "pntxta", "pntxtb", "bkmkstart", "bkmkend", "xe", "tc", "txe",
    "private", "userprops", "docvar", "mmathPr", "wgrffmtfilter", "pgdsctbl", "ftnsep", "ftnsepc",
};

// Two bytes: a file of nothing but "{" keeps one for each of its bytes.
struct Groupe {
    bool ignore = false;
    std::uint8_t uc = 1;  // fallback characters after \uN, 0 to 10
};

// What makes a page break: none (each "\page" only ends its paragraph), each
// "\page", or each "\pagebb" (when the source has one, the breaks it asks for
// before paragraphs are the document's pages; "\page" then ends a paragraph).
enum class Sauts { Aucun, Page, PageAvant };

class Lecteur {
public:
    Lecteur(std::string_view rtf, Sauts sauts, CaracteresRemplaces* remplaces = nullptr)
        : rtf_(rtf), sauts_(sauts), remplaces_(remplaces) {}

    std::string lis() {
        while (i_ < rtf_.size()) {
            const char c = rtf_[i_];
            if (c == '{') {
                pile_.push_back(g_);
                aSauter_ = 0;
                ++i_;
            } else if (c == '}') {
                if (!pile_.empty()) {
                    g_ = pile_.back();
                    pile_.pop_back();
                }
                aSauter_ = 0;
                ++i_;
            } else if (c == '\r' || c == '\n') {
                ++i_;
            } else if (c == '\\') {
                ++i_;
                controle();
            } else {
                emet(c);
                ++i_;
            }
        }
        sansSecondeMoitie();
        return std::move(out_);
    }

private:
    void emet(char c) {
        if (g_.ignore) return;
        if (aSauter_ > 0) {
            --aSauter_;
            return;
        }
        sansSecondeMoitie();
        out_ += c;
    }
    void finParagraphe() {
        if (g_.ignore) return;
        aSauter_ = 0;
        sansSecondeMoitie();
        out_ += "\r\n";
    }
    void sautDePage() {
        if (g_.ignore) return;
        aSauter_ = 0;
        sansSecondeMoitie();
        out_ += '\f';
    }
    // A first surrogate that no second one follows: its "?" stands for a
    // character that is not there.
    void sansSecondeMoitie() {
        if (!haute_) return;
        if (remplaces_) remplaces_->ajoute(0xFFFD);
        haute_ = 0;
    }

    void controle() {
        if (i_ >= rtf_.size()) return;
        const char d = rtf_[i_];
        if (!estLettreAscii(d)) {
            ++i_;
            switch (d) {
                case '\\': case '{': case '}': emet(d); break;
                case '~': emet('\xA0'); break;
                case '_': emet('-'); break;
                case '*': g_.ignore = true; break;  // an optional destination: none that we read
                case '\r': case '\n': finParagraphe(); break;
                case '\'': {
                    const int h = i_ < rtf_.size() ? valeurHexa(rtf_[i_]) : -1;
                    const int l = i_ + 1 < rtf_.size() ? valeurHexa(rtf_[i_ + 1]) : -1;
                    if (h >= 0 && l >= 0) {
                        emet(static_cast<char>(h * 16 + l));
                        i_ += 2;
                    }
                    break;
                }
                default: break;
            }
            return;
        }
        const std::size_t debut = i_;
        while (i_ < rtf_.size() && estLettreAscii(rtf_[i_]) && i_ - debut < 32) ++i_;
        const std::string_view mot = rtf_.substr(debut, i_ - debut);
        bool negatif = false, aParametre = false;
        long parametre = 0;
        if (i_ < rtf_.size() && rtf_[i_] == '-') {
            negatif = true;
            ++i_;
        }
        for (int chiffres = 0; i_ < rtf_.size() && estChiffreAscii(rtf_[i_]); ++i_)
            if (++chiffres <= 9) {
                parametre = parametre * 10 + (rtf_[i_] - '0');
                aParametre = true;
            }
        if (negatif) parametre = -parametre;
        if (i_ < rtf_.size() && rtf_[i_] == ' ') ++i_;
        motDeControle(mot, aParametre, parametre);
    }

    void motDeControle(std::string_view mot, bool aParametre, long p) {
        if (std::find(destinationsIgnorees.begin(), destinationsIgnorees.end(), mot) != destinationsIgnorees.end()) {
            // Text of the document left out is said (unless the group that
            // holds it was left out already); tables and settings are not text.
            if (!(pile_.empty() ? g_.ignore : pile_.back().ignore)) {
                if (mot == "footnote") omis_.notes = true;
                if (mot.starts_with("header") || mot.starts_with("footer")) omis_.bandes = true;
            }
            g_.ignore = true;
        } else if (mot == "page" && sauts_ == Sauts::Page) {
            sautDePage();
        } else if (mot == "pagebb" && sauts_ == Sauts::PageAvant) {
            sautDePage();
        } else if (mot == "par" || mot == "line" || mot == "page" || mot == "sect" || mot == "row") {
            finParagraphe();
        } else if (mot == "tab" || mot == "cell") {
            emet('\t');
        } else if (mot == "u" && aParametre) {
            auto code = static_cast<char32_t>(p < 0 ? p + 65536 : p);
            if (g_.ignore) return;
            // A character past the first 65,536 comes as two surrogates, each
            // with its fallback: one character, one "?".
            if (code >= 0xDC00 && code <= 0xDFFF && haute_ && out_.size() == apresHaute_) {
                if (remplaces_) remplaces_->ajoute(0x10000 + ((haute_ - 0xD800) << 10) + (code - 0xDC00));
                haute_ = 0;
                aSauter_ = g_.uc;
                return;
            }
            if (code >= 0xD800 && code <= 0xDBFF) {
                emet('?');
                haute_ = code;
                apresHaute_ = out_.size();
            } else {
                const int b = depuisUnicode(code);
                if (b < 0 && remplaces_) remplaces_->ajoute(code);
                emet(static_cast<char>(b < 0 ? '?' : b));
            }
            aSauter_ = g_.uc;
        } else if (mot == "uc" && aParametre) {
            g_.uc = static_cast<std::uint8_t>(std::clamp(p, 0L, 10L));
        } else if (mot == "bin" && aParametre && p > 0) {
            i_ += std::min(static_cast<std::size_t>(p), rtf_.size() - i_);
        } else {
            static constexpr std::pair<std::string_view, char> symboles[] = {
                {"emdash", '\x97'}, {"endash", '\x96'}, {"bullet", '\x95'}, {"lquote", '\x91'},
                {"rquote", '\x92'}, {"ldblquote", '\x93'}, {"rdblquote", '\x94'}, {"emspace", ' '},
                {"enspace", ' '},   {"qmspace", ' '},
            };
            for (auto [nom, c] : symboles)
                if (mot == nom) emet(c);
        }
    }

public:
    struct Omis {
        bool notes = false, bandes = false;
    };
    Omis omis() const { return omis_; }

private:
    Omis omis_;
    std::string_view rtf_;
    Sauts sauts_;
    CaracteresRemplaces* remplaces_;
    char32_t haute_ = 0;         // a first surrogate awaiting its second
    std::size_t apresHaute_ = 0;  // the text's length after its "?"
    std::size_t i_ = 0;
    std::vector<Groupe> pile_;
    Groupe g_;
    int aSauter_ = 0;
    std::string out_;
};

void remplaceTout(std::string& s, std::string_view de, std::string_view par) {
    std::string r;
    r.reserve(s.size());
    std::size_t debut = 0;
    for (std::size_t pos = s.find(de); pos != std::string::npos; pos = s.find(de, debut)) {
        r.append(s, debut, pos - debut);
        r += par;
        debut = pos + de.size();
    }
    r.append(s, debut, std::string::npos);
    s = std::move(r);
}

}  // namespace

std::string rtfVersTexteBrut(std::string_view rtf) { return Lecteur(rtf, Sauts::Aucun).lis(); }

std::string rtfverstexte(std::string_view rtf, CaracteresRemplaces* remplaces, std::string* omissions) {
    if (omissions) omissions->clear();
    if (rtf.empty()) return {};
    // A control word is read whole as RTF ends it ("\page{", "\page\par" and
    // "\page" at a line end are breaks as "\page " is); the text's own
    // characters are never taken for breaks.
    const bool avant = rtf.find("\\pagebb") != std::string_view::npos;
    Lecteur lecteur(rtf, avant ? Sauts::PageAvant : Sauts::Page, remplaces);
    std::string t = lecteur.lis();
    if (omissions) {
        const Lecteur::Omis o = lecteur.omis();
        if (o.notes) *omissions = "notes de bas de page omises";
        if (o.bandes) *omissions += std::string(omissions->empty() ? "" : ", ") + "en-têtes et pieds de page omis";
    }
    normaliseChaine(t);
    remplaceTout(t, "\r\n", "\r");
    remplaceTout(t, "\r\f", "\f");
    return t;
}

bool estRtf(std::string_view texte) { return texte.substr(0, 5) == "{\\rtf"; }

}  // namespace dotavob
