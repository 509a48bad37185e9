// The Infos search over a large store: 100,000 hosts, 10,000 pages, 1,000 downloads and
// 1,000,000 host-item links. Every host fetched the home page, so searching it lists every host.
#include "store/base.h"
#include "vues/vue_infos.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using sillage::Base;
using sillage::EntreeInfos;
using sillage::ModeInfos;
using sillage::Table;

constexpr int kHotes = 100'000;
constexpr int kPages = 10'000;
constexpr int kDownloads = 1'000;
constexpr int kLiens = 1'000'000;

void RemplitRangs(Table& t, int n, const std::string& prefixe) {
    t.Efface();
    for (int i = 0; i < n; ++i) {
        // Identifiers out of row order, as after a sort by hits.
        const int id = (i * 7919) % n;
        t.Ajoute("\\1;" + std::to_string(id) + "\\2;" + prefixe + std::to_string(id) + "\\3;" +
                 std::to_string(n - i) + "\\4;14/Feb/2004:10:11:12\\5;");
    }
    t.Ajoute("\\1;" + std::to_string(n) + "\\2;");
}

const Base& Grande() {
    static const Base base = [] {
        Base b;
        RemplitRangs(b.ListeNom, kHotes, "10.1.");
        RemplitRangs(b.ListePage, kPages, "/page");
        RemplitRangs(b.ListeDownload, kDownloads, "/fichier.zip?");
        std::mt19937 alea(42);
        std::uniform_int_distribution<int> page(1, kPages - 1);
        std::uniform_int_distribution<int> download(0, kDownloads - 1);
        int hote = 0;
        for (int i = 0; i < kLiens; ++i) {
            const bool accueil = i % (kLiens / kHotes) == 0;
            if (accueil && i > 0) {
                ++hote;
            }
            const int genre = !accueil && i % 5 == 0 ? 2 : 1;
            const int item = accueil ? 0 : (genre == 1 ? page(alea) : download(alea));
            b.ListeLanp.Ajoute("\\1;" + std::to_string(hote) + "\\2;" + std::to_string(item) +
                               "\\3;" + std::to_string(1 + i % 13) +
                               "\\4;14/Feb/2004:10:11:12\\5;" + std::to_string(genre) + "\\6;");
        }
        return b;
    }();
    return base;
}

// The entry of the row whose identifier is ident.
EntreeInfos Entree(const Base& base, ModeInfos mode, int ident) {
    for (const EntreeInfos& e : sillage::ListeEntreesInfos(base, mode, "")) {
        if (e.Ident == std::to_string(ident)) {
            return e;
        }
    }
    return {};
}

void Cherche(benchmark::State& state, ModeInfos mode, int ident) {
    const Base& base = Grande();
    const EntreeInfos entree = Entree(base, mode, ident);
    std::size_t resultats = 0;
    for (auto _ : state) {
        resultats = sillage::ChercheInfos(base, mode, entree).Lignes.size();
        benchmark::DoNotOptimize(resultats);
    }
    state.counters["resultats"] = static_cast<double>(resultats);
}

void BM_PageAccueil(benchmark::State& state) {
    Cherche(state, ModeInfos::Pages, 0);
}
void BM_PageRare(benchmark::State& state) {
    Cherche(state, ModeInfos::Pages, 4242);
}
void BM_Hote(benchmark::State& state) {
    Cherche(state, ModeInfos::IP, 31337);
}
void BM_Download(benchmark::State& state) {
    Cherche(state, ModeInfos::Download, 7);
}

void BM_ListeEntreesFiltrees(benchmark::State& state) {
    const Base& base = Grande();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sillage::ListeEntreesInfos(base, ModeInfos::IP, "10.1.99"));
    }
}

BENCHMARK(BM_PageAccueil)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageRare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hote)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Download)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListeEntreesFiltrees)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
