#include "import/import.h"

#include "import/importation.h"
#include "import/source_log.h"

#include <memory>

namespace sillage {

std::int64_t ImporteFichier(Base& base, const std::string& chemin,
                            const RappelProgression& progression) {
    const std::unique_ptr<SourceLignes> source = OuvreSourceFichier(chemin);
    return Importe(base, *source, progression);
}

std::int64_t ImporteListeLog(Base& base, const RappelProgression& progression) {
    SourceTable source(base.ListeLog);
    return Importe(base, source, progression);
}

} // namespace sillage
