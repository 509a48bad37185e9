// The register of imported logs during an import (store/registre.h): finding the row of a log by
// its first bytes, and the row the import leaves, applied with the tables.
#pragma once

#include "store/registre.h"
#include "store/table.h"

#include <cstdint>
#include <string_view>

namespace sillage {

// The position of the row of the log whose text begins with debut (its first bytes, up to
// kOctetsEmpreinte of them or the whole text when shorter): among the rows whose fingerprint of
// the beginning matches, the one that covers the most bytes; -1 when none. Raises the conversion
// error of a damaged row.
std::int64_t ChercheRegistre(const Table& registre, std::string_view debut);

class RegistreImport {
  public:
    explicit RegistreImport(Table& table) : table_(table) {}

    // The row the import leaves for its log: in place of row position, or added when position
    // is -1.
    void Note(std::int64_t position, const RRegistre& ligne);

    void Prepare();
    void Applique() noexcept;

  private:
    Table& table_;
    bool note_ = false;
    std::int64_t position_ = -1;
    RRegistre ligne_;
    Table nouvelle_;
};

// The date and time of now as the register writes it: dd/mm/yyyy hh:mm:ss, local time.
std::string DateMaintenant();

} // namespace sillage
