// The agents table counted alone: one row per agent text, byte for byte, its hits, page hits and
// last date added to its stored row or a new row after the stored ones, the stored table
// untouched until Applique; and robots told apart, each agent classified once per import.
#include "import/parties/agents_import.h"
#include "store/agents.h"
#include "store/casse.h"
#include "support/donnees_visiteurs.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace sillage {
namespace {

using test::MessageDe;
using test::TableDe;

constexpr const char* kLundi = "16/Feb/2004:09:00:00";
constexpr const char* kMardi = "17/Feb/2004:09:00:00";

std::string Agent(const std::string& agent, int acces, int pages, const std::string& date) {
    return EcritAgent({agent, acces, pages, date});
}

// The agents table and what counting in it needs.
struct Agents {
    Table table;
    Arene arene;
    DatesImport dates{arene};
    AgentsImport partie;

    explicit Agents(const std::vector<std::string>& lignes, RobotsImport robots = {})
        : table(TableDe(lignes)), partie(table, dates, arene, robots) {}

    // Counts a hit of agent at date (a page hit or not); answers whether the line counts in the
    // fourteen tables.
    bool Compte(const std::string& agent, const char* date, bool page = true) {
        return partie.Compte(agent, HachageExact(agent), page, dates.Date(date, true));
    }
    void Valide() {
        partie.Prepare();
        partie.Applique();
    }
};

TEST(AgentsImport, EachAgentByItsExactBytesAddedToItsRowOrANewOne) {
    const std::vector<std::string> stockees = {Agent("Wget/1.21", 10, 5, "14/Feb/2004:10:11:12"),
                                               Agent("curl/8.0", 1, 0, "14/Feb/2004:10:11:12")};
    Agents a(stockees);
    EXPECT_TRUE(a.Compte("wget/1.21", kLundi)); // another text: another agent
    EXPECT_TRUE(a.Compte("Wget/1.21", kLundi, true));
    EXPECT_TRUE(a.Compte("Wget/1.21", kMardi, false)); // an image or a download
    EXPECT_TRUE(a.Compte("", kLundi));
    EXPECT_TRUE(a.Compte("-", kMardi, false));
    EXPECT_TRUE(a.Compte("", kMardi));
    a.partie.Prepare();
    EXPECT_TRUE(a.table == TableDe(stockees)); // until the import is applied
    a.partie.Applique();
    EXPECT_TRUE(a.table == TableDe({Agent("Wget/1.21", 12, 6, kMardi), stockees[1],
                                    Agent("wget/1.21", 1, 1, kLundi), Agent("", 2, 2, kMardi),
                                    Agent("-", 1, 0, kMardi)}));
    EXPECT_EQ(a.partie.AccesRobots(), -1); // no classifier: robots are not told apart
}

// An empty import leaves the table as it is; counts stop at the top of their range; a stored row
// that does not read stops the import only when its agent is counted; of two rows of one agent
// (a file edited by hand), the first takes the hits.
TEST(AgentsImport, StoredRowsAsTheyAre) {
    Agents vide({Agent("x", 1, 1, "d")});
    vide.Valide();
    EXPECT_TRUE(vide.table == TableDe({Agent("x", 1, 1, "d")}));

    Agents plein({Agent("x", INT32_MAX - 1, INT32_MAX, "d")});
    for (int i = 0; i < 3; ++i) {
        plein.Compte("x", kLundi);
    }
    plein.Valide();
    EXPECT_TRUE(plein.table == TableDe({Agent("x", INT32_MAX, INT32_MAX, kLundi)}));

    const std::vector<std::string> abimees = {"\\1;x\\2;douze\\3;0\\4;d\\5;", Agent("y", 1, 0, "d"),
                                              Agent("y", 5, 5, "d")};
    Agents ailleurs(abimees);
    ailleurs.Compte("y", kLundi);
    ailleurs.Valide();
    EXPECT_TRUE(ailleurs.table ==
                TableDe({abimees[0], Agent("y", 2, 1, kLundi), Agent("y", 5, 5, "d")}));
    Agents dessus(abimees);
    dessus.Compte("x", kLundi);
    EXPECT_EQ(MessageDe([&] { dessus.partie.Prepare(); }),
              "'douze' n'est pas une valeur entière correcte");
}

// Robots told apart by a classifier (here the user's robots.lst over the installed lists): each
// distinct agent is classified once in the import, at its first hit when robots' lines are left
// out, else all together when the robots' hits are asked for.
TEST(AgentsImport, RobotsEachAgentClassifiedOnce) {
    test::RepertoireTemporaire dir;
    test::Ecrit(dir.Fichier("robots.lst"), "^Sonde\n");
    const std::string firefox =
        "Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0";
    for (const bool sansRobots : {true, false}) {
        Classificateur classement(test::DonneesTest(), dir.Fichier("robots.lst"));
        Agents a({}, {&classement, sansRobots});
        EXPECT_EQ(a.Compte("Sonde/1.0", kLundi), !sansRobots);
        EXPECT_TRUE(a.Compte(firefox, kLundi));
        EXPECT_EQ(a.Compte("Sonde/1.0", kMardi, false), !sansRobots);
        EXPECT_EQ(a.Compte("Googlebot/2.1 (+http://www.google.com/bot.html)", kMardi), !sansRobots);
        EXPECT_TRUE(a.Compte(firefox, kMardi));
        EXPECT_EQ(classement.Calcules(), sansRobots ? 3u : 0u);
        EXPECT_EQ(a.partie.AccesRobots(), 3);
        EXPECT_EQ(classement.Calcules(), 3u);
        a.Valide();
        // Robots still count in the agents table.
        EXPECT_TRUE(
            a.table ==
            TableDe({Agent("Sonde/1.0", 2, 1, kMardi), Agent(firefox, 2, 2, kMardi),
                     Agent("Googlebot/2.1 (+http://www.google.com/bot.html)", 1, 1, kMardi)}));
    }
}

} // namespace
} // namespace sillage
