#include "core/fichiers/dtv.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <random>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "core/braille/codes.h"
#include "core/fichiers/rtf.h"
#include "core/memoire/memoire.h"
#include "core/memoire/parallele.h"
#include "core/transcription/transcription.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace dotavob {
namespace {

// Bounded reading: every length is checked against what the data holds.
class Flux {
public:
    explicit Flux(std::string_view d) : d_(d) {}
    std::size_t reste() const { return d_.size() - o_; }
    std::size_t position() const { return o_; }
    void avance(std::size_t n) { o_ += n; }
    std::string_view donnees() const { return d_; }

    bool u8(std::uint8_t& v) {
        if (reste() < 1) return false;
        v = oct(d_[o_++]);
        return true;
    }
    bool drapeau(bool& v) {
        std::uint8_t b = 0;
        if (!u8(b)) return false;
        v = b != 0;
        return true;
    }
    bool u16(std::uint16_t& v) {
        if (reste() < 2) return false;
        v = static_cast<std::uint16_t>(oct(d_[o_]) | oct(d_[o_ + 1]) << 8);
        o_ += 2;
        return true;
    }
    bool i32(std::int32_t& v) {
        if (reste() < 4) return false;
        std::uint32_t u = 0;
        for (std::size_t k = 0; k < 4; ++k) u |= static_cast<std::uint32_t>(oct(d_[o_ + k])) << (8 * k);
        v = static_cast<std::int32_t>(u);
        o_ += 4;
        return true;
    }
    // An i32 length and that many bytes, left where they stand: their place.
    bool saute(std::size_t& debut, std::size_t& n) {
        std::int32_t l = 0;
        if (!i32(l) || l < 0 || static_cast<std::size_t>(l) > reste()) return false;
        debut = o_;
        n = static_cast<std::size_t>(l);
        o_ += n;
        return true;
    }
    // An i32 length and that many bytes.
    bool chaine(std::string& s) {
        std::int32_t n = 0;
        if (!i32(n) || n < 0 || static_cast<std::size_t>(n) > reste()) return false;
        s.assign(d_.substr(o_, static_cast<std::size_t>(n)));
        o_ += static_cast<std::size_t>(n);
        return true;
    }

private:
    std::string_view d_;
    std::size_t o_ = 0;
};

void ecritU16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void ecritI32(std::string& s, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k) s += static_cast<char>((u >> (8 * k)) & 0xFF);
}
void ecritChaine(std::string& s, std::string_view t) {
    ecritI32(s, static_cast<std::int32_t>(t.size()));
    s += t;
}
void ecritDrapeau(std::string& s, bool b) { s += static_cast<char>(b ? 1 : 0); }

void ecritBande(std::string& s, const Bande& b) {
    ecritDrapeau(s, b.active);
    if (!b.active) return;
    ecritChaine(s, b.texte);
    // Stored in the order centred, right, left.
    ecritDrapeau(s, b.alignement == Alignement::Centre);
    ecritDrapeau(s, b.alignement == Alignement::Droite);
    ecritDrapeau(s, b.alignement == Alignement::Gauche);
    ecritI32(s, b.premierePage);
}

bool litBande(Flux& f, FormatPage& format, Bande& b, std::uint16_t versionBloc) {
    if (!f.drapeau(b.active)) return false;
    if (!b.active) return true;
    bool centre = false, droite = false, gauche = false;
    if (!f.chaine(b.texte) || !f.drapeau(centre) || !f.drapeau(droite) || !f.drapeau(gauche)) return false;
    // Radio buttons set in this order: the last one set wins; none set reads as left.
    b.alignement = gauche ? Alignement::Gauche : droite ? Alignement::Droite : centre ? Alignement::Centre
                                                                                      : Alignement::Gauche;
    if (versionBloc >= 1) {
        std::int32_t premiere = 0;
        if (!f.i32(premiere)) return false;
        format.setPremierePage(b, premiere);
    }
    return true;
}

bool litBlocFormat(Flux& f, FormatPage& format) {
    std::uint16_t v = 0;
    std::int32_t lignes = 0, caracteres = 0, indentation = 2;
    if (!f.u16(v) || !f.i32(lignes) || !f.i32(caracteres)) return false;
    if (v >= 3 && !f.i32(indentation)) return false;
    bool interligne = false;
    if (v >= 2 && !f.drapeau(interligne)) return false;
    format.setLignes(lignes);
    format.setCaracteres(caracteres);
    format.setIndentation(indentation);
    format.interligneDouble = interligne;
    if (!litBande(f, format, format.entete, v) || !litBande(f, format, format.pied, v)) return false;
    format.derive();
    return true;
}

ResultatLecture echec(std::string detail) {
    ResultatLecture r;
    r.erreur = std::move(detail);
    return r;
}

// Files of versions 0..99 hold print text in RTF pages.
ResultatLecture litAncien(Flux& f, std::uint16_t version, const FormatPage& format) {
    std::uint16_t h = 0, t = 0;
    std::uint8_t cpl = 0, lignes = 0, ignore = 0;
    if (!f.u16(h) || !f.u8(cpl) || !f.u8(lignes) || !f.u8(ignore)) return echec("en-tête incomplet");
    if (h > 1) {
        std::int32_t i = 0;
        if (!f.u8(ignore) || !f.u8(ignore) || !f.i32(i)) return echec("en-tête incomplet");
    }
    if (!f.u16(t)) return echec("en-tête incomplet");
    if (t > 2 && !f.u8(ignore)) return echec("en-tête incomplet");
    std::vector<std::string> pages;
    if (t >= 2) {
        std::int32_t n = 0;
        if (!f.i32(n) || n < 0 || static_cast<std::size_t>(n) > f.reste() / 4) return echec("nombre de pages incorrect");
        for (std::int32_t k = 0; k < n; ++k) {
            pages.emplace_back();
            if (!f.chaine(pages.back())) return echec("page incomplète");
        }
    } else if (t == 1) {
        for (std::uint8_t suite = 1; suite != 0;) {
            pages.emplace_back();
            if (!f.chaine(pages.back()) || !f.u8(suite)) return echec("page incomplète");
        }
    }
    std::string noir;
    for (const auto& page : pages) {
        std::string texte = estRtf(page) ? rtfVersTexteBrut(page) : page;
        std::string sansLf;
        for (std::size_t i = 0; i < texte.size(); ++i)
            if (!(texte[i] == '\n' && i > 0 && texte[i - 1] == '\r')) sansLf += texte[i];
        if (!noir.empty()) noir += '\f';
        noir += sansLf;
    }
    ResultatLecture r;
    r.ok = true;
    r.contenu.version = version;
    r.contenu.texte = Transcrire(noir, 1, std::clamp<std::int32_t>(cpl, 10, 50));
    r.contenu.format = format;
    formatdefaut(r.contenu.format);
    return r;
}

std::string messageSysteme(int e) {
    switch (e) {
        case ENOENT: return "fichier ou dossier introuvable";
        case EACCES: case EPERM: return "accès refusé";
        case EISDIR: return "c'est un dossier, pas un fichier";
        case ENOTDIR: return "un élément du chemin n'est pas un dossier";
        case ENAMETOOLONG: return "nom trop long";
        case ELOOP: return "trop de liens symboliques";
        case EEXIST: return "le nom du fichier temporaire est déjà pris";
        case ENOSPC: return "disque plein";
#ifdef EDQUOT
        case EDQUOT: return "quota de disque dépassé";
#endif
        case EFBIG: return "fichier trop volumineux pour ce disque";
        case EROFS: return "support en lecture seule";
        case ENOMEM: return "mémoire insuffisante";
        case EBUSY: case ETXTBSY: return "fichier occupé";
        case ENXIO: case ENODEV: return "périphérique absent";
        case EIO: return "erreur d'entrée-sortie";
        default: return "erreur système " + std::to_string(e);
    }
}

std::string entreGuillemets(const std::string& chemin) { return "« " + chemin + " »"; }

// A name that ends with a separator can only name a folder.
bool finitParSeparateur(const std::string& chemin) {
    return !chemin.empty() && (chemin.back() == '/'
#ifdef _WIN32
                               || chemin.back() == '\\'
#endif
                              );
}

std::string messageDossier(const std::string& chemin) {
    return entreGuillemets(chemin) + " est un dossier, pas un fichier.";
}

std::string messageTropVolumineux(const std::string& chemin, std::size_t maximum) {
    const std::string limite = maximum >= (std::size_t{1} << 20) ? std::to_string(maximum >> 20) + " Mo"
                                                                   : std::to_string(maximum) + " octets";
    return "Le fichier " + entreGuillemets(chemin) + " est trop volumineux (plus de " + limite + ").";
}

constexpr std::string_view PREFIXE_TEMPORAIRE = ".dtvb-";
constexpr std::string_view CARACTERES_TEMPORAIRES = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t LONGUEUR_SUFFIXE = 6;

std::string suffixeAuHasard() {
    std::random_device hasard;
    std::string s(LONGUEUR_SUFFIXE, ' ');
    for (char& c : s) c = CARACTERES_TEMPORAIRES[hasard() % CARACTERES_TEMPORAIRES.size()];
    return s;
}

// Only names of exactly our pattern are ever taken for our leftovers.
[[maybe_unused]] bool estNomTemporaire(std::string_view nom) {
    if (nom.size() != PREFIXE_TEMPORAIRE.size() + LONGUEUR_SUFFIXE || nom.substr(0, PREFIXE_TEMPORAIRE.size()) != PREFIXE_TEMPORAIRE)
        return false;
    for (char c : nom.substr(PREFIXE_TEMPORAIRE.size()))
        if (CARACTERES_TEMPORAIRES.find(c) == std::string_view::npos) return false;
    return true;
}

#ifndef _WIN32

class Descripteur {
public:
    explicit Descripteur(int fd = -1) : fd_(fd) {}
    ~Descripteur() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;
    int get() const { return fd_; }
    void reprend(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now, for the error that close reports (a delayed write that failed).
    int ferme() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int ecritTout(int fd, std::string_view octets) {
    while (!octets.empty()) {
        const ssize_t n = ::write(fd, octets.data(), octets.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        octets.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string dossierDe(const std::string& chemin) {
    const auto barre = chemin.rfind('/');
    return barre == std::string::npos ? std::string() : chemin.substr(0, barre + 1);
}

// The file a path finally names, links followed one at a time, so that the
// save lands beside the real file and replaces it, not the link. A link to a
// file not there yet names that file.
int resoutLiens(std::string& chemin) {
    for (int saut = 0; saut < 40; ++saut) {
        struct stat st {};
        if (::lstat(chemin.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode)) return 0;
        std::string lien(4096, '\0');
        const ssize_t n = ::readlink(chemin.c_str(), lien.data(), lien.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= lien.size()) return ENAMETOOLONG;
        lien.resize(static_cast<std::size_t>(n));
        if (lien.empty()) return ENOENT;
        chemin = lien.front() == '/' ? lien : dossierDe(chemin) + lien;
    }
    return ELOOP;
}

// A killed save leaves its temporary file; the next save in that folder
// removes ours that no save is writing, whatever their age: a save holds a
// lock on its temporary file from its creation to its rename.
void nettoieTemporaires(const std::string& dossier) {
    DIR* d = ::opendir(dossier.empty() ? "." : dossier.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        if (!estNomTemporaire(e->d_name)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        Descripteur fd(::openat(::dirfd(d), e->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
}

// Makes the new name durable. A file system may refuse to sync a folder; the
// file's bytes are on disk by then, so that is no failure of the save.
void synchroniseDossier(const std::string& dossier) {
    Descripteur fd(::open(dossier.empty() ? "." : dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

struct Aboutissement {
    int erreur = 0;
    bool dossierFerme = false;  // no new file may be made there, or renamed over the target
    std::string refus;          // the bytes could not be made: why, in French
};

// The bytes of a save written straight into its new file.
class SortieDescripteur : public SortieOctets {
public:
    explicit SortieDescripteur(int fd) : fd_(fd) {}
    bool ajoute(std::string_view octets) override {
        if (erreur_ == 0) erreur_ = ecritTout(fd_, octets);
        taille_ += octets.size();
#if defined(__linux__)
        // The disk starts on each megabyte as soon as it is written, while
        // the rest is being made: the sync at the end has little left to wait for.
        constexpr std::uint64_t TRANCHE = std::uint64_t{1} << 20;
        if (erreur_ == 0 && taille_ - lance_ >= TRANCHE) {
            (void)::sync_file_range(fd_, static_cast<off_t>(lance_), static_cast<off_t>(taille_ - lance_),
                                    SYNC_FILE_RANGE_WRITE);
            lance_ = taille_;
        }
#endif
        return erreur_ == 0;
    }
    bool remplace(std::uint64_t position, std::string_view octets) override {
        while (erreur_ == 0 && !octets.empty()) {
            const ssize_t n = ::pwrite(fd_, octets.data(), octets.size(), static_cast<off_t>(position));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) erreur_ = errno;
            else {
                octets.remove_prefix(static_cast<std::size_t>(n));
                position += static_cast<std::uint64_t>(n);
            }
        }
        return erreur_ == 0;
    }
    bool recommence() override {
        if (erreur_ == 0 && (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0)) erreur_ = errno;
        taille_ = 0;
        lance_ = 0;
        return erreur_ == 0;
    }
    int erreur() const { return erreur_; }

private:
    int fd_;
    int erreur_ = 0;
    std::uint64_t lance_ = 0;  // the bytes before it are on their way to the disk
};

// Bytes already made, as a production.
Production productionDe(std::string_view octets) {
    return [octets](SortieOctets& sortie, std::string&) { return sortie.ajoute(octets); };
}

// A new file beside the target, renamed over it once its bytes and
// attributes are on disk. `ancien` is the target's state, if it exists.
Aboutissement remplaceParRenommage(const std::string& cible, const struct stat* ancien, const Production& production,
                           const std::function<std::string()>& suffixe) {
    const std::string dossier = dossierDe(cible);
    std::string temporaire;
    Descripteur fd;
    // Exclusive creation: whatever already has the name, file or link, is
    // neither followed nor clobbered; another name is tried.
    for (int essai = 0; essai < 100 && fd.get() < 0; ++essai) {
        temporaire = dossier + std::string(PREFIXE_TEMPORAIRE) + (suffixe ? suffixe() : suffixeAuHasard());
        // A new file takes the mode the user's mask gives; a replacement
        // starts private and takes the old file's mode below.
        fd.reprend(::open(temporaire.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                          ancien ? 0600 : 0666));
        if (fd.get() < 0 && errno != EEXIST) return {errno, errno == EACCES || errno == EPERM, {}};
    }
    if (fd.get() < 0) return {EEXIST, false, {}};
    // Locked until the rename, through a second descriptor that outlives the
    // closing below: another save's cleaning leaves this file alone.
    Descripteur verrou(::dup(fd.get()));
    (void)::flock(fd.get(), LOCK_EX | LOCK_NB);
    auto abandonne = [&](int e) {
        ::unlink(temporaire.c_str());
        return Aboutissement{e, false, {}};
    };
    {
        SortieDescripteur sortie(fd.get());
        std::string refus;
        const bool fait = production(sortie, refus);
        if (sortie.erreur() != 0) return abandonne(sortie.erreur());
        if (!fait) {
            Aboutissement a = abandonne(0);
            a.refus = std::move(refus);
            return a;
        }
    }
    if (ancien) {
        // Owner first: a change of owner clears the set-ID bits that the mode
        // then restores. Someone else's file may not be given away: ours it becomes,
        // in its group if we belong to it.
        if (::fchown(fd.get(), ancien->st_uid, ancien->st_gid) != 0)
            (void)::fchown(fd.get(), static_cast<uid_t>(-1), ancien->st_gid);
        if (::fchmod(fd.get(), ancien->st_mode & 07777) != 0) return abandonne(errno);
    }
    if (::fsync(fd.get()) != 0) return abandonne(errno);
    if (const int e = fd.ferme()) return abandonne(e);
    if (::rename(temporaire.c_str(), cible.c_str()) != 0) {
        const int e = errno;
        ::unlink(temporaire.c_str());
        return {e, e == EACCES || e == EPERM, {}};
    }
    synchroniseDossier(dossier);
    return {};
}

// Where the complete bytes of a file being written in place wait
// ("NOM.dtv"), with the file's name beside them ("NOM.chemin"): a name of
// the target's own, folded to 16 hex digits.
struct CopieSurPlace {
    std::string octets, chemin;
};
CopieSurPlace copieSurPlace(const std::string& dossierSecours, const std::string& cible) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : cible) h = (h ^ c) * 1099511628211ull;
    char nom[17];
    std::snprintf(nom, sizeof nom, "%016llx", static_cast<unsigned long long>(h));
    const std::string base = dossierSecours + "/sur-place/" + nom;
    return {base + ".dtv", base + ".chemin"};
}

// The folder of those copies, for the user's eyes only (unsaved documents).
std::string dossierSurPlace(const std::string& dossierSecours) {
    const std::string d = dossierSecours + "/sur-place";
    std::error_code ec;
    std::filesystem::create_directories(d, ec);
    ::chmod(d.c_str(), 0700);
    return d + "/";
}

void oublieCopieSurPlace(const CopieSurPlace& c) {
    ::unlink(c.octets.c_str());
    ::unlink(c.chemin.c_str());
}

// The copy left by an in-place save of the file `chemin` names, if any,
// whatever name that save reached the file by; copies whose file is gone go.
std::optional<CopieSurPlace> copiePour(const std::string& dossierSecours, const std::string& chemin) {
    struct stat fichier {};
    if (dossierSecours.empty() || ::stat(chemin.c_str(), &fichier) != 0) return std::nullopt;
    const std::string dossier = dossierSecours + "/sur-place";
    DIR* d = ::opendir(dossier.c_str());
    if (!d) return std::nullopt;
    std::optional<CopieSurPlace> trouvee;
    while (const dirent* e = ::readdir(d)) {
        const std::string nom = e->d_name;
        if (nom.size() != 16 + 7 || nom.compare(16, 7, ".chemin") != 0) continue;
        const CopieSurPlace c{dossier + "/" + nom.substr(0, 16) + ".dtv", dossier + "/" + nom};
        std::string cible, ignore;
        struct stat st {};
        if (!lisFichier(c.chemin, cible, ignore, 4096) || ::stat(cible.c_str(), &st) != 0 ||
            ::access(c.octets.c_str(), F_OK) != 0) {
            oublieCopieSurPlace(c);  // its file is gone, or its save was killed before its bytes were kept
            continue;
        }
        if (st.st_dev == fichier.st_dev && st.st_ino == fichier.st_ino) trouvee = c;
    }
    ::closedir(d);
    return trouvee;
}

// Writing into the file itself: the only way to keep its other hard links,
// or to save in a folder where no file may be made. It is not atomic, so the
// space is reserved first: a full disk fails before a byte is overwritten.
// `entame` says whether the file was touched.
int ecritSurPlace(const std::string& cible, const struct stat& ancien, std::string_view octets, bool& entame) {
    entame = false;
    Descripteur fd(::open(cible.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return errno;
    const auto taille = static_cast<off_t>(octets.size());
#if defined(_POSIX_ADVISORY_INFO) && _POSIX_ADVISORY_INFO > 0
    if (taille > ancien.st_size) {
        const int e = ::posix_fallocate(fd.get(), 0, taille);
        if (e != 0 && e != EINVAL && e != EOPNOTSUPP) {
            (void)::ftruncate(fd.get(), ancien.st_size);
            return e;
        }
    }
#else
    (void)ancien;
#endif
    entame = true;
    if (const int e = ecritTout(fd.get(), octets)) return e;
    if (::ftruncate(fd.get(), taille) != 0 || ::fsync(fd.get()) != 0) return errno;
    return fd.ferme();
}

#else

// Names cross the program as UTF-8; Windows takes them as UTF-16.
bool cheminSysteme(const std::string& chemin, std::filesystem::path& p) {
    try {
        p = std::filesystem::path(std::u8string(chemin.begin(), chemin.end()));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string messageWindows(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE: case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return messageSysteme(ENOENT);
        case ERROR_ACCESS_DENIED: return messageSysteme(EACCES);
        case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION: case ERROR_USER_MAPPED_FILE:
        case ERROR_UNABLE_TO_REMOVE_REPLACED: return "fichier occupé par un autre programme";
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT: case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            return "le nouveau fichier n'a pas pu prendre la place de l'ancien";
        case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return messageSysteme(ENOSPC);
        case ERROR_WRITE_PROTECT: return messageSysteme(EROFS);
        case ERROR_FILENAME_EXCED_RANGE: return messageSysteme(ENAMETOOLONG);
        case ERROR_INVALID_NAME: case ERROR_BAD_PATHNAME: case ERROR_DIRECTORY: return "nom de fichier incorrect";
        case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS: return messageSysteme(EEXIST);
        case ERROR_NOT_ENOUGH_MEMORY: case ERROR_OUTOFMEMORY: return messageSysteme(ENOMEM);
        case ERROR_NOT_READY: case ERROR_DEV_NOT_EXIST: return messageSysteme(ENXIO);
        case ERROR_CRC: case ERROR_READ_FAULT: case ERROR_WRITE_FAULT: case ERROR_GEN_FAILURE: return messageSysteme(EIO);
        default: return "erreur système " + std::to_string(e);
    }
}

class Poignee {
public:
    explicit Poignee(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Poignee() { reprend(INVALID_HANDLE_VALUE); }
    Poignee(const Poignee&) = delete;
    Poignee& operator=(const Poignee&) = delete;
    bool valide() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    void reprend(HANDLE h) {
        if (valide()) ::CloseHandle(h_);
        h_ = h;
    }
    // Closes now, for the error that closing reports.
    DWORD ferme() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) ? 0 : ::GetLastError();
    }

private:
    HANDLE h_;
};

DWORD ecritTout(HANDLE h, std::string_view octets) {
    while (!octets.empty()) {
        DWORD n = 0;
        if (!::WriteFile(h, octets.data(), static_cast<DWORD>(std::min<std::size_t>(octets.size(), std::size_t{1} << 30)), &n,
                         nullptr))
            return ::GetLastError();
        octets.remove_prefix(n);
    }
    return 0;
}

std::wstring dossierDe(const std::wstring& chemin) {
    const auto fin = chemin.find_last_of(L"/\\:");
    return fin == std::wstring::npos ? std::wstring() : chemin.substr(0, fin + 1);
}

// The full name: replacing wants to know the folder even of a bare name.
std::wstring cheminComplet(const std::wstring& chemin) {
    std::wstring complet(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(chemin.c_str(), static_cast<DWORD>(complet.size()), complet.data(), nullptr);
        if (n == 0) return chemin;
        if (n < complet.size()) return complet.substr(0, n);
        complet.resize(n);
    }
}

std::wstring large(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A killed save leaves its temporary file; the next save in that folder
// removes ours that no save is writing: a save holds its file open, shared
// with no one, so that it cannot be deleted, and closes it only to put it in
// the target's place, at once; a file untouched for a minute is no save's.
void nettoieTemporaires(const std::wstring& dossier) {
    WIN32_FIND_DATAW e;
    const HANDLE recherche = ::FindFirstFileW((dossier + large(PREFIXE_TEMPORAIRE) + L"*").c_str(), &e);
    if (recherche == INVALID_HANDLE_VALUE) return;
    FILETIME maintenant;
    ::GetSystemTimeAsFileTime(&maintenant);
    const auto temps = [](const FILETIME& t) { return std::uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime; };
    constexpr std::uint64_t UNE_MINUTE = 60ull * 10'000'000;  // in 100 ns
    do {
        std::string nom;
        for (const wchar_t* c = e.cFileName; *c; ++c) nom += *c < 128 ? static_cast<char>(*c) : '\0';
        if (estNomTemporaire(nom) && !(e.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            temps(maintenant) > temps(e.ftLastWriteTime) + UNE_MINUTE)
            ::DeleteFileW((dossier + e.cFileName).c_str());
    } while (::FindNextFileW(recherche, &e));
    ::FindClose(recherche);
}

#endif
}  // namespace

namespace {
// What follows the text: the format, the font, the markers.
void ecritApresTexte(std::string& s, const ContenuDocument& c) {
    const FormatPage& f = c.format;
    ecritU16(s, 3);
    ecritI32(s, f.lignes);
    ecritI32(s, f.caracteres);
    ecritI32(s, f.indentation);
    ecritDrapeau(s, f.interligneDouble);
    ecritBande(s, f.entete);
    ecritBande(s, f.pied);
    ecritChaine(s, c.fonte);
    TgestionnaireMarqueurs m;
    for (const auto& x : c.marqueurs) m.ajouteBrut(x);
    m.Ecrit(s);
}
}  // namespace

std::string ecritDtv(const ContenuDocument& c) {
    std::string s;
    reserveGrand(s, c.texte.size() + 128);
    ecritU16(s, VERSION_DTV);
    ecritChaine(s, c.texte);
    ecritApresTexte(s, c);
    return s;
}

std::string debutDtv(std::size_t longueurTexte) {
    std::string tete;
    ecritU16(tete, VERSION_DTV);
    ecritI32(tete, static_cast<std::int32_t>(longueurTexte));
    return tete;
}

std::string finDtv(const ContenuDocument& c) {
    std::string s;
    ecritApresTexte(s, c);
    return s;
}

std::string ecritDtv(ContenuDocument&& c) {
    const std::string tete = debutDtv(c.texte.size());
    // The file's bytes made around the text, in its own buffer: a book is
    // moved along by its head's six bytes, not copied to another buffer.
    std::string s = std::move(c.texte);
    c.texte.clear();
    const std::size_t voulu = s.size() + tete.size() + 128 + 32 * c.marqueurs.size();
    if (s.capacity() < voulu) reserveGrand(s, voulu);
    s.insert(0, tete);
    ecritApresTexte(s, c);
    return s;
}

namespace {
// What a document of version 100 or later holds after its text, read from f
// (just past the text, of `longueurTexte` bytes) into r.contenu.
bool litApresTexte(Flux& f, std::uint16_t v, std::size_t longueurTexte, const FormatPage& format, ResultatLecture& r) {
    ContenuDocument& c = r.contenu;
    c.version = v;
    c.format = format;
    auto manque = [&r](const char* quoi) {
        r = echec(quoi);
        return false;
    };
    if (v >= 102) {
        if (!litBlocFormat(f, c.format)) return manque("format de page incomplet");
        c.formatPresent = true;
    } else {
        formatdefaut(c.format);
    }
    if (v >= 104 && !f.chaine(c.fonte)) return manque("nom de police incomplet");
    if (v >= 103) {
        TgestionnaireMarqueurs m;
        std::size_t o = f.position();
        if (!m.Lit(f.donnees(), o)) return manque("marqueurs incomplets");
        // Markers that stand outside the text are dropped; they would mark nothing.
        const auto n = static_cast<std::int32_t>(longueurTexte);
        for (auto x : m.liste()) {
            if (x.start < 1 || x.start > n || x.end < x.start) continue;
            x.end = std::min(x.end, n);
            c.marqueurs.push_back(x);
        }
    }
    return true;
}

// `source`, when given, holds `octets` and may give its bytes to the text.
ResultatLecture litDtv(std::string_view octets, const FormatPage& format, std::string* source) {
    Flux f(octets);
    std::uint16_t v = 0;
    if (!f.u16(v)) return echec("fichier vide ou trop court");
    if (v <= 99) return litAncien(f, v, format);
    if (v > VERSION_DTV) return echec("version de fichier inconnue (" + std::to_string(v) + ")");
    std::size_t debutTexte = 0, longueurTexte = 0;
    if (!f.saute(debutTexte, longueurTexte)) return echec("texte incomplet");
    ResultatLecture r;
    if (!litApresTexte(f, v, longueurTexte, format, r)) return r;
    // The text last, once nothing more is read from the bytes: a whole file
    // read for opening gives its own bytes, moved down in place, not copied.
    if (source) {
        source->erase(0, debutTexte);
        source->resize(longueurTexte);
        r.contenu.texte = std::move(*source);
    } else {
        r.contenu.texte.assign(octets.substr(debutTexte, longueurTexte));
    }
    if (v == 100) convertitPrefixesAnciens(r.contenu.texte);
    r.ok = true;
    return r;
}

// A document's version and its text's length, before the text.
constexpr std::size_t ENTETE_DTV = 6;

// A document read as its first ENTETE_DTV bytes and the rest: the text, at
// the head of the rest, stays where it was read.
ResultatLecture litDtv(std::string_view entete, std::string& reste, const FormatPage& format) {
    Flux e(entete);
    std::uint16_t v = 0;
    std::int32_t longueur = 0;
    if (entete.size() < ENTETE_DTV || !e.u16(v) || v <= 99 || v > VERSION_DTV || !e.i32(longueur)) {
        // Older and unknown files are read whole, as they always were.
        reste.insert(0, entete);
        return litDtv(reste, format, &reste);
    }
    if (longueur < 0 || static_cast<std::size_t>(longueur) > reste.size()) return echec("texte incomplet");
    const auto longueurTexte = static_cast<std::size_t>(longueur);
    Flux f(reste);
    f.avance(longueurTexte);
    ResultatLecture r;
    if (!litApresTexte(f, v, longueurTexte, format, r)) return r;
    reste.resize(longueurTexte);
    r.contenu.texte = std::move(reste);
    if (v == 100) convertitPrefixesAnciens(r.contenu.texte);
    r.ok = true;
    return r;
}
}  // namespace

ResultatLecture litDtv(std::string_view octets, const FormatPage& format) { return litDtv(octets, format, nullptr); }

#ifndef _WIN32
namespace {
// Reads the n first bytes of a file on both cores: the first h of them
// into tete, the others into d. Returns n, the file's offset set past them;
// 0 when the file did not give them all (it shrank, a read failed): the
// caller then reads it from its start.
std::size_t litSurLesDeuxCoeurs(int fd, char* tete, std::size_t h, char* d, std::size_t n) {
    // Bytes [de, a) of the file, to `vers` on.
    const auto lit = [fd](char* vers, std::size_t de, std::size_t a) {
        while (de < a) {
            const ssize_t k = ::pread(fd, vers, a - de, static_cast<off_t>(de));
            if (k < 0 && errno == EINTR) continue;
            if (k <= 0) return false;
            de += static_cast<std::size_t>(k);
            vers += k;
        }
        return true;
    };
    // Slices taken from both ends, the caller's from the last one back, the
    // other thread's from the first on: the faster core reads more, and
    // neither waits long for the other. Each takes its next slice only while
    // fewer than all were taken, so that the two never take the same.
    constexpr std::size_t TRANCHE = std::size_t{512} << 10;
    const std::size_t tranches = (n + TRANCHE - 1) / TRANCHE;
    std::atomic<std::size_t> prises{0};
    std::atomic<bool> echec{false};
    const auto prend = [&](bool depuisLaFin) {
        for (std::size_t miennes = 0; !echec && prises.fetch_add(1) < tranches; ++miennes) {
            const std::size_t k = depuisLaFin ? tranches - 1 - miennes : miennes;
            std::size_t de = k * TRANCHE;
            const std::size_t a = std::min(n, de + TRANCHE);
            if (de < h && !lit(tete + de, de, std::min(a, h))) echec = true;
            de = std::max(de, h);
            if (de < a && !lit(d + (de - h), de, a)) echec = true;
        }
    };
    deuxALaFois([&] { prend(true); }, [&] { prend(false); });
    if (echec || ::lseek(fd, static_cast<off_t>(n), SEEK_SET) < 0) return 0;
    return n;
}
}  // namespace
#endif

FichierEnLecture::~FichierEnLecture() {
#ifdef _WIN32
    if (poignee_) ::CloseHandle(static_cast<HANDLE>(poignee_));
#else
    if (fd_ >= 0) ::close(fd_);
#endif
}

bool FichierEnLecture::ouvre(const std::string& chemin, std::size_t maximum, bool& regulier, std::string& erreur) {
    chemin_ = chemin;
    regulier = false;
    const std::string nom = entreGuillemets(chemin);
#ifndef _WIN32
    // Not blocking: a FIFO, which would wait for its writer, is no regular file.
    fd_ = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        const int e = errno;
        erreur = "Impossible d'ouvrir " + nom + " : " + messageSysteme(e) + ".";
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int e = errno;
        erreur = "Impossible de lire " + nom + " : " + messageSysteme(e) + ".";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        erreur = messageDossier(chemin);
        return false;
    }
    if (!S_ISREG(st.st_mode)) return true;
    taille_ = static_cast<std::uint64_t>(st.st_size);
#else
    std::filesystem::path p;
    if (!cheminSysteme(chemin, p)) {
        erreur = "Impossible d'ouvrir " + nom + " : nom de fichier incorrect.";
        return false;
    }
    const DWORD attributs = ::GetFileAttributesW(p.c_str());
    if (attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_DIRECTORY)) {
        erreur = messageDossier(chemin);
        return false;
    }
    HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = ::GetLastError();
        erreur = "Impossible d'ouvrir " + nom + " : " + messageWindows(e) + ".";
        return false;
    }
    poignee_ = h;
    LARGE_INTEGER taille{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &taille)) return true;
    taille_ = static_cast<std::uint64_t>(taille.QuadPart);
#endif
    if (taille_ > maximum) {
        erreur = messageTropVolumineux(chemin, maximum);
        return false;
    }
    regulier = true;
    return true;
}

bool FichierEnLecture::lit(std::uint64_t position, char* d, std::size_t n, std::string& erreur) const {
    while (n > 0) {
#ifndef _WIN32
        const ssize_t k = ::pread(fd_, d, n, static_cast<off_t>(position));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) {
            const int e = errno;
            erreur = "Impossible de lire " + entreGuillemets(chemin_) + " : " + messageSysteme(e) + ".";
            return false;
        }
#else
        // At a position of its own, whatever the other thread reads meanwhile.
        OVERLAPPED ou{};
        ou.Offset = static_cast<DWORD>(position);
        ou.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD k = 0;
        const DWORD voulu = static_cast<DWORD>(std::min<std::size_t>(n, DWORD{1} << 30));
        if (!::ReadFile(static_cast<HANDLE>(poignee_), d, voulu, &k, &ou)) {
            const DWORD e = ::GetLastError();
            if (e != ERROR_HANDLE_EOF) {
                erreur = "Impossible de lire " + entreGuillemets(chemin_) + " : " + messageWindows(e) + ".";
                return false;
            }
        }
#endif
        if (k == 0) {
            erreur = "Impossible de lire " + entreGuillemets(chemin_) + " : le fichier a changé pendant la lecture.";
            return false;
        }
        d += k;
        n -= static_cast<std::size_t>(k);
        position += static_cast<std::uint64_t>(k);
    }
    return true;
}

bool lisFichier(const std::string& chemin, std::string& octets, std::string& erreur, std::size_t maximum,
                std::string* entete, std::size_t tailleEntete) {
    const std::string nom = entreGuillemets(chemin);
    octets.clear();
    if (entete) entete->clear();
    std::size_t aPart = 0;  // the head's bytes read aside, not at the start of `octets`
    auto echoue = [&](std::string message) {
        octets = std::string();
        if (entete) entete->clear();
        erreur = std::move(message);
        return false;
    };
    try {
#ifndef _WIN32
        // Blocking open, as any reader does: a FIFO waits for its writer.
        Descripteur fd(::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0) return echoue("Impossible d'ouvrir " + nom + " : " + messageSysteme(errno) + ".");
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) return echoue("Impossible de lire " + nom + " : " + messageSysteme(errno) + ".");
        if (S_ISDIR(st.st_mode)) return echoue(messageDossier(chemin));
        // The size said is only a hint: a file may grow, and a device or a
        // pipe says none. One byte past the limit is enough to refuse. The
        // bytes are read straight into place: a book is copied once.
        std::size_t lus = 0;  // the bytes read, the head's among them
        constexpr std::size_t SEUIL_PARALLELE = std::size_t{1} << 20;
        if (S_ISREG(st.st_mode)) {
            if (static_cast<std::uintmax_t>(st.st_size) > maximum) return echoue(messageTropVolumineux(chemin, maximum));
            const auto taille = static_cast<std::size_t>(st.st_size);
            // One byte more than said: the read that finds the end needs no
            // more room. The memory comes as it is first written.
            reserveGrand(octets, taille + 1, false);
            if (taille < SEUIL_PARALLELE) {
                octets.resize(taille + 1);
            } else {
                const bool aPartIci = entete && tailleEntete <= taille / 2;  // else split once read
                std::string tete(aPartIci ? tailleEntete : 0, '\0');
                // A book's bytes are written once, by the read, not zeroed
                // ahead. Zeroed: the byte of room after them; or, when the
                // file did not give them all, the whole room, the file being
                // then read again from its start.
                ecritEnPlace(octets, taille + 1, [&](char* d) {
                    lus = litSurLesDeuxCoeurs(fd.get(), tete.data(), tete.size(), d, taille);
                    if (lus == 0) {
                        std::memset(d, 0, taille + 1);
                        return taille + 1;
                    }
                    d[taille - tete.size()] = '\0';
                    return taille + 1 - tete.size();
                });
                if (lus != 0 && aPartIci) {
                    *entete = std::move(tete);
                    aPart = tailleEntete;
                }
            }
        }
        for (;;) {
            if (lus > maximum) return echoue(messageTropVolumineux(chemin, maximum));
            const std::size_t ici = lus - aPart;
            if (ici == octets.size())
                octets.resize(std::min(std::max(2 * ici, ici + (std::size_t{1} << 16)), maximum + 1));
            const ssize_t n = ::read(fd.get(), octets.data() + ici, octets.size() - ici);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return echoue("Impossible de lire " + nom + " : " + messageSysteme(errno) + ".");
            if (n == 0) break;
            lus += static_cast<std::size_t>(n);
        }
        octets.resize(lus - aPart);
#else
        std::filesystem::path p;
        if (!cheminSysteme(chemin, p)) return echoue("Impossible d'ouvrir " + nom + " : nom de fichier incorrect.");
        const DWORD attributs = ::GetFileAttributesW(p.c_str());
        if (attributs != INVALID_FILE_ATTRIBUTES && (attributs & FILE_ATTRIBUTE_DIRECTORY)) return echoue(messageDossier(chemin));
        // Shared in every way: an editor that holds the file open does not stop us reading it.
        Poignee h(::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!h.valide()) return echoue("Impossible d'ouvrir " + nom + " : " + messageWindows(::GetLastError()) + ".");
        LARGE_INTEGER taille{};
        if (::GetFileType(h.get()) == FILE_TYPE_DISK && ::GetFileSizeEx(h.get(), &taille)) {
            if (static_cast<std::uintmax_t>(taille.QuadPart) > maximum) return echoue(messageTropVolumineux(chemin, maximum));
            octets.reserve(static_cast<std::size_t>(taille.QuadPart));
        }
        // As on Linux, the size said is only a hint.
        std::string bloc(std::size_t{1} << 16, '\0');
        for (;;) {
            if (octets.size() > maximum) return echoue(messageTropVolumineux(chemin, maximum));
            const std::size_t voulu = std::min(bloc.size(), maximum + 1 - octets.size());
            DWORD n = 0;
            if (!::ReadFile(h.get(), bloc.data(), static_cast<DWORD>(voulu), &n, nullptr)) {
                const DWORD e = ::GetLastError();
                if (e == ERROR_BROKEN_PIPE) break;  // a pipe whose writer is done
                return echoue("Impossible de lire " + nom + " : " + messageWindows(e) + ".");
            }
            if (n == 0) break;
            octets.append(bloc.data(), n);
        }
#endif
        if (entete && aPart == 0) {
            const std::size_t k = std::min(tailleEntete, octets.size());
            entete->assign(octets, 0, k);
            octets.erase(0, k);
        }
    } catch (const std::bad_alloc&) {
        return echoue("Impossible de lire " + nom + " : mémoire insuffisante.");
    } catch (const std::exception&) {
        return echoue("Impossible de lire " + nom + " : erreur d'entrée-sortie.");
    }
    return true;
}

namespace {
// A save of bytes at hand, or of bytes made as they are written
// (`production`, when given): those are made in memory only where the file
// is not written through a new one.
bool ecritAtomique(const std::string& chemin, std::string_view octets, const Production* production,
                   std::string& erreur, const std::function<std::string()>& suffixe,
                   const std::string& dossierSecours) {
    const std::string nom = entreGuillemets(chemin);
    auto echoue = [&](const std::string& detail) {
        erreur = "Impossible d'enregistrer " + nom + " : " + detail + ".";
        return false;
    };
    // What makes the bytes says why it failed, in a sentence of its own.
    const Production protegee = [&](SortieOctets& sortie, std::string& refus) {
        try {
            if ((*production)(sortie, refus)) return true;
        } catch (const std::bad_alloc&) {
            refus = "Impossible d'enregistrer " + nom + " : mémoire insuffisante.";
            return false;
        } catch (const std::exception&) {
            // Whatever went wrong, the new file goes and the old one stays.
            refus = "Impossible d'enregistrer " + nom + " : erreur inattendue.";
            return false;
        }
        if (refus.empty()) refus = "Impossible d'enregistrer " + nom + " : erreur inconnue.";
        return false;
    };
    std::string produits;
    auto enEntier = [&]() {
        if (!production) return true;
        SortieMemoire sortie(produits);
        if (!protegee(sortie, erreur)) return false;
        octets = produits;
        production = nullptr;
        return true;
    };
    if (chemin.empty()) return echoue(messageSysteme(ENOENT));
    const std::string finParBarre = "un nom qui finit par une barre oblique désigne un dossier, pas un fichier";
    const std::string lectureSeule = "le fichier est en lecture seule";
#ifndef _WIN32
    std::error_code ec;
    if (std::filesystem::is_directory(chemin, ec)) {
        erreur = messageDossier(chemin);
        return false;
    }
    if (finitParSeparateur(chemin)) return echoue(finParBarre);
    struct stat st {};
    if (::stat(chemin.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        // A device or a pipe (/dev/null, /dev/stdout) cannot be replaced, only written to.
        if (!enEntier()) return false;
        Descripteur fd(::open(chemin.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0) return echoue(messageSysteme(errno));
        if (const int e = ecritTout(fd.get(), octets)) return echoue(messageSysteme(e));
        if (const int e = fd.ferme()) return echoue(messageSysteme(e));
        return true;
    }
    std::string cible = chemin;
    if (const int e = resoutLiens(cible)) return echoue(messageSysteme(e));
    const bool existe = ::stat(cible.c_str(), &st) == 0;
    if (!existe && errno != ENOENT) return echoue(messageSysteme(errno));
    if (existe) {
        if (S_ISDIR(st.st_mode)) {
            erreur = messageDossier(chemin);
            return false;
        }
        // A file that nobody may write is read-only on purpose, even for root.
        if ((st.st_mode & 0222) == 0) return echoue(lectureSeule);
        if (::access(cible.c_str(), W_OK) != 0) return echoue(errno == EACCES ? lectureSeule : messageSysteme(errno));
    }
    nettoieTemporaires(dossierDe(cible));
    // Into the file itself, the complete bytes kept whole elsewhere meanwhile:
    // killed halfway, the save leaves them for the file's next opening.
    auto surPlace = [&]() {
        if (dossierSecours.empty())
            return echoue("aucun dossier où garder le document entier pendant qu'il s'écrit dans le fichier lui-même");
        if (!enEntier()) return false;
        const CopieSurPlace copie = copieSurPlace(dossierSecours, cible);
        nettoieTemporaires(dossierSurPlace(dossierSecours));
        // The file's name first, then the bytes: a copy is only ever taken whole, for its file.
        Aboutissement a = remplaceParRenommage(copie.chemin, nullptr, productionDe(cible), {});
        if (a.erreur == 0) a = remplaceParRenommage(copie.octets, nullptr, productionDe(octets), {});
        if (a.erreur != 0) {
            oublieCopieSurPlace(copie);
            return echoue("le document entier n'a pas pu être gardé à part avant d'écrire dans le fichier lui-même (" +
                          messageSysteme(a.erreur) + ")");
        }
        bool entame = false;
        if (const int e = ecritSurPlace(cible, st, octets, entame)) {
            // A file left as it was needs no copy; one touched keeps it.
            if (!entame) oublieCopieSurPlace(copie);
            return echoue(messageSysteme(e));
        }
        oublieCopieSurPlace(copie);
        return true;
    };
    if (existe && st.st_nlink > 1) return surPlace();  // renaming would cut the other links off
    const Production ecrits = production ? protegee : productionDe(octets);
    Aboutissement fin = remplaceParRenommage(cible, existe ? &st : nullptr, ecrits, suffixe);
    // Another save's cleaning may have taken the new file before its lock: once more.
    if (fin.erreur == ENOENT) fin = remplaceParRenommage(cible, existe ? &st : nullptr, ecrits, suffixe);
    if (!fin.refus.empty()) {
        erreur = fin.refus;
        return false;
    }
    if (fin.erreur == 0) {
        // The file stands whole again: a copy left by an earlier save killed in place goes.
        if (existe && !dossierSecours.empty()) oublieCopieSurPlace(copieSurPlace(dossierSecours, cible));
        return true;
    }
    // The folder refuses new files but the file may be written: as the user
    // may change it, it is changed where it stands.
    if (existe && fin.dossierFerme) return surPlace();
    return echoue(messageSysteme(fin.erreur));
#else
    (void)dossierSecours;  // Windows never writes a file in place
    std::filesystem::path p;
    if (!cheminSysteme(chemin, p)) return echoue("nom de fichier incorrect");
    const std::wstring cible = cheminComplet(p.native());
    const DWORD attributs = ::GetFileAttributesW(cible.c_str());
    const bool existe = attributs != INVALID_FILE_ATTRIBUTES;
    const DWORD erreurAttributs = existe ? 0 : ::GetLastError();
    if (existe && (attributs & FILE_ATTRIBUTE_DIRECTORY)) {
        erreur = messageDossier(chemin);
        return false;
    }
    if (finitParSeparateur(chemin)) return echoue(finParBarre);
    {
        // A device (NUL, a port) or a pipe cannot be replaced, only written to.
        Poignee h(::CreateFileW(cible.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
        if (h.valide() && ::GetFileType(h.get()) != FILE_TYPE_DISK) {
            if (!enEntier()) return false;
            if (const DWORD e = ecritTout(h.get(), octets)) return echoue(messageWindows(e));
            if (const DWORD e = h.ferme()) return echoue(messageWindows(e));
            return true;
        }
    }
    if (!existe && erreurAttributs != ERROR_FILE_NOT_FOUND) return echoue(messageWindows(erreurAttributs));
    if (existe && (attributs & FILE_ATTRIBUTE_READONLY)) return echoue(lectureSeule);
    if (!enEntier()) return false;
    const std::wstring dossier = dossierDe(cible);
    nettoieTemporaires(dossier);
    // A new file beside the target, made only if the name is free (never
    // another's file), its bytes on disk before it takes the target's place.
    // It has the attributes that the user gave the old file from the start.
    const DWORD garde = existe ? attributs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) : 0;
    std::wstring temporaire;
    Poignee h;
    for (int essai = 0; essai < 100 && !h.valide(); ++essai) {
        temporaire = dossier + large(PREFIXE_TEMPORAIRE) + large(suffixe ? suffixe() : suffixeAuHasard());
        h.reprend(::CreateFileW(temporaire.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, garde ? garde : FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        const DWORD e = ::GetLastError();
        if (!h.valide() && e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) return echoue(messageWindows(e));
    }
    if (!h.valide()) return echoue(messageSysteme(EEXIST));
    auto abandonne = [&](DWORD e) {
        h.reprend(INVALID_HANDLE_VALUE);
        ::DeleteFileW(temporaire.c_str());
        return echoue(messageWindows(e));
    };
    if (const DWORD e = ecritTout(h.get(), octets)) return abandonne(e);
    if (!::FlushFileBuffers(h.get())) return abandonne(::GetLastError());
    if (const DWORD e = h.ferme()) return abandonne(e);
    // Replacing keeps what else the system holds about the file (permissions,
    // creation date); a new file is simply renamed.
    const bool remplace =
        existe ? ::ReplaceFileW(cible.c_str(), temporaire.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)
               : ::MoveFileExW(temporaire.c_str(), cible.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!remplace) return abandonne(::GetLastError());
    return true;
#endif
}
}  // namespace

bool ecritFichierAtomique(const std::string& chemin, std::string_view octets, std::string& erreur,
                          const std::function<std::string()>& suffixe, const std::string& dossierSecours) {
    return ecritAtomique(chemin, octets, nullptr, erreur, suffixe, dossierSecours);
}

bool ecritFichierAtomique(const std::string& chemin, const Production& production, std::string& erreur,
                          const std::function<std::string()>& suffixe, const std::string& dossierSecours) {
    return ecritAtomique(chemin, {}, &production, erreur, suffixe, dossierSecours);
}

std::string dossierDesDonnees() {
#ifdef _WIN32
    const wchar_t* appdata = ::_wgetenv(L"APPDATA");
    if (!appdata || !*appdata) return {};
    const std::u8string u8 = (std::filesystem::path(appdata) / L"KELMAR" / L"DotavoB").u8string();
    return std::string(u8.begin(), u8.end());
#else
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') return std::string(x) + "/KELMAR/DotavoB";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share/KELMAR/DotavoB";
    return {};
#endif
}

ResultatLecture chargeDtv(const std::string& chemin, const FormatPage& format, const VerificationFonte& verifieFonte,
                          const std::string& dossierSecours) {
    // Its head read aside: a book's text, read after it on both cores, is
    // where it stays (a small file's is moved down, as before).
    std::string entete, octets, erreur;
    if (!lisFichier(chemin, octets, erreur, TAILLE_MAXIMALE_FICHIER, &entete, ENTETE_DTV)) return echec(erreur);
#ifndef _WIN32
    // A save that wrote into this file and did not finish left the complete
    // bytes aside: the file is then not taken for a document without a word.
    if (const std::optional<CopieSurPlace> copie = copiePour(dossierSecours, chemin)) {
        std::string complet, ignore;
        if (lisFichier(copie->octets, complet, ignore)) {
            if (std::string_view(complet).substr(0, entete.size()) != entete ||
                std::string_view(complet).substr(std::min(entete.size(), complet.size())) != octets) {
                ResultatLecture r = echec("L'enregistrement de " + entreGuillemets(chemin) +
                                          " a été interrompu : le fichier n'est peut-être pas entier. Le document tel "
                                          "qu'il allait être enregistré est gardé entier dans " +
                                          entreGuillemets(copie->octets) + ".");
                r.copieComplete = copie->octets;
                return r;
            }
            oublieCopieSurPlace(*copie);  // the save ended; its copy stayed behind
        }
    }
#else
    (void)dossierSecours;
#endif
    ResultatLecture r = litDtv(entete, octets, format);
    if (!r.ok)
        r.erreur = "Le fichier " + entreGuillemets(chemin) + " n'est pas un document DotavoB lisible : " + r.erreur + ".";
    else if (verifieFonte)
        r.contenu.fonte = verifieFonte(r.contenu.fonte);
    return r;
}

bool documentAdmis(std::size_t octets, const std::string& chemin, std::string& erreur) {
    if (octets <= TAILLE_MAXIMALE_FICHIER) return true;
    erreur = "Impossible d'enregistrer " + entreGuillemets(chemin) + " : le document ferait " +
             std::to_string((octets + (std::size_t{1} << 20) - 1) >> 20) + " Mo, plus que les " +
             std::to_string(TAILLE_MAXIMALE_FICHIER >> 20) +
             " Mo qu'un document peut faire pour s'ouvrir encore. Rien n'a été écrit.";
    return false;
}

bool enregistreDtv(const std::string& chemin, const ContenuDocument& c, std::string& erreur) {
    const std::string octets = ecritDtv(c);
    return documentAdmis(octets.size(), chemin, erreur) && ecritFichierAtomique(chemin, octets, erreur);
}

}  // namespace dotavob
