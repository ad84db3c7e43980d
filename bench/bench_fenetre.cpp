// Speed of the window on book-length documents, on Qt's offscreen platform:
// painting a whole page of each view, and one keystroke from the key event
// to the repainted band of both pages.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <chrono>
#include <memory>

#include "core/document/document.h"
#include "core/editeur/editeur.h"
#include "interface/fenetreprincipale.h"
#include "plateforme/secours.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"
#include "livres.h"

using namespace dotavob;

namespace {

// The window as a user sees it, holding a book of `pages` pages: short
// paragraphs (forme 0), one single paragraph (1), a marker on every
// paragraph (2); the caret in the middle of a line in the middle.
struct Fenetre {
    QTemporaryDir dossier;
    std::unique_ptr<TFDotavoB> f;

    Fenetre(int pages, int forme) {
        f = std::make_unique<TFDotavoB>(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))),
                                        QStringList{QStringLiteral("dotavob")});
        f->resize(1500, 900);
        f->show();
        EditeurBraille& e = f->editeur();
        if (forme == 1) {
            e.initialise(livreUnSeulParagraphe(pages));
        } else {
            const std::string t = livreParagraphes(pages * 28 / 3);
            if (forme == 2)
                e.charge(t, unMarqueurParParagraphe(t).liste());
            else
                e.initialise(t);
        }
        DocumentBraille& d = f->document();
        std::int32_t milieu = d.longueur() / 2;
        while (milieu > 1 && (estFinDeLigne(d.octet(milieu)) || estFinDeLigne(d.octet(milieu - 1)))) --milieu;
        e.placeCurseur(d.pointDe(milieu));
        QApplication::processEvents();
    }
};

void BM_PeintPage(benchmark::State& state) {
    Fenetre w(10, 0);
    QWidget* vue = state.range(0) ? static_cast<QWidget*>(&w.f->vueBraille()) : &w.f->vueNoir();
    QImage image(vue->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        vue->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["hauteur"] = vue->height();
}
BENCHMARK(BM_PeintPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A cell typed then deleted (two keystrokes an iteration), each key going
// through the window's key routing and each repaint done before the next.
void BM_FrappeJusquAuRepeint(benchmark::State& state) {
    Fenetre w(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QWidget* cible = w.f->centralWidget();
    // The first edit of a paragraph re-wraps it whole; the loop measures the next.
    QTest::keyClick(cible, Qt::Key_A);
    QTest::keyClick(cible, Qt::Key_Backspace);
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(cible, Qt::Key_A);
        QApplication::processEvents();
        QTest::keyClick(cible, Qt::Key_Backspace);
        QApplication::processEvents();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
    state.counters["pages"] = w.f->document().nbPages();
}
BENCHMARK(BM_FrappeJusquAuRepeint)
    ->Args({10, 0})->Args({10000, 0})->Args({10, 1})->Args({10000, 1})->Args({10, 2})->Args({10000, 2})
    ->Unit(benchmark::kMicrosecond);

// Keystrokes at a human pace in a 10,000-page book while recovery copies are
// written behind them: with no delay (0), each keystroke asks for a copy,
// the worst case; with the usual 30 s (1), none does. The longest keystroke
// (the key event to its repaint) is the figure that matters.
void BM_FrappePendantLaCopieDeSecours(benchmark::State& state) {
    qputenv("DOTAVOB_DELAI_SECOURS", state.range(0) ? "30" : "0");
    Fenetre w(10000, 0);
    qunsetenv("DOTAVOB_DELAI_SECOURS");
    QWidget* cible = w.f->centralWidget();
    QTest::keyClick(cible, Qt::Key_A);
    QApplication::processEvents();
    double plusLongue = 0;
    for (auto _ : state) {
        const auto debut = std::chrono::steady_clock::now();
        QTest::keyClick(cible, Qt::Key_A);
        QApplication::processEvents();
        const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - debut;
        plusLongue = std::max(plusLongue, d.count());
        state.PauseTiming();
        QThread::msleep(20);  // a fast typist's pace, the copy going on meanwhile
        state.ResumeTiming();
    }
    w.f->secours().attends();
    state.counters["frappe_max_ms"] = plusLongue;
    // Closed as a user closes it, the changes dropped: no copy is left for the next window to offer.
    w.f->document().setModifie(false);
    w.f->close();
}
BENCHMARK(BM_FrappePendantLaCopieDeSecours)->Arg(0)->Arg(1)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Q_INIT_RESOURCE(ressources);
    QApplication app(argc, argv);
    QTemporaryDir secours;
    qputenv("DOTAVOB_SECOURS", secours.path().toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
