// The periods' thread: every line handed over is counted once, in order, with its texts and
// numbers as they were given, across lots; what counting raises comes back from Termine.
#include "import/moteur/fil_periodes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace sillage {
namespace {

struct Vue {
    std::int64_t numero;
    std::string hote, page, agent;
    std::uint64_t hHote;
    bool image, illisible;
    RangsRacine racine;
};

LignePreparee Ligne(const std::string& hote, const std::string& page, const std::string& agent,
                    std::uint64_t h) {
    LignePreparee p;
    p.hit.Hote = hote;
    p.hit.Page = page;
    p.hit.Navigateur = agent;
    p.hHote = h;
    p.image = h % 2 == 0;
    p.hit.Illisible = h % 3 == 0;
    return p;
}

TEST(FilPeriodes, EveryLineOnceInOrderWithItsTextsAcrossLots) {
    std::vector<Vue> vues;
    FilPeriodes fil([&](const LignePreparee& p, std::int64_t numero) {
        vues.push_back({numero, std::string(p.hit.Hote), std::string(p.hit.Page),
                        std::string(p.hit.Navigateur), p.hHote, p.image, p.hit.Illisible,
                        p.racine});
    });
    // Enough lines for several lots, some long enough to fill a lot by their bytes.
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        // (The prepared line points into these texts: they live until it is handed over.)
        const std::string hote = "h" + std::to_string(i);
        const std::string page = i % 997 == 0 ? std::string(300000, 'x') : "/p" + std::to_string(i);
        const std::string agent = "agent " + std::to_string(i % 7);
        fil.Ajoute(Ligne(hote, page, agent, 1000u + i), i + 1, {i, i % 5 - 1, -1, i % 7});
    }
    fil.Termine();
    ASSERT_EQ(vues.size(), static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Vue& v = vues[static_cast<std::size_t>(i)];
        EXPECT_EQ(v.numero, i + 1);
        EXPECT_EQ(v.hote, "h" + std::to_string(i));
        EXPECT_EQ(v.page.size(), i % 997 == 0 ? 300000u : ("/p" + std::to_string(i)).size());
        EXPECT_EQ(v.agent, "agent " + std::to_string(i % 7));
        EXPECT_EQ(v.hHote, 1000u + i);
        EXPECT_EQ(v.image, (1000u + i) % 2 == 0);
        EXPECT_EQ(v.illisible, (1000u + i) % 3 == 0);
        EXPECT_EQ(v.racine.hote, i); // the store's records come with the line
        EXPECT_EQ(v.racine.ressource, i % 5 - 1);
        EXPECT_EQ(v.racine.origine, -1);
        EXPECT_EQ(v.racine.agent, i % 7);
    }
    // It can be used again after Termine.
    const std::string a = "a", b = "/b", c = "c";
    fil.Ajoute(Ligne(a, b, c, 7), n + 1);
    fil.Termine();
    EXPECT_EQ(vues.size(), static_cast<std::size_t>(n + 1));
}

TEST(FilPeriodes, WhatCountingRaisesComesBackAndTheRestIsDropped) {
    std::vector<std::int64_t> comptees;
    FilPeriodes fil([&](const LignePreparee&, std::int64_t numero) {
        if (numero == 5000) {
            throw std::runtime_error("ligne 5000");
        }
        comptees.push_back(numero);
    });
    const std::string h = "h", p = "/p", a = "a";
    for (int i = 1; i <= 30000; ++i) {
        fil.Ajoute(Ligne(h, p, a, 1), i);
    }
    try {
        fil.Termine();
        FAIL() << "nothing raised";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "ligne 5000");
    }
    ASSERT_FALSE(comptees.empty());
    EXPECT_EQ(comptees.back(), 4999);
}

TEST(FilPeriodes, StoppedWithLinesLeftDoesNotWait) {
    int comptees = 0;
    {
        FilPeriodes fil([&](const LignePreparee&, std::int64_t) { ++comptees; });
        const std::string h = "h", p = "/p", a = "a";
        for (int i = 1; i <= 50000; ++i) {
            fil.Ajoute(Ligne(h, p, a, 1), i);
        }
    } // no Termine: an import that failed
    EXPECT_LE(comptees, 50000);
}

} // namespace
} // namespace sillage
