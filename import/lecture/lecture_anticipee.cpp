#include "import/lecture/lecture_anticipee.h"

#include <algorithm>

namespace sillage {

namespace {

// Bytes of lines in one lot, lines in one lot, and lots read ahead at the most: a few megabytes
// in all, whatever the lines (a lot of empty lines holds no more lines than one of real ones).
constexpr std::size_t kOctetsLot = 1 << 20;
constexpr std::size_t kLignesLot = 16384;
constexpr std::size_t kLotsAvance = 3;

} // namespace

SourceAnticipee::SourceAnticipee(std::unique_ptr<SourceJournal> source, std::string_view derniere,
                                 bool total, int nombreChamps)
    : source_(std::move(source)), total_(total ? source_->Total() : -1),
      litPourVerifier_(source_->LitPourVerifier()), nombreChamps_(nombreChamps) {
    // The line the source is at makes the first lot on its own, taken on this thread.
    lot_ = std::make_unique<Lot>();
    const std::string_view avant = source_->QueueAvantDerniere();
    const std::string_view avecFin = source_->AvecFin();
    lot_->octets.reserve(avant.size() + avecFin.size());
    lot_->octets.append(avant);
    lot_->octets.append(avecFin);
    lot_->lignes.push_back(Decrit(avant.size(), derniere));
    lot_->fraction = source_->Fraction();
    empreinte_.Ajoute(avecFin);
    Prepare(*lot_);
    lecteur_ = std::thread([this] { Lit(); });
}

SourceAnticipee::~SourceAnticipee() {
    Arrete();
}

void SourceAnticipee::Arrete() {
    {
        std::lock_guard<std::mutex> verrou(mutex_);
        arret_ = true;
    }
    change_.notify_all();
    if (lecteur_.joinable()) {
        lecteur_.join();
    }
}

SourceAnticipee::LigneLot SourceAnticipee::Decrit(std::size_t debut, std::string_view ligne) const {
    return {debut,
            ligne.size(),
            source_->AvecFin().size(),
            source_->Position(),
            source_->DebutDerniere(),
            source_->DerniereAvecNul(),
            source_->DerniereTropLongue()};
}

bool SourceAnticipee::Ajoute(Lot& lot, bool premiere) {
    std::string_view ligne;
    if (!source_->Suivante(ligne)) {
        return false;
    }
    if (premiere) {
        lot.octets.append(source_->QueueAvantDerniere());
    }
    const std::string_view avecFin = source_->AvecFin();
    lot.lignes.push_back(Decrit(lot.octets.size(), ligne));
    lot.octets.append(avecFin);
    empreinte_.Ajoute(avecFin);
    return true;
}

// Once the lot holds all its bytes (the views stay valid).
void SourceAnticipee::Prepare(Lot& lot) {
    lot.preparees.resize(lot.lignes.size());
    for (std::size_t i = 0; i < lot.lignes.size(); ++i) {
        const LigneLot& l = lot.lignes[i];
        PrepareLigne(std::string_view(lot.octets.data() + l.debut, l.longueur), nombreChamps_,
                     lot.preparees[i], keywords_, echappement_, &lot.arene);
    }
}

std::uint64_t SourceAnticipee::EmpreinteDes(std::int64_t n) const {
    Empreinte e = lot_->avant;
    for (std::int64_t k = 0; k < n - lignesAvantLot_; ++k) {
        const LigneLot& l = lot_->lignes[static_cast<std::size_t>(k)];
        e.Ajoute(std::string_view(lot_->octets.data() + l.debut, l.avecFin));
    }
    return e.Valeur();
}

void SourceAnticipee::Lit() {
    for (;;) {
        std::unique_ptr<Lot> lot;
        {
            std::lock_guard<std::mutex> verrou(mutex_);
            if (!libres_.empty()) {
                lot = std::move(libres_.back());
                libres_.pop_back();
            }
        }
        if (lot) {
            lot->octets.clear();
            lot->lignes.clear();
            lot->arene.Recommence();
            lot->erreur = nullptr;
            lot->dernier = lot->coupe = false;
        } else {
            lot = std::make_unique<Lot>();
            lot->octets.reserve(kOctetsLot + kOctetsQueue + 4096);
        }
        lot->avant = empreinte_;
        try {
            while (lot->octets.size() < kOctetsLot && lot->lignes.size() < kLignesLot) {
                if (!Ajoute(*lot, lot->lignes.empty())) {
                    lot->dernier = true;
                    lot->coupe = source_->Coupe();
                    break;
                }
            }
        } catch (...) {
            lot->erreur = std::current_exception();
            lot->dernier = true;
        }
        lot->fraction = source_->Fraction();
        Prepare(*lot);
        const bool dernier = lot->dernier;
        {
            std::unique_lock<std::mutex> verrou(mutex_);
            change_.wait(verrou, [&] { return arret_ || prets_.size() < kLotsAvance; });
            if (arret_) {
                return;
            }
            prets_.push_back(std::move(lot));
            fini_ = dernier;
        }
        change_.notify_all();
        if (dernier) {
            return;
        }
    }
}

bool SourceAnticipee::Suivante(std::string_view& ligne) {
    if (redonne_) {
        redonne_ = false;
    } else if (++indice_ >= lot_->lignes.size()) {
        if (lot_->erreur) {
            std::rethrow_exception(lot_->erreur);
        }
        if (lot_->dernier) {
            indice_ = lot_->lignes.size() - 1;
            return false;
        }
        std::unique_ptr<Lot> suivant;
        {
            std::unique_lock<std::mutex> verrou(mutex_);
            change_.wait(verrou, [&] { return !prets_.empty(); });
            suivant = std::move(prets_.front());
            prets_.pop_front();
            if (!suivant->lignes.empty()) {
                lignesAvantLot_ += static_cast<std::int64_t>(lot_->lignes.size());
                libres_.push_back(std::move(lot_)); // its views are no longer given out
            }
        }
        change_.notify_all();
        if (suivant->lignes.empty()) {
            // The text ended, or failed, just after the last lot.
            lot_->erreur = suivant->erreur;
            lot_->dernier = true;
            lot_->coupe = suivant->coupe;
            lot_->fraction = suivant->fraction;
            indice_ = lot_->lignes.size() - 1;
            if (lot_->erreur) {
                std::rethrow_exception(lot_->erreur);
            }
            return false;
        }
        lot_ = std::move(suivant);
        indice_ = 0;
    }
    const LigneLot& l = Courante();
    ligne = std::string_view(lot_->octets.data() + l.debut, l.longueur);
    derniere_ = ligne;
    return true;
}

bool SourceAnticipee::Coupe() {
    if (lot_->dernier) {
        return lot_->coupe;
    }
    std::unique_lock<std::mutex> verrou(mutex_);
    change_.wait(verrou, [&] { return !prets_.empty(); });
    return prets_.front()->lignes.empty() && prets_.front()->coupe;
}

void SourceAnticipee::VerifieReste() {
    if (!litPourVerifier_) {
        return;
    }
    std::string_view ligne;
    while (Suivante(ligne)) {
    }
}

std::string_view SourceAnticipee::AvecFin() const {
    const LigneLot& l = Courante();
    return std::string_view(lot_->octets.data() + l.debut, l.avecFin);
}

std::string_view SourceAnticipee::Avant(std::size_t fin) const {
    const std::size_t depuis = fin - std::min(fin, kOctetsQueue);
    return std::string_view(lot_->octets.data() + depuis, fin - depuis);
}

std::string_view SourceAnticipee::Queue() const {
    const LigneLot& l = Courante();
    return Avant(l.debut + l.avecFin);
}

std::string_view SourceAnticipee::QueueAvantDerniere() const {
    return Avant(Courante().debut);
}

bool SourceAnticipee::PositionneA(std::int64_t) {
    return false;
}

} // namespace sillage
