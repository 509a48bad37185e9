#include "import/parties/registre_import.h"

#include "import/lecture/empreinte.h"

#include <ctime>

namespace sillage {

std::int64_t ChercheRegistre(const Table& registre, std::string_view debut) {
    std::int64_t trouve = -1;
    std::int64_t couverts = -1;
    for (std::size_t i = 0; i < registre.Count(); ++i) {
        const RRegistre r = LitRegistre(registre[i]);
        const auto n = static_cast<std::size_t>(r.OctetsDebut);
        if (r.OctetsDebut > couverts && n <= debut.size() &&
            EmpreinteDe(debut.substr(0, n)) == r.Debut) {
            trouve = static_cast<std::int64_t>(i);
            couverts = r.OctetsDebut;
        }
    }
    return trouve;
}

void RegistreImport::Note(std::int64_t position, const RRegistre& ligne) {
    note_ = true;
    position_ = position;
    ligne_ = ligne;
}

void RegistreImport::Prepare() {
    if (!note_) {
        return;
    }
    nouvelle_ = table_;
    const std::string texte = EcritRegistre(ligne_);
    if (position_ >= 0 && static_cast<std::size_t>(position_) < nouvelle_.Count()) {
        nouvelle_.Remplace(static_cast<std::size_t>(position_), texte);
    } else {
        nouvelle_.Ajoute(texte);
    }
}

void RegistreImport::Applique() noexcept {
    if (note_) {
        table_ = std::move(nouvelle_);
    }
}

std::string DateMaintenant() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char texte[32];
    std::strftime(texte, sizeof texte, "%d/%m/%Y %H:%M:%S", &local);
    return texte;
}

} // namespace sillage
