#include "import/lecture/erreur_ligne.h"

namespace sillage {

void LeveErreurLigne(std::int64_t numero, bool horsFormat) {
    try {
        LeveErreurLecture(numero);
    } catch (const ErreurSillage& e) {
        throw ErreurLigne(e.what(), horsFormat);
    }
}

void LevePasUnJournal(const std::string& journal, std::int64_t numero, bool comptables) {
    ErreurLigne erreur(journal + " ne ressemble pas à un journal d'accès (ligne " +
                           std::to_string(numero) + ")",
                       true);
    erreur.LignesComptables = comptables;
    throw erreur;
}

} // namespace sillage
