#include "store/verrou.h"

#include "store/confiance.h"
#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace sillage {

namespace {

// flock with EINTR passed over; answers 0, or the errno of the failure.
int Flock(int fd, int operation) {
    for (;;) {
        if (::flock(fd, operation) == 0) {
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

// The lock file of the store folder dossier, whose owner is p, opened for its lock: created for
// the owner alone (mode 0600), so that no other user can open it and hold the store's lock; a
// link in its place is not followed, and a file that is not a regular file of the owner is
// refused. A folder on a read-only file system, which nobody can change, needs no lock: -2.
int OuvreFichierVerrou(const std::string& dossier, const Proprietaire& p) {
    std::string fichier = dossier;
    if (fichier.empty() || fichier.back() != '/') {
        fichier += '/';
    }
    fichier += kFichierVerrou;
    const int fd = ::open(fichier.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EROFS) {
            return -2;
        }
        if (errno == ELOOP) {
            LeveFichierEtranger(fichier);
        }
        LeveErreurOuverture(fichier, RaisonSysteme(errno));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        LeveFichierEtranger(fichier);
    }
    if (st.st_uid != p.uid && p.uid != static_cast<uid_t>(-1)) {
        // Root made it just now in a store of another user: it is that user's, as the folder.
        if (::geteuid() != 0 || st.st_uid != 0 || ::fchown(fd, p.uid, p.gid) != 0) {
            ::close(fd);
            LeveFichierEtranger(fichier);
        }
    }
    return fd;
}

} // namespace

Verrou::Verrou(Verrou&& autre) noexcept : fd_(autre.fd_) {
    autre.fd_ = -1;
}

Verrou& Verrou::operator=(Verrou&& autre) noexcept {
    if (this != &autre) {
        Libere();
        fd_ = autre.fd_;
        autre.fd_ = -1;
    }
    return *this;
}

void Verrou::Libere() {
    if (fd_ >= 0) {
        ::close(fd_); // closing the last descriptor releases the flock
    }
    fd_ = -1;
}

Verrou Verrou::Prend(const std::string& dossier, std::chrono::milliseconds attente,
                     const std::function<void()>& enAttente, Proprietaire proprietaire) {
    if (proprietaire.uid == static_cast<uid_t>(-1)) {
        struct stat st;
        if (::stat(dossier.c_str(), &st) != 0) {
            LeveErreurDossier(dossier, errno);
        }
        if (!S_ISDIR(st.st_mode)) {
            LeveErreurDossier(dossier, ENOTDIR);
        }
        proprietaire = {st.st_uid, st.st_gid};
    }
    const int fd = OuvreFichierVerrou(dossier, proprietaire);
    if (fd == -2) {
        return Verrou(kSansFichier);
    }
    const int erreur = Flock(fd, LOCK_EX | LOCK_NB);
    if (erreur == 0) {
        return Verrou(fd);
    }
    if (erreur != EWOULDBLOCK) {
        ::close(fd);
        LeveErreurOuverture(dossier + "/" + std::string(kFichierVerrou), RaisonSysteme(erreur));
    }
    if (enAttente) {
        enAttente();
    }
    if (attente.count() < 0) {
        if (const int e = Flock(fd, LOCK_EX); e != 0) {
            ::close(fd);
            LeveErreurOuverture(dossier, RaisonSysteme(e));
        }
        return Verrou(fd);
    }
    const auto limite = std::chrono::steady_clock::now() + attente;
    auto pause = std::chrono::milliseconds(5);
    for (;;) {
        const auto maintenant = std::chrono::steady_clock::now();
        if (maintenant >= limite) {
            ::close(fd);
            return Verrou();
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, limite - maintenant));
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
        if (Flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return Verrou(fd);
        }
    }
}

} // namespace sillage
