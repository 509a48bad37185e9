#include "store/fichiers.h"

#include "store/erreur.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

bool FichierExiste(const std::string& chemin) {
    struct stat st;
    return ::stat(chemin.c_str(), &st) == 0;
}

int OuvreFichierRegulier(const std::string& chemin, std::int64_t& taille) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        LeveErreurOuverture(chemin, RaisonSysteme(errno, chemin));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int erreur = errno;
        ::close(fd);
        LeveErreurOuverture(chemin, RaisonSysteme(erreur, chemin));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        LeveErreurOuverture(chemin, RaisonPasFichier(st.st_mode));
    }
    taille = static_cast<std::int64_t>(st.st_size);
    return fd;
}

void LitJusquAuBout(int fd, const std::string& chemin, std::int64_t taille, Tampon& octets) {
    // One byte more than the file holds: the read that finds its end needs no growth.
    const auto attendu = static_cast<std::size_t>(taille) + 1;
    octets.resize(attendu);
    std::size_t lus = 0;
    for (;;) {
        if (lus == octets.size()) {
            // The file may have grown since it was opened: read on to its end.
            octets.resize(octets.size() + 65536);
        }
        const ssize_t n = ::read(fd, octets.data() + lus, octets.size() - lus);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int erreur = errno;
            ::close(fd);
            LeveErreurOuverture(chemin, RaisonSysteme(erreur, chemin));
        }
        if (n == 0) {
            break;
        }
        lus += static_cast<std::size_t>(n);
    }
    ::close(fd);
    octets.resize(lus);
}

std::string LitFichierEntier(const std::string& chemin) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    Tampon octets;
    LitJusquAuBout(fd, chemin, taille, octets);
    return std::string(octets.data() ? octets.data() : "", octets.size());
}

} // namespace sillage
