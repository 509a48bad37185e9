// Writing back what an import changed: the rows it touched or added, in their tables.
#include "import/importation.h"

#include "import/import.h"
#include "import/importation_outils.h"
#include "import/visites.h"
#include "store/casse.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace sillage {

using detail::Chiffres;
using detail::CleLanp;

namespace {

// The stored rows a change touched, by position: (position, record).
std::vector<std::pair<std::uint32_t, std::uint32_t>>
ParPosition(const std::unordered_map<std::uint32_t, std::uint32_t>& places) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> v(places.begin(), places.end());
    std::sort(v.begin(), v.end());
    return v;
}

// Copies the stored rows of a table into nouvelle, each touched one written anew by ecrit (which
// leaves its line in tampon).
template <class Ecrit>
void CopieStockees(const Table& table, std::size_t n0,
                   const std::unordered_map<std::uint32_t, std::uint32_t>& places,
                   const std::string& tampon, Table& nouvelle, Ecrit ecrit) {
    const auto touchees = ParPosition(places);
    auto suivante = touchees.begin();
    for (std::size_t i = 0; i < n0; ++i) {
        if (suivante != touchees.end() && suivante->first == i) {
            ecrit(suivante->second);
            nouvelle.Ajoute(tampon);
            ++suivante;
        } else {
            nouvelle.Ajoute(table[i]);
        }
    }
}

} // namespace

void Importation::EcritCle(TableCle& t, bool trie) {
    if (t.recs.empty()) {
        return;
    }
    auto ecrit = [&](const RecCle& r) {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, r.ident);
        tampon_ += "\\2;";
        tampon_ += r.nom;
        tampon_ += "\\3;";
        AjouteEntier(tampon_, r.acces);
        tampon_ += "\\4;";
        AjouteDate(tampon_, r.date);
        tampon_ += "\\5;";
    };
    // Each data row of the result, in table order: a stored row (its position), or a record.
    constexpr std::uint32_t kRecord = 1u << 31;
    const std::size_t n = t.n0 + t.nouvelles.size();
    std::vector<std::uint32_t> sources(n);
    {
        const auto touchees = ParPosition(t.parPosition);
        auto suivante = touchees.begin();
        for (std::size_t i = 0; i < t.n0; ++i) {
            if (suivante != touchees.end() && suivante->first == i) {
                sources[i] = kRecord | suivante->second;
                ++suivante;
            } else {
                sources[i] = static_cast<std::uint32_t>(i);
            }
        }
        for (std::size_t j = 0; j < t.nouvelles.size(); ++j) {
            sources[t.n0 + j] = kRecord | t.nouvelles[j];
        }
    }
    const std::uint32_t premiereNouvelle = t.nouvelles.empty() ? 0 : kRecord | t.nouvelles[0];
    if (trie) {
        // The ranked tables are written in their final order at once: by decreasing count,
        // rows of equal count in table order.
        std::vector<std::pair<std::int64_t, std::uint32_t>> cles(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t s = sources[i];
            cles[i] = {(s & kRecord) ? t.recs[s & ~kRecord].acces : AccesPourTri(t.table[s]), s};
        }
        std::stable_sort(cles.begin(), cles.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (std::size_t i = 0; i < n; ++i) {
            sources[i] = cles[i].second;
        }
    }
    // The exact size, so that the new table is allocated once.
    std::size_t octets = t.table.Octets() + 32;
    for (const RecCle& r : t.recs) {
        octets += 15 + Chiffres(r.ident) + r.nom.size() + Chiffres(r.acces) + TailleDate(r.date) +
                  t.compteur.size();
    }
    Table nouvelle;
    nouvelle.Reserve(n + 1, octets);
    for (const std::uint32_t s : sources) {
        if (!(s & kRecord)) {
            nouvelle.Ajoute(t.table[s]);
            continue;
        }
        const RecCle& r = t.recs[s & ~kRecord];
        if (s == premiereNouvelle && r.acces == 1) {
            // The first new row is made from the counter row's own text.
            tampon_.assign(t.compteur);
            tampon_ += r.nom;
            tampon_ += "\\3;1\\4;";
            AjouteDate(tampon_, r.date);
            tampon_ += "\\5;";
        } else {
            ecrit(r);
        }
        nouvelle.Ajoute(tampon_);
    }
    if (t.nouvelles.empty()) {
        if (t.aCompteur) {
            nouvelle.Ajoute(t.compteur);
        }
    } else {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, t.recs[t.nouvelles.back()].ident + std::int64_t{1});
        tampon_ += "\\2;";
        nouvelle.Ajoute(tampon_);
    }
    t.table = std::move(nouvelle);
    t.recs = {};
    t.nouvelles = {};
    t.parPosition = {};
    t.memo.Efface();
}

void Importation::EcritErreurs() {
    if (erreurs_.empty()) {
        return;
    }
    auto ecrit = [&](const RecErreur& e) {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, e.ident);
        tampon_ += "\\2;";
        tampon_ += e.chemin;
        tampon_ += "\\3;";
        AjouteEntier(tampon_, e.acces);
        tampon_ += "\\4;";
        AjouteDate(tampon_, e.date);
        tampon_ += "\\5;";
        tampon_ += e.statut;
        tampon_ += "\\6;";
        AjouteEntier(tampon_, e.ressource);
        tampon_ += "\\7;";
    };
    Table& table = base_.ListeErreur;
    std::size_t octets = table.Octets() + 32;
    for (const RecErreur& e : erreurs_) {
        octets += 21 + Chiffres(e.ident) + e.chemin.size() + Chiffres(e.acces) +
                  TailleDate(e.date) + e.statut.size() + Chiffres(e.ressource);
    }
    Table nouvelle;
    nouvelle.Reserve(table.Count() + erreursNouvelles_, octets);
    CopieStockees(table, erreurs0_, erreursParPosition_, tampon_, nouvelle,
                  [&](std::uint32_t rang) { ecrit(erreurs_[rang]); });
    // Added rows are those not taken from a stored row, in the order they were made.
    std::vector<bool> stockee(erreurs_.size(), false);
    for (const auto& [position, rang] : erreursParPosition_) {
        stockee[rang] = true;
    }
    std::int64_t dernier = -1;
    for (std::size_t r = 0; r < erreurs_.size(); ++r) {
        if (!stockee[r]) {
            ecrit(erreurs_[r]);
            nouvelle.Ajoute(tampon_);
            dernier = erreurs_[r].ident;
        }
    }
    if (erreursNouvelles_ == 0) {
        if (aCompteurErreurs_) {
            nouvelle.Ajoute(compteurErreurs_);
        }
    } else {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, dernier + 1);
        tampon_ += "\\2;";
        nouvelle.Ajoute(tampon_);
    }
    table = std::move(nouvelle);
    erreurs_ = {};
    erreursParPosition_ = {};
    memoErreurs_.Efface();
    hachageErreurs_.Efface();
}

void Importation::EcritLanp() {
    auto ecrit = [&](const RecLanp& r) {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, r.hote);
        tampon_ += "\\2;";
        AjouteEntier(tampon_, r.ressource);
        tampon_ += "\\3;";
        AjouteEntier(tampon_, r.acces);
        tampon_ += "\\4;";
        AjouteDate(tampon_, r.date);
        tampon_ += "\\5;";
        AjouteEntier(tampon_, r.type);
        tampon_ += "\\6;";
    };
    Table& table = base_.ListeLanp;
    if (!lanpTouchees_.empty()) {
        Table nouvelle;
        nouvelle.Reserve(table.Count() + lanpNouvelles_.size(),
                         table.Octets() + lanpNouvelles_.size() * 48);
        const auto touchees = ParPosition(lanpParPosition_);
        auto suivante = touchees.begin();
        for (std::size_t i = 0; i < lanp0_; ++i) {
            if (suivante != touchees.end() && suivante->first == i) {
                ecrit(lanpTouchees_[suivante->second]);
                nouvelle.Ajoute(tampon_);
                ++suivante;
            } else {
                nouvelle.Ajoute(table[i]);
            }
        }
        table = std::move(nouvelle);
    }
    memoLanp_.Efface();
    hachageLanp_.Efface();
    lanpTouchees_ = {};
    lanpParPosition_ = {};
    table.Reserve(table.Count() + lanpNouvelles_.size(),
                  table.Octets() + lanpNouvelles_.size() * 48);
    Table& cles = base_.ListeLanpSearch;
    cles.Reserve(cles.Count() + lanpNouvelles_.size(), cles.Octets() + lanpNouvelles_.size() * 16);
    for (const RecLanp& r : lanpNouvelles_) {
        ecrit(r);
        table.Ajoute(tampon_);
        cles.Ajoute(CleLanp(tamponCle_, r.hote, r.ressource, r.type));
    }
    lanpNouvelles_ = {};
}

void Importation::EcritGraphs() {
    auto reecrit = [](Table& table, std::size_t n0, const auto& lignes,
                      const std::vector<bool>& modifiees, auto ecrit) {
        bool change = false;
        for (bool m : modifiees) {
            change = change || m;
        }
        if (!change) {
            return;
        }
        Table nouvelle;
        for (std::size_t i = 0; i < lignes.size() || i < n0; ++i) {
            if (i < lignes.size() && (modifiees[i] || i >= n0)) {
                nouvelle.Ajoute(ecrit(lignes[i]));
            } else {
                nouvelle.Ajoute(table[i]);
            }
        }
        table = std::move(nouvelle);
    };
    reecrit(base_.ListeGraphMois, annees0_, annees_, anneesModifiees_,
            [](const RGraph& g) { return EcritGraph(g); });
    reecrit(base_.ListeGraphHeure, mois0_, mois_, moisModifies_,
            [](const RGraphMois& m) { return EcritGraphMois(m); });
}

void Importation::Valide() {
    EcritCle(noms_, true);
    EcritCle(pages_, true);
    EcritCle(images_, true);
    EcritCle(downloads_, false);
    EcritCle(origines_, true);
    EcritErreurs();
    EcritLanp();
    EcritGraphs();
    valide_ = true;
    base_.ListeKeyword.Compacte();
    TrieListes(base_);
    base_.MarqueIndexPerimes();
    base_.Modifie = 1;
}

} // namespace sillage
