// The engine of the import: the lines of one log folded into a store as one all-or-nothing
// change. Each concern is a part of its own (import/parties/: tables_cle.h, mots_cles.h,
// erreurs.h, paires_lanp.h, calendrier.h, agents_import.h, registre_import.h) that counts beside
// the tables; the tables themselves stay as they were until Valide, which first has every part
// build its new tables, then swaps them all in with moves that cannot fail. Whatever is thrown
// before the swap (ErreurSillage, std::bad_alloc, anything) leaves every table, every name index
// and Modifie as they were: there is nothing to undo.
#pragma once

#include "import/lecture/arene.h"
#include "import/lecture/cibles.h"
#include "import/lecture/ligne_preparee.h"
#include "import/lecture/source_log.h"
#include "import/moteur/fil_periodes.h"
#include "import/parties/agents_import.h"
#include "import/parties/calendrier.h"
#include "import/parties/dates_import.h"
#include "import/parties/erreurs.h"
#include "import/parties/mots_cles.h"
#include "import/parties/paires_lanp.h"
#include "import/parties/registre_import.h"
#include "import/parties/tables_cle.h"
#include "store/base.h"
#include "store/date.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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
// "calendrier", "agents", "registre", then "periodes" once every period's tables are built), so
// that a test can throw from there.
using SondeValidation = std::function<void(std::string_view partie)>;

class Importation {
  public:
    // Builds the store's name indexes first when they are not up to date (Base::AssureIndex),
    // unless cibles are given: the names that the lines to come look up, at the least (a small
    // import into a large store), whose stored rows are then found without the indexes. robots
    // tells who tells robots apart, and whether their lines are left out of the fourteen tables.
    explicit Importation(Base& base, const CiblesImport* cibles = nullptr,
                         RobotsImport robots = {});
    Importation(const Importation&) = delete;
    Importation& operator=(const Importation&) = delete;
    // An import that was not validated leaves the store's periods as it found them: those it
    // read or made are forgotten again (Base::LaissePeriode).
    ~Importation();

    // Folds line number `numero` (from 1), prepared, into the parts: its agent into the agents
    // table, and the line into the fourteen tables unless it is a robot's that is to be left out.
    // Raises ErreurLigne on a line that cannot be read or a date that cannot be counted (nothing
    // changed then), ErreurSillage on a stored row that does not read.
    void TraiteLigne(const LignePreparee& p, std::int64_t numero);
    // The row of the register of imported logs that the import leaves, applied with the tables:
    // in place of row position, or added when position is -1.
    void NoteRegistre(std::int64_t position, const RRegistre& ligne) {
        registre_.Note(position, ligne);
    }
    // The hits of robots among the lines folded so far (AgentsImport::AccesRobots); -1 when
    // robots are not told apart.
    std::int64_t AccesRobots() { return agents_.AccesRobots(); }
    // Writes every change into the tables, in TrieListes' order for the ranked ones, marks the
    // name indexes for rebuilding and sets Modifie to 1; the periods' tables with the store's,
    // all or nothing.
    void Valide(const SondeValidation& sonde = {});

    // The periods (periodes.h) the lines counted so far fell in, years and months, in the order
    // of their names (once the periods' thread has counted them: raises what it raised).
    std::vector<std::string> Periodes();

  private:
    // The engine of a period of the store that parent imports into.
    Importation(Base& periode, const CiblesImport* cibles, const Importation& parent);
    // The engine of period nom, made at its first line.
    Importation& Periode(const std::string& nom);
    // Counts line p, of date D, in the engines of its year and its month.
    void CompteDansPeriodes(const LignePreparee& p, std::int64_t numero, const RDate& D);
    // Waits until the periods' thread has counted every line handed to it; raises what it raised.
    void AttendPeriodes();
    // Valide's two steps: every part builds its tables (those of the periods too), then puts
    // them in place, which cannot fail.
    void Prepare(const SondeValidation& sonde);
    void Applique() noexcept;

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
    AgentsImport agents_;
    RegistreImport registre_;
    const RobotsImport robots_;

    // The store's own engine routes each line to the engines of its year and its month; a
    // period's engine counts its lines only. A period counts with the store's options: they are
    // put in its tables with them.
    const bool avecPeriodes_;
    std::map<std::string, std::unique_ptr<Importation>> periodes_;
    std::vector<std::string> periodesLues_; // those the store had not read before this import
    bool valide_ = false;
    Importation* annee_ = nullptr; // the engines of the last line's year and month
    Importation* mois_ = nullptr;
    std::int32_t anneeCourante_ = 0;
    std::int32_t moisCourant_ = 0;
    TablePreparee options_;
    // The thread that counts the periods, when they are counted apart: not when robots are left
    // out (the classifier, which tells them apart, serves one thread). Stopped before the
    // periods' engines go.
    std::unique_ptr<FilPeriodes> fil_;
};

} // namespace sillage
