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

TEST(HachagePositions, AnswersTheFirstPositionOfEachKey) {
    for (auto hachage : {&Bon, &Constant}) {
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

} // namespace
} // namespace sillage
