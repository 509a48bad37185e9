// sillage-import: imports access logs into the statistics tables without a window, for scripts
// and scheduled jobs. Each file is one import, exactly as the window's "Ouvrir" does it; the
// tables are then saved.

#include "app/ligne_commande.h"
#include "app/liste_journaux.h"
#include "import/import.h"
#include "rapports/hits.h"
#include "store/base.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "store/verrou.h"
#include "vues/vue_messages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Usage(std::FILE* f) {
    std::fputs(
        "Usage : sillage-import [--dir RÉPERTOIRE] [--attente SECONDES] [--incremental]\n"
        "                      [--ignore-illisibles] [--accepte-modifications]\n"
        "                      [--verbeux] [--hits FICHIER.csv] FICHIER...\n"
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
        "messages d'erreur et d'attente sont écrits.\n"
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

// The store folder as the messages name it: without its final separator.
std::string NomDossier(std::string dossier) {
    while (dossier.size() > 1 && dossier.back() == '/') {
        dossier.pop_back();
    }
    return dossier;
}

// Reads a number of seconds (digits, optionally a decimal point or comma and more digits).
bool LitSecondes(const std::string& texte, double& secondes) {
    if (texte.empty()) {
        return false;
    }
    std::string t = texte;
    std::replace(t.begin(), t.end(), ',', '.');
    char* fin = nullptr;
    secondes = std::strtod(t.c_str(), &fin);
    return fin == t.c_str() + t.size() && secondes >= 0 && secondes < 1e9 &&
           std::all_of(t.begin(), t.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// What the import of one file did, in one line (and one more for the lines passed over).
void Rapporte(const std::string& fichier, const sillage::CompteRenduImport& r, bool incremental) {
    if (!incremental) {
        std::printf(
            "%s : %s\n", fichier.c_str(),
            sillage::CompteEnFrancais(r.Lignes, "ligne importée", "lignes importées").c_str());
    } else {
        std::string suite;
        if (r.Connu) {
            suite = sillage::CompteEnFrancais(r.DejaComptees, "déjà comptée", "déjà comptées");
        } else if (r.Reecrit) {
            suite = "journal réécrit depuis son dernier import, compté en entier";
        } else {
            suite = "journal nouveau";
        }
        std::printf(
            "%s : %s (%s)\n", fichier.c_str(),
            sillage::CompteEnFrancais(r.Lignes, "ligne nouvelle", "lignes nouvelles").c_str(),
            suite.c_str());
    }
    if (r.Illisibles > 0) {
        std::printf("%s : %s\n", fichier.c_str(),
                    sillage::TexteIllisiblesIgnorees(r.Illisibles, r.PremiereIllisible).c_str());
    }
}

std::string Decimal(double v, int chiffres) {
    char t[64];
    std::snprintf(t, sizeof t, "%.*f", chiffres, v);
    std::string s(t);
    if (const std::size_t p = s.find('.'); p != std::string::npos) {
        s[p] = ',';
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
#ifdef M_MMAP_THRESHOLD
    // Large blocks (tables, buffers) come from and go back to the system at once: without a
    // fixed threshold the allocator raises it after each large free and keeps what is freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    double attente = -1; // seconds; negative: as long as needed
    bool accepteModifications = false;
    sillage::DemandeImport demande;
    std::vector<std::string> listes;
    bool verbeux = false;
    std::string cheminHits;
    const sillage::Programme programme{
        "sillage-import",
        {{"--attente", "un nombre de secondes",
          [&](const std::string& v) { return LitSecondes(v, attente); }},
         {"--incremental", "",
          [&](const std::string&) {
              demande.Mode = sillage::ModeImport::Nouveau;
              return true;
          }},
         {"--ignore-illisibles", "",
          [&](const std::string&) {
              demande.IgnoreIllisibles = true;
              return true;
          }},
         {"--accepte-modifications", "",
          [&](const std::string&) {
              accepteModifications = true;
              return true;
          }},
         {"--liste", "un fichier",
          [&](const std::string& v) {
              listes.push_back(v);
              return !v.empty();
          }},
         {"--verbeux", "",
          [&](const std::string&) {
              verbeux = true;
              return true;
          }},
         {"--hits", "un fichier",
          [&](const std::string& v) {
              cheminHits = v;
              return !v.empty();
          }}},
        Usage};
    sillage::LigneCommande ligne;
    if (const std::optional<int> code = sillage::LitLigneCommande(programme, argc, argv, ligne)) {
        return *code;
    }
    if (ligne.fichiers.empty() && listes.empty()) {
        return sillage::MauvaisUsage(programme, "aucun journal à importer");
    }
    // What each file gave goes to the standard output only when someone reads it at once, or on
    // request: a scheduled run (cron mails what a job writes) says nothing unless something fails.
    verbeux = verbeux || ::isatty(STDOUT_FILENO) != 0 || ::isatty(STDERR_FILENO) != 0;
    if (verbeux) {
        // A line at a time, so that the report and the errors keep their order where both go to
        // one place (systemd's journal, a file).
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    }

    // The logs of the lists first, before the tables are reserved: a list at fault changes
    // nothing.
    std::vector<std::string> fichiers;
    try {
        for (const std::string& l : listes) {
            sillage::ListeJournaux liste = sillage::LitListeJournaux(l);
            if (verbeux) {
                for (const std::string& remarque : liste.remarques) {
                    std::printf("%s\n", remarque.c_str());
                }
            }
            fichiers.insert(fichiers.end(), liste.fichiers.begin(), liste.fichiers.end());
        }
    } catch (const sillage::ErreurSillage& e) {
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return 1;
    }
    fichiers.insert(fichiers.end(), ligne.fichiers.begin(), ligne.fichiers.end());

    sillage::Base base;
    // One writer at a time: the lock is held from before the tables are read until they are
    // saved, so that what another program saves meanwhile is read, not overwritten.
    sillage::Verrou verrou;
    // The hits of the counted lines, when asked for: rows of a log that fails are taken back.
    std::optional<sillage::FichierHits> hits;
    try {
        base.FixeRepertoire(
            sillage::EmplacementBase(ligne.repertoire, sillage::DossierProgramme()));
        const std::string dossier = NomDossier(base.Repertoire());
        verrou = base.Verrouille(
            std::chrono::milliseconds(attente < 0 ? -1 : static_cast<long long>(attente * 1000)),
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
        base.InitListes(accepteModifications);
        if (!cheminHits.empty()) {
            hits.emplace(cheminHits, base);
            demande.Observateur = &*hits;
        }
    } catch (const sillage::ErreurSillage& e) {
        // No store folder, or a partial load: saving would overwrite the tables that did not
        // load, or write them elsewhere.
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return 1;
    }

    Barre barre(::isatty(STDERR_FILENO) != 0);
    const auto debut = std::chrono::steady_clock::now();
    std::int64_t lignes = 0;
    int code = 0;
    for (const std::string& fichier : fichiers) {
        try {
            if (hits) {
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
            if (verbeux) {
                Rapporte(fichier, rendu, demande.Mode == sillage::ModeImport::Nouveau);
            }
        } catch (const sillage::ErreurSillage& e) {
            barre.Termine();
            std::fprintf(stderr, "sillage-import : %s : %s\n", fichier.c_str(), e.what());
            code = 1;
            break;
        }
    }
    try {
        if (hits) {
            if (code != 0) {
                hits->AnnuleJournal();
            }
            hits->Prepare();
        }
        if (base.Modifie == 1) {
            base.SauveListes();
        }
        if (hits) {
            hits->Termine(); // the hits of the tables saved
        }
    } catch (const sillage::ErreurSillage& e) {
        std::fprintf(stderr, "sillage-import : %s\n", e.what());
        return 1;
    }
    const double secondes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    if (!verbeux) {
        return code;
    }
    std::printf("%lld lignes lues en %s s (%s lignes par seconde)\n",
                static_cast<long long>(lignes), Decimal(secondes, 2).c_str(),
                Decimal(secondes > 0 ? static_cast<double>(lignes) / secondes : 0.0, 0).c_str());
    return code;
}
