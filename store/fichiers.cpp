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
        LeveErreurOuverture(chemin);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        LeveErreurOuverture(chemin);
    }
    taille = static_cast<std::int64_t>(st.st_size);
    return fd;
}

void LitJusquAuBout(int fd, const std::string& chemin, std::int64_t taille, Tampon& octets,
                    bool grand) {
    const auto attendu = static_cast<std::size_t>(taille);
    if (grand) {
        octets.ReserveGrand(attendu);
    }
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
            ::close(fd);
            LeveErreurOuverture(chemin);
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
    LitJusquAuBout(fd, chemin, taille, octets, false);
    return std::string(octets.data() ? octets.data() : "", octets.size());
}

namespace {

bool EcritTout(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t e = ::write(fd, p, n);
        if (e < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += e;
        n -= static_cast<std::size_t>(e);
    }
    return true;
}

bool EcritTable(int fd, const Table& table) {
    constexpr std::size_t kTampon = 1 << 20;
    std::string tampon;
    tampon.reserve(kTampon + 4096);
    for (std::size_t i = 0; i < table.Count(); ++i) {
        const std::string_view ligne = table[i];
        if (ligne.size() >= kTampon) {
            if (!EcritTout(fd, tampon.data(), tampon.size()) ||
                !EcritTout(fd, ligne.data(), ligne.size())) {
                return false;
            }
            tampon.assign("\r\n");
            continue;
        }
        tampon.append(ligne);
        tampon.append("\r\n");
        if (tampon.size() >= kTampon) {
            if (!EcritTout(fd, tampon.data(), tampon.size())) {
                return false;
            }
            tampon.clear();
        }
    }
    return EcritTout(fd, tampon.data(), tampon.size());
}

// Permission bits for a new table file: those of the file it replaces, else the usual ones.
mode_t ModeVoulu(const std::string& chemin) {
    struct stat st;
    if (::stat(chemin.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t masque = ::umask(022);
    ::umask(masque);
    return 0666 & ~masque;
}

std::string Dossier(const std::string& chemin) {
    const std::size_t p = chemin.find_last_of('/');
    return p == std::string::npos ? std::string(".") : chemin.substr(0, p + 1);
}

} // namespace

void EcritFichiersAtomique(const std::vector<FichierAEcrire>& fichiers) {
    // A final name held by something that is not a regular file (a directory, say) could not be
    // replaced: refuse before writing anything.
    for (const FichierAEcrire& f : fichiers) {
        struct stat st;
        if (::lstat(f.chemin.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
            LeveErreurCreation(f.chemin);
        }
    }
    std::vector<std::string> temporaires;
    auto abandonne = [&](const std::string& chemin) {
        for (const std::string& t : temporaires) {
            ::unlink(t.c_str());
        }
        LeveErreurCreation(chemin);
    };
    for (const FichierAEcrire& f : fichiers) {
        std::string modele = f.chemin + ".XXXXXX";
        const int fd = ::mkstemp(modele.data());
        if (fd < 0) {
            abandonne(f.chemin);
        }
        temporaires.push_back(modele);
        const bool ok =
            ::fchmod(fd, ModeVoulu(f.chemin)) == 0 && EcritTable(fd, *f.table) && ::fsync(fd) == 0;
        if (::close(fd) != 0 || !ok) {
            abandonne(f.chemin);
        }
    }
    for (std::size_t i = 0; i < fichiers.size(); ++i) {
        if (::rename(temporaires[i].c_str(), fichiers[i].chemin.c_str()) != 0) {
            for (std::size_t k = i; k < temporaires.size(); ++k) {
                ::unlink(temporaires[k].c_str());
            }
            LeveErreurCreation(fichiers[i].chemin);
        }
    }
    if (!fichiers.empty()) {
        const int dir = ::open(Dossier(fichiers.front().chemin).c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
}

} // namespace sillage
