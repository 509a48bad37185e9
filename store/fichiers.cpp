#include "store/fichiers.h"

#include "store/erreur.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
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

namespace {

std::atomic<bool> horsCache{false};

// Large reads that may go past the page cache: whole blocks, into page-aligned memory.
constexpr std::size_t kBlocDirect = 4096;
constexpr std::size_t kSeuilDirect = std::size_t{1} << 20;

// The system call that counts the pages of a file in the cache (Linux 6.5 and later), where the
// system's headers may not name it yet.
#ifdef __NR_cachestat
constexpr long kAppelCachestat = __NR_cachestat;
#elif defined(__x86_64__) || defined(__aarch64__)
constexpr long kAppelCachestat = 451;
#else
constexpr long kAppelCachestat = -1;
#endif

// True when less than half of fd's taille bytes are in the page cache: counted by the kernel
// without reading anything, or, where it cannot count, told by a read of the last block that
// must not wait (which may start reading that block ahead, no more).
bool HorsDuCache(int fd, std::int64_t taille) {
    struct {
        std::uint64_t debut, longueur;
    } plage = {0, static_cast<std::uint64_t>(taille)};
    struct {
        std::uint64_t enCache, sales, enEcriture, evinces, evincesRecemment;
    } compte = {};
    if (kAppelCachestat >= 0 && ::syscall(kAppelCachestat, fd, &plage, &compte, 0) == 0) {
        const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
        return compte.enCache * page < static_cast<std::uint64_t>(taille) / 2;
    }
    char octet = 0;
    struct iovec v = {&octet, 1};
    return ::preadv2(fd, &v, 1, taille - 1, RWF_NOWAIT) < 0 && errno == EAGAIN;
}

// Reads the first n bytes of fd (n a whole number of blocks, octets page-aligned) from the
// device, past the page cache. Answers the bytes read, fewer when the file system refuses or the
// file is shorter than it was (the caller reads the rest through the cache), or -1 with errno
// set on a read error. The file's flags are left as they were.
ssize_t LitDirect(int fd, char* octets, std::size_t n) {
    const int drapeaux = ::fcntl(fd, F_GETFL);
    if (drapeaux < 0 || (drapeaux & O_DIRECT) != 0 ||
        ::fcntl(fd, F_SETFL, drapeaux | O_DIRECT) != 0) {
        return 0;
    }
    std::size_t lus = 0;
    int erreur = 0;
    while (lus < n) {
        const ssize_t r = ::read(fd, octets + lus, n - lus);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0 && errno == EINVAL) {
            break; // refused for its alignment: the cache gives the rest
        }
        if (r < 0) {
            erreur = errno;
            break;
        }
        lus += static_cast<std::size_t>(r);
        if (r == 0 || lus % kBlocDirect != 0) {
            break; // the end of a file that shrank: the reads after it tell where it stands
        }
    }
    if (::fcntl(fd, F_SETFL, drapeaux) != 0 && erreur == 0) {
        erreur = errno;
    }
    if (erreur != 0) {
        errno = erreur;
        return -1;
    }
    return static_cast<ssize_t>(lus);
}

} // namespace

void LitHorsCacheSiAbsent(bool oui) {
    horsCache.store(oui, std::memory_order_relaxed);
}

void LitJusquAuBout(int fd, const std::string& chemin, std::int64_t taille, Tampon& octets) {
    // One byte more than the file holds: the read that finds its end needs no growth.
    const auto attendu = static_cast<std::size_t>(taille) + 1;
    octets.resize(attendu);
    std::size_t lus = 0;
    if (horsCache.load(std::memory_order_relaxed) && attendu > kSeuilDirect &&
        reinterpret_cast<std::uintptr_t>(octets.data()) % kBlocDirect == 0 &&
        HorsDuCache(fd, taille)) {
        const ssize_t n = LitDirect(fd, octets.data(), attendu / kBlocDirect * kBlocDirect);
        if (n < 0) {
            const int erreur = errno;
            ::close(fd);
            LeveErreurOuverture(chemin, RaisonSysteme(erreur, chemin));
        }
        lus = static_cast<std::size_t>(n);
    }
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
