#include "store/base.h"

#include "store/agents.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/options_robots.h"
#include "store/periodes.h"
#include "store/registre.h"
#include "store/transaction.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

namespace {

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
    VerifieManifeste(accepteModifications);
}

void Base::VerifieManifeste(bool accepte) {
    Table table;
    if (!ChargeSiPresent(kFichierManifeste, table)) {
        return; // a store saved before manifests: it gets one at its next save
    }
    lus_.erase(std::string(kFichierManifeste));
    std::vector<EntreeManifeste> entrees;
    std::vector<DifferenceManifeste> differences;
    if (!LitManifeste(table, entrees)) {
        DifferenceManifeste d;
        d.Nom = std::string(kFichierManifeste);
        d.Illisible = true;
        differences.push_back(d);
    }
    for (const EntreeManifeste& e : entrees) {
        const auto lu = lus_.find(e.Nom);
        if (lu != lus_.end() && lu->second == e) {
            continue;
        }
        DifferenceManifeste d;
        d.Nom = e.Nom;
        d.TailleAttendue = e.Taille;
        if (lu == lus_.end()) {
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
    Transaction transaction(repertoire_, *disque_, proprietaire_);
    transaction.Remplace(kFichierManifeste, EcritManifeste(EntreesManifeste()));
    transaction.Valide();
}

std::vector<EntreeManifeste> Base::EntreesManifeste() const {
    std::vector<EntreeManifeste> entrees;
    for (const auto& [nom, e] : lus_) {
        entrees.push_back(e);
    }
    return entrees;
}

void Base::SauveListes() {
    Transaction transaction(repertoire_, *disque_, proprietaire_);
    std::map<std::string, EntreeManifeste, std::less<>> ecrits;
    const auto remplace = [&](std::string_view nom, const Table& table) {
        transaction.Remplace(nom, table);
        const auto lu = lus_.find(nom);
        if (lu != lus_.end() && table.CopieDe(CheminFichier(nom))) {
            ecrits[std::string(nom)] = lu->second; // left as it is
        } else {
            const std::string_view octets = table.Fichier();
            ecrits[std::string(nom)] = {std::string(nom), static_cast<std::int64_t>(octets.size()),
                                        Crc32(octets)};
        }
    };
    for (std::string_view fichier : kOrdreSauvegarde) {
        remplace(fichier, this->*Entree(fichier).table);
    }
    // A store that never recorded an import keeps its fourteen files only.
    for (const Annexe& a : kAnnexes) {
        struct stat st;
        if (!(this->*a.table).Vide() || ::lstat(CheminFichier(a.fichier).c_str(), &st) == 0) {
            remplace(a.fichier, this->*a.table);
        }
    }
    lus_ = std::move(ecrits);
    transaction.Remplace(kFichierManifeste, EcritManifeste(EntreesManifeste()));
    try {
        transaction.Valide();
    } catch (...) {
        lus_.clear(); // what the disk holds is no longer known: the next load reads it again
        throw;
    }
    Modifie = 0;
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
    transaction.Valide();
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

void Base::ReconstruitIndex() {
    indexPerimes_ = false;
    IndexPage.Reconstruit(ListePage);
    IndexNom.Reconstruit(ListeNom);
    IndexImage.Reconstruit(ListeImage);
    IndexOrigine.Reconstruit(ListeOrigine);
    IndexDownload.Reconstruit(ListeDownload);
}

} // namespace sillage
