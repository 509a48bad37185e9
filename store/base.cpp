#include "store/base.h"

#include "store/agents.h"
#include "store/catalogue.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/fichiers.h"
#include "store/options_robots.h"
#include "store/periodes.h"
#include "store/registre.h"
#include "store/transaction.h"

#include <algorithm>
#include <cerrno>
#include <future>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

using namespace catalogue;

namespace {

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

std::optional<Base::FichierLu> Base::LitFichierBase(std::string_view nom) const {
    return LitFichierDe(CheminFichier(nom), proprietaire_);
}

std::optional<Base::FichierLu> Base::LitFichierDe(const std::string& chemin,
                                                  const Proprietaire& proprietaire) {
    struct stat st;
    const int fd = OuvreFichierBase(chemin, proprietaire, st);
    if (fd < 0) {
        return std::nullopt;
    }
    FichierLu lu;
    lu.crc = lu.table.ChargeDescripteur(fd, chemin, st);
    lu.taille = static_cast<std::int64_t>(st.st_size);
    return lu;
}

bool Base::Garde(std::string_view nom, std::optional<FichierLu> lu, Table& table) {
    if (!lu) {
        return false;
    }
    table = std::move(lu->table);
    lus_[std::string(nom)] = {std::string(nom), lu->taille, lu->crc};
    return true;
}

// Loads the file nom of the store into table; false when it is absent.
bool Base::ChargeSiPresent(std::string_view nom, Table& table) {
    return Garde(nom, LitFichierBase(nom), table);
}

void Base::ChargeTables() {
    // The pairs of hosts and pages are most of the bytes of any store: they are read on a thread
    // of their own while the other tables are read here, and taken in their turn, so that a
    // failure is told for the first file in the order of loading, as when they are read one by
    // one, and the tables after it stay empty.
    auto paires = std::async(std::launch::async, [this] { return LitFichierBase("lanp.lst"); });
    for (std::string_view fichier : kOrdreChargement) {
        ChargeOuSeme(Entree(fichier),
                     fichier == "lanp.lst" ? paires.get() : LitFichierBase(fichier));
    }
}

void Base::ChargeOuSeme(const EntreeCatalogue& e, std::optional<FichierLu> lu) {
    Table& table = this->*e.table;
    if (!Garde(e.fichier, std::move(lu), table)) {
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

void Base::InitListes(bool accepteModifications,
                      const std::vector<std::string>& periodesProbables) {
    LibereListes();
    periodes_.clear();
    precharges_.clear();
    indexPerimes_ = true;
    lus_.clear();
    proprietaire_ = ProprietaireSiExiste(repertoire_);
    PrechargePeriodes(periodesProbables);
    ChargeTables();
    // The files beside them, read last: a store made before them has no such file.
    for (const Annexe& a : kAnnexes) {
        ChargeSiPresent(a.fichier, this->*a.table);
    }
    LitManifesteDuDisque();
    VerifieManifeste(*this, "", accepteModifications);
    // After the manifest: a register damaged since the last save is told as such first.
    VerifieRegistre(ListeRegistre, CheminFichier(kFichierRegistre));
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
        transaction.RemplaceEnFond(relatif, table);
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
