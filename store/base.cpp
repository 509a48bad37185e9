#include "store/base.h"

#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/fichiers.h"
#include "store/registre.h"
#include "store/transaction.h"

#include <algorithm>
#include <sys/stat.h>

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

void Base::ChargeOuSeme(const EntreeCatalogue& e) {
    Table& table = this->*e.table;
    const std::string chemin = CheminFichier(e.fichier);
    if (!FichierExiste(chemin)) {
        table.Efface();
        if (e.cle) {
            table.Ajoute(kGraine);
        } else if (e.table == &Base::ListeOptions) {
            table.Ajoute(kOptionParDefaut);
        }
        return;
    }
    table.ChargeFichier(chemin, projections_);
    if (e.cle && (table.Vide() || !EstLigneCompteur(table.Derniere()))) {
        // A damaged keyed table gets the counter row it lacks, with an id no row has taken.
        std::string compteur;
        AjouteLigneCompteur(compteur, IdentSuivant(table));
        table.Ajoute(compteur);
    } else if (e.table == &Base::ListeOptions && table.Vide()) {
        table.Ajoute(kOptionParDefaut);
    }
}

void Base::InitListes() {
    LibereListes();
    indexPerimes_ = true;
    for (std::string_view fichier : kOrdreChargement) {
        ChargeOuSeme(Entree(fichier));
    }
    // The register, read last: a store made before it existed has no such file.
    const std::string registre = CheminFichier(kFichierRegistre);
    if (FichierExiste(registre)) {
        ListeRegistre.ChargeFichier(registre, projections_);
    }
}

void Base::SauveListes() {
    Transaction transaction(repertoire_, *disque_);
    for (std::string_view fichier : kOrdreSauvegarde) {
        transaction.Remplace(fichier, this->*Entree(fichier).table);
    }
    // A store that never recorded an import keeps its fourteen files only.
    if (!ListeRegistre.Vide() || FichierExiste(CheminFichier(kFichierRegistre))) {
        transaction.Remplace(kFichierRegistre, ListeRegistre);
    }
    transaction.Valide();
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
    Transaction transaction(repertoire_, *disque_);
    for (const EntreeCatalogue& e : kCatalogue) {
        transaction.Supprime(e.fichier);
    }
    transaction.Supprime(kFichierRegistre);
    transaction.Valide();
    InitListes();
}

Verrou Base::Verrouille(std::chrono::milliseconds attente, const std::function<void()>& enAttente) {
    Verrou verrou = Verrou::Prend(repertoire_, attente, enAttente);
    if (verrou.Tenu()) {
        RecupereDossier(repertoire_, NomsFichiers(), *disque_);
    }
    return verrou;
}

std::vector<std::string_view> Base::NomsFichiers() {
    std::vector<std::string_view> noms;
    for (const EntreeCatalogue& e : kCatalogue) {
        noms.push_back(e.fichier);
    }
    noms.push_back(kFichierRegistre);
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

void Base::ReconstruitIndex() {
    indexPerimes_ = false;
    IndexPage.Reconstruit(ListePage);
    IndexNom.Reconstruit(ListeNom);
    IndexImage.Reconstruit(ListeImage);
    IndexOrigine.Reconstruit(ListeOrigine);
    IndexDownload.Reconstruit(ListeDownload);
}

} // namespace sillage
