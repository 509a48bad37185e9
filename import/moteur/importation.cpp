#include "import/moteur/importation.h"

#include "import/lecture/erreur_ligne.h"
#include "import/parties/visites.h"
#include "store/erreur.h"
#include "store/periodes.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <type_traits>

namespace sillage {

static_assert(std::is_nothrow_move_assignable_v<Table>, "the swap of Valide cannot fail");

namespace {

// The hosts a small import may count, for the pairs: sorted.
std::vector<std::int64_t> HotesPossibles(const TableCle& noms, const CiblesImport* cibles) {
    std::vector<std::int64_t> hotes;
    if (cibles != nullptr) {
        hotes = noms.IdentsPossibles(cibles->hotes.Taille());
        std::sort(hotes.begin(), hotes.end());
    }
    return hotes;
}

// The targets given; without them the name indexes, built first when they are not up to date.
const CiblesImport* IndexOuCibles(Base& base, const CiblesImport* cibles) {
    if (cibles == nullptr) {
        base.AssureIndex();
    }
    return cibles;
}

// The hit's date, as TraiteLigne counts it; raises ErreurLigne when it cannot be counted.
void LitDateDuHit(const RHitsVues& hit, std::int64_t numero, RDate& D, DateCompacte& date,
                  DatesImport* dates);

} // namespace

Importation::Importation(Base& base, const CiblesImport* cibles, RobotsImport robots)
    : base_(base), cibles_(IndexOuCibles(base, cibles)), dates_(arene_),
      noms_(base.ListeNom, base.IndexNom, true, dates_, arene_,
            cibles_ ? &cibles_->hotes : nullptr),
      pages_(base.ListePage, base.IndexPage, true, dates_, arene_,
             cibles_ ? &cibles_->ressources : nullptr),
      images_(base.ListeImage, base.IndexImage, true, dates_, arene_,
              cibles_ ? &cibles_->ressources : nullptr),
      downloads_(base.ListeDownload, base.IndexDownload, false, dates_, arene_,
                 cibles_ ? &cibles_->ressources : nullptr),
      origines_(base.ListeOrigine, base.IndexOrigine, true, dates_, arene_,
                cibles_ ? &cibles_->origines : nullptr),
      motsCles_(base.ListeKeyword),
      erreurs_(base.ListeErreur, dates_, arene_, cibles_ ? &cibles_->ressources : nullptr),
      hotesPossibles_(HotesPossibles(noms_, cibles_)),
      paires_(base.ListeLanp, base.ListeLanpSearch, dates_, cibles_ ? &hotesPossibles_ : nullptr),
      calendrier_(base.ListeGraphMois, base.ListeGraphHeure),
      agents_(base.ListeAgents, dates_, arene_, robots), registre_(base.ListeRegistre),
      robots_(robots), avecPeriodes_(!base.EstPeriode()) {
    if (avecPeriodes_ && !robots_.sansRobots) {
        fil_ = std::make_unique<FilPeriodes>([this](const LignePreparee& p, std::int64_t numero) {
            RDate D;
            DateCompacte date = 0;
            LitDateDuHit(p.hit, numero, D, date, nullptr); // counted by the store: it reads
            CompteDansPeriodes(p, numero, D);
        });
    }
}

Importation::Importation(Base& periode, const CiblesImport* cibles, const Importation& parent)
    // Counted on the periods' thread, a period does without the classifier, which is not
    // needed to count its agents unless robots are left out.
    : Importation(periode, cibles, parent.robots_.sansRobots ? parent.robots_ : RobotsImport{}) {
    // The store's options as they are now, put in the period's tables with its counts.
    options_.table = parent.base_.ListeOptions;
    options_.prete = !(periode.ListeOptions == parent.base_.ListeOptions);
}

Importation::~Importation() {
    fil_.reset(); // before the engines it counts with
    if (valide_) {
        return;
    }
    // The engines of the periods go first: they refer to the periods' tables.
    periodes_.clear();
    for (const std::string& nom : periodesLues_) {
        base_.LaissePeriode(nom);
    }
}

Importation& Importation::Periode(const std::string& nom) {
    auto p = periodes_.find(nom);
    if (p == periodes_.end()) {
        if (base_.Chargees().count(nom) == 0) {
            periodesLues_.push_back(nom);
        }
        p = periodes_
                .emplace(nom, std::unique_ptr<Importation>(
                                  new Importation(base_.Periode(nom), cibles_, *this)))
                .first;
    }
    return *p->second;
}

void Importation::AttendPeriodes() {
    if (fil_) {
        fil_->Termine();
    }
}

std::vector<std::string> Importation::Periodes() {
    AttendPeriodes();
    std::vector<std::string> noms;
    for (const auto& [nom, importation] : periodes_) {
        noms.push_back(nom);
    }
    return noms;
}

namespace {

// The hit's date, as TraiteLigne counts it; raises ErreurLigne when it cannot be counted.
void LitDateDuHit(const RHitsVues& hit, std::int64_t numero, RDate& D, DateCompacte& date,
                  DatesImport* dates) {
    bool comptable = false;
    if (CompacteDate(hit.DateLog, date)) {
        D = DecompacteDate(date);
        comptable = D.Jour >= 1 && D.Jour <= 31 && D.Heure <= 23;
    } else {
        try {
            D = LitDate(hit.DateLog, comptable);
        } catch (const ErreurSillage& e) {
            throw ErreurLigne(e.what(), true);
        }
        if (dates != nullptr) {
            date = dates->Date(hit.DateLog, true);
        }
    }
    if (hit.Illisible || !comptable) {
        LeveErreurLigne(numero, hit.Illisible);
    }
}

} // namespace

bool LigneLisible(std::string_view ligne) {
    RHitsVues hit;
    std::string keywords;
    std::string echappement;
    DecoupeLigneLogVues(ligne, CompteNombreChamps(ligne), hit, keywords, echappement);
    RDate D;
    DateCompacte date = 0;
    try {
        LitDateDuHit(hit, 1, D, date, nullptr);
    } catch (const ErreurLigne&) {
        return false;
    }
    return true;
}

bool LigneComptable(const LignePreparee& p) {
    RDate D;
    DateCompacte date = 0;
    try {
        LitDateDuHit(p.hit, 1, D, date, nullptr);
    } catch (const ErreurLigne&) {
        return false;
    }
    return true;
}

void Importation::TraiteLigne(const LignePreparee& p, std::int64_t numero) {
    const RHitsVues& hit = p.hit;
    RDate D;
    DateCompacte date = 0;
    LitDateDuHit(hit, numero, D, date, &dates_);
    // The same line, counted in its year and its month, each a store of its own (its agent too,
    // a robot's line left out of its fourteen tables as here): on the periods' thread once the
    // store has counted it (below), else here.
    if (avecPeriodes_ && !fil_) {
        CompteDansPeriodes(p, numero, D);
    }
    RangsRacine racine;
    if (!agents_.Compte(hit.Navigateur, p.hAgent, !p.image && !p.download, date, p.racine.agent,
                        racine.agent)) {
        return; // a robot's line, left out of the fourteen tables as if absent from the log
    }

    // Every name of the line is hashed first and its slot asked for, so that the look-ups
    // below wait for memory once rather than one after the other.
    const bool image = p.image;
    const bool download = p.download;
    TableCle& tableRessource = image ? images_ : (download ? downloads_ : pages_);
    const Table& options = options_.prete ? options_.table : base_.ListeOptions;
    const std::string_view exclu = options.Vide() ? std::string_view() : options[0];
    const std::string_view origine = hit.Origine;
    const bool compteOrigine =
        !origine.empty() && origine != "-" && (exclu.empty() || !origine.starts_with(exclu));
    const std::uint64_t hHote = p.hHote;
    noms_.Precharge(hHote);
    const std::uint64_t hRessource = p.hPage;
    tableRessource.Precharge(hRessource);
    const std::uint64_t hOrigine = compteOrigine ? p.hOrigine : 0;
    if (compteOrigine) {
        origines_.Precharge(hOrigine);
    }

    bool nouveau = false;
    DateCompacte precedente = 0;
    const std::int32_t hote =
        noms_.Compte(hit.Hote, hHote, date, nouveau, precedente, p.racine.hote, racine.hote);
    const bool nouveauVisiteur = nouveau || NouvelleVisite(dates_.Lit(precedente), D);

    const std::int32_t ident = tableRessource.Compte(
        hit.Page, hRessource, date, nouveau, precedente, p.racine.ressource, racine.ressource);
    const std::int32_t ressource = image ? -2 : ident;
    const std::int32_t type = image ? 0 : (download ? 2 : 1);

    if (compteOrigine) {
        const std::int32_t r = origines_.Compte(origine, hOrigine, date, nouveau, precedente,
                                                p.racine.origine, racine.origine);
        if (!hit.Keywords.empty()) {
            motsCles_.Ajoute(r, hit.Keywords);
        }
    }

    paires_.MajLanp(hote, ressource, type, date);
    if (hit.Statut != "200") {
        erreurs_.Compte(hit, ressource, date);
    }
    calendrier_.MajGraph(D, ressource, nouveauVisiteur);
    if (fil_) {
        fil_->Ajoute(p, numero, racine);
    }
}

void Importation::CompteDansPeriodes(const LignePreparee& p, std::int64_t numero, const RDate& D) {
    if (annee_ == nullptr || D.Annee != anneeCourante_ || D.Mois != moisCourant_) {
        annee_ = &Periode(NomPeriodeAnnee(D.Annee));
        mois_ = &Periode(NomPeriodeMois(D.Annee, D.Mois));
        anneeCourante_ = D.Annee;
        moisCourant_ = D.Mois;
    }
    annee_->TraiteLigne(p, numero);
    mois_->TraiteLigne(p, numero);
}

void Importation::Valide(const SondeValidation& sonde) {
    // First every part builds its tables beside the store's...
    Prepare(sonde);
    // ... then they all take the place of the old ones; nothing below can fail.
    Applique();
}

void Importation::Prepare(const SondeValidation& sonde) {
    AttendPeriodes(); // every line counted in its periods, or what that raised
    // The periods' tables are built on a thread of their own while the store's are; it is
    // joined before anything leaves this function.
    std::exception_ptr erreurPeriodes;
    std::thread periodes;
    if (!periodes_.empty()) {
        periodes = std::thread([&] {
            try {
                for (auto& [nom, periode] : periodes_) {
                    periode->Prepare({});
                }
            } catch (...) {
                erreurPeriodes = std::current_exception();
            }
        });
    }
    struct Joint {
        std::thread& fil;
        ~Joint() {
            if (fil.joinable()) {
                fil.join();
            }
        }
    } joint{periodes};
    auto prepare = [&](auto& partie, std::string_view nom) {
        partie.Prepare();
        if (sonde) {
            sonde(nom);
        }
    };
    prepare(noms_, "noms");
    prepare(pages_, "pages");
    prepare(images_, "images");
    prepare(downloads_, "downloads");
    prepare(origines_, "origines");
    prepare(motsCles_, "motscles");
    prepare(erreurs_, "erreurs");
    prepare(paires_, "paires");
    prepare(calendrier_, "calendrier");
    prepare(agents_, "agents");
    prepare(registre_, "registre");
    if (periodes.joinable()) {
        periodes.join();
    }
    if (erreurPeriodes) {
        std::rethrow_exception(erreurPeriodes);
    }
    if (sonde && !periodes_.empty()) {
        sonde("periodes");
    }
}

void Importation::Applique() noexcept {
    noms_.Applique();
    pages_.Applique();
    images_.Applique();
    downloads_.Applique();
    origines_.Applique();
    motsCles_.Applique();
    erreurs_.Applique();
    paires_.Applique();
    calendrier_.Applique();
    agents_.Applique();
    registre_.Applique();
    options_.MetEnPlace(base_.ListeOptions);
    for (auto& [nom, periode] : periodes_) {
        periode->Applique();
    }
    base_.MarqueIndexPerimes();
    base_.Modifie = 1;
    valide_ = true;
}

} // namespace sillage
