// The folder of a report, replaced whole by each run: the pages are written into a new folder
// beside it, which then takes its place in one rename (the two folders exchanged, where the
// system can: a web server serving it sees the old pages or the new ones, never a mix, never
// none), and the old pages go. A run that fails leaves the previous report whole.
//
// Only a report's folder is replaced: the folder must be absent, empty, or hold the mark that
// the report leaves (kMarqueRapport), so that a folder of other files is never removed.
#pragma once

#include <string>
#include <string_view>

namespace sillage {

// The file every report's folder holds, which says what the folder is.
inline constexpr std::string_view kMarqueRapport = ".sillage-rapport";

class DossierRapport {
  public:
    // Checks that dossier (its links followed) may receive a report, and makes the new folder
    // beside it (readable as umask allows). Raises ErreurSillage with a message naming it when
    // its parent does not exist, when it is not a folder, when it holds files of another kind
    // than a report's, or when the new folder cannot be made.
    explicit DossierRapport(const std::string& dossier);
    // The new folder goes, unless Remplace put it in place.
    ~DossierRapport();
    DossierRapport(const DossierRapport&) = delete;
    DossierRapport& operator=(const DossierRapport&) = delete;

    // Where the file nom of the new folder is to be written.
    std::string Fichier(std::string_view nom) const;
    // Writes the mark, then puts the new folder in the place of the report's folder and removes
    // the old pages. Raises ErreurSillage naming the folder when the exchange fails (the old
    // report then stays).
    void Remplace();

    const std::string& Dossier() const { return dossier_; }

  private:
    std::string dossier_; // the report's folder, as resolved
    std::string nouveau_; // the folder being written
    bool existe_ = false; // dossier_ was there
    bool remplace_ = false;
};

// Removes a folder and everything under it (links are removed, never followed); true when
// nothing is left.
bool SupprimeArborescence(const std::string& dossier);

} // namespace sillage
