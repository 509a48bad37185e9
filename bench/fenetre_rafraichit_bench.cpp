// The main window's view refresh (RafraichitVues) over a store of 1,000,000 client hosts: every
// list refilled, the five name indexes rebuilt, the summary and the chart lists rewritten. Also
// the IP filter over the same table, and a refresh followed by the drawing of the IP tab.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "donnees_realistes.h"

#include "store/base.h"
#include "ui/onglets.h"
#include "ui/tfprincip.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace sillage;
using namespace sillage::banc;

constexpr std::size_t kHotes = 1000000;

// A fresh directory without table files, removed at the end of the run.
class RepertoireVide {
  public:
    RepertoireVide() {
        std::string modele =
            (std::filesystem::temp_directory_path() / "sillage-banc-XXXXXX").string();
        if (::mkdtemp(modele.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        chemin_ = modele + "/";
    }
    ~RepertoireVide() {
        std::error_code ec;
        std::filesystem::remove_all(chemin_, ec);
    }
    const std::string& Chemin() const { return chemin_; }

  private:
    std::string chemin_;
};

// The window, started on an empty store whose host table then receives kHotes rows.
struct Banc {
    RepertoireVide repertoire;
    Base base{repertoire.Chemin()};
    std::unique_ptr<TFPrincip> fenetre;

    Banc() {
        fenetre = std::make_unique<TFPrincip>(base);
        fenetre->show();
        base.ListeNom.Efface();
        std::string ligne;
        for (std::size_t i = 0; i < kHotes; ++i) {
            ligne = "\\1;";
            AjouteNombre(ligne, i);
            ligne += "\\2;";
            ligne += Hote(i, i % 3 != 0);
            ligne += "\\3;";
            AjouteNombre(ligne, 1 + 400000 / (i + 1));
            ligne += "\\4;14/Feb/2004:10:11:12\\5;";
            base.ListeNom.Ajoute(ligne);
        }
        ligne = "\\1;";
        AjouteNombre(ligne, kHotes);
        base.ListeNom.Ajoute(ligne + "\\2;");
        fenetre->RafraichitVues();
    }
};

// Made in main, after the application object and destroyed before it.
Banc* bancCourant = nullptr;

Banc& LeBanc() {
    return *bancCourant;
}

void BM_RafraichitVues(benchmark::State& state) {
    Banc& b = LeBanc();
    for (auto _ : state) {
        b.fenetre->RafraichitVues();
    }
    state.counters["lignes"] =
        static_cast<double>(b.fenetre->findChild<QTableView*>("LVIP")->model()->rowCount());
}

// The refresh, then the IP tab drawn: only the visible rows are formatted.
void BM_RafraichitEtDessineIP(benchmark::State& state) {
    Banc& b = LeBanc();
    b.fenetre->findChild<ControleOnglets*>("PageControl1")->setCurrentIndex(3);
    for (auto _ : state) {
        b.fenetre->RafraichitVues();
        benchmark::DoNotOptimize(b.fenetre->grab());
    }
}

void BM_FiltreIP(benchmark::State& state) {
    Banc& b = LeBanc();
    auto* filtre = b.fenetre->findChild<QLineEdit*>("EFiltre4");
    filtre->setText(QStringLiteral(".fr"));
    for (auto _ : state) {
        b.fenetre->findChild<QPushButton*>("BFiltre4")->click();
    }
    state.counters["lignes"] =
        static_cast<double>(b.fenetre->findChild<QTableView*>("LVIP")->model()->rowCount());
    filtre->clear();
}

BENCHMARK(BM_RafraichitVues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RafraichitEtDessineIP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiltreIP)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    {
        Banc b;
        bancCourant = &b;
        benchmark::RunSpecifiedBenchmarks();
        bancCourant = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
