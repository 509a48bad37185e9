#include "import/parties/tables_cle.h"

#include "import/parties/tri.h"
#include "store/casse.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <utility>

namespace sillage {

TableCle::TableCle(Table& table, const IndexNoms& index, bool trie, DatesImport& dates,
                   Arene& arene, const EnsembleHachages* cibles)
    : table_(table), index_(index), trie_(trie), dates_(dates), arene_(arene),
      n0_(table.Count() == 0 ? 0 : table.Count() - 1), partiel_(cibles != nullptr),
      compteur_(table) {
    if (!partiel_) {
        return;
    }
    // The rows the names looked for may be, the first of each name kept, as the index would.
    for (std::size_t i = 0; i < n0_; ++i) {
        const std::string_view nom = ExtraitChamp(table_[i], 2);
        const std::uint64_t h = HachageSansCasse(nom);
        if (!cibles->Contient(h) || ChercheStockee(nom, h) >= 0) {
            continue;
        }
        candidats_.Insere(h, static_cast<std::uint32_t>(i));
        positionsCandidates_.push_back(static_cast<std::uint32_t>(i));
    }
}

std::int64_t TableCle::ChercheStockee(std::string_view cle, std::uint64_t h) const {
    if (!partiel_) {
        return index_.Count() == 0 ? -1 : index_.Cherche(cle);
    }
    return candidats_.Cherche(
        h, [&](std::uint32_t p) { return EgalSansCasse(ExtraitChamp(table_[p], 2), cle); });
}

std::vector<std::int64_t> TableCle::IdentsPossibles(std::size_t nouveauxAuPlus) const {
    std::vector<std::int64_t> idents;
    for (const std::uint32_t p : positionsCandidates_) {
        try {
            LecteurChamps l(table_[p]);
            idents.push_back(l.SuivantEntier());
        } catch (const ErreurSillage&) {
            // A row that does not read stops the import when it is counted, if ever.
        }
    }
    try {
        const std::int64_t premier = compteur_.Ident(0);
        for (std::size_t k = 0; k < nouveauxAuPlus; ++k) {
            idents.push_back(premier + static_cast<std::int64_t>(k));
        }
    } catch (const ErreurSillage&) {
        // No new row can be made: none will be.
    }
    return idents;
}

// The record of index position p: a stored row, read on first use; positions past the stored
// rows stand for the rows added since, then for the counter row.
std::uint32_t TableCle::Rang(std::int64_t p) {
    const auto n0 = static_cast<std::int64_t>(n0_);
    if (p < n0) {
        const auto position = static_cast<std::uint32_t>(p);
        return RangStocke(table_, position, parPosition_, recs_, [&](LecteurChamps& l) {
            RecCle r;
            std::string_view date;
            l.Lit(r.ident, r.nom, r.acces, date);
            r.date = dates_.Date(date, false);
            r.cle = partiel_ ? ExtraitChamp(table_[position], 2) : index_[position];
            return r;
        });
    }
    const auto k = static_cast<std::int64_t>(nouvelles_.size());
    if (p < n0 + k) {
        return nouvelles_[static_cast<std::size_t>(p - n0)];
    }
    if (p == n0 + k && compteur_.Present()) {
        // The position of the counter row, whose empty count does not read.
        LeveErreurEntier("");
    }
    LeveErreurIndice(p);
}

std::int32_t TableCle::Compte(std::string_view cle, std::uint64_t h, DateCompacte date,
                              bool& nouveau, DateCompacte& precedente, std::int32_t racine,
                              std::int32_t& rang) {
    std::int64_t r = parRacine_.Cherche(racine);
    nouveau = false;
    if (r < 0) {
        r = memo_.Cherche(h, [&](std::uint32_t q) { return EgalSansCasse(recs_[q].cle, cle); });
        if (r < 0) {
            // First time this import meets the name: the index knows the stored rows.
            const std::int64_t p = ChercheStockee(cle, h);
            if (p < 0) {
                const std::int32_t ident = compteur_.Ident(nouvelles_.size());
                const std::string_view copie = arene_.Copie(cle);
                r = static_cast<std::int64_t>(recs_.size());
                recs_.push_back(RecCle{ident, 1, date, copie, copie});
                nouvelles_.push_back(static_cast<std::uint32_t>(r));
                nouveau = true;
            } else {
                r = Rang(p);
            }
            memo_.Insere(h, static_cast<std::uint32_t>(r));
        }
        parRacine_.Note(racine, static_cast<std::uint32_t>(r));
    }
    rang = static_cast<std::int32_t>(r);
    RecCle& rec = recs_[static_cast<std::size_t>(r)];
    if (nouveau) {
        precedente = date;
        return rec.ident;
    }
    precedente = rec.date;
    Incremente(rec.acces);
    rec.date = date;
    return rec.ident;
}

void TableCle::Ecrit(std::uint32_t rang, std::string& texte) const {
    const RecCle& r = recs_[rang];
    if (!nouvelles_.empty() && rang == nouvelles_[0] && r.acces == 1) {
        // The first new row is made from the counter row's own text.
        texte += compteur_.Texte();
        AjouteSuiteQuatre(texte, r.nom, 1, dates_.Ecrite(r.date));
    } else {
        AjouteLigneQuatre(texte, r.ident, r.nom, r.acces, dates_.Ecrite(r.date));
    }
}

bool TableCle::PrepareEnPlace() {
    // The rows written anew are held beside the table until it is rebuilt: when they outweigh
    // the stored rows (a first import, say), a new table costs less memory.
    std::size_t octets = compteur_.Texte().size() + 32;
    for (const RecCle& r : recs_) {
        octets += TailleLigneQuatre(r.ident, r.nom, r.acces, dates_.Ecrite(r.date)) +
                  compteur_.Texte().size();
    }
    if (octets > table_.Octets()) {
        return false;
    }
    textes_.reserve(octets);
    // Each record with the stored row it goes before (n0_ for after the last), in result order.
    std::vector<std::pair<std::size_t, std::uint32_t>> places;
    places.reserve(recs_.size());
    const auto touchees = ParPosition(parPosition_);
    if (trie_) {
        // The result is the stored rows left as they were, in their order, merged with the
        // records by decreasing count, rows of equal count in table order (the order of a stable
        // sort of the whole table), provided the stored rows are in that order.
        std::vector<std::int64_t> acces(n0_);
        for (std::size_t i = 0; i < n0_; ++i) {
            acces[i] = AccesPourTri(table_[i]);
            if (i > 0 && acces[i - 1] < acces[i]) {
                return false;
            }
        }
        std::vector<std::pair<std::int64_t, std::size_t>> cles; // (count, row in table order)
        cles.reserve(recs_.size());
        for (const auto& [position, rang] : touchees) {
            cles.emplace_back(recs_[rang].acces, position);
        }
        for (std::size_t j = 0; j < nouvelles_.size(); ++j) {
            cles.emplace_back(recs_[nouvelles_[j]].acces, n0_ + j);
        }
        std::sort(cles.begin(), cles.end(), [](const auto& a, const auto& b) {
            return a.first > b.first || (a.first == b.first && a.second < b.second);
        });
        std::size_t depuis = 0;
        for (const auto& [compte, ligne] : cles) {
            // The first stored row that comes after this record.
            std::size_t bas = depuis;
            std::size_t haut = n0_;
            while (bas < haut) {
                const std::size_t milieu = bas + (haut - bas) / 2;
                if (acces[milieu] > compte || (acces[milieu] == compte && milieu < ligne)) {
                    bas = milieu + 1;
                } else {
                    haut = milieu;
                }
            }
            depuis = bas;
            places.emplace_back(bas, ligne < n0_ ? static_cast<std::uint32_t>(parPosition_.Cherche(
                                                       static_cast<std::uint32_t>(ligne)))
                                                 : nouvelles_[ligne - n0_]);
        }
    } else {
        // Rows rewritten where they stand, the new ones after the last.
        for (const auto& [position, rang] : touchees) {
            places.emplace_back(position, rang);
        }
        for (const std::uint32_t rang : nouvelles_) {
            places.emplace_back(n0_, rang);
        }
    }
    // The texts first, then the views, which the growth of the texts would move.
    std::vector<std::size_t> fins;
    fins.reserve(places.size() + 1);
    for (const auto& [avant, rang] : places) {
        Ecrit(rang, textes_);
        fins.push_back(textes_.size());
    }
    std::string compteur;
    const std::int64_t dernier = nouvelles_.empty() ? 0 : recs_[nouvelles_.back()].ident;
    const bool avecCompteur = compteur_.LigneFin(nouvelles_.size(), dernier, compteur);
    textes_ += compteur;
    morceaux_.reserve(2 * places.size() + 2);
    std::size_t suivante = 0; // the next stored row not yet placed
    auto touchee = touchees.begin();
    const auto range = [&](std::size_t jusqua) {
        // The stored rows before jusqua, the touched ones left out.
        while (suivante < jusqua) {
            while (touchee != touchees.end() && touchee->first < suivante) {
                ++touchee;
            }
            const std::size_t fin =
                touchee != touchees.end() && touchee->first < jusqua ? touchee->first : jusqua;
            if (fin > suivante) {
                morceaux_.push_back({suivante, fin, {}});
            }
            suivante = fin < jusqua ? fin + 1 : fin;
        }
    };
    for (std::size_t k = 0; k < places.size(); ++k) {
        range(places[k].first);
        const std::size_t debut = k == 0 ? 0 : fins[k - 1];
        morceaux_.push_back({0, 0, std::string_view(textes_).substr(debut, fins[k] - debut)});
    }
    range(n0_);
    if (avecCompteur) {
        if (nouvelles_.empty() && table_.Count() == n0_ + 1) {
            morceaux_.push_back({n0_, n0_ + 1, {}});
        } else {
            const std::size_t debut = places.empty() ? 0 : fins.back();
            morceaux_.push_back({0, 0, std::string_view(textes_).substr(debut)});
        }
    }
    if (!table_.PrepareRecomposition(morceaux_)) {
        morceaux_ = {};
        textes_ = {};
        return false;
    }
    return true;
}

void TableCle::Prepare() {
    // The look-up is done with: its memory goes before the new table takes its own.
    memo_.Efface();
    if (recs_.empty()) {
        // Nothing counted here; a ranked table is still left in its order.
        nouvelle_.prete = trie_ && TrieDans(table_, nouvelle_.table);
        return;
    }
    if (PrepareEnPlace()) {
        enPlace_ = true;
        recs_ = {};
        nouvelles_ = {};
        parPosition_ = {};
        return;
    }
    // Each data row of the result, in table order: a stored row (its position), or a record.
    constexpr std::uint32_t kRecord = 1u << 31;
    const std::size_t n = n0_ + nouvelles_.size();
    std::vector<std::uint32_t> sources(n);
    {
        const auto touchees = ParPosition(parPosition_);
        auto suivante = touchees.begin();
        for (std::size_t i = 0; i < n0_; ++i) {
            if (suivante != touchees.end() && suivante->first == i) {
                sources[i] = kRecord | suivante->second;
                ++suivante;
            } else {
                sources[i] = static_cast<std::uint32_t>(i);
            }
        }
        for (std::size_t j = 0; j < nouvelles_.size(); ++j) {
            sources[n0_ + j] = kRecord | nouvelles_[j];
        }
    }
    const std::uint32_t premiereNouvelle = nouvelles_.empty() ? 0 : kRecord | nouvelles_[0];
    if (trie_) {
        // The ranked tables are written in their final order at once: by decreasing count,
        // rows of equal count in table order.
        std::vector<std::pair<std::int64_t, std::uint32_t>> cles(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t s = sources[i];
            cles[i] = {(s & kRecord) ? recs_[s & ~kRecord].acces : AccesPourTri(table_[s]), s};
        }
        std::stable_sort(cles.begin(), cles.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (std::size_t i = 0; i < n; ++i) {
            sources[i] = cles[i].second;
        }
    }
    // The exact size, so that the new table is allocated once.
    std::size_t octets = table_.Octets() + 32;
    for (const RecCle& r : recs_) {
        octets += TailleLigneQuatre(r.ident, r.nom, r.acces, dates_.Ecrite(r.date)) +
                  compteur_.Texte().size();
    }
    Table& nouvelle = nouvelle_.table;
    nouvelle.Reserve(n + 1, octets);
    CopieParSuites copie(table_, nouvelle);
    for (const std::uint32_t s : sources) {
        if (!(s & kRecord)) {
            copie.Stockee(s);
            continue;
        }
        const RecCle& r = recs_[s & ~kRecord];
        if (s == premiereNouvelle && r.acces == 1) {
            // The first new row is made from the counter row's own text.
            tampon_.assign(compteur_.Texte());
            AjouteSuiteQuatre(tampon_, r.nom, 1, dates_.Ecrite(r.date));
        } else {
            tampon_.clear();
            AjouteLigneQuatre(tampon_, r.ident, r.nom, r.acces, dates_.Ecrite(r.date));
        }
        copie.Autre(tampon_);
    }
    copie.Vide();
    const std::int64_t dernier = nouvelles_.empty() ? 0 : recs_[nouvelles_.back()].ident;
    compteur_.AjouteFin(nouvelle, nouvelles_.size(), dernier);
    nouvelle_.prete = true;
    recs_ = {};
    nouvelles_ = {};
    parPosition_ = {};
}

void TableCle::Applique() noexcept {
    if (enPlace_) {
        table_.AppliqueRecomposition(morceaux_);
        morceaux_ = {};
        textes_ = {};
        return;
    }
    nouvelle_.MetEnPlace(table_);
}

} // namespace sillage
