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
    // an empty options.lst gets the default prefix.
    // The store must be its owner's (confiance.h): a folder others can write, a link in place of
    // a file, a file of another user raise a message saying why, before anything is read. When
    // every table is loaded, the files are checked against the manifest of the last save: when
    // one differs, ErreurManifeste is raised (the tables stay loaded, to be shown; they must not
    // be saved without the user's say), unless accepteModifications, which records the files as
    // they are in a new manifest at once (the caller then holds the store's lock). Then the
    // register of imported logs is checked (VerifieRegistre): a row that does not read raises a
    // message naming journaux.lst and its line.
    void InitListes(bool accepteModifications = false);
    // Writes the fourteen tables to their files, each line ended by CR LF, then sets Modifie to
    // 0, as one transaction (transaction.h) with the register and the manifest of every file
    // written: after a crash at any moment the files are all old or all new. A failure raises
    // "Impossible de créer le fichier %s" and replaces nothing. The caller holds the store's lock
    // (Verrouille).
    void SauveListes();
    // Empties every table and ListeLog.
    void LibereListes();
    // Empties the name indexes and the tables, deletes the fourteen files (ignoring failures; as
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
    // The names of every file that saves write in the store's folder: the fourteen, the register,
    // the manifest.
    static std::vector<std::string_view> NomsFichiers();
    // The names of the files of a period's folder (periodes.h).
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
    // True when the indexes hold what the tables hold.
    bool IndexAJour() const { return !indexPerimes_; }
    // Rebuilds the indexes if the tables changed since they were last built.
    void AssureIndex() {
        if (indexPerimes_) {
            ReconstruitIndex();
        }
    }

    // The catalogue, in the order of the files' names.
    static const std::array<EntreeCatalogue, 14>& Catalogue();

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

    IndexNoms IndexPage;
    IndexNoms IndexNom;
    IndexNoms IndexImage;
    IndexNoms IndexOrigine;
    IndexNoms IndexDownload;

    // 1 after an import reached the end of its log, 0 after start-up and after each save.
    int Modifie = 0;

  private:
    const EntreeCatalogue& Entree(std::string_view fichier) const;
    void ChargeOuSeme(const EntreeCatalogue& e);
    bool ChargeSiPresent(std::string_view nom, Table& table);

    // The files as InitListes read them, for the manifest.
    void VerifieManifeste(bool accepte);
    // The folders of the periods on the disk, and the folder that holds them (relative, each
    // ending with a separator), for the recovery.
    std::vector<std::string> SousDossiers() const;
    // The manifest's rows for the files that the tables now hold.
    std::vector<EntreeManifeste> EntreesManifeste() const;

    std::string repertoire_;
    bool indexPerimes_ = false;
    Disque* disque_ = &Disque::Systeme();
    Proprietaire proprietaire_;
    // Each file as it was read (size, CRC-32), by name.
    std::map<std::string, EntreeManifeste, std::less<>> lus_;
};

// True when ligne is exactly a counter row: "\1;", an optional minus sign, digits, "\2;".
bool EstLigneCompteur(std::string_view ligne);

} // namespace sillage
