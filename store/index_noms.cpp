#include "store/index_noms.h"

#include "store/casse.h"
#include "store/champs.h"

namespace sillage {

std::int64_t IndexNoms::Cherche(std::string_view nom) const {
    return hachage_.Cherche(HachageSansCasse(nom),
                            [&](std::uint32_t p) { return EgalSansCasse(noms_[p], nom); });
}

void IndexNoms::Ajoute(std::string_view nom) {
    const std::uint64_t h = HachageSansCasse(nom);
    const auto position = static_cast<std::uint32_t>(noms_.Count());
    const bool connu =
        hachage_.Cherche(h, [&](std::uint32_t p) { return EgalSansCasse(noms_[p], nom); }) >= 0;
    noms_.Ajoute(nom);
    if (!connu) {
        hachage_.Insere(h, position);
    }
}

void IndexNoms::Efface() {
    noms_.Efface();
    hachage_.Efface();
}

void IndexNoms::Tronque(std::size_t n) {
    if (n >= noms_.Count()) {
        return;
    }
    Table anciens = std::move(noms_);
    anciens.Tronque(n);
    Efface();
    hachage_.Reserve(anciens.Count());
    for (std::size_t i = 0; i < anciens.Count(); ++i) {
        Ajoute(anciens[i]);
    }
}

void IndexNoms::Reconstruit(const Table& table) {
    Efface();
    const std::size_t n = table.Count() == 0 ? 0 : table.Count() - 1;
    noms_.Reserve(n, table.Octets() / 2);
    hachage_.Reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        Ajoute(ExtraitChamp(table[i], 2));
    }
}

} // namespace sillage
