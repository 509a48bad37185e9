#include "store/base.h"

#include "store/agents.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/fichiers.h"
#include "store/options_robots.h"
#include "store/periodes.h"
#include "store/registre.h"
#include "store/transaction.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

namespace {

// What names a copy kept aside of a damaged file (GardeCopies): "nom.lst.endommage-AAAAMMJJ-...".
constexpr std::string_view kSuffixeCopie = ".endommage-";

constexpr std::array<EntreeCatalogue, 14> kCatalogue = {{
    {"nom.lst", &Base::ListeNom, true},
    {"page.lst", &Base::ListePage, true},
    {"image.lst", &Base::ListeImage, true},
    {"origine.lst", &Base::ListeOrigine, true},
    {"keyword.lst", &Base::ListeKeyword, true},
    {"navigateur.lst", &Base::ListeNavigateur, true},
    {"chemin.lst", &Base::ListeChemin, true},
    {"options.lst", &Base::ListeOptions, false},
    {"lanp.lst", &Base::ListeLanp, false},
    {"lanpsearch.lst", &Base::ListeLanpSearch, false},
    {"graphheure.lst", &Base::ListeGraphHeure, false},
    {"graphmois.lst", &Base::ListeGraphMois, false},
    {"download.lst", &Base::ListeDownload, true},
    {"erreur.lst", &Base::ListeErreur, true},
}};

constexpr std::string_view kOrdreChargement[14] = {
    "nom.lst",     "page.lst",       "image.lst",      "download.lst", "erreur.lst",
    "origine.lst", "keyword.lst",    "navigateur.lst", "chemin.lst",   "options.lst",
    "lanp.lst",    "lanpsearch.lst", "graphheure.lst", "graphmois.lst"};

constexpr std::string_view kOrdreSauvegarde[14] = {
    "nom.lst",        "page.lst",       "image.lst",     "origine.lst",   "keyword.lst",
    "navigateur.lst", "chemin.lst",     "download.lst",  "erreur.lst",    "options.lst",
    "lanp.lst",       "lanpsearch.lst", "graphmois.lst", "graphheure.lst"};

// The files beside the fourteen, which a store made before them does not have: read when
// present, written once they hold a row.
struct Annexe {
    std::string_view fichier;
    Table Base::*table;
};
constexpr std::array<Annexe, 3> kAnnexes = {{
    {kFichierRegistre, &Base::ListeRegistre},
    {kFichierAgents, &Base::ListeAgents},
    {kFichierOptionsRobots, &Base::ListeOptionsRobots},
}};

// Largest field 1 of the lines that read as an integer, plus one; 0 when none does.
std::int64_t IdentSuivant(const Table& table) {
    std::int64_t suivant = 0;
    for (std::size_t i = 0; i < table.Count(); ++i) {
        std::int32_t v = 0;
        if (EssaieEntier(ExtraitChamp(table[i], 1), v)) {
            suivant = std::max<std::int64_t>(suivant, static_cast<std::int64_t>(v) + 1);
        }
    }
    return suivant;
}

// The owner of the store folder, checked private (VerifieDossierPrive); a folder that does not
// exist holds no file to trust: its tables are seeded.
Proprietaire ProprietaireSiExiste(const std::string& dossier) {
    struct stat st;
    if (::stat(dossier.c_str(), &st) != 0 && errno == ENOENT) {
        return {::geteuid(), ::getegid()};
    }
    return VerifieDossierPrive(dossier);
}

} // namespace

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

bool EstLigneCompteur(std::string_view ligne) {
    if (ligne.size() < 7 || ligne.substr(0, 3) != "\\1;" ||
        ligne.substr(ligne.size() - 3) != "\\2;") {
        return false;
    }
    std::string_view nombre = ligne.substr(3, ligne.size() - 6);
    if (!nombre.empty() && nombre[0] == '-') {
        nombre.remove_prefix(1);
    }
    return !nombre.empty() &&
           std::all_of(nombre.begin(), nombre.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Base::Base(std::string repertoire) {
    FixeRepertoire(std::move(repertoire));
}

void Base::FixeRepertoire(std::string repertoire) {
    if (repertoire.empty() || repertoire.back() != '/') {
        repertoire += '/';
    }
    repertoire_ = std::move(repertoire);
}

std::string Base::CheminFichier(std::string_view fichier) const {
    return repertoire_ + std::string(fichier);
}

const std::array<EntreeCatalogue, 14>& Base::Catalogue() {
    return kCatalogue;
}

const EntreeCatalogue& Base::Entree(std::string_view fichier) const {
    return *std::find_if(kCatalogue.begin(), kCatalogue.end(),
                         [&](const EntreeCatalogue& e) { return e.fichier == fichier; });
}

// Loads the file nom of the store into table; false when it is absent.
bool Base::ChargeSiPresent(std::string_view nom, Table& table) {
    const std::string chemin = CheminFichier(nom);
    struct stat st;
    const int fd = OuvreFichierBase(chemin, proprietaire_, st);
    if (fd < 0) {
        return false;
    }
    const std::uint32_t crc = table.ChargeDescripteur(fd, chemin, st);
    lus_[std::string(nom)] = {std::string(nom), static_cast<std::int64_t>(st.st_size), crc};
    return true;
}

void Base::ChargeOuSeme(const EntreeCatalogue& e) {
    Table& table = this->*e.table;
    if (!ChargeSiPresent(e.fichier, table)) {
        table.Efface();
        if (e.cle) {
            table.Ajoute(kGraine);
        } else if (e.table == &Base::ListeOptions) {
            table.Ajoute(kOptionParDefaut);
        }
        return;
    }
    if (e.cle && (table.Vide() || !EstLigneCompteur(table.Derniere()))) {
        // A damaged keyed table gets the counter row it lacks, with an id no row has taken.
        std::string compteur;
        AjouteLigneCompteur(compteur, IdentSuivant(table));
        table.Ajoute(compteur);
    } else if (e.table == &Base::ListeOptions && table.Vide()) {
        table.Ajoute(kOptionParDefaut);
    }
}

void Base::InitListes(bool accepteModifications) {
    LibereListes();
    periodes_.clear();
    indexPerimes_ = true;
    lus_.clear();
    proprietaire_ = ProprietaireSiExiste(repertoire_);
    for (std::string_view fichier : kOrdreChargement) {
        ChargeOuSeme(Entree(fichier));
    }
    // The files beside them, read last: a store made before them has no such file.
    for (const Annexe& a : kAnnexes) {
        ChargeSiPresent(a.fichier, this->*a.table);
    }
    LitManifesteDuDisque();
    VerifieManifeste(*this, "", accepteModifications);
    // After the manifest: a register damaged since the last save is told as such first.
    VerifieRegistre(ListeRegistre, CheminFichier(kFichierRegistre));
}

void Base::LitManifesteDuDisque() {
    manifeste_.clear();
    manifesteIllisible_ = false;
    Table table;
    if (!ChargeSiPresent(kFichierManifeste, table)) {
        return; // a store saved before manifests: it gets one at its next save
    }
    lus_.erase(std::string(kFichierManifeste));
    std::vector<EntreeManifeste> entrees;
    if (!LitManifeste(table, entrees)) {
        manifesteIllisible_ = true;
        return;
    }
    for (EntreeManifeste& e : entrees) {
        const std::string nom = e.Nom;
        manifeste_[nom] = std::move(e);
    }
}

void Base::VerifieManifeste(const Base& base, const std::string& prefixe, bool accepte) {
    if (!prefixe.empty()) {
        // A period read long after the store (the window reads them when they are first shown)
        // is checked against the manifest on the disk now: another program may have saved
        // since, and the window's save then redoes its imports over what that program saved.
        LitManifesteDuDisque();
    }
    std::vector<DifferenceManifeste> differences;
    if (manifesteIllisible_ && prefixe.empty()) {
        DifferenceManifeste d;
        d.Nom = std::string(kFichierManifeste);
        d.Illisible = true;
        differences.push_back(d);
    }
    for (const auto& [nom, e] : manifeste_) {
        // The rows of the files of base: under its prefix, in its own folder.
        if (!nom.starts_with(prefixe) || nom.find('/', prefixe.size()) != std::string::npos) {
            continue;
        }
        const auto lu = base.lus_.find(std::string_view(nom).substr(prefixe.size()));
        if (lu != base.lus_.end() && lu->second.Taille == e.Taille && lu->second.Crc == e.Crc) {
            continue;
        }
        DifferenceManifeste d;
        d.Nom = nom;
        d.TailleAttendue = e.Taille;
        if (lu == base.lus_.end()) {
            d.Absent = true;
        } else {
            d.TailleTrouvee = lu->second.Taille;
            d.MemeTaille = lu->second.Taille == e.Taille;
        }
        differences.push_back(d);
    }
    if (differences.empty()) {
        return;
    }
    if (!accepte) {
        throw ErreurManifeste(MessageDifferences(repertoire_, differences), differences);
    }
    EnregistreManifeste(prefixe.empty() ? EntreesManifeste() : EntreesAvecPeriode(base, prefixe));
}

std::vector<EntreeManifeste> Base::EntreesAvecPeriode(const Base& periode,
                                                      const std::string& prefixe) const {
    std::vector<EntreeManifeste> entrees;
    for (const auto& [nom, e] : manifeste_) {
        if (!nom.starts_with(prefixe)) {
            entrees.push_back(e);
        }
    }
    for (const auto& [nom, e] : periode.lus_) {
        entrees.push_back({prefixe + nom, e.Taille, e.Crc});
    }
    return entrees;
}

void Base::EnregistreManifeste(const std::vector<EntreeManifeste>& entrees) {
    Transaction transaction(repertoire_, *disque_, proprietaire_);
    transaction.Remplace(kFichierManifeste, EcritManifeste(entrees));
    transaction.Valide();
    manifeste_.clear();
    manifesteIllisible_ = false;
    for (const EntreeManifeste& e : entrees) {
        manifeste_[e.Nom] = e;
    }
}

std::vector<EntreeManifeste> Base::EntreesManifeste() const {
    std::vector<EntreeManifeste> entrees;
    for (const auto& [nom, e] : lus_) {
        entrees.push_back(e);
    }
    for (const auto& [periode, base] : periodes_) {
        const std::string prefixe = DossierPeriode(periode);
        for (const auto& [nom, e] : base->lus_) {
            entrees.push_back({prefixe + nom, e.Taille, e.Crc});
        }
    }
    // The periods not read since the load keep the rows of the last save.
    const std::string dossiers = std::string(kDossierPeriodes) + "/";
    for (const auto& [nom, e] : manifeste_) {
        if (!nom.starts_with(dossiers)) {
            continue;
        }
        const std::size_t barre = nom.find('/', dossiers.size());
        const std::string periode = nom.substr(dossiers.size(), barre - dossiers.size());
        if (barre != std::string::npos && periodes_.count(periode) == 0) {
            entrees.push_back(e);
        }
    }
    return entrees;
}

void Base::SauveListes() {
    if (estPeriode_) {
        throw std::logic_error("the tables of a period are saved with those of its store");
    }
    Transaction transaction(repertoire_, *disque_, proprietaire_);
    // Each file written, or left as it is, with its row of the manifest.
    const auto remplace = [&](Base& base, const std::string& prefixe, std::string_view nom,
                              const Table& table,
                              std::map<std::string, EntreeManifeste, std::less<>>& ecrits) {
        const std::string relatif = prefixe + std::string(nom);
        transaction.Remplace(relatif, table);
        const auto lu = base.lus_.find(nom);
        if (lu != base.lus_.end() && table.CopieDe(CheminFichier(relatif))) {
            ecrits[std::string(nom)] = lu->second;
        } else {
            const std::string_view octets = table.Fichier();
            ecrits[std::string(nom)] = {std::string(nom), static_cast<std::int64_t>(octets.size()),
                                        Crc32(octets)};
        }
    };
    std::map<std::string, EntreeManifeste, std::less<>> ecrits;
    for (std::string_view fichier : kOrdreSauvegarde) {
        remplace(*this, "", fichier, this->*Entree(fichier).table, ecrits);
    }
    // A store that never recorded an import keeps its fourteen files only.
    for (const Annexe& a : kAnnexes) {
        struct stat st;
        if (!(this->*a.table).Vide() || ::lstat(CheminFichier(a.fichier).c_str(), &st) == 0) {
            remplace(*this, "", a.fichier, this->*a.table, ecrits);
        }
    }
    std::map<std::string, std::map<std::string, EntreeManifeste, std::less<>>> ecritsPeriodes;
    for (auto& [periode, base] : periodes_) {
        auto& e = ecritsPeriodes[periode];
        const std::string dossier = DossierPeriode(periode);
        for (std::string_view fichier : kOrdreSauvegarde) {
            remplace(*base, dossier, fichier, (*base).*Entree(fichier).table, e);
        }
        // A period's agents, as the store's: once they hold a row.
        struct stat st;
        if (!base->ListeAgents.Vide() ||
            ::lstat(CheminFichier(dossier + std::string(kFichierAgents)).c_str(), &st) == 0) {
            remplace(*base, dossier, kFichierAgents, base->ListeAgents, e);
        }
    }
    lus_ = std::move(ecrits);
    for (auto& [periode, base] : periodes_) {
        base->lus_ = std::move(ecritsPeriodes[periode]);
    }
    const std::vector<EntreeManifeste> entrees = EntreesManifeste();
    transaction.Remplace(kFichierManifeste, EcritManifeste(entrees));
    try {
        transaction.Valide();
    } catch (...) {
        // What the disk holds is no longer known: the next save writes every file again.
        lus_.clear();
        for (auto& [periode, base] : periodes_) {
            base->lus_.clear();
        }
        throw;
    }
    manifeste_.clear();
    manifesteIllisible_ = false;
    for (const EntreeManifeste& e : entrees) {
        manifeste_[e.Nom] = e;
    }
    Modifie = 0;
    for (auto& [periode, base] : periodes_) {
        base->Modifie = 0;
    }
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
    if (VerifieDossierPeriode(nom)) {
        for (std::string_view fichier : kOrdreChargement) {
            periode->ChargeOuSeme(periode->Entree(fichier));
        }
        periode->ChargeSiPresent(kFichierAgents, periode->ListeAgents);
    } else {
        for (std::string_view fichier : kOrdreChargement) {
            periode->ChargeOuSeme(periode->Entree(fichier));
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

void Base::LibereListes() {
    for (const EntreeCatalogue& e : kCatalogue) {
        (this->*e.table).Efface();
    }
    for (const Annexe& a : kAnnexes) {
        (this->*a.table).Efface();
    }
    ListeLog.Efface();
}

void Base::ReinitialiseListes() {
    IndexImage.Efface();
    IndexNom.Efface();
    IndexOrigine.Efface();
    IndexDownload.Efface();
    IndexPage.Efface();
    LibereListes();
    Transaction transaction(repertoire_, *disque_, proprietaire_);
    for (const EntreeCatalogue& e : kCatalogue) {
        transaction.Supprime(e.fichier);
    }
    for (const Annexe& a : kAnnexes) {
        transaction.Supprime(a.fichier);
    }
    transaction.Supprime(kFichierManifeste);
    // Every period's files go in the same step; their folders, empty then, after it.
    std::vector<std::string> dossiers;
    for (const std::string& periode : Periodes()) {
        for (std::string_view fichier : NomsFichiersPeriode()) {
            transaction.Supprime(DossierPeriode(periode) + std::string(fichier));
        }
        dossiers.push_back(CheminFichier(DossierPeriode(periode)));
    }
    transaction.Valide();
    periodes_.clear();
    for (const std::string& d : dossiers) {
        disque_->SupprimeDossier(d);
    }
    disque_->SupprimeDossier(CheminFichier(kDossierPeriodes));
    InitListes();
}

Verrou Base::Verrouille(std::chrono::milliseconds attente, const std::function<void()>& enAttente) {
    proprietaire_ = VerifieDossierPrive(repertoire_);
    Verrou verrou = Verrou::Prend(repertoire_, attente, enAttente, proprietaire_);
    if (verrou.Tenu()) {
        RecupereDossier(repertoire_, EstFichierDuStore, SousDossiers(), *disque_, proprietaire_);
    }
    return verrou;
}

std::vector<std::string_view> Base::NomsFichiers() {
    std::vector<std::string_view> noms;
    for (const EntreeCatalogue& e : kCatalogue) {
        noms.push_back(e.fichier);
    }
    for (const Annexe& a : kAnnexes) {
        noms.push_back(a.fichier);
    }
    noms.push_back(kFichierManifeste);
    return noms;
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

namespace {

// Writes octets to the new file chemin (it must not exist), for the owner p alone, durable;
// false with errno set when it cannot, EEXIST when the name is taken.
bool EcritCopie(const std::string& chemin, std::string_view octets, const Proprietaire& p) {
    const int fd =
        ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    bool ok =
        ::geteuid() != 0 || p.uid == static_cast<uid_t>(-1) || ::fchown(fd, p.uid, p.gid) == 0;
    for (std::size_t fait = 0; ok && fait < octets.size();) {
        const ssize_t n = ::write(fd, octets.data() + fait, octets.size() - fait);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        fait += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    const int erreur = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(chemin.c_str());
        errno = erreur;
    }
    return ok;
}

} // namespace

std::vector<std::string> Base::GardeCopies(const std::vector<DifferenceManifeste>& differences,
                                           std::time_t quand) const {
    std::tm local{};
    localtime_r(&quand, &local);
    char horodatage[32];
    std::strftime(horodatage, sizeof horodatage, "%Y%m%d-%H%M%S", &local);
    std::vector<std::string> copies;
    for (const DifferenceManifeste& d : differences) {
        const std::string chemin = CheminFichier(d.Nom);
        struct stat st;
        const int fd = d.Absent ? -1 : OuvreFichierBase(chemin, proprietaire_, st);
        if (fd < 0) {
            continue; // nothing there to keep
        }
        Tampon octets;
        LitJusquAuBout(fd, chemin, static_cast<std::int64_t>(st.st_size), octets, false);
        const std::string_view texte(octets.data() ? octets.data() : "", octets.size());
        std::string copie = chemin + std::string(kSuffixeCopie) + horodatage;
        for (int n = 2; !EcritCopie(copie, texte, proprietaire_); ++n) {
            if (errno != EEXIST) {
                LeveErreurCreation(copie, RaisonSysteme(errno));
            }
            copie = chemin + std::string(kSuffixeCopie) + horodatage + "-" + std::to_string(n);
        }
        copies.push_back(copie);
    }
    if (!copies.empty() && !disque_->SynchroniseDossier(repertoire_)) {
        LeveErreurCreation(copies.front(), RaisonSysteme(errno));
    }
    return copies;
}

void Base::VerifieEcrivable() const {
    int fd = ::open(repertoire_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No file without a name here (a network file system): a named one, removed at once.
        std::string modele = repertoire_ + ".sillage-essai.XXXXXX";
        fd = ::mkostemp(modele.data(), O_CLOEXEC);
        if (fd >= 0) {
            ::unlink(modele.c_str());
        }
    }
    if (fd < 0) {
        std::string dossier = repertoire_;
        if (dossier.size() > 1) {
            dossier.pop_back();
        }
        throw ErreurSillage("Impossible d'écrire dans le répertoire des tables " + dossier + " : " +
                            RaisonSysteme(errno));
    }
    ::close(fd);
}

EmpreinteDisque Base::LitEmpreinte() const {
    EmpreinteDisque empreinte;
    for (std::string_view nom : NomsFichiers()) {
        struct stat st;
        if (::stat(CheminFichier(nom).c_str(), &st) != 0) {
            empreinte.valeurs.insert(empreinte.valeurs.end(), {-1, 0, 0, 0, 0, 0});
            continue;
        }
        empreinte.valeurs.insert(
            empreinte.valeurs.end(),
            {static_cast<std::int64_t>(st.st_ino), static_cast<std::int64_t>(st.st_size),
             static_cast<std::int64_t>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
             static_cast<std::int64_t>(st.st_ctim.tv_sec), st.st_ctim.tv_nsec});
    }
    return empreinte;
}

bool Base::IndexAJour() const {
    const std::array<std::uint64_t, 5> versions = {ListePage.Version(), ListeNom.Version(),
                                                   ListeImage.Version(), ListeOrigine.Version(),
                                                   ListeDownload.Version()};
    return !indexPerimes_ && versions == versionsIndex_;
}

void Base::ReconstruitIndex() {
    indexPerimes_ = false;
    versionsIndex_ = {ListePage.Version(), ListeNom.Version(), ListeImage.Version(),
                      ListeOrigine.Version(), ListeDownload.Version()};
    IndexPage.Reconstruit(ListePage);
    IndexNom.Reconstruit(ListeNom);
    IndexImage.Reconstruit(ListeImage);
    IndexOrigine.Reconstruit(ListeOrigine);
    IndexDownload.Reconstruit(ListeDownload);
}

} // namespace sillage
