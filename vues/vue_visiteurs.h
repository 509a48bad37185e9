// What the "Visiteurs" tab and the summary's robot line show: browsers, systems, robots and
// countries, computed from the agents table (agents.lst), the host table, a classifier and the
// countries. No Qt here. Every text these functions give is UTF-8 (an agent's bytes are shown as
// UTF-8 when they are valid UTF-8 holding a multi-byte sequence, else as Windows-1252).
#pragma once

#include "store/table.h"
#include "visiteurs/classificateur.h"
#include "visiteurs/pays.h"
#include "vues/vue_listes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// The four lists of the tab.
enum class ListeVisiteurs { Navigateurs, Systemes, Robots, Pays };

// The columns of a list, left to right. A column's champ is the number of the row's cell it
// shows, counted from 1 (cell champ - 1 of LigneVisiteurs::Cellules).
const std::vector<ColonneListe>& ColonnesVisiteurs(ListeVisiteurs liste);

// One row of a list: its cells' texts, in the order of the columns.
struct LigneVisiteurs {
    std::vector<std::string> Cellules;
    bool operator==(const LigneVisiteurs&) const = default;
};

// Everything the tab shows. Lists are ordered by decreasing hits, then by name.
//  - Navigateurs, Systemes: the persons' hits (robots are listed apart) by uap-core family
//    ("Autre" when it names none): family, hits, share of the persons' hits.
//  - Robots: the robots' hits by robot name: name, hits, page hits, date of the last hit.
//  - Pays: the host table's hosts by country ("Inconnu" when none): country, hosts, hits,
//    share of all the hosts' hits.
struct VueVisiteurs {
    std::vector<LigneVisiteurs> Navigateurs, Systemes, Robots, Pays;
    std::int64_t Acces = 0;       // the hits of every agent
    std::int64_t AccesRobots = 0; // of them, the robots'

    const std::vector<LigneVisiteurs>& Liste(ListeVisiteurs liste) const;
};

// Computes the tab from the agents table, the host table (its records; the counter row is left
// out), the classifier (agents it does not know yet are classified first, on both cores) and the
// countries (hosts looked up on both cores). A row whose counts do not read (a hand-edited file)
// is left out.
VueVisiteurs CalculeVisiteurs(const Table& agents, const Table& noms, Classificateur& classement,
                              const Pays& pays);

// The summary's robot line: the robots' hits ("1234") and their share of all the hits with one
// decimal and a French comma ("12,3 %"; "" when there is no hit).
struct ResumeRobots {
    std::string Nombre;
    std::string Part;
    bool operator==(const ResumeRobots&) const = default;
};
ResumeRobots LigneRobots(const VueVisiteurs& vue);
// The same line from the agents table alone (the agents the classifier does not know yet
// classified first, on both cores), without the countries that the tab's lists need.
ResumeRobots ResumeRobotsDesAgents(const Table& agents, Classificateur& classement);
// The line as the summary shows it: "1494 (12,3 % des accès)", "0" when there is no hit.
std::string TexteRobots(const ResumeRobots& r);

// part / total as a percentage with one decimal, rounded half away from zero, and a French
// comma: "12,3 %"; "" when total is 0.
std::string Pourcentage(std::int64_t part, std::int64_t total);

// The rows of a list that a filter lets through: those whose first cell contains filtre (UTF-8,
// byte for byte, with letter case); every row for an empty filtre.
std::vector<std::uint32_t> LignesVisiteurs(const std::vector<LigneVisiteurs>& lignes,
                                           std::string_view filtre = {});

// An agent's bytes (or a text taken from them) as shown: UTF-8 as it is when it is valid UTF-8
// holding a multi-byte sequence, else read as Windows-1252.
std::string TexteAgent(std::string_view octets);

} // namespace sillage
