#include "store/hachage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sillage {
namespace {

// Keys kept outside the set, as the tables keep them; the set holds positions into cles.
struct Ensemble {
    std::vector<std::string> cles;
    HachagePositions positions;
    std::uint64_t (*hachage)(const std::string&);

    std::int64_t Cherche(const std::string& cle) const {
        return positions.Cherche(hachage(cle), [&](std::uint32_t p) { return cles[p] == cle; });
    }
    void Ajoute(const std::string& cle) {
        if (Cherche(cle) < 0) {
            positions.Insere(hachage(cle), static_cast<std::uint32_t>(cles.size()));
        }
        cles.push_back(cle);
    }
};

std::uint64_t Bon(const std::string& s) {
    return std::hash<std::string>{}(s);
}
std::uint64_t Constant(const std::string&) {
    return 42;
}
// Hashes that differ in their low bits only: every key starts its search at the same slot.
std::uint64_t Bas(const std::string& s) {
    return std::hash<std::string>{}(s)&0xFFFF;
}
// Hashes that differ in their high bits only.
std::uint64_t Haut(const std::string& s) {
    return std::hash<std::string>{}(s) << 48;
}

TEST(HachagePositions, AnswersTheFirstPositionOfEachKey) {
    for (auto hachage : {&Bon, &Constant, &Bas, &Haut}) {
        Ensemble e{{}, {}, hachage};
        EXPECT_EQ(e.Cherche("a"), -1);
        // Enough keys to grow the set several times; each key twice.
        for (int tour = 0; tour < 2; ++tour) {
            for (int i = 0; i < 300; ++i) {
                e.Ajoute("k" + std::to_string(i));
            }
        }
        EXPECT_EQ(e.positions.Taille(), 300u);
        for (int i = 0; i < 300; ++i) {
            ASSERT_EQ(e.Cherche("k" + std::to_string(i)), i);
        }
        EXPECT_EQ(e.Cherche("k300"), -1);
    }
}

TEST(HachagePositions, ReserveKeepsAndEffaceEmpties) {
    Ensemble e{{}, {}, &Bon};
    e.Ajoute("x");
    e.Ajoute("y");
    e.positions.Reserve(10000);
    EXPECT_EQ(e.Cherche("y"), 1);
    e.positions.Precharge(Bon("y"));
    e.positions.Efface();
    EXPECT_EQ(e.positions.Taille(), 0u);
    EXPECT_EQ(e.Cherche("x"), -1);
    e.positions.Insere(Bon("x"), 0);
    EXPECT_EQ(e.Cherche("x"), 0);
}

// Positions far apart, as a filtered index of a large table holds them: each is found.
TEST(HachagePositions, HoldsPositionsFarApart) {
    HachagePositions positions;
    const std::vector<std::uint32_t> loin = {0, 4000000000u, 7, 123456789u, 0xFFFFFFFEu};
    for (std::uint32_t p : loin) {
        positions.Insere(Bon(std::to_string(p)), p);
    }
    for (std::uint32_t p : loin) {
        const std::string cle = std::to_string(p);
        EXPECT_EQ(positions.Cherche(Bon(cle), [&](std::uint32_t q) { return q == p; }), p);
    }
    EXPECT_EQ(positions.Cherche(Bon("8"), [](std::uint32_t) { return true; }), -1);
}

} // namespace
} // namespace sillage
