// The periods of a store: the tables of each year and month, each a store of its own in a folder
// of periodes/, read when first asked for.
#include "store/base.h"

#include "store/catalogue.h"
#include "store/periodes.h"
#include "store/transaction.h"

#include <algorithm>
#include <future>
#include <set>
#include <stdexcept>
#include <sys/stat.h>

namespace sillage {

using namespace catalogue;

PeriodesChargees::PeriodesChargees(const PeriodesChargees& autres)
    : std::map<std::string, std::unique_ptr<Base>>() {
    for (const auto& [nom, base] : autres) {
        emplace(nom, std::make_unique<Base>(*base));
    }
}

PeriodesChargees& PeriodesChargees::operator=(const PeriodesChargees& autres) {
    if (this != &autres) {
        PeriodesChargees copie(autres);
        *this = std::move(copie);
    }
    return *this;
}

bool Base::LaissePeriode(const std::string& nom) noexcept {
    const auto p = periodes_.find(nom);
    if (p == periodes_.end() || p->second->Modifie != 0) {
        return false;
    }
    periodes_.erase(p);
    return true;
}

std::vector<std::string> Base::Periodes() const {
    std::set<std::string> noms;
    std::vector<std::string> dossier;
    if (disque_->Liste(repertoire_ + std::string(kDossierPeriodes), dossier)) {
        for (const std::string& n : dossier) {
            if (EstNomPeriode(n)) {
                noms.insert(n);
            }
        }
    }
    const std::string dossiers = std::string(kDossierPeriodes) + "/";
    for (const auto& [nom, e] : manifeste_) {
        const std::size_t barre = nom.find('/', dossiers.size());
        if (nom.starts_with(dossiers) && barre != std::string::npos) {
            noms.insert(nom.substr(dossiers.size(), barre - dossiers.size()));
        }
    }
    for (const auto& [nom, base] : periodes_) {
        noms.insert(nom);
    }
    return {noms.begin(), noms.end()};
}

bool Base::VerifieDossierPeriode(const std::string& nom) const {
    const auto dossierDuProprietaire = [&](const std::string& chemin) {
        struct stat st;
        if (!disque_->Etat(chemin, st)) {
            if (errno == ENOENT) {
                return false;
            }
            LeveErreurOuverture(chemin);
        }
        if (!S_ISDIR(st.st_mode) || st.st_uid != proprietaire_.uid ||
            (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            throw ErreurSillage("Le dossier " + chemin +
                                " n'est pas un dossier privé du propriétaire des tables : Sillage "
                                "ne le lit pas.");
        }
        return true;
    };
    if (!dossierDuProprietaire(repertoire_ + std::string(kDossierPeriodes))) {
        return false;
    }
    const std::string dossier = repertoire_ + DossierPeriode(nom);
    if (!dossierDuProprietaire(dossier.substr(0, dossier.size() - 1))) {
        return false;
    }
    std::vector<std::string> contenu;
    if (!disque_->Liste(dossier, contenu)) {
        LeveErreurOuverture(dossier);
    }
    const std::vector<std::string_view> connus = NomsFichiersPeriode();
    for (const std::string& f : contenu) {
        const std::optional<std::string_view> de = NomDeReste(f);
        std::string_view base = de ? *de : std::string_view(f);
        if (const std::size_t copie = base.find(kSuffixeCopie); copie != std::string_view::npos) {
            base = base.substr(0, copie); // a copy kept aside of a file found damaged
        }
        if (std::find(connus.begin(), connus.end(), base) == connus.end()) {
            throw ErreurSillage("La période " + nom + " n'est pas disponible : son dossier " +
                                dossier + " contient " + f +
                                ", qui n'est pas un fichier de Sillage. Déplacez-le pour "
                                "retrouver la période.");
        }
    }
    return true;
}

struct Base::Precharge {
    std::future<std::vector<std::optional<FichierLu>>> lus;
};

void Base::PrechargePeriodes(const std::vector<std::string>& noms) {
    for (const std::string& nom : noms) {
        if (estPeriode_ || !EstNomPeriode(nom) || periodes_.count(nom) != 0 ||
            precharges_.count(nom) != 0) {
            continue;
        }
        auto precharge = std::make_shared<Precharge>();
        precharge->lus =
            std::async(std::launch::async, [dossier = repertoire_ + DossierPeriode(nom),
                                            proprietaire = proprietaire_] {
                std::vector<std::optional<FichierLu>> lus;
                for (std::string_view fichier : kOrdreChargement) {
                    lus.push_back(LitFichierDe(dossier + std::string(fichier), proprietaire));
                }
                lus.push_back(LitFichierDe(dossier + std::string(kFichierAgents), proprietaire));
                return lus;
            });
        precharges_.emplace(nom, std::move(precharge));
    }
}

Base& Base::Periode(const std::string& nom, bool accepteModifications) {
    if (estPeriode_ || !EstNomPeriode(nom)) {
        throw std::invalid_argument("not a period of a store: " + nom);
    }
    if (const auto p = periodes_.find(nom); p != periodes_.end()) {
        return *p->second;
    }
    auto periode = std::make_unique<Base>(repertoire_ + DossierPeriode(nom));
    periode->estPeriode_ = true;
    periode->disque_ = disque_;
    periode->proprietaire_ = proprietaire_;
    periode->indexPerimes_ = true;
    // What was read ahead, if anything: taken once, whatever the folder turns out to be.
    std::optional<std::vector<std::optional<FichierLu>>> lus;
    if (const auto p = precharges_.find(nom); p != precharges_.end()) {
        const std::shared_ptr<Precharge> precharge = p->second;
        precharges_.erase(p);
        if (precharge->lus.valid()) {
            try {
                lus = precharge->lus.get();
            } catch (...) {
                // Read again below, so that the failure is told once the folder is checked.
            }
        }
    }
    if (VerifieDossierPeriode(nom)) {
        if (lus) {
            std::size_t k = 0;
            for (std::string_view fichier : kOrdreChargement) {
                periode->ChargeOuSeme(periode->Entree(fichier), std::move((*lus)[k++]));
            }
            periode->Garde(kFichierAgents, std::move((*lus)[k]), periode->ListeAgents);
        } else {
            periode->ChargeTables();
            periode->ChargeSiPresent(kFichierAgents, periode->ListeAgents);
        }
    } else {
        for (std::string_view fichier : kOrdreChargement) {
            periode->ChargeOuSeme(periode->Entree(fichier), std::nullopt);
        }
        periode->ListeOptions = ListeOptions; // a new period counts as the store does
    }
    // Among the periods read while it is checked, so that a manifest written on acceptance has
    // its rows; taken out again when it is refused.
    Base& p = *periodes_.emplace(nom, std::move(periode)).first->second;
    try {
        VerifieManifeste(p, DossierPeriode(nom), accepteModifications);
    } catch (...) {
        periodes_.erase(nom);
        throw;
    }
    return p;
}

std::vector<std::string_view> Base::NomsFichiersPeriode() {
    std::vector<std::string_view> noms;
    for (const EntreeCatalogue& e : kCatalogue) {
        noms.push_back(e.fichier);
    }
    noms.push_back(kFichierAgents); // once its agents hold a row
    return noms;
}

bool Base::EstFichierDuStore(std::string_view nom) {
    const std::vector<std::string_view> racine = NomsFichiers();
    if (std::find(racine.begin(), racine.end(), nom) != racine.end()) {
        return true;
    }
    // periodes/<period>/<file of a period>: nothing else, nothing that leaves the folder.
    const std::string prefixe = std::string(kDossierPeriodes) + "/";
    if (!nom.starts_with(prefixe)) {
        return false;
    }
    nom.remove_prefix(prefixe.size());
    const std::size_t barre = nom.find('/');
    if (barre == std::string_view::npos || !EstNomPeriode(nom.substr(0, barre))) {
        return false;
    }
    const std::vector<std::string_view> periode = NomsFichiersPeriode();
    return std::find(periode.begin(), periode.end(), nom.substr(barre + 1)) != periode.end();
}

std::vector<std::string> Base::SousDossiers() const {
    std::vector<std::string> dossiers;
    std::vector<std::string> noms;
    if (!disque_->Liste(repertoire_ + std::string(kDossierPeriodes), noms)) {
        return dossiers;
    }
    dossiers.push_back(std::string(kDossierPeriodes) + "/");
    std::sort(noms.begin(), noms.end());
    for (const std::string& n : noms) {
        if (EstNomPeriode(n)) {
            dossiers.push_back(DossierPeriode(n));
        }
    }
    return dossiers;
}

} // namespace sillage
