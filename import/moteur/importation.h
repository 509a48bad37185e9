// The engine of the import: the lines of one log folded into a store as one all-or-nothing
// change. Each concern is a part of its own (import/parties/: tables_cle.h, mots_cles.h,
// erreurs.h, paires_lanp.h, calendrier.h, registre_import.h) that counts beside the tables; the
// tables themselves stay as they were until Valide, which first has every part build its new
// tables, then swaps them all in with moves that cannot fail. Whatever is thrown before the swap
// (ErreurSillage, std::bad_alloc, anything) leaves every table, every name index and Modifie as
// they were: there is nothing to undo.
#pragma once

#include "import/lecture/arene.h"
#include "import/lecture/cibles.h"
#include "import/lecture/ligne_preparee.h"
#include "import/lecture/source_log.h"
#include "import/parties/calendrier.h"
#include "import/parties/dates_import.h"
#include "import/parties/erreurs.h"
#include "import/parties/mots_cles.h"
#include "import/parties/paires_lanp.h"
#include "import/parties/registre_import.h"
#include "import/parties/tables_cle.h"
#include "store/base.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace sillage {

// True when ligne, taken as the first line of a log, could be counted: Importation::TraiteLigne
// would raise no ErreurLigne for it.
bool LigneLisible(std::string_view ligne);
// The same for a line prepared with the number of fields of its log's first line (a line whose
// NUL byte or length makes it unreadable is the caller's to tell).
bool LigneComptable(const LignePreparee& p);

// A test seam: told the name of each part of Valide's first phase once that part has built its
// tables ("noms", "pages", "images", "downloads", "origines", "motscles", "erreurs", "paires",
// "calendrier", "registre"), so that a test can throw from there.
using SondeValidation = std::function<void(std::string_view partie)>;

class Importation {
  public:
    // Builds the store's name indexes first when they are not up to date (Base::AssureIndex),
    // unless cibles are given: the names that the lines to come look up, at the least (a small
    // import into a large store), whose stored rows are then found without the indexes.
    explicit Importation(Base& base, const CiblesImport* cibles = nullptr);
    Importation(const Importation&) = delete;
    Importation& operator=(const Importation&) = delete;

    // Folds line number `numero` (from 1), prepared, into the parts. Raises ErreurLigne on a line
    // that cannot be read or a date that cannot be counted (nothing changed then), ErreurSillage
    // on a stored row that does not read.
    void TraiteLigne(const LignePreparee& p, std::int64_t numero);
    // The row of the register of imported logs that the import leaves, applied with the tables:
    // in place of row position, or added when position is -1.
    void NoteRegistre(std::int64_t position, const RRegistre& ligne) {
        registre_.Note(position, ligne);
    }
    // Writes every change into the tables, in TrieListes' order for the ranked ones, marks the
    // name indexes for rebuilding and sets Modifie to 1.
    void Valide(const SondeValidation& sonde = {});

  private:
    Base& base_;
    const CiblesImport* const cibles_;
    Arene arene_;
    DatesImport dates_;

    TableCle noms_, pages_, images_, downloads_, origines_;
    MotsCles motsCles_;
    Erreurs erreurs_;
    std::vector<std::int64_t> hotesPossibles_; // with cibles: the hosts the pairs may be of
    PairesLanp paires_;
    Calendrier calendrier_;
    RegistreImport registre_;
};

} // namespace sillage
