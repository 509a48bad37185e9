#include "import/parties/tri.h"
#include "store/base.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

using test::Compteur;
using test::Rangee;
using test::TableDe;

TEST(CompareAcces, OrderByCount) {
    const Table t = TableDe({Rangee(0, "a", 5), Rangee(1, "b", 12), Compteur(2)});
    EXPECT_EQ(CompareAcces(t, 0, 1), 1);
    EXPECT_EQ(CompareAcces(t, 1, 0), -1);
    EXPECT_EQ(CompareAcces(t, 1, 1), 0);
    EXPECT_EQ(CompareAcces(t, 0, 2), -1);
}

TEST(AccesPourTri, LeadingDigitsOfFieldThree) {
    EXPECT_EQ(AccesPourTri(Rangee(0, "a", 42)), 42);
    EXPECT_EQ(AccesPourTri("\\1;0\\2;a\\3;-7\\4;d\\5;"), -7);
    EXPECT_EQ(AccesPourTri("\\1;0\\2;a\\3;12x\\4;d\\5;"), 12);
    EXPECT_EQ(AccesPourTri("\\1;0\\2;a\\3;\\4;d\\5;"), 0);
    EXPECT_EQ(AccesPourTri(Compteur(3)), 0);
    // Digits beyond any count stop growing the value instead of wrapping.
    EXPECT_GT(AccesPourTri("\\1;0\\2;a\\3;99999999999999999999999\\4;d\\5;"), 1ll << 40);
}

TEST(TrieListes, DecreasingCountsStableAndTheCounterRowLast) {
    const Table t = TableDe({Rangee(0, "a", 1), Rangee(1, "b", 3), Rangee(2, "c", 1),
                             Rangee(3, "d", 3), "\\1;4\\2;x\\3;9\\4;"});
    Table triee;
    ASSERT_TRUE(TrieDans(t, triee));
    EXPECT_TRUE(triee == TableDe({Rangee(1, "b", 3), Rangee(3, "d", 3), Rangee(0, "a", 1),
                                  Rangee(2, "c", 1), "\\1;4\\2;x\\3;9\\4;"}));
    // Already in order, or too short to sort: nothing to do.
    EXPECT_FALSE(TrieDans(triee, triee));
    Table rien;
    EXPECT_FALSE(TrieDans(TableDe({Rangee(0, "a", 1), Rangee(1, "b", 3)}), rien));

    Base base;
    base.ListePage = t;
    base.ListeNom = t;
    base.ListeDownload = t;
    TrieListes(base);
    EXPECT_TRUE(base.ListePage == triee);
    EXPECT_TRUE(base.ListeNom == triee);
    EXPECT_TRUE(base.ListeDownload == t); // not a ranked table
}

} // namespace
} // namespace sillage
