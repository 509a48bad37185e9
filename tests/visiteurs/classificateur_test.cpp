// Who an agent is: real agents of browsers, systems, known robots and AI crawlers; the user's
// robots.lst deciding both ways; bad lists and expressions; any agent bytes; the cache between
// runs.
#include "visiteurs/classificateur.h"
#include "visiteurs/json.h"

#include "support/donnees_visiteurs.h"
#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <chrono>

namespace sillage {
namespace {

using test::DonneesTest;
using test::RepertoireTemporaire;

} // namespace

void PrintTo(const Classement& c, std::ostream* os) {
    *os << "{" << c.Navigateur << ", " << c.Systeme << ", " << (c.Robot ? "robot " : "personne")
        << c.NomRobot << "}";
}

namespace {

struct Cas {
    const char* agent;
    Classement attendu;
};

const Cas kReels[] = {
    {"Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:121.0) Gecko/20100101 Firefox/121.0",
     {"Firefox", "Windows", false, ""}},
    {"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) "
     "Chrome/120.0.0.0 Safari/537.36",
     {"Chrome", "Mac OS X", false, ""}},
    {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_1 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
     "Gecko) Version/17.1 Mobile/15E148 Safari/604.1",
     {"Mobile Safari", "iOS", false, ""}},
    {"Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) "
     "Chrome/120.0.0.0 Mobile Safari/537.36",
     {"Chrome Mobile", "Android", false, ""}},
    {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
     "Chrome/120.0.0.0 Safari/537.36 Edg/120.0.2210.91",
     {"Edge", "Windows", false, ""}},
    {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)",
     {"IE", "Windows", false, ""}},
    {"Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0",
     {"Firefox", "Ubuntu", false, ""}},
    {"Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
     {"Googlebot", "Other", true, "Googlebot"}},
    {"Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)",
     {"bingbot", "Other", true, "bingbot"}},
    {"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko); compatible; GPTBot/1.2; "
     "+https://openai.com/gptbot",
     {"GPTBot", "Other", true, "GPTBot"}},
    {"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; ClaudeBot/1.0; "
     "+claudebot@anthropic.com)",
     {"ClaudeBot", "Other", true, "ClaudeBot"}},
    // An AI agent that only the crawler list knows.
    {"Mozilla/5.0 (compatible; Claude-User/1.0; +Claude-User@anthropic.com)",
     {"Other", "Other", true, "Claude-User"}},
    {"Wget/1.21.3", {"Wget", "Other", true, "Wget"}},
    {"curl/8.4.0", {"curl", "Other", true, "curl"}},
};

TEST(Classificateur, RealAgents) {
    Classificateur c(DonneesTest(), "");
    for (const Cas& cas : kReels) {
        EXPECT_EQ(c.Classe(cas.agent), cas.attendu) << cas.agent;
    }
    EXPECT_EQ(c.Messages(), std::vector<std::string>{});
    EXPECT_EQ(c.Calcules(), std::size(kReels));
    // Known agents are not classified again, together or one by one.
    std::vector<std::string_view> tous;
    for (const Cas& cas : kReels) {
        tous.push_back(cas.agent);
        tous.push_back(cas.agent);
    }
    c.ClasseTous(tous);
    EXPECT_EQ(c.Classe(kReels[0].agent), kReels[0].attendu);
    EXPECT_EQ(c.Calcules(), std::size(kReels));
}

// Many agents at once (on both cores) give what one at a time gives.
TEST(Classificateur, TogetherAsOneByOne) {
    std::vector<std::string> agents;
    for (int k = 0; k < 300; ++k) {
        const Cas& cas = kReels[static_cast<std::size_t>(k) % std::size(kReels)];
        agents.push_back(std::string(cas.agent) + " v" + std::to_string(k));
    }
    Classificateur ensemble(DonneesTest(), ""), seul(DonneesTest(), "");
    ensemble.ClasseTous(std::vector<std::string_view>(agents.begin(), agents.end()));
    EXPECT_EQ(ensemble.Calcules(), agents.size());
    for (const std::string& a : agents) {
        ASSERT_NE(ensemble.Connu(a), nullptr);
        EXPECT_EQ(*ensemble.Connu(a), seul.Classe(a)) << a;
    }
}

// Every sample agent that the crawler list gives with its patterns is a robot.
TEST(Classificateur, EveryInstanceOfTheCrawlerListIsARobot) {
    const std::optional<std::string> texte = LitFichierDonnees(DonneesTest().listeRobots);
    ASSERT_TRUE(texte);
    ValeurJson liste;
    int ligne = 0;
    std::string erreur;
    ASSERT_TRUE(LitJson(*texte, liste, ligne, erreur));
    Classificateur c(DonneesTest(), "");
    std::size_t instances = 0;
    for (const ValeurJson& e : liste.elements) {
        for (const ValeurJson& i : e.Membre("instances")->elements) {
            ++instances;
            EXPECT_TRUE(c.Classe(i.texte).Robot) << e.Membre("pattern")->texte << " : " << i.texte;
        }
    }
    EXPECT_GT(instances, 2000u);
}

// robots.lst wins over both lists, both ways; the first line that matches decides.
TEST(Classificateur, UserFileDecidesBothWays) {
    RepertoireTemporaire d;
    test::Ecrit(d.Fichier("robots.lst"), "# mes règles\r\n"
                                         "!^curl/\r\n"
                                         "\r\n"
                                         "MonOutil\r\n"
                                         "!Firefox/99\r\n"
                                         "Firefox/9\n"
                                         "!GPTBot");
    Classificateur c(DonneesTest(), d.Fichier("robots.lst"));
    EXPECT_EQ(c.Messages(), std::vector<std::string>{});
    EXPECT_EQ(c.Classe("curl/8.4.0"), (Classement{"curl", "Other", false, ""}));
    EXPECT_EQ(c.Classe("MonOutil/2.0 (Windows NT 10.0)"),
              (Classement{"Other", "Windows", true, "MonOutil"}));
    const std::string f99 = "Mozilla/5.0 (X11; Linux x86_64; rv:99.0) Gecko/20100101 Firefox/99.0";
    const std::string f91 = "Mozilla/5.0 (X11; Linux x86_64; rv:91.0) Gecko/20100101 Firefox/91.0";
    EXPECT_FALSE(c.Classe(f99).Robot);
    EXPECT_EQ(c.Classe(f91), (Classement{"Firefox", "Linux", true, "Firefox/9"}));
    EXPECT_FALSE(c.Classe(kReels[9].agent).Robot); // GPTBot, declared a person
    EXPECT_TRUE(c.Classe(kReels[10].agent).Robot); // ClaudeBot, untouched
}

TEST(Classificateur, AnyAgentBytes) {
    Classificateur c(DonneesTest(), "");
    const std::string longue = "Mozilla/5.0 " + std::string(10000, 'A') + " Firefox/1.0";
    const std::string binaire = "\x01\x02\xFF\xFE\x80 bot \xC3\x28 \xE9t\xE9";
    for (const std::string& a :
         {std::string(), std::string("-"), longue, binaire, std::string("<script>x</script>"),
          std::string(10000, '\xFF'), std::string("\xF0\x9F\x98\x80 émoji")}) {
        const Classement k = c.Classe(a);
        EXPECT_FALSE(k.Navigateur.empty());
        EXPECT_FALSE(k.Systeme.empty());
        EXPECT_EQ(k.Robot, !k.NomRobot.empty()) << a.substr(0, 40);
    }
    EXPECT_EQ(c.Classe("-"), (Classement{"Other", "Other", false, ""}));
    EXPECT_EQ(c.Classe(""), (Classement{"Other", "Other", false, ""}));
    EXPECT_EQ(c.Classe(std::string_view()), (Classement{"Other", "Other", false, ""}));
}

// A list that cannot be read: a French message naming its file (and line), and the
// classification runs with the other sources.
TEST(Classificateur, BadListsSaySoAndTheRestRuns) {
    RepertoireTemporaire d;
    FichiersDonnees sansUap = DonneesTest();
    sansUap.regexesUap = d.Fichier("absent.yaml");
    Classificateur a(sansUap, "");
    EXPECT_EQ(a.Classe(kReels[11].agent).NomRobot, "Claude-User");
    EXPECT_EQ(a.Classe(kReels[0].agent).Navigateur, "Other");
    ASSERT_EQ(a.Messages().size(), 1u);
    EXPECT_EQ(a.Messages()[0], "Impossible de lire le fichier " + d.Fichier("absent.yaml") +
                                   " : les navigateurs et les systèmes ne sont pas reconnus, "
                                   "et les robots le sont par les autres listes seulement.");

    FichiersDonnees jsonCasse = DonneesTest();
    jsonCasse.listeRobots = d.Fichier("robots.json");
    test::Ecrit(jsonCasse.listeRobots, "[\n  {\"pattern\": \"GPTBot\"},\n  {\"pattern\": GPT\n]");
    Classificateur b(jsonCasse, "");
    b.ChargeListes();
    ASSERT_EQ(b.Messages().size(), 1u);
    EXPECT_EQ(b.Messages()[0], "Le fichier " + jsonCasse.listeRobots +
                                   " n'est pas un JSON valide (ligne 3, on attendait une valeur) "
                                   ": les robots sont reconnus sans la liste des robots connus.");
    EXPECT_EQ(b.Classe(kReels[0].agent), kReels[0].attendu);
    EXPECT_TRUE(b.Classe(kReels[7].agent).Robot);   // Googlebot: a spider for uap-core
    EXPECT_FALSE(b.Classe(kReels[11].agent).Robot); // Claude-User: only the list knew it

    test::Ecrit(d.Fichier("robots.lst"), "Bon\n(mauvais\n!Firefox\n");
    Classificateur u(DonneesTest(), d.Fichier("robots.lst"));
    ASSERT_EQ(u.Messages().size(), 1u);
    EXPECT_EQ(u.Messages()[0].rfind("Fichier " + d.Fichier("robots.lst") +
                                        ", ligne 2 : « (mauvais » n'est pas une expression "
                                        "régulière valide (",
                                    0),
              0u)
        << u.Messages()[0];
    EXPECT_NE(u.Messages()[0].find("), ligne ignorée."), std::string::npos);
    EXPECT_TRUE(u.Classe("Bon/1").Robot);
    EXPECT_FALSE(u.Classe("Mozilla/5.0 (compatible; Googlebot/2.1; Firefox)").Robot);

    // A folder where the user's file should be reads as no file.
    Classificateur dossier(DonneesTest(), d.Chemin());
    EXPECT_EQ(dossier.Messages(), std::vector<std::string>{});
}

// A catastrophic expression in robots.lst costs a few bounded searches, then is no longer tried,
// and the user is told.
TEST(Classificateur, PathologicalUserExpressionReturnsPromptly) {
    RepertoireTemporaire d;
    test::Ecrit(d.Fichier("robots.lst"), "^(\\w+\\s?)*$\nSonde\n");
    Classificateur c(DonneesTest(), d.Fichier("robots.lst"));
    std::vector<std::string> agents;
    for (int k = 0; k < 200; ++k) {
        agents.push_back(std::string(3000 + static_cast<std::size_t>(k), 'a') + " a a a a a!");
    }
    agents.push_back("Sonde 1.0");
    const auto debut = std::chrono::steady_clock::now();
    c.ClasseTous(std::vector<std::string_view>(agents.begin(), agents.end()));
    EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(10));
    EXPECT_TRUE(c.Connu("Sonde 1.0")->Robot);
    const std::vector<std::string> m = c.Messages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], "Fichier " + d.Fichier("robots.lst") +
                        ", ligne 1 : l'expression demande trop de calcul sur certains agents ; "
                        "elle n'est plus essayée.");
}

TEST(Classificateur, CacheBetweenRunsKeyedByTheLists) {
    RepertoireTemporaire d;
    const std::string cache = d.Fichier("cache");
    {
        Classificateur c(DonneesTest(cache), "");
        for (const Cas& cas : kReels) {
            c.Classe(cas.agent);
        }
        EXPECT_TRUE(c.SauveCache());
    }
    {
        Classificateur c(DonneesTest(cache), "");
        for (const Cas& cas : kReels) {
            EXPECT_EQ(c.Classe(cas.agent), cas.attendu);
        }
        EXPECT_EQ(c.Calcules(), 0u);
        c.Classe("Nouveau/1.0");
        EXPECT_EQ(c.Calcules(), 1u);
        EXPECT_TRUE(c.SauveCache());
    }
    // The user's file applies over the cached lists' answers.
    test::Ecrit(d.Fichier("robots.lst"), "!Googlebot\n");
    {
        Classificateur c(DonneesTest(cache), d.Fichier("robots.lst"));
        EXPECT_FALSE(c.Classe(kReels[7].agent).Robot);
        EXPECT_TRUE(c.Connu("Nouveau/1.0"));
        EXPECT_EQ(c.Calcules(), 0u);
    }
    // Other lists: the cache is ignored.
    FichiersDonnees autre = DonneesTest(cache);
    autre.listeRobots = d.Fichier("robots.json");
    test::Ecrit(autre.listeRobots, "[{\"pattern\": \"Nouveau\"}]");
    {
        Classificateur c(autre, "");
        EXPECT_EQ(c.Connu(kReels[0].agent), nullptr);
        EXPECT_TRUE(c.Classe("Nouveau/1.0").Robot);
        EXPECT_EQ(c.Calcules(), 1u);
    }
    // A damaged cache file is ignored.
    const std::string octets = test::Contenu(cache + "/agents.cache");
    ASSERT_GT(octets.size(), 40u);
    test::Ecrit(cache + "/agents.cache", octets.substr(0, octets.size() - 7));
    {
        Classificateur c(DonneesTest(cache), "");
        EXPECT_EQ(c.Connu(kReels[0].agent), nullptr);
        EXPECT_EQ(c.Classe(kReels[0].agent), kReels[0].attendu);
    }
    // A list that could not be read: what was classified without it is not kept.
    FichiersDonnees sansUap = DonneesTest(d.Fichier("autre-cache"));
    sansUap.regexesUap = d.Fichier("absent.yaml");
    Classificateur c(sansUap, "");
    c.Classe(kReels[0].agent);
    EXPECT_FALSE(c.SauveCache());
    EXPECT_EQ(test::Contenu(d.Fichier("autre-cache/agents.cache")), "");
}

TEST(Classificateur, VersionsOfTheLists) {
    const VersionsListes v = LitVersionsListes(DonneesTest());
    EXPECT_EQ(v.robots, "crawler-user-agents 1.60.0");
    EXPECT_EQ(v.uap.rfind("uap-core 0.", 0), 0u) << v.uap;
    FichiersDonnees absents = DonneesTest();
    absents.journalUap = "/absent";
    absents.licenceRobots = "/absent";
    const VersionsListes w = LitVersionsListes(absents);
    EXPECT_EQ(w.uap, "uap-core (version inconnue)");
    EXPECT_EQ(w.robots, "crawler-user-agents (version inconnue)");
}

} // namespace
} // namespace sillage
