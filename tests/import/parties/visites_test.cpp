// The visit rule: more than 30 minutes between two hits of a host opens a visit, measured across
// one midnight only.
#include "import/parties/visites.h"
#include "store/date.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

RDate D(const char* texte) {
    return LitDate(texte);
}

TEST(NouvelleVisite, WithinOneDay) {
    EXPECT_TRUE(NouvelleVisite(D("14/Feb/2004:10:00:00"), D("14/Feb/2004:10:31:00")));
    EXPECT_FALSE(NouvelleVisite(D("14/Feb/2004:10:00:00"), D("14/Feb/2004:10:30:59")));
    EXPECT_FALSE(NouvelleVisite(D("14/Feb/2004:10:50:00"), D("14/Feb/2004:11:15:00")));
    EXPECT_FALSE(NouvelleVisite(D("14/Feb/2004:10:50:00"), D("14/Feb/2004:09:00:00")));
}

TEST(NouvelleVisite, AcrossMidnight) {
    EXPECT_FALSE(NouvelleVisite(D("14/Feb/2004:23:50:00"), D("15/Feb/2004:00:15:00")));
    EXPECT_TRUE(NouvelleVisite(D("14/Feb/2004:23:50:00"), D("15/Feb/2004:00:25:00")));
    EXPECT_TRUE(NouvelleVisite(D("14/Feb/2004:22:50:00"), D("15/Feb/2004:00:05:00")));
    EXPECT_TRUE(NouvelleVisite(D("14/Feb/2004:10:00:00"), D("16/Feb/2004:10:00:00")));
}

TEST(NouvelleVisite, AcrossMonthAndYearEnds) {
    EXPECT_FALSE(NouvelleVisite(D("31/Jan/2004:23:45:00"), D("01/Feb/2004:00:10:00")));
    EXPECT_TRUE(NouvelleVisite(D("30/Apr/2004:23:45:00"), D("01/May/2004:00:20:00")));
    EXPECT_TRUE(NouvelleVisite(D("31/Jan/2004:10:50:00"), D("01/Feb/2004:10:05:00")));
    EXPECT_FALSE(NouvelleVisite(D("28/Feb/2003:23:50:00"), D("01/Mar/2003:00:05:00")));
    EXPECT_TRUE(NouvelleVisite(D("28/Feb/2004:23:50:00"), D("01/Mar/2004:00:05:00")));
    EXPECT_FALSE(NouvelleVisite(D("29/Feb/2004:23:50:00"), D("01/Mar/2004:00:05:00")));
    // Every year divisible by 4 is a leap year here, 1900 included.
    EXPECT_TRUE(NouvelleVisite(D("28/Feb/1900:23:50:00"), D("01/Mar/1900:00:05:00")));
    EXPECT_FALSE(NouvelleVisite(D("31/Dec/2003:23:45:00"), D("01/Jan/2004:00:05:00")));
    EXPECT_TRUE(NouvelleVisite(D("31/Dec/2003:23:45:00"), D("01/Jan/2004:00:20:00")));
    EXPECT_TRUE(NouvelleVisite(D("31/Dec/2003:23:45:00"), D("01/Jan/2005:00:05:00")));
    EXPECT_TRUE(NouvelleVisite(D("01/Mar/2004:00:05:00"), D("28/Feb/2004:23:50:00")));
    // A stored date whose month is unknown never matches a month-end rule.
    EXPECT_TRUE(NouvelleVisite(D("00/xyz/2004:23:50:00"), D("01/Jan/2004:00:05:00")));
}

} // namespace
} // namespace sillage
