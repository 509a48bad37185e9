// Every view of the window as a table (tableau.h), for the exports and the reports: the rows come
// from the view functions the window shows (vues/), never from a second computation.
#pragma once

#include "rapports/tableau.h"
#include "vues/vue_chiffres.h"
#include "vues/vue_infos.h"
#include "vues/vue_listes.h"
#include "vues/vue_retours.h"
#include "vues/vue_visiteurs.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace sillage {

class Base;
class Table;

// The views that sillage-rapport --csv writes, by the names its command line gives them.
enum class VueRapport {
    Resume,
    Pages,
    Images,
    IP,
    Referents,
    MotsCles,
    Downloads,
    Retours,
    Annees,
    Mois,
    Jours,
    Heures,
    Navigateurs,
    Systemes,
    Robots,
    Pays,
};

struct DescriptionVue {
    VueRapport Vue;
    std::string_view Nom;   // "ip"
    std::string_view Titre; // "Statistiques des IP", as the window's tab or the report's section
};

// Every view, in the order of the window's tabs.
const std::vector<DescriptionVue>& VuesRapport();
const DescriptionVue& DescriptionDe(VueRapport vue);
std::optional<VueRapport> VueNommee(std::string_view nom);
// True for the four lists of the visitors (browsers, systems, robots, countries).
bool EstVueVisiteurs(VueRapport vue);

// Writes a whole view of base: every row the window's view has, unfiltered. The visitors' lists
// are those of visiteurs (none without it). Raises what the view functions raise (a row that
// does not read).
void EcritVue(const Base& base, VueRapport vue, EcrivainTableau& ecrivain,
              const VueVisiteurs* visiteurs = nullptr);

// What the window's lists show, row for row.
// One of the five ranked lists: the given lines of its table (LignesListe, filtered or not).
void EcritListe(const Table& table, const std::vector<std::uint32_t>& lignes, Liste liste,
                EcrivainTableau& ecrivain);
// The Infos tab's results: "Nom", "Acces", "Date".
void EcritResultatsInfos(const std::vector<LigneResultat>& lignes, EcrivainTableau& ecrivain);
// The error rows of one status, as the tab shows them: "Page", "Acces", "Date".
void EcritRetours(const VueRetours& vue, EcrivainTableau& ecrivain);
// The yearly chart's figures: "Année", "Mois", "Hits", "Pages et downloads", "Visites".
void EcritChiffresMois(std::span<const ChiffresMois> mois, EcrivainTableau& ecrivain);
// The monthly chart's figures: "Année", "Mois", "Jour", "Pages et downloads"; with heures, the
// hours instead ("Heure").
void EcritChiffresJours(std::span<const ChiffresPeriode> jours, EcrivainTableau& ecrivain,
                        bool heures = false);
// One list of the visitors' tab: the given rows (LignesVisiteurs).
void EcritVisiteurs(const VueVisiteurs& vue, ListeVisiteurs liste,
                    const std::vector<std::uint32_t>& lignes, EcrivainTableau& ecrivain);

} // namespace sillage
