// What the general summary and the two chart lists show, computed from the tables alone.
#pragma once

#include "store/base.h"
#include "store/table.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// Header cells of the summary grid: column 0 of rows 1 to 5, and row 0 of columns 1 to 3.
inline constexpr std::array<std::string_view, 5> kTitresLignesResume = {"Pages", "IP", "Images",
                                                                        "Origines", "Downloads"};
inline constexpr std::array<std::string_view, 3> kTitresColonnesResume = {
    "Nombre", "Total des acces", "Moyenne journaliere"};

// Record counts of ListePage, ListeNom, ListeImage, ListeOrigine and ListeDownload, in the
// order of the summary's rows.
std::array<std::size_t, 5> ComptesResume(const Base& base);

// The year list: field 1 of every line of ListeGraphMois, in table order.
std::vector<std::string> TextesAnnees(const Table& graphMois);
// The month list: for every line of ListeGraphHeure, in table order, field 2, a space, field 1,
// " (max: ", field 3 and ")" (as in "Feb 2004 (max: 17)"). Item k stands for line k.
std::vector<std::string> TextesMois(const Table& graphHeure);

} // namespace sillage
