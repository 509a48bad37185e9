// genere-log, run as a program: same seed, same bytes; lines that the import's parser reads as
// intended; dates that stay in order through the whole period; the mix the benchmarks rely on.

#include "import/lecture/ligne_log.h"
#include "store/date.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace sillage;

using test::Resultat;

Resultat Genere(const std::string& arguments) {
    return test::Lance(std::string("'") + GENERE_LOG + "' " + arguments);
}

std::vector<std::string_view> Lignes(const std::string& texte) {
    std::vector<std::string_view> lignes;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        const std::size_t fin = texte.find('\n', debut);
        EXPECT_NE(fin, std::string::npos) << "dernière ligne sans fin de ligne";
        if (fin == std::string::npos) {
            break;
        }
        lignes.push_back(std::string_view(texte).substr(debut, fin - debut));
        debut = fin + 1;
    }
    return lignes;
}

TEST(GenereLog, TheSameSeedGivesTheSameBytes) {
    const Resultat a = Genere("--lignes 3000 --graine 7");
    const Resultat b = Genere("--lignes 3000 --graine 7");
    const Resultat c = Genere("--lignes 3000 --graine 8");
    ASSERT_EQ(a.code, 0);
    EXPECT_EQ(Lignes(a.sortie).size(), 3000u);
    EXPECT_EQ(a.sortie, b.sortie);
    EXPECT_NE(a.sortie, c.sortie);
}

TEST(GenereLog, WrongOptionsAreRefused) {
    EXPECT_EQ(Genere("--lignes douze").code, 2);
    EXPECT_EQ(Genere("--lignes -5").code, 2);
    EXPECT_EQ(Genere("--inconnue").code, 2);
    EXPECT_EQ(Genere("--lignes 0").sortie, "");
}

TEST(GenereLog, NumericGivesOnlyAddresses) {
    const std::regex adresse("[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}");
    const Resultat numerique = Genere("--lignes 5000 --numerique");
    ASSERT_EQ(numerique.code, 0);
    for (std::string_view l : Lignes(numerique.sortie)) {
        const std::string hote(l.substr(0, l.find(' ')));
        ASSERT_TRUE(std::regex_match(hote, adresse)) << hote;
    }
    const Resultat melange = Genere("--lignes 5000");
    std::size_t noms = 0;
    for (std::string_view l : Lignes(melange.sortie)) {
        noms += !std::regex_match(std::string(l.substr(0, l.find(' '))), adresse);
    }
    EXPECT_GT(noms, 500u) << "sans --numerique, des noms d'hôtes se mêlent aux adresses";
}

// Every line reads as the import reads it, dates never go back, and the log covers the year
// boundary through 29 Feb 2004.
TEST(GenereLog, LinesReadByTheImportInDateOrder) {
    for (const char* options : {"--lignes 20000", "--lignes 20000 --prefixe"}) {
        SCOPED_TRACE(options);
        const Resultat r = Genere(options);
        ASSERT_EQ(r.code, 0);
        const std::vector<std::string_view> lignes = Lignes(r.sortie);
        ASSERT_EQ(lignes.size(), 20000u);
        const int champs = CompteNombreChamps(lignes[0]);
        EXPECT_EQ(champs == 4, std::string_view(options).find("--prefixe") != std::string::npos);

        std::tuple<int, int, int, int, int, int> precedente{};
        std::set<std::string> mois;
        for (std::string_view l : lignes) {
            const RHits h = DecoupeLigneLog(l, champs);
            ASSERT_EQ(h.Hote, l.substr(champs == 4 ? l.find(' ') + 1 : 0).substr(0, h.Hote.size()));
            ASSERT_FALSE(h.Hote.empty()) << l;
            ASSERT_EQ(h.Page.substr(0, 1), "/") << l;
            ASSERT_TRUE(h.Origine == "-" || h.Origine.rfind("http://", 0) == 0) << l;
            ASSERT_FALSE(h.Navigateur.empty()) << l;
            ASSERT_TRUE(std::regex_match(h.Statut, std::regex("200|302|304|403|404|500"))) << l;
            bool comptable = false;
            const RDate d = LitDate(h.DateLog, comptable);
            ASSERT_TRUE(comptable) << l;
            const std::tuple<int, int, int, int, int, int> date{d.Annee, d.Mois,   d.Jour,
                                                                d.Heure, d.Minute, d.Seconde};
            ASSERT_LE(precedente, date) << l;
            precedente = date;
            mois.insert(d.NomMois + "/" + std::to_string(d.Annee));
        }
        EXPECT_EQ(mois, (std::set<std::string>{"Nov/2003", "Dec/2003", "Jan/2004", "Feb/2004"}));
        EXPECT_EQ(DecoupeLigneLog(lignes.front(), champs).DateLog.substr(0, 11), "01/Nov/2003");
        EXPECT_EQ(DecoupeLigneLog(lignes.back(), champs).DateLog.substr(0, 11), "29/Feb/2004");
    }
}

// The cases the import must meet in a realistic log are all there.
TEST(GenereLog, RealisticMix) {
    const Resultat r = Genere("--lignes 20000");
    ASSERT_EQ(r.code, 0);
    std::set<std::string> extensionsImages;
    std::size_t images = 0, downloads = 0, pages = 0, recherches = 0, internes = 0;
    bool requeteVide = false, esperluettesDoublees = false, accentPage = false,
         accentRecherche = false, pageAvecRequete = false;
    std::set<std::string> statuts;
    for (std::string_view l : Lignes(r.sortie)) {
        const RHits h = DecoupeLigneLog(l, 3);
        statuts.insert(h.Statut);
        if (EstImage(h.Page)) {
            ++images;
            extensionsImages.insert(h.Page.substr(h.Page.rfind('.')));
        } else if (EstDownload(h.Page)) {
            ++downloads;
        } else {
            ++pages;
            pageAvecRequete |= h.Page.find('?') != std::string::npos;
            accentPage |= h.Page.find('\xE9') != std::string::npos;
        }
        internes += h.Origine.rfind("http://www.example.com/", 0) == 0;
        if (!h.Keywords.empty()) {
            ++recherches;
            requeteVide |= h.Keywords == "\"\"";
            esperluettesDoublees |= h.Keywords.find("\" \"\" \"") != std::string::npos;
            accentRecherche |= h.Keywords.find('\xE9') != std::string::npos ||
                               h.Keywords.find('\xE8') != std::string::npos;
        }
    }
    for (const char* e : {".gif", ".GIF", ".jpg", ".JPEG", ".png", ".Png"}) {
        EXPECT_TRUE(extensionsImages.count(e)) << e;
    }
    EXPECT_EQ(statuts, (std::set<std::string>{"200", "302", "304", "403", "404", "500"}));
    EXPECT_GT(images, pages);
    EXPECT_GT(downloads, 100u);
    EXPECT_GT(internes, 10000u);
    EXPECT_GT(recherches, 300u);
    EXPECT_TRUE(requeteVide);
    EXPECT_TRUE(esperluettesDoublees);
    EXPECT_TRUE(accentPage);
    EXPECT_TRUE(accentRecherche);
    EXPECT_TRUE(pageAvecRequete);
}

} // namespace

// Every crawler's agent of the realistic mix holds one of these words, and no other agent does.
const std::regex kMotsRobots("bot|spider|slurp|crawl", std::regex::icase);

// The realistic mix: its shares of named hosts, IPv6 addresses and crawlers, and the host and
// page counts it is given.
TEST(GenereLog, RealisticHostMixAndSizes) {
    const Resultat r = Genere("--realiste --lignes 50000 --hotes 3000 --pages 2000");
    ASSERT_EQ(r.code, 0);
    const std::regex adresse("[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}");
    std::size_t n = 0, nommes = 0, ipv6 = 0, robots = 0, requetes = 0, lignesPages = 0;
    std::set<std::string> hotes, pages;
    for (std::string_view l : Lignes(r.sortie)) {
        const RHits h = DecoupeLigneLog(l, 3);
        ++n;
        hotes.insert(h.Hote);
        if (h.Hote.find(':') != std::string::npos) {
            ++ipv6;
        } else if (!std::regex_match(h.Hote, adresse)) {
            ++nommes;
        }
        robots += std::regex_search(h.Navigateur, kMotsRobots);
        if (!EstImage(h.Page) && !EstDownload(h.Page) && h.Page != "/robots.txt") {
            ++lignesPages;
            pages.insert(h.Page);
            requetes += h.Page.find('?') != std::string::npos;
        }
    }
    ASSERT_EQ(n, 50000u);
    EXPECT_NEAR(static_cast<double>(nommes) / n, 0.37, 0.05);
    EXPECT_NEAR(static_cast<double>(ipv6) / n, 0.05, 0.02);
    EXPECT_NEAR(static_cast<double>(robots) / n, 0.22, 0.04);
    EXPECT_LE(hotes.size(), 3000u);
    EXPECT_GT(hotes.size(), 1000u);
    EXPECT_LE(pages.size(), 2500u); // stale links and paths typed in another case add a few
    EXPECT_GT(requetes, 0u);
    EXPECT_LT(static_cast<double>(requetes) / lignesPages, 0.1);
    EXPECT_NE(r.sortie.find(".abo.wanadoo.fr - "), std::string::npos);
    EXPECT_NE(r.sortie.find(".googlebot.com - "), std::string::npos);

    // The same mix with numeric addresses only.
    const Resultat numerique = Genere("--realiste --numerique --lignes 5000");
    for (std::string_view l : Lignes(numerique.sortie)) {
        ASSERT_TRUE(std::regex_match(std::string(l.substr(0, l.find(' '))), adresse)) << l;
    }
    EXPECT_EQ(Genere("--hotes 0").code, 2);
    EXPECT_EQ(Genere("--robots 120").code, 2);
}

// The agents of the realistic mix are those of real logs: browsers of several families in many
// versions, search engines' and AI crawlers, tools, and a long tail; --agents sets the tail.
TEST(GenereLog, RealisticAgents) {
    const Resultat r = Genere("--realiste --lignes 100000");
    ASSERT_EQ(r.code, 0);
    std::map<std::string, std::size_t> agents;
    for (std::string_view l : Lignes(r.sortie)) {
        ++agents[DecoupeLigneLog(l, 3).Navigateur];
    }
    std::size_t robots = 0, uneFois = 0;
    std::set<std::string> familles;
    for (const auto& [a, n] : agents) {
        robots += std::regex_search(a, kMotsRobots);
        uneFois += n <= 20; // one visit's hits
        for (const char* f : {"Firefox/", "Chrome/", "Edg/", "OPR/", "SamsungBrowser/", "CriOS/",
                              "Version/", "MSIE ", "Trident/", "Wget/", "python-requests/",
                              "Android ", "iPhone OS ", "Mac OS X ", "Windows NT ", "Linux "}) {
            if (a.find(f) != std::string::npos) {
                familles.insert(f);
            }
        }
    }
    EXPECT_GT(agents.size(), 1500u);
    EXPECT_GT(uneFois, 300u);
    EXPECT_GT(robots, 20u);
    EXPECT_EQ(familles.size(), 16u);
    for (const char* robot : {"GPTBot/", "ClaudeBot/", "CCBot/", "PerplexityBot/", "Googlebot/",
                              "bingbot/", "Bytespider"}) {
        EXPECT_NE(r.sortie.find(robot), std::string::npos) << robot;
    }
    const auto distincts = [&](const std::string& arguments) {
        std::set<std::string> d;
        const Resultat journal = Genere(arguments);
        for (std::string_view l : Lignes(journal.sortie)) {
            d.insert(DecoupeLigneLog(l, 3).Navigateur);
        }
        return d.size();
    };
    EXPECT_LT(distincts("--realiste --lignes 100000 --agents 100"), agents.size() - 1000);
    EXPECT_EQ(Genere("--agents 0").code, 2);
    // The plain log keeps its few agents: eight, and its crawler's.
    EXPECT_EQ(distincts("--lignes 20000"), 9u);
}
