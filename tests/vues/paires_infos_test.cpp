#include "vues/paires_infos.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

TEST(PairesInfos, EachLookUpTakesTheFirstUnusedPairOfItsIdentifier) {
    PairesInfos p(10);
    p.Ajoute("3", 100);
    p.Ajoute("5", 101);
    p.Ajoute("3", 102);
    EXPECT_FALSE(p.Vide());
    EXPECT_EQ(p.Prend("3"), 100);
    EXPECT_EQ(p.Prend("3"), 102);
    EXPECT_EQ(p.Prend("3"), -1);
    EXPECT_EQ(p.Prend("4"), -1);
    EXPECT_EQ(p.Prend("5"), 101);
    EXPECT_TRUE(p.Vide());
    // A pair added after its identifier ran out is found again.
    p.Ajoute("3", 103);
    EXPECT_EQ(p.Prend("3"), 103);
}

TEST(PairesInfos, TextIdentifiersMatchIgnoringCaseAndNumbersAsWritten) {
    PairesInfos p(10);
    EXPECT_EQ(p.Prend("7"), -1); // nothing added yet
    p.Ajoute("H\xE9", 1);        // a Windows-1252 small e acute
    p.Ajoute("07", 2);           // a leading zero: another text than 7
    p.Ajoute("7", 3);
    p.Ajoute("123456789", 4); // past the array's bound
    p.Ajoute("", 5);
    EXPECT_EQ(p.Prend("h\xC9"), 1); // its capital
    EXPECT_EQ(p.Prend("7"), 3);
    EXPECT_EQ(p.Prend("7"), -1);
    EXPECT_EQ(p.Prend("07"), 2);
    EXPECT_EQ(p.Prend("123456789"), 4);
    EXPECT_EQ(p.Prend("1234567890"), -1);
    EXPECT_EQ(p.Prend(""), 5);
    EXPECT_TRUE(p.Vide());
}

} // namespace
} // namespace sillage
