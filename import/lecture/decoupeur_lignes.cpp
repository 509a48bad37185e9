#include "import/lecture/decoupeur_lignes.h"

namespace sillage {

void DecoupeurLignes::Recommence(std::int64_t origine) {
    origine_ = origine;
    debut_ = fin_ = debutLigne_ = 0;
    nul_ = std::string::npos;
    nulLigne_ = false;
    fini_ = false;
}

} // namespace sillage
