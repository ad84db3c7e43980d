// dotavob-cli: the Braille core from the command line, for batch work and
// scripts. It gives exactly what the editor gives for the same files.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/document/document.h"
#include "core/document/formatpage.h"
#include "core/editeur/editeur.h"
#include "core/fichiers/dtv.h"
#include "core/fichiers/echange.h"
#include "core/fichiers/importation.h"
#include "core/fichiers/pef.h"
#include "core/fichiers/transcriptionfichier.h"
#include "core/noir/noir.h"
#include "core/sorties/embossage.h"
#include "core/sorties/export.h"
#include "core/sorties/pef.h"
#include "core/transcription/transcription.h"
#include "plateforme/spouleur.h"

#ifdef _WIN32
#include <algorithm>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#endif

using namespace dotavob;

namespace {

const char* const AIDE =
    "Usage : dotavob-cli COMMANDE ...\n"
    "\n"
    "  transcrire ENTREE SORTIE.dtv [--cpl N] [--lignes N]\n"
    "      Transcrit un fichier texte (UTF-8 ou Windows-1252) ou RTF en braille, comme\n"
    "      son importation dans un document vide (entête et pied de page absents),\n"
    "      et enregistre le document. Par défaut : 30 caractères, 28 lignes.\n"
    "      SORTIE « - » écrit le document sur la sortie standard.\n"
    "  importer FICHIER.brf|FICHIER.pef DOC.dtv [--cpl N] [--lignes N]\n"
    "      Fait un document d'un fichier braille : braille ASCII américain (.brf,\n"
    "      ou .txt) ou PEF (.pef), le format lu d'après l'extension. Chaque ligne\n"
    "      du fichier devient un paragraphe, chaque page une page. Le format de\n"
    "      page est celui du fichier : pour un .brf, le format de départ (--cpl,\n"
    "      --lignes ; 30 caractères, 28 lignes) élargi à sa plus longue ligne et\n"
    "      à sa plus longue page ; pour un .pef, ses colonnes et ses rangées.\n"
    "  exporter DOC SORTIE [--code us|fr|unicode|pef|brf-pages] [--titre T] [--lignes N]\n"
    "           [--caracteres N] [--marge-haut N] [--marge-gauche N]\n"
    "      Exporte le document. us (par défaut) : braille ASCII américain, le\n"
    "      contenu d'un fichier .brf ; fr : braille ASCII du Code Français ;\n"
    "      unicode : braille Unicode en UTF-8, aux mêmes fins de ligne ; pef :\n"
    "      les pages telles qu'embossées (marges, entête, pied de page), au format\n"
    "      PEF, avec les options de mise en page d'embosser et le titre T (par\n"
    "      défaut le nom du document) ; brf-pages : ces mêmes pages en braille\n"
    "      ASCII américain, chacune finie par un saut de page (FF). SORTIE « - »\n"
    "      écrit sur la sortie standard.\n"
    "  noir DOC.dtv\n"
    "      Écrit le texte en noir du document (UTF-8) sur la sortie standard.\n"
    "  info DOC.dtv\n"
    "      Décrit le document : version, format de page, police, marqueurs, pages.\n"
    "  embosser DOC.dtv (--imprimante FILE | --fichier F) [--pages A-B] [--copies N]\n"
    "           [--code us|fr] [--lignes N] [--caracteres N] [--marge-haut N]\n"
    "           [--marge-gauche N] [--attente S]\n"
    "      Embosse le document : chaque page composée (marges, entête, lignes,\n"
    "      pied de page), un travail brut par copie, vers la file d'impression\n"
    "      FILE ou dans le fichier F. Par défaut : toutes les pages, une copie,\n"
    "      Code US, le format de page du document, marges nulles ; la file a\n"
    "      S secondes (120) pour recevoir chaque travail.\n"
    "  demo [TEXTE] [--cpl N]\n"
    "      Transcrit TEXTE, l'affiche en points braille et le relit en noir.\n"
    "\n"
    "Formats de fichier :\n"
    "  .dtv   document DotavoB\n"
    "  .brf   braille ASCII américain (Code US), lignes finies par CR LF, pages par FF\n"
    "  .pef   Portable Embosser Format 2008-1, pages en braille Unicode\n"
    "Partout où une commande lit un document DOC, un fichier .brf ou .pef se lit\n"
    "comme l'importerait « importer ».\n"
    "\n"
    "Une option donnée plusieurs fois prend sa dernière valeur.\n";

struct Erreur {
    std::string message;
};

[[noreturn]] void echoue(const std::string& message) { throw Erreur{message}; }

// Options "--nom valeur" anywhere after the command; given twice, the last
// one counts, as a later word on a command line usually overrides an earlier one.
struct Arguments {
    std::vector<std::string> positionnels;
    std::vector<std::pair<std::string, std::string>> options;

    std::optional<std::string> option(const std::string& nom) const {
        for (auto o = options.rbegin(); o != options.rend(); ++o)
            if (o->first == nom) return o->second;
        return std::nullopt;
    }
    int entier(const std::string& nom, int defaut, int min, int max) const {
        auto v = option(nom);
        if (!v) return defaut;
        std::size_t fin = 0;
        int n = 0;
        try {
            n = std::stoi(*v, &fin);
        } catch (const std::exception&) {
            fin = 0;
        }
        if (fin == 0 || fin != v->size()) echoue("« " + extrait(*v) + " » n'est pas une valeur entière correcte pour " + nom + ".");
        if (n < min || n > max)
            echoue(nom + " doit être compris entre " + std::to_string(min) + " et " + std::to_string(max) + ".");
        return n;
    }
};

Arguments analyse(int argc, char** argv, std::size_t minimum, std::size_t maximum, const std::vector<std::string>& permises) {
    Arguments a;
    for (int i = 2; i < argc; ++i) {
        std::string s = argv[i];
        if (s.size() > 2 && s.rfind("--", 0) == 0) {
            bool connue = false;
            for (const auto& p : permises) connue = connue || p == s;
            if (!connue) echoue("option inconnue « " + extrait(s) + " » (voir --help).");
            if (i + 1 >= argc) echoue("l'option " + s + " attend une valeur.");
            a.options.emplace_back(s, argv[++i]);
        } else {
            a.positionnels.push_back(s);
        }
    }
    if (a.positionnels.size() < minimum || a.positionnels.size() > maximum) echoue("nombre d'arguments incorrect (voir --help).");
    return a;
}

// A document as the editor shows it after opening it: its own format
// applied, the whole text re-wrapped to it.
struct DocumentOuvert {
    ContenuDocument contenu;
    FormatPage format;
    DocumentBraille document{format};
    EditeurBraille editeur{document};
};

// A .brf or .pef file opens as a document too; a .txt is Braille ASCII
// only when "importer" is asked to read it.
bool estFichierEchange(const std::string& chemin) {
    if (formatEchangeDe(chemin) == FormatEchange::Aucun) return false;
    std::string fin = chemin.substr(chemin.size() - 4);
    for (char& c : fin) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return fin != ".txt";
}

void ouvre(const std::string& chemin, DocumentOuvert& d) {
    ResultatLecture r = estFichierEchange(chemin) ? chargeEchange(chemin, chargeformat(std::nullopt))
                                                  : chargeDtv(chemin, chargeformat(std::nullopt));
    if (!r.ok) echoue(r.erreur);
    d.contenu = std::move(r.contenu);
    d.format = d.contenu.format;
    d.format.derive();
    d.editeur.charge(std::move(d.contenu.texte), std::move(d.contenu.marqueurs));
    d.editeur.recoupeDocument(false);
    d.editeur.allerPage(1);
}

void ecrit(const std::string& chemin, const std::string& octets) {
    if (chemin == "-") {
        std::cout.write(octets.data(), static_cast<std::streamsize>(octets.size()));
        std::cout.flush();
        if (!std::cout) echoue("impossible d'écrire sur la sortie standard.");
        return;
    }
    std::string erreur;
    if (!ecritFichierAtomique(chemin, octets, erreur)) echoue(erreur);
}

// A document: never one that no reader would open again.
void ecritDocument(const std::string& chemin, ContenuDocument&& c) {
    const std::string octets = ecritDtv(std::move(c));
    std::string erreur;
    if (!documentAdmis(octets.size(), chemin, erreur)) echoue(erreur);
    ecrit(chemin, octets);
}

int transcrire(const Arguments& a) {
    const std::string& entree = a.positionnels[0];
    FormatPage format = chargeformat(std::nullopt);
    format.entete.active = false;
    format.pied.active = false;
    format.setCaracteres(a.entier("--cpl", 30, 10, 50));
    format.setLignes(a.entier("--lignes", 28, 10, 60));
    format.derive();
    // Read, transcribed and written a piece at a time, into the new file
    // itself: nobody undoes a command, so no document and no journal.
    BilanTranscription bilan;
    const std::string& sortie = a.positionnels[1];
    std::string erreur;
    const Production production = [&](SortieOctets& octets, std::string& e) {
        return transcritFichier(entree, format, octets, bilan, e, sortie);
    };
    if (sortie == "-") {
        std::string octets;
        SortieMemoire memoire(octets);
        if (!production(memoire, erreur)) echoue(erreur);
        ecrit(sortie, octets);
    } else if (!ecritFichierAtomique(sortie, production, erreur)) {
        echoue(erreur);
    }
    // What was lost on the way is said once; the document is written all the same.
    if (bilan.invalides > 0)
        std::cerr << "dotavob-cli : " << bilan.invalides
                  << (bilan.invalides > 1 ? " octets invalides en UTF-8 ont été remplacés"
                                    : " octet invalide en UTF-8 a été remplacé")
                  << " par « ? ».\n";
    if (!bilan.omissions.empty()) std::cerr << "dotavob-cli : " << bilan.omissions << ".\n";
    if (bilan.remplaces.nombre > 0) {
        std::cerr << "dotavob-cli : " << bilan.remplaces.nombre
                  << (bilan.remplaces.nombre > 1 ? " caractères sans équivalent dans le jeu de caractères du document ont été "
                                             "remplacés par « ? » :"
                                           : " caractère sans équivalent dans le jeu de caractères du document a été "
                                             "remplacé par « ? » :");
        for (char32_t ch : bilan.remplaces.caracteres) {
            std::string u;
            ajouteUtf8(u, ch);
            std::cerr << ' ' << u;
        }
        std::cerr << "\n";
    }
    if (bilan.omis.nombre > 0) {
        std::cerr << "dotavob-cli : " << bilan.omis.nombre
                  << (bilan.omis.nombre > 1 ? " caractères sans équivalent braille ont été omis :"
                                      : " caractère sans équivalent braille a été omis :");
        for (char ch : bilan.omis.caracteres) {
            // A control character is named, since it shows nothing.
            const Octet b = oct(ch);
            const char* hex = "0123456789ABCDEF";
            std::cerr << ' '
                      << (b < 0x20 || b == 0x7F ? std::string("U+00") + hex[b >> 4] + hex[b & 15]
                                                : cp1252VersUtf8(std::string(1, ch)));
        }
        std::cerr << "\n";
    }
    return 0;
}

// The page layout that embossing and the PEF export share: the document's
// own format unless the options say otherwise.
ReglagesEmbossage miseEnPage(const Arguments& a, const DocumentOuvert& d) {
    ReglagesEmbossage r;
    r.lignesParPage = a.entier("--lignes", lignesPhysiques(d.format), 1, 255);
    r.caracteresParLigne = a.entier("--caracteres", d.format.cpl, 1, 255);
    r.margeHaut = a.entier("--marge-haut", 0, 0, r.lignesParPage - 1);
    r.margeGauche = a.entier("--marge-gauche", 0, 0, r.caracteresParLigne - 1);
    return r;
}

// The file's name without its folder and extension.
std::string nomSansExtension(const std::string& chemin) {
    const auto barre = chemin.find_last_of("/\\");
    std::string nom = barre == std::string::npos ? chemin : chemin.substr(barre + 1);
    const auto point = nom.find_last_of('.');
    return point == std::string::npos || point == 0 ? nom : nom.substr(0, point);
}

int exporter(const Arguments& a) {
    const std::string code = a.option("--code").value_or("us");
    if (code != "us" && code != "fr" && code != "unicode" && code != "pef" && code != "brf-pages")
        echoue("--code attend « us », « fr », « unicode », « pef » ou « brf-pages ».");
    const bool pages = code == "pef" || code == "brf-pages";
    if (!pages)
        for (const char* o : {"--lignes", "--caracteres", "--marge-haut", "--marge-gauche"})
            if (a.option(o)) echoue(std::string("l'option ") + o + " ne vaut que pour --code pef ou brf-pages.");
    if (code != "pef" && a.option("--titre")) echoue("l'option --titre ne vaut que pour --code pef.");
    DocumentOuvert d;
    ouvre(a.positionnels[0], d);
    const std::string texte = d.document.texte();
    if (code == "pef") {
        const ReglagesEmbossage r = miseEnPage(a, d);
        const MetaPef meta = metaPef(a.option("--titre").value_or(nomSansExtension(a.positionnels[0])), texte);
        ecrit(a.positionnels[1], exportePef(d.document, d.format, r, meta));
    } else if (code == "brf-pages") {
        ReglagesEmbossage r = miseEnPage(a, d);
        r.codeUS = true;
        ecrit(a.positionnels[1], exporteBrfPages(d.document, d.format, r));
    } else if (code == "unicode") {
        ecrit(a.positionnels[1], ExporteUnicode(texte, d.document.marqueurs()));
    } else {
        ecrit(a.positionnels[1], Exporte(texte, d.document.marqueurs(), code == "fr"));
    }
    return 0;
}

int importer(const Arguments& a) {
    const std::string& entree = a.positionnels[0];
    if (formatEchangeDe(entree) == FormatEchange::Aucun)
        echoue("« " + entree + " » : format inconnu ; importer lit les fichiers .brf, .txt (braille ASCII ou Unicode) et .pef.");
    FormatPage format = chargeformat(std::nullopt);
    format.setCaracteres(a.entier("--cpl", 30, 10, 50));
    format.setLignes(a.entier("--lignes", 28, 10, 60));
    format.derive();
    ResultatLecture r = chargeEchange(entree, format);
    if (!r.ok) echoue(r.erreur);
    ecritDocument(a.positionnels[1], std::move(r.contenu));
    if (!r.avertissement.empty()) std::cerr << "dotavob-cli : " << r.avertissement << "\n";
    return 0;
}

int embosser(const Arguments& a) {
    const auto imprimante = a.option("--imprimante"), fichier = a.option("--fichier");
    if (imprimante.has_value() == fichier.has_value()) echoue("embosser attend --imprimante FILE ou --fichier F.");
    const std::string code = a.option("--code").value_or("us");
    if (code != "us" && code != "fr") echoue("--code attend « us » ou « fr ».");
    DocumentOuvert d;
    ouvre(a.positionnels[0], d);
    ReglagesEmbossage r = miseEnPage(a, d);
    r.codeUS = code == "us";
    TravailEmbossage t;
    t.imprimante = imprimante.value_or(fichier.value_or(""));
    t.nomDocument = "Dotavo Embossage de " + a.positionnels[0];
    t.copies = a.entier("--copies", 1, 0, 1000);
    if (const auto pages = a.option("--pages")) {
        const auto tiret = pages->find('-');
        try {
            t.premiere = std::stoi(pages->substr(0, tiret));
            t.derniere = tiret == std::string::npos ? t.premiere : std::stoi(pages->substr(tiret + 1));
        } catch (const std::exception&) {
            echoue("--pages attend A-B, par exemple 2-5.");
        }
        if (t.premiere < 1 || t.derniere < 1) echoue("--pages attend des numéros de page à partir de 1.");
    }
    if (const std::int32_t lignes = lignesDeLaPlusLonguePage(d.document, d.format, r, t.premiere, t.derniere);
        lignes > r.lignesParPage)
        std::cerr << "dotavob-cli : attention, des pages composées comptent " << lignes << " lignes, plus que les " << r.lignesParPage
                  << " lignes par page de l'embosseuse ; elles déborderont sur la feuille suivante.\n";
    SpouleurFichier versFichier;
    const auto systeme = spouleurSysteme(a.entier("--attente", 120, 1, 3600));
    SpouleurBrut& spouleur = fichier ? static_cast<SpouleurBrut&>(versFichier) : *systeme;
    const std::string erreur = embosse(d.document, d.format, r, t, spouleur);
    if (!erreur.empty()) echoue(erreur);
    return 0;
}

// Ends a command that only read a document, once what it printed is out.
// The book's memory then goes back to the system whole, with the process:
// handed back piece by piece first, it cost more than the rest of the
// command's end (each piece handed back is also withdrawn from the other
// core, which worked on the book too). Built with the sanitizers, it
// returns, so that every piece is freed and the leak check sees them.
#if defined(__SANITIZE_ADDRESS__)
#define SOUS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOUS_SANITIZER 1
#endif
#endif
void termineLecture() {
    if (!std::cout.flush()) echoue("impossible d'écrire sur la sortie standard.");
#if !defined(SOUS_SANITIZER)
    std::_Exit(0);
#endif
}

int noir(const Arguments& a) {
    DocumentOuvert d;
    ouvre(a.positionnels[0], d);
    ecrit("-", cp1252VersUtf8(BrailleVersNoir(d.document.texte(), &d.document.marqueurs())));
    termineLecture();
    return 0;
}

std::string bande(const Bande& b) {
    if (!b.active) return "non";
    const char* alignement = b.alignement == Alignement::Centre ? "centré" : b.alignement == Alignement::Droite ? "à droite" : "à gauche";
    return "« " + cp1252VersUtf8(b.texte) + " », " + alignement + ", à partir de la page " + std::to_string(b.premierePage);
}

int info(const Arguments& a) {
    DocumentOuvert d;
    ouvre(a.positionnels[0], d);
    const FormatPage& f = d.format;
    std::cout << "version: " << d.contenu.version << "\n"
              << "lignes par page: " << f.lignes << "\n"
              << "caractères par ligne: " << f.caracteres << "\n"
              << "indentation: " << int(f.indentation) << "\n"
              << "interligne double: " << (f.interligneDouble ? "oui" : "non") << "\n"
              << "entête: " << bande(f.entete) << "\n"
              << "pied de page: " << bande(f.pied) << "\n"
              << "police: " << cp1252VersUtf8(d.contenu.fonte) << "\n"
              << "marqueurs: " << d.document.marqueurs().taille() << "\n"
              << "pages: " << d.document.nbPages() << "\n";
    termineLecture();
    return 0;
}

// Each cell as its Unicode braille character, each line end a line end.
std::string cellulesUnicode(const std::string& braille) {
    std::string r;
    for (char ch : braille) {
        if (estFinDeLigne(oct(ch)))
            r += '\n';
        else
            ajouteUtf8(r, brailleUnicode(oct(ch)));
    }
    return r;
}

int demo(const Arguments& a) {
    const std::string texte = a.positionnels.empty()
                                  ? "Le 14 juillet, l'ONU publie 12 rapports : « Paris » coûte 3,5 % de plus !"
                                  : a.positionnels[0];
    const std::string braille = Transcrire(utf8VersCp1252(texte), 1, a.entier("--cpl", 30, 10, 50));
    std::cout << "Noir :    " << texte << "\nBraille :\n"
              << cellulesUnicode(braille) << "\nRelu :    " << cp1252VersUtf8(BrailleVersNoir(braille)) << "\n";
    return 0;
}

int lance(const std::string& commande, int argc, char** argv) {
    if (commande == "--help" || commande == "-h" || commande == "aide") {
        std::cout << AIDE;
        return 0;
    }
    if (commande == "transcrire") return transcrire(analyse(argc, argv, 2, 2, {"--cpl", "--lignes"}));
    if (commande == "exporter")
        return exporter(analyse(argc, argv, 2, 2,
                                {"--code", "--titre", "--lignes", "--caracteres", "--marge-haut", "--marge-gauche"}));
    if (commande == "importer") return importer(analyse(argc, argv, 2, 2, {"--cpl", "--lignes"}));
    if (commande == "noir") return noir(analyse(argc, argv, 1, 1, {}));
    if (commande == "embosser")
        return embosser(analyse(argc, argv, 1, 1,
                                {"--imprimante", "--fichier", "--pages", "--copies", "--code", "--lignes", "--caracteres",
                                 "--marge-haut", "--marge-gauche", "--attente"}));
    if (commande == "info") return info(analyse(argc, argv, 1, 1, {}));
    if (commande == "demo") return demo(analyse(argc, argv, 0, 1, {"--cpl"}));
    std::cerr << "dotavob-cli : " << (commande.empty() ? "commande manquante" : "commande inconnue « " + extrait(commande) + " »")
              << " (voir --help).\n";
    return 2;
}

#ifdef _WIN32

// The arguments as Windows holds them (UTF-16), in UTF-8 like every name in
// the program: argv has them in the ANSI code page, which loses most scripts.
class ArgumentsUtf8 {
public:
    ArgumentsUtf8(int& argc, char**& argv) {
        int n = 0;
        LPWSTR* larges = ::CommandLineToArgvW(::GetCommandLineW(), &n);
        if (!larges) return;
        for (int i = 0; i < n; ++i) {
            const int longueur = static_cast<int>(std::wcslen(larges[i]));
            const int taille = ::WideCharToMultiByte(CP_UTF8, 0, larges[i], longueur, nullptr, 0, nullptr, nullptr);
            textes_.emplace_back(static_cast<std::size_t>(std::max(taille, 0)), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, larges[i], longueur, textes_.back().data(), taille, nullptr, nullptr);
        }
        ::LocalFree(larges);
        for (auto& t : textes_) pointeurs_.push_back(t.data());
        pointeurs_.push_back(nullptr);
        argc = n;
        argv = pointeurs_.data();
    }

private:
    std::vector<std::string> textes_;
    std::vector<char*> pointeurs_;
};

// A console is written in UTF-16, so that accents show whatever its code
// page. UTF-8 split between two writes waits for the rest of its character.
class SortieConsole : public std::streambuf {
public:
    explicit SortieConsole(HANDLE h) : h_(h) {}

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) attente_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        attente_.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override {
        std::size_t fin = attente_.size();
        for (std::size_t k = 1; k <= 3 && k <= attente_.size(); ++k) {
            const auto b = static_cast<unsigned char>(attente_[attente_.size() - k]);
            if ((b & 0xC0) == 0x80) continue;
            if ((b >= 0xF0 ? 4u : b >= 0xE0 ? 3u : b >= 0xC0 ? 2u : 1u) > k) fin -= k;
            break;
        }
        const int n = ::MultiByteToWideChar(CP_UTF8, 0, attente_.data(), static_cast<int>(fin), nullptr, 0);
        std::wstring texte(static_cast<std::size_t>(std::max(n, 0)), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, attente_.data(), static_cast<int>(fin), texte.data(), n);
        attente_.erase(0, fin);
        for (std::size_t fait = 0; fait < texte.size();) {
            DWORD ecrits = 0;
            if (!::WriteConsoleW(h_, texte.data() + fait, static_cast<DWORD>(texte.size() - fait), &ecrits, nullptr) || ecrits == 0)
                return -1;
            fait += ecrits;
        }
        return 0;
    }

private:
    HANDLE h_;
    std::string attente_;
};

// A file or a pipe gets the bytes as they are, as on Linux: binary mode, no
// CR added before each LF (Braille exports carry their own CR LF).
void prepareSorties() {
    const struct {
        std::ostream& flux;
        DWORD quelle;
        FILE* fichier;
    } sorties[] = {{std::cout, STD_OUTPUT_HANDLE, stdout}, {std::cerr, STD_ERROR_HANDLE, stderr}};
    for (const auto& s : sorties) {
        const HANDLE h = ::GetStdHandle(s.quelle);
        DWORD mode = 0;
        if (h != INVALID_HANDLE_VALUE && h != nullptr && ::GetConsoleMode(h, &mode))
            s.flux.rdbuf(new SortieConsole(h));  // never freed: the streams are flushed after main
        else
            ::_setmode(::_fileno(s.fichier), _O_BINARY);
    }
}

#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    const ArgumentsUtf8 utf8(argc, argv);
    prepareSorties();
#endif
    const std::string commande = argc > 1 ? argv[1] : "";
    try {
        const int code = lance(commande, argc, argv);
        // What could not reach standard output (a full disk, a closed file)
        // is a failure: a script must not take a truncated result for a good one.
        if (code == 0 && !std::cout.flush()) echoue("impossible d'écrire sur la sortie standard.");
        return code;
    } catch (const Erreur& e) {
        std::cerr << "dotavob-cli : " << e.message << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // Every output is written whole at the end: nothing was.
        std::cerr << "dotavob-cli : mémoire insuffisante pour « " << extrait(commande)
                  << " » ; rien n'a été écrit.\n";
        return 1;
    }
}
