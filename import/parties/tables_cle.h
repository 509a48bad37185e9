// A keyed table during an import (nom, page, image, download, origine): the rows that the
// import touched or added, held decoded beside the table, which stays as it was until the
// import is applied.
#pragma once

#include "import/lecture/arene.h"
#include "import/lecture/cibles.h"
#include "import/parties/dates_import.h"
#include "import/parties/partie.h"
#include "store/hachage.h"
#include "store/index_noms.h"
#include "store/table.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sillage {

class TableCle {
  public:
    // table and its name index, up to date; trie: a ranked table, written in TrieListes' order.
    // With cibles (the names the import will look up, at the least), the index is not used: the
    // stored rows those names may be are found by one pass over the table.
    TableCle(Table& table, const IndexNoms& index, bool trie, DatesImport& dates, Arene& arene,
             const EnsembleHachages* cibles = nullptr);

    // Counts one hit of cle (whose HachageSansCasse is h) at date: the first row of that name,
    // found without regard to letter case, or a new row made for it. Answers the row's
    // identifier, whether the row is new, the date it held before this hit, and in rang the
    // row's record in this import (one per name, letter case aside). racine, when not -1, is the
    // record of cle in another table's import (the store's, for a period's table): the rows
    // counted under one such record are found again by it, without the name. Raises
    // ErreurSillage when a stored row does not read or no identifier can be given.
    std::int32_t Compte(std::string_view cle, std::uint64_t h, DateCompacte date, bool& nouveau,
                        DateCompacte& precedente, std::int32_t racine, std::int32_t& rang);
    // Asks for the memory where a search for hash h begins.
    void Precharge(std::uint64_t h) const { memo_.Precharge(h); }
    // With cibles: every identifier that Compte may answer for the names of cibles (and some
    // more): those of the stored rows they may be, and those new rows would take.
    std::vector<std::int64_t> IdentsPossibles(std::size_t nouveauxAuPlus) const;

    // Builds the table as the import leaves it, beside the stored one (which stays as it is).
    void Prepare();
    // Puts the prepared table in place of the stored one.
    void Applique() noexcept;

  private:
    struct RecCle {
        std::int32_t ident;
        std::int32_t acces;
        DateCompacte date;
        std::string_view nom; // field 2 as the row's reader gives it
        std::string_view cle; // the name the row is found by
    };

    std::uint32_t Rang(std::int64_t position);
    // The row of record `rang` as the import writes it, appended to texte.
    void Ecrit(std::uint32_t rang, std::string& texte) const;
    // Makes the result in the table's own memory when its stored rows allow (a ranked table in
    // its order, no row written shorter): the runs of untouched rows and the rows written anew,
    // in morceaux_. False when the table must be built anew.
    bool PrepareEnPlace();
    // The first stored row named cle (whose hash is h), or -1.
    std::int64_t ChercheStockee(std::string_view cle, std::uint64_t h) const;

    Table& table_;
    const IndexNoms& index_;
    const bool trie_;
    DatesImport& dates_;
    Arene& arene_;
    const std::size_t n0_;       // data rows at the start (the counter row excluded)
    const bool partiel_;         // stored rows found through candidats_, not index_
    HachagePositions candidats_; // folded name -> first stored row of that name
    std::vector<std::uint32_t> positionsCandidates_; // the rows in candidats_
    const CompteurInitial compteur_;
    std::vector<RecCle> recs_;             // in the order of first use
    std::vector<std::uint32_t> nouvelles_; // the added rows, as indexes into recs_
    Touchees parPosition_;                 // stored row -> recs_
    HachagePositions memo_;                // folded name -> recs_
    ParRacine parRacine_;                  // Compte's racine -> recs_
    std::string tampon_;

    TablePreparee nouvelle_;
    bool enPlace_ = false;
    std::string textes_;                   // the rows written anew, one after another
    std::vector<Table::Morceau> morceaux_; // the result, when made in place
};

} // namespace sillage
