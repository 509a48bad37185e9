#include "support/vocabulaire.h"

namespace sillage::test {

Resultat LanceSillageImport(const std::string& arguments) {
    return Lance(std::string("'") + SILLAGE_IMPORT + "' " + arguments);
}

} // namespace sillage::test
