// Error rows during an import: each hit whose status is not "200" counts in the first row of
// its resource id and path (the path compared without regard to letter case), or in a new row.
// The rows touched or added are held decoded beside the table until the import is applied.
#pragma once

#include "import/lecture/arene.h"
#include "import/lecture/cibles.h"
#include "import/lecture/ligne_log.h"
#include "import/parties/dates_import.h"
#include "import/parties/partie.h"
#include "store/hachage.h"
#include "store/table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Erreurs {
  public:
    // With chemins (the paths the import will count, at the least), only the stored rows of those
    // paths are looked at.
    Erreurs(Table& table, DatesImport& dates, Arene& arene,
            const EnsembleHachages* chemins = nullptr);

    // Counts the hit h of the resource ressource at date. Raises ErreurSillage when a stored
    // row does not read or no identifier can be given to a new row.
    void Compte(const RHitsVues& h, std::int32_t ressource, DateCompacte date);

    // Builds the table as the import leaves it, beside the stored one.
    void Prepare();
    // Puts the prepared table in place of the stored one.
    void Applique() noexcept;

  private:
    struct RecErreur {
        std::int32_t ident;
        std::int32_t acces;
        DateCompacte date;
        std::string_view chemin;
        std::string_view statut;
        std::int32_t ressource;
        std::int32_t cleRessource; // the resource id and path the row is found by
        std::string_view cleChemin;
    };

    void Ecrit(const RecErreur& e);

    Table& table_;
    DatesImport& dates_;
    Arene& arene_;
    const std::size_t n0_; // data rows at the start (the counter row excluded)
    const CompteurInitial compteur_;
    // The first stored row of each resource id and case-folded path.
    HachagePositions stockees_;
    // The rows this import touched or added, found through a hash of the pairs met so far.
    std::vector<RecErreur> recs_;
    std::size_t nouvelles_ = 0;
    Touchees parPosition_;
    HachagePositions memo_;
    std::string tampon_;

    TablePreparee nouvelle_;
};

} // namespace sillage
