// The main window over a large store from the disk: its start-up until every list is filled
// (the tables loaded, the lists, the summary and the chart lists), and "&Ouvrir" of a small log
// into it (the import, then the refresh of every list). The store folder and the log are given
// by SILLAGE_BANC_BASE and SILLAGE_BANC_JOURNAL (bench/vitesse.sh builds them); the store is only
// read. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "store/base.h"
#include "ui/dialogues.h"
#include "ui/tfprincip.h"

#include <QAction>
#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace sillage;

std::string Variable(const char* nom) {
    const char* v = std::getenv(nom);
    return v == nullptr ? std::string() : std::string(v);
}

int Lignes(TFPrincip& f, const char* liste) {
    return f.findChild<QTableView*>(liste)->model()->rowCount();
}

// From the window made to every list filled, each time on the store as the disk holds it.
void BM_Demarrage(benchmark::State& state) {
    const std::string dossier = Variable("SILLAGE_BANC_BASE");
    int hotes = 0;
    for (auto _ : state) {
        const auto debut = std::chrono::steady_clock::now();
        Base base(dossier);
        {
            TFPrincip fenetre(base);
            fenetre.show();
            QApplication::processEvents();
            hotes = Lignes(fenetre, "LVIP");
            const auto fin = std::chrono::steady_clock::now();
            state.SetIterationTime(std::chrono::duration<double>(fin - debut).count());
            state.PauseTiming();
            base.Modifie = 0;
        }
        base.LibereListes();
        state.ResumeTiming();
    }
    state.counters["hotes"] = hotes;
}

// "&Ouvrir" of the log, the file dialog answered ahead; each time into the store as loaded.
void BM_Ouvrir(benchmark::State& state) {
    const std::string dossier = Variable("SILLAGE_BANC_BASE");
    const QString journal = QString::fromStdString(Variable("SILLAGE_BANC_JOURNAL"));
    Base base(dossier);
    std::optional<TFPrincip> fenetre;
    // A window started on the store as the disk holds it.
    const auto demarre = [&] {
        fenetre.reset();
        fenetre.emplace(base);
        fenetre->show();
        QApplication::processEvents();
    };
    demarre();
    Dialogues::Automatique(true);
    for (auto _ : state) {
        Dialogues::FichierSuivant(journal);
        const auto debut = std::chrono::steady_clock::now();
        fenetre->findChild<QAction*>("Ouvrir1")->trigger();
        QApplication::processEvents();
        const auto fin = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(fin - debut).count());
        state.PauseTiming();
        if (!Dialogues::Messages().empty()) {
            state.SkipWithError("l'import a posé une question ou signalé une erreur");
        }
        Dialogues::Oublie();
        base.Modifie = 0;
        demarre(); // for the next time
        state.ResumeTiming();
    }
}

BENCHMARK(BM_Demarrage)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_Ouvrir)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    if (Variable("SILLAGE_BANC_BASE").empty() || Variable("SILLAGE_BANC_JOURNAL").empty()) {
        std::fputs("SILLAGE_BANC_BASE et SILLAGE_BANC_JOURNAL doivent nommer une base et un "
                   "journal (voir bench/vitesse.sh).\n",
                   stderr);
        return 2;
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
