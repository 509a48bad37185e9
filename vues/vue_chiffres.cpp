#include "vues/vue_chiffres.h"

#include "store/base.h"
#include "store/champs.h"
#include "store/date.h"
#include "store/enregistrements.h"
#include "vues/texte_affiche.h"

namespace sillage {

namespace {

// The rows of ListeGraphHeure asked for: one, or all of them.
std::vector<RGraphMois> RangeesMois(const Base& base, std::optional<std::int64_t> ligne) {
    const Table& t = base.ListeGraphHeure;
    std::vector<RGraphMois> rangees;
    if (ligne) {
        rangees.push_back(LitGraphMois(t.Ligne(*ligne)));
        return rangees;
    }
    rangees.reserve(t.Count());
    for (std::size_t i = 0; i < t.Count(); ++i) {
        rangees.push_back(LitGraphMois(t[i]));
    }
    return rangees;
}

std::string NomMois(const RGraphMois& g) {
    const int mois = MoisVersNumero(g.Mois);
    return mois == 0 ? TexteAffiche(g.Mois) : std::string(kMoisFrancais[mois - 1]);
}

} // namespace

int JoursDuMois(std::int32_t annee, int mois) {
    static constexpr int kJours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12) {
        return 31;
    }
    const bool bissextile = (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0;
    return kJours[mois - 1] + (mois == 2 && bissextile ? 1 : 0);
}

std::vector<ChiffresAnnee> ChiffresDesAnnees(const Base& base) {
    const Table& t = base.ListeGraphMois;
    std::vector<ChiffresAnnee> annees;
    annees.reserve(t.Count());
    for (std::size_t i = 0; i < t.Count(); ++i) {
        const RGraph g = LitGraph(t[i]);
        ChiffresAnnee a;
        a.Annee = g.Annee;
        for (int m = 0; m < 12; ++m) {
            a.Hits += g.Hits[m];
            a.Pages += g.Pages[m];
            a.Visites += g.Visites[m];
        }
        annees.push_back(a);
    }
    return annees;
}

std::vector<ChiffresMois> ChiffresDesMois(const Base& base, std::optional<int> annee) {
    const Table& t = base.ListeGraphMois;
    std::vector<ChiffresMois> mois;
    for (std::size_t i = 0; i < t.Count(); ++i) {
        // The year is read alone first, as the yearly chart does: another year's row that does
        // not read stops nothing.
        std::int32_t a = 0;
        if (annee && (!EssaieEntier(ExtraitChamp(t[i], 1), a) || a != *annee)) {
            continue;
        }
        const RGraph g = LitGraph(t[i]);
        for (int m = 0; m < 12; ++m) {
            mois.push_back({g.Annee, m + 1, g.Hits[m], g.Pages[m], g.Visites[m]});
        }
    }
    return mois;
}

std::vector<ChiffresPeriode> ChiffresDesJours(const Base& base, std::optional<std::int64_t> ligne) {
    std::vector<ChiffresPeriode> jours;
    for (const RGraphMois& g : RangeesMois(base, ligne)) {
        const std::string nom = NomMois(g);
        const int nombre = JoursDuMois(g.Annee, MoisVersNumero(g.Mois));
        for (int j = 0; j < 31; ++j) {
            if (j < nombre || g.Jours[j] != 0) {
                jours.push_back({g.Annee, nom, j + 1, g.Jours[j]});
            }
        }
    }
    return jours;
}

std::vector<ChiffresPeriode> ChiffresDesHeures(const Base& base,
                                               std::optional<std::int64_t> ligne) {
    std::vector<ChiffresPeriode> heures;
    for (const RGraphMois& g : RangeesMois(base, ligne)) {
        const std::string nom = NomMois(g);
        for (int h = 0; h < 24; ++h) {
            heures.push_back({g.Annee, nom, h, g.Heures[h]});
        }
    }
    return heures;
}

} // namespace sillage
