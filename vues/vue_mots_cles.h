// The search words that brought visitors, ranked: every row of the keywords table (one hit whose
// counted referrer carried a query) is a search, shown as the Infos tab shows it, and identical
// searches are counted together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sillage {

class Base;

struct LigneMotsCles {
    std::string Mots;       // UTF-8, as shown (MotsClesAffiches of the row's field 3)
    std::int64_t Acces = 0; // the rows that carry them
    bool operator==(const LigneMotsCles&) const = default;
};

// Every distinct text shown of ListeKeyword's records (the counter row left out), by decreasing
// count, then in the order of their first row.
std::vector<LigneMotsCles> MotsClesParAcces(const Base& base);

} // namespace sillage
