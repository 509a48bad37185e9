#include "vues/vue_visiteurs.h"

#include "store/agents.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {

void PrintTo(const LigneVisiteurs& l, std::ostream* os) {
    for (const std::string& c : l.Cellules) {
        *os << "[" << c << "]";
    }
}

namespace {

using test::Compteur;
using test::Rangee;
using test::TableDe;

using Lignes = std::vector<LigneVisiteurs>;

FichiersDonnees Donnees() {
    FichiersDonnees f = FichiersDonnees::ParDefaut();
    f.listeRobots = DONNEES_SOURCES "/crawler-user-agents.json";
    f.cache.clear();
    return f;
}

std::string Agent(const std::string& agent, int acces, int pages, const std::string& date) {
    return EcritAgent({agent, acces, pages, date});
}

const std::string kFirefox =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:121.0) Gecko/20100101 Firefox/121.0";
const std::string kFirefoxLinux =
    "Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0";
const std::string kChrome = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, "
                            "like Gecko) Chrome/120.0.0.0 Safari/537.36";
const std::string kGoogle =
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)";
const std::string kGoogleMobile =
    "Mozilla/5.0 (Linux; Android 6.0.1; Nexus 5X Build/MMB29P) AppleWebKit/537.36 (KHTML, like "
    "Gecko) Chrome/41.0.2272.96 Mobile Safari/537.36 (compatible; Googlebot/2.1; "
    "+http://www.google.com/bot.html)";
const std::string kGpt = "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko); compatible; "
                         "GPTBot/1.2; +https://openai.com/gptbot";

// The four lists and the summary's line from small tables: persons by family, robots by name
// (their hits, pages and last date summed over their agents), hosts by country.
TEST(VueVisiteurs, FourListsAndTheRobotsLine) {
    const Table agents = TableDe({
        Agent(kFirefox, 50, 20, "02/Jan/2004:10:00:00"),
        Agent(kFirefoxLinux, 25, 10, "03/Jan/2004:10:00:00"),
        Agent(kChrome, 25, 5, "01/Jan/2004:10:00:00"),
        Agent(kGoogle, 30, 30, "05/Feb/2004:01:02:03"),
        Agent(kGoogleMobile, 10, 9, "09/Dec/2003:23:59:59"),
        Agent(kGpt, 10, 10, "14/Feb/2004:10:11:12"),
        Agent("-", 0, 0, "01/Jan/2004:00:00:00"),
        "\\1;Damaged\\2;douze\\3;1\\4;d\\5;",
    });
    const Table noms = TableDe({Rangee(0, "8.8.8.8", 40), Rangee(1, "a.abo.wanadoo.fr", 30),
                                Rangee(2, "2a01:e0a::1", 20), Rangee(3, "crawl.googlebot.com", 5),
                                Rangee(4, "192.168.0.1", 5), Rangee(5, "b.fr", 50), Compteur(6)});
    Classificateur c(Donnees(), "");
    const Pays pays(Donnees());
    const VueVisiteurs v = CalculeVisiteurs(agents, noms, c, pays);

    EXPECT_EQ(v.Navigateurs, (Lignes{{{"Firefox", "75", "75,0 %"}}, {{"Chrome", "25", "25,0 %"}}}));
    EXPECT_EQ(v.Systemes, (Lignes{{{"Windows", "75", "75,0 %"}}, {{"Linux", "25", "25,0 %"}}}));
    EXPECT_EQ(v.Robots, (Lignes{{{"Googlebot", "40", "39", "05/Feb/2004:01:02:03"}},
                                {{"GPTBot", "10", "10", "14/Feb/2004:10:11:12"}}}));
    EXPECT_EQ(v.Pays, (Lignes{{{"France", "3", "100", "66,7 %"}},
                              {{"États-Unis", "1", "40", "26,7 %"}},
                              {{"Inconnu", "2", "10", "6,7 %"}}}));
    EXPECT_EQ(v.Acces, 150);
    EXPECT_EQ(v.AccesRobots, 50);
    EXPECT_EQ(LigneRobots(v), (ResumeRobots{"50", "33,3 %"}));
    EXPECT_EQ(ResumeRobotsDesAgents(agents, c), LigneRobots(v));
    EXPECT_EQ(TexteRobots(LigneRobots(v)), "50 (33,3 % des accès)");
    EXPECT_EQ(&v.Liste(ListeVisiteurs::Robots), &v.Robots);

    // Filters on the first cell.
    EXPECT_EQ(LignesVisiteurs(v.Pays, "Fr"), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(LignesVisiteurs(v.Pays, "É"), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(LignesVisiteurs(v.Pays), (std::vector<std::uint32_t>{0, 1, 2}));
    for (ListeVisiteurs l : {ListeVisiteurs::Navigateurs, ListeVisiteurs::Systemes,
                             ListeVisiteurs::Robots, ListeVisiteurs::Pays}) {
        const std::vector<ColonneListe>& colonnes = ColonnesVisiteurs(l);
        for (const LigneVisiteurs& ligne : v.Liste(l)) {
            EXPECT_EQ(ligne.Cellules.size(), colonnes.size());
        }
    }
}

TEST(VueVisiteurs, EmptyTablesAndUserDecisions) {
    Classificateur c(Donnees(), "");
    const Pays pays(Donnees());
    const VueVisiteurs vide = CalculeVisiteurs(Table(), TableDe({Compteur(0)}), c, pays);
    EXPECT_TRUE(vide.Navigateurs.empty() && vide.Robots.empty() && vide.Pays.empty());
    EXPECT_EQ(LigneRobots(vide), (ResumeRobots{"0", ""}));
    EXPECT_EQ(ResumeRobotsDesAgents(Table(), c), (ResumeRobots{"0", ""}));
    EXPECT_EQ(TexteRobots(LigneRobots(vide)), "0");

    test::RepertoireTemporaire d;
    test::Ecrit(d.Fichier("robots.lst"), "!Googlebot\nFirefox/120\n");
    Classificateur u(Donnees(), d.Fichier("robots.lst"));
    const VueVisiteurs v = CalculeVisiteurs(
        TableDe({Agent(kGoogle, 3, 3, "d"), Agent(kFirefoxLinux, 1, 1, "e")}), Table(), u, pays);
    EXPECT_EQ(v.Robots, (Lignes{{{"Firefox/120", "1", "1", "e"}}}));
    EXPECT_EQ(v.Navigateurs, (Lignes{{{"Googlebot", "3", "100,0 %"}}}));
}

// Names from agents are shown as UTF-8 whatever their bytes: valid UTF-8 as it is, anything
// else read as Windows-1252; uap-core's "Other" is "Autre".
TEST(VueVisiteurs, TextsFromAgentBytes) {
    EXPECT_EQ(TexteAgent("Navigateur \xC3\xA9t\xC3\xA9"), "Navigateur \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(TexteAgent("Navigateur \xE9t\xE9"), "Navigateur \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(TexteAgent("\xC3\x28"), "\xC3\x83(");
    EXPECT_EQ(TexteAgent("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");
    EXPECT_EQ(TexteAgent("<b>"), "<b>");
    Classificateur c(Donnees(), "");
    const Pays pays(Donnees());
    const std::string binaire = "\xFF\xFE Bot\xE9/1.0";
    const VueVisiteurs v = CalculeVisiteurs(
        TableDe({Agent(binaire, 2, 1, "d"), Agent("\xE9trange", 1, 0, "d")}), Table(), c, pays);
    ASSERT_TRUE(c.Connu(binaire)->Robot);
    const std::string nom = c.Connu(binaire)->NomRobot;
    EXPECT_NE(TexteAgent(nom), nom); // Windows-1252 bytes, shown as UTF-8
    EXPECT_EQ(v.Robots, (Lignes{{{TexteAgent(nom), "2", "1", "d"}}}));
    EXPECT_EQ(v.Navigateurs, (Lignes{{{"Autre", "1", "100,0 %"}}}));
}

TEST(VueVisiteurs, Percentages) {
    EXPECT_EQ(Pourcentage(1, 3), "33,3 %");
    EXPECT_EQ(Pourcentage(2, 3), "66,7 %");
    EXPECT_EQ(Pourcentage(1, 8), "12,5 %");
    EXPECT_EQ(Pourcentage(1, 1000), "0,1 %");
    EXPECT_EQ(Pourcentage(1, 2001), "0,0 %");
    EXPECT_EQ(Pourcentage(0, 5), "0,0 %");
    EXPECT_EQ(Pourcentage(5, 5), "100,0 %");
    EXPECT_EQ(Pourcentage(3, 0), "");
    EXPECT_EQ(Pourcentage(INT64_MAX, INT64_MAX), "100,0 %");
}

} // namespace
} // namespace sillage
