// The system's writes: large blocks go past the page cache when memory and offset allow it, the
// rest through it, and the file always holds every byte in order; large reads past it when the
// file is not in it.
#include "store/disque.h"
#include "store/fichiers.h"
#include "store/memoire.h"
#include "store/tampon.h"
#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sillage {
namespace {

using test::Contenu;
using test::RepertoireTemporaire;

// A block of mapped (page-aligned) memory filled with a pattern that no shift leaves equal.
struct Bloc {
    explicit Bloc(std::size_t n)
        : taille(n), octets(static_cast<char*>(RealloueMemoire(nullptr, 0, n))) {
        for (std::size_t k = 0; k < n; ++k) {
            octets[k] = static_cast<char>('a' + (k * 131 + k / 4096) % 26);
        }
    }
    ~Bloc() { RealloueMemoire(octets, taille, 0); }
    Bloc(const Bloc&) = delete;
    Bloc& operator=(const Bloc&) = delete;
    std::string Texte(std::size_t debut, std::size_t n) const { return {octets + debut, n}; }
    std::size_t taille;
    char* octets;
};

// Writes the pieces one after another into a new file through the system's Disque; answers the
// file's bytes, after checking that the file's flags are as they were.
std::string EcritMorceaux(const RepertoireTemporaire& dossier, const Bloc& bloc,
                          const std::vector<std::pair<std::size_t, std::size_t>>& morceaux) {
    std::string modele = dossier.Fichier("t.XXXXXX");
    Disque& disque = Disque::Systeme();
    const int fd = disque.CreeTemporaire(modele);
    EXPECT_GE(fd, 0);
    const int drapeaux = ::fcntl(fd, F_GETFL);
    for (const auto& [debut, n] : morceaux) {
        EXPECT_TRUE(disque.Ecrit(fd, bloc.octets + debut, n)) << std::strerror(errno);
    }
    EXPECT_EQ(::fcntl(fd, F_GETFL), drapeaux);
    EXPECT_TRUE(disque.Synchronise(fd));
    EXPECT_TRUE(disque.Ferme(fd));
    const std::string contenu = Contenu(modele);
    ::unlink(modele.c_str());
    return contenu;
}

TEST(DisqueSysteme, EveryWriteLeavesTheBytesInOrderWhateverTheirAlignment) {
    const RepertoireTemporaire dossier;
    constexpr std::size_t kMio = std::size_t{1} << 20;
    const Bloc bloc(9 * kMio);
    const std::vector<std::vector<std::pair<std::size_t, std::size_t>>> cas = {
        {{0, 8 * kMio}, {8 * kMio, 12345}},                   // aligned blocks, then a tail
        {{0, 3 * kMio + 777}},                                // blocks and a tail in one write
        {{0, 10}, {10, 4 * kMio}},                            // an offset off the blocks
        {{1, 4 * kMio}},                                      // memory off the blocks
        {{0, kMio - 4096}, {kMio - 4096, 2 * kMio}},          // below the threshold, then above it
        {{0, 4 * kMio}, {4 * kMio, 4 * kMio}, {8 * kMio, 5}}, // as a table is written
        {{0, 100}},
    };
    for (const auto& morceaux : cas) {
        std::string attendu;
        for (const auto& [debut, n] : morceaux) {
            attendu += bloc.Texte(debut, n);
        }
        const std::string contenu = EcritMorceaux(dossier, bloc, morceaux);
        ASSERT_EQ(contenu.size(), attendu.size()) << morceaux.front().first;
        ASSERT_TRUE(contenu == attendu) << morceaux.front().first << " " << morceaux.front().second;
    }
}

TEST(DisqueSysteme, AFailedWriteSaysWhy) {
    const Bloc bloc(2 << 20);
    errno = 0;
    EXPECT_FALSE(Disque::Systeme().Ecrit(-1, bloc.octets, bloc.taille));
    EXPECT_EQ(errno, EBADF);
    // A file opened for reading only refuses the write, directly or through the cache.
    const RepertoireTemporaire dossier;
    test::Ecrit(dossier.Fichier("f"), "x");
    const int fd = ::open(dossier.Fichier("f").c_str(), O_RDONLY | O_CLOEXEC);
    errno = 0;
    EXPECT_FALSE(Disque::Systeme().Ecrit(fd, bloc.octets, bloc.taille));
    EXPECT_EQ(errno, EBADF);
    ::close(fd);
}

// A disk that fills up in the middle of a large write, whether the file system takes the blocks
// directly or through its cache: the write fails with ENOSPC, never reports success.
TEST(DisqueSysteme, ADiskThatFillsUpFailsTheWriteWithItsReason) {
    const RepertoireTemporaire dossier;
    const std::string disque = dossier.Fichier("disque");
    ASSERT_EQ(::mkdir(disque.c_str(), 0700), 0);
    if (::mount("tmpfs", disque.c_str(), "tmpfs", 0, "size=3m") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    const Bloc bloc(6 << 20);
    for (const std::size_t n : {std::size_t{6} << 20, (std::size_t{6} << 20) - 5}) {
        std::string modele = disque + "/t.XXXXXX";
        const int fd = Disque::Systeme().CreeTemporaire(modele);
        ASSERT_GE(fd, 0);
        errno = 0;
        EXPECT_FALSE(Disque::Systeme().Ecrit(fd, bloc.octets, n));
        EXPECT_EQ(errno, ENOSPC);
        Disque::Systeme().Ferme(fd);
        ::unlink(modele.c_str());
    }
    // Room enough again: the same write holds every byte.
    std::string modele = disque + "/t.XXXXXX";
    const int fd = Disque::Systeme().CreeTemporaire(modele);
    EXPECT_TRUE(Disque::Systeme().Ecrit(fd, bloc.octets, (std::size_t{2} << 20) + 3));
    Disque::Systeme().Ferme(fd);
    EXPECT_TRUE(Contenu(modele) == bloc.Texte(0, (std::size_t{2} << 20) + 3));
    ::unlink(modele.c_str());
    ::umount(disque.c_str());
}

// True when the first block of the file at chemin is in the page cache (asked without reading
// it, which would bring it there).
bool EnCache(const std::string& chemin) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    void* page = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
    unsigned char present = 0;
    EXPECT_EQ(::mincore(page, 4096, &present), 0);
    ::munmap(page, 4096);
    ::close(fd);
    return (present & 1) != 0;
}

// The file at chemin written and dropped from the page cache; false when the cache keeps it (a
// file system in memory).
bool EcritHorsCache(const std::string& chemin, const std::string& octets) {
    test::Ecrit(chemin, octets);
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    ::fsync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
    return !EnCache(chemin);
}

// True when the file system of chemin reads it from the device (O_DIRECT into aligned memory).
bool LectureDirectePossible(const std::string& chemin) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const Bloc bloc(4096);
    const bool lu = ::read(fd, bloc.octets, 4096) == 4096;
    ::close(fd);
    return lu;
}

std::string LitTout(const std::string& chemin) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    Tampon octets;
    LitJusquAuBout(fd, chemin, taille, octets);
    return {octets.data() ? octets.data() : "", octets.size()};
}

// A large file not in the page cache is read from the device when asked, and stays out of the
// cache; every size around the blocks and the threshold reads whole; a file in the cache, or
// with the reading past it not asked for, is read through the cache.
TEST(LectureHorsCache, AFileNotInTheCacheIsReadWholeFromTheDevice) {
    struct Remet {
        ~Remet() { LitHorsCacheSiAbsent(false); }
    } remet;
    RepertoireTemporaire dossier;
    const std::string chemin = dossier.Fichier("table.lst");
    const Bloc bloc((std::size_t{3} << 20) + 8192);
    constexpr std::size_t kMio = std::size_t{1} << 20;
    for (const std::size_t taille :
         {kMio - 1, kMio, kMio + 1, kMio + 4095, kMio + 4096, 2 * kMio - 1, 3 * kMio + 123}) {
        SCOPED_TRACE(taille);
        const std::string octets = bloc.Texte(7, taille);
        LitHorsCacheSiAbsent(true);
        const bool horsCache = EcritHorsCache(chemin, octets) && LectureDirectePossible(chemin);
        EcritHorsCache(chemin, octets); // (the probe may have cached its block)
        EXPECT_TRUE(LitTout(chemin) == octets);
        if (horsCache && taille >= kMio) {
            EXPECT_FALSE(EnCache(chemin)); // read past the cache
        }
        EXPECT_TRUE(LitTout(chemin) == octets);

        LitHorsCacheSiAbsent(false);
        if (EcritHorsCache(chemin, octets)) {
            EXPECT_TRUE(LitTout(chemin) == octets);
            EXPECT_TRUE(EnCache(chemin));
        }
    }
}

} // namespace
} // namespace sillage
