#include "store/agents.h"
#include "store/base.h"
#include "store/date_compacte.h"
#include "store/manifeste.h"
#include "store/options_robots.h"
#include "store/table.h"

#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

using test::Contenu;
using test::MessageDe;
using test::RepertoireTemporaire;

TEST(Agents, RowsRoundTripThroughTheirFile) {
    const RAgent r{"Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0", 12, 5,
                   "14/Feb/2004:10:11:12"};
    const std::string ligne = EcritAgent(r);
    EXPECT_EQ(ligne, "\\1;Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 "
                     "Firefox/120.0\\2;12\\3;5\\4;14/Feb/2004:10:11:12\\5;");
    EXPECT_EQ(LitAgent(ligne), r);

    // Through a table's file and back, with a packed date written as its text.
    std::string s;
    DateCompacte d = 0;
    ASSERT_TRUE(CompacteDate("01/Nov/2003:00:00:01", d));
    AjouteLigneAgent(s, "-", 3, 0, DateLigne::Compacte(d));
    Table t;
    t.ChargeOctets(ligne + "\r\n" + s + "\r\n");
    ASSERT_EQ(t.Count(), 2u);
    EXPECT_EQ(LitAgent(t[1]), (RAgent{"-", 3, 0, "01/Nov/2003:00:00:01"}));
    EXPECT_EQ(t.Fichier(), ligne + "\r\n" + s + "\r\n");
}

// Whatever bytes a client sends as its agent, its row reads back as one row with its counts:
// a tag in the agent is written "%5C" (as the log's reader already gives it), and any other
// byte is kept.
TEST(Agents, AnyAgentKeepsItsRowWhole) {
    const std::string binaire = "\x01\x7F\x80\xFF\xC3(\xE9t\xE9 <b>gras</b> & \"cit\xE9\"";
    for (const std::string& agent :
         {std::string(), std::string("-"), std::string(10000, 'x'), binaire,
          std::string("<script>alert(1)</script>"), std::string("a\\b\\\\c\\;\\x;")}) {
        const RAgent r{agent, 2, 1, "d"};
        EXPECT_EQ(LitAgent(EcritAgent(r)), r);
    }
    const RAgent piege{"Bot\\2;99\\3;77\\12;fin", 4, 2, "d"};
    const std::string ligne = EcritAgent(piege);
    EXPECT_EQ(ligne, "\\1;Bot%5C2;99%5C3;77%5C12;fin\\2;4\\3;2\\4;d\\5;");
    EXPECT_EQ(LitAgent(ligne), (RAgent{"Bot%5C2;99%5C3;77%5C12;fin", 4, 2, "d"}));
    // Already escaped (by the log's reader), the agent is written unchanged.
    EXPECT_EQ(EcritAgent(LitAgent(ligne)), ligne);
}

// A damaged row: the reader raises the conversion error as every reader does; the views' reader
// says it does not read, and never raises.
TEST(Agents, DamagedRows) {
    EXPECT_EQ(MessageDe([] { LitAgent("\\1;Wget\\2;douze\\3;0\\4;d\\5;"); }),
              "'douze' n'est pas une valeur entière correcte");
    std::string_view agent, date;
    std::int32_t acces = 0, pages = 0;
    EXPECT_TRUE(LitAgentVues("\\1;Wget\\2;7\\3;1\\4;d\\5;", agent, acces, pages, date));
    EXPECT_EQ(agent, "Wget");
    EXPECT_EQ(acces, 7);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(date, "d");
    for (const char* l : {"\\1;Wget\\2;douze\\3;0\\4;d\\5;", "\\1;Wget\\2;7\\3;\\4;d\\5;", "", "x",
                          "\\1;Wget\\2;99999999999\\3;0\\4;d\\5;"}) {
        EXPECT_FALSE(LitAgentVues(l, agent, acces, pages, date)) << l;
    }
}

// The agents table and the option of robots are files of the store beside the fourteen: a store
// made before them saves without them; once they hold a row they are saved in the manifest,
// loaded, seen by the footprint the window compares, and deleted by a reset.
TEST(Agents, TheTableAndTheOptionOfRobotsAreFilesOfTheStore) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    base.SauveListes();
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("agents.lst")));
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("robots.options")));
    EXPECT_FALSE(LitSansRobots(base.ListeOptionsRobots));
    // Turning the option off where it never was on writes nothing.
    FixeSansRobots(base.ListeOptionsRobots, false);
    EXPECT_TRUE(base.ListeOptionsRobots.Vide());

    const EmpreinteDisque avant = base.LitEmpreinte();
    const RAgent wget{"Wget/1.21", 3, 1, "14/Feb/2004:10:11:12"};
    base.ListeAgents.Ajoute(EcritAgent(wget));
    FixeSansRobots(base.ListeOptionsRobots, true);
    base.SauveListes();
    EXPECT_EQ(Contenu(dir.Fichier("agents.lst")), EcritAgent(wget) + "\r\n");
    EXPECT_EQ(Contenu(dir.Fichier("robots.options")), "sans-robots=1\r\n");
    EXPECT_NE(base.LitEmpreinte(), avant);
    Table manifeste;
    manifeste.ChargeFichier(dir.Fichier("sillage.manifeste"));
    std::vector<EntreeManifeste> entrees;
    ASSERT_TRUE(LitManifeste(manifeste, entrees));
    int nommes = 0;
    for (const EntreeManifeste& e : entrees) {
        nommes += e.Nom == "agents.lst" || e.Nom == "robots.options";
    }
    EXPECT_EQ(nommes, 2);

    Base relue(dir.Chemin());
    relue.InitListes();
    ASSERT_EQ(relue.ListeAgents.Count(), 1u);
    EXPECT_EQ(LitAgent(relue.ListeAgents[0]), wget);
    EXPECT_TRUE(LitSansRobots(relue.ListeOptionsRobots));
    // Turned off, the option's file says so.
    FixeSansRobots(relue.ListeOptionsRobots, false);
    relue.SauveListes();
    EXPECT_EQ(Contenu(dir.Fichier("robots.options")), "sans-robots=0\r\n");

    // Changed by something else than a save, the agents table is told as the tables are.
    test::Ecrit(dir.Fichier("agents.lst"), EcritAgent({"Wget/1.21", 4, 1, "d"}) + "\r\n");
    Base changee(dir.Chemin());
    EXPECT_NE(MessageDe([&] { changee.InitListes(); }).find("agents.lst"), std::string::npos);

    relue.ReinitialiseListes();
    EXPECT_TRUE(relue.ListeAgents.Vide());
    EXPECT_TRUE(relue.ListeOptionsRobots.Vide());
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("agents.lst")));
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("robots.options")));
}

// Only "sans-robots=1" leaves robots out: anything else in the file (edited by hand) counts them.
TEST(Agents, TheOptionOfRobotsReadsOnlyItsOwnLine) {
    for (const char* ligne : {"sans-robots=0", "sans-robots=oui", "1", "", "sans-robots=1 "}) {
        EXPECT_FALSE(LitSansRobots(test::TableDe({ligne}))) << ligne;
    }
    EXPECT_TRUE(LitSansRobots(test::TableDe({"sans-robots=1", "x"})));
}

} // namespace
} // namespace sillage
