#include "import/parties/mots_cles.h"

#include "store/champs.h"
#include "store/enregistrements.h"

#include <utility>

namespace sillage {

void MotsCles::Ajoute(std::int32_t origine, std::string_view keywords) {
    if (!commence_) {
        compteur_.assign(table_.Derniere());
        // The new table starts as the stored rows, the counter row excluded; rows are added
        // straight to it.
        const std::size_t stockees = table_.Count() - 1;
        nouvelle_.table.Reserve(stockees + 1, table_.Octets());
        nouvelle_.table.AjouteLignes(table_, 0, stockees);
        commence_ = true;
    }
    const std::int64_t n = ConvertitEntier(ExtraitChamp(compteur_, 1));
    // The row is made from the counter row's own text.
    tampon_.assign(compteur_);
    AjouteSuiteMotsCles(tampon_, origine, keywords);
    nouvelle_.table.Ajoute(tampon_);
    compteur_.clear();
    AjouteLigneCompteur(compteur_, n + 1);
}

void MotsCles::Prepare() {
    if (!commence_) {
        return;
    }
    nouvelle_.table.Ajoute(compteur_);
    nouvelle_.table.Compacte();
    nouvelle_.prete = true;
}

void MotsCles::Applique() noexcept {
    nouvelle_.MetEnPlace(table_);
}

} // namespace sillage
