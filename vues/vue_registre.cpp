#include "vues/vue_registre.h"

#include "store/registre.h"
#include "store/table.h"
#include "vues/vue_messages.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <unordered_set>

namespace sillage {

namespace {

constexpr std::size_t kJournauxNommes = 5;

std::optional<RRegistre> Lit(std::string_view ligne) {
    try {
        return LitRegistre(ligne);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

std::vector<ImportEntreTemps> ImportsEntreTemps(const Table& avant, const Table& apres) {
    std::unordered_set<std::string_view> inchangees;
    std::vector<RRegistre> anciennes;
    for (std::size_t i = 0; i < avant.Count(); ++i) {
        inchangees.insert(avant[i]);
        if (std::optional<RRegistre> r = Lit(avant[i])) {
            anciennes.push_back(std::move(*r));
        }
    }
    std::vector<ImportEntreTemps> imports;
    for (std::size_t i = 0; i < apres.Count(); ++i) {
        if (inchangees.count(apres[i]) != 0) {
            continue;
        }
        const std::optional<RRegistre> r = Lit(apres[i]);
        if (!r) {
            continue;
        }
        // The same log seen before: the most lines it had then, up to what it has now.
        std::int64_t deja = 0;
        for (const RRegistre& a : anciennes) {
            if (a.Debut == r->Debut && a.OctetsDebut == r->OctetsDebut && a.Lignes <= r->Lignes &&
                a.Octets <= r->Octets) {
                deja = std::max(deja, a.Lignes);
            }
        }
        const std::int64_t lignes = r->Lignes > deja ? r->Lignes - deja : r->Lignes;
        imports.push_back({r->Nom, lignes});
    }
    return imports;
}

std::string TexteEnregistrementFusionne(const std::vector<ImportEntreTemps>& imports,
                                        bool enregistre) {
    std::string texte = enregistre ? "Enregistré, avec " : "Les tables montrent maintenant ";
    if (imports.empty()) {
        return texte + "ce qu'un autre programme a enregistré entre-temps.";
    }
    texte += "les imports faits entre-temps par un autre programme : ";
    for (std::size_t i = 0; i < imports.size() && i < kJournauxNommes; ++i) {
        texte += (i > 0 ? ", " : "") + imports[i].Nom + " (" +
                 CompteEnFrancais(imports[i].Lignes, "ligne", "lignes") + ")";
    }
    if (imports.size() > kJournauxNommes) {
        texte +=
            " et " + CompteEnFrancais(static_cast<std::int64_t>(imports.size() - kJournauxNommes),
                                      "autre journal", "autres journaux");
    }
    return texte + ".";
}

} // namespace sillage
