// The figures behind the charts, as rows: the hits, page hits and visits of each month of a year
// (ListeGraphMois), the page hits of each day and of each hour of a month (ListeGraphHeure). The
// window's exports of the charts tab and the reports list them; the charts draw the same rows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Base;

// The month labels of the yearly chart, January first, as the window writes them.
inline constexpr std::array<std::string_view, 12> kMoisFrancais = {
    "Janvier", "Février", "Mars",      "Avril",   "Mai",      "Juin",
    "Juillet", "Aout",    "Septembre", "Octobre", "Novembre", "Décembre"};

// One year: the sums of its twelve months.
struct ChiffresAnnee {
    std::int32_t Annee = 0;
    std::int64_t Hits = 0;
    std::int64_t Pages = 0; // pages and downloads
    std::int64_t Visites = 0;
    bool operator==(const ChiffresAnnee&) const = default;
};

// One month of a year's row.
struct ChiffresMois {
    std::int32_t Annee = 0;
    int Mois = 0; // 1 to 12
    std::int32_t Hits = 0;
    std::int32_t Pages = 0;
    std::int32_t Visites = 0;
    bool operator==(const ChiffresMois&) const = default;
};

// One day, or one hour, of a month's row: its page hits.
struct ChiffresPeriode {
    std::int32_t Annee = 0;
    std::string Mois; // the French name of the row's month, or its text as stored when none
    int Numero = 0;   // the day (1 to 31) or the hour (0 to 23)
    std::int32_t Pages = 0;
    bool operator==(const ChiffresPeriode&) const = default;
};

// Every row of ListeGraphMois, in table order.
std::vector<ChiffresAnnee> ChiffresDesAnnees(const Base& base);
// The twelve months of every row of ListeGraphMois (of the year annee only, when given), in
// table order: the figures of the yearly chart of that year.
std::vector<ChiffresMois> ChiffresDesMois(const Base& base, std::optional<int> annee = {});
// The days of every row of ListeGraphHeure (of row ligne only, when given), in table order: the
// bars of its monthly chart. The days a month has (29 February in leap years), and any other day
// whose count is not 0 (a hand-edited row).
std::vector<ChiffresPeriode> ChiffresDesJours(const Base& base,
                                              std::optional<std::int64_t> ligne = {});
// The 24 hours of every row of ListeGraphHeure (of row ligne only, when given).
std::vector<ChiffresPeriode> ChiffresDesHeures(const Base& base,
                                               std::optional<std::int64_t> ligne = {});
// Each of these raises the integer conversion error for a row that does not read, and the index
// error for a ligne outside the table.

// The days of month mois (1 to 12) of year annee.
int JoursDuMois(std::int32_t annee, int mois);

} // namespace sillage
