#include "core/fichiers/dtv.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/braille/codes.h"
#include "core/fichiers/rtf.h"
#include "core/transcription/transcription.h"

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
ResultatLecture litAncien(Flux& f, const FormatPage& format) {
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
    r.contenu.version = 0;
    r.contenu.texte = Transcrire(noir, 1, std::clamp<std::int32_t>(cpl, 10, 50));
    r.contenu.format = format;
    formatdefaut(r.contenu.format);
    return r;
}

std::string messageSysteme(int e) {
    switch (e) {
        case ENOENT: return "fichier ou dossier introuvable";
        case EACCES: case EPERM: return "accès refusé";
        case EISDIR: return "c'est un dossier";
        case ENOSPC: return "disque plein";
        case EROFS: return "support en lecture seule";
        default: return "erreur d'entrée-sortie";
    }
}

std::string entreGuillemets(const std::string& chemin) { return "« " + chemin + " »"; }

}  // namespace

std::string ecritDtv(const ContenuDocument& c) {
    std::string s;
    s.reserve(c.texte.size() + 128);
    ecritU16(s, VERSION_DTV);
    ecritChaine(s, c.texte);
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
    return s;
}

ResultatLecture litDtv(std::string_view octets, const FormatPage& format) {
    Flux f(octets);
    std::uint16_t v = 0;
    if (!f.u16(v)) return echec("fichier vide ou trop court");
    if (v <= 99) return litAncien(f, format);
    if (v > VERSION_DTV) return echec("version de fichier inconnue (" + std::to_string(v) + ")");
    ResultatLecture r;
    ContenuDocument& c = r.contenu;
    c.version = v;
    if (!f.chaine(c.texte)) return echec("texte incomplet");
    if (v == 100) convertitPrefixesAnciens(c.texte);
    c.format = format;
    if (v >= 102) {
        if (!litBlocFormat(f, c.format)) return echec("format de page incomplet");
        c.formatPresent = true;
    } else {
        formatdefaut(c.format);
    }
    if (v >= 104 && !f.chaine(c.fonte)) return echec("nom de police incomplet");
    if (v >= 103) {
        TgestionnaireMarqueurs m;
        std::size_t o = f.position();
        if (!m.Lit(f.donnees(), o)) return echec("marqueurs incomplets");
        // Markers that stand outside the text are dropped; they would mark nothing.
        const auto n = static_cast<std::int32_t>(c.texte.size());
        for (auto x : m.liste()) {
            if (x.start < 1 || x.start > n || x.end < x.start) continue;
            x.end = std::min(x.end, n);
            c.marqueurs.push_back(x);
        }
    }
    r.ok = true;
    return r;
}

bool lisFichier(const std::string& chemin, std::string& octets, std::string& erreur) {
    constexpr std::uintmax_t maximum = 512u << 20;
    std::error_code ec;
    if (std::filesystem::is_directory(chemin, ec)) {
        erreur = "Impossible d'ouvrir " + entreGuillemets(chemin) + " : c'est un dossier.";
        return false;
    }
    std::ifstream in(chemin, std::ios::binary);
    if (!in) {
        erreur = "Impossible d'ouvrir " + entreGuillemets(chemin) + " : " + messageSysteme(errno) + ".";
        return false;
    }
    const auto taille = std::filesystem::file_size(chemin, ec);
    if (!ec && taille > maximum) {
        erreur = "Le fichier " + entreGuillemets(chemin) + " est trop volumineux.";
        return false;
    }
    octets.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        erreur = "Impossible de lire " + entreGuillemets(chemin) + " : erreur d'entrée-sortie.";
        return false;
    }
    return true;
}

bool ecritFichierAtomique(const std::string& chemin, std::string_view octets, std::string& erreur) {
    namespace fs = std::filesystem;
    const fs::path cible(chemin);
    std::random_device hasard;
    fs::path temporaire = cible;
    temporaire += ".tmp" + std::to_string(hasard() % 1000000);
    auto echoue = [&](const std::string& detail) {
        std::error_code ignore;
        fs::remove(temporaire, ignore);
        erreur = "Impossible d'enregistrer " + entreGuillemets(chemin) + " : " + detail + ".";
        return false;
    };
    {
        std::ofstream out(temporaire, std::ios::binary | std::ios::trunc);
        if (!out) return echoue(messageSysteme(errno));
        out.write(octets.data(), static_cast<std::streamsize>(octets.size()));
        out.flush();
        if (!out) return echoue(messageSysteme(errno));
    }
    std::error_code ec;
    fs::rename(temporaire, cible, ec);
    if (ec) return echoue(messageSysteme(ec.value()));
    return true;
}

ResultatLecture chargeDtv(const std::string& chemin, const FormatPage& format, const VerificationFonte& verifieFonte) {
    std::string octets, erreur;
    if (!lisFichier(chemin, octets, erreur)) return echec(erreur);
    ResultatLecture r = litDtv(octets, format);
    if (!r.ok)
        r.erreur = "Le fichier " + entreGuillemets(chemin) + " n'est pas un document DotavoB lisible : " + r.erreur + ".";
    else if (verifieFonte)
        r.contenu.fonte = verifieFonte(r.contenu.fonte);
    return r;
}

bool enregistreDtv(const std::string& chemin, const ContenuDocument& c, std::string& erreur) {
    return ecritFichierAtomique(chemin, ecritDtv(c), erreur);
}

}  // namespace dotavob
