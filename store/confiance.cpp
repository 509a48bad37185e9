#include "store/confiance.h"

#include "store/erreur.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace sillage {

namespace {

// True when the group gid is the own group of the user uid, with no other member: the usual
// private group, which lets nobody else write.
bool GroupePrive(uid_t uid, gid_t gid) {
    std::vector<char> tampon(16384);
    passwd pw{};
    passwd* trouve = nullptr;
    if (::getpwuid_r(uid, &pw, tampon.data(), tampon.size(), &trouve) != 0 || trouve == nullptr ||
        pw.pw_gid != gid) {
        return false;
    }
    const std::string nom = pw.pw_name;
    group gr{};
    group* g = nullptr;
    if (::getgrgid_r(gid, &gr, tampon.data(), tampon.size(), &g) != 0 || g == nullptr) {
        return false;
    }
    if (nom != gr.gr_name) {
        return false;
    }
    for (char** membre = gr.gr_mem; membre && *membre; ++membre) {
        if (nom != *membre) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string NomUtilisateur(uid_t uid) {
    std::vector<char> tampon(16384);
    passwd pw{};
    passwd* trouve = nullptr;
    if (::getpwuid_r(uid, &pw, tampon.data(), tampon.size(), &trouve) == 0 && trouve != nullptr) {
        return pw.pw_name;
    }
    return "UID " + std::to_string(uid);
}

void LeveErreurDossier(const std::string& dossier, int erreur) {
    std::string nom = dossier;
    while (nom.size() > 1 && nom.back() == '/') {
        nom.pop_back();
    }
    LeveErreurOuverture(nom, erreur == ENOENT    ? "répertoire introuvable"
                             : erreur == ENOTDIR ? "ce n'est pas un répertoire"
                                                 : RaisonSysteme(erreur));
}

Proprietaire VerifieDossierPrive(const std::string& dossier) {
    struct stat st;
    if (::stat(dossier.c_str(), &st) != 0) {
        LeveErreurDossier(dossier, errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        LeveErreurDossier(dossier, ENOTDIR);
    }
    const uid_t moi = ::geteuid();
    // Root may work in any user's store (what it writes there becomes that user's).
    if (moi != 0 && st.st_uid != moi && st.st_uid != 0) {
        throw ErreurSillage("Le répertoire " + dossier + " appartient à un autre utilisateur (" +
                            NomUtilisateur(st.st_uid) +
                            ") : Sillage n'y lit et n'y écrit rien. Choisissez un répertoire "
                            "à vous (--dir).");
    }
    const bool autres = (st.st_mode & S_IWOTH) != 0;
    const bool groupe = (st.st_mode & S_IWGRP) != 0 && !GroupePrive(st.st_uid, st.st_gid);
    if (autres || groupe) {
        throw ErreurSillage("Le répertoire " + dossier +
                            " peut être modifié par d'autres utilisateurs que son propriétaire (" +
                            NomUtilisateur(st.st_uid) +
                            ") : Sillage n'y lit et n'y écrit rien. Retirez-leur ce droit "
                            "(chmod go-w " +
                            dossier + ") ou choisissez un autre répertoire (--dir).");
    }
    return {st.st_uid, st.st_gid};
}

bool FichierDe(const struct stat& st, const Proprietaire& p) {
    return S_ISREG(st.st_mode) && st.st_uid == p.uid;
}

int OuvreFichierBase(const std::string& chemin, const Proprietaire& p, struct stat& st) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return -1;
        }
        if (errno == ELOOP) {
            throw ErreurSillage("Le fichier " + chemin +
                                " est un lien symbolique : Sillage ne suit pas un lien à la "
                                "place d'un fichier des tables. Remplacez le lien par le "
                                "fichier lui-même.");
        }
        LeveErreurOuverture(chemin, RaisonSysteme(errno));
    }
    if (::fstat(fd, &st) != 0) {
        const int erreur = errno;
        ::close(fd);
        LeveErreurOuverture(chemin, RaisonSysteme(erreur));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        LeveErreurOuverture(chemin, RaisonPasFichier(st.st_mode));
    }
    if (st.st_uid != p.uid) {
        ::close(fd);
        throw ErreurSillage("Le fichier " + chemin + " appartient à " + NomUtilisateur(st.st_uid) +
                            ", pas au propriétaire des tables (" + NomUtilisateur(p.uid) +
                            ") : Sillage ne le lit pas. S'il vient bien de vos tables, rendez-le "
                            "à leur propriétaire (chown " +
                            NomUtilisateur(p.uid) + " " + chemin + ").");
    }
    return fd;
}

void LeveFichierEtranger(const std::string& chemin) {
    throw ErreurSillage("Le fichier " + chemin +
                        " n'est pas un fichier ordinaire du propriétaire des tables : Sillage ne "
                        "l'exécute ni ne le supprime. Vérifiez d'où il vient, puis supprimez-le.");
}

} // namespace sillage
