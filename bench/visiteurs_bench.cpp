// Who visits, measured on the agents and hosts of the realistic mix: classifying 20,000 distinct
// agents once the lists are read (and reading the lists), the countries of a million hosts, and
// the "Visiteurs" tab's lists on a store of 5,000 agents and 300,000 hosts whose agents are
// classified.

#include "donnees_realistes.h"

#include "store/agents.h"
#include "store/enregistrements.h"
#include "visiteurs/classificateur.h"
#include "visiteurs/pays.h"
#include "vues/vue_visiteurs.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <set>
#include <unistd.h>

namespace {

using namespace sillage;
using namespace sillage::banc;

// A folder of the run for the caches (the table of networks), removed at the end.
const std::string& DossierCache() {
    static const std::string dossier = [] {
        char modele[] = "/tmp/sillage-visiteurs-bench-XXXXXX";
        const char* d = ::mkdtemp(modele);
        return std::string(d ? d : "/tmp");
    }();
    return dossier;
}

FichiersDonnees Donnees(bool cache) {
    FichiersDonnees f = FichiersDonnees::ParDefaut();
    f.cache = cache ? DossierCache() : std::string();
    return f;
}

// n distinct agents as a log shows them: the popular ones, the crawlers, then the long tail.
std::vector<std::string> Agents(std::size_t n) {
    std::set<std::string> vus;
    std::vector<std::string> agents;
    auto ajoute = [&](std::string a) {
        if (agents.size() < n && vus.insert(a).second) {
            agents.push_back(std::move(a));
        }
    };
    for (std::uint64_t i = 0; i < kAgentsPopulaires; ++i) {
        ajoute(AgentPopulaire(i));
    }
    for (std::uint64_t i = 0; i < 2000; ++i) {
        ajoute(AgentRobot(i));
    }
    for (std::uint64_t i = 0; agents.size() < n && i < 40 * n; ++i) {
        ajoute(AgentQueue(i));
    }
    return agents;
}

// n hosts of the realistic mix: addresses, names of the usual providers, IPv6, crawlers.
std::vector<std::string> Hotes(std::size_t n) {
    static constexpr ClasseHote kClasses[] = {ClasseHote::Numerique, ClasseHote::Numerique,
                                              ClasseHote::Nom, ClasseHote::Ipv6, ClasseHote::Robot};
    std::vector<std::string> hotes;
    hotes.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        hotes.push_back(HoteReel(i, kClasses[Alea::Melange(i) % std::size(kClasses)]));
    }
    return hotes;
}

void ClasseAgents(benchmark::State& etat) {
    const std::vector<std::string> agents = Agents(static_cast<std::size_t>(etat.range(0)));
    const std::vector<std::string_view> vues(agents.begin(), agents.end());
    for (auto _ : etat) {
        etat.PauseTiming();
        Classificateur c(Donnees(false), "");
        c.ChargeListes();
        etat.ResumeTiming();
        c.ClasseTous(vues);
        benchmark::DoNotOptimize(c.Calcules());
    }
    etat.counters["agents"] = static_cast<double>(agents.size());
}
BENCHMARK(ClasseAgents)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void LitListes(benchmark::State& etat) {
    for (auto _ : etat) {
        Classificateur c(Donnees(false), "");
        c.ChargeListes();
        benchmark::DoNotOptimize(c.Messages());
    }
}
BENCHMARK(LitListes)->Unit(benchmark::kMillisecond);

// The agents known from the cache of an earlier run: none is classified again.
void ClasseAgentsDuCache(benchmark::State& etat) {
    const std::vector<std::string> agents = Agents(20000);
    const std::vector<std::string_view> vues(agents.begin(), agents.end());
    {
        Classificateur c(Donnees(true), "");
        c.ClasseTous(vues);
        c.SauveCache();
    }
    for (auto _ : etat) {
        Classificateur c(Donnees(true), "");
        c.ClasseTous(vues);
        if (c.Calcules() != 0) {
            etat.SkipWithError("agents classés à nouveau");
        }
    }
}
BENCHMARK(ClasseAgentsDuCache)->Unit(benchmark::kMillisecond)->UseRealTime();

void PaysDesHotes(benchmark::State& etat) {
    const std::vector<std::string> hotes = Hotes(1000000);
    const Pays pays(Donnees(true));
    pays.ChargeReseaux();
    for (auto _ : etat) {
        std::uint64_t somme = 0;
        for (const std::string& h : hotes) {
            somme += pays.Code(h);
        }
        benchmark::DoNotOptimize(somme);
    }
    etat.counters["hotes"] = static_cast<double>(hotes.size());
}
BENCHMARK(PaysDesHotes)->Unit(benchmark::kMillisecond);

// The table of networks read from the cache folder, as every program after the first does.
void ReseauxDuCache(benchmark::State& etat) {
    {
        const Pays pays(Donnees(true));
        pays.ChargeReseaux();
    }
    for (auto _ : etat) {
        const Pays pays(Donnees(true));
        pays.ChargeReseaux();
        benchmark::DoNotOptimize(pays.Plages());
    }
}
BENCHMARK(ReseauxDuCache)->Unit(benchmark::kMillisecond);

void VueDesVisiteurs(benchmark::State& etat) {
    const std::vector<std::string> agents = Agents(5000);
    Table tableAgents;
    std::string ligne;
    for (std::size_t i = 0; i < agents.size(); ++i) {
        ligne.clear();
        const auto acces = static_cast<std::int32_t>(1 + 100000 / (i + 1));
        AjouteLigneAgent(ligne, agents[i], acces, acces / 3,
                         DateLog(static_cast<int>(i % 121), 3600));
        tableAgents.Ajoute(ligne);
    }
    const std::vector<std::string> hotes = Hotes(300000);
    Table noms;
    for (std::size_t i = 0; i < hotes.size(); ++i) {
        ligne.clear();
        AjouteLigneQuatre(ligne, static_cast<std::int64_t>(i), hotes[i],
                          static_cast<std::int32_t>(1 + 5000 / (i + 1)), "14/Feb/2004:10:11:12");
        noms.Ajoute(ligne);
    }
    ligne.clear();
    AjouteLigneCompteur(ligne, static_cast<std::int64_t>(hotes.size()));
    noms.Ajoute(ligne);
    Classificateur c(Donnees(false), "");
    const Pays pays(Donnees(true));
    CalculeVisiteurs(tableAgents, noms, c, pays); // classifies the agents, reads the networks
    for (auto _ : etat) {
        const VueVisiteurs v = CalculeVisiteurs(tableAgents, noms, c, pays);
        benchmark::DoNotOptimize(v.Pays.size());
    }
}
BENCHMARK(VueDesVisiteurs)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf '" + DossierCache() + "'").c_str());
    return 0;
}
