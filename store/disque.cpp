#include "store/disque.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace sillage {

int Disque::CreeTemporaire(std::string& modele) {
    return ::mkostemp(modele.data(), O_CLOEXEC);
}

namespace {

// Blocks written past the page cache: a whole number of them, from memory and a file offset both
// aligned on them (what every device's logical block divides).
constexpr std::size_t kBlocDirect = 4096;
constexpr std::size_t kSeuilDirect = std::size_t{1} << 20;

// Writes the largest prefix of octets that can go to the device directly (a file opened without
// O_DIRECT, its page-aligned memory of 1 MiB and more): the kernel then copies nothing into its
// cache, which for a large table costs as much as the rest of a save. Answers the bytes written,
// 0 when the file system or the alignment does not allow it (the caller writes them through the
// cache), or -1 with errno set when a write failed.
ssize_t EcritDirect(int fd, const char* octets, std::size_t n) {
    const std::size_t blocs = n / kBlocDirect * kBlocDirect;
    if (n < kSeuilDirect || reinterpret_cast<std::uintptr_t>(octets) % kBlocDirect != 0) {
        return 0;
    }
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    const int drapeaux = ::fcntl(fd, F_GETFL);
    if (position < 0 || position % static_cast<off_t>(kBlocDirect) != 0 || drapeaux < 0 ||
        (drapeaux & O_DIRECT) != 0 || ::fcntl(fd, F_SETFL, drapeaux | O_DIRECT) != 0) {
        return 0;
    }
    std::size_t fait = 0;
    int erreur = 0;
    while (fait < blocs) {
        const ssize_t e = ::write(fd, octets + fait, blocs - fait);
        if (e < 0 && errno == EINTR) {
            continue;
        }
        if (e < 0 && errno == EINVAL) {
            break; // refused for its alignment: the cache takes the rest
        }
        if (e <= 0) {
            erreur = e < 0 ? errno : EIO;
            break;
        }
        fait += static_cast<std::size_t>(e);
        if (fait % kBlocDirect != 0) {
            break; // a short write (a full disk) leaves the rest to the cache, which tells why
        }
    }
    if (::fcntl(fd, F_SETFL, drapeaux) != 0 && erreur == 0) {
        erreur = errno;
    }
    if (erreur != 0) {
        errno = erreur;
        return -1;
    }
    return static_cast<ssize_t>(fait);
}

} // namespace

bool Disque::Ecrit(int fd, const char* octets, std::size_t n) {
    const ssize_t direct = EcritDirect(fd, octets, n);
    if (direct < 0) {
        return false;
    }
    octets += direct;
    n -= static_cast<std::size_t>(direct);
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
