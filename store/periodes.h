// The periods of a store: beside the whole history of its root, the store keeps the fourteen
// tables of each year and each month that holds hits, each in a folder of its own under
// kDossierPeriodes ("periodes/2024/", "periodes/2024-03/"). The tables of a period are those that
// importing, into an empty store with the same options, only the lines of the logs whose date
// falls in that period would give.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

inline constexpr std::string_view kDossierPeriodes = "periodes";

// The name of a year's period: its number with at least four digits ("2024", "0987"), a minus
// sign first for a year before year 0.
std::string NomPeriodeAnnee(std::int32_t annee);
// The name of a month's period: its year's, a hyphen, the month in two digits ("2024-03").
std::string NomPeriodeMois(std::int32_t annee, std::int32_t mois);
// True when nom is the name of a period as the two functions above write them.
bool EstNomPeriode(std::string_view nom);
// True when nom names a month rather than a year.
bool EstPeriodeMois(std::string_view nom);

// The folder of period nom relative to the store folder, ending with a separator.
std::string DossierPeriode(std::string_view nom);

} // namespace sillage
