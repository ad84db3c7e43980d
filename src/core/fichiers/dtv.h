// The document file (.dtv): the writer of the newest layout and the reader
// of every layout, legacy print-text files included. The reader trusts no
// length: a truncated or corrupt file gives a French message, never a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/formatpage.h"
#include "core/document/marqueurs.h"

namespace dotavob {

constexpr std::uint16_t VERSION_DTV = 104;

struct ContenuDocument {
    std::string texte;             // the Braille text
    FormatPage format;             // the page format (dialog state)
    bool formatPresent = false;    // false: the file carried none, the defaults apply
    std::string fonte = "Courier New";
    std::vector<Marqueur> marqueurs;
    std::uint16_t version = VERSION_DTV;
};

struct ResultatLecture {
    bool ok = false;
    std::string erreur;            // in French, for the user
    ContenuDocument contenu;
    // A save that wrote into the file itself did not finish: the file may not
    // be whole. The complete bytes of that save wait here (a .dtv file).
    std::string copieComplete;
    // Read, but not quite as written (lines cut to fit a page): in French,
    // said to the user once the document is open.
    std::string avertissement;
};

std::string ecritDtv(const ContenuDocument& c);
// The same bytes, made in the text's own buffer (the text is taken).
std::string ecritDtv(ContenuDocument&& c);
// What ecritDtv writes before a text of `longueurTexte` bytes, and after c's
// text: a document written as its text is made.
std::string debutDtv(std::size_t longueurTexte);
std::string finDtv(const ContenuDocument& c);

// `format` is the page format in force: a file without one keeps its dialog
// state, as the dialogs keep theirs, before the defaults apply.
ResultatLecture litDtv(std::string_view octets, const FormatPage& format = FormatPage{});

// Whole files. Names are UTF-8 (UTF-16 for the system on Windows). Errors
// name the file, in French; nothing throws.
//
// Reading stops past `maximum` bytes whatever the file claims, so a device or
// a pipe with no end (/dev/zero, a FIFO) is refused instead of filling memory.
constexpr std::size_t TAILLE_MAXIMALE_FICHIER = std::size_t{512} << 20;
// With `entete`, the file's first `tailleEntete` bytes (all, if it has
// fewer) go there, and only the others to `octets`.
bool lisFichier(const std::string& chemin, std::string& octets, std::string& erreur,
                std::size_t maximum = TAILLE_MAXIMALE_FICHIER, std::string* entete = nullptr,
                std::size_t tailleEntete = 0);

// The folder where the editor keeps what must outlive it (recovery copies,
// the complete bytes of a file being written in place): the user's data
// folder for this program, as Qt names it: $XDG_DATA_HOME/KELMAR/DotavoB
// (~/.local/share/KELMAR/DotavoB), %APPDATA%\KELMAR\DotavoB on Windows
// (Linux and Windows only: macOS's own folder is not this one).
// Empty when the system gives none.
std::string dossierDesDonnees();

// Saving replaces the file as a whole or not at all: the bytes go to a new
// file beside it, synced, then renamed over it. Symbolic links are followed
// (the file they point to changes, the link stays); mode and owner are kept; a
// read-only file is refused. A file with other hard links, or one in a folder
// where no file may be made, is overwritten in place: the complete new bytes
// are first kept, synced, in `dossierSecours` (under "sur-place", named by
// the file's device and number) and removed once the file is written and
// synced, so that a save killed halfway leaves them for chargeDtv to offer;
// with no such folder the save is refused. Temporary files are named
// ".dtvb-" and six letters or digits; a save removes those of ours that no
// save is writing (a killed save's), whatever their age. A device or a pipe
// is simply written to. `suffixe` gives the six characters (tests make names
// collide); by default they are random. On Windows the file's attributes and
// permissions are kept as well; a file with other hard links is replaced
// under this name only, and a folder where no file may be made refuses the save.
bool ecritFichierAtomique(const std::string& chemin, std::string_view octets, std::string& erreur,
                          const std::function<std::string()>& suffixe = {},
                          const std::string& dossierSecours = dossierDesDonnees());

// Where a save's bytes go as they are made: the new file itself, or memory
// when the file is written otherwise (in place, or a device).
class SortieOctets {
public:
    virtual ~SortieOctets() = default;
    // Appends; false once the system refuses (the save fails with its error).
    virtual bool ajoute(std::string_view octets) = 0;
    // Writes over bytes already given, from `position`.
    virtual bool remplace(std::uint64_t position, std::string_view octets) = 0;
    // Forgets every byte given.
    virtual bool recommence() = 0;
    std::uint64_t taille() const { return taille_; }

protected:
    std::uint64_t taille_ = 0;
};

// The bytes made in memory (a file written otherwise, standard output).
class SortieMemoire : public SortieOctets {
public:
    explicit SortieMemoire(std::string& octets) : octets_(octets) { octets_.clear(); }
    bool ajoute(std::string_view octets) override {
        octets_.append(octets);
        taille_ = octets_.size();
        return true;
    }
    bool remplace(std::uint64_t position, std::string_view octets) override {
        octets_.replace(static_cast<std::size_t>(position), octets.size(), octets);
        taille_ = octets_.size();
        return true;
    }
    bool recommence() override {
        octets_.clear();
        taille_ = 0;
        return true;
    }

private:
    std::string& octets_;
};

// A save's bytes made as they are written: false when making them failed,
// with `erreur` said in French, or when the output refused them (the save
// then says the system's error). It may be asked more than once, each time
// from the start.
using Production = std::function<bool(SortieOctets& sortie, std::string& erreur)>;
bool ecritFichierAtomique(const std::string& chemin, const Production& production, std::string& erreur,
                          const std::function<std::string()>& suffixe = {},
                          const std::string& dossierSecours = dossierDesDonnees());

// A file read at any position, by two threads at once: what the command
// line reads piece by piece. Errors in French, naming the file.
class FichierEnLecture {
public:
    FichierEnLecture() = default;
    ~FichierEnLecture();
    FichierEnLecture(const FichierEnLecture&) = delete;
    FichierEnLecture& operator=(const FichierEnLecture&) = delete;
    // Opens a regular file of at most `maximum` bytes; false, with `erreur`
    // said, when it cannot be read, or `regulier` false when it is no
    // regular file (a pipe, a device: read whole by lisFichier).
    bool ouvre(const std::string& chemin, std::size_t maximum, bool& regulier, std::string& erreur);
    std::uint64_t taille() const { return taille_; }
    // Exactly n bytes from `position`: false, with `erreur` said, when the
    // system refuses or the file no longer has them.
    bool lit(std::uint64_t position, char* d, std::size_t n, std::string& erreur) const;

private:
    std::string chemin_;
    std::uint64_t taille_ = 0;
#ifdef _WIN32
    void* poignee_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// `verifieFonte` gets the font name the file asks for and returns the one to
// use (a font that is not installed gives way to another). A file whose
// in-place save was killed is not read as a document: the result says so and
// names the complete copy (`copieComplete`); one whose save ended removes its
// copy.
using VerificationFonte = std::function<std::string(const std::string&)>;
ResultatLecture chargeDtv(const std::string& chemin, const FormatPage& format = FormatPage{},
                          const VerificationFonte& verifieFonte = {},
                          const std::string& dossierSecours = dossierDesDonnees());
// Writes the document, unless its bytes pass what the readers take
// (TAILLE_MAXIMALE_FICHIER): nothing is then written, and `erreur` says why.
bool enregistreDtv(const std::string& chemin, const ContenuDocument& c, std::string& erreur);
// Whether a document of `octets` bytes may be written to `chemin`; else the
// message, in French. Every writer of documents asks it first: no document
// is written that could not be opened again.
bool documentAdmis(std::size_t octets, const std::string& chemin, std::string& erreur);

}  // namespace dotavob
