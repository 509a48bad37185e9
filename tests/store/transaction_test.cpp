// A save and a reset stopped at every step, failing writes and renames, and what the next holder
// of the lock finds: always every old file or every new one, and nothing else in the folder.
#include "store/agents.h"
#include "store/base.h"
#include "store/erreur.h"
#include "store/transaction.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::MemesTables;
using test::MessageDe;
using test::RepertoireTemporaire;

constexpr int kArrete = 77;

// Ends the process at one of its operations (counted from 0), before or after carrying it out,
// as a crash or a kill would at that moment.
class DisqueQuiSArrete : public Disque {
  public:
    DisqueQuiSArrete(int arret, bool apres) : arret_(arret), apres_(apres) {}

  private:
    template <class F> auto Etape(F&& f) {
        if (n_ == arret_ && !apres_) {
            ::_exit(kArrete);
        }
        auto r = f();
        if (n_++ == arret_ && apres_) {
            ::_exit(kArrete);
        }
        return r;
    }
    int arret_;
    bool apres_;
    int n_ = 0;

  public:
    int CreeTemporaire(std::string& modele) override {
        return Etape([&] { return Disque::CreeTemporaire(modele); });
    }
    bool Ecrit(int fd, const char* octets, std::size_t n) override {
        return Etape([&] { return Disque::Ecrit(fd, octets, n); });
    }
    bool Synchronise(int fd) override {
        return Etape([&] { return Disque::Synchronise(fd); });
    }
    bool Ferme(int fd) override {
        return Etape([&] { return Disque::Ferme(fd); });
    }
    bool Renomme(const std::string& de, const std::string& vers) override {
        return Etape([&] { return Disque::Renomme(de, vers); });
    }
    bool Lie(const std::string& de, const std::string& vers) override {
        return Etape([&] { return Disque::Lie(de, vers); });
    }
    bool Supprime(const std::string& chemin) override {
        return Etape([&] { return Disque::Supprime(chemin); });
    }
    bool SynchroniseDossier(const std::string& dossier) override {
        return Etape([&] { return Disque::SynchroniseDossier(dossier); });
    }
    bool FixeDroits(int fd, mode_t mode, uid_t proprietaire, gid_t groupe) override {
        return Etape([&] { return Disque::FixeDroits(fd, mode, proprietaire, groupe); });
    }
    bool CreeDossier(const std::string& chemin, mode_t mode, uid_t u, gid_t g) override {
        return Etape([&] { return Disque::CreeDossier(chemin, mode, u, g); });
    }
    bool SupprimeDossier(const std::string& chemin) override {
        return Etape([&] { return Disque::SupprimeDossier(chemin); });
    }
    // Etat, LitFichier and Liste change nothing on the disk: a crash just before or after one of
    // them is a crash after the step before it or before the step after it. Their failures are
    // injected by DisqueQuiEchoue.
};

// Notes the name of each operation where DisqueQuiSArrete may stop, and the file it is on,
// in order.
class DisqueQuiNote : public Disque {
  public:
    std::vector<std::pair<std::string, std::string>> operations;

    int CreeTemporaire(std::string& modele) override {
        operations.emplace_back("CreeTemporaire", modele);
        return Disque::CreeTemporaire(modele);
    }
    bool Renomme(const std::string& de, const std::string& vers) override {
        operations.emplace_back("Renomme", vers);
        return Disque::Renomme(de, vers);
    }
#define SILLAGE_NOTE(nom, parametres, arguments)                                                   \
    bool nom parametres override {                                                                 \
        operations.emplace_back(#nom, "");                                                         \
        return Disque::nom arguments;                                                              \
    }
    SILLAGE_NOTE(Ecrit, (int fd, const char* o, std::size_t n), (fd, o, n))
    SILLAGE_NOTE(Synchronise, (int fd), (fd))
    SILLAGE_NOTE(Ferme, (int fd), (fd))
    SILLAGE_NOTE(Lie, (const std::string& de, const std::string& vers), (de, vers))
    SILLAGE_NOTE(Supprime, (const std::string& chemin), (chemin))
    SILLAGE_NOTE(SynchroniseDossier, (const std::string& dossier), (dossier))
    SILLAGE_NOTE(FixeDroits, (int fd, mode_t m, uid_t u, gid_t g), (fd, m, u, g))
#undef SILLAGE_NOTE
};

// Fails one kind of operation from its k-th call on (counted from 0), with the given errno.
class DisqueQuiEchoue : public Disque {
  public:
    std::function<bool(std::string_view operation, const std::string& chemin)> echoue;
    int erreur = EIO;

    bool Ecrit(int fd, const char* octets, std::size_t n) override {
        if (echoue("Ecrit", "")) {
            // Part of the bytes reach the file, as on a disk that fills up.
            Disque::Ecrit(fd, octets, n / 2);
            errno = erreur;
            return false;
        }
        return Disque::Ecrit(fd, octets, n);
    }
    bool Renomme(const std::string& de, const std::string& vers) override {
        if (echoue("Renomme", vers)) {
            errno = erreur;
            return false;
        }
        return Disque::Renomme(de, vers);
    }
    bool Lie(const std::string& de, const std::string& vers) override {
        if (echoue("Lie", vers)) {
            errno = erreur;
            return false;
        }
        return Disque::Lie(de, vers);
    }
    bool SynchroniseDossier(const std::string& dossier) override {
        if (echoue("SynchroniseDossier", dossier)) {
            errno = erreur;
            return false;
        }
        return Disque::SynchroniseDossier(dossier);
    }
    bool Etat(const std::string& chemin, struct stat& st) override {
        if (echoue("Etat", chemin)) {
            errno = erreur;
            return false;
        }
        return Disque::Etat(chemin, st);
    }
    bool FixeDroits(int fd, mode_t mode, uid_t proprietaire, gid_t groupe) override {
        if (echoue("FixeDroits", "")) {
            errno = erreur;
            return false;
        }
        return Disque::FixeDroits(fd, mode, proprietaire, groupe);
    }
    bool LitFichier(const std::string& chemin, std::string& texte, struct stat& st) override {
        if (echoue("LitFichier", chemin)) {
            errno = erreur;
            return false;
        }
        return Disque::LitFichier(chemin, texte, st);
    }
    bool Liste(const std::string& dossier, std::vector<std::string>& noms) override {
        if (echoue("Liste", dossier)) {
            errno = erreur;
            return false;
        }
        return Disque::Liste(dossier, noms);
    }
};

// Fills every table with rows that tell which state they belong to; keyed tables end with
// their counter row, as the loader expects.
void Remplit(Base& base, const std::string& marque, int lignes) {
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        Table& t = base.*e.table;
        t.Efface();
        for (int i = 0; i < lignes; ++i) {
            t.Ajoute("\\1;" + std::to_string(i) + "\\2;" + marque + std::string(e.fichier) +
                     "\\3;1\\4;d\\5;");
        }
        if (e.cle) {
            t.Ajoute("\\1;" + std::to_string(lignes) + "\\2;");
        }
    }
    // The agents table, a file beside the fourteen, changes with them.
    base.ListeAgents.Efface();
    for (int i = 0; i < lignes; ++i) {
        base.ListeAgents.Ajoute("\\1;" + marque + "agent " + std::to_string(i) +
                                "\\2;1\\3;0\\4;d\\5;");
    }
}

// The same fourteen tables and agents table.
bool MemeStore(const Base& a, const Base& b) {
    return MemesTables(a, b) && a.ListeAgents == b.ListeAgents;
}

// The files of the folder, but the lock file, which is not part of the store's content.
std::set<std::string> Fichiers(const std::string& dossier) {
    std::set<std::string> noms;
    for (const auto& e : std::filesystem::directory_iterator(dossier)) {
        if (e.path().filename() != kFichierVerrou) {
            noms.insert(e.path().filename().string());
        }
    }
    return noms;
}

// The fourteen tables, the agents table and the manifest of the save that wrote them.
std::set<std::string> LesQuatorze() {
    std::set<std::string> noms;
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        noms.emplace(e.fichier);
    }
    noms.emplace(kFichierAgents);
    noms.emplace(kFichierManifeste);
    return noms;
}

// Runs f in a child process; answers its exit status.
int DansUnFils(const std::function<void()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        f();
        ::_exit(0);
    }
    int etat = 0;
    ::waitpid(pid, &etat, 0);
    return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
}

struct Etats {
    RepertoireTemporaire dir;
    Base ancienne{dir.Chemin()};
    Base nouvelle{dir.Chemin()};
    bool ancienneSurDisque = true;

    // The store as the next holder of the lock finds it: it must be one of the two states,
    // with nothing but its files in the folder.
    void VerifieEntier(const std::string& contexte) {
        Base apres(dir.Chemin());
        Verrou verrou = apres.Verrouille(std::chrono::milliseconds(0));
        ASSERT_TRUE(verrou.Tenu()) << contexte;
        apres.InitListes();
        const bool ancien = MemeStore(apres, ancienne);
        const bool nouveau = MemeStore(apres, nouvelle);
        EXPECT_TRUE(ancien || nouveau) << contexte;
        if (ancien && ancienneSurDisque) {
            EXPECT_EQ(Fichiers(dir.Chemin()), LesQuatorze()) << contexte;
        } else if (ancien) {
            EXPECT_EQ(Fichiers(dir.Chemin()), std::set<std::string>()) << contexte;
        } else {
            EXPECT_EQ(Fichiers(dir.Chemin()), LesQuatorze()) << contexte;
        }
    }

    void RemetAncienne() {
        for (const std::string& f : Fichiers(dir.Chemin())) {
            std::filesystem::remove_all(dir.Fichier(f));
        }
        if (ancienneSurDisque) {
            ancienne.SauveListes();
        }
    }
};

// Stops the change made by faire at each of its steps, before and after it, then lets the next
// holder of the lock recover: answers how many steps the change has.
int ArreteAChaqueEtape(Etats& etats, const std::function<void(Base&)>& faire) {
    int etape = 0;
    for (;; ++etape) {
        bool fini = false;
        for (bool apres : {false, true}) {
            etats.RemetAncienne();
            const int code = DansUnFils([&] {
                DisqueQuiSArrete disque(etape, apres);
                Base base(etats.dir.Chemin());
                Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
                base.InitListes();
                base.FixeDisque(disque);
                faire(base);
            });
            if (code == 0) {
                fini = true;
                break;
            }
            EXPECT_EQ(code, kArrete);
            etats.VerifieEntier("step " + std::to_string(etape) + (apres ? " after" : " before"));
            if (::testing::Test::HasFailure()) {
                return etape;
            }
        }
        if (fini) {
            return etape;
        }
    }
}

TEST(Transaction, ASaveStoppedAtAnyStepLeavesAllOldOrAllNewFiles) {
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    Remplit(etats.nouvelle, "nouveau-", 5);
    const int etapes = ArreteAChaqueEtape(etats, [&](Base& base) {
        Remplit(base, "nouveau-", 5);
        base.SauveListes();
    });
    // Fourteen files, each created, written, fsynced and closed, then kept, renamed...
    EXPECT_GT(etapes, 14 * 5);
    etats.RemetAncienne();
    etats.VerifieEntier("no stop");
}

// On the real file system, where the files are written on the transaction's own threads, a
// save killed at moments spread over its whole length still leaves every old file or every new.
TEST(Transaction, ASaveKilledAtAnyMomentOnTheRealDiskLeavesAllOldOrAllNew) {
    constexpr int kLignes = 20000; // some megabytes: a save that lasts
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    Remplit(etats.nouvelle, "nouveau-", kLignes);
    const auto sauve = [&] {
        Base base(etats.dir.Chemin());
        Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
        base.InitListes();
        Remplit(base, "nouveau-", kLignes);
        base.SauveListes();
    };
    etats.RemetAncienne();
    const auto debut = std::chrono::steady_clock::now();
    ASSERT_EQ(DansUnFils(sauve), 0);
    const auto duree = std::chrono::steady_clock::now() - debut;
    etats.VerifieEntier("whole");
    constexpr int kMoments = 16;
    for (int k = 0; k <= kMoments; ++k) {
        etats.RemetAncienne();
        const pid_t pid = ::fork();
        if (pid == 0) {
            sauve();
            ::_exit(0);
        }
        std::this_thread::sleep_for(duree * k / kMoments);
        ::kill(pid, SIGKILL);
        int etat = 0;
        ::waitpid(pid, &etat, 0);
        etats.VerifieEntier("killed at " + std::to_string(k) + "/" + std::to_string(kMoments));
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

TEST(Transaction, TheFirstSaveStoppedAtAnyStepLeavesNoFileOrAllFiles) {
    Etats etats;
    etats.ancienneSurDisque = false;
    etats.ancienne.InitListes(); // the seeded tables of an empty folder
    Remplit(etats.nouvelle, "nouveau-", 2);
    ArreteAChaqueEtape(etats, [&](Base& base) {
        Remplit(base, "nouveau-", 2);
        base.SauveListes();
    });
}

TEST(Transaction, AResetStoppedAtAnyStepDeletesAllOrNone) {
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    etats.nouvelle.InitListes(); // the seeded tables
    // After a reset the folder is empty: VerifieEntier expects the fourteen files only for the
    // old state, and the seeded tables from no file at all.
    etats.ancienneSurDisque = true;
    int etape = 0;
    for (;; ++etape) {
        bool fini = false;
        for (bool apres : {false, true}) {
            etats.RemetAncienne();
            const int code = DansUnFils([&] {
                DisqueQuiSArrete disque(etape, apres);
                Base base(etats.dir.Chemin());
                Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
                base.InitListes();
                base.FixeDisque(disque);
                base.ReinitialiseListes();
            });
            if (code == 0) {
                fini = true;
                break;
            }
            Base apres2(etats.dir.Chemin());
            Verrou verrou = apres2.Verrouille(std::chrono::milliseconds(0));
            apres2.InitListes();
            const auto fichiers = Fichiers(etats.dir.Chemin());
            const bool ancien = MemeStore(apres2, etats.ancienne) && fichiers == LesQuatorze();
            const bool vide = MemeStore(apres2, etats.nouvelle) && fichiers.empty();
            ASSERT_TRUE(ancien || vide) << "step " << etape << (apres ? " after" : " before");
        }
        if (fini) {
            break;
        }
    }
    EXPECT_GT(etape, 14);
}

TEST(Transaction, ARecoveryStoppedAtAnyStepIsCompletedByTheNextOne) {
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    Remplit(etats.nouvelle, "nouveau-", 4);
    // The save stops after its transaction file is decided: at once, once some files are
    // renamed, near its end; then each recovery is stopped in turn at each of its own steps.
    DisqueQuiNote note;
    {
        RepertoireTemporaire essai;
        Base base(essai.Chemin());
        base.InitListes();
        Remplit(base, "ancien-", 3);
        base.SauveListes();
        base.FixeDisque(note);
        Remplit(base, "nouveau-", 4);
        base.SauveListes();
    }
    const auto& ops = note.operations;
    const auto decision = std::find_if(ops.begin(), ops.end(), [](const auto& o) {
        return o.first == "Renomme" && o.second.ends_with(kFichierTransaction);
    });
    ASSERT_NE(decision, ops.end());
    const int d = static_cast<int>(decision - ops.begin());
    const int n = static_cast<int>(ops.size());
    for (int arretSauve : {d + 1, (d + n) / 2, n - 4}) {
        for (int etape = 0;; ++etape) {
            etats.RemetAncienne();
            ASSERT_EQ(DansUnFils([&] {
                          DisqueQuiSArrete disque(arretSauve, true);
                          Base base(etats.dir.Chemin());
                          Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
                          base.FixeDisque(disque);
                          Remplit(base, "nouveau-", 4);
                          base.SauveListes();
                      }),
                      kArrete);
            const int code = DansUnFils([&] {
                DisqueQuiSArrete disque(etape, true);
                Base base(etats.dir.Chemin());
                base.FixeDisque(disque);
                Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
            });
            etats.VerifieEntier("save stopped at " + std::to_string(arretSauve) + ", recovery at " +
                                std::to_string(etape));
            if (code == 0 || ::testing::Test::HasFailure()) {
                break;
            }
        }
    }
}

TEST(Transaction, AFullDiskReplacesNothingAndLeavesNoTemporary) {
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    etats.RemetAncienne();
    const std::set<std::string> avant = Fichiers(etats.dir.Chemin());
    for (int k : {0, 6, 13}) {
        DisqueQuiEchoue disque;
        disque.erreur = ENOSPC;
        int ecritures = 0;
        disque.echoue = [&](std::string_view op, const std::string&) {
            return op == "Ecrit" && ecritures++ == k;
        };
        Base base(etats.dir.Chemin());
        Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
        base.InitListes();
        Remplit(base, "nouveau-", 5);
        base.Modifie = 1;
        base.FixeDisque(disque);
        std::string message;
        try {
            base.SauveListes();
        } catch (const ErreurSillage& e) {
            message = e.what();
        }
        // The table being written when the disk filled up is named (save order: nom, page...).
        const char* const ordre[] = {
            "nom.lst",        "page.lst",       "image.lst",     "origine.lst",   "keyword.lst",
            "navigateur.lst", "chemin.lst",     "download.lst",  "erreur.lst",    "options.lst",
            "lanp.lst",       "lanpsearch.lst", "graphmois.lst", "graphheure.lst"};
        EXPECT_EQ(message, "Impossible de créer le fichier " + etats.dir.Fichier(ordre[k]) +
                               " : disque plein");
        EXPECT_EQ(base.Modifie, 1);
        EXPECT_EQ(Fichiers(etats.dir.Chemin()), avant);
        verrou.Libere();
        etats.VerifieEntier("full disk at write " + std::to_string(k));
        Base relue(etats.dir.Chemin());
        relue.InitListes();
        EXPECT_TRUE(MemesTables(relue, etats.ancienne));
    }
}

// On the real file system the files are written on the transaction's own threads: a write that
// fails there (here past the size a process may write, as a full disk would stop it) still names
// the file, replaces nothing and leaves no temporary.
TEST(Transaction, AWriteThatFailsOnTheWritingThreadsReplacesNothing) {
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    etats.RemetAncienne();
    const std::set<std::string> avant = Fichiers(etats.dir.Chemin());
    Base base(etats.dir.Chemin());
    Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
    base.InitListes();
    Remplit(base, "nouveau-", 5);
    // One table far larger than the others and than the limit.
    for (int i = 0; i < 20000; ++i) {
        base.ListeChemin.Ajoute(std::string(100, 'c') + std::to_string(i));
    }
    base.Modifie = 1;
    struct rlimit avantLimite;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &avantLimite), 0);
    const auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite = avantLimite;
    limite.rlim_cur = 1 << 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    std::string message;
    try {
        base.SauveListes();
    } catch (const ErreurSillage& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &avantLimite);
    std::signal(SIGXFSZ, ancienSignal);
    EXPECT_EQ(message.rfind(
                  "Impossible de créer le fichier " + etats.dir.Fichier("chemin.lst") + " : ", 0),
              0u)
        << message;
    EXPECT_EQ(base.Modifie, 1);
    EXPECT_EQ(Fichiers(etats.dir.Chemin()), avant);
    verrou.Libere();
    Base relue(etats.dir.Chemin());
    relue.InitListes();
    EXPECT_TRUE(MemesTables(relue, etats.ancienne));
}

TEST(Transaction, ARenameThatFailsHalfWayPutsEveryOldFileBack) {
    for (bool lienPossible : {true, false}) {
        Etats etats;
        Remplit(etats.ancienne, "ancien-", 3);
        etats.RemetAncienne();
        DisqueQuiEchoue disque;
        int renommages = 0;
        disque.echoue = [&](std::string_view op, const std::string& vers) {
            if (op == "Lie") {
                return !lienPossible;
            }
            // The eighth rename of a temporary over its table fails.
            return op == "Renomme" && !vers.ends_with(kSuffixeAncien) &&
                   !vers.ends_with(kFichierTransaction) && renommages++ == 7;
        };
        Base base(etats.dir.Chemin());
        base.InitListes();
        Remplit(base, "nouveau-", 5);
        base.FixeDisque(disque);
        EXPECT_THROW(base.SauveListes(), ErreurSillage);
        EXPECT_EQ(Fichiers(etats.dir.Chemin()), LesQuatorze());
        Base relue(etats.dir.Chemin());
        relue.InitListes();
        EXPECT_TRUE(MemesTables(relue, etats.ancienne)) << "links " << lienPossible;
    }
}

TEST(Transaction, QueriesThatFailReplaceNothingOrLeaveTheChangeToTheNextHolder) {
    // A file's mode that cannot be set, a file that cannot be looked at (an I/O error, not its
    // absence) at any moment of the save: the save ends whole, or fails and replaces nothing.
    for (const std::string operation : {"FixeDroits", "Etat"}) {
        for (int k = 0; k < 80; k += 3) {
            Etats etats;
            Remplit(etats.ancienne, "ancien-", 3);
            Remplit(etats.nouvelle, "nouveau-", 5);
            etats.RemetAncienne();
            DisqueQuiEchoue disque;
            int appels = 0;
            disque.echoue = [&](std::string_view op, const std::string&) {
                return op == operation && appels++ == k;
            };
            Base base(etats.dir.Chemin());
            base.InitListes();
            Remplit(base, "nouveau-", 5);
            base.FixeDisque(disque);
            const std::string message = MessageDe([&] { base.SauveListes(); });
            if (appels <= k) {
                break; // the save asked less often than that
            }
            etats.VerifieEntier(operation + " failing at call " + std::to_string(k));
            Base relue(etats.dir.Chemin());
            relue.InitListes();
            if (message == "(no error)") {
                EXPECT_TRUE(MemesTables(relue, etats.nouvelle)) << operation << " " << k;
            } else {
                EXPECT_TRUE(message.starts_with("Impossible de créer le fichier")) << message;
                EXPECT_TRUE(MemesTables(relue, etats.ancienne)) << operation << " " << k;
            }
        }
    }
    // A transaction file that cannot be read: the store is not used, and its file stays.
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    etats.RemetAncienne();
    Ecrit(etats.dir.Fichier("sillage.transaction"), "Sillage transaction 1\nfin 0\n");
    DisqueQuiEchoue disque;
    disque.echoue = [&](std::string_view op, const std::string&) { return op == "LitFichier"; };
    Base base(etats.dir.Chemin());
    base.FixeDisque(disque);
    EXPECT_EQ(MessageDe([&] { base.Verrouille(std::chrono::milliseconds(0)); }),
              "Impossible de créer le fichier " + etats.dir.Fichier("sillage.transaction") +
                  " : erreur d'entrée-sortie");
    EXPECT_TRUE(std::filesystem::exists(etats.dir.Fichier("sillage.transaction")));
}

TEST(Transaction, WhenNothingCanBePutBackTheNextHolderCompletesTheSave) {
    Etats etats;
    Remplit(etats.ancienne, "ancien-", 3);
    Remplit(etats.nouvelle, "nouveau-", 5);
    etats.RemetAncienne();
    DisqueQuiEchoue disque;
    int renommages = 0;
    bool panne = false;
    disque.echoue = [&](std::string_view op, const std::string& vers) {
        if (op == "Renomme" && !vers.ends_with(kSuffixeAncien) &&
            !vers.ends_with(kFichierTransaction) && renommages++ == 3) {
            panne = true; // from here on the disk takes no change of names
        }
        return panne && (op == "Renomme" || op == "SynchroniseDossier");
    };
    Base base(etats.dir.Chemin());
    base.InitListes();
    Remplit(base, "nouveau-", 5);
    base.FixeDisque(disque);
    EXPECT_THROW(base.SauveListes(), ErreurSillage);
    EXPECT_TRUE(std::filesystem::exists(etats.dir.Fichier(std::string(kFichierTransaction))));
    etats.VerifieEntier("after a disk that took no more renames");
    Base relue(etats.dir.Chemin());
    relue.InitListes();
    EXPECT_TRUE(MemesTables(relue, etats.nouvelle));
}

TEST(Transaction, ARecoveryDropsAJournalCutShortOrNamingOtherFiles) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    Remplit(base, "ancien-", 2);
    base.SauveListes();
    const std::string nom = Contenu(dir.Fichier("nom.lst"));
    Ecrit(dir.Fichier("nom.lst.a1B2c3"), "nouveau\r\n");
    Ecrit(dir.Fichier("page.lst.ancien"), "ancien\r\n");
    Ecrit(dir.Fichier("sillage.transaction.Zz9Yy8"), "Sillage transaction 1\n");
    Ecrit(dir.Fichier("notes.txt"), "à garder");
    Ecrit(dir.Fichier("nom.lst.sauvegarde"), "à garder");
    const std::string dehors = dir.Fichier("dehors");
    std::filesystem::create_directory(dehors);
    Ecrit(dehors + "/x", "à garder");
    for (const std::string journal :
         {"Sillage transaction 1\nR nom.lst.a1B2c3 nom.lst\n",                  // cut short
          "Sillage transaction 1\nR nom.lst.a1B2c3 nom.lst\nfin 2\n",           // wrong count
          "Sillage transaction 1\nS ../dehors/x\nfin 1\n",                      // outside
          "Sillage transaction 1\nR nom.lst.a1B2c3 ../dehors/x\nfin 1\n",       // outside
          "Sillage transaction 1\nR ../dehors/x nom.lst\nfin 1\n",              // outside
          "Sillage transaction 1\nR notes.txt nom.lst\nfin 1\n",                // not a temporary
          "Sillage transaction 2\nR nom.lst.a1B2c3 nom.lst\nfin 1\n",           // unknown
          "Sillage transaction 1\nR nom.lst.a1B2c3 nom.lst\nfin 1\nR x y\n"}) { // more after
        Ecrit(dir.Fichier("sillage.transaction"), journal);
        {
            Base b(dir.Chemin());
            Verrou v = b.Verrouille(std::chrono::milliseconds(0));
        }
        EXPECT_EQ(Contenu(dir.Fichier("nom.lst")), nom) << journal;
        EXPECT_EQ(Contenu(dehors + "/x"), "à garder");
        EXPECT_FALSE(std::filesystem::exists(dir.Fichier("sillage.transaction")));
    }
    // The temporaries and old copies went with the first recovery; other files stay.
    std::set<std::string> attendu = LesQuatorze();
    attendu.insert({"notes.txt", "nom.lst.sauvegarde", "dehors"});
    EXPECT_EQ(Fichiers(dir.Chemin()), attendu);

    // A whole journal is carried out.
    Ecrit(dir.Fichier("nom.lst.q1W2e3"), "\\1;0\\2;\r\n");
    Ecrit(dir.Fichier("sillage.transaction"),
          "Sillage transaction 1\nR nom.lst.q1W2e3 nom.lst\nS page.lst\nfin 2\n");
    {
        Base b(dir.Chemin());
        Verrou v = b.Verrouille(std::chrono::milliseconds(0));
    }
    EXPECT_EQ(Contenu(dir.Fichier("nom.lst")), "\\1;0\\2;\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("page.lst")));
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("sillage.transaction")));
}

// The files under a folder, by their path relative to it, with their bytes (folders left out,
// and the lock file).
std::map<std::string, std::string> Arbre(const std::string& dossier) {
    std::map<std::string, std::string> fichiers;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dossier)) {
        if (e.is_regular_file() && e.path().filename() != kFichierVerrou) {
            fichiers[std::filesystem::relative(e.path(), dossier).string()] =
                Contenu(e.path().string());
        }
    }
    return fichiers;
}

TEST(Transaction, FilesInSubFoldersChangeWithTheRootAsOneStep) {
    RepertoireTemporaire dir;
    const auto change = [&](const std::map<std::string, std::string>& fichiers, Disque& disque) {
        Transaction t(dir.Chemin(), disque);
        for (const auto& [nom, octets] : fichiers) {
            t.Remplace(nom, test::TableDe({octets}));
        }
        t.Valide();
    };
    const std::map<std::string, std::string> ancien = {{"nom.lst", "A\r\n"},
                                                       {"periodes/2024/nom.lst", "A\r\n"}};
    const std::map<std::string, std::string> nouveau = {{"nom.lst", "B\r\n"},
                                                        {"periodes/2024/nom.lst", "B\r\n"},
                                                        {"periodes/2024-03/nom.lst", "B\r\n"},
                                                        {"periodes/2024-03/page.lst", "B\r\n"}};
    std::map<std::string, std::string> nouveauB;
    for (const auto& [nom, octets] : nouveau) {
        nouveauB[nom] = octets.substr(0, 1) + "\r\n";
    }
    int etape = 0;
    for (;; ++etape) {
        bool fini = false;
        for (bool apres : {false, true}) {
            std::filesystem::remove_all(dir.Fichier("periodes"));
            for (const auto& e : std::filesystem::directory_iterator(dir.Chemin())) {
                std::filesystem::remove_all(e.path());
            }
            change(ancien, Disque::Systeme());
            const int code = DansUnFils([&] {
                DisqueQuiSArrete disque(etape, apres);
                change(nouveau, disque);
            });
            if (code == 0) {
                fini = true;
            } else {
                ASSERT_EQ(code, kArrete);
            }
            {
                Base b(dir.Chemin());
                Verrou v = b.Verrouille(std::chrono::milliseconds(0));
            }
            const auto arbre = Arbre(dir.Chemin());
            const auto attendu = [](const std::map<std::string, std::string>& m) {
                std::map<std::string, std::string> a;
                for (const auto& [nom, octets] : m) {
                    a[nom] = octets.substr(0, 1) + "\r\n\r\n";
                }
                return a;
            };
            ASSERT_TRUE(arbre == attendu(ancien) || arbre == attendu(nouveau))
                << "step " << etape << (apres ? " after" : " before") << ": "
                << testing::PrintToString(arbre);
            if (fini) {
                break;
            }
        }
        if (fini) {
            break;
        }
    }
    EXPECT_GT(etape, 4 * 5);
    (void)nouveauB;
}

TEST(Transaction, ASaveWithPeriodsStoppedAtAnyStepLeavesAllOldOrAllNew) {
    // In memory: a process stopped at a step leaves what a killed one leaves, and the hundreds of
    // saves below need no disk.
    RepertoireTemporaire dir(test::RepertoireEnMemoire().Chemin());
    // A store and two periods, all marked with the state they belong to.
    const auto remplit = [](Base& base, const std::string& marque, int lignes) {
        Remplit(base, marque, lignes);
        Remplit(base.Periode("2024"), marque + "annee-", lignes);
        Remplit(base.Periode("2024-03"), marque + "mois-", lignes);
    };
    const auto etat = [&](const std::string& marque, int lignes) {
        RepertoireTemporaire d(test::RepertoireEnMemoire().Chemin());
        Base b(d.Chemin());
        b.InitListes();
        remplit(b, marque, lignes);
        b.SauveListes();
        return Arbre(d.Chemin());
    };
    const auto ancien = etat("ancien-", 2);
    const auto nouveau = etat("nouveau-", 3);
    int etape = 0;
    for (bool fini = false; !fini; ++etape) {
        for (bool apres : {false, true}) {
            std::filesystem::remove_all(dir.Fichier("periodes"));
            for (const auto& e : std::filesystem::directory_iterator(dir.Chemin())) {
                std::filesystem::remove_all(e.path());
            }
            {
                Base b(dir.Chemin());
                b.InitListes();
                remplit(b, "ancien-", 2);
                b.SauveListes();
            }
            const int code = DansUnFils([&] {
                DisqueQuiSArrete disque(etape, apres);
                Base base(dir.Chemin());
                Verrou verrou = base.Verrouille(std::chrono::milliseconds(0));
                base.InitListes();
                base.FixeDisque(disque);
                remplit(base, "nouveau-", 3);
                base.SauveListes();
            });
            fini = code == 0;
            if (!fini) {
                ASSERT_EQ(code, kArrete);
            }
            {
                Base b(dir.Chemin());
                Verrou v = b.Verrouille(std::chrono::milliseconds(0));
                b.InitListes(); // the manifest agrees with the files
                for (const std::string& p : b.Periodes()) {
                    b.Periode(p);
                }
            }
            const auto arbre = Arbre(dir.Chemin());
            ASSERT_TRUE(arbre == ancien || arbre == nouveau)
                << "step " << etape << (apres ? " after" : " before");
            if (fini) {
                break;
            }
        }
    }
    EXPECT_GT(etape, 3 * 14 * 5);
}

TEST(Transaction, ARecoveryNeverLeavesTheStoreThroughItsSubFolders) {
    RepertoireTemporaire dir;
    const std::string dehors = dir.Fichier("dehors");
    std::filesystem::create_directories(dir.Fichier("store/periodes/2024"));
    std::filesystem::create_directory(dehors);
    const std::string store = dir.Fichier("store/");
    Ecrit(dehors + "/nom.lst", "à garder");
    Ecrit(store + "nom.lst", "à garder");
    Ecrit(store + "periodes/2024/nom.lst.a1B2c3", "nouveau\r\n");
    Ecrit(store + "periodes/2024/page.lst.ancien", "ancien\r\n");
    Ecrit(store + "periodes/2024/notes.txt.a1B2c3", "à garder");
    for (const std::string texte :
         {"Sillage transaction 1\nS periodes/../nom.lst\nfin 1\n",
          "Sillage transaction 1\nS periodes/2024/../../dehors/nom.lst\nfin 1\n",
          "Sillage transaction 1\nS periodes/abcd/nom.lst\nfin 1\n",
          "Sillage transaction 1\nS periodes/2024/notes.txt\nfin 1\n",
          "Sillage transaction 1\nR periodes/2024/nom.lst.a1B2c3 nom.lst\nfin 1\n"}) {
        Ecrit(store + "sillage.transaction", texte);
        Base b(store);
        Verrou v = b.Verrouille(std::chrono::milliseconds(0));
        EXPECT_EQ(Contenu(dehors + "/nom.lst"), "à garder") << texte;
        EXPECT_EQ(Contenu(store + "nom.lst"), "à garder") << texte;
    }
    // The temporaries and old copies of the period's files went; other files stay.
    EXPECT_FALSE(std::filesystem::exists(store + "periodes/2024/nom.lst.a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists(store + "periodes/2024/page.lst.ancien"));
    EXPECT_TRUE(std::filesystem::exists(store + "periodes/2024/notes.txt.a1B2c3"));
    EXPECT_TRUE(Base::EstFichierDuStore("periodes/2024-03/erreur.lst"));
    EXPECT_TRUE(Base::EstFichierDuStore("periodes/-0044/nom.lst"));
    for (const char* nom : {"periodes/2024/journaux.lst", "periodes/2024-13/nom.lst",
                            "periodes/24/nom.lst", "periodes//nom.lst", "periodes/2024/x/nom.lst",
                            "/etc/passwd", "../nom.lst", "periodes/2024/../nom.lst"}) {
        EXPECT_FALSE(Base::EstFichierDuStore(nom)) << nom;
    }
}

TEST(Transaction, TheFootprintChangesWithEverySaveAndReset) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    const EmpreinteDisque vide = base.LitEmpreinte();
    base.SauveListes();
    const EmpreinteDisque premiere = base.LitEmpreinte();
    EXPECT_NE(premiere, vide);
    EXPECT_EQ(base.LitEmpreinte(), premiere);
    base.SauveListes(); // the same content, new files
    EXPECT_NE(base.LitEmpreinte(), premiere);
    base.ReinitialiseListes();
    EXPECT_EQ(base.LitEmpreinte(), vide);
}

} // namespace
} // namespace sillage
