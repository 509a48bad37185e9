// Several sillage-import processes on one store: each waits for the others, and the store ends
// as one of the sequential orders would leave it; a bounded wait gives up cleanly.
#include "import/import.h"
#include "reference.h"
#include "store/base.h"
#include "store/verrou.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sillage {
namespace {

using namespace std::chrono_literals;
using test::Contenu;
using test::Ecrit;
using test::MemesTables;
using test::RepertoireTemporaire;

const std::string kProgramme = SILLAGE_IMPORT;

// Starts sillage-import; answers its process id.
pid_t Lance(const std::vector<std::string>& arguments, const std::string& erreurs) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen(erreurs.c_str(), "w", stderr);
        std::vector<char*> argv{const_cast<char*>(kProgramme.c_str())};
        for (const std::string& a : arguments) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(kProgramme.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

int Attend(pid_t pid) {
    int etat = 0;
    ::waitpid(pid, &etat, 0);
    return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
}

TEST(Concurrence, ThreeImportsAtOnceEndAsOneOfTheSequentialOrders) {
    constexpr int kJournaux = 3;
    constexpr int kTours = 4;
    for (int tour = 0; tour < kTours; ++tour) {
        RepertoireTemporaire dir;
        std::array<std::vector<std::string>, kJournaux> journaux;
        for (int j = 0; j < kJournaux; ++j) {
            journaux[j] = test::LignesAleatoires(static_cast<unsigned>(tour * 10 + j + 1), 3000);
            Ecrit(dir.Fichier("j" + std::to_string(j) + ".log"), test::Journal(journaux[j]));
        }
        const std::string store = dir.Fichier("store");
        std::filesystem::create_directory(store);
        // Held while the three start, so that all of them meet a held lock.
        Verrou depart = Verrou::Prend(store, 0ms);
        std::array<pid_t, kJournaux> pids{};
        for (int j = 0; j < kJournaux; ++j) {
            pids[j] = Lance({"--dir", store, dir.Fichier("j" + std::to_string(j) + ".log")},
                            dir.Fichier("e" + std::to_string(j) + ".txt"));
        }
        // Released once each of them says it waits (however slowly a loaded machine starts
        // them).
        for (int j = 0; j < kJournaux; ++j) {
            const std::string erreurs = dir.Fichier("e" + std::to_string(j) + ".txt");
            const auto limite = std::chrono::steady_clock::now() + 60s;
            while (Contenu(erreurs).find("En attente") == std::string::npos &&
                   std::chrono::steady_clock::now() < limite) {
                std::this_thread::sleep_for(10ms);
            }
        }
        depart.Libere();
        for (int j = 0; j < kJournaux; ++j) {
            const int code = Attend(pids[j]);
            const std::string erreurs = Contenu(dir.Fichier("e" + std::to_string(j) + ".txt"));
            ASSERT_EQ(code, 0) << erreurs;
            EXPECT_EQ(erreurs, "En attente : les tables de " + store +
                                   " sont utilisées par un autre programme…\n");
        }

        Base obtenue(store);
        obtenue.InitListes();
        std::array<int, kJournaux> ordre{0, 1, 2};
        bool trouve = false;
        do {
            RepertoireTemporaire vide;
            Base attendue(vide.Chemin());
            attendue.InitListes();
            for (int j : ordre) {
                test::ImporteReference(attendue, journaux[j]);
            }
            trouve = trouve || MemesTables(obtenue, attendue);
        } while (!trouve && std::next_permutation(ordre.begin(), ordre.end()));
        EXPECT_TRUE(trouve) << "round " << tour;
        // Nothing but the fourteen tables, the register of imported logs, the agents table, the
        // manifest, the lock file and the periods' folder is left.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store),
                                std::filesystem::directory_iterator()),
                  19);
    }
}

TEST(Concurrence, ABoundedWaitGivesUpWithStatus75AndChangesNothing) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("j.log"), test::Journal(test::LignesAleatoires(5, 10)));
    const std::string store = dir.Fichier("store");
    std::filesystem::create_directory(store);
    Verrou autre = Verrou::Prend(store, 0ms);
    ASSERT_TRUE(autre.Tenu());
    const auto debut = std::chrono::steady_clock::now();
    const int code = Attend(
        Lance({"--dir", store, "--attente", "0,3", dir.Fichier("j.log")}, dir.Fichier("e.txt")));
    EXPECT_EQ(code, 75);
    EXPECT_GE(std::chrono::steady_clock::now() - debut, 300ms);
    EXPECT_EQ(Contenu(dir.Fichier("e.txt")), "En attente : les tables de " + store +
                                                 " sont utilisées par un autre programme…\n"
                                                 "Les tables de " +
                                                 store +
                                                 " sont utilisées par un autre programme.\n");
    // Nothing but the lock file that the holder made.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store),
                            std::filesystem::directory_iterator()),
              1);

    // Without a bound it waits as long as needed, then reads what the holder left.
    const pid_t pid = Lance({"--dir", store, dir.Fichier("j.log")}, dir.Fichier("e.txt"));
    std::this_thread::sleep_for(300ms);
    {
        Base base(store);
        base.InitListes();
        base.ListeOptions.Remplace(0, "http://moteur.example/");
        base.SauveListes(); // saved by the holder of the lock meanwhile
    }
    autre.Libere();
    EXPECT_EQ(Attend(pid), 0) << Contenu(dir.Fichier("e.txt"));
    Base base(store);
    base.InitListes();
    EXPECT_EQ(base.ListeOptions[0], "http://moteur.example/");
    EXPECT_GT(base.ListeNom.Count(), 1u);
}

TEST(Concurrence, AWrongWaitIsRefused) {
    RepertoireTemporaire dir;
    for (const char* valeur : {"", "abc", "-1", "1s"}) {
        EXPECT_EQ(Attend(Lance({"--dir", dir.Chemin(), "--attente", valeur, "x.log"},
                               dir.Fichier("e.txt"))),
                  2)
            << valeur;
        EXPECT_NE(Contenu(dir.Fichier("e.txt")).find("--attente attend un nombre de secondes"),
                  std::string::npos);
    }
}

} // namespace
} // namespace sillage
