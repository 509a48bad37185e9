#include "rapports/dossier_rapport.h"

#include "rapports/sortie.h"
#include "store/erreur.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

namespace {

constexpr std::string_view kTexteMarque =
    "Rapport de Sillage : ce dossier est remplacé en entier à chaque rapport.\n";

[[noreturn]] void Leve(const std::string& dossier, const std::string& raison) {
    throw ErreurSillage("Impossible d'écrire le rapport dans " + dossier + " : " + raison);
}

std::string SansBarreFinale(std::string chemin) {
    while (chemin.size() > 1 && chemin.back() == '/') {
        chemin.pop_back();
    }
    return chemin;
}

std::string Parent(const std::string& chemin) {
    const std::size_t barre = chemin.rfind('/');
    if (barre == std::string::npos) {
        return ".";
    }
    return barre == 0 ? "/" : chemin.substr(0, barre);
}

std::string Nom(const std::string& chemin) {
    const std::size_t barre = chemin.rfind('/');
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

// True when the folder is empty or holds the mark; errno-like code in erreur when it cannot be
// read.
bool EstDossierDeRapport(const std::string& dossier, int& erreur) {
    DIR* d = ::opendir(dossier.c_str());
    if (d == nullptr) {
        erreur = errno;
        return false;
    }
    bool vide = true, marque = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view n = e->d_name;
        if (n == "." || n == "..") {
            continue;
        }
        vide = false;
        marque = marque || n == kMarqueRapport;
    }
    ::closedir(d);
    erreur = 0;
    return vide || marque;
}

void SyncDossier(const std::string& dossier) {
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int SupprimeEntree(const char* chemin, const struct stat*, int genre, struct FTW*) {
    return (genre == FTW_DP ? ::rmdir(chemin) : ::unlink(chemin)) == 0 ? 0 : -1;
}

} // namespace

bool SupprimeArborescence(const std::string& dossier) {
    return ::nftw(dossier.c_str(), SupprimeEntree, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

DossierRapport::DossierRapport(const std::string& dossier) {
    dossier_ = SansBarreFinale(dossier);
    if (dossier_.empty()) {
        throw ErreurSillage("Aucun dossier pour le rapport.");
    }
    struct stat st;
    if (::stat(dossier_.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) {
            Leve(dossier_, "ce n'est pas un répertoire");
        }
        // A link to the folder: the folder it leads to is replaced, the link stays.
        char reel[PATH_MAX];
        if (::realpath(dossier_.c_str(), reel) == nullptr) {
            Leve(dossier_, RaisonEcriture(errno));
        }
        const std::string nom = dossier_;
        dossier_ = reel;
        int erreur = 0;
        if (!EstDossierDeRapport(dossier_, erreur)) {
            if (erreur != 0) {
                Leve(nom, RaisonEcriture(erreur));
            }
            Leve(nom, "il contient d'autres fichiers qu'un rapport de Sillage (aucun fichier " +
                          std::string(kMarqueRapport) +
                          ") ; choisissez un répertoire vide ou qui n'existe pas encore");
        }
        existe_ = true;
    } else if (errno != ENOENT) {
        Leve(dossier_, RaisonEcriture(errno));
    }
    const std::string parent = Parent(dossier_);
    if (::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        Leve(dossier_, "le répertoire " + parent + " n'existe pas");
    }
    nouveau_ = parent + "/." + Nom(dossier_) + ".nouveau-XXXXXX";
    if (::mkdtemp(nouveau_.data()) == nullptr) {
        const int erreur = errno;
        nouveau_.clear();
        Leve(dossier_, RaisonEcriture(erreur));
    }
    const mode_t masque = ::umask(0);
    ::umask(masque);
    ::chmod(nouveau_.c_str(), 0777 & ~masque);
}

DossierRapport::~DossierRapport() {
    if (!remplace_ && !nouveau_.empty()) {
        SupprimeArborescence(nouveau_);
    }
}

std::string DossierRapport::Fichier(std::string_view nom) const {
    return nouveau_ + "/" + std::string(nom);
}

void DossierRapport::Remplace() {
    {
        FichierAtomique marque(Fichier(kMarqueRapport));
        marque.Ecrit(kTexteMarque);
        marque.Termine();
    }
    SyncDossier(nouveau_);
    const std::string parent = Parent(dossier_);
    if (!existe_) {
        if (::rename(nouveau_.c_str(), dossier_.c_str()) != 0) {
            Leve(dossier_, RaisonEcriture(errno));
        }
        remplace_ = true;
        SyncDossier(parent);
        return;
    }
    // The two folders exchanged in one step; where the file system cannot, the old one is moved
    // aside just before the new one takes its place.
    std::string ancien = nouveau_;
    if (::renameat2(AT_FDCWD, nouveau_.c_str(), AT_FDCWD, dossier_.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            Leve(dossier_, RaisonEcriture(errno));
        }
        ancien = parent + "/." + Nom(dossier_) + ".ancien-XXXXXX";
        if (::mkdtemp(ancien.data()) == nullptr ||
            ::rename(dossier_.c_str(), ancien.c_str()) != 0) {
            const int erreur = errno;
            ::rmdir(ancien.c_str());
            Leve(dossier_, RaisonEcriture(erreur));
        }
        if (::rename(nouveau_.c_str(), dossier_.c_str()) != 0) {
            const int erreur = errno;
            ::rename(ancien.c_str(), dossier_.c_str()); // the old report back
            Leve(dossier_, RaisonEcriture(erreur));
        }
    }
    remplace_ = true;
    SyncDossier(parent);
    SupprimeArborescence(ancien);
}

} // namespace sillage
