#include "store/verrou.h"

#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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

// A file system that cannot lock a folder (some network ones) gets a lock file inside it.
int OuvreCible(const std::string& dossier, int& erreur) {
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        LeveErreurOuverture(dossier);
    }
    erreur = Flock(fd, LOCK_EX | LOCK_NB);
    if (erreur == 0 || erreur == EWOULDBLOCK) {
        return fd;
    }
    ::close(fd);
    std::string fichier = dossier;
    if (fichier.empty() || fichier.back() != '/') {
        fichier += '/';
    }
    fichier += "sillage.verrou";
    const int f = ::open(fichier.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (f < 0) {
        LeveErreurOuverture(fichier);
    }
    erreur = Flock(f, LOCK_EX | LOCK_NB);
    if (erreur != 0 && erreur != EWOULDBLOCK) {
        ::close(f);
        LeveErreurOuverture(fichier);
    }
    return f;
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
        fd_ = -1;
    }
}

Verrou Verrou::Prend(const std::string& dossier, std::chrono::milliseconds attente,
                     const std::function<void()>& enAttente) {
    int erreur = 0;
    const int fd = OuvreCible(dossier, erreur);
    if (erreur == 0) {
        return Verrou(fd);
    }
    if (enAttente) {
        enAttente();
    }
    if (attente.count() < 0) {
        if (Flock(fd, LOCK_EX) != 0) {
            ::close(fd);
            LeveErreurOuverture(dossier);
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
