#include "import/parties/calendrier.h"

#include "import/parties/partie.h"

#include <algorithm>
#include <string>
#include <utility>

namespace sillage {

namespace {

std::int64_t CleMois(std::int32_t annee, int mois) {
    return static_cast<std::int64_t>(annee) * 16 + mois;
}

// The stored rows, each modified or added one written anew, when there is any.
template <class Ligne, class Ecrit>
void Reecrit(const Table& table, std::size_t n0, const std::vector<Ligne>& lignes,
             const std::vector<bool>& modifiees, TablePreparee& preparee, Ecrit ecrit) {
    std::string tampon;
    bool change = false;
    for (bool m : modifiees) {
        change = change || m;
    }
    if (!change) {
        return;
    }
    CopieParSuites copie(table, preparee.table);
    for (std::size_t i = 0; i < lignes.size() || i < n0; ++i) {
        if (i < lignes.size() && (modifiees[i] || i >= n0)) {
            tampon.clear();
            ecrit(tampon, lignes[i]);
            copie.Autre(tampon);
        } else {
            copie.Stockee(i);
        }
    }
    copie.Vide();
    preparee.prete = true;
}

} // namespace

Calendrier::Calendrier(Table& annees, Table& mois)
    : tableAnnees_(annees), tableMois_(mois), annees0_(annees.Count()), mois0_(mois.Count()) {}

void Calendrier::LitMois() {
    mois_.push_back(LitGraphMois(tableMois_[moisLus_]));
    moisModifies_.push_back(false);
    const int n = MoisVersNumero(mois_.back().Mois);
    if (n != 0) {
        parMois_.try_emplace(CleMois(mois_.back().Annee, n), static_cast<std::uint32_t>(moisLus_));
    }
    ++moisLus_;
}

void Calendrier::NouveauMois(const RDate& D) {
    RGraphMois nm;
    nm.Annee = D.Annee;
    nm.Mois = D.NomMois;
    nm.Jours[D.Jour - 1] = 1;
    nm.Heures[D.Heure] = 1;
    nm.Maximum = 1;
    mois_.push_back(std::move(nm));
    moisModifies_.push_back(true);
}

std::int64_t Calendrier::RangAnnee(std::int32_t annee) {
    if (auto it = parAnnee_.find(annee); it != parAnnee_.end()) {
        return it->second;
    }
    while (anneesLues_ < annees0_) {
        annees_.push_back(LitGraph(tableAnnees_[anneesLues_]));
        anneesModifiees_.push_back(false);
        parAnnee_.try_emplace(annees_.back().Annee, static_cast<std::uint32_t>(anneesLues_));
        ++anneesLues_;
        if (annees_.back().Annee == annee) {
            return static_cast<std::int64_t>(anneesLues_) - 1;
        }
    }
    return -1;
}

std::int64_t Calendrier::RangMois(std::int64_t cle) {
    if (auto it = parMois_.find(cle); it != parMois_.end()) {
        return it->second;
    }
    while (moisLus_ < mois0_) {
        LitMois();
        const int n = MoisVersNumero(mois_.back().Mois);
        if (n != 0 && CleMois(mois_.back().Annee, n) == cle) {
            return static_cast<std::int64_t>(moisLus_) - 1;
        }
    }
    return -1;
}

void Calendrier::NouvelleAnnee(const RDate& D, bool page) {
    const int m = D.Mois - 1;
    RGraph g;
    g.Annee = D.Annee;
    g.Pages[m] = page ? 1 : 0;
    g.Hits[m] = 1;
    g.Visites[m] = 1;
    g.Maximum = 1;
    g.PremierMois = D.Mois;
    parAnnee_.emplace(D.Annee, static_cast<std::uint32_t>(annees_.size()));
    annees_.push_back(std::move(g));
    anneesModifiees_.push_back(true);
    // A new year also gets a new month row, without looking for one; stored month rows stay
    // ahead of new ones in mois_, so they are all read first.
    while (moisLus_ < mois0_) {
        LitMois();
    }
    parMois_.try_emplace(CleMois(D.Annee, D.Mois), static_cast<std::uint32_t>(mois_.size()));
    NouveauMois(D);
}

void Calendrier::MajGraph(const RDate& D, std::int32_t ressource, bool nouveauVisiteur) {
    const bool page = ressource != -2;
    const std::int64_t r = RangAnnee(D.Annee);
    if (r < 0) {
        NouvelleAnnee(D, page);
        return;
    }
    const int m = D.Mois - 1;
    RGraph& g = annees_[static_cast<std::size_t>(r)];
    if (page) {
        Incremente(g.Pages[m]);
    }
    Incremente(g.Hits[m]);
    g.Maximum = std::max(g.Maximum, g.Hits[m]);
    if (nouveauVisiteur) {
        Incremente(g.Visites[m]);
    }
    anneesModifiees_[static_cast<std::size_t>(r)] = true;

    const std::int64_t cle = CleMois(D.Annee, D.Mois);
    const std::int64_t j = RangMois(cle);
    if (j < 0) {
        parMois_.try_emplace(cle, static_cast<std::uint32_t>(mois_.size()));
        NouveauMois(D);
        return;
    }
    const int d = D.Jour - 1;
    RGraphMois& mo = mois_[static_cast<std::size_t>(j)];
    if (page) {
        Incremente(mo.Jours[d]);
        Incremente(mo.Heures[D.Heure]);
    }
    mo.Maximum = std::max(mo.Maximum, mo.Jours[d]);
    moisModifies_[static_cast<std::size_t>(j)] = true;
}

void Calendrier::Prepare() {
    Reecrit(tableAnnees_, annees0_, annees_, anneesModifiees_, nouvellesAnnees_, AjouteLigneGraph);
    Reecrit(tableMois_, mois0_, mois_, moisModifies_, nouveauxMois_, AjouteLigneGraphMois);
}

void Calendrier::Applique() noexcept {
    nouvellesAnnees_.MetEnPlace(tableAnnees_);
    nouveauxMois_.MetEnPlace(tableMois_);
}

} // namespace sillage
