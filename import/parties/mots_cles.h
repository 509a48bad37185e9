// Keyword rows during an import: one row per counted referrer with a query, in the order of the
// hits, kept apart from the stored table until the import is applied.
#pragma once

#include "import/parties/partie.h"
#include "store/table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

class MotsCles {
  public:
    explicit MotsCles(Table& table) : table_(table) {}

    // Adds the row of the referrer whose identifier is origine: the counter row's text followed
    // by origine and keywords, and a new counter row after it. Raises the index error (-1) when
    // the table has no row, or the conversion error of the counter row's number.
    void Ajoute(std::int32_t origine, std::string_view keywords);

    // Builds the table as the import leaves it, beside the stored one.
    void Prepare();
    // Puts the prepared table in place of the stored one.
    void Applique() noexcept;

  private:
    Table& table_;
    bool commence_ = false;
    std::string compteur_; // the counter row that ends the rows added so far
    std::string tampon_;

    TablePreparee nouvelle_; // the stored rows, the counter row excluded, then the rows added
};

} // namespace sillage
