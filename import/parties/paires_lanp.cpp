#include "import/parties/paires_lanp.h"

#include "store/casse.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <utility>

namespace sillage {

namespace {

// The key of a host and item pair in lanpsearch.lst: host-item-kind.
std::string_view CleLanp(std::string& tampon, std::int32_t hote, std::int32_t ressource,
                         std::int32_t type) {
    tampon.clear();
    AjouteEntier(tampon, hote);
    tampon += '-';
    AjouteEntier(tampon, ressource);
    tampon += '-';
    AjouteEntier(tampon, type);
    return tampon;
}

// The host of a key of lanpsearch.lst, as CleLanp writes it (its leading decimal number, followed
// by "-"); false when the key does not start so (and then no pair has that key).
bool HoteDeCle(std::string_view cle, std::int64_t& hote) {
    std::size_t i = !cle.empty() && cle[0] == '-' ? 1 : 0;
    const std::size_t debut = i;
    std::int64_t v = 0;
    for (; i < cle.size() && cle[i] >= '0' && cle[i] <= '9' && i - debut < 12; ++i) {
        v = v * 10 + (cle[i] - '0');
    }
    if (i == debut || i >= cle.size() || cle[i] != '-') {
        return false;
    }
    hote = debut == 1 ? -v : v;
    return true;
}

// A set of host numbers asked about once per stored pair: one bit per number when they lie
// close together (host numbers are given in order from the first), a search in the sorted list
// otherwise.
class EnsembleHotes {
  public:
    explicit EnsembleHotes(const std::vector<std::int64_t>* hotes) : hotes_(hotes) {
        if (hotes_ == nullptr || hotes_->empty()) {
            return;
        }
        premier_ = hotes_->front();
        // Counted without sign, so that numbers far apart cannot overflow.
        const std::uint64_t etendue =
            static_cast<std::uint64_t>(hotes_->back()) - static_cast<std::uint64_t>(premier_);
        if (etendue < kEtendueMax) {
            bits_.assign(static_cast<std::size_t>(etendue / 64 + 1), 0);
            for (const std::int64_t h : *hotes_) {
                const auto k = static_cast<std::uint64_t>(h - premier_);
                bits_[k / 64] |= std::uint64_t{1} << (k % 64);
            }
        }
    }
    bool Contient(std::int64_t hote) const {
        if (bits_.empty()) {
            return hotes_ != nullptr && std::binary_search(hotes_->begin(), hotes_->end(), hote);
        }
        if (hote < premier_) {
            return false;
        }
        const std::uint64_t k =
            static_cast<std::uint64_t>(hote) - static_cast<std::uint64_t>(premier_);
        return k < bits_.size() * 64 && (bits_[k / 64] >> (k % 64) & 1) != 0;
    }

  private:
    static constexpr std::uint64_t kEtendueMax = std::uint64_t{1} << 28; // 32 MiB of bits at most
    const std::vector<std::int64_t>* hotes_;
    std::int64_t premier_ = 0;
    std::vector<std::uint64_t> bits_;
};

} // namespace

PairesLanp::PairesLanp(Table& lanp, Table& lanpSearch, DatesImport& dates,
                       const std::vector<std::int64_t>* hotes)
    : lanp_(lanp), lanpSearch_(lanpSearch), dates_(dates), lanp0_(lanp.Count()),
      lanpSearch0_(lanpSearch.Count()) {
    if (hotes == nullptr) {
        stockees_.Reserve(lanpSearch0_);
    }
    const EnsembleHotes cherches(hotes);
    for (std::size_t i = 0; i < lanpSearch0_; ++i) {
        const std::string_view cle = lanpSearch[i];
        std::int64_t hote = 0;
        if (hotes != nullptr && (!HoteDeCle(cle, hote) || !cherches.Contient(hote))) {
            continue;
        }
        const std::uint64_t h = HachageExact(cle);
        if (stockees_.Cherche(h, [&](std::uint32_t p) { return lanpSearch[p] == cle; }) < 0) {
            stockees_.Insere(h, static_cast<std::uint32_t>(i));
        }
    }
}

// Row p of the pairs: a stored row, read on first use, or one added since.
PairesLanp::RecLanp& PairesLanp::Rang(std::int64_t p) {
    if (static_cast<std::size_t>(p) < lanp0_) {
        const auto position = static_cast<std::uint32_t>(p);
        return touchees_[RangStocke(lanp_, position, parPosition_, touchees_,
                                    [&](LecteurChamps& l) {
                                        RecLanp r;
                                        std::string_view date;
                                        l.Lit(r.hote, r.ressource, r.acces, date, r.type);
                                        r.date = dates_.Date(date, false);
                                        return r;
                                    })];
    }
    const std::size_t j = static_cast<std::size_t>(p) - lanp0_;
    if (j < nouvelles_.size()) {
        return nouvelles_[j];
    }
    LeveErreurIndice(p);
}

void PairesLanp::MajLanp(std::int32_t hote, std::int32_t ressource, std::int32_t type,
                         DateCompacte date) {
    if (ressource == -2) {
        return;
    }
    const std::uint64_t h =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(hote)) * 0x9E3779B97F4A7C15ull) ^
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(ressource)) *
         0xC2B2AE3D27D4EB4Full) ^
        (static_cast<std::uint64_t>(type) << 61);
    const std::uint64_t hm = h ^ (h >> 29);
    // One look-up finds a pair this import met before, added or stored.
    const std::int64_t m = memo_.Cherche(hm, [&](std::uint32_t q) {
        if (q & kTouchee) {
            const CleTouchee& c = clesTouchees_[q & ~kTouchee];
            return c.hote == hote && c.ressource == ressource && c.type == type;
        }
        const RecLanp& r = nouvelles_[q];
        return r.hote == hote && r.ressource == ressource && r.type == type;
    });
    if (m >= 0 && (m & kTouchee)) {
        // A stored pair met before: found by its numbers, without its key's text nor the rows.
        RecLanp& r = touchees_[clesTouchees_[static_cast<std::size_t>(m & ~kTouchee)].rang];
        Incremente(r.acces);
        r.date = date;
        return;
    }
    std::int64_t p = -1;
    bool stockee = false; // p found by the key of a stored row
    if (m >= 0) {
        // An added pair: its row sits at the same distance past the stored rows in both lists.
        p = static_cast<std::int64_t>(lanpSearch0_) + m;
    } else if (stockees_.Taille() > 0) {
        const std::string_view cle = CleLanp(tamponCle_, hote, ressource, type);
        p = stockees_.Cherche(HachageExact(cle),
                              [&](std::uint32_t q) { return lanpSearch_[q] == cle; });
        stockee = p >= 0 && static_cast<std::size_t>(p) < lanp0_;
    }
    if (p >= 0) {
        RecLanp& r = Rang(p);
        if (stockee) {
            memo_.Insere(hm, kTouchee | static_cast<std::uint32_t>(clesTouchees_.size()));
            clesTouchees_.push_back(
                {hote, ressource, type, static_cast<std::uint32_t>(&r - touchees_.data())});
        }
        Incremente(r.acces);
        r.date = date;
        return;
    }
    memo_.Insere(hm, static_cast<std::uint32_t>(nouvelles_.size()));
    nouvelles_.push_back(RecLanp{hote, ressource, 1, type, date});
}

void PairesLanp::Ecrit(const RecLanp& r) {
    tampon_.clear();
    AjouteLigneLanp(tampon_, r.hote, r.ressource, r.acces, dates_.Ecrite(r.date), r.type);
}

void PairesLanp::Prepare() {
    // The look-ups are done with: their memory goes before the new tables take theirs.
    memo_.Efface();
    stockees_.Efface();
    clesTouchees_ = {};
    if (touchees_.empty() && nouvelles_.empty()) {
        return;
    }
    for (const RecLanp& r : nouvelles_) {
        Ecrit(r);
        ajoutsLanp_.Ajoute(tampon_);
        ajoutsLanpSearch_.Ajoute(CleLanp(tamponCle_, r.hote, r.ressource, r.type));
    }
    if (lanp0_ == 0 && lanpSearch0_ == 0) {
        // Nothing stored: the rows added are the tables.
        nouvelleLanp_.table = std::move(ajoutsLanp_);
        nouvelleLanpSearch_.table = std::move(ajoutsLanpSearch_);
        nouvelleLanp_.prete = nouvelleLanpSearch_.prete = true;
        nouvelles_ = {};
        return;
    }
    // The rows touched, rewritten where they stand: their texts one after another first, then
    // the views, which the growth of the texts would move.
    const auto ordre = ParPosition(parPosition_);
    std::vector<std::size_t> fins;
    fins.reserve(ordre.size());
    for (const auto& [position, rang] : ordre) {
        Ecrit(touchees_[rang]);
        textesRetouches_ += tampon_;
        fins.push_back(textesRetouches_.size());
    }
    retouches_.reserve(ordre.size());
    for (std::size_t k = 0; k < ordre.size(); ++k) {
        const std::size_t debut = k == 0 ? 0 : fins[k - 1];
        retouches_.push_back(
            {ordre[k].first, std::string_view(textesRetouches_).substr(debut, fins[k] - debut)});
    }
    enPlace_ = lanp_.PrepareRetouches(retouches_, ajoutsLanp_) &&
               lanpSearch_.PrepareRetouches({}, ajoutsLanpSearch_);
    if (!enPlace_) {
        // A rewritten row shorter than the stored one (a hand-edited count, say): new tables.
        retouches_ = {};
        textesRetouches_ = {};
        nouvelleLanp_.table.Reserve(lanp0_ + nouvelles_.size(),
                                    lanp_.Octets() + ajoutsLanp_.Octets());
        CopieStockees(lanp_, lanp0_, parPosition_, tampon_, nouvelleLanp_.table,
                      [&](std::uint32_t rang) { Ecrit(touchees_[rang]); });
        nouvelleLanp_.table.AjouteLignes(ajoutsLanp_, 0, ajoutsLanp_.Count());
        nouvelleLanp_.prete = true;
        if (!nouvelles_.empty()) {
            nouvelleLanpSearch_.table.Reserve(lanpSearch0_ + nouvelles_.size(),
                                              lanpSearch_.Octets() + ajoutsLanpSearch_.Octets());
            nouvelleLanpSearch_.table.AjouteLignes(lanpSearch_, 0, lanpSearch0_);
            nouvelleLanpSearch_.table.AjouteLignes(ajoutsLanpSearch_, 0, ajoutsLanpSearch_.Count());
            nouvelleLanpSearch_.prete = true;
        }
    }
    touchees_ = {};
    nouvelles_ = {};
    parPosition_ = {};
}

void PairesLanp::Applique() noexcept {
    if (enPlace_) {
        lanp_.AppliqueRetouches(retouches_, ajoutsLanp_);
        if (!ajoutsLanpSearch_.Vide()) {
            lanpSearch_.AppliqueRetouches({}, ajoutsLanpSearch_);
        }
        // Their memory goes before the store is saved.
        ajoutsLanp_ = Table();
        ajoutsLanpSearch_ = Table();
        retouches_ = {};
        textesRetouches_ = {};
        return;
    }
    nouvelleLanp_.MetEnPlace(lanp_);
    nouvelleLanpSearch_.MetEnPlace(lanpSearch_);
}

} // namespace sillage
