// Runs sillage-rapport on stores of its own: the views and the report it writes, and what it does
// with bad input (a view or a period that does not exist, a store that does not read, an output
// that cannot be written, a store held by another program).
#include "lecture_csv.h"
#include "store/base.h"
#include "store/periodes.h"
#include "store/verrou.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

namespace fs = std::filesystem;
using test::Contenu;
using test::Ecrit;
using test::RepertoireTemporaire;
using test::Resultat;

Resultat Rapport(const std::string& arguments) {
    return test::Lance("'" SILLAGE_RAPPORT "' " + arguments);
}

class SillageRapport : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(base);
        fs::permissions(base, fs::perms::owner_all);
        Ecrit(sortie.Fichier("a.log"), test::Journal(test::LignesAleatoires(4, 200)));
        const Resultat r =
            test::LanceSillageImport("--dir " + base + " " + sortie.Fichier("a.log"));
        ASSERT_EQ(r.code, 0) << r.erreurs;
        dir = "--dir " + base + " ";
    }

    RepertoireTemporaire racine;
    RepertoireTemporaire sortie;
    const std::string base = racine.Fichier("base");
    std::string dir;
};

TEST_F(SillageRapport, ViewsAsCsvToTheOutputOrAFile) {
    Resultat r = Rapport("--liste-vues");
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(std::count(r.sortie.begin(), r.sortie.end(), '\n'), 16);
    EXPECT_NE(r.sortie.find("ip           Statistiques des IP\n"), std::string::npos) << r.sortie;

    r = Rapport(dir + "--csv ip");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.erreurs, "");
    EXPECT_TRUE(r.sortie.starts_with("\xEF\xBB\xBFNom;Acces;Dernier\r\n")) << r.sortie;
    const test::RangeesCsv ip = test::LitCsv(r.sortie);
    Base b(base);
    b.InitListes();
    EXPECT_EQ(ip.size(), b.ListeNom.Count());

    r = Rapport(dir + "--csv=resume -o " + sortie.Fichier("resume.csv"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "");
    EXPECT_EQ(test::LitCsv(Contenu(sortie.Fichier("resume.csv")))[2][0], "IP");
    // The store is read, never written: its files are as the import left them.
    const std::string avant = test::FichiersDuStore(base);
    Rapport(dir + "--csv jours");
    EXPECT_EQ(test::FichiersDuStore(base), avant);
}

TEST_F(SillageRapport, UnknownViewsAndPeriodsListTheValidOnes) {
    Resultat r = Rapport(dir + "--csv IP -o " + sortie.Fichier("x.csv"));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.erreurs, "sillage-rapport : vue inconnue : IP\nVues : resume, pages, images, ip, "
                         "referents, motscles, downloads, retours, annees, mois, jours, heures, "
                         "navigateurs, systemes, robots, pays.\n");
    EXPECT_FALSE(fs::exists(sortie.Fichier("x.csv")));

    // A store without periods, then this one's (every line of its log in March 2004).
    fs::create_directory(racine.Fichier("vide"));
    r = Rapport("--dir " + racine.Fichier("vide") + " --csv ip --periode 2004");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.erreurs, "sillage-rapport : période inconnue : 2004\nLes tables ne gardent "
                         "aucune période.\n");
    r = Rapport(dir + "--csv ip --periode 2005-01");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.erreurs, "sillage-rapport : période inconnue : 2005-01\nPériodes : 2004, "
                         "2004-03.\n");
    r = Rapport(dir + "--csv ip --periode ../..");
    EXPECT_EQ(r.code, 2);
    const Resultat tout = Rapport(dir + "--csv ip");
    r = Rapport(dir + "--csv ip --periode 2004-03");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, tout.sortie);
    EXPECT_GT(test::LitCsv(r.sortie).size(), 2u);

    // A period's file changed since its save is refused as the store's would be.
    test::EcritTable(base + "/" + DossierPeriode("2004-03") + "nom.lst",
                     {test::Rangee(0, "10.1.2.3", 7), test::Compteur(1)});
    r = Rapport(dir + "--csv ip --periode 2004-03");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("nom.lst"), std::string::npos) << r.erreurs;
    EXPECT_EQ(r.sortie, "");

    // Mistakes of the command line: told in one line and a hint.
    for (const char* arguments : {"", "--csv ip --html", "--csv", "--html --liste-vues", "ip"}) {
        r = Rapport(dir + arguments);
        EXPECT_EQ(r.code, 2) << arguments;
        EXPECT_NE(r.erreurs.find("Essayez « sillage-rapport --help »."), std::string::npos)
            << arguments;
    }
}

// A store that does not read gives the window's message, and nothing is written.
TEST_F(SillageRapport, AStoreThatDoesNotReadWritesNothing) {
    const std::string html = sortie.Fichier("site");
    ASSERT_EQ(Rapport(dir + "--html -o " + html).code, 0);
    const std::string page = Contenu(html + "/index.html");
    fs::remove(base + "/page.lst");
    fs::create_directory(base + "/page.lst");
    Base b(base);
    const std::string message = test::MessageDe([&] { b.InitListes(); });
    for (const std::string& arguments :
         {"--csv pages -o " + sortie.Fichier("pages.csv"), "--html -o " + html}) {
        const Resultat r = Rapport(dir + arguments);
        EXPECT_EQ(r.code, 1) << arguments;
        EXPECT_EQ(r.erreurs, "sillage-rapport : " + message + "\n");
    }
    EXPECT_FALSE(fs::exists(sortie.Fichier("pages.csv")));
    // The previous report is whole, and nothing was left beside it.
    EXPECT_EQ(Contenu(html + "/index.html"), page);
    EXPECT_EQ(std::distance(fs::directory_iterator(sortie.Chemin()), fs::directory_iterator()), 2);

    // A table changed by hand since its save: the window's message, which says how to accept it.
    fs::remove(base + "/page.lst");
    Ecrit(base + "/nom.lst", "\\1;0\\2;\r\n");
    const Resultat r = Rapport(dir + "--csv ip");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("nom.lst"), std::string::npos) << r.erreurs;
    EXPECT_EQ(r.sortie, "");
}

TEST_F(SillageRapport, AnOutputThatCannotBeWrittenIsNamed) {
    Resultat r = Rapport(dir + "--html -o " + sortie.Fichier("absent/site"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-rapport : Impossible d'écrire le rapport dans " +
                             sortie.Fichier("absent/site") + " : le répertoire " +
                             sortie.Fichier("absent") + " n'existe pas\n");
    fs::create_directory(sortie.Fichier("www"));
    Ecrit(sortie.Fichier("www/page.html"), "à moi");
    r = Rapport(dir + "--html -o " + sortie.Fichier("www"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find(sortie.Fichier("www") + " : il contient d'autres fichiers"),
              std::string::npos)
        << r.erreurs;
    EXPECT_EQ(Contenu(sortie.Fichier("www/page.html")), "à moi");
    r = Rapport(dir + "--csv ip -o " + sortie.Fichier("absent/ip.csv"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-rapport : Impossible de créer le fichier " +
                             sortie.Fichier("absent/ip.csv") + " : répertoire introuvable\n");
}

// The report waits for a program that holds the store (an import saving), and gives up after
// --attente; it holds the store only while it reads it.
TEST_F(SillageRapport, WaitsForTheStoresLockOnlyWhileItReads) {
    {
        const Verrou tenu = Verrou::Prend(base, std::chrono::milliseconds(0));
        ASSERT_TRUE(tenu.Tenu());
        const Resultat r = Rapport(dir + "--attente 0,2 --html -o " + sortie.Fichier("site"));
        EXPECT_EQ(r.code, 75);
        EXPECT_NE(r.erreurs.find("sont utilisées par un autre programme"), std::string::npos)
            << r.erreurs;
        EXPECT_FALSE(fs::exists(sortie.Fichier("site")));
    }
    ASSERT_EQ(Rapport(dir + "--attente 1 --html -o " + sortie.Fichier("site")).code, 0);
    const Verrou libre = Verrou::Prend(base, std::chrono::milliseconds(0));
    EXPECT_TRUE(libre.Tenu());
}

// Without -o, the folder the user's configuration names; each run replaces the report whole.
TEST_F(SillageRapport, TheConfiguredFolderIsReplacedByEachRun) {
    const std::string config =
        "XDG_CONFIG_HOME=" + racine.Fichier("config") + " HOME=" + racine.Chemin() + " ";
    Resultat r = test::Lance(config + "'" SILLAGE_RAPPORT "' " + dir + "--html");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.erreurs.find(racine.Fichier("config/sillage/rapport")), std::string::npos);
    fs::create_directories(racine.Fichier("config/sillage"));
    Ecrit(racine.Fichier("config/sillage/rapport"), "# Le rapport du site\n\n  ~/public_html  \n");
    fs::create_directory(racine.Fichier("public_html"));
    r = test::Lance(config + "'" SILLAGE_RAPPORT "' " + dir + "--html");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    const std::string page = Contenu(racine.Fichier("public_html/index.html"));
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    EXPECT_NE(page.find("<footer>Sillage "), std::string::npos);
    // More lines in the store, a new report in the same folder.
    Ecrit(sortie.Fichier("b.log"),
          test::Journal({test::LigneLog("10.200.0.1", "05/Apr/2004:10:00:00", "/nouvelle.html")}));
    ASSERT_EQ(test::LanceSillageImport("--dir " + base + " " + sortie.Fichier("b.log")).code, 0);
    r = test::Lance(config + "'" SILLAGE_RAPPORT "' " + dir + "--html");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(Contenu(racine.Fichier("public_html/index.html")).find("/nouvelle.html"),
              std::string::npos);
    EXPECT_EQ(
        Contenu(racine.Fichier("public_html/.sillage-rapport")).rfind("Rapport de Sillage", 0), 0u);
}

// Without --periode the report has a page per year and month, each linked from the others; with
// it, that period's page alone.
TEST_F(SillageRapport, APagePerPeriodLinkedFromEachPage) {
    Ecrit(sortie.Fichier("b.log"),
          test::Journal({test::LigneLog("10.200.0.1", "05/Apr/2005:10:00:00", "/avril.html")}));
    ASSERT_EQ(test::LanceSillageImport("--dir " + base + " " + sortie.Fichier("b.log")).code, 0);
    Resultat r = Rapport(dir + "--html -o " + sortie.Fichier("rapport"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    std::vector<std::string> pages;
    for (const auto& e : fs::directory_iterator(sortie.Fichier("rapport"))) {
        pages.push_back(e.path().filename().string());
    }
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (std::vector<std::string>{".sillage-rapport", "2004-03.html", "2004.html",
                                               "2005-04.html", "2005.html", "index.html"}));
    const std::string index = Contenu(sortie.Fichier("rapport/index.html"));
    EXPECT_NE(index.find("<strong aria-current=\"page\">Tout l&#39;historique</strong>"),
              std::string::npos);
    EXPECT_NE(index.find("<a href=\"2005-04.html\">avril 2005</a>"), std::string::npos);
    EXPECT_LT(index.find("2005.html"), index.find("2004.html")); // the newest first
    const std::string avril = Contenu(sortie.Fichier("rapport/2005-04.html"));
    EXPECT_NE(avril.find("<strong aria-current=\"page\">avril 2005</strong>"), std::string::npos);
    EXPECT_NE(avril.find("<a href=\"index.html\">Tout l&#39;historique</a>"), std::string::npos);
    EXPECT_NE(avril.find("/avril.html"), std::string::npos);
    EXPECT_EQ(Contenu(sortie.Fichier("rapport/2004-03.html")).find("/avril.html"),
              std::string::npos);

    r = Rapport(dir + "--html --periode 2005 -o " + sortie.Fichier("seule"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_FALSE(fs::exists(sortie.Fichier("seule/2005.html")));
    const std::string seule = Contenu(sortie.Fichier("seule/index.html"));
    EXPECT_NE(seule.find("/avril.html"), std::string::npos);
    EXPECT_EQ(seule.find("aria-current"), std::string::npos);
}

} // namespace
} // namespace sillage
