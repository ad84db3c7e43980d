#include "core/fichiers/rtf.h"

#include <algorithm>
#include <array>
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

struct Groupe {
    bool ignore = false;
    int uc = 1;  // fallback characters after \uN
};

class Lecteur {
public:
    explicit Lecteur(std::string_view rtf) : rtf_(rtf) {}

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
        return std::move(out_);
    }

private:
    void emet(char c) {
        if (g_.ignore) return;
        if (aSauter_ > 0) {
            --aSauter_;
            return;
        }
        out_ += c;
    }
    void finParagraphe() {
        if (g_.ignore) return;
        aSauter_ = 0;
        out_ += "\r\n";
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
            g_.ignore = true;
        } else if (mot == "par" || mot == "line" || mot == "page" || mot == "sect" || mot == "row") {
            finParagraphe();
        } else if (mot == "tab" || mot == "cell") {
            emet('\t');
        } else if (mot == "u" && aParametre) {
            const long code = p < 0 ? p + 65536 : p;
            const int b = depuisUnicode(static_cast<char32_t>(code));
            emet(static_cast<char>(b < 0 ? '?' : b));
            if (!g_.ignore) aSauter_ = g_.uc;
        } else if (mot == "uc" && aParametre) {
            g_.uc = static_cast<int>(std::clamp(p, 0L, 10L));
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

    std::string_view rtf_;
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

std::string rtfVersTexteBrut(std::string_view rtf) { return Lecteur(rtf).lis(); }

void marquesautspage(std::string& rtf) {
    std::string_view cle = "\\pagebb ";
    if (rtf.find(cle) == std::string::npos) cle = "\\pagebb";
    if (rtf.find(cle) != std::string::npos) {
        // Rebuilt in one pass: an insertion per break would move the rest of the text each time.
        remplaceTout(rtf, cle, std::string(cle) + "{\xD0}");
        return;
    }
    remplaceTout(rtf, "\\page ", "\xD0");
}

std::string rtfverstexte(std::string rtf) {
    if (rtf.empty()) return {};
    marquesautspage(rtf);
    std::string t = rtfVersTexteBrut(rtf);
    normaliseChaine(t);
    remplaceTout(t, "\r\n", "\r");
    std::replace(t.begin(), t.end(), '\xD0', '\f');
    remplaceTout(t, "\r\f", "\f");
    return t;
}

bool estRtf(std::string_view texte) { return texte.substr(0, 5) == "{\\rtf"; }

}  // namespace dotavob
