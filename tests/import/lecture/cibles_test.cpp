// The periods an import will most likely count in, guessed from the last lines of its log before
// the store is read: newest first, a few at most, nothing when the log cannot tell.
#include "import/lecture/cibles.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace sillage {
namespace {

using test::Ecrit;
using test::RepertoireTemporaire;

std::string Ligne(const std::string& date) {
    return test::LigneLog("10.0.0.1", date, "/a.html");
}

TEST(PeriodesProbables, TheYearsAndMonthsOfTheLastLinesNewestFirst) {
    RepertoireTemporaire dir;
    const std::string chemin = dir.Fichier("j.log");
    // Across a year's end, CR LF, a blank line and an unreadable line among them.
    Ecrit(chemin, Ligne("30/Dec/2003:23:00:00") + "\r\n" + Ligne("02/Jan/2004:01:00:00") +
                      "\r\n\r\nn'importe quoi\r\n" + Ligne("03/Feb/2004:10:00:00") + "\r\n" +
                      Ligne("04/Feb/2004:10:00:00"));
    EXPECT_EQ(PeriodesProbables(chemin),
              (std::vector<std::string>{"2004", "2004-02", "2004-01", "2003", "2003-12"}));

    // A large log: only its last lines count, the first one cut by the start of what is read
    // left out; at most kPeriodesProbables periods.
    std::string octets = Ligne("01/Jan/1999:00:00:00") + "\n";
    while (octets.size() < 600 * 1024) {
        octets += Ligne("01/Mar/2000:00:00:00") + "\n";
    }
    for (const char* mois : {"Apr", "May", "Jun", "Jul", "Aug", "Sep"}) {
        octets += Ligne(std::string("01/") + mois + "/2000:00:00:00") + "\n";
    }
    Ecrit(chemin, octets);
    EXPECT_EQ(
        PeriodesProbables(chemin),
        (std::vector<std::string>{"2000", "2000-09", "2000-08", "2000-07", "2000-06", "2000-05"}));
    EXPECT_EQ(kPeriodesProbables, 6u);
}

TEST(PeriodesProbables, NothingWhenTheLogCannotTell) {
    RepertoireTemporaire dir;
    const std::string lignes = Ligne("03/Feb/2004:10:00:00") + "\n";
    Ecrit(dir.Fichier("j.log.gz"), test::Gzip(lignes));
    Ecrit(dir.Fichier("vide.log"), "");
    Ecrit(dir.Fichier("texte.log"), "ceci n'est pas un journal\n");
    std::filesystem::create_directory(dir.Fichier("dossier"));
    for (const char* f : {"j.log.gz", "vide.log", "texte.log", "dossier", "absent.log"}) {
        EXPECT_TRUE(PeriodesProbables(dir.Fichier(f)).empty()) << f;
    }
}

} // namespace
} // namespace sillage
