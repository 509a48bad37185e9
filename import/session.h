// What a program that keeps the tables in memory for a long while (the window) changed since it
// last loaded or saved them, so that saving over a store that another program saved meanwhile
// keeps both programs' work: the store is read again and the imports made since are done again
// over it, each line counted once, before anything is written.
#pragma once

#include "import/import.h"
#include "store/base.h"

#include <string>
#include <vector>

namespace sillage {

// One import to do again: its log, how it was read, the referrer prefix then in force, and the
// bytes it counted.
struct ImportFait {
    std::string chemin;
    DemandeImport demande;
    std::string option;
    PlageJournal plage;
};

// How a save went.
enum class IssueEnregistrement {
    Enregistre, // the tables were saved as the program held them
    Fusionne,   // the store had changed: it was read again, the imports redone, then saved
    Relu,       // the store had changed and nothing was imported: the tables are the store's
    Impossible, // the store had changed and an import cannot be redone: nothing was written
};

struct ResultatEnregistrement {
    IssueEnregistrement issue = IssueEnregistrement::Enregistre;
    // For Impossible: the log whose import cannot be redone, and why (the error's message).
    std::string chemin;
    std::string raison;
};

class Session {
  public:
    // The tables of base are those of the disk now (after a load, a save or a reset): forgets the
    // imports made so far.
    void Synchronise(const Base& base);
    // An import made into the tables since; option is the referrer prefix it ran with.
    void NoteImport(ImportFait import) { imports_.push_back(std::move(import)); }
    const std::vector<ImportFait>& Imports() const { return imports_; }

    // True when the store's files changed on the disk since the last Synchronise.
    bool DisqueChange(const Base& base) const;

    // Saves base as one transaction, the caller holding the store's lock. When the store changed
    // on the disk since the last Synchronise, base becomes the store read again, with the
    // imports redone over it (each with its own option) and the referrer prefix and the option
    // of robots of base kept when they were changed since; this is then saved (nothing is written
    // when nothing was imported and neither option was changed). When an import cannot be redone
    // (its log moved or changed), nothing is written and base is left as it was. Raises the store's
    // errors (a failed save leaves base and Modifie as they were).
    ResultatEnregistrement Enregistre(Base& base);
    // Saves base as it is, whatever the disk holds (the caller asked to replace the store).
    void Remplace(Base& base);

  private:
    EmpreinteDisque empreinte_;
    std::string option_; // the referrer prefix as last loaded or saved
    Table robots_;       // the option of robots (robots.options) as last loaded or saved
    std::vector<ImportFait> imports_;
};

} // namespace sillage
