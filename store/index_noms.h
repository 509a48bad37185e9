// A name index: the names of a keyed table's rows in row order, with a case-insensitive look-up
// that answers the first matching position in constant time.
#pragma once

#include "store/hachage.h"
#include "store/table.h"

#include <cstdint>
#include <string_view>

namespace sillage {

class IndexNoms {
  public:
    // Number of entries.
    std::size_t Count() const { return noms_.Count(); }
    std::string_view operator[](std::size_t i) const { return noms_[i]; }
    // Position of the first entry equal to nom without regard to letter case, or -1.
    std::int64_t Cherche(std::string_view nom) const;
    // Appends an entry.
    void Ajoute(std::string_view nom);
    // Removes every entry.
    void Efface();
    // Keeps the first n entries.
    void Tronque(std::size_t n);
    // Clears the index, then fills it with field 2 of lines 0 to Count-2 of a keyed table.
    void Reconstruit(const Table& table);

  private:
    Table noms_;
    HachagePositions hachage_;
};

} // namespace sillage
