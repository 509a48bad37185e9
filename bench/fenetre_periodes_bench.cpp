// The main window over a large store from the disk, switching its tabs to one period: from the
// choice in the period selector until every tab shows it (the period's folder read under the
// store's lock, the lists, the summary, the charts' lists, the error rows), for the largest
// month and the largest year of the store, then back to the whole history. Each switch to a
// period reads its folder again: going back lets it go. The store folder is given by
// SILLAGE_BANC_BASE (bench/vitesse.sh builds one); it is only read. Runs on Qt's offscreen
// platform unless QT_QPA_PLATFORM says otherwise.

#include "store/base.h"
#include "store/periodes.h"
#include "ui/dialogues.h"
#include "ui/tfprincip.h"

#include <QApplication>
#include <QComboBox>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace sillage;

std::string Variable(const char* nom) {
    const char* v = std::getenv(nom);
    return v == nullptr ? std::string() : std::string(v);
}

// The bytes of the files of period nom of the store at dossier.
std::uintmax_t Octets(const std::string& dossier, const std::string& nom) {
    std::uintmax_t octets = 0;
    for (const auto& f : std::filesystem::directory_iterator(dossier + "/" + DossierPeriode(nom))) {
        octets += f.file_size();
    }
    return octets;
}

// The largest month (mois) or year of the store at dossier, by the bytes of its files.
std::string PlusGrande(const std::string& dossier, bool mois) {
    Base base(dossier);
    base.InitListes();
    std::string choisie;
    std::uintmax_t plus = 0;
    for (const std::string& nom : base.Periodes()) {
        if (EstPeriodeMois(nom) == mois && Octets(dossier, nom) >= plus) {
            plus = Octets(dossier, nom);
            choisie = nom;
        }
    }
    return choisie;
}

// The selector's choice of period nom, made as a user's choice is.
void Choisit(TFPrincip& f, const std::string& nom) {
    auto* choix = f.findChild<QComboBox*>("CBPeriode");
    const int i = choix->findData(QString::fromStdString(nom));
    choix->setCurrentIndex(i);
    emit choix->activated(i);
    QApplication::processEvents();
}

// Each time: from the choice of the period to every tab showing it, then back to the whole
// history (its own figure in the counters).
void Bascule(benchmark::State& state, bool mois) {
    const std::string dossier = Variable("SILLAGE_BANC_BASE");
    const std::string periode = PlusGrande(dossier, mois);
    if (periode.empty()) {
        state.SkipWithError("la base n'a pas de période");
        return;
    }
    Base base(dossier);
    TFPrincip fenetre(base);
    fenetre.show();
    QApplication::processEvents();
    Dialogues::Automatique(true);
    double retour = 0;
    int hotes = 0;
    for (auto _ : state) {
        const auto debut = std::chrono::steady_clock::now();
        Choisit(fenetre, periode);
        const auto fin = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(fin - debut).count());
        hotes = fenetre.findChild<QTableView*>("LVIP")->model()->rowCount();
        const auto avant = std::chrono::steady_clock::now();
        Choisit(fenetre, "");
        retour += std::chrono::duration<double>(std::chrono::steady_clock::now() - avant).count();
        if (!Dialogues::Messages().empty() || base.Chargees().count(periode) != 0) {
            state.SkipWithError("la période n'a pas été lue, ou pas laissée");
        }
    }
    state.SetLabel(periode + ", " + std::to_string(Octets(dossier, periode) / 1000000) + " Mo");
    state.counters["hotes"] = hotes;
    state.counters["retour_ms"] = 1000 * retour / static_cast<double>(state.iterations());
    base.Modifie = 0;
}

void BM_BasculeMois(benchmark::State& state) {
    Bascule(state, true);
}
void BM_BasculeAnnee(benchmark::State& state) {
    Bascule(state, false);
}

BENCHMARK(BM_BasculeMois)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_BasculeAnnee)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    if (Variable("SILLAGE_BANC_BASE").empty()) {
        std::fputs("SILLAGE_BANC_BASE doit nommer une base qui a des périodes (voir "
                   "bench/vitesse.sh).\n",
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
