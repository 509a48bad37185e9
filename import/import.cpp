#include "import/import.h"

#include "import/importation.h"
#include "import/source_log.h"

#include <memory>

namespace sillage {

std::int64_t ImporteFichier(Base& base, const std::string& chemin,
                            const RappelProgression& progression) {
    return ImporteJournal(base, chemin, DemandeImport{}, progression).Lignes;
}

std::int64_t ImporteListeLog(Base& base, const RappelProgression& progression) {
    SourceTable source(base.ListeLog);
    return Importe(base, source, progression);
}

} // namespace sillage
