// The option "Ne pas compter les robots": a small file of the store (robots.options) beside
// options.lst, never inside it, whose one line is "sans-robots=1" when the lines of robots are left
// out of the fourteen tables, "sans-robots=0" when they are counted. The option is off when the
// file is absent, and when its first line is anything else (a file edited by hand).
#pragma once

#include "store/table.h"

#include <string_view>

namespace sillage {

inline constexpr std::string_view kFichierOptionsRobots = "robots.options";

// True when the table of robots.options says to leave robots out.
bool LitSansRobots(const Table& options);
// Makes the table say so (sans) or not; a table that says so already is left as it is.
void FixeSansRobots(Table& options, bool sans);

} // namespace sillage
