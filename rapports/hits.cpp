#include "rapports/hits.h"

#include "import/lecture/ligne_log.h"
#include "rapports/csv.h"
#include "store/base.h"
#include "store/date.h"
#include "store/date_compacte.h"
#include "visiteurs/classificateur.h"
#include "vues/texte_affiche.h"

#include <algorithm>
#include <cstdio>

namespace sillage {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kTailleLot = 4 << 20; // 4 MiB of lines handed to the thread at a time
constexpr std::size_t kLotsEnAttente = 3;   // lots waiting for it at most

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
    DateCompacte compacte = 0;
    char t[32];
    if (CompacteDate(dateLog, compacte)) {
        // dd/Mon/yyyy:hh:mm:ss, checked: its pieces put in ISO order.
        const int mois = MoisVersNumero(dateLog.substr(3, 3));
        const char iso[19] = {dateLog[7],
                              dateLog[8],
                              dateLog[9],
                              dateLog[10],
                              '-',
                              static_cast<char>('0' + mois / 10),
                              static_cast<char>('0' + mois % 10),
                              '-',
                              dateLog[0],
                              dateLog[1],
                              'T',
                              dateLog[12],
                              dateLog[13],
                              ':',
                              dateLog[15],
                              dateLog[16],
                              ':',
                              dateLog[18],
                              dateLog[19]};
        s.append(iso, sizeof iso);
    } else {
        const RDate d = LitDate(dateLog); // a counted line's date reads
        std::snprintf(t, sizeof t, "%04d-%02u-%02uT%02u:%02u:%02u", static_cast<int>(d.Annee),
                      d.Mois, d.Jour, d.Heure, d.Minute, d.Seconde);
        s += t;
    }
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

// Appends a field: most are ASCII, which one pass over them tells, with what to quote (an agent's
// commas); other bytes are shown as the window shows them first, in texte (kept from field to
// field).
void Champ(std::string& s, std::string_view octets, std::string& texte) {
    s += ',';
    // Without a branch, so that the compiler reads many bytes at a time.
    unsigned haut = 0, guillemets = 0;
    for (char c : octets) {
        haut |= static_cast<unsigned char>(c);
        guillemets |= static_cast<unsigned>(c == '"') | static_cast<unsigned>(c == ',') |
                      static_cast<unsigned>(c == '\r') | static_cast<unsigned>(c == '\n');
    }
    if (haut >= 0x80) {
        texte.clear();
        AjouteTexteAffiche(texte, octets);
        octets = texte;
    }
    if (guillemets == 0) {
        s.append(octets);
        return;
    }
    s += '"';
    for (std::size_t q = octets.find('"'); q != npos; q = octets.find('"')) {
        s.append(octets.substr(0, q + 1)).append(1, '"');
        octets.remove_prefix(q + 1);
    }
    s.append(octets).append(1, '"');
}

} // namespace

void AjouteRangeeHits(std::string& s, std::string_view ligne, int nombreChamps,
                      const RHitsVues& hit, std::string_view exclu, TamponsHits& tampons,
                      int robot) {
    const Places places = PlacesBrutes(ligne, nombreChamps, hit);
    // Digits, signs, colons and a T: never quoted.
    AjouteHorodatage(s, hit.DateLog, ligne, places.finDate);
    Champ(s, hit.Hote, tampons.texte);
    Champ(s, hit.Page, tampons.texte);
    Champ(s, hit.Statut, tampons.texte);
    Champ(s, OrigineEntiere(ligne, places, hit, tampons.origine), tampons.texte);
    Champ(s, hit.Navigateur, tampons.texte);
    // As the engine classifies the path (PrepareLigne).
    s += EstImage(hit.Page) ? ",image" : (EstDownload(hit.Page) ? ",download" : ",page");
    // The search words the keywords table keeps: those of a referrer that is counted.
    const std::string_view origine = hit.Origine;
    const bool compte =
        !origine.empty() && origine != "-" && (exclu.empty() || !origine.starts_with(exclu));
    if (compte && !hit.Keywords.empty()) {
        Champ(s, MotsClesAffiches(hit.Keywords), tampons.texte);
    } else {
        s += ',';
    }
    if (robot >= 0) {
        s += robot ? ",true" : ",false";
    }
    s += "\r\n";
}

FichierHits::FichierHits(const std::string& chemin, const Base& base, Classificateur* classement)
    : fichier_(chemin, chemin.ends_with(".gz") ? FichierAtomique::Compression::Gzip
                                               : FichierAtomique::Compression::Aucune),
      classement_(classement) {
    if (!base.ListeOptions.Vide()) {
        exclu_ = base.ListeOptions[0];
    }
    fichier_.Ecrit(kColonnesHits);
    fichier_.Ecrit(classement_ != nullptr ? ",sillage.robot\r\n" : "\r\n");
    marque_ = fichier_.Marque();
    courant_.lignes.reserve(kTailleLot + 4096);
    fil_ = std::thread([this] { Boucle(); });
}

FichierHits::~FichierHits() {
    {
        std::lock_guard<std::mutex> l(verrou_);
        arret_ = true;
    }
    change_.notify_all();
    fil_.join();
}

void FichierHits::LigneComptee(std::string_view ligne, int nombreChamps, const LignePreparee&) {
    // The thread cuts the line again, as the engine cut it: only its bytes travel.
    if (nombreChamps != courant_.nombreChamps && !courant_.lignes.empty()) {
        Envoie();
    }
    courant_.nombreChamps = nombreChamps;
    courant_.lignes.append(ligne).push_back('\n');
    ++rangees_;
    if (courant_.lignes.size() >= kTailleLot) {
        Envoie();
    }
}

void FichierHits::Envoie() {
    std::unique_lock<std::mutex> l(verrou_);
    if (erreur_) {
        std::rethrow_exception(erreur_);
    }
    // A few lots ahead at most: the memory stays small whatever the log.
    change_.wait(l, [this] { return envoyes_.size() < kLotsEnAttente; });
    envoyes_.push_back(std::move(courant_));
    courant_ = Lot();
    if (!libres_.empty()) {
        courant_ = std::move(libres_.back());
        libres_.pop_back();
        courant_.lignes.clear();
    }
    l.unlock();
    change_.notify_all();
}

void FichierHits::Attend() {
    if (!courant_.lignes.empty()) {
        Envoie();
    }
    std::unique_lock<std::mutex> l(verrou_);
    change_.wait(l, [this] { return envoyes_.empty() && !occupe_; });
    if (erreur_) {
        std::rethrow_exception(erreur_);
    }
}

void FichierHits::Boucle() {
    std::unique_lock<std::mutex> l(verrou_);
    for (;;) {
        change_.wait(l, [this] { return arret_ || !envoyes_.empty(); });
        if (envoyes_.empty()) {
            return; // stopped, every lot written
        }
        Lot lot = std::move(envoyes_.front());
        envoyes_.pop_front();
        occupe_ = true;
        l.unlock();
        change_.notify_all();
        std::exception_ptr erreur;
        try {
            Ecrit(lot);
        } catch (...) {
            erreur = std::current_exception();
        }
        l.lock();
        occupe_ = false;
        if (erreur && !erreur_) {
            erreur_ = erreur;
        }
        if (erreur_) {
            envoyes_.clear(); // nothing more is written
        }
        libres_.push_back(std::move(lot));
        change_.notify_all();
    }
}

void FichierHits::Ecrit(Lot& lot) {
    RHitsVues hit;
    std::string motsCles, echappement, rangees;
    TamponsHits tampons;
    rangees.reserve(lot.lignes.size() + lot.lignes.size() / 4);
    std::string_view reste = lot.lignes;
    for (std::size_t fin = reste.find('\n'); fin != npos; fin = reste.find('\n')) {
        const std::string_view ligne = reste.substr(0, fin);
        DecoupeLigneLogVues(ligne, lot.nombreChamps, hit, motsCles, echappement);
        const int robot =
            classement_ != nullptr ? (classement_->Classe(hit.Navigateur).Robot ? 1 : 0) : -1;
        AjouteRangeeHits(rangees, ligne, lot.nombreChamps, hit, exclu_, tampons, robot);
        reste.remove_prefix(fin + 1);
    }
    fichier_.Ecrit(rangees);
}

void FichierHits::DebutJournal() {
    Attend();
    marque_ = fichier_.Marque();
    rangeesMarque_ = rangees_;
}

void FichierHits::AnnuleJournal() {
    Attend();
    fichier_.RevientA(marque_);
    rangees_ = rangeesMarque_;
}

void FichierHits::Prepare() {
    Attend();
    fichier_.Prepare();
}

void FichierHits::Termine() {
    Attend();
    fichier_.Termine();
}

} // namespace sillage
