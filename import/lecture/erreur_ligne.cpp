#include "import/lecture/erreur_ligne.h"

namespace sillage {

void LeveErreurLigne(std::int64_t numero) {
    try {
        LeveErreurLecture(numero);
    } catch (const ErreurSillage& e) {
        throw ErreurLigne(e.what());
    }
}

} // namespace sillage
