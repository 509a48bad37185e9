// How an import of a log goes, decided before a line is counted: where the counting starts, what
// the register of imported logs says of the log, and what is checked on the way. Each mode of
// DemandeImport makes its own plan here; the engine's one loop (moteur/parcours.h) runs any of
// them.
#pragma once

#include "import/import.h"
#include "import/lecture/source_log.h"
#include "import/moteur/parcours.h"
#include "store/base.h"
#include "store/registre.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

// What a log begins with: its first bytes (up to kOctetsEmpreinte, the register's fingerprint of
// a log's beginning), and the number of fields of its first line, or of its first line that can
// be counted when unreadable lines are passed over.
struct DebutJournal {
    std::string octets;
    int nombreChamps = 0;
    bool connu = false; // a line gave the number of fields
};

// Reads the beginning of the log from where source stands (its start). completes: only lines
// with their line end may give the number of fields (an import that leaves the last line
// without one for later judges none by it).
DebutJournal LitDebut(SourceJournal& source, bool ignoreIllisibles, bool completes);

struct PlanImport {
    bool AFaire = true;           // false: nothing to count; Rendu says what is known
    std::int64_t Depart = 0;      // the offset of the text where the counting starts
    bool Reprise = false;         // Depart is an end an earlier import recorded
    bool VideEstErreur = false;   // no line to count is the index error (a whole import)
    bool ChampsConnus = false;    // a line gave the number of fields (DebutJournal::connu)
    std::int64_t Rang = -1;       // the register's row of this log, -1 when it has none
    std::int64_t RegistreAu = -1; // a replay: the bytes the register counts of the log already
    Parcours Boucle;              // what the loop counts
    CompteRenduImport Rendu;      // what is known before counting: Connu, Reecrit, DejaComptees
};

// The plan of demande for the log at chemin, whose beginning is debut (read from source): source
// goes back and is left at plan.Depart, unless there is nothing to count (AFaire false). Raises
// ErreurJournalChange for a replay whose bytes are no longer those it counted, and the conversion
// error of a damaged row of the register.
PlanImport Planifie(const Base& base, SourceJournal& source, const std::string& chemin,
                    const DebutJournal& debut, const DemandeImport& demande);

// Reads the first line to count into ligne, plan.Depart moving past the rest of a line counted
// already (PremiereLigneApresFin). False when there is none to count: the log has no line
// there, or, when a last line without its line end waits (AttendFin), no whole line, or no line
// could give the number of fields yet (until one does, no line can be judged: passed over now,
// they might have been counted by that number).
bool PremiereLigne(SourceJournal& source, PlanImport& plan, std::string_view& ligne);

// After source went to an end that an earlier import recorded: gives the first line that import
// did not count. The recorded end may fall inside a line (the last line of a log imported whole,
// still being written then): the rest of that line was counted with it. A CR LF cut after its CR
// leaves its LF, counted as well. False when no line follows.
bool PremiereLigneApresFin(SourceJournal& source, std::string_view& ligne);

// Goes to the recorded end of row r in source; true when the log is still the one recorded
// there (its text reaches that end, and the bytes before it are those recorded).
bool RetrouveFin(SourceJournal& source, const RRegistre& r);

// Raises ErreurJournalChange: "Le journal %s a changé depuis qu'il a été importé."
[[noreturn]] void LeveJournalChange(const std::string& chemin);

} // namespace sillage
