// A change of several files of the store folder as one step: after a crash at any moment the
// folder holds every old file or every new one, never a mix.
//
// How: each new content goes to a temporary file beside its final name (final name, a dot, six
// letters or digits) and is fsynced. Then the transaction file, kFichierTransaction, names every
// temporary with its final name and every file to remove; it is fsynced with the folder: from then
// on the change is decided. The final files are kept under a second name (final name +
// kSuffixeAncien), the temporaries renamed over them and the removals made; the folder is fsynced,
// the transaction file removed, then the old copies. Whoever takes the store's lock next runs
// RecupereDossier before reading anything: a whole transaction file is carried out to its end (roll
// forward), one cut short is dropped (the old files were not touched yet), and temporaries and old
// copies that no transaction file names are removed.
#pragma once

#include "store/confiance.h"
#include "store/disque.h"
#include "store/table.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

inline constexpr std::string_view kFichierTransaction = "sillage.transaction";

// True when nom, a path relative to the store folder ("nom.lst", "periodes/2024/nom.lst"), is one
// of the files that the store's transactions may change. It must answer false for any path that
// leaves the folder.
using NomConnu = std::function<bool(std::string_view nom)>;

// The name that nom is a temporary (a dot and six letters or digits after it) or an old copy of,
// as a change leaves them for a while; nothing for any other name.
std::optional<std::string_view> NomDeReste(std::string_view nom);
inline constexpr std::string_view kSuffixeAncien = ".ancien";

class Transaction {
  public:
    // A change of files of dossier (a separator is added when it lacks one), whose owner is
    // proprietaire (the folder's owner when not given): a file written by root in a store of
    // another user is given to that user.
    explicit Transaction(std::string dossier, Disque& disque = Disque::Systeme(),
                         Proprietaire proprietaire = {});
    // A change not carried out leaves no file behind.
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // The file nom (a name relative to the folder: a plain name, or one in a sub-folder, which is
    // made when missing) gets the lines of table, each followed by CR LF.
    // A table that is the file as it was loaded, unchanged, leaves it as it is. Written at once;
    // raises "Impossible de créer le fichier %s" naming the final file, with the reason (a full
    // disk: "disque plein"), when it cannot be (nothing in the folder changed then: the
    // temporaries are removed), or when nom is held by something that is not a regular file.
    void Remplace(std::string_view nom, const Table& table);
    // The same, the bytes written and made durable on one of the transaction's two writing
    // threads while the caller goes on, when the transaction writes to the real file system (a
    // test's Disque gets Remplace). table must stay alive and unchanged until Valide or the end
    // of the transaction. A write that fails is raised by Valide, naming the first such file in
    // the order of the calls; every temporary is then removed.
    void RemplaceEnFond(std::string_view nom, const Table& table);
    // The file nom is to be removed (absent already is fine).
    void Supprime(std::string_view nom);
    // Carries the change out. When it cannot be, raises "Impossible de créer le fichier %s"
    // (naming the first file it could not write or replace, with the reason) and leaves every
    // file as it was.
    void Valide();

  private:
    struct Remplacement {
        std::string final;
        std::string temporaire;
    };
    class Ecrivains;
    std::string Chemin(std::string_view nom) const { return dossier_ + std::string(nom); }
    // Makes the temporary of nom, owned and with its mode; answers its descriptor (raises the
    // creation error when it cannot).
    int OuvreTemporaire(std::string_view nom);
    // Waits for the writing threads; raises the first failure they met.
    void AttendEcrivains();
    void Abandonne();
    // Drops what was written, then raises the creation error for nom with its reason.
    [[noreturn]] void Echoue(const std::string& nom, const std::string& raison);
    void EcritFichierTransaction();
    // Makes the missing folders of nom.
    void AssureDossiers(std::string_view nom);
    // fsyncs the folder and every sub-folder the change touches.
    bool SynchroniseDossiers();
    // Puts the old files back after the k first renames; false when it could not.
    bool Defait(std::size_t k);
    // After the transaction file was written: puts the old files back, then raises the creation
    // error with the reason errno gives.
    [[noreturn]] void EchoueApresDecision(std::size_t k, const std::string& nom);

    std::string dossier_;
    Disque& disque_;
    Proprietaire proprietaire_;
    std::vector<Remplacement> remplacements_;
    std::vector<std::string> suppressions_;
    std::vector<bool> existait_; // for each replacement: its final file existed
    std::vector<bool> anciens_;  // ... and was kept under a second name
    std::unique_ptr<Ecrivains> ecrivains_;
    bool decidee_ = false;
    bool finie_ = false;
};

// Completes or drops what a crash left in dossier (see above); connu tells the files that
// transactions may change there, sousDossiers the folders under it (relative, ending with a
// separator) where such files lie, which are searched for temporaries and old copies as the
// folder itself is. Run only by the holder of the store's lock. Raises "Impossible de créer le
// fichier %s" when a decided change cannot be completed. Only files of the store's owner
// (proprietaire, the folder's owner when not given) are trusted: a transaction file, a temporary
// or an old copy that is not a regular file of the owner is neither carried out nor removed, and
// raises a message naming it (LeveFichierEtranger).
void RecupereDossier(const std::string& dossier, const NomConnu& connu,
                     const std::vector<std::string>& sousDossiers = {},
                     Disque& disque = Disque::Systeme(), Proprietaire proprietaire = {});

} // namespace sillage
