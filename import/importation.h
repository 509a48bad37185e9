// The engine of the import: one log folded into a store, line by line, as one all-or-nothing
// change. Each concern is a part of its own (tables_cle.h, mots_cles.h, erreurs.h, paires.h,
// calendrier.h) that counts beside the tables; the tables themselves stay as they were until
// Valide, which first has every part build its new tables, then swaps them all in with moves that
// cannot fail. Whatever is thrown before the swap (ErreurSillage, std::bad_alloc, anything)
// leaves every table, every name index and Modifie as they were: there is nothing to undo.
#pragma once

#include "import/arene.h"
#include "import/calendrier.h"
#include "import/dates_import.h"
#include "import/erreurs.h"
#include "import/import.h"
#include "import/ligne_log.h"
#include "import/mots_cles.h"
#include "import/paires.h"
#include "import/source_log.h"
#include "import/tables_cle.h"
#include "store/base.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sillage {

// A test seam: told the name of each part of Valide's first phase once that part has built its
// tables ("noms", "pages", "images", "downloads", "origines", "motscles", "erreurs", "paires",
// "calendrier"), so that a test can throw from there.
using SondeValidation = std::function<void(std::string_view partie)>;

// Imports the lines of source into base: the first line gives the number of fields; the
// progress is told as ImporteFichier says. Raises as ImporteFichier does, base left as it was.
std::int64_t Importe(Base& base, SourceLignes& source, const RappelProgression& progression,
                     const SondeValidation& sonde = {});

class Importation {
  public:
    // The store's name indexes must be up to date (AssureIndex).
    explicit Importation(Base& base);
    Importation(const Importation&) = delete;
    Importation& operator=(const Importation&) = delete;

    // Folds line number `numero` (from 1) into the parts. NombreChamps comes from the log's first
    // line. Raises ErreurSillage on a line that cannot be read, a date that cannot be counted, or
    // a stored row that does not read.
    void TraiteLigne(std::string_view ligne, int NombreChamps, std::int64_t numero);
    // Writes every change into the tables, in TrieListes' order for the ranked ones, marks the
    // name indexes for rebuilding and sets Modifie to 1.
    void Valide(const SondeValidation& sonde = {});

  private:
    Base& base_;
    Arene arene_;
    DatesImport dates_;

    TableCle noms_, pages_, images_, downloads_, origines_;
    MotsCles motsCles_;
    Erreurs erreurs_;
    PairesLanp paires_;
    Calendrier calendrier_;

    // Buffers reused from line to line.
    RHitsVues hit_;
    std::string tamponKeywords_;
    std::string tamponEchappement_;
};

} // namespace sillage
