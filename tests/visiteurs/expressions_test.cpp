// The prefilter's words (MotsRequis), the automaton that finds them, and the bounded matching.
#include "visiteurs/automate.h"
#include "visiteurs/expressions.h"
#include "visiteurs/mots_requis.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

namespace sillage {
namespace {

using Mots = std::vector<std::string>;

TEST(MotsRequis, LiteralsJoinedAndFolded) {
    EXPECT_EQ(MotsRequis("Googlebot\\/"), Mots{"googlebot/"});
    EXPECT_EQ(MotsRequis("[wW]get"), Mots{"wget"});
    EXPECT_EQ(MotsRequis("(sistrix|SISTRIX) [cC]rawler"), (Mots{"sistrix crawler"}));
    EXPECT_EQ(MotsRequis("Ahrefs(Bot|SiteAudit)"), (Mots{"ahrefsbot", "ahrefssiteaudit"}));
    EXPECT_EQ(MotsRequis("^curl"), Mots{"curl"});
    EXPECT_EQ(MotsRequis("Googlebot(?:-Mobile)?/"), (Mots{"googlebot-mobile/", "googlebot/"}));
    EXPECT_EQ(MotsRequis("\\QC++\\E"), Mots{"c++"});
    EXPECT_EQ(MotsRequis("a\\x41\\x{42}"), Mots{"aab"});
    // A run broken by something unknown keeps its longest part.
    EXPECT_EQ(MotsRequis("(Firefox)/(\\d+)\\.(\\d+)"), Mots{"firefox/"});
    EXPECT_EQ(MotsRequis("BlogTraffic\\/\\d\\.\\d+ Feed-Fetcher"), Mots{" feed-fetcher"});
    EXPECT_EQ(MotsRequis("Spider[\\s\\S]*spider\\.com"), Mots{"spider.com"});
    // Each branch's best word.
    EXPECT_EQ(MotsRequis("(?:Chrome|CriOS)/\\d+"), (Mots{"chrome/", "crios/"}));
    EXPECT_EQ(MotsRequis("x(?i)abc"), Mots{"xabc"});
    EXPECT_EQ(MotsRequis("(?=look)ahead"), Mots{"ahead"});
    EXPECT_EQ(MotsRequis("ab{2}c"), Mots{"abbc"});
    EXPECT_EQ(MotsRequis("(?:ab)+c"), Mots{"ab"});
    EXPECT_EQ(MotsRequis("a{,3}"), Mots{"a{,3}"}); // no quantifier in this version: literal
}

TEST(MotsRequis, NoWordsWhenAnythingMayMatch) {
    for (const char* motif :
         {"", ".*", "\\d+", "a|.", "(a|b)*", "[a-z]+", "[^x]", "a?", "(?x) a b", "\\p{L}",
          "(*UTF)x", "x{0,5}", "(?:abc|)", "(", "a)", "[abc", "\\", "(?<n>x)\\k<n>", "^$"}) {
        EXPECT_EQ(MotsRequis(motif), Mots{}) << motif;
    }
}

TEST(Automate, FindsEveryWordFoldedAndOverlapping) {
    const Automate a({"he", "she", "his", "hers", "", "é"});
    std::multiset<std::uint32_t> trouves;
    a.Parcourt("USHERS - \xE9t", [&](std::uint32_t k) { trouves.insert(k); });
    // "ushers" holds she, he, hers; the byte \xE9 is not "é" in UTF-8.
    EXPECT_EQ(trouves, (std::multiset<std::uint32_t>{0, 1, 3}));
    std::multiset<std::uint32_t> accent;
    Automate({"\xC3\xA9"}).Parcourt("\xC3\xA9t\xC3\xA9", [&](std::uint32_t k) {
        accent.insert(k);
    });
    EXPECT_EQ(accent.size(), 2u);
}

// The prefilter never hides a match: over a set of expressions and texts, the first match
// behind the prefilter is the first match of a plain walk through every expression.
TEST(JeuExpressions, PrefilterGivesTheFirstMatchOfAPlainWalk) {
    const std::vector<std::pair<std::string, bool>> motifs = {{"(Firefox)/(\\d+)", false},
                                                              {"(?:Chrome|CriOS)/(\\d+)", false},
                                                              {"bot|crawl|spider", true},
                                                              {"^Mozilla/5\\.0 \\(X11", false},
                                                              {"(Wget)", true},
                                                              {".*", false}};
    JeuExpressions jeu;
    std::string erreur;
    for (const auto& [m, i] : motifs) {
        ASSERT_TRUE(jeu.Ajoute(m, i, erreur)) << m;
    }
    jeu.Prepare();
    EXPECT_EQ(jeu.Filtrees(), 5u);
    for (const char* texte : {"Mozilla/5.0 (X11; Linux) Firefox/120", "CriOS/90", "MyCRAWLER",
                              "wget/1.2", "", "-", "Mozilla/5.0 (X11"}) {
        int premiere = -1;
        for (std::size_t k = 0; k < jeu.Taille(); ++k) {
            if (jeu[k].Cherche(texte)) {
                premiere = static_cast<int>(k);
                break;
            }
        }
        EXPECT_EQ(jeu.Premiere(texte), premiere) << texte;
    }
    Groupes g;
    EXPECT_EQ(jeu.Premiere("x Firefox/120 y", &g), 0);
    EXPECT_EQ(g.texte[0], "Firefox/120");
    EXPECT_EQ(g.texte[1], "Firefox");
    EXPECT_EQ(g.texte[2], "120");
}

TEST(Expression, InvalidExpressionsSayWhy) {
    std::string erreur;
    EXPECT_EQ(Expression::Compile("(abc", false, erreur), nullptr);
    EXPECT_NE(erreur.find("position"), std::string::npos) << erreur;
    EXPECT_EQ(Expression::Compile("(*UTF)abc", false, erreur), nullptr);
    EXPECT_NE(Expression::Compile("abc", false, erreur), nullptr);
    // An empty view without an address is an empty text.
    EXPECT_TRUE(Expression::Compile("^$", false, erreur)->Cherche(std::string_view()));
}

// A pathological expression gives up within its bounds, on any bytes, and a set stops trying it
// after a few give-ups.
TEST(Expression, CatastrophicBacktrackingGivesUpPromptly) {
    std::string erreur;
    const auto e = Expression::Compile("^(\\w+\\s?)*$", false, erreur);
    ASSERT_NE(e, nullptr);
    const std::string texte = std::string(5000, 'a') + " a a a a a a a a a a a!";
    const auto debut = std::chrono::steady_clock::now();
    EXPECT_FALSE(e->Cherche(texte));
    EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(1));
    EXPECT_EQ(e->Abandons(), 1u);

    JeuExpressions jeu;
    ASSERT_TRUE(jeu.Ajoute("^(a|aa)+$", false, erreur));
    ASSERT_TRUE(jeu.Ajoute("zzz", false, erreur));
    jeu.Prepare();
    jeu.FixeAbandonsMax(3);
    const std::string piege = std::string(3000, 'a') + "zzz";
    const auto debutJeu = std::chrono::steady_clock::now();
    for (int k = 0; k < 1000; ++k) {
        EXPECT_EQ(jeu.Premiere(piege), 1);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - debutJeu, std::chrono::seconds(3));
    EXPECT_TRUE(jeu.Ecartee(0));
    EXPECT_FALSE(jeu.Ecartee(1));
}

} // namespace
} // namespace sillage
