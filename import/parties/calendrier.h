// Calendar rows during an import: one row per year (graphmois.lst) and one per month of a year
// (graphheure.lst), decoded as the scans reach them and written back when the import is applied.
#pragma once

#include "import/parties/partie.h"
#include "store/date.h"
#include "store/enregistrements.h"
#include "store/table.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace sillage {

class Calendrier {
  public:
    Calendrier(Table& annees, Table& mois);

    // Counts one hit at date D (a countable date) of resource ressource (-2 for an image, which
    // counts as a hit but not as a page); nouveauVisiteur: the hit opens a visit of its host.
    // Raises ErreurSillage when a stored row that the scan reaches does not read.
    void MajGraph(const RDate& D, std::int32_t ressource, bool nouveauVisiteur);

    // Builds the two tables as the import leaves them, beside the stored ones.
    void Prepare();
    // Puts the prepared tables in place of the stored ones.
    void Applique() noexcept;

  private:
    // The row (in annees_) of the first year row of annee, stored rows read as far as needed; -1
    // when there is none.
    std::int64_t RangAnnee(std::int32_t annee);
    // The same for the month row whose year and month number make cle (CleMois).
    std::int64_t RangMois(std::int64_t cle);
    // Reads the next stored month row.
    void LitMois();
    // A year row for the hit at D, and its month row.
    void NouvelleAnnee(const RDate& D, bool page);
    void NouveauMois(const RDate& D);

    Table& tableAnnees_;
    Table& tableMois_;
    std::vector<RGraph> annees_;
    std::vector<bool> anneesModifiees_;
    std::size_t anneesLues_ = 0;
    const std::size_t annees0_;
    std::unordered_map<std::int32_t, std::uint32_t> parAnnee_;
    std::vector<RGraphMois> mois_;
    std::vector<bool> moisModifies_;
    std::size_t moisLus_ = 0;
    const std::size_t mois0_;
    std::unordered_map<std::int64_t, std::uint32_t> parMois_;

    TablePreparee nouvellesAnnees_;
    TablePreparee nouveauxMois_;
};

} // namespace sillage
