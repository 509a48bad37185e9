// Bad input, end to end through sillage-import into a temporary store: each gives its message or
// its mended behaviour, never a crash, and never a store partly changed.
#include "store/base.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::FichiersDuStore;
using test::LanceSillageImport;
using test::LigneLog;
using test::RepertoireTemporaire;
using test::Resultat;

const std::string kDonnees = DONNEES_IMPORT;

struct Store : ::testing::Test {
    RepertoireTemporaire dir;

    // Runs sillage-import on a log holding `octets` into the store of d (the fixture's by
    // default); answers the exit status, with stderr in erreurs.
    int Importe(const std::string& octets, std::string* erreurs = nullptr,
                const RepertoireTemporaire* d = nullptr, const std::string& options = "") {
        const RepertoireTemporaire& r = d ? *d : dir;
        Ecrit(r.Fichier("journal.log"), octets);
        const Resultat resultat = LanceSillageImport("--dir " + r.Chemin() + " " + options + " " +
                                                     r.Fichier("journal.log"));
        if (erreurs) {
            *erreurs = resultat.erreurs;
        }
        std::filesystem::remove(r.Fichier("journal.log"));
        return resultat.code;
    }

    // The fourteen files' bytes, to compare a store before and after.
    std::string Fichiers(const RepertoireTemporaire* d = nullptr) const {
        return FichiersDuStore((d ? *d : dir).Chemin());
    }

    // Imports the small sample first, so that failures have a store to leave alone.
    void Remplit() { ASSERT_EQ(Importe(Contenu(kDonnees + "/petit.log")), 0); }

    // A failing log: the message names it, the status is 1 and the files did not change.
    void EchoueSansRienChanger(const std::string& octets, const std::string& message,
                               const std::string& options = "") {
        const std::string avant = Fichiers();
        std::string erreurs;
        EXPECT_EQ(Importe(octets, &erreurs, nullptr, options), 1);
        EXPECT_NE(erreurs.find(message), std::string::npos) << erreurs;
        EXPECT_EQ(Fichiers(), avant);
    }
};

TEST_F(Store, EmptyNulAndBinaryFiles) {
    Remplit();
    EchoueSansRienChanger("", dir.Fichier("journal.log") + " est vide");
    // A NUL byte makes its line unreadable, wherever it stands; a first line of zeros is no log.
    EchoueSansRienChanger(std::string(4096, '\0'),
                          dir.Fichier("journal.log") +
                              " ne ressemble pas à un journal d'accès (ligne 1)");
    EchoueSansRienChanger(LigneLog("h", "01/Mar/2004:10:00:00", "/a") + "\n" +
                              LigneLog("h", "01/Mar/2004:10:00:01", "/b") + std::string(3, '\0') +
                              "\n" + LigneLog("h", "01/Mar/2004:10:00:02", "/c") + "\n",
                          "Erreur à la lecture du fichier (ligne 2)");
    std::mt19937 rng(7);
    std::string binaire(65536, '\0');
    for (char& c : binaire) {
        c = static_cast<char>(rng());
    }
    binaire[0] = 'x'; // not a gzip stream, and not a NUL at once
    const std::string avant = Fichiers();
    EXPECT_EQ(Importe(binaire), 1);
    EXPECT_EQ(Fichiers(), avant);
}

TEST_F(Store, DatesThatCannotBeCounted) {
    Remplit();
    const std::string bonne = LigneLog("h", "01/Mar/2004:10:00:00", "/a") + "\n";
    EchoueSansRienChanger(bonne + LigneLog("h", "01/Mars/2004:10:00:00", "/a") + "\n",
                          "Erreur à la lecture du fichier (ligne 2)");
    EchoueSansRienChanger(bonne + bonne + LigneLog("h", "32/Mar/2004:10:00:00", "/a") + "\n",
                          "Erreur à la lecture du fichier (ligne 3)");
    EchoueSansRienChanger(LigneLog("h", "01/Mar/2004:24:00:00", "/a") + "\n",
                          "Erreur à la lecture du fichier (ligne 1)");
    EchoueSansRienChanger(bonne + "une ligne sans crochet ni rien\n",
                          "n'est pas une valeur entière correcte");
    EchoueSansRienChanger(bonne + "\n" + bonne, "'' n'est pas une valeur entière correcte");
}

TEST_F(Store, LineEndsLongLinesAndATruncatedLastLine) {
    const std::string a = LigneLog("h", "01/Mar/2004:10:00:00", "/a");
    const std::string b = LigneLog("k", "01/Mar/2004:10:00:05", "/b", "200", "http://x.org/?q=1");
    RepertoireTemporaire parCR;
    ASSERT_EQ(Importe(a + "\r" + b + "\r", nullptr, &parCR), 0);
    ASSERT_EQ(Importe(a + "\n" + b + "\n"), 0);
    EXPECT_EQ(Fichiers(), Fichiers(&parCR));

    // A path of nearly a megabyte is stored, saved and read back whole; a line longer than a
    // megabyte is unreadable.
    const std::string longue(kLongueurMaxLigne - 200, 'p');
    ASSERT_EQ(Importe(LigneLog("h", "01/Mar/2004:10:00:09", "/" + longue) + "\n"), 0);
    Base base(dir.Chemin());
    base.InitListes();
    base.ReconstruitIndex();
    EXPECT_GE(base.IndexPage.Cherche("/" + longue), 0);
    EchoueSansRienChanger(
        a + "\n" + LigneLog("h", "01/Mar/2004:10:00:09", "/" + longue + std::string(400, 'p')) +
            "\n",
        "Erreur à la lecture du fichier (ligne 2)");

    // The last line cut after its status: the referrer and agent come out empty, the hit counts.
    ASSERT_EQ(Importe(a + "\n" + b.substr(0, b.find(" 200 ") + 4)), 0);
    base.InitListes();
    EXPECT_EQ(LitNom(base.ListeNom[0]).Nom, "h") << base.ListeNom[0];
    EXPECT_EQ(LitNom(base.ListeNom[0]).Acces, 3) << base.ListeNom[0] << "\n" << base.ListeNom[1];
}

TEST_F(Store, AStoreThatCannotBeWrittenKeepsItsFiles) {
    // A file given where the store folder is expected: the folder cannot be opened to be
    // locked, and nothing is written.
    Ecrit(dir.Fichier("pas-un-repertoire"), "x");
    Ecrit(dir.Fichier("journal.log"), LigneLog("h", "01/Mar/2004:10:00:00", "/a") + "\n");
    const Resultat r = LanceSillageImport("--dir " + dir.Fichier("pas-un-repertoire") + " " +
                                          dir.Fichier("journal.log"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("Impossible d'ouvrir le fichier " + dir.Fichier("pas-un-repertoire")),
              std::string::npos)
        << r.erreurs;
    EXPECT_EQ(Contenu(dir.Fichier("pas-un-repertoire")), "x");

    // One table file that cannot be replaced: no file of the store changes.
    Remplit();
    std::filesystem::remove(dir.Fichier("graphmois.lst"));
    std::filesystem::create_directory(dir.Fichier("graphmois.lst"));
    const std::string avant = Fichiers();
    std::string erreurs;
    EXPECT_EQ(Importe(LigneLog("h", "01/Mar/2004:10:00:00", "/a") + "\n", &erreurs), 1);
    EXPECT_NE(erreurs.find("Impossible d'ouvrir le fichier " + dir.Fichier("graphmois.lst")),
              std::string::npos)
        << erreurs;
    EXPECT_EQ(Fichiers(), avant);
}

TEST_F(Store, DamagedTableFiles) {
    Remplit();
    // Tables changed by hand are first refused as differing from what the last save wrote;
    // accepted, they are read as they are.
    const std::string accepte = "--accepte-modifications";
    // Letters in a count: the import stops on the row when it needs it, and changes nothing.
    std::string noms = Contenu(dir.Fichier("nom.lst"));
    noms.replace(noms.find("\\3;3\\4;"), 7, "\\3;3x\\4;");
    Ecrit(dir.Fichier("nom.lst"), noms);
    EchoueSansRienChanger(LigneLog("10.0.0.1", "01/Mar/2004:10:00:00", "/a") + "\n",
                          "nom.lst : " + std::to_string(noms.size()) + " octets au lieu de " +
                              std::to_string(noms.size() - 1));
    EchoueSansRienChanger(LigneLog("10.0.0.1", "01/Mar/2004:10:00:00", "/a") + "\n",
                          "'3x' n'est pas une valeur entière correcte", accepte);
    // A row with misplaced tags reads shifted: the same failure, before anything changes.
    Ecrit(dir.Fichier("nom.lst"), "\\1;0\\2;10.0.0.1\\3;3\\5;d\\4;\r\n\\1;1\\2;\r\n");
    EchoueSansRienChanger(LigneLog("10.0.0.1", "01/Mar/2004:10:00:00", "/a") + "\n",
                          "n'est pas une valeur entière correcte", accepte);

    // No counter row, an empty options file: both repaired, and new ids follow the largest.
    Ecrit(dir.Fichier("page.lst"), "\\1;41\\2;/vieille\\3;2\\4;01/Jan/2004:00:00:00\\5;\r\n");
    Ecrit(dir.Fichier("nom.lst"), "");
    Ecrit(dir.Fichier("options.lst"), "");
    ASSERT_EQ(
        Importe(LigneLog("h", "01/Mar/2004:10:00:00", "/neuve", "200", "http://www.example.com/x") +
                    "\n",
                nullptr, nullptr, accepte),
        0);
    Base base(dir.Chemin());
    base.InitListes();
    ASSERT_EQ(base.ListePage.Count(), 3u);
    EXPECT_EQ(base.ListePage[1], "\\1;42\\2;/neuve\\3;1\\4;01/Mar/2004:10:00:00\\5;");
    EXPECT_EQ(base.ListePage[2], "\\1;43\\2;");
    EXPECT_EQ(base.ListeOptions[0], Base::kOptionParDefaut);
    EXPECT_EQ(base.ListeNom[0], "\\1;0\\2;h\\3;1\\4;01/Mar/2004:10:00:00\\5;");
}

TEST_F(Store, TagsInPathsReferrersAndQueries) {
    ASSERT_EQ(Importe(LigneLog("h\\3;", "01/Mar/2004:10:00:00", "/a\\2;\\3;b", "200",
                               "http://x\\4;/?q=\\5;&\\12;") +
                      "\n" +
                      LigneLog("h\\3;", "01/Mar/2004:10:00:01", "/a\\2;\\3;b", "200",
                               "http://x\\4;/?q=\\5;")),
              0);
    Base base(dir.Chemin());
    base.InitListes();
    EXPECT_EQ(LitNom(base.ListeNom[0]).Nom, "h%5C3;");
    EXPECT_EQ(LitNom(base.ListeNom[0]).Acces, 2);
    EXPECT_EQ(LitPage(base.ListePage[0]).Nom, "/a%5C2;%5C3;b");
    EXPECT_EQ(LitOrigine(base.ListeOrigine[0]).Nom, "http://x%5C4;/");
    EXPECT_EQ(ExtraitChamp(base.ListeKeyword[0], 3), "\"q=%5C5;\" \"%5C12;\"");
    EXPECT_EQ(LitLanp(base.ListeLanp[0]).Acces, 2);
}

} // namespace
} // namespace sillage
