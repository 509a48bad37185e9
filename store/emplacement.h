// Where a program's store lives, the same rule for the window and for sillage-import, so that
// by default both share one store; and where the window's open dialog starts. Linux: the
// program's own folder comes from /proc/self/exe, the user's folders from the environment.
#pragma once

#include <string>

namespace sillage {

// The folder that holds the running program, without a final separator ("." when unknown).
std::string DossierProgramme();

// The user's home folder: $HOME when it is an absolute path, else the one the password
// database gives; empty when neither is known.
std::string DossierPersonnel();

// The store folder of a program whose own folder is dossierProgramme:
// - dir, when it is not empty (the --dir option), as it is: nothing is created;
// - else dossierProgramme when it already holds nom.lst (a copy kept beside its tables, and
//   every store made before the default below);
// - else ${XDG_DATA_HOME:-$HOME/.local/share}/sillage, where XDG_DATA_HOME counts only when it
//   is an absolute path. That folder, and those missing above it, are created (mode 0700) when
//   absent. When it cannot be created, or no home folder is known, raises ErreurSillage with the
//   message to show ("Impossible de créer le répertoire %s : permission refusée") and nothing is
//   written elsewhere.
std::string EmplacementBase(const std::string& dir, const std::string& dossierProgramme);

// The folder the open dialog starts in: the store folder when it is the program's own folder,
// else the folder of the last log opened in this run (dernierDossierLog, empty when none), else
// the user's home ("/" when unknown).
std::string DossierOuverture(const std::string& dossierBase, const std::string& dossierProgramme,
                             const std::string& dernierDossierLog);

} // namespace sillage
