// The loop of every import: the lines of a source counted one after the other into the engine
// (importation.h), as the plan of the import says where to stop and what to pass over. A whole
// log, only what is new of it, the replay of an earlier import and the lines of a table all go
// through it.
#pragma once

#include "import/lecture/cibles.h"
#include "import/lecture/source_log.h"
#include "import/moteur/importation.h"
#include "import/moteur/progression.h"
#include "store/base.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

// Told every line the loop counts, once the engine has taken it in (what sillage-import
// --hits writes). It sees the lines of the import only: an import that fails afterwards, or
// that only passes lines over, is the observer's to forget.
class ObservateurLignes {
  public:
    virtual ~ObservateurLignes() = default;
    // ligne: the line as read, without its line end, cut with nombreChamps (CompteNombreChamps
    // of the log's first line) into preparee. What it raises stops the import as an error of
    // the log.
    virtual void LigneComptee(std::string_view ligne, int nombreChamps,
                              const LignePreparee& preparee) = 0;
};

// What the loop counts of a source.
struct Parcours {
    int NombreChamps = 0;          // of the log's lines (CompteNombreChamps of its first line)
    std::int64_t DejaComptees = 0; // lines of the log before the first one: numbers go on from it
    bool IgnoreIllisibles = false; // lines that raise ErreurLigne are passed over and counted
    bool AttendFin = false;        // a last line without its line end is left for a later import
    std::int64_t Fin = -1;         // the offset to stop at (a replay); -1: the end of the source
    std::string Journal;           // the log's name, for messages (empty: a table's lines)
    ObservateurLignes* Observateur = nullptr; // told each line counted, when given
};

// What it did.
struct Parcouru {
    std::int64_t Lues = 0;              // lines read: counted or passed over
    bool Compte = false;                // at least one line was counted
    std::int64_t Illisibles = 0;        // lines passed over
    std::int64_t PremiereIllisible = 0; // the number of the first of them
    std::int64_t Fin = 0;               // the offset just after the last line read
    bool Attente = false;               // it stopped at a last line without its line end
};

// Counts the lines of source, which has just given the first of them, into importation, telling
// suivi; stops at the end of the source, at a last line without its line end (AttendFin), or
// once the lines read end at parcours.Fin, or, when they run past it, before the line that does
// (Parcouru::Fin then tells where). A line holding a NUL byte, or cut short for its length
// (SourceLignes::DerniereTropLongue), is unreadable. Raises the first ErreurLigne when unreadable
// lines are not passed over, and every other error of the lines or of the stored rows, once the
// rest of a source whose damage shows late was read (SourceLignes::VerifieReste). When the first
// line read stops it, the source is read on to tell whether any line could be counted
// (ErreurLigne::LignesComptables), and a log whose first line is not an access-log line at all
// (ErreurLigne::HorsFormat) raises "<Journal> ne ressemble pas à un journal d'accès (ligne 1)".
Parcouru CompteLignes(SourceLignes& source, const Parcours& parcours, Importation& importation,
                      SuiviProgression& suivi);

// Imports every line of source into base: the first line gives the number of fields; the
// progress is told as RappelProgression says. On failure raises ErreurSillage ("Indice de liste
// hors limites (0)" for a source without lines, the integer conversion message, "Erreur à la
// lecture du fichier (ligne N)", also for a line holding a NUL byte) and leaves every table,
// every name index and Modifie as they were; so does any other exception (std::bad_alloc). With
// sonde, Valide tells it each part (SondeValidation). With cibles (the names of every line of
// source, at the least), the name indexes are neither needed nor built.
std::int64_t Importe(Base& base, SourceLignes& source, const RappelProgression& progression,
                     const SondeValidation& sonde = {}, const CiblesImport* cibles = nullptr);

} // namespace sillage
