// sillage-rapport: the statistics of a store out of the window, for scripts, spreadsheets and web
// servers: one view as CSV, or the static HTML report. It reads the store under its lock only
// while it loads the tables, so that a running import waits a moment at most and a report never
// sees half a save.

#include "app/ligne_commande.h"
#include "rapports/csv.h"
#include "rapports/dossier_rapport.h"
#include "rapports/rapport_html.h"
#include "rapports/vues_rapport.h"
#include "sillage_version.h"
#include "store/base.h"
#include "store/confiance.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "store/fichiers.h"
#include "store/periodes.h"
#include "visiteurs/listes_robots.h"
#include "vues/vue_messages.h"
#include "vues/vue_periodes.h"
#include "vues/vue_visiteurs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kNom = "sillage-rapport";

void Usage(std::FILE* f) {
    std::fputs("Usage : sillage-rapport [OPTION...] --csv VUE [-o FICHIER]\n"
               "        sillage-rapport [OPTION...] --html [-o DOSSIER]\n"
               "        sillage-rapport --liste-vues\n"
               "\n"
               "Écrit les statistiques des tables de Sillage hors de la fenêtre : une vue en CSV\n"
               "(UTF-8, « ; » entre les champs, virgule décimale), ou le rapport HTML statique\n"
               "(une page index.html autonome, en français, sans script, et une page par année\n"
               "et par mois que gardent les tables, AAAA.html et AAAA-MM.html, liées entre\n"
               "elles).\n"
               "\n"
               "  --csv VUE            écrit la vue VUE (voir --liste-vues) sur la sortie\n"
               "                       standard, ou dans FICHIER avec -o\n"
               "  --html               écrit le rapport dans DOSSIER (-o), remplacé en entier\n"
               "                       d'un coup ; sans -o, dans le dossier que nomme\n"
               "                       ~/.config/sillage/rapport\n"
               "  -o, --sortie CHEMIN  le fichier CSV ou le dossier du rapport\n"
               "  --periode PÉRIODE    les tables d'une année (AAAA) ou d'un mois (AAAA-MM) ;\n"
               "                       avec --html, la page de cette période seule\n"
               "  --liste-vues         nomme les vues\n"
               "  --dir RÉPERTOIRE     répertoire des tables (par défaut : celui du programme\n"
               "                       s'il contient nom.lst, sinon ~/.local/share/sillage)\n"
               "  --attente SECONDES   attend au plus SECONDES que les tables soient libres quand\n"
               "                       un autre programme les enregistre (par défaut : aussi\n"
               "                       longtemps qu'il faut) ; au-delà, code de retour 75\n"
               "  -h, --help           affiche cette aide\n"
               "  -V, --version        affiche la version\n"
               "\n"
               "Codes de retour : 0 si tout va bien, 1 quand les tables ne se lisent pas ou que\n"
               "la sortie ne s'écrit pas (rien n'est alors écrit, un rapport précédent reste\n"
               "entier), 2 pour une erreur de la ligne de commande (une vue ou une période qui\n"
               "n'existe pas), 75 quand les tables sont restées occupées.\n",
               f);
}

enum class Action { Aucune, Csv, Html, ListeVues };

struct Demande {
    Action action = Action::Aucune;
    int actions = 0; // how many of --csv, --html and --liste-vues were given
    std::string vue;
    std::string sortie;
    std::string periode;
    double attente = -1; // seconds; negative: as long as needed
};

std::string NomsDesVues() {
    std::string noms;
    for (const sillage::DescriptionVue& d : sillage::VuesRapport()) {
        noms += noms.empty() ? "" : ", ";
        noms += d.Nom;
    }
    return noms;
}

// The periods whose folders the store holds, in order.
std::vector<std::string> PeriodesPresentes(const std::string& dossierBase) {
    std::vector<std::string> periodes;
    const std::string dossier = dossierBase + std::string(sillage::kDossierPeriodes);
    if (DIR* d = ::opendir(dossier.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            struct stat st;
            const std::string nom = e->d_name;
            if (sillage::EstNomPeriode(nom) && ::stat((dossier + "/" + nom).c_str(), &st) == 0 &&
                S_ISDIR(st.st_mode)) {
                periodes.push_back(nom);
            }
        }
        ::closedir(d);
    }
    std::sort(periodes.begin(), periodes.end());
    return periodes;
}

// The report's folder that the user's configuration names: the first line of FICHIER that is
// neither empty nor a comment; "~/" starts from the home folder, a relative path from the file's
// folder. Empty when the file does not exist.
std::string DossierConfigure(std::string& fichier) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string personnel = sillage::DossierPersonnel();
    fichier =
        (config != nullptr && config[0] == '/' ? std::string(config) : personnel + "/.config") +
        "/sillage/rapport";
    if (!sillage::FichierExiste(fichier)) {
        return {};
    }
    std::ifstream flux(fichier);
    std::string ligne;
    while (flux && std::getline(flux, ligne)) {
        const std::size_t debut = ligne.find_first_not_of(" \t");
        const std::size_t fin = ligne.find_last_not_of(" \t\r");
        if (debut == std::string::npos || ligne[debut] == '#') {
            continue;
        }
        ligne = ligne.substr(debut, fin - debut + 1);
        if (ligne.rfind("~/", 0) == 0) {
            return personnel + ligne.substr(1);
        }
        if (ligne[0] != '/') {
            return fichier.substr(0, fichier.rfind('/') + 1) + ligne;
        }
        return ligne;
    }
    throw sillage::ErreurSillage("Le fichier " + fichier + " ne nomme aucun dossier de rapport.");
}

// What the command line asks for; a status to end with when it is a mistake (or --help).
std::optional<int> LitDemande(int argc, char** argv, Demande& d, sillage::LigneCommande& ligne) {
    const auto action = [&](Action a) {
        d.action = a;
        ++d.actions;
        return true;
    };
    const auto valeur = [](std::string& cible) {
        return [&cible](const std::string& v) {
            cible = v;
            return !v.empty();
        };
    };
    const sillage::Programme programme{
        kNom,
        {{"--csv", "une vue",
          [&, prend = valeur(d.vue)](const std::string& v) {
              return prend(v) && action(Action::Csv);
          }},
         {"--html", "", [&](const std::string&) { return action(Action::Html); }},
         {"--liste-vues", "", [&](const std::string&) { return action(Action::ListeVues); }},
         {"-o", "un fichier ou un répertoire", valeur(d.sortie)},
         {"--sortie", "un fichier ou un répertoire", valeur(d.sortie)},
         {"--periode", "une période (AAAA ou AAAA-MM)", valeur(d.periode)},
         {"--attente", "un nombre de secondes",
          [&](const std::string& v) { return sillage::LitSecondes(v, d.attente); }}},
        Usage,
        [] {
            // The versions of the lists that tell robots apart.
            const sillage::VersionsListes v =
                sillage::LitVersionsListes(sillage::FichiersDonnees::ParDefaut());
            return std::vector<std::string>{v.uap, v.robots};
        }};
    if (const std::optional<int> code = sillage::LitLigneCommande(programme, argc, argv, ligne)) {
        return code;
    }
    if (!ligne.fichiers.empty()) {
        return sillage::MauvaisUsage(programme, "argument en trop : " + ligne.fichiers.front());
    }
    if (d.actions != 1) {
        return sillage::MauvaisUsage(programme, "choisissez une seule de --csv VUE, --html et "
                                                "--liste-vues");
    }
    if (d.action == Action::Csv && !sillage::VueNommee(d.vue)) {
        std::fprintf(stderr, "%s : vue inconnue : %s\nVues : %s.\n", kNom, d.vue.c_str(),
                     NomsDesVues().c_str());
        return 2;
    }
    if (d.action == Action::Html && d.sortie.empty()) {
        std::string fichier;
        try {
            d.sortie = DossierConfigure(fichier);
        } catch (const sillage::ErreurSillage& e) {
            std::fprintf(stderr, "%s : %s\n", kNom, e.what());
            return 1;
        }
        if (d.sortie.empty()) {
            return sillage::MauvaisUsage(programme, "--html attend -o DOSSIER (ou un dossier "
                                                    "nommé dans " +
                                                        fichier + ")");
        }
    }
    return std::nullopt;
}

// The period's folder, checked; a status to end with when it is not one of the store's.
std::optional<int> VerifiePeriode(const std::string& dossierBase, const std::string& periode) {
    if (periode.empty()) {
        return std::nullopt;
    }
    const std::vector<std::string> presentes = PeriodesPresentes(dossierBase);
    if (std::find(presentes.begin(), presentes.end(), periode) != presentes.end()) {
        return std::nullopt;
    }
    std::string liste;
    for (const std::string& p : presentes) {
        liste += liste.empty() ? "" : ", ";
        liste += p;
    }
    std::fprintf(stderr, "%s : période inconnue : %s\n%s\n", kNom, periode.c_str(),
                 presentes.empty() ? "Les tables ne gardent aucune période."
                                   : ("Périodes : " + liste + ".").c_str());
    return 2;
}

// The store read: its tables, under its lock while it is held; what is reported, the store or
// one of its periods.
struct Lecture {
    std::unique_ptr<sillage::Base> racine;
    sillage::Verrou verrou;
    const sillage::Base* base = nullptr;
};

// Loads the tables of dossier (of its period, when given) under the store's lock, which the
// caller releases once it has read what it reports. Nothing when the lock stayed taken past
// attente.
std::optional<Lecture> Charge(const std::string& dossier, const std::string& periode,
                              double attente) {
    Lecture l;
    l.racine = std::make_unique<sillage::Base>(dossier);
    const std::string nom = sillage::NomDossier(l.racine->Repertoire());
    l.verrou = l.racine->Verrouille(
        std::chrono::milliseconds(attente < 0 ? -1 : static_cast<long long>(attente * 1000)), [&] {
            std::fprintf(stderr,
                         "En attente : les tables de %s sont utilisées par un autre programme…\n",
                         nom.c_str());
        });
    if (!l.verrou.Tenu()) {
        std::fprintf(stderr, "%s\n", sillage::TexteTablesOccupees(nom).c_str());
        return std::nullopt;
    }
    l.racine->InitListes();
    // A period is read as the store reads it, checked against the store's manifest.
    l.base = periode.empty() ? l.racine.get() : &l.racine->Periode(periode);
    return l;
}

// Who visits, computed as the window's tab computes it: the classifier and the countries made
// once for every page of a report.
class Visiteurs {
  public:
    explicit Visiteurs(const sillage::Base& racine)
        : donnees_(sillage::FichiersDonnees::ParDefaut()),
          classement_(donnees_, racine.CheminFichier(sillage::kFichierRobotsUtilisateur)),
          pays_(donnees_) {}
    ~Visiteurs() { classement_.SauveCache(); }
    Visiteurs(const Visiteurs&) = delete;
    Visiteurs& operator=(const Visiteurs&) = delete;

    std::unique_ptr<sillage::VueVisiteurs> De(const sillage::Base& base) {
        return std::make_unique<sillage::VueVisiteurs>(
            sillage::CalculeVisiteurs(base.ListeAgents, base.ListeNom, classement_, pays_));
    }

  private:
    sillage::FichiersDonnees donnees_;
    sillage::Classificateur classement_;
    sillage::Pays pays_;
};

std::string Maintenant() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char texte[64];
    std::strftime(texte, sizeof texte, "%d/%m/%Y à %H:%M", &local);
    return texte;
}

void EcritCsv(Lecture& l, const Demande& d) {
    const sillage::VueRapport vue = *sillage::VueNommee(d.vue);
    std::unique_ptr<sillage::VueVisiteurs> visiteurs;
    if (sillage::EstVueVisiteurs(vue)) {
        visiteurs = Visiteurs(*l.racine).De(*l.base);
    }
    l.verrou.Libere(); // every table is read
    if (d.sortie.empty() || d.sortie == "-") {
        sillage::SortieDescripteur sortie(STDOUT_FILENO, "la sortie standard");
        sillage::EcrivainCsv csv(sortie);
        sillage::EcritVue(*l.base, vue, csv, visiteurs.get());
        sortie.Vide();
        return;
    }
    sillage::FichierAtomique fichier(d.sortie);
    sillage::EcrivainCsv csv(fichier);
    sillage::EcritVue(*l.base, vue, csv, visiteurs.get());
    fichier.Termine();
}

// The page of base (the store, or its period options.Periode) into the report's folder, as
// fichier.
void EcritPage(const sillage::Base& base, sillage::OptionsRapport& options, Visiteurs& visiteurs,
               sillage::DossierRapport& dossier, const std::string& fichier) {
    const std::unique_ptr<sillage::VueVisiteurs> vue = visiteurs.De(base);
    options.Visiteurs = vue.get();
    sillage::FichierAtomique page(dossier.Fichier(fichier));
    sillage::EcritRapportHtml(base, options, page);
    page.Termine();
}

// The report: with a period, its page alone as index.html; else the whole history's page and one
// page per year and month the store keeps, linked to each other. Each period is read, written
// and let go in turn under the store's lock, so that every page is of one save; the folder is
// replaced once the lock is released.
void EcritHtml(Lecture& l, const Demande& d, sillage::DossierRapport& dossier) {
    Visiteurs visiteurs(*l.racine);
    sillage::OptionsRapport options;
    options.Date = Maintenant();
    options.Programme = std::string("Sillage ") + SILLAGE_VERSION;
    if (!d.periode.empty()) {
        options.Periode = d.periode;
        EcritPage(*l.base, options, visiteurs, dossier, "index.html");
    } else {
        std::vector<std::string> periodes = l.racine->Periodes();
        std::reverse(periodes.begin(), periodes.end()); // the newest first
        options.Pages.push_back({"", std::string(sillage::kToutLHistorique)});
        for (const std::string& p : periodes) {
            options.Pages.push_back({p, sillage::TextePeriode(p)});
        }
        EcritPage(*l.racine, options, visiteurs, dossier, sillage::FichierPage(""));
        for (const std::string& p : periodes) {
            options.Periode = p;
            EcritPage(l.racine->Periode(p), options, visiteurs, dossier, sillage::FichierPage(p));
            l.racine->LaissePeriode(p);
        }
    }
    l.verrou.Libere();
    dossier.Remplace();
}

} // namespace

int main(int argc, char** argv) {
    Demande d;
    sillage::LigneCommande ligne;
    if (const std::optional<int> code = LitDemande(argc, argv, d, ligne)) {
        return *code;
    }
    if (d.action == Action::ListeVues) {
        for (const sillage::DescriptionVue& v : sillage::VuesRapport()) {
            std::printf("%-12s %s\n", std::string(v.Nom).c_str(), std::string(v.Titre).c_str());
        }
        return 0;
    }
    try {
        const std::string dossier =
            sillage::EmplacementBase(ligne.repertoire, sillage::DossierProgramme());
        if (const std::optional<int> code =
                VerifiePeriode(sillage::Base(dossier).Repertoire(), d.periode)) {
            return *code;
        }
        // The report's folder is checked before the tables are read: a folder that cannot take
        // it costs no wait.
        std::optional<sillage::DossierRapport> rapport;
        if (d.action == Action::Html) {
            rapport.emplace(d.sortie);
        }
        std::optional<Lecture> lecture = Charge(dossier, d.periode, d.attente);
        if (!lecture) {
            return 75;
        }
        if (d.action == Action::Csv) {
            EcritCsv(*lecture, d);
        } else {
            EcritHtml(*lecture, d, *rapport);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s : %s\n", kNom, e.what());
        return 1;
    }
    return 0;
}
