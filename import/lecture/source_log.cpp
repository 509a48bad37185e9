#include "import/lecture/source_log.h"

#include "import/lecture/source_fichier.h"
#include "store/fichiers.h"

#include <unistd.h>

namespace sillage {

bool SourceTable::Suivante(std::string_view& ligne) {
    if (suivante_ >= table_.Count()) {
        return false;
    }
    ligne = table_[suivante_++];
    derniere_ = ligne;
    return true;
}

// The table holds its lines as its file does, each followed by its CR LF.
std::string_view SourceTable::AvecFin() const {
    return suivante_ == 0 ? std::string_view()
                          : std::string_view(derniere_.data(), derniere_.size() + 2);
}

std::int64_t SourceTable::Position() const {
    if (suivante_ == 0) {
        return 0;
    }
    return static_cast<std::int64_t>(derniere_.data() + derniere_.size() + 2 -
                                     table_.Fichier().data());
}

std::unique_ptr<SourceJournal> OuvreSourceFichier(const std::string& chemin,
                                                  const OptionsSource& options) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    try {
        unsigned char magique[2] = {0, 0};
        const bool gzip =
            ::pread(fd, magique, 2, 0) == 2 && magique[0] == 0x1f && magique[1] == 0x8b;
        if (gzip) {
            return std::make_unique<SourceGzip>(fd, taille, chemin, options);
        }
        return std::make_unique<SourceFichier>(fd, options.LongueurMaxLigne);
    } catch (...) {
        // The constructor failed after taking the descriptor: SourceFichier's destructor did
        // not run.
        ::close(fd);
        throw;
    }
}

} // namespace sillage
