// The import: folds the lines of an access log into the tables of a store, and records the log
// in the register of imported logs. This is what the programs use. The flow below it, each
// folder using only those before it: lecture/ reads the log (plain or gzip, cut into lines and
// fields, read ahead), parties/ count each concern beside the tables, moteur/ runs the line loop
// and the all-or-nothing validation; plan.h decides, for each mode, where the loop starts and
// stops.
#pragma once

#include "import/lecture/erreur_ligne.h"
#include "import/lecture/source_log.h"
#include "import/moteur/progression.h"
#include "store/base.h"
#include "store/erreur.h"
#include "store/registre.h"
#include "visiteurs/classificateur.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sillage {

class ObservateurLignes;

// What to count of a log.
enum class ModeImport {
    // Every line, as the window's "Ouvrir" does.
    Entier,
    // Only the lines after what the register of imported logs says is counted already; a log it
    // does not know, or whose recorded end no longer matches, is counted whole as a new log. A
    // last line without a line end (still being written) is left for the next import.
    Nouveau,
    // Exactly the bytes of an earlier import (a replay), which must not have changed.
    Plage,
};

// The bytes of a log that an import counted: [Debut, Fin) of its text (a compressed log taken
// decompressed), their fingerprint, and how many lines of the log came before Debut.
struct PlageJournal {
    std::int64_t Debut = 0;
    std::int64_t Fin = 0;
    std::uint64_t Empreinte = 0;
    std::int64_t LignesAvant = 0;
    bool operator==(const PlageJournal&) const = default;
};

struct DemandeImport {
    ModeImport Mode = ModeImport::Entier;
    // Lines that would stop the import (unreadable, a date that does not convert or cannot be
    // counted) are passed over and counted, the rest imported exactly as if they were absent. A
    // stored row that does not convert still stops the import.
    bool IgnoreIllisibles = false;
    // For ModeImport::Plage.
    PlageJournal Plage;
    // For ModeImport::Plage, a replay of an import that counted only what was new: the part of
    // the bytes that the register now counts already (another program counted it meanwhile) is
    // passed over.
    bool SautDejaComptees = false;
    // The lines whose agent is a robot are left out of the fourteen tables, exactly as if they
    // were absent from the log; they still count in the agents table (and as lines read).
    bool SansRobots = false;
    // Who tells robots apart, each distinct agent classified once per import; it must outlive
    // the import. Given, the import also says how many of its hits were robots'. Null: robots
    // are told apart only for SansRobots, with a classifier of the import's own (the installed
    // lists and the robots.lst of the store folder).
    Classificateur* Classement = nullptr;
    // Lines longer than this (without their line end) are unreadable, and never held whole;
    // tests make it small.
    std::size_t LongueurMaxLigne = kLongueurMaxLigne;
    // Told every line counted (moteur/parcours.h), when given.
    ObservateurLignes* Observateur = nullptr;
};

struct CompteRenduImport {
    std::int64_t Lignes = 0;            // lines read from the log (counted or passed over)
    std::int64_t DejaComptees = 0;      // lines before them, counted by earlier imports
    std::int64_t Illisibles = 0;        // lines passed over as unreadable
    std::int64_t PremiereIllisible = 0; // line number of the first of them, from 1
    bool Connu = false;                 // the register knew the log and its recorded end matched
    bool Reecrit = false; // the register knew its beginning, not its recorded end: counted whole
    PlageJournal Plage;   // what was counted
    bool Change = false;  // the tables changed (nothing new: they did not)
    // Of the lines counted, the hits of robots (left out of the fourteen tables or not); -1 when
    // robots were not told apart.
    std::int64_t Robots = -1;
    // A whole import of a log whose beginning the register knows: when it was imported last (as
    // the register writes it), its lines now counted again. Empty otherwise.
    std::string DejaImporteLe;
    bool Vide = false;  // ModeImport::Nouveau: the log is empty (nothing new)
    bool Coupe = false; // ModeImport::Nouveau: a compressed log cut short, counted up to the cut
    // The years and months (store/periodes.h) that the lines counted fell in, in the order of
    // their names.
    std::vector<std::string> Periodes;
};

// The error of a replay whose log changed since it was imported: "Le journal %s a changé depuis
// qu'il a été importé."
class ErreurJournalChange : public ErreurSillage {
  public:
    using ErreurSillage::ErreurSillage;
};

// Imports the access log at chemin (plain or gzip-compressed, a gzip log read as its text) into
// base as demande says, and records it in the register of imported logs (base.ListeRegistre)
// with the tables. Lines split as table files do (CR LF, CR or LF); a line holding a NUL byte, or
// longer than demande.LongueurMaxLigne, is unreadable. Each line's agent is counted in the agents
// table (base.ListeAgents), and with demande.SansRobots a robot's line only there. When something
// was counted: the four ranked tables are sorted (TrieListes), the name indexes marked for
// rebuilding (Base::AssureIndex) and Modifie set to 1; with nothing new (ModeImport::Nouveau: an
// empty log too) nothing changes. With ModeImport::Nouveau a compressed log cut short is counted
// up to its last whole line, the rest left for an import that finds it whole
// (CompteRenduImport::Coupe). Line numbers in messages count from the log's first line. The
// progress is told as RappelProgression says. Whatever the log holds, the reading takes a few
// tens of megabytes at the most: what an import holds beyond that is the tables.
// On failure raises ErreurSillage: "Impossible d'ouvrir le fichier %s" with the reason;
// "<chemin> est vide" for an empty log; "<chemin> ne ressemble pas à un journal d'accès (ligne
// N)" when its first line is not an access-log line at all, or when every line was passed over;
// the integer conversion message, "Erreur à la lecture du fichier (ligne N)", also for a line
// holding a NUL byte or too long: an ErreurLigne for a line that cannot be counted, which says
// whether other lines could be; ErreurCompression for a compressed log damaged or cut short;
// ErreurJournalChange for a replay. It then leaves every table, every name index and Modifie as
// they were; so does any other exception (std::bad_alloc).
CompteRenduImport ImporteJournal(Base& base, const std::string& chemin,
                                 const DemandeImport& demande,
                                 const RappelProgression& progression = {});

// What the register of imported logs knows of the log at chemin, for a question before its
// import: Connu when its beginning and its recorded end match; then Ligne is its row and
// LignesNouvelles the whole lines after the recorded end.
struct EtatRegistre {
    bool Connu = false;
    RRegistre Ligne;
    std::int64_t LignesNouvelles = 0;
};
EtatRegistre ConsulteRegistre(const Base& base, const std::string& chemin);

// Imports every line held in base.ListeLog into base, as ImporteJournal imports a whole log
// (without recording it in the register).
std::int64_t ImporteListeLog(Base& base, const RappelProgression& progression = {});

} // namespace sillage
