// The statistics store: the fourteen tables with their files, the log being imported, the five
// name indexes and the modified flag. One object holds it all; its directory is a parameter.
#pragma once

#include "store/confiance.h"
#include "store/disque.h"
#include "store/erreur.h"
#include "store/index_noms.h"
#include "store/manifeste.h"
#include "store/table.h"
#include "store/verrou.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Base;

// One entry of the catalogue: a table, its file and what it holds when the file is absent.
struct EntreeCatalogue {
    std::string_view fichier;
    Table Base::*table;
    bool cle; // a keyed table: its last line is the counter row "\1;N\2;"
};

// What the store's files are on the disk (for each: absent, or its inode, size and times): two
// readings differ when a program saved or reset the store between them.
struct EmpreinteDisque {
    std::vector<std::int64_t> valeurs;
    bool operator==(const EmpreinteDisque&) const = default;
};

// The periods of a store read or made, by name: a copy of the store copies them.
struct PeriodesChargees : std::map<std::string, std::unique_ptr<Base>> {
    PeriodesChargees() = default;
    PeriodesChargees(const PeriodesChargees& autres);
    PeriodesChargees& operator=(const PeriodesChargees& autres);
    PeriodesChargees(PeriodesChargees&&) noexcept = default;
    PeriodesChargees& operator=(PeriodesChargees&&) noexcept = default;
};

// Loading a store whose files differ from its manifest (manifeste.h): what() names each file and
// what differs, and says how to accept the change.
class ErreurManifeste : public ErreurSillage {
  public:
    ErreurManifeste(const std::string& message, std::vector<DifferenceManifeste> differences)
        : ErreurSillage(message), Differences(std::move(differences)) {}
    std::vector<DifferenceManifeste> Differences;
};

class Base {
  public:
    // The referrer prefix that options.lst receives when the file is absent or empty.
    static constexpr std::string_view kOptionParDefaut = "http://www.example.com/";
    // The counter row of an empty keyed table.
    static constexpr std::string_view kGraine = "\\1;0\\2;";

    // A store whose files live in repertoire (a separator is added when it lacks one). Every
    // table is empty until InitListes.
    explicit Base(std::string repertoire = {});

    // The directory of the table files, ending with a separator.
    const std::string& Repertoire() const { return repertoire_; }
    void FixeRepertoire(std::string repertoire);
    // Full name of a table file of the catalogue ("nom.lst" and so on).
    std::string CheminFichier(std::string_view fichier) const;

    // Empties every table and ListeLog, then loads each table from its file in the order nom,
    // page, image, download, erreur, origine, keyword, navigateur, chemin, options, lanp,
    // lanpsearch, graphheure, graphmois, or seeds it when the file is absent. A file that exists
    // but cannot be read raises "Impossible d'ouvrir le fichier %s" and the later tables stay
    // empty. A keyed table whose file is empty or does not end with a counter row gets one, and
    // an empty options.lst gets the default prefix. The files beside the fourteen (the register,
    // agents.lst, robots.options) are read last, each when present (a store made before them has
    // none).
    // The store must be its owner's (confiance.h): a folder others can write, a link in place of
    // a file, a file of another user raise a message saying why, before anything is read. When
    // every table is loaded, the files are checked against the manifest of the last save: when
    // one differs, ErreurManifeste is raised (the tables stay loaded, to be shown; they must not
    // be saved without the user's say), unless accepteModifications, which records the files as
    // they are in a new manifest at once (the caller then holds the store's lock). Then the
    // register of imported logs is checked (VerifieRegistre): a row that does not read raises a
    // message naming journaux.lst and its line.
    // periodesProbables: periods whose files are read (PrechargePeriodes) while the tables are,
    // once the store's owner is known: those an import expects to count in.
    void InitListes(bool accepteModifications = false,
                    const std::vector<std::string>& periodesProbables = {});
    // Writes the fourteen tables to their files, each line ended by CR LF, then sets Modifie to
    // 0 (that of each period read or made too), as one transaction (transaction.h) with the files
    // beside them and the manifest of every file written: after a crash at any moment the files
    // are all old or all new. A file beside the fourteen is written once its table holds a row or
    // its file exists. A failure raises "Impossible de créer le fichier %s" and replaces nothing.
    // The caller holds the store's lock (Verrouille).
    void SauveListes();
    // Empties every table and ListeLog.
    void LibereListes();
    // Empties the name indexes and the tables, deletes the store's files (ignoring failures; as
    // one transaction, so that a crash deletes all or none), then InitListes. Modifie is left as
    // it is. The caller holds the store's lock.
    void ReinitialiseListes();

    // Checks that the store is private to its owner (confiance.h), takes the store's lock
    // (verrou.h: one writer at a time), then completes or drops what a save interrupted by a
    // crash left in the folder, before anything is read. attente and enAttente as Verrou::Prend;
    // the lock answered is not held when the wait ran out.
    Verrou Verrouille(std::chrono::milliseconds attente = std::chrono::milliseconds(-1),
                      const std::function<void()>& enAttente = {});
    // Keeps a copy of each file that differences name and that is there, beside it under a name
    // of its own that no save, recovery or reset of the store touches: "nom.lst.endommage-
    // AAAAMMJJ-HHMMSS" (quand, local time), "-2", "-3"... added when that name is taken. The
    // copies are the owner's, mode 0600, made durable. Answers their paths. Raises "Impossible de
    // créer le fichier %s" with the reason, or the error of a file that cannot be read as the
    // store reads its files (a link, another user's). The caller holds the store's lock.
    std::vector<std::string> GardeCopies(const std::vector<DifferenceManifeste>& differences,
                                         std::time_t quand) const;
    // Checks that a save could write in the store folder, before a log is read: creates a file
    // there and removes it at once (a file without a name where the file system offers one).
    // Raises "Impossible d'écrire dans le répertoire des tables DIR : <raison>" when it cannot
    // (permission refusée, système de fichiers en lecture seule...).
    void VerifieEcrivable() const;
    // The files of the store on the disk now.
    EmpreinteDisque LitEmpreinte() const;
    // The names of every file that saves write in the store's folder: the fourteen, the files
    // beside them (the register, agents.lst, robots.options), the manifest.
    static std::vector<std::string_view> NomsFichiers();
    // The names of the files of a period's folder (periodes.h): the fourteen and its agents.
    static std::vector<std::string_view> NomsFichiersPeriode();
    // True when nom, relative to the store folder, is a file that saves write: one of
    // NomsFichiers, or one of NomsFichiersPeriode in the folder of a period.
    static bool EstFichierDuStore(std::string_view nom);
    // Where saves and resets write (tests give their own, to stop a save at any step).
    void FixeDisque(Disque& disque) { disque_ = &disque; }
    Disque& DisqueUtilise() const { return *disque_; }
    // Rebuilds the five name indexes from their tables (field 2 of every data row, in order).
    void ReconstruitIndex();
    // Says that the tables changed as a whole (an import ended): the indexes are rebuilt by the
    // next AssureIndex, so that a program that only imports and saves never builds them.
    void MarqueIndexPerimes() { indexPerimes_ = true; }
    // True when the indexes hold what the tables hold: they were built from the tables as they
    // are now (each table's version is the one they were built from), whoever changed them.
    bool IndexAJour() const;
    // Rebuilds the indexes if the tables changed since they were last built.
    void AssureIndex() {
        if (!IndexAJour()) {
            ReconstruitIndex();
        }
    }

    // The catalogue, in the order of the files' names.
    static const std::array<EntreeCatalogue, 14>& Catalogue();

    // The periods (periodes.h): the fourteen tables of each year and each month that holds hits,
    // in a folder of their own under the store folder, saved, recovered and reset with the
    // store's own files in its transactions, and checked against its manifest.
    //
    // The names of the periods the store holds (those with a folder on the disk, and those its
    // manifest names), in the order of their names.
    std::vector<std::string> Periodes() const;
    // The store of period nom (EstNomPeriode), read from its folder at the first call after
    // InitListes (under the caller's lock, as InitListes), or seeded as an empty store with this
    // store's options when the period has no folder yet. Its tables are saved by this store's
    // SauveListes, never by its own. Raises a message naming the file or folder when the period's
    // folder is not a folder of the store's owner, holds a file that is not one of a period's,
    // or a file that cannot be read (the whole history stays loaded: only the period is
    // unavailable); raises ErreurManifeste when its files differ from the manifest, unless
    // accepteModifications (the manifest then records them at once, as InitListes does).
    Base& Periode(const std::string& nom, bool accepteModifications = false);
    // Starts reading the files of the periods noms (those not read yet) on threads of their
    // own, so that Periode finds them read: an import that knows the months of its lines asks
    // for them before it counts them. Only a hint: a period not asked for is read by Periode as
    // ever, and what is read here is checked there as any period is (folder, manifest); a file
    // that cannot be read is told by Periode, for the first file in loading order.
    void PrechargePeriodes(const std::vector<std::string>& noms);
    // The periods read or made since InitListes.
    const PeriodesChargees& Chargees() const { return periodes_; }
    // Forgets period nom, read or made, when its tables hold nothing to save (its Modifie is 0:
    // no import changed it since it was read or saved), so that its memory goes; it is read
    // again at the next Periode. Returns whether it was forgotten (false too when it was not
    // read).
    bool LaissePeriode(const std::string& nom) noexcept;
    // True for the store of a period (Periode).
    bool EstPeriode() const { return estPeriode_; }

    // The tables stay public fields: the views, the import's parts and the tests read them (and
    // the import and the tests write them) by the names the system gives them. What keeps a name
    // index in step with its table is not the field's access but the table's version: every
    // change of a Table moves Table::Version, the indexes remember the versions they were built
    // from, and IndexAJour compares them, so that a table changed by any caller is never read
    // through a stale index (AssureIndex builds it again).
    Table ListeOptions;
    Table ListeLog;
    Table ListeNom;
    Table ListePage;
    Table ListeImage;
    Table ListeOrigine;
    Table ListeKeyword;
    Table ListeNavigateur;
    Table ListeChemin;
    Table ListeDownload;
    Table ListeErreur;
    Table ListeLanp;
    Table ListeLanpSearch;
    Table ListeGraphHeure;
    Table ListeGraphMois;
    // The register of imported logs (registre.h), a file of the store beside the fourteen.
    Table ListeRegistre;
    // The agents table (agents.h), beside the fourteen as well: the import fills it, the views
    // of the visitors read it.
    Table ListeAgents;
    // The option "Ne pas compter les robots" (options_robots.h), beside options.lst.
    Table ListeOptionsRobots;

    IndexNoms IndexPage;
    IndexNoms IndexNom;
    IndexNoms IndexImage;
    IndexNoms IndexOrigine;
    IndexNoms IndexDownload;

    // 1 after an import reached the end of its log, 0 after start-up and after each save.
    int Modifie = 0;

  private:
    // A file of the store as it was read: its lines, size and CRC-32.
    struct FichierLu {
        Table table;
        std::int64_t taille = 0;
        std::uint32_t crc = 0;
    };
    const EntreeCatalogue& Entree(std::string_view fichier) const;
    // Reads file nom of the store (a file of its owner, no link); nothing when it is absent.
    // Changes nothing of the store: may run on any thread.
    std::optional<FichierLu> LitFichierBase(std::string_view nom) const;
    // The same for the file at chemin, of proprietaire.
    static std::optional<FichierLu> LitFichierDe(const std::string& chemin,
                                                 const Proprietaire& proprietaire);
    // The files of a period's folder read ahead (PrechargePeriodes): the fourteen in loading
    // order, then its agents.
    struct Precharge;
    // Puts what was read of file nom in table, remembered as read; false when it was absent.
    bool Garde(std::string_view nom, std::optional<FichierLu> lu, Table& table);
    // The table of e from what was read of its file, or seeded when it was absent.
    void ChargeOuSeme(const EntreeCatalogue& e, std::optional<FichierLu> lu);
    bool ChargeSiPresent(std::string_view nom, Table& table);
    // Loads or seeds the fourteen tables, in the order of loading.
    void ChargeTables();

    // Compares the files read (lus_ of base, whose names are under prefixe) with the rows of the
    // manifest under that prefix; raises ErreurManifeste unless accepte, which records the files
    // as they are in a new manifest at once.
    void VerifieManifeste(const Base& base, const std::string& prefixe, bool accepte);
    // Reads the manifest of the last save into manifeste_.
    void LitManifesteDuDisque();
    // Writes the manifest of entrees, alone, as one transaction.
    void EnregistreManifeste(const std::vector<EntreeManifeste>& entrees);
    // The manifest read from the disk (manifeste_), the rows of the folder of a period (under
    // prefixe) replaced by the files read there (lus_ of periode): what accepting that period's
    // files records, leaving the rest of the store as the disk holds it, whatever this store
    // holds in memory (another program may have saved since it was loaded).
    std::vector<EntreeManifeste> EntreesAvecPeriode(const Base& periode,
                                                    const std::string& prefixe) const;
    // Checks the folder of period nom: a folder of the owner (no link), holding only files of a
    // period and what a change leaves (temporaries, old copies). False when it does not exist.
    bool VerifieDossierPeriode(const std::string& nom) const;
    // The folders of the periods on the disk, and the folder that holds them (relative, each
    // ending with a separator), for the recovery.
    std::vector<std::string> SousDossiers() const;
    // The manifest's rows for the files that the tables now hold.
    std::vector<EntreeManifeste> EntreesManifeste() const;

    std::string repertoire_;
    bool indexPerimes_ = false;
    // The versions of ListePage, ListeNom, ListeImage, ListeOrigine, ListeDownload when their
    // indexes were built.
    std::array<std::uint64_t, 5> versionsIndex_{};
    Disque* disque_ = &Disque::Systeme();
    Proprietaire proprietaire_;
    // Each file as it was read (size, CRC-32), by name.
    std::map<std::string, EntreeManifeste, std::less<>> lus_;
    // The rows of the manifest of the last save, by name (the periods' files among them), and
    // whether it did not read.
    std::map<std::string, EntreeManifeste, std::less<>> manifeste_;
    bool manifesteIllisible_ = false;
    // The periods read or made, by name; empty for a period's own store.
    PeriodesChargees periodes_;
    // The periods being read ahead, by name (shared by the copies of the store: the first
    // Periode takes what was read).
    std::map<std::string, std::shared_ptr<Precharge>> precharges_;
    bool estPeriode_ = false;
};

// True when ligne is exactly a counter row: "\1;", an optional minus sign, digits, "\2;".
bool EstLigneCompteur(std::string_view ligne);

} // namespace sillage
