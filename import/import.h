// The import: folds every line of an access log into the tables of a store. This is what the
// programs use; the engine's insides are in importation.h.
#pragma once

#include "store/base.h"

#include <cstdint>
#include <functional>
#include <string>

namespace sillage {

// Told the progress bar's value (the integer part of 100·i/N − 1 for line i of N, then 100 at
// the end) each time that value changes.
using RappelProgression = std::function<void(int valeur)>;

// Imports the access log at chemin (plain, or gzip-compressed) into base. Lines split as table
// files do (CR LF, CR or LF; a NUL byte ends the text). On success the four ranked tables are
// sorted (TrieListes), the name indexes marked for rebuilding (Base::AssureIndex) and Modifie set
// to 1; returns the number of lines.
// On failure raises ErreurSillage ("Impossible d'ouvrir le fichier %s", "Indice de liste hors
// limites (0)" for an empty file, the integer conversion message, "Erreur à la lecture du
// fichier (ligne N)") and leaves every table, every name index and Modifie as they were; so does
// any other exception (std::bad_alloc).
std::int64_t ImporteFichier(Base& base, const std::string& chemin,
                            const RappelProgression& progression = {});

// The same import over the lines held in base.ListeLog.
std::int64_t ImporteListeLog(Base& base, const RappelProgression& progression = {});

} // namespace sillage
