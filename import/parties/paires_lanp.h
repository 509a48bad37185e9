// Host and page pairs during an import (lanp.lst, and its keys in lanpsearch.lst): the hits of
// one host on one page or download. Stored pairs are found by their key's text, pairs added by
// this import by their numbers; rows touched or added are held decoded until the import is
// applied.
#pragma once

#include "import/parties/dates_import.h"
#include "import/parties/partie.h"
#include "store/hachage.h"
#include "store/table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sillage {

class PairesLanp {
  public:
    // With hotes (sorted: every host the import may count, at the least), only the stored pairs
    // of those hosts are looked at.
    PairesLanp(Table& lanp, Table& lanpSearch, DatesImport& dates,
               const std::vector<std::int64_t>* hotes = nullptr);

    // Counts one hit of host hote on resource ressource of kind type (1 page, 2 download) at
    // date; an image (ressource -2) has no pair. Raises ErreurSillage when a stored row does
    // not read, or its key points past the rows.
    void MajLanp(std::int32_t hote, std::int32_t ressource, std::int32_t type, DateCompacte date);

    // Builds the two tables as the import leaves them, beside the stored ones.
    void Prepare();
    // Puts the prepared tables in place of the stored ones.
    void Applique() noexcept;

  private:
    struct RecLanp {
        std::int32_t hote;
        std::int32_t ressource;
        std::int32_t acces;
        std::int32_t type;
        DateCompacte date;
    };

    RecLanp& Rang(std::int64_t p);
    void Ecrit(const RecLanp& r);

    Table& lanp_;
    Table& lanpSearch_;
    DatesImport& dates_;
    const std::size_t lanp0_;
    const std::size_t lanpSearch0_;
    HachagePositions stockees_; // the first position of each key of lanpsearch.lst
    Touchees parPosition_;
    std::vector<RecLanp> touchees_;
    std::vector<RecLanp> nouvelles_;
    // The pairs met, by their numbers: an added pair's index in nouvelles_, or a stored pair's
    // index in clesTouchees_ with kTouchee set.
    static constexpr std::uint32_t kTouchee = 1u << 31;
    HachagePositions memo_;
    // The stored pairs met: the numbers they were counted under and their records.
    struct CleTouchee {
        std::int32_t hote;
        std::int32_t ressource;
        std::int32_t type;
        std::uint32_t rang; // in touchees_
    };
    std::vector<CleTouchee> clesTouchees_;
    std::string tampon_;
    std::string tamponCle_;

    // The result as rows rewritten in place and rows added (the usual case: nothing copied), or,
    // when the stored table cannot take them in place, as new tables.
    bool enPlace_ = false;
    std::string textesRetouches_;
    std::vector<Table::Retouche> retouches_;
    Table ajoutsLanp_;
    Table ajoutsLanpSearch_;
    TablePreparee nouvelleLanp_;
    TablePreparee nouvelleLanpSearch_;
};

} // namespace sillage
