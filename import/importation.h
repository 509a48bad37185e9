// The engine of the import: one log folded into a store, line by line, as one all-or-nothing
// change. Each concern is a part of its own (tables_cle.h, mots_cles.h, erreurs.h, paires.h,
// calendrier.h) that counts beside the tables; the tables themselves stay as they were until
// Valide, which first has every part build its new tables, then swaps them all in with moves that
// cannot fail. Whatever is thrown before the swap (ErreurSillage, std::bad_alloc, anything)
// leaves every table, every name index and Modifie as they were: there is nothing to undo.
#pragma once

#include "import/arene.h"
#include "import/calendrier.h"
#include "import/cibles.h"
#include "import/dates_import.h"
#include "import/erreurs.h"
#include "import/import.h"
#include "import/ligne_log.h"
#include "import/mots_cles.h"
#include "import/paires.h"
#include "import/registre_journaux.h"
#include "import/source_log.h"
#include "import/tables_cle.h"
#include "store/base.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// Raises ErreurLigne with "Erreur à la lecture du fichier (ligne N)".
[[noreturn]] void LeveErreurLigne(std::int64_t numero);

// True when ligne, taken as the first line of a log, could be counted: Importation::TraiteLigne
// would raise no ErreurLigne for it.
bool LigneLisible(std::string_view ligne);

// Tells a progress callback the bar's value for each line, each time the value changes: the
// integer part of 100·i/N − 1 for line i of N when the source knows N, else the part of the
// input read; 100 at the end.
class SuiviProgression {
  public:
    SuiviProgression(const RappelProgression& rappel, const SourceLignes& source)
        : rappel_(rappel), source_(source), total_(rappel ? source.Total() : -1) {}
    // Line i (from 0) of what the import reads is about to be counted.
    void Ligne(std::int64_t i);
    void Fin() {
        if (rappel_) {
            rappel_(100);
        }
    }

  private:
    const RappelProgression& rappel_;
    const SourceLignes& source_;
    std::int64_t total_;
    int derniere_ = INT32_MIN;
};

// A test seam: told the name of each part of Valide's first phase once that part has built its
// tables ("noms", "pages", "images", "downloads", "origines", "motscles", "erreurs", "paires",
// "calendrier"), so that a test can throw from there.
using SondeValidation = std::function<void(std::string_view partie)>;

// Imports the lines of source into base: the first line gives the number of fields; the
// progress is told as ImporteFichier says. Raises as ImporteFichier does, base left as it was.
// With cibles (the names of every line of source, at the least), the name indexes are neither
// needed nor built.
std::int64_t Importe(Base& base, SourceLignes& source, const RappelProgression& progression,
                     const SondeValidation& sonde = {}, const CiblesImport* cibles = nullptr);

// A log line cut and its names hashed, ready to be counted: what can be done apart from the
// tables, on another thread. Its texts point into the line or into arene.
struct LignePreparee {
    RHitsVues hit;
    std::uint64_t hHote = 0, hPage = 0, hOrigine = 0;
    bool image = false, download = false;
};
// Cuts ligne (NombreChamps from the log's first line) into p; texts that are not the line's own
// bytes are copied into arene when it is given (else they stay in the two buffers).
void PrepareLigne(std::string_view ligne, int NombreChamps, LignePreparee& p,
                  std::string& tamponKeywords, std::string& tamponEchappement, Arene* arene);

class Importation {
  public:
    // The store's name indexes must be up to date (AssureIndex), unless cibles are given: the
    // names that the lines to come look up, at the least (a small import into a large store).
    explicit Importation(Base& base, const CiblesImport* cibles = nullptr);
    Importation(const Importation&) = delete;
    Importation& operator=(const Importation&) = delete;

    // Folds line number `numero` (from 1) into the parts. NombreChamps comes from the log's first
    // line. Raises ErreurLigne on a line that cannot be read or a date that cannot be counted
    // (nothing changed then), ErreurSillage on a stored row that does not read.
    void TraiteLigne(std::string_view ligne, int NombreChamps, std::int64_t numero);
    // The same for a line prepared already.
    void TraiteLigne(const LignePreparee& p, std::int64_t numero);
    // The row of the register of imported logs that the import leaves, applied with the tables.
    void NoteJournal(std::int64_t position, const RJournal& ligne) {
        registre_.Note(position, ligne);
    }
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
    std::vector<std::int64_t> hotesPossibles_; // with cibles: the hosts the pairs may be of
    PairesLanp paires_;
    Calendrier calendrier_;
    RegistreJournaux registre_;

    // Buffers reused from line to line.
    LignePreparee preparee_;
    std::string tamponKeywords_;
    std::string tamponEchappement_;
};

} // namespace sillage
