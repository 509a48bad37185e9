#include "store/disque.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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

Disque& Disque::Systeme() {
    static Disque systeme;
    return systeme;
}

} // namespace sillage
