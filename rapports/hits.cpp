#include "rapports/hits.h"

#include "import/lecture/ligne_log.h"
#include "rapports/csv.h"
#include "store/base.h"
#include "store/date.h"
#include "store/date_compacte.h"
#include "vues/texte_affiche.h"

#include <algorithm>
#include <cstdio>

namespace sillage {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool Dans(std::string_view ligne, std::string_view champ) {
    return !champ.empty() && champ.data() >= ligne.data() &&
           champ.data() + champ.size() <= ligne.data() + ligne.size();
}

// Where, in the line as read, the date ends and the referrer begins (npos: no referrer).
struct Places {
    std::size_t finDate = npos;
    std::size_t debutOrigine = npos;
};

Places PlacesDans(std::string_view ligne, const RHitsVues& hit) {
    Places p;
    p.finDate = static_cast<std::size_t>(hit.DateLog.data() + hit.DateLog.size() - ligne.data());
    if (Dans(ligne, hit.Origine)) {
        p.debutOrigine = static_cast<std::size_t>(hit.Origine.data() - ligne.data());
    }
    return p;
}

Places PlacesBrutes(std::string_view ligne, int nombreChamps, const RHitsVues& hit) {
    if (Dans(ligne, hit.DateLog) && (hit.Origine.empty() || Dans(ligne, hit.Origine))) {
        return PlacesDans(ligne, hit);
    }
    // The fields were copied to neutralise a tag-like sequence: the line is cut again with its
    // backslashes put aside (no separator of the cut is a backslash, so nothing moves).
    std::string copie(ligne);
    std::replace(copie.begin(), copie.end(), '\\', 'x');
    RHitsVues h;
    std::string motsCles, echappement;
    DecoupeLigneLogVues(copie, nombreChamps, h, motsCles, echappement);
    if (!Dans(copie, h.DateLog)) {
        return {};
    }
    return PlacesDans(copie, h);
}

// "+0100" as ISO 8601 writes it, "+01:00"; nothing for a zone of another form.
void AjouteZone(std::string& s, std::string_view ligne, std::size_t finDate) {
    if (finDate == npos || finDate >= ligne.size()) {
        return;
    }
    std::string_view reste = ligne.substr(finDate);
    reste.remove_prefix(std::min(reste.find_first_not_of(' '), reste.size()));
    const std::string_view zone =
        reste.substr(0, std::min(reste.find_first_of("] "), reste.size()));
    if (zone.size() != 5 || (zone[0] != '+' && zone[0] != '-') ||
        !std::all_of(zone.begin() + 1, zone.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return;
    }
    s.append(zone.substr(0, 3)).append(":").append(zone.substr(3));
}

void AjouteHorodatage(std::string& s, std::string_view dateLog, std::string_view ligne,
                      std::size_t finDate) {
    RDate d;
    DateCompacte compacte = 0;
    if (CompacteDate(dateLog, compacte)) {
        d = DecompacteDate(compacte);
    } else {
        d = LitDate(dateLog); // a counted line's date reads
    }
    char t[64];
    std::snprintf(t, sizeof t, "%04d-%02u-%02uT%02u:%02u:%02u", static_cast<int>(d.Annee), d.Mois,
                  d.Jour, d.Heure, d.Minute, d.Seconde);
    s += t;
    AjouteZone(s, ligne, finDate);
}

// The referrer as the client sent it, its query included ("-" for none is no referrer); tampon
// holds it when its text had to be neutralised as the store's texts are.
std::string_view OrigineEntiere(std::string_view ligne, const Places& p, const RHitsVues& hit,
                                std::string& tampon) {
    if (hit.Keywords.empty() || p.debutOrigine == npos) {
        return hit.Origine == "-" ? std::string_view() : hit.Origine;
    }
    const std::size_t fin = ligne.find("\" \"", p.debutOrigine);
    const std::string_view brute =
        ligne.substr(p.debutOrigine, fin == npos ? npos : fin - p.debutOrigine);
    if (!ContientEtiquette(brute)) {
        return brute;
    }
    tampon.clear();
    AjouteSansEtiquette(tampon, brute);
    return tampon;
}

void Champ(std::string& s, std::string_view octets) {
    s += ',';
    const bool ascii = std::all_of(octets.begin(), octets.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        AjouteChampCsv(s, octets, kCsvMoteurs);
    } else {
        AjouteChampCsv(s, TexteAffiche(octets), kCsvMoteurs);
    }
}

} // namespace

void AjouteRangeeHits(std::string& s, std::string_view ligne, int nombreChamps,
                      const LignePreparee& preparee, std::string_view exclu) {
    const RHitsVues& hit = preparee.hit;
    const Places places = PlacesBrutes(ligne, nombreChamps, hit);
    // Digits, signs, colons and a T: never quoted.
    AjouteHorodatage(s, hit.DateLog, ligne, places.finDate);
    Champ(s, hit.Hote);
    Champ(s, hit.Page);
    Champ(s, hit.Statut);
    std::string tampon;
    Champ(s, OrigineEntiere(ligne, places, hit, tampon));
    Champ(s, hit.Navigateur);
    Champ(s, preparee.image ? "image" : (preparee.download ? "download" : "page"));
    // The search words the keywords table keeps: those of a referrer that is counted.
    const std::string_view origine = hit.Origine;
    const bool compte =
        !origine.empty() && origine != "-" && (exclu.empty() || !origine.starts_with(exclu));
    if (compte && !hit.Keywords.empty()) {
        Champ(s, MotsClesAffiches(hit.Keywords));
    } else {
        s += ',';
    }
    s += "\r\n";
}

FichierHits::FichierHits(const std::string& chemin, const Base& base)
    : fichier_(chemin, chemin.ends_with(".gz") ? FichierAtomique::Compression::Gzip
                                               : FichierAtomique::Compression::Aucune) {
    if (!base.ListeOptions.Vide()) {
        exclu_ = base.ListeOptions[0];
    }
    fichier_.Ecrit(kColonnesHits);
    fichier_.Ecrit("\r\n");
    marque_ = fichier_.Marque();
}

void FichierHits::LigneComptee(std::string_view ligne, int nombreChamps,
                               const LignePreparee& preparee) {
    ligne_.clear();
    AjouteRangeeHits(ligne_, ligne, nombreChamps, preparee, exclu_);
    fichier_.Ecrit(ligne_);
    ++rangees_;
}

void FichierHits::DebutJournal() {
    marque_ = fichier_.Marque();
    rangeesMarque_ = rangees_;
}

void FichierHits::AnnuleJournal() {
    fichier_.RevientA(marque_);
    rangees_ = rangeesMarque_;
}

void FichierHits::Prepare() {
    fichier_.Prepare();
}

void FichierHits::Termine() {
    fichier_.Termine();
}

} // namespace sillage
