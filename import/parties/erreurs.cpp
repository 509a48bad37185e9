#include "import/parties/erreurs.h"

#include "store/casse.h"
#include "store/champs.h"
#include "store/enregistrements.h"

#include <utility>

namespace sillage {

namespace {

std::uint64_t HachageErreur(std::int32_t ressource, std::string_view chemin) {
    return HachageSansCasse(chemin) ^
           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(ressource)) *
            0xC2B2AE3D27D4EB4Full);
}

// True when the stored row ligne is the row of ressource and chemin.
bool EstLaLigne(std::string_view ligne, std::int32_t ressource, std::string_view chemin) {
    std::int32_t r = 0;
    return EssaieEntier(ExtraitChamp(ligne, 6), r) && r == ressource &&
           EgalSansCasse(ExtraitChamp(ligne, 2), chemin);
}

} // namespace

Erreurs::Erreurs(Table& table, DatesImport& dates, Arene& arene, const EnsembleHachages* chemins)
    : table_(table), dates_(dates), arene_(arene), n0_(table.Count() == 0 ? 0 : table.Count() - 1),
      compteur_(table) {
    if (chemins == nullptr) {
        stockees_.Reserve(n0_);
    }
    for (std::size_t i = 0; i < n0_; ++i) {
        const std::string_view ligne = table[i];
        std::int32_t ressource = 0;
        if (!EssaieEntier(ExtraitChamp(ligne, 6), ressource)) {
            continue;
        }
        const std::string_view chemin = ExtraitChamp(ligne, 2);
        if (chemins != nullptr && !chemins->Contient(HachageSansCasse(chemin))) {
            continue;
        }
        const std::uint64_t h = HachageErreur(ressource, chemin);
        if (stockees_.Cherche(
                h, [&](std::uint32_t p) { return EstLaLigne(table[p], ressource, chemin); }) < 0) {
            stockees_.Insere(h, static_cast<std::uint32_t>(i));
        }
    }
}

void Erreurs::Compte(const RHitsVues& h, std::int32_t ressource, DateCompacte date) {
    const std::uint64_t hachage = HachageErreur(ressource, h.Page);
    std::int64_t rang = memo_.Cherche(hachage, [&](std::uint32_t q) {
        const RecErreur& e = recs_[q];
        return e.cleRessource == ressource && EgalSansCasse(e.cleChemin, h.Page);
    });
    if (rang < 0) {
        const std::int64_t p =
            stockees_.Taille() == 0 ? -1 : stockees_.Cherche(hachage, [&](std::uint32_t q) {
                return EstLaLigne(table_[q], ressource, h.Page);
            });
        if (p < 0) {
            const std::int32_t ident = compteur_.Ident(nouvelles_);
            const std::string_view chemin = arene_.Copie(h.Page);
            memo_.Insere(hachage, static_cast<std::uint32_t>(recs_.size()));
            recs_.push_back(RecErreur{ident, 1, date, chemin, arene_.Copie(h.Statut), ressource,
                                      ressource, chemin});
            ++nouvelles_;
            return;
        }
        const auto position = static_cast<std::uint32_t>(p);
        rang = RangStocke(table_, position, parPosition_, recs_, [&](LecteurChamps& l) {
            RecErreur e;
            std::string_view date;
            l.Lit(e.ident, e.chemin, e.acces, date, e.statut, e.ressource);
            e.date = dates_.Date(date, false);
            e.cleRessource = ressource;
            e.cleChemin = ExtraitChamp(table_[position], 2);
            return e;
        });
        memo_.Insere(hachage, static_cast<std::uint32_t>(rang));
    }
    RecErreur& e = recs_[static_cast<std::size_t>(rang)];
    Incremente(e.acces);
    e.date = date;
}

void Erreurs::Ecrit(const RecErreur& e) {
    tampon_.clear();
    AjouteLigneErreur(tampon_, e.ident, e.chemin, e.acces, dates_.Ecrite(e.date), e.statut,
                      e.ressource);
}

void Erreurs::Prepare() {
    // The look-ups are done with: their memory goes before the new table takes its own.
    memo_.Efface();
    stockees_.Efface();
    if (recs_.empty()) {
        return;
    }
    std::size_t octets = table_.Octets() + 32;
    for (const RecErreur& e : recs_) {
        octets += TailleLigneErreur(e.ident, e.chemin, e.acces, dates_.Ecrite(e.date), e.statut,
                                    e.ressource);
    }
    nouvelle_.table.Reserve(table_.Count() + nouvelles_, octets);
    CopieStockees(table_, n0_, parPosition_, tampon_, nouvelle_.table,
                  [&](std::uint32_t rang) { Ecrit(recs_[rang]); });
    // Added rows are those not taken from a stored row, in the order they were made.
    std::vector<bool> stockee(recs_.size(), false);
    parPosition_.PourChaque([&](std::uint32_t, std::uint32_t rang) { stockee[rang] = true; });
    std::int64_t dernier = -1;
    for (std::size_t r = 0; r < recs_.size(); ++r) {
        if (!stockee[r]) {
            Ecrit(recs_[r]);
            nouvelle_.table.Ajoute(tampon_);
            dernier = recs_[r].ident;
        }
    }
    compteur_.AjouteFin(nouvelle_.table, nouvelles_, dernier);
    nouvelle_.prete = true;
    recs_ = {};
    parPosition_ = {};
}

void Erreurs::Applique() noexcept {
    nouvelle_.MetEnPlace(table_);
}

} // namespace sillage
