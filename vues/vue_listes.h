// What the five ranked lists show: which table lines become rows (with or without a filter
// text), the columns of each list and the text of each cell. No Qt here: the window's models
// only ask these functions.
#pragma once

#include "store/base.h"
#include "store/table.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sillage {

// The five lists of the window, one per keyed table shown.
enum class Liste { Pages, Images, IP, Origines, Downloads };

// One column of a report list: its title (UTF-8), its width in pixels, the field of the table
// line it shows, whether its text is right-aligned and whether it shows dates.
struct ColonneListe {
    std::string_view titre;
    int largeur;
    int champ;
    bool adroite;
    bool date = false;
};

// The columns of a list, left to right.
const std::vector<ColonneListe>& ColonnesListe(Liste liste);
// The table a list shows.
const Table& TableListe(const Base& base, Liste liste);

// Column widths in which every date column is at least largeurDate wide, so that a date shows
// whole: a date column narrower than that is widened, and the first column (the name) narrowed
// by as much, so that the list keeps its total width. dates tells which columns hold dates.
std::vector<int> ElargitDates(std::vector<int> largeurs, const std::vector<bool>& dates,
                              int largeurDate);

// The lines of a keyed table that a list shows, in table order: every record line (0 to
// Count-2; the counter row never) whose field 2, as the window shows it (TexteAffiche), contains
// filtre (UTF-8, as typed), with letter case; an empty filtre lets every record through.
std::vector<std::uint32_t> LignesListe(const Table& table, std::string_view filtre = {});

// The text of one cell: the field of the column, as stored (Windows-1252 bytes). The view
// points into the table and stays valid until the table changes.
std::string_view TexteCellule(const Table& table, std::uint32_t ligne, const ColonneListe& colonne);
// The texts of every column of a line, exactly as TexteCellule gives each, found in one pass
// over the line (the exports write every row): cellules receives one text per column.
void TextesCellules(const Table& table, std::uint32_t ligne,
                    const std::vector<ColonneListe>& colonnes, std::string_view* cellules);

} // namespace sillage
