// A view as a table: column titles, then its rows, given one at a time to a writer (CSV, HTML),
// so that no view is copied whole beside the store it comes from. Cells are texts as the views
// give them: a log's bytes as the tables keep them, or UTF-8 that the views composed; writers show
// both as the window does (TexteAffiche, which leaves UTF-8 as it is).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

struct ColonneTableau {
    std::string Titre;   // UTF-8
    bool Nombre = false; // figures, right-aligned where the table is drawn
};

class EcrivainTableau {
  public:
    virtual ~EcrivainTableau() = default;
    // Once, before the rows: the columns, and how many rows follow.
    virtual void Debut(const std::vector<ColonneTableau>& colonnes, std::size_t rangees) = 0;
    // One row: a cell per column.
    virtual void Rangee(std::span<const std::string_view> cellules) = 0;
    // Once, after the last row.
    virtual void Fin() {}
};

} // namespace sillage
