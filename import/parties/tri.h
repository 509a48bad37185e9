// The order of the ranked tables (ListePage, ListeOrigine, ListeImage, ListeNom): by decreasing
// hit count (field 3), rows of equal count in table order, the counter row last.
#pragma once

#include "store/table.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sillage {

class Base;

// Sorts ListePage, ListeOrigine, ListeImage and ListeNom by decreasing hit count (field 3),
// the counter row staying last.
void TrieListes(Base& base);

// Order of lines i and j of a table for TrieListes: -1 when line i has more hits, 0 when equal,
// 1 when fewer. Field 3 is read from its leading digits; an empty field counts as 0.
int CompareAcces(const Table& table, std::size_t i, std::size_t j);

// Field 3 of a row read for sorting: its leading digits (an optional minus sign first); an empty
// field counts as 0.
std::int64_t AccesPourTri(std::string_view ligne);

// The table in TrieListes' order, into triee, when it is not in that order already (then
// answers true); table itself is left as it is.
bool TrieDans(const Table& table, Table& triee);

} // namespace sillage
