// Logs that would cost without bound if their lines were held as they come: a hole of a gigabyte
// of zeros in a plain log (what a crash of the system can leave), and a gigabyte of zeros
// compressed into a megabyte. sillage-import reads each within a small memory limit, quickly,
// and stops with the line's error, or passes the line over on request.
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <unistd.h>

namespace sillage {
namespace {

using test::LanceSillageImport;
using test::LigneLog;
using test::RepertoireTemporaire;
using test::Resultat;

constexpr std::int64_t kGigaoctet = std::int64_t{1} << 30;

// The address space sillage-import may take: the tables of a small store and the reading of a
// log fit in it many times over, a line of a gigabyte does not (each thread's allocator reserves
// 64 MiB of addresses it mostly never touches: the reading's, the lists' of robots). Under
// AddressSanitizer, whose shadow memory alone is larger, the runs go without it.
std::string Limite() {
#if defined(__SANITIZE_ADDRESS__)
    return "";
#else
    return "prlimit --as=" + std::to_string(256 << 20) + " ";
#endif
}

// Runs sillage-import under the limit; answers what it said, and how long it took in seconds.
Resultat Lance(const std::string& arguments, double& secondes) {
    const auto debut = std::chrono::steady_clock::now();
    Resultat r = test::Lance(Limite() + "'" + SILLAGE_IMPORT + "' " + arguments);
    secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    return r;
}

TEST(MemoireBornee, AHoleOfZerosAndACompressionBombUnderAMemoryLimit) {
    RepertoireTemporaire dir;
    const std::string avant = LigneLog("10.0.0.1", "01/Mar/2004:10:00:00", "/a") + "\n";
    const std::string apres = LigneLog("10.0.0.1", "01/Mar/2004:10:00:01", "/b") + "\n";

    // A gigabyte that takes no room on the disk: the file grown past its end, then written on.
    const std::string trou = dir.Fichier("trou.log");
    test::Ecrit(trou, avant);
    ASSERT_EQ(::truncate(trou.c_str(), kGigaoctet), 0);
    std::ofstream(trou, std::ios::binary | std::ios::app) << apres;

    // A thousand and twenty-four members of a megabyte of zeros each, one after the other.
    const std::string membre = test::Gzip(std::string(1 << 20, '\0'));
    std::string octets = test::Gzip(avant);
    for (int i = 0; i < 1024; ++i) {
        octets += membre;
    }
    octets += test::Gzip(apres);
    const std::string bombe = dir.Fichier("bombe.log.gz");
    test::Ecrit(bombe, octets);

    for (const std::string& journal : {trou, bombe}) {
        SCOPED_TRACE(journal);
        RepertoireTemporaire store;
        double secondes = 0;
        Resultat r = Lance("--dir " + store.Chemin() + " " + journal, secondes);
        EXPECT_EQ(r.code, 1) << r.erreurs;
        EXPECT_EQ(r.erreurs,
                  "sillage-import : " + journal + " : Erreur à la lecture du fichier (ligne 2)\n");
        EXPECT_LT(secondes, 60);

        r = Lance("--verbeux --ignore-illisibles --dir " + store.Chemin() + " " + journal,
                  secondes);
        EXPECT_EQ(r.code, 0) << r.erreurs;
        EXPECT_EQ(
            r.sortie.rfind(journal + " : 1 ligne importée, dont 0 de robots (mois : 2004-03)\n" +
                               journal + " : 1 ligne illisible ignorée (première : ligne 2)\n",
                           0),
            0u)
            << r.sortie;
        EXPECT_LT(secondes, 60);
    }
}

} // namespace
} // namespace sillage
