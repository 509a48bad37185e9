#include "import/mots_cles.h"

#include "store/champs.h"

#include <utility>

namespace sillage {

void MotsCles::Ajoute(std::int32_t origine, std::string_view keywords) {
    if (!commence_) {
        compteur_.assign(table_.Derniere());
        commence_ = true;
    }
    const std::int64_t n = ConvertitEntier(ExtraitChamp(compteur_, 1));
    tampon_.assign(compteur_);
    AjouteEntier(tampon_, origine);
    tampon_ += "\\3;";
    tampon_ += keywords;
    tampon_ += "\\4;";
    ajoutees_.Ajoute(tampon_);
    compteur_.assign("\\1;");
    AjouteEntier(compteur_, n + 1);
    compteur_ += "\\2;";
}

void MotsCles::Prepare() {
    if (ajoutees_.Vide()) {
        return;
    }
    const std::size_t stockees = table_.Count() - 1;
    nouvelle_.Reserve(stockees + ajoutees_.Count() + 1,
                      table_.Octets() + ajoutees_.Octets() + compteur_.size());
    for (std::size_t i = 0; i < stockees; ++i) {
        nouvelle_.Ajoute(table_[i]);
    }
    for (std::size_t i = 0; i < ajoutees_.Count(); ++i) {
        nouvelle_.Ajoute(ajoutees_[i]);
    }
    nouvelle_.Ajoute(compteur_);
    ajoutees_ = Table();
    change_ = true;
}

void MotsCles::Applique() noexcept {
    if (change_) {
        table_ = std::move(nouvelle_);
    }
}

} // namespace sillage
