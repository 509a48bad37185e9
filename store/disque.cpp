#include "store/disque.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace sillage {

int Disque::CreeTemporaire(std::string& modele) {
    return ::mkostemp(modele.data(), O_CLOEXEC);
}

bool Disque::Ecrit(int fd, const char* octets, std::size_t n) {
    while (n > 0) {
        const ssize_t e = ::write(fd, octets, n);
        if (e < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        octets += e;
        n -= static_cast<std::size_t>(e);
    }
    return true;
}

bool Disque::Synchronise(int fd) {
    return ::fsync(fd) == 0;
}

bool Disque::Ferme(int fd) {
    return ::close(fd) == 0;
}

bool Disque::Renomme(const std::string& de, const std::string& vers) {
    return ::rename(de.c_str(), vers.c_str()) == 0;
}

bool Disque::Lie(const std::string& de, const std::string& vers) {
    return ::link(de.c_str(), vers.c_str()) == 0;
}

bool Disque::Supprime(const std::string& chemin) {
    return ::unlink(chemin.c_str()) == 0;
}

bool Disque::SynchroniseDossier(const std::string& dossier) {
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool Disque::Etat(const std::string& chemin, struct stat& st) {
    return ::lstat(chemin.c_str(), &st) == 0;
}

bool Disque::FixeDroits(int fd, mode_t mode, uid_t proprietaire, gid_t groupe) {
    if (proprietaire != static_cast<uid_t>(-1) && ::fchown(fd, proprietaire, groupe) != 0) {
        return false;
    }
    return ::fchmod(fd, mode) == 0;
}

bool Disque::LitFichier(const std::string& chemin, std::string& texte, struct stat& st) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        ok = false;
    }
    texte.clear();
    char morceau[4096];
    while (ok) {
        const ssize_t n = ::read(fd, morceau, sizeof morceau);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        texte.append(morceau, static_cast<std::size_t>(n));
    }
    const int erreur = errno;
    ::close(fd);
    errno = erreur;
    return ok;
}

bool Disque::Liste(const std::string& dossier, std::vector<std::string>& noms) {
    DIR* d = ::opendir(dossier.c_str());
    if (d == nullptr) {
        return false;
    }
    noms.clear();
    while (const dirent* e = ::readdir(d)) {
        const std::string_view nom = e->d_name;
        if (nom != "." && nom != "..") {
            noms.emplace_back(nom);
        }
    }
    ::closedir(d);
    return true;
}

bool Disque::CreeDossier(const std::string& chemin, mode_t mode, uid_t proprietaire, gid_t groupe) {
    if (::mkdir(chemin.c_str(), mode) != 0) {
        return false;
    }
    if (proprietaire == static_cast<uid_t>(-1)) {
        return true;
    }
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fchown(fd, proprietaire, groupe) == 0;
    const int erreur = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    errno = erreur;
    return ok;
}

bool Disque::SupprimeDossier(const std::string& chemin) {
    return ::rmdir(chemin.c_str()) == 0;
}

Disque& Disque::Systeme() {
    static Disque systeme;
    return systeme;
}

} // namespace sillage
