// The files of a store, as its member functions (base*.cpp) know them: the fourteen tables with
// their orders of loading and saving, the files beside them, and the name of a copy kept aside.
// Internal to the store.
#pragma once

#include "store/agents.h"
#include "store/base.h"
#include "store/options_robots.h"
#include "store/registre.h"

#include <array>
#include <string_view>

namespace sillage::catalogue {

// What names a copy kept aside of a damaged file (GardeCopies): "nom.lst.endommage-AAAAMMJJ-...".
constexpr std::string_view kSuffixeCopie = ".endommage-";

constexpr std::array<EntreeCatalogue, 14> kCatalogue = {{
    {"nom.lst", &Base::ListeNom, true},
    {"page.lst", &Base::ListePage, true},
    {"image.lst", &Base::ListeImage, true},
    {"origine.lst", &Base::ListeOrigine, true},
    {"keyword.lst", &Base::ListeKeyword, true},
    {"navigateur.lst", &Base::ListeNavigateur, true},
    {"chemin.lst", &Base::ListeChemin, true},
    {"options.lst", &Base::ListeOptions, false},
    {"lanp.lst", &Base::ListeLanp, false},
    {"lanpsearch.lst", &Base::ListeLanpSearch, false},
    {"graphheure.lst", &Base::ListeGraphHeure, false},
    {"graphmois.lst", &Base::ListeGraphMois, false},
    {"download.lst", &Base::ListeDownload, true},
    {"erreur.lst", &Base::ListeErreur, true},
}};

constexpr std::string_view kOrdreChargement[14] = {
    "nom.lst",     "page.lst",       "image.lst",      "download.lst", "erreur.lst",
    "origine.lst", "keyword.lst",    "navigateur.lst", "chemin.lst",   "options.lst",
    "lanp.lst",    "lanpsearch.lst", "graphheure.lst", "graphmois.lst"};

constexpr std::string_view kOrdreSauvegarde[14] = {
    "nom.lst",        "page.lst",       "image.lst",     "origine.lst",   "keyword.lst",
    "navigateur.lst", "chemin.lst",     "download.lst",  "erreur.lst",    "options.lst",
    "lanp.lst",       "lanpsearch.lst", "graphmois.lst", "graphheure.lst"};

// The files beside the fourteen, which a store made before them does not have: read when
// present, written once they hold a row.
struct Annexe {
    std::string_view fichier;
    Table Base::*table;
};
constexpr std::array<Annexe, 3> kAnnexes = {{
    {kFichierRegistre, &Base::ListeRegistre},
    {kFichierAgents, &Base::ListeAgents},
    {kFichierOptionsRobots, &Base::ListeOptionsRobots},
}};

} // namespace sillage::catalogue
