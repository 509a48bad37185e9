#include "vues/vue_mots_cles.h"

#include "store/base.h"
#include "store/champs.h"
#include "vues/texte_affiche.h"
#include "vues/vue_texte.h"

#include <algorithm>
#include <unordered_map>

namespace sillage {

std::vector<LigneMotsCles> MotsClesParAcces(const Base& base) {
    const Table& t = base.ListeKeyword;
    const std::size_t n = NombreEnregistrements(t.Count());
    std::vector<LigneMotsCles> lignes;
    // The same stored text is shown the same way: decoded once.
    std::unordered_map<std::string_view, std::size_t> parTexte;
    std::unordered_map<std::string, std::size_t> parMots;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view stocke = ExtraitChamp(t[i], 3);
        std::size_t rang;
        if (const auto it = parTexte.find(stocke); it != parTexte.end()) {
            rang = it->second;
        } else {
            std::string mots = MotsClesAffiches(stocke);
            const auto [m, nouveau] = parMots.try_emplace(mots, lignes.size());
            if (nouveau) {
                lignes.push_back({std::move(mots), 0});
            }
            rang = m->second;
            parTexte.emplace(stocke, rang);
        }
        ++lignes[rang].Acces;
    }
    std::stable_sort(
        lignes.begin(), lignes.end(),
        [](const LigneMotsCles& a, const LigneMotsCles& b) { return a.Acces > b.Acces; });
    return lignes;
}

} // namespace sillage
