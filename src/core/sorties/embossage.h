// Embossing: each Braille page composed as the bytes an embosser receives
// (margins, header, lines, footer, CR LF line ends), sent as one raw job per
// copy and one spooler page per Braille page through a raw spooler that the
// platform provides (CUPS, the Windows spooler, or a file).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace dotavob {

class DocumentBraille;
struct FormatPage;

struct ReglagesEmbossage {
    std::int32_t caracteresParLigne = 30;  // longer lines are cut
    std::int32_t lignesParPage = 28;       // margin, header and footer lines included
    std::int32_t margeHaut = 0;            // blank lines at the top
    std::int32_t margeGauche = 0;          // spaces before every line
    bool codeUS = true;                    // else the program's own cell bytes
};

// A raw print queue. Each call returns false on failure; `erreur` says why, in French.
class SpouleurBrut {
public:
    virtual ~SpouleurBrut() = default;
    virtual bool ouvre(const std::string& imprimante, const std::string& nomDocument) = 0;
    virtual bool debutPage() = 0;
    virtual bool ecrit(std::string_view octets) = 0;
    virtual bool finPage() = 0;
    virtual bool ferme() = 0;
    // The job stops here: nothing of it reaches the embosser.
    virtual void annule() = 0;
    virtual std::string erreur() const = 0;
    // The user stopped the job while the spooler waited: no further copy.
    virtual bool abandonne() const { return false; }
};

// The rows of the paper page a format fills: with double spacing its lines
// were halved and each takes a blank row after it, so twice its lines.
std::int32_t lignesPhysiques(const FormatPage& f);

// The bytes of page `page` (1-based) of the document.
std::string composePage(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, std::int32_t page);
// Every page as embossing composes it (margins, header, footer, centring,
// indentation), in Braille ASCII as `r` says, each ended by a form feed
// after its last line that is not blank: a Braille ASCII file of formatted
// pages, for other programs and embossers.
std::string exporteBrfPages(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r);
// The lines of the longest composed page among premiere..derniere (0: to the
// last): more than the embosser's lines per page (a margin, a header, double
// spacing on a long page) run onto the next sheet, and the user is told
// before anything is sent.
std::int32_t lignesDeLaPlusLonguePage(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r,
                                      std::int32_t premiere = 1, std::int32_t derniere = 0);
// Both measures of the composed pages among premiere..derniere: the rows of
// the longest page, and the cells of the widest line (centred, indented,
// header and footer) before the embosser's characters per line cut it.
struct MesurePages {
    std::int32_t lignes = 0, caracteres = 0;
};
MesurePages mesurePages(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r,
                        std::int32_t premiere = 1, std::int32_t derniere = 0);

struct TravailEmbossage {
    std::string imprimante;
    std::string nomDocument;            // the job's name
    std::int32_t premiere = 1;          // the pages sent, inclusive
    std::int32_t derniere = 0;          // 0: to the last page
    std::int32_t copies = 1;            // one job each
    // Before each page is sent: false stops the whole job (the user aborted).
    std::function<bool(std::int32_t page)> avantPage;
    // The spooler refused to start a page: true tries again (the user was asked).
    std::function<bool()> reessaiePage;
};

// Sends the pages; an empty string when every copy went through, else the
// French message: "impossible d'embosser" and why, "embossage abandonné"
// when the user stopped it (the job is cancelled), "aucune page à embosser"
// for an empty range or no copy. A failed copy does not stop the next one.
std::string embosse(const DocumentBraille& d, const FormatPage& f, const ReglagesEmbossage& r, const TravailEmbossage& t,
                    SpouleurBrut& spouleur);

}  // namespace dotavob
