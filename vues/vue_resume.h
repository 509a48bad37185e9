// What the general summary and the two chart lists show, computed from the tables alone.
#pragma once

#include "store/base.h"
#include "store/table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// Header cells of the summary grid: column 0 of rows 1 to 5, and row 0 of columns 1 to 3.
inline constexpr std::array<std::string_view, 5> kTitresLignesResume = {"Pages", "IP", "Images",
                                                                        "Origines", "Downloads"};
inline constexpr std::array<std::string_view, 3> kTitresColonnesResume = {
    "Nombre", "Total des acces", "Moyenne journaliere"};

// One row of the summary, the texts of columns 1 to 3 (ASCII digits and a comma).
struct LigneResume {
    std::string Nombre;  // the record count
    std::string Total;   // the sum of the records' hit counts
    std::string Moyenne; // that sum per day with hits, "" when no day has any
    bool operator==(const LigneResume&) const = default;
};

// The sum of field 3 (the hit count) over the records of a keyed table (its counter row left
// out). A count that is not an integer (a hand-edited file) adds nothing.
std::int64_t TotalAcces(const Table& table);

// The days that have at least one hit in the calendar tables: the distinct (year, month, day)
// of ListeGraphHeure whose daily count is above 0. A row whose fields do not read adds none.
std::size_t JoursAvecHits(const Table& graphHeure);

// total / jours with one decimal, rounded half away from zero, and a French decimal comma
// ("39,8"); "" when jours is 0.
std::string MoyenneJournaliere(std::int64_t total, std::size_t jours);

// The summary's five rows (ListePage, ListeNom, ListeImage, ListeOrigine, ListeDownload), in
// the order of kTitresLignesResume.
std::array<LigneResume, 5> LignesResume(const Base& base);

// The year list: field 1 of every line of ListeGraphMois, in table order.
std::vector<std::string> TextesAnnees(const Table& graphMois);
// The month list: for every line of ListeGraphHeure, in table order, field 2, a space, field 1,
// " (max: ", field 3 and ")" (as in "Feb 2004 (max: 17)"). Item k stands for line k.
std::vector<std::string> TextesMois(const Table& graphHeure);

} // namespace sillage
