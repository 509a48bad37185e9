#include "import/importation.h"

#include "import/visites.h"
#include "store/casse.h"
#include "store/erreur.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace sillage {

static_assert(std::is_nothrow_move_assignable_v<Table>, "the swap of Valide cannot fail");

namespace {

// The progress value of line i of n: the integer part, truncated toward zero, of 100·i/n − 1.
int ValeurProgression(std::int64_t i, std::int64_t n) {
    if (n <= 0) {
        return 0;
    }
    const std::int64_t q = (100 * i) / n;
    const std::int64_t reste = (100 * i) % n;
    if (q == 0) {
        return reste == 0 ? -1 : 0;
    }
    return static_cast<int>(std::min<std::int64_t>(q - 1, 100));
}

} // namespace

void SuiviProgression::Ligne(std::int64_t i) {
    if (!rappel_) {
        return;
    }
    // A compressed log's line count is not known ahead: its progress follows the compressed
    // bytes read.
    int v = -1;
    if (total_ >= 0) {
        v = ValeurProgression(i, total_);
    } else if (i > 0) {
        v = static_cast<int>(std::trunc(100.0 * source_.Fraction() - 1.0));
    }
    if (v != derniere_) {
        derniere_ = v;
        rappel_(v);
    }
}

std::int64_t Importe(Base& base, SourceLignes& source, const RappelProgression& progression,
                     const SondeValidation& sonde, const CiblesImport* cibles) {
    std::string_view ligne;
    if (!source.Suivante(ligne)) {
        LeveErreurIndice(0);
    }
    const int nombreChamps = CompteNombreChamps(ligne);
    SuiviProgression suivi(progression, source);
    if (cibles == nullptr) {
        base.AssureIndex();
    }
    Importation importation(base, cibles);
    std::int64_t i = 0;
    do {
        suivi.Ligne(i);
        try {
            if (source.DerniereAvecNul()) {
                LeveErreurLigne(i + 1);
            }
            importation.TraiteLigne(ligne, nombreChamps, i + 1);
        } catch (const ErreurSillage&) {
            // Damaged compressed input can give lines of garbage before it shows as damaged.
            source.VerifieReste();
            throw;
        }
        ++i;
    } while (source.Suivante(ligne));
    importation.Valide(sonde);
    suivi.Fin();
    return i;
}

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

} // namespace

Importation::Importation(Base& base, const CiblesImport* cibles)
    : base_(base), dates_(arene_),
      noms_(base.ListeNom, base.IndexNom, true, dates_, arene_, cibles ? &cibles->hotes : nullptr),
      pages_(base.ListePage, base.IndexPage, true, dates_, arene_,
             cibles ? &cibles->ressources : nullptr),
      images_(base.ListeImage, base.IndexImage, true, dates_, arene_,
              cibles ? &cibles->ressources : nullptr),
      downloads_(base.ListeDownload, base.IndexDownload, false, dates_, arene_,
                 cibles ? &cibles->ressources : nullptr),
      origines_(base.ListeOrigine, base.IndexOrigine, true, dates_, arene_,
                cibles ? &cibles->origines : nullptr),
      motsCles_(base.ListeKeyword),
      erreurs_(base.ListeErreur, dates_, arene_, cibles ? &cibles->ressources : nullptr),
      hotesPossibles_(HotesPossibles(noms_, cibles)),
      paires_(base.ListeLanp, base.ListeLanpSearch, dates_, cibles ? &hotesPossibles_ : nullptr),
      calendrier_(base.ListeGraphMois, base.ListeGraphHeure), registre_(base.ListeJournaux) {}

void LeveErreurLigne(std::int64_t numero) {
    try {
        LeveErreurLecture(numero);
    } catch (const ErreurSillage& e) {
        throw ErreurLigne(e.what());
    }
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
            throw ErreurLigne(e.what());
        }
        if (dates != nullptr) {
            date = dates->Date(hit.DateLog, true);
        }
    }
    if (hit.Illisible || !comptable) {
        LeveErreurLigne(numero);
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

void PrepareLigne(std::string_view ligne, int NombreChamps, LignePreparee& p,
                  std::string& tamponKeywords, std::string& tamponEchappement, Arene* arene) {
    RHitsVues& h = p.hit;
    DecoupeLigneLogVues(ligne, NombreChamps, h, tamponKeywords, tamponEchappement);
    if (arene != nullptr) {
        for (std::string_view* c : {&h.Prefixe, &h.Hote, &h.DateLog, &h.Page, &h.Statut, &h.Origine,
                                    &h.Keywords, &h.Navigateur}) {
            if (!c->empty() &&
                (c->data() < ligne.data() || c->data() >= ligne.data() + ligne.size())) {
                *c = arene->Copie(*c);
            }
        }
    }
    p.image = EstImage(h.Page);
    p.download = !p.image && EstDownload(h.Page);
    p.hHote = HachageSansCasse(h.Hote);
    p.hPage = HachageSansCasse(h.Page);
    p.hOrigine = HachageSansCasse(h.Origine);
}

void Importation::TraiteLigne(std::string_view ligne, int NombreChamps, std::int64_t numero) {
    PrepareLigne(ligne, NombreChamps, preparee_, tamponKeywords_, tamponEchappement_, nullptr);
    TraiteLigne(preparee_, numero);
}

void Importation::TraiteLigne(const LignePreparee& p, std::int64_t numero) {
    const RHitsVues& hit = p.hit;
    RDate D;
    DateCompacte date = 0;
    LitDateDuHit(hit, numero, D, date, &dates_);

    // Every name of the line is hashed first and its slot asked for, so that the look-ups
    // below wait for memory once rather than one after the other.
    const bool image = p.image;
    const bool download = p.download;
    TableCle& tableRessource = image ? images_ : (download ? downloads_ : pages_);
    const std::string_view exclu =
        base_.ListeOptions.Vide() ? std::string_view() : base_.ListeOptions[0];
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
    const std::int32_t hote = noms_.Compte(hit.Hote, hHote, date, nouveau, precedente);
    const bool nouveauVisiteur = nouveau || NouvelleVisite(dates_.Lit(precedente), D);

    const std::int32_t ident =
        tableRessource.Compte(hit.Page, hRessource, date, nouveau, precedente);
    const std::int32_t ressource = image ? -2 : ident;
    const std::int32_t type = image ? 0 : (download ? 2 : 1);

    if (compteOrigine) {
        const std::int32_t r = origines_.Compte(origine, hOrigine, date, nouveau, precedente);
        if (!hit.Keywords.empty()) {
            motsCles_.Ajoute(r, hit.Keywords);
        }
    }

    paires_.MajLanp(hote, ressource, type, date);
    if (hit.Statut != "200") {
        erreurs_.Compte(hit, ressource, date);
    }
    calendrier_.MajGraph(D, ressource, nouveauVisiteur);
}

void Importation::Valide(const SondeValidation& sonde) {
    // First every part builds its tables beside the store's...
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
    prepare(registre_, "registre");
    // ... then they all take the place of the old ones; nothing below can fail.
    noms_.Applique();
    pages_.Applique();
    images_.Applique();
    downloads_.Applique();
    origines_.Applique();
    motsCles_.Applique();
    erreurs_.Applique();
    paires_.Applique();
    calendrier_.Applique();
    registre_.Applique();
    base_.MarqueIndexPerimes();
    base_.Modifie = 1;
}

} // namespace sillage
