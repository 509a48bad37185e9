#include "vues/vue_resume.h"

#include "store/champs.h"
#include "vues/vue_texte.h"

#include <cmath>
#include <set>
#include <tuple>

namespace sillage {

namespace {

// The keyed tables of the summary's rows, in their order.
std::array<const Table*, 5> TablesResume(const Base& base) {
    return {&base.ListePage, &base.ListeNom, &base.ListeImage, &base.ListeOrigine,
            &base.ListeDownload};
}

} // namespace

std::int64_t TotalAcces(const Table& table) {
    std::int64_t total = 0;
    const std::size_t n = NombreEnregistrements(table.Count());
    for (std::size_t i = 0; i < n; ++i) {
        std::int32_t acces = 0;
        if (EssaieEntier(ExtraitChamp(table[i], 3), acces)) {
            total += acces;
        }
    }
    return total;
}

std::size_t JoursAvecHits(const Table& graphHeure) {
    // Two rows of one month (a calendar file edited by hand) count each day once.
    std::set<std::tuple<std::string_view, std::string_view, int>> jours;
    for (std::size_t i = 0; i < graphHeure.Count(); ++i) {
        const std::string_view ligne = graphHeure[i];
        const std::string_view annee = ExtraitChamp(ligne, 1);
        const std::string_view mois = ExtraitChamp(ligne, 2);
        for (int jour = 0; jour < 31; ++jour) {
            std::int32_t hits = 0;
            if (EssaieEntier(ExtraitChamp(ligne, 4 + jour), hits) && hits > 0) {
                jours.emplace(annee, mois, jour);
            }
        }
    }
    return jours.size();
}

std::string MoyenneJournaliere(std::int64_t total, std::size_t jours) {
    if (jours == 0) {
        return {};
    }
    const auto dixiemes = static_cast<std::int64_t>(
        std::llround(static_cast<double>(total) * 10.0 / static_cast<double>(jours)));
    const std::int64_t absolu = dixiemes < 0 ? -dixiemes : dixiemes;
    std::string texte = dixiemes < 0 ? "-" : "";
    texte += std::to_string(absolu / 10);
    texte += ',';
    texte += static_cast<char>('0' + absolu % 10);
    return texte;
}

std::array<LigneResume, 5> LignesResume(const Base& base) {
    const std::size_t jours = JoursAvecHits(base.ListeGraphHeure);
    const std::array<const Table*, 5> tables = TablesResume(base);
    std::array<LigneResume, 5> lignes;
    for (std::size_t r = 0; r < tables.size(); ++r) {
        const std::int64_t total = TotalAcces(*tables[r]);
        lignes[r] = {std::to_string(NombreEnregistrements(tables[r]->Count())),
                     std::to_string(total), MoyenneJournaliere(total, jours)};
    }
    return lignes;
}

std::vector<std::string> TextesAnnees(const Table& graphMois) {
    std::vector<std::string> textes;
    textes.reserve(graphMois.Count());
    for (std::size_t i = 0; i < graphMois.Count(); ++i) {
        textes.emplace_back(ExtraitChamp(graphMois[i], 1));
    }
    return textes;
}

std::vector<std::string> TextesMois(const Table& graphHeure) {
    std::vector<std::string> textes;
    textes.reserve(graphHeure.Count());
    for (std::size_t i = 0; i < graphHeure.Count(); ++i) {
        const std::string_view ligne = graphHeure[i];
        std::string texte(ExtraitChamp(ligne, 2));
        texte += ' ';
        texte += ExtraitChamp(ligne, 1);
        texte += " (max: ";
        texte += ExtraitChamp(ligne, 3);
        texte += ')';
        textes.push_back(std::move(texte));
    }
    return textes;
}

} // namespace sillage
