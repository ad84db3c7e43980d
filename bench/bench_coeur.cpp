// Speed of the Braille core on book-length documents.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/editeur/editeur.h"
#include "core/fichiers/brf.h"
#include "core/fichiers/dtv.h"
#include "core/fichiers/echange.h"
#include "core/fichiers/importation.h"
#include "core/fichiers/pef.h"
#include "core/fichiers/rtf.h"
#include "core/fichiers/transcriptionfichier.h"
#include "core/memoire/parallele.h"
#include "core/noir/noir.h"
#include "core/sorties/export.h"
#include "core/sorties/pef.h"
#include "core/transcription/transcription.h"
#include "livres.h"

using namespace dotavob;

namespace {

// A French print text of about `octets` bytes, in paragraphs.
std::string texteFrancais(std::size_t octets) {
    std::string t;
    for (std::size_t i = 0; t.size() < octets; ++i) {
        t += phrases[i % 5];
        if (i % 4 == 3) t += "\r\n";
    }
    return t;
}

// A Braille document of `pages` pages of 28 lines of at most 30 cells, made of
// paragraphs wrapped as the editor wraps them.
std::string documentBraille(int pages) {
    const std::string paragraphe = Transcrire(texteFrancais(200).substr(0, 170), 1, 1000);
    std::string plat;
    for (char c : paragraphe)
        if (c != '\r' && c != '\n') plat += c;
    std::int32_t lignes = 0;
    const std::string coupe = CoupeParagraphe(plat, 30, &lignes);
    std::string t;
    const std::int64_t voulues = static_cast<std::int64_t>(pages) * 28;
    for (std::int64_t l = 0; l < voulues; l += lignes) t += coupe + "\r";
    return t;
}

// Types a cell in the middle of a paragraph in the middle of the document,
// then deletes it: two keystrokes per iteration.
void tapeEtEfface(EditeurBraille& e, benchmark::State& state, std::int32_t milieu = 0) {
    DocumentBraille& d = e.document();
    if (milieu == 0) milieu = d.debutParagraphe(d.longueur() / 2) + 40;
    for (auto _ : state) {
        d.remplace(milieu, milieu, "a");
        e.placeCurseur(d.pointDe(milieu + 1));
        d.remplace(milieu, milieu + 1, "");
        e.placeCurseur(d.pointDe(milieu));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}

std::string texteTechnique(std::size_t octets);

// 4 MiB of plain French (0), or of technical text whose long words are cut (1).
void BM_Transcrire(benchmark::State& state) {
    const std::string noir = state.range(0) ? texteTechnique(4 << 20) : texteFrancais(4 << 20);
    for (auto _ : state) {
        std::string b = Transcrire(noir, 1, 30);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(noir.size()));
}
BENCHMARK(BM_Transcrire)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A book transcribed into the text of a document, as the command line
// transcribes a file: both halves at once, then wrapped (technical text).
void BM_TranscritEnDocument(benchmark::State& state) {
    const std::string noir = texteTechnique(8 << 20);
    for (auto _ : state) {
        std::string b = TranscritEnDocument(noir, 30);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(noir.size()));
}
BENCHMARK(BM_TranscritEnDocument)->Unit(benchmark::kMillisecond);

// 8 MiB of French text imported as a text file: UTF-8 (0), code page 1252 (1).
void BM_ImporteTexte(benchmark::State& state) {
    const std::string cp1252 = texteTechnique(8 << 20);
    const std::string contenu = state.range(0) ? cp1252 : cp1252VersUtf8(cp1252);
    for (auto _ : state) {
        std::string t = texteImporte(contenu, "livre.txt");
        benchmark::DoNotOptimize(t.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(contenu.size()));
}
BENCHMARK(BM_ImporteTexte)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BrailleVersNoir(benchmark::State& state) {
    const std::string braille = Transcrire(texteFrancais(4 << 20), 1, 30);
    for (auto _ : state) {
        std::string n = BrailleVersNoir(braille);
        benchmark::DoNotOptimize(n.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(braille.size()));
}
BENCHMARK(BM_BrailleVersNoir)->Unit(benchmark::kMillisecond);

// One keystroke in the middle of the document: the replacement (journal,
// text, markers, re-wrap, repaint notice) and the caret's page. Each
// iteration types a cell and deletes it again: two keystrokes.
void BM_FrappeAuMilieu(benchmark::State& state) {
    FormatPage f;
    DocumentBraille d(f);
    EditeurBraille e(d);
    e.initialise(documentBraille(static_cast<int>(state.range(0))));
    // A few markers, as a real book has: centred titles, indented paragraphs.
    for (std::int32_t p = 1; p < d.longueur(); p += d.longueur() / 40)
        d.marqueurs().ajouteBrut({d.debutParagraphe(p), d.finParagraphe(p) - 1, MARQUEUR_CENTRE, 0});
    tapeEtEfface(e, state);
    state.counters["pages"] = d.nbPages();
}
BENCHMARK(BM_FrappeAuMilieu)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same document with a page break after every 26 lines.
std::string avecSautsDePage(const std::string& t) {
    std::string r;
    int lignes = 0;
    for (char c : t) {
        r += c;
        if (estFinDeLigne(oct(c)) && ++lignes % 26 == 0) r += '\f';
    }
    return r;
}

// With a page break closing every page, the page index has one segment per page.
void BM_FrappeAvecSautsDePage(benchmark::State& state) {
    FormatPage f;
    f.nbLignesTexte = 27;  // 26 lines and the FF line
    DocumentBraille d(f);
    EditeurBraille e(d);
    e.initialise(avecSautsDePage(documentBraille(static_cast<int>(state.range(0)))));
    tapeEtEfface(e, state);
    state.counters["pages"] = d.nbPages();
}
BENCHMARK(BM_FrappeAvecSautsDePage)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Typing that wraps: a whole word typed at the end of a line moves down and
// back, so the line count and the page index change at every keystroke.
void BM_FrappeQuiRecoupe(benchmark::State& state) {
    FormatPage f;
    f.nbLignesTexte = 27;
    DocumentBraille d(f);
    EditeurBraille e(d);
    const std::string t = documentBraille(static_cast<int>(state.range(0)));
    e.initialise(state.range(1) ? avecSautsDePage(t) : t);
    const std::int32_t p = d.debutParagraphe(d.longueur() / 2);
    const std::int32_t finLigne = d.ligne(d.pointDe(p).ligne).fin + 1;
    for (auto _ : state) {
        d.remplace(finLigne - 1, finLigne - 1, "xxxxxxx");
        e.placeCurseur(d.pointDe(finLigne + 6));
        d.remplace(finLigne - 1, finLigne + 6, "");
        e.placeCurseur(d.pointDe(finLigne - 1));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_FrappeQuiRecoupe)
    ->Args({10, 0})->Args({1000, 0})->Args({10000, 0})->Args({10, 1})->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);

// Typing 10,000 characters one by one, as keys, in a 1,000-page book: at its
// end (argument 0) or in the middle of a paragraph in its middle (1).
void BM_Frappe10000Caracteres(benchmark::State& state) {
    const std::string livre = documentBraille(1000);
    const std::string texte = texteFrancais(10000).substr(0, 10000);
    FormatPage f;
    for (auto _ : state) {
        state.PauseTiming();
        DocumentBraille d(f);
        EditeurBraille e(d);
        e.initialise(livre);
        const std::int32_t p = state.range(0) ? d.debutParagraphe(d.longueur() / 2) + 40 : d.longueur() + 1;
        e.placeCurseur(d.pointDe(p));
        state.ResumeTiming();
        for (char c : texte) {
            if (c == '\r')
                e.toucheRelachee(touches::ENTREE);
            else if (c != '\n')
                e.caractereFrappe(oct(c));
        }
        benchmark::DoNotOptimize(d.longueur());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
}
BENCHMARK(BM_Frappe10000Caracteres)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole-document re-wrap of a 1,000-page book, as after a change of the
// characters per line (alternating 30 and 28, so that every pass works).
void BM_RecoupageDocument(benchmark::State& state) {
    FormatPage f;
    DocumentBraille d(f);
    d.initialise(documentBraille(static_cast<int>(state.range(0))));
    bool large = false;
    for (auto _ : state) {
        f.cpl = large ? 30 : 28;
        large = !large;
        d.recoupeDocument();
        d.journal().vide();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * d.longueur());
}
BENCHMARK(BM_RecoupageDocument)->Arg(1000)->Unit(benchmark::kMillisecond);

// Saving, opening and exporting a 1,000-page book (bytes only, no disk).
void BM_EcritEtLitDtv(benchmark::State& state) {
    ContenuDocument c;
    c.texte = documentBraille(1000);
    for (auto _ : state) {
        ResultatLecture r = litDtv(ecritDtv(c));
        benchmark::DoNotOptimize(r.contenu.texte.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(c.texte.size()));
}
BENCHMARK(BM_EcritEtLitDtv)->Unit(benchmark::kMillisecond);

// A technical French text of about `octets` bytes: file names, settings and
// words wider than a 30-cell line, which the wrap cuts (VT).
std::string texteTechnique(std::size_t octets) {
    static const char* const phrases[] = {
        "Le fichier /home/utilisatrice/documents/transcriptions/chapitre-douze.dtv est enregistr\xE9 chaque minute. ",
        "La variable ENREGISTREMENT_AUTOMATIQUE_DES_PREFERENCES vaut 1 par d\xE9" "faut. ",
        "Voir la section 3.2.1 du manuel d'installation pour les embosseuses en r\xE9seau. ",
        "Le param\xE8tre identifiant_anticonstitutionnellement_long sert aux essais de la semaine. ",
        "Ouvrez le menu Fichiers, puis Enregistrer sous, et choisissez le dossier des livres. ",
    };
    std::string t;
    for (std::size_t i = 0; t.size() < octets; ++i) {
        t += phrases[i % 5];
        if (i % 4 == 3) t += "\r\n";
    }
    return t;
}

// A 10,000-page book as the editor saves it (already wrapped to its
// format), and its file in a folder of its own; with `technique`, a book of
// about as many pages of technical text, whose long words are cut.
struct LivreSurDisque {
    ContenuDocument contenu;
    std::string fichier;
    std::string dossier, chemin;
    explicit LivreSurDisque(bool technique = false) {
        contenu.format.derive();
        DocumentBraille d(contenu.format);
        d.charge(technique ? Transcrire(texteTechnique(std::size_t{10000} * 28 * 25), 1, 30) : documentBraille(10000), {});
        d.recoupeDocument(false);
        contenu.texte = d.texte();
        fichier = ecritDtv(contenu);
        char modele[] = "/tmp/dotavob-bench-XXXXXX";
        if (!::mkdtemp(modele)) throw std::runtime_error("mkdtemp");
        dossier = modele;
        chemin = dossier + "/livre.dtv";
        std::string erreur;
        if (!ecritFichierAtomique(chemin, fichier, erreur)) throw std::runtime_error(erreur);
    }
    ~LivreSurDisque() {
        ::unlink(chemin.c_str());
        ::rmdir(dossier.c_str());
    }
};

// Opening it: its bytes copied in memory (0), the file read as any program
// reads a file, one read(2) into a buffer of its size (1), and the file
// opened as the editor opens it (2): read, checked, the whole document
// re-wrapped, the indexes built; with what the open document keeps in
// memory for each byte of its text. (3) is (2) for the technical book.
void BM_OuvreLivre(benchmark::State& state) {
    const LivreSurDisque livre(state.range(0) == 3);
    std::size_t memoire = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            std::string copie(livre.fichier);
            benchmark::DoNotOptimize(copie.data());
        } else if (state.range(0) == 1) {
            const int fd = ::open(livre.chemin.c_str(), O_RDONLY);
            struct stat st {};
            if (fd < 0 || ::fstat(fd, &st) != 0) {
                state.SkipWithError("lecture impossible");
                break;
            }
            std::unique_ptr<char[]> octets(new char[static_cast<std::size_t>(st.st_size)]);
            benchmark::DoNotOptimize(::read(fd, octets.get(), static_cast<std::size_t>(st.st_size)));
            ::close(fd);
        } else {
            const std::size_t avant = mallinfo2().uordblks;
            ResultatLecture r = chargeDtv(livre.chemin);
            DocumentBraille d(r.contenu.format);
            d.charge(std::move(r.contenu.texte), std::move(r.contenu.marqueurs));
            d.recoupeDocument(false);
            benchmark::DoNotOptimize(d.nbPages());
            memoire = mallinfo2().uordblks - avant;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(livre.fichier.size()));
    if (state.range(0) >= 2)
        state.counters["memoire_par_octet"] = static_cast<double>(memoire) / static_cast<double>(livre.contenu.texte.size());
}
BENCHMARK(BM_OuvreLivre)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// What a split in two halves costs beyond its work, which each half does
// for the time given (µs): a thread started and moved to the other core,
// the caller's wait for it. Each book opened, imported or transcribed pays
// it once or twice.
void BM_DeuxALaFois(benchmark::State& state) {
    using Horloge = std::chrono::steady_clock;
    const auto travail = std::chrono::microseconds(state.range(0));
    const auto occupe = [travail] {
        for (const auto fin = Horloge::now() + travail; Horloge::now() < fin;) {
        }
    };
    double surcout = 0;
    for (auto _ : state) {
        const auto debut = Horloge::now();
        deuxALaFois(occupe, occupe);
        surcout += std::chrono::duration<double, std::micro>(Horloge::now() - debut - travail).count();
    }
    state.counters["surcout_us"] = surcout / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DeuxALaFois)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Saving it: the bytes written as any program writes a file, then synced
// (0), and saved as the editor saves (1): the file's bytes made, written to
// a new file beside it, synced, renamed over the old one.
void BM_EnregistreLivre(benchmark::State& state) {
    const LivreSurDisque livre;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            const int fd = ::open(livre.chemin.c_str(), O_WRONLY | O_TRUNC);
            if (fd < 0) {
                state.SkipWithError("écriture impossible");
                break;
            }
            benchmark::DoNotOptimize(::write(fd, livre.fichier.data(), livre.fichier.size()));
            ::fsync(fd);
            ::close(fd);
        } else {
            std::string erreur;
            if (!enregistreDtv(livre.chemin, livre.contenu, erreur)) state.SkipWithError(erreur.c_str());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(livre.fichier.size()));
}
BENCHMARK(BM_EnregistreLivre)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A text file of 8 MiB of technical French in UTF-8 transcribed as the
// command line does it: into memory (0), and into a document file, synced
// and renamed over the last one (1).
void BM_TranscritFichier(benchmark::State& state) {
    char modele[] = "/tmp/dotavob-bench-XXXXXX";
    if (!::mkdtemp(modele)) throw std::runtime_error("mkdtemp");
    const std::string dossier = modele, entree = dossier + "/livre.txt", sortie = dossier + "/livre.dtv";
    const std::string contenu = cp1252VersUtf8(texteTechnique(8 << 20));
    std::string erreur;
    if (!ecritFichierAtomique(entree, contenu, erreur)) throw std::runtime_error(erreur);
    FormatPage format;
    format.setCaracteres(30);
    format.derive();
    BilanTranscription bilan;
    const Production production = [&](SortieOctets& s, std::string& e) {
        return transcritFichier(entree, format, s, bilan, e, sortie);
    };
    std::string octets;
    for (auto _ : state) {
        SortieMemoire memoire(octets);
        if (!(state.range(0) ? ecritFichierAtomique(sortie, production, erreur) : production(memoire, erreur))) {
            state.SkipWithError(erreur.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(contenu.size()));
    ::unlink(entree.c_str());
    ::unlink(sortie.c_str());
    ::rmdir(dossier.c_str());
}
BENCHMARK(BM_TranscritFichier)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExporteCodeUS(benchmark::State& state) {
    const std::string texte = documentBraille(1000);
    TgestionnaireMarqueurs m;
    m.ajouteBrut({100, 5000, MARQUEUR_RETOURNE, 0});
    for (auto _ : state) {
        std::string e = Exporte(texte, m, false);
        benchmark::DoNotOptimize(e.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(texte.size()));
}
BENCHMARK(BM_ExporteCodeUS)->Unit(benchmark::kMillisecond);

// A Braille ASCII file of `pages` pages as other programs write them: 28
// lines of at most 30 cells, each ended by CR LF, each page by FF.
std::string livreBrf(int pages) {
    TgestionnaireMarqueurs aucun;
    const std::string lignes = Exporte(documentBraille(pages), aucun, false);
    std::string brf;
    int n = 0;
    for (std::size_t i = 0; i < lignes.size() && n < pages * 28;) {
        const std::size_t fin = lignes.find("\r\n", i);
        brf.append(lignes, i, fin - i + 2);
        if (++n % 28 == 0) brf += '\f';
        i = fin + 2;
    }
    return brf;
}

// Opening a 500-page .brf: read (0), or read and opened as the editor opens
// it, the document built and re-wrapped to its format (1).
void BM_OuvreBrf(benchmark::State& state) {
    const std::string brf = livreBrf(500);
    std::int32_t pages = 0;
    for (auto _ : state) {
        ResultatLecture r = litBrf(brf);
        if (state.range(0)) {
            DocumentBraille d(r.contenu.format);
            d.charge(std::move(r.contenu.texte), {});
            d.recoupeDocument(false);
            pages = d.nbPages();
        }
        benchmark::DoNotOptimize(r.contenu.texte.data());
    }
    if (state.range(0)) state.counters["pages"] = pages;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(brf.size()));
}
BENCHMARK(BM_OuvreBrf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A 500-page book written as PEF (each page composed as for embossing) and read back.
void BM_EcritEtLitPef(benchmark::State& state) {
    FormatPage f;
    f.derive();
    DocumentBraille d(f);
    d.charge(documentBraille(500), {});
    ReglagesEmbossage r;
    const MetaPef meta{"urn:bench", "Livre", "2024-01-01", "fr"};
    std::int64_t octets = 0;
    for (auto _ : state) {
        const std::string pef = exportePef(d, f, r, meta);
        ResultatLecture lu = litPef(pef);
        benchmark::DoNotOptimize(lu.contenu.texte.data());
        octets += static_cast<std::int64_t>(pef.size());
    }
    state.SetBytesProcessed(octets);
}
BENCHMARK(BM_EcritEtLitPef)->Unit(benchmark::kMillisecond);

// The process's resident memory, in bytes, now ("VmRSS") or at its peak
// since the peak was last reset ("VmHWM").
std::size_t memoireResidente(const char* champ) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char ligne[256];
    std::size_t ko = 0;
    const std::size_t n = std::strlen(champ);
    while (std::fgets(ligne, sizeof ligne, f))
        if (std::strncmp(ligne, champ, n) == 0 && ligne[n] == ':') ko = std::strtoull(ligne + n + 1, nullptr, 10);
    std::fclose(f);
    return ko * 1024;
}

// Importing a 4,000-page book as the editor does (the file read, then the
// document built and wrapped): as Braille ASCII (0), as PEF (1), and as a
// PEF of empty rows (2), where the markup is nearly all the file. The peak
// of resident memory the import adds, for each byte of the file, is taken
// once in a process of its own, as a user's import runs in a fresh editor
// (later imports reuse what the allocator kept).
void BM_ImporteEchange(benchmark::State& state) {
    std::string fichier;
    if (state.range(0) == 0) {
        fichier = livreBrf(4000);
    } else {
        FormatPage f;
        f.derive();
        DocumentBraille d(f);
        d.charge(state.range(0) == 1 ? documentBraille(4000) : std::string(4000 * 28, '\r'), {});
        fichier = exportePef(d, f, ReglagesEmbossage{}, MetaPef{"urn:bench", "Livre", "2024-01-01", "fr"});
    }
    char modele[] = "/tmp/dotavob-bench-XXXXXX";
    if (!::mkdtemp(modele)) throw std::runtime_error("mkdtemp");
    const std::string chemin = std::string(modele) + (state.range(0) ? "/livre.pef" : "/livre.brf");
    std::string erreur;
    if (!ecritFichierAtomique(chemin, fichier, erreur)) throw std::runtime_error(erreur);
    const auto taille = static_cast<double>(fichier.size());
    std::string().swap(fichier);
    auto importe = [&chemin] {
        ResultatLecture r = chargeEchange(chemin);
        if (!r.ok) return r.erreur;
        DocumentBraille d(r.contenu.format);
        d.charge(std::move(r.contenu.texte), {});
        d.recoupeDocument(false);
        benchmark::DoNotOptimize(d.nbPages());
        return std::string();
    };
    int tube[2];
    double pic = -1;
    if (::pipe(tube) == 0) {
        if (const pid_t fils = ::fork(); fils == 0) {
            // Free memory given back first, so that what the import takes shows.
            malloc_trim(0);
            if (std::FILE* remise = std::fopen("/proc/self/clear_refs", "w")) {  // the peak starts again from here
                std::fputs("5", remise);
                std::fclose(remise);
                const std::size_t avant = memoireResidente("VmRSS");
                const std::string e = importe();
                const double mesure = e.empty() ? static_cast<double>(memoireResidente("VmHWM") - avant) : -1;
                (void)!::write(tube[1], &mesure, sizeof mesure);
            }
            ::_exit(0);
        } else if (fils > 0) {
            ::close(tube[1]);
            if (::read(tube[0], &pic, sizeof pic) != sizeof pic) pic = -1;
            ::waitpid(fils, nullptr, 0);
        }
        ::close(tube[0]);
    }
    for (auto _ : state)
        if (const std::string e = importe(); !e.empty()) {
            state.SkipWithError(e.c_str());
            break;
        }
    ::unlink(chemin.c_str());
    ::rmdir(modele);
    state.counters["pic_par_octet"] = pic / taille;
    state.counters["Mo"] = taille / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(taille));
}
BENCHMARK(BM_ImporteEchange)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// dotavob-cli noir and exporter on a book of 80,000 paragraphs, with one
// marker per paragraph (argument 1) or none (0). Each pass starts from a
// fresh copy of the markers, as a document just opened.
void BM_NoirLivreMarque(benchmark::State& state) {
    const std::string livre = livreParagraphes(80000);
    const TgestionnaireMarqueurs marques = state.range(0) ? unMarqueurParParagraphe(livre) : TgestionnaireMarqueurs{};
    for (auto _ : state) {
        TgestionnaireMarqueurs m;
        for (const auto& x : marques.liste()) m.ajouteBrut(x);
        std::string n = BrailleVersNoir(livre, &m);
        benchmark::DoNotOptimize(n.data());
    }
    state.counters["marqueurs"] = static_cast<double>(marques.liste().size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(livre.size()));
}
BENCHMARK(BM_NoirLivreMarque)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExporterLivreMarque(benchmark::State& state) {
    const std::string livre = livreParagraphes(80000);
    const TgestionnaireMarqueurs marques = state.range(0) ? unMarqueurParParagraphe(livre) : TgestionnaireMarqueurs{};
    for (auto _ : state) {
        TgestionnaireMarqueurs m;
        for (const auto& x : marques.liste()) m.ajouteBrut(x);
        std::string e = Exporte(livre, m, false);
        benchmark::DoNotOptimize(e.data());
    }
    state.counters["marqueurs"] = static_cast<double>(marques.liste().size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(livre.size()));
}
BENCHMARK(BM_ExporterLivreMarque)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One keystroke, typed then deleted, in the middle of a book of
// range(0) pages: short paragraphs (range(1) = 0), one single paragraph (1),
// short paragraphs with a marker on every one (2). Returns a place in the
// middle of a line near the middle of the book.
std::int32_t chargeSelonLaForme(EditeurBraille& e, const benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    DocumentBraille& d = e.document();
    if (state.range(1) == 1) {
        e.initialise(livreUnSeulParagraphe(pages));
    } else {
        const std::string t = livreParagraphes(pages * 28 / 3);
        if (state.range(1) == 2)
            e.charge(t, unMarqueurParParagraphe(t).liste());
        else
            e.initialise(t);
    }
    std::int32_t milieu = d.longueur() / 2;
    while (milieu > 1 && (estFinDeLigne(d.octet(milieu)) || estFinDeLigne(d.octet(milieu - 1)))) --milieu;
    return milieu;
}

void BM_FrappeSelonLaForme(benchmark::State& state) {
    FormatPage f;
    DocumentBraille d(f);
    EditeurBraille e(d);
    const std::int32_t milieu = chargeSelonLaForme(e, state);
    // The first edit of a paragraph re-wraps it whole (its wrap is not known
    // yet); the loop measures the keystrokes that follow.
    d.remplace(milieu, milieu, "");
    tapeEtEfface(e, state, milieu);
    state.counters["pages"] = d.nbPages();
    state.counters["marqueurs"] = static_cast<double>(d.marqueurs().taille());
}
BENCHMARK(BM_FrappeSelonLaForme)
    ->Args({10, 0})->Args({10000, 0})->Args({10, 1})->Args({10000, 1})->Args({10, 2})->Args({10000, 2})
    ->Unit(benchmark::kMicrosecond);

// A letter typed in the middle of a book, then undone, then redone: with
// no marker (range(1) 0) or a marker on every paragraph (2), as above.
void BM_DefaitSelonLaForme(benchmark::State& state) {
    FormatPage f;
    DocumentBraille d(f);
    EditeurBraille e(d);
    const std::int32_t milieu = chargeSelonLaForme(e, state);
    d.remplace(milieu, milieu, "a");
    for (auto _ : state) {
        if (!d.Defait().ok || !d.Refait().ok) state.SkipWithError("rien à défaire");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
    state.counters["marqueurs"] = static_cast<double>(d.marqueurs().taille());
}
BENCHMARK(BM_DefaitSelonLaForme)->Args({10, 0})->Args({10000, 0})->Args({10, 2})->Args({10000, 2})
    ->Unit(benchmark::kMicrosecond);

// The first edit in a book just opened: a short paragraph, then one of
// range(0) pages, loaded and wrapped as the window opens a file. The edit,
// range(1): a letter typed (0) or Enter (1) in the middle of the long
// paragraph, Backspace at its start (2), which joins it to the short one.
// range(2) = 1: the same edit made first in a book of 10 pages opened just
// before, so that the edit's code and the allocator are as warm whatever the
// book's size (opening a long book pushes them out of the caches; a short
// one does not): what is left is what the book's size costs. range(2) = 2:
// the caches filled with other bytes before the edit, whatever the book's
// size, as a user's first keystroke finds them after the window has drawn
// and waited: the edit's code and data cold in both books alike.
struct LivreOuvert {
    LivreOuvert(const FormatPage& f, const std::string& livre, std::int64_t edition) : d(f), e(d) {
        e.charge(livre, {});
        e.recoupeDocument(true, nullptr, false);
        e.allerPage(1);
        d.journal().vide();
        std::int32_t p = 5;
        if (edition != 2) {
            p = d.longueur() / 2;
            while (p > 1 && (estFinDeLigne(d.octet(p)) || estFinDeLigne(d.octet(p - 1)) || d.octet(p) == ' ')) --p;
        }
        e.placeCurseur(d.pointDe(p));
    }
    void edite(std::int64_t edition) {
        switch (edition) {
            case 0: e.insereCaractere('a'); break;
            case 1: e.finParagraphe(); break;
            default: e.recule(); break;
        }
    }
    DocumentBraille d;
    EditeurBraille e;
};

void BM_PremiereFrappe(benchmark::State& state) {
    const std::string livre = "\x01\x02\x03\r" + livreUnSeulParagraphe(static_cast<int>(state.range(0)));
    const std::string court = "\x01\x02\x03\r" + livreUnSeulParagraphe(10);
    // The width the book was wrapped to, as a file saved by the editor.
    FormatPage f;
    f.setCaracteres(30);
    f.derive();
    const std::int64_t edition = state.range(1);
    for (auto _ : state) {
        // Made and let go of outside the timing: only the edit is timed, by
        // its own clock (pausing the benchmark's timers costs more than the edit).
        auto livreOuvert = std::make_unique<LivreOuvert>(f, livre, edition);
        if (state.range(2) == 1) LivreOuvert(f, court, edition).edite(edition);
        if (state.range(2) == 2) {
            // Twice the largest cache a core keeps for itself, read through.
            static std::vector<std::uint64_t> autres(std::size_t{1} << 21, 1);
            std::uint64_t somme = 0;
            for (std::size_t i = 0; i < autres.size(); i += 8) somme += autres[i];
            benchmark::DoNotOptimize(somme);
        }
        const auto debut = std::chrono::steady_clock::now();
        livreOuvert->edite(edition);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count());
        if (livreOuvert->d.longueur() == static_cast<std::int32_t>(livre.size())) state.SkipWithError("rien n'a changé");
        state.counters["pages"] = livreOuvert->d.nbPages();
    }
}
// A set number of runs: each opens its book again outside the timing, which
// an edit of a few microseconds would otherwise repeat a hundred thousand times.
BENCHMARK(BM_PremiereFrappe)
    ->ArgsProduct({{10, 10000}, {0, 1, 2}, {0, 1, 2}})
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// RTF of 800,000 paragraphs, each on a new page: the break marked with
// "\pagebb" on the paragraph (argument 1) or with "\page" after it (0).
void BM_RtfSautsDePage(benchmark::State& state) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 800000; ++i) rtf += state.range(0) ? "\\pard\\pagebb Page\\par\n" : "\\pard Page\\par\\page \n";
    rtf += "}";
    for (auto _ : state) {
        std::string t = rtfverstexte(rtf);
        benchmark::DoNotOptimize(t.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(rtf.size()));
}
BENCHMARK(BM_RtfSautsDePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 4 MiB of RTF of one shape, as a hostile file would repeat it, imported as a
// text file is: plain text (0), control words (1), groups opened and never
// closed (2), empty groups (3), Unicode characters with their fallbacks (4),
// surrogate pairs (5), hexadecimal bytes (6), ignored destinations (7).
// Each costs a pass, whatever it repeats.
void BM_RtfFormes(benchmark::State& state) {
    static const char* const formes[] = {"Le petit chat dort. ", "\\b\\i0 ", "{", "{}",
                                         "\\u8364?", "\\u55357?\\u56832?", "\\'e9", "{\\*\\x}"};
    std::string rtf = "{\\rtf1 ";
    while (rtf.size() < (std::size_t{4} << 20)) rtf += formes[state.range(0)];
    for (auto _ : state) {
        std::string t = texteImporte(rtf, "livre.rtf");
        benchmark::DoNotOptimize(t.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(rtf.size()));
}
BENCHMARK(BM_RtfFormes)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

}  // namespace
