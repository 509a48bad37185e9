// The list of logs of a scheduled import: the files it names in their order, what it passes over,
// and the messages of a list at fault.
#include "app/liste_journaux.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace sillage {
namespace {

using test::Ecrit;
using test::MessageDe;
using test::RepertoireTemporaire;
using Noms = std::vector<std::string>;
using namespace std::string_literals;

// The names sorted from several shuffled starts: a comparator that is not a strict weak order
// would give different results (or worse).
Noms Trie(Noms noms) {
    std::mt19937 hasard(42);
    Noms premier;
    for (int essai = 0; essai < 20; ++essai) {
        std::shuffle(noms.begin(), noms.end(), hasard);
        std::sort(noms.begin(), noms.end(), PrecedeEnRotation);
        if (essai == 0) {
            premier = noms;
        }
        EXPECT_EQ(noms, premier);
    }
    return premier;
}

TEST(ListeJournaux, RotatedLogsOldestFirst) {
    // Debian's web servers: numbered, the older ones compressed.
    EXPECT_EQ(Trie({"/l/access.log", "/l/access.log.1", "/l/access.log.2.gz", "/l/access.log.10.gz",
                    "/l/access.log.3.gz", "/l/error.log", "/l/error.log.1"}),
              (Noms{"/l/access.log.10.gz", "/l/access.log.3.gz", "/l/access.log.2.gz",
                    "/l/access.log.1", "/l/access.log", "/l/error.log.1", "/l/error.log"}));
    // Dated names: the dates in their order, the live log last.
    EXPECT_EQ(Trie({"access.log", "access.log-20260108", "access.log-20260101.gz",
                    "access.log-20251231.gz"}),
              (Noms{"access.log-20251231.gz", "access.log-20260101.gz", "access.log-20260108",
                    "access.log"}));
    // A long number is part of the name, not a rotation count; a name and its compressed copy
    // keep one order.
    EXPECT_EQ(Trie({"a.log.20260102", "a.log.20260101", "a.log", "a.log.1.gz", "a.log.1", "1",
                    "a.log.gz"}),
              (Noms{"1", "a.log.20260101", "a.log.20260102", "a.log.1", "a.log.1.gz", "a.log",
                    "a.log.gz"}));
}

class ListeJournauxFichiers : public testing::Test {
  protected:
    RepertoireTemporaire dir_;
    std::string liste_ = dir_.Fichier("journaux");
    std::string Log(const std::string& nom) {
        Ecrit(dir_.Fichier(nom), "x\n");
        return dir_.Fichier(nom);
    }
};

TEST_F(ListeJournauxFichiers, NamesTheFilesInTheOrderOfItsLines) {
    const std::string autre = Log("autre.log");
    const std::string tourne1 = Log("access.log.1");
    const std::string tourne2 = Log("access.log.2.gz");
    const std::string vivant = Log("access.log");
    std::filesystem::create_directory(dir_.Fichier("sous.log.d"));
    const std::string maison = dir_.Fichier("maison");
    std::filesystem::create_directory(maison);
    Ecrit(maison + "/perso.log", "x\n");
    const char* ancien = std::getenv("HOME");
    const std::string ancienHome = ancien != nullptr ? ancien : "";
    setenv("HOME", maison.c_str(), 1);
    Ecrit(liste_, "# Les journaux du site, du plus ancien au plus récent\n"
                  "\n"
                  "   " +
                      autre +
                      "  \t\r\n"
                      "access.log*\n"
                      "  # a comment after blanks\n"
                      "*.log\n"
                      "~/perso.log\n"
                      "absent.log\n"
                      "pas-encore.*.gz\n"
                      "sous.log.*\n"
                      "dossier-absent/*.log\n"
                      "access.log");
    const ListeJournaux l = LitListeJournaux(liste_);
    setenv("HOME", ancienHome.c_str(), 1);
    // Each file once, where it is first named; "*.log" adds nothing new; a folder is no log.
    EXPECT_EQ(l.fichiers, (Noms{autre, tourne2, tourne1, vivant, maison + "/perso.log"}));
    EXPECT_EQ(
        l.remarques,
        (Noms{liste_ + ", ligne 8 : " + dir_.Fichier("absent.log") + " est absent",
              liste_ + ", ligne 9 : aucun fichier ne correspond à " +
                  dir_.Fichier("pas-encore.*.gz"),
              liste_ + ", ligne 10 : aucun fichier ne correspond à " + dir_.Fichier("sous.log.*"),
              liste_ + ", ligne 11 : aucun fichier ne correspond à " +
                  dir_.Fichier("dossier-absent/*.log")}));
}

TEST_F(ListeJournauxFichiers, AListAtFaultSaysWhy) {
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(liste_); }),
              "Impossible de lire la liste des journaux " + liste_ + " : fichier introuvable");
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(dir_.Chemin()); }),
              "Impossible de lire la liste des journaux " + dir_.Chemin() +
                  " : c'est un répertoire");

    Ecrit(liste_, "# /var/log/apache2/access.log\n\n");
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(liste_); }),
              "La liste des journaux " + liste_ +
                  " n'en nomme aucun : écrivez-y les journaux à importer, un chemin ou un motif "
                  "par ligne, du plus ancien au plus récent");

    Ecrit(liste_, "a.log\n\n/nulle/part/*.gz\n");
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(liste_); }),
              "Aucun journal de la liste " + liste_ + " n'est présent\n  ligne 1 : " +
                  dir_.Fichier("a.log") + "\n  ligne 3 : /nulle/part/*.gz");

    Log("a.log");
    Ecrit(liste_, "a.log\nb\0.log\n"s);
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(liste_); }),
              liste_ + ", ligne 2 : un octet nul n'a pas sa place dans un chemin");

    // A folder that cannot be read stops the list rather than passing its logs over in silence.
    std::filesystem::create_directory_symlink(dir_.Fichier("boucle"), dir_.Fichier("boucle"));
    Ecrit(liste_, "a.log\nboucle/*.log\n");
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(liste_); }),
              liste_ + ", ligne 2 : impossible de lire le répertoire " + dir_.Fichier("boucle") +
                  " (trop de liens symboliques)");

    Ecrit(liste_, std::string(2 << 20, '#'));
    EXPECT_EQ(MessageDe([&] { LitListeJournaux(liste_); }),
              "La liste des journaux " + liste_ +
                  " est trop longue pour en être une (plus d'un mégaoctet)");
}

} // namespace
} // namespace sillage
