#include "store/base.h"

#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/fichiers.h"
#include "store/periodes.h"
#include "store/registre.h"
#include "store/transaction.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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
    // The register, read last: a store made before it existed has no such file.
    ChargeSiPresent(kFichierRegistre, ListeRegistre);
    VerifieManifeste(accepteModifications);
    // After the manifest: a register damaged since the last save is told as such first.
    VerifieRegistre(ListeRegistre, CheminFichier(kFichierRegistre));
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
    struct stat st;
    if (!ListeRegistre.Vide() || ::lstat(CheminFichier(kFichierRegistre).c_str(), &st) == 0) {
        remplace(kFichierRegistre, ListeRegistre);
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
    ListeRegistre.Efface();
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
    transaction.Supprime(kFichierRegistre);
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
    noms.push_back(kFichierRegistre);
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
    std::strftime(horodatage, sizeof horodatage, ".endommage-%Y%m%d-%H%M%S", &local);
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
        std::string copie = chemin + horodatage;
        for (int n = 2; !EcritCopie(copie, texte, proprietaire_); ++n) {
            if (errno != EEXIST) {
                LeveErreurCreation(copie, RaisonSysteme(errno));
            }
            copie = chemin + horodatage + "-" + std::to_string(n);
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

void Base::ReconstruitIndex() {
    indexPerimes_ = false;
    IndexPage.Reconstruit(ListePage);
    IndexNom.Reconstruit(ListeNom);
    IndexImage.Reconstruit(ListeImage);
    IndexOrigine.Reconstruit(ListeOrigine);
    IndexDownload.Reconstruit(ListeDownload);
}

} // namespace sillage
