// sillage-import: imports access logs into the statistics tables without a window, for scripts
// and scheduled jobs. Each file is one import, exactly as the window's "Ouvrir" does it; the
// tables are then saved.

#include "app/ligne_commande.h"
#include "app/liste_journaux.h"
#include "import/import.h"
#include "import/lecture/cibles.h"
#include "rapports/hits.h"
#include "store/base.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "store/fichiers.h"
#include "store/options_robots.h"
#include "store/verrou.h"
#include "visiteurs/classificateur.h"
#include "visiteurs/listes_robots.h"
#include "vues/vue_messages.h"
#include "vues/vue_periodes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Usage(std::FILE* f) {
    std::fputs(
        "Usage : sillage-import [--dir RÉPERTOIRE] [--attente SECONDES] [--incremental]\n"
        "                      [--ignore-illisibles] [--sans-robots]\n"
        "                      [--accepte-modifications] [--verbeux]\n"
        "                      [--hits FICHIER.csv] FICHIER...\n"
        "        sillage-import [OPTION...] --liste LISTE [FICHIER...]\n"
        "\n"
        "Importe chaque journal d'accès FICHIER (format combiné, éventuellement compressé\n"
        "par gzip) dans les tables de statistiques, dans l'ordre donné, puis enregistre les\n"
        "tables.\n"
        "\n"
        "  --dir RÉPERTOIRE     répertoire des tables (par défaut : celui du programme\n"
        "                       s'il contient nom.lst, sinon ~/.local/share/sillage)\n"
        "  --attente SECONDES   attend au plus SECONDES que les tables soient libres quand\n"
        "                       un autre programme les utilise (par défaut : aussi\n"
        "                       longtemps qu'il faut) ; au-delà, code de retour 75\n"
        "  --incremental        n'importe de chaque journal que les lignes venues après\n"
        "                       celles déjà comptées : un journal renommé, tourné ou\n"
        "                       compressé est reconnu à son contenu ; une dernière ligne\n"
        "                       sans fin de ligne attend l'import suivant\n"
        "  --ignore-illisibles  passe les lignes illisibles (et les dates qui ne se\n"
        "                       comptent pas) au lieu d'arrêter l'import, et les compte\n"
        "  --sans-robots        ne compte pas les lignes des robots dans les statistiques\n"
        "                       (seulement dans la table des agents, agents.lst),\n"
        "                       comme si elles manquaient au journal ; sans cette option,\n"
        "                       l'option « Ne pas compter les robots » des tables décide\n"
        "  --accepte-modifications\n"
        "                       accepte les tables telles qu'elles sont quand elles ont\n"
        "                       changé depuis leur dernier enregistrement (à la main, ou\n"
        "                       abîmées) ; sans cette option l'import s'arrête\n"
        "  --liste LISTE        importe d'abord les journaux que nomme le fichier LISTE :\n"
        "                       un chemin ou un motif par ligne, du plus ancien au plus\n"
        "                       récent (# en tête de ligne : commentaire)\n"
        "  --verbeux            écrit ce que chaque fichier a donné même hors d'un\n"
        "                       terminal (par défaut : seulement sur un terminal)\n"
        "  --hits FICHIER.csv   écrit aussi chaque hit compté, une ligne CSV par ligne de\n"
        "                       journal (colonnes de l'Elastic Common Schema), compressé\n"
        "                       par gzip si le nom finit par .gz ; le fichier n'apparaît\n"
        "                       qu'une fois les tables enregistrées\n"
        "  -h, --help           affiche cette aide\n"
        "  -V, --version        affiche la version\n"
        "\n"
        "En cas d'erreur, le message et le nom du fichier sont écrits sur la sortie\n"
        "d'erreur, les fichiers importés avant lui sont enregistrés, et le code de\n"
        "retour est 1. Hors d'un terminal (cron, systemd) et sans --verbeux, seuls les\n"
        "messages d'erreur et d'attente sont écrits. Un problème des listes de robots\n"
        "(regexes.yaml d'uap-core, la liste des robots, robots.lst dans le répertoire des\n"
        "tables) est écrit sur la sortie d'erreur : l'import se fait sans ce qui manque.\n"
        "\n"
        "Un seul programme à la fois modifie les tables : sillage-import les réserve\n"
        "avant de les lire et jusqu'à ce qu'elles soient enregistrées.\n",
        f);
}

// A progress bar on the terminal, redrawn when its value changes.
class Barre {
  public:
    explicit Barre(bool active) : active_(active) {}
    bool Active() const { return active_; }
    void Montre(const std::string& fichier, int valeur) {
        if (!active_) {
            return;
        }
        const int v = valeur < 0 ? 0 : (valeur > 100 ? 100 : valeur);
        constexpr int kLargeur = 40;
        std::string barre(static_cast<std::size_t>(v * kLargeur / 100), '#');
        barre.resize(kLargeur, '.');
        std::fprintf(stderr, "\r%s [%s] %3d %%", fichier.c_str(), barre.c_str(), v);
        std::fflush(stderr);
    }
    void Termine() {
        if (active_) {
            std::fputc('\n', stderr);
        }
    }

  private:
    bool active_;
};

// What is written once the tables are saved: the report goes to the standard output, remarks and
// errors to the standard error, in the order they came.
struct Sortie {
    std::FILE* flux;
    std::string texte;
};

// What the import of one file did, in one line (and one more for the lines passed over, which
// are not counted as imported): its lines, how many of their hits were robots' when robots were
// told apart, and the months the lines fell in (those whose statistics changed).
void Rapporte(const std::string& fichier, const sillage::CompteRenduImport& r, bool incremental,
              std::vector<Sortie>& sorties) {
    const std::int64_t comptees = r.Lignes - r.Illisibles;
    const std::string robots = r.Robots >= 0 ? ", " + sillage::TexteDontRobots(r.Robots) : "";
    const std::string mois = sillage::TexteMoisTouches(r.Periodes);
    if (!incremental) {
        std::string suite =
            r.DejaImporteLe.empty() ? std::string() : sillage::TexteDejaImporte(r.DejaImporteLe);
        if (!mois.empty()) {
            suite += (suite.empty() ? "" : " ; ") + mois;
        }
        sorties.push_back(
            {stdout, fichier + " : " +
                         sillage::CompteEnFrancais(comptees, "ligne importée", "lignes importées") +
                         robots + (suite.empty() ? "" : " (" + suite + ")")});
    } else {
        std::string suite;
        if (r.Connu) {
            suite = sillage::CompteEnFrancais(r.DejaComptees, "déjà comptée", "déjà comptées");
        } else if (r.Reecrit) {
            suite = "journal réécrit depuis son dernier import, compté en entier";
        } else if (r.Vide) {
            suite = "fichier vide";
        } else {
            suite = "journal nouveau";
        }
        if (!mois.empty()) {
            suite += " ; " + mois;
        }
        sorties.push_back(
            {stdout, fichier + " : " +
                         sillage::CompteEnFrancais(comptees, "ligne nouvelle", "lignes nouvelles") +
                         robots + " (" + suite + ")"});
    }
    if (r.Illisibles > 0) {
        sorties.push_back(
            {stdout, fichier + " : " +
                         sillage::TexteIllisiblesIgnorees(r.Illisibles, r.PremiereIllisible)});
    }
}

// The versions of the lists that tell robots apart, for --version.
std::vector<std::string> VersionsListes() {
    const sillage::VersionsListes v =
        sillage::LitVersionsListes(sillage::FichiersDonnees::ParDefaut());
    return {v.uap, v.robots};
}

// What the command line asks for.
struct Reglages {
    double attente = -1; // seconds; negative: as long as needed
    bool accepteModifications = false;
    bool verbeux = false;
    bool sansRobots = false;
    std::string cheminHits;
    std::vector<std::string> listes;
    sillage::DemandeImport demande;
};

// The options of the command line, each setting its part of r.
sillage::Programme DecritProgramme(Reglages& r) {
    const auto drapeau = [](bool& b) {
        return [&b](const std::string&) {
            b = true;
            return true;
        };
    };
    return {"sillage-import",
            {{"--attente", "un nombre de secondes",
              [&r](const std::string& v) { return sillage::LitSecondes(v, r.attente); }},
             {"--incremental", "",
              [&r](const std::string&) {
                  r.demande.Mode = sillage::ModeImport::Nouveau;
                  return true;
              }},
             {"--ignore-illisibles", "", drapeau(r.demande.IgnoreIllisibles)},
             {"--sans-robots", "", drapeau(r.sansRobots)},
             {"--accepte-modifications", "", drapeau(r.accepteModifications)},
             {"--liste", "un fichier",
              [&r](const std::string& v) {
                  r.listes.push_back(v);
                  return !v.empty();
              }},
             {"--verbeux", "", drapeau(r.verbeux)},
             {"--hits", "un fichier",
              [&r](const std::string& v) {
                  r.cheminHits = v;
                  return !v.empty();
              }}},
            Usage,
            VersionsListes};
}

// The logs to import: those that the lists name first (their remarks told when verbeux), then
// those of the command line. Empty optional, the error told, when a list is at fault.
std::optional<std::vector<std::string>> Journaux(const Reglages& r,
                                                 const std::vector<std::string>& autres) {
    std::vector<std::string> fichiers;
    try {
        for (const std::string& l : r.listes) {
            sillage::ListeJournaux liste = sillage::LitListeJournaux(l);
            if (r.verbeux) {
                for (const std::string& remarque : liste.remarques) {
                    std::printf("%s\n", remarque.c_str());
                }
            }
            fichiers.insert(fichiers.end(), liste.fichiers.begin(), liste.fichiers.end());
        }
    } catch (const sillage::ErreurSillage& e) {
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return std::nullopt;
    }
    fichiers.insert(fichiers.end(), autres.begin(), autres.end());
    return fichiers;
}

// Reserves the store at repertoire (waiting as r says), reads it and checks that it can be
// written. Answers the exit status when it cannot go on: 75 when the wait ran out, 1 on error.
// One writer at a time: the lock is held from before the tables are read until they are saved,
// so that what another program saves meanwhile is read, not overwritten.
std::optional<int> OuvreBase(sillage::Base& base, sillage::Verrou& verrou,
                             const std::string& repertoire, const Reglages& r,
                             const std::vector<std::string>& periodes) {
    try {
        base.FixeRepertoire(sillage::EmplacementBase(repertoire, sillage::DossierProgramme()));
        const std::string dossier = sillage::NomDossier(base.Repertoire());
        verrou = base.Verrouille(
            std::chrono::milliseconds(r.attente < 0 ? -1
                                                    : static_cast<long long>(r.attente * 1000)),
            [&] {
                std::fprintf(stderr,
                             "En attente : les tables de %s sont utilisées par un autre "
                             "programme…\n",
                             dossier.c_str());
            });
        if (!verrou.Tenu()) {
            std::fprintf(stderr, "%s\n", sillage::TexteTablesOccupees(dossier).c_str());
            return 75;
        }
        base.InitListes(r.accepteModifications, periodes);
        // Before a log is read: a store that cannot be saved is told at once.
        base.VerifieEcrivable();
    } catch (const sillage::ErreurSillage& e) {
        // No store folder, or a partial load: saving would overwrite the tables that did not
        // load, or write them elsewhere.
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return 1;
    }
    return std::nullopt;
}

// Robots are told apart when their lines are left out, or to say how many hits were theirs:
// each distinct agent once, from the classifications kept between runs when it is known. Sets
// demande to use the classifier answered (null when robots are not told apart).
std::unique_ptr<sillage::Classificateur> PrepareRobots(const sillage::Base& base, bool sansRobots,
                                                       bool verbeux,
                                                       sillage::DemandeImport& demande) {
    demande.SansRobots = sansRobots || sillage::LitSansRobots(base.ListeOptionsRobots);
    std::unique_ptr<sillage::Classificateur> classement;
    if (demande.SansRobots || verbeux) {
        classement = std::make_unique<sillage::Classificateur>(
            sillage::FichiersDonnees::ParDefaut(),
            base.CheminFichier(sillage::kFichierRobotsUtilisateur));
        demande.Classement = classement.get();
    }
    return classement;
}

// Imports each file in turn into base, until one fails; adds the lines read to lignes and what
// is to be written to sorties. The hits file, when given, is told where each log's rows begin and
// takes back those of a log that fails. Answers the exit status: 1 when a file failed.
int ImporteFichiers(sillage::Base& base, const std::vector<std::string>& fichiers,
                    const sillage::DemandeImport& demande, sillage::FichierHits* hits,
                    std::int64_t& lignes, std::vector<Sortie>& sorties) {
    Barre barre(::isatty(STDERR_FILENO) != 0);
    for (const std::string& fichier : fichiers) {
        try {
            if (hits != nullptr) {
                hits->DebutJournal();
            }
            // Without a bar to draw no progress is asked for: a plain log is then read once,
            // not counted ahead.
            const sillage::CompteRenduImport rendu = sillage::ImporteJournal(
                base, fichier, demande,
                barre.Active()
                    ? sillage::RappelProgression([&](int v) { barre.Montre(fichier, v); })
                    : sillage::RappelProgression());
            barre.Termine();
            lignes += rendu.Lignes;
            Rapporte(fichier, rendu, demande.Mode == sillage::ModeImport::Nouveau, sorties);
            if (rendu.Coupe) {
                sorties.push_back({stderr, sillage::TexteCompresseCoupe(fichier)});
            }
        } catch (const sillage::ErreurSillage& e) {
            barre.Termine();
            sorties.push_back({stderr, sillage::MessageDuFichier(fichier, e.what())});
            if (hits != nullptr) {
                hits->AnnuleJournal();
            }
            return 1;
        }
    }
    return 0;
}

// Saves the tables when they changed, the hits file (when given) made durable before and put in
// place after. Answers false, the error told, when the save failed: nothing was imported then.
bool Enregistre(sillage::Base& base, sillage::FichierHits* hits) {
    try {
        if (hits != nullptr) {
            hits->Prepare();
        }
        if (base.Modifie == 1) {
            base.SauveListes();
        }
        if (hits != nullptr) {
            hits->Termine(); // the hits of the tables saved
        }
    } catch (const sillage::ErreurSillage& e) {
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return false;
    }
    return true;
}

// v with chiffres decimals and a French comma.
std::string Decimal(double v, int chiffres) {
    char t[64];
    std::snprintf(t, sizeof t, "%.*f", chiffres, v);
    std::string s(t);
    if (const std::size_t p = s.find('.'); p != std::string::npos) {
        s[p] = ',';
    }
    return s;
}

// Writes what the imports gave, once the tables are saved: errors always, the report when
// verbeux, then the lines read and the speed.
void EcritSorties(const std::vector<Sortie>& sorties, bool verbeux, std::int64_t lignes,
                  std::chrono::steady_clock::time_point debut) {
    for (const Sortie& s : sorties) {
        if (s.flux == stderr) {
            std::fprintf(stderr, "sillage-import : %s\n", s.texte.c_str());
        } else if (verbeux) {
            std::printf("%s\n", s.texte.c_str());
        }
    }
    if (!verbeux) {
        return;
    }
    const double secondes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    std::printf("%lld lignes lues en %s s (%s lignes par seconde)\n",
                static_cast<long long>(lignes), Decimal(secondes, 2).c_str(),
                Decimal(secondes > 0 ? static_cast<double>(lignes) / secondes : 0.0, 0).c_str());
}

} // namespace

int main(int argc, char** argv) {
#ifdef M_MMAP_THRESHOLD
    // Large blocks (tables, buffers) come from and go back to the system at once: without a
    // fixed threshold the allocator raises it after each large free and keeps what is freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    // An import's save writes anew the tables it changed and deletes the old files: a table not
    // in the page cache (as the last import's save leaves it) is read past the cache rather than
    // put in it to be thrown away.
    sillage::LitHorsCacheSiAbsent(true);
    Reglages r;
    const sillage::Programme programme = DecritProgramme(r);
    sillage::LigneCommande ligne;
    if (const std::optional<int> code = sillage::LitLigneCommande(programme, argc, argv, ligne)) {
        return *code;
    }
    if (ligne.fichiers.empty() && r.listes.empty()) {
        return sillage::MauvaisUsage(programme, "aucun journal à importer");
    }
    // What each file gave goes to the standard output only when someone reads it at once, or on
    // request: a scheduled run (cron mails what a job writes) says nothing unless something fails.
    r.verbeux = r.verbeux || ::isatty(STDOUT_FILENO) != 0 || ::isatty(STDERR_FILENO) != 0;
    if (r.verbeux) {
        // A line at a time, so that the report and the errors keep their order where both go to
        // one place (systemd's journal, a file).
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    }
    // The logs of the lists first, before the tables are reserved: a list at fault changes
    // nothing.
    const std::optional<std::vector<std::string>> fichiers = Journaux(r, ligne.fichiers);
    if (!fichiers) {
        return 1;
    }

    // The periods that the last lines of the logs fall in are read with the store: a nightly
    // import counts in them.
    std::vector<std::string> periodes;
    for (std::size_t i = 0; i < fichiers->size() && periodes.size() < sillage::kPeriodesProbables;
         ++i) {
        for (std::string& p : sillage::PeriodesProbables((*fichiers)[i])) {
            if (periodes.size() < sillage::kPeriodesProbables &&
                std::find(periodes.begin(), periodes.end(), p) == periodes.end()) {
                periodes.push_back(std::move(p));
            }
        }
    }
    sillage::Base base;
    sillage::Verrou verrou;
    if (const std::optional<int> code = OuvreBase(base, verrou, ligne.repertoire, r, periodes)) {
        return *code;
    }
    // The hits of the counted lines, when asked for: rows of a log that fails are taken back;
    // each says whether its agent is a robot's, from a classifier of the writing thread's own.
    std::unique_ptr<sillage::Classificateur> classementHits;
    std::optional<sillage::FichierHits> hits;
    try {
        if (!r.cheminHits.empty()) {
            classementHits = std::make_unique<sillage::Classificateur>(
                sillage::FichiersDonnees::ParDefaut(),
                base.CheminFichier(sillage::kFichierRobotsUtilisateur));
            hits.emplace(r.cheminHits, base, classementHits.get());
            r.demande.Observateur = &*hits;
        }
    } catch (const sillage::ErreurSillage& e) {
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return 1;
    }
    const std::unique_ptr<sillage::Classificateur> classement =
        PrepareRobots(base, r.sansRobots, r.verbeux, r.demande);

    const auto debut = std::chrono::steady_clock::now();
    std::int64_t lignes = 0;
    std::vector<Sortie> sorties;
    const int code =
        ImporteFichiers(base, *fichiers, r.demande, hits ? &*hits : nullptr, lignes, sorties);
    if (classement) {
        // What could not be read of the lists: the import went on without it.
        for (const std::string& message : classement->Messages()) {
            sorties.push_back({stderr, message});
        }
        classement->SauveCache(); // (a cache that cannot be written costs only time)
    }
    if (!Enregistre(base, hits ? &*hits : nullptr)) {
        return 1; // nothing was imported after all: no report, only why
    }
    EcritSorties(sorties, r.verbeux, lignes, debut);
    return code;
}
