#include "import/moteur/fil_periodes.h"

#include <string_view>
#include <utility>

namespace sillage {

namespace {

constexpr std::size_t kLignesParLot = 4096;
constexpr std::size_t kOctetsParLot = 1 << 20; // (a lot's places fit in 32 bits)
constexpr std::size_t kLotsEnAttente = 4;      // lots sent but not counted yet, at most

// The eight texts of a hit, in one order for the copy and for the reading back.
template <typename Hit, typename F> void PourChaqueTexte(Hit& h, F&& f) {
    f(0, h.Prefixe);
    f(1, h.Hote);
    f(2, h.DateLog);
    f(3, h.Page);
    f(4, h.Statut);
    f(5, h.Origine);
    f(6, h.Keywords);
    f(7, h.Navigateur);
}

} // namespace

FilPeriodes::FilPeriodes(std::function<void(const LignePreparee&, std::int64_t)> compte)
    : compte_(std::move(compte)) {
    courant_.entrees.reserve(kLignesParLot);
    fil_ = std::thread([this] { Boucle(); });
}

FilPeriodes::~FilPeriodes() {
    {
        std::lock_guard<std::mutex> l(verrou_);
        arret_ = true;
        pleins_.clear();
    }
    aCompter_.notify_all();
    place_.notify_all();
    fil_.join();
}

void FilPeriodes::Ajoute(const LignePreparee& p, std::int64_t numero, const RangsRacine& racine) {
    Entree e;
    e.numero = numero;
    e.hHote = p.hHote, e.hPage = p.hPage, e.hOrigine = p.hOrigine, e.hAgent = p.hAgent;
    e.image = p.image, e.download = p.download, e.illisible = p.hit.Illisible;
    e.racine = racine;
    PourChaqueTexte(p.hit, [&](int i, std::string_view texte) {
        e.debut[i] = static_cast<std::uint32_t>(courant_.octets.size());
        e.taille[i] = static_cast<std::uint32_t>(texte.size());
        courant_.octets.append(texte);
    });
    courant_.entrees.push_back(e);
    if (courant_.entrees.size() >= kLignesParLot || courant_.octets.size() >= kOctetsParLot) {
        Envoie();
    }
}

void FilPeriodes::Envoie() {
    if (courant_.entrees.empty()) {
        return;
    }
    Lot suivant;
    {
        std::unique_lock<std::mutex> l(verrou_);
        place_.wait(l, [&] { return arret_ || pleins_.size() < kLotsEnAttente; });
        pleins_.push_back(std::move(courant_));
        if (!libres_.empty()) {
            suivant = std::move(libres_.back());
            libres_.pop_back();
        }
    }
    aCompter_.notify_one();
    suivant.octets.clear();
    suivant.entrees.clear();
    courant_ = std::move(suivant);
    courant_.entrees.reserve(kLignesParLot);
}

void FilPeriodes::Termine() {
    Envoie();
    std::unique_lock<std::mutex> l(verrou_);
    place_.wait(l, [&] { return pleins_.empty() && !occupe_; });
    if (erreur_) {
        std::exception_ptr e = erreur_;
        erreur_ = nullptr;
        std::rethrow_exception(e);
    }
}

void FilPeriodes::Boucle() {
    for (;;) {
        Lot lot;
        {
            std::unique_lock<std::mutex> l(verrou_);
            aCompter_.wait(l, [&] { return arret_ || !pleins_.empty(); });
            if (arret_) {
                return;
            }
            lot = std::move(pleins_.front());
            pleins_.pop_front();
            occupe_ = true;
        }
        place_.notify_one();
        bool enErreur = false;
        {
            std::lock_guard<std::mutex> l(verrou_);
            enErreur = static_cast<bool>(erreur_);
        }
        if (!enErreur) {
            try {
                Compte(lot);
            } catch (...) {
                std::lock_guard<std::mutex> l(verrou_);
                erreur_ = std::current_exception();
            }
        }
        {
            std::lock_guard<std::mutex> l(verrou_);
            occupe_ = false;
            libres_.push_back(std::move(lot));
        }
        place_.notify_all();
    }
}

void FilPeriodes::Compte(Lot& lot) {
    LignePreparee p;
    for (const Entree& e : lot.entrees) {
        p.hHote = e.hHote, p.hPage = e.hPage, p.hOrigine = e.hOrigine, p.hAgent = e.hAgent;
        p.image = e.image, p.download = e.download;
        p.racine = e.racine;
        p.hit.Illisible = e.illisible;
        PourChaqueTexte(p.hit, [&](int i, std::string_view& texte) {
            texte = std::string_view(lot.octets).substr(e.debut[i], e.taille[i]);
        });
        compte_(p, e.numero);
    }
}

} // namespace sillage
