#include "store/date.h"
#include "store/date_compacte.h"

#include <gtest/gtest.h>

#include <string>

namespace sillage {
namespace {

std::string Texte(DateCompacte d) {
    std::string s = "x";
    AjouteDateCompacte(s, d);
    return s.substr(1);
}

TEST(DateCompacte, TheUsualFormGivesBackItsTextAndItsDate) {
    for (const char* texte :
         {"14/Feb/2004:10:11:12", "01/Jan/0000:00:00:00", "31/Dec/9999:23:59:59",
          "00/Jun/2004:99:99:99", "99/Sep/1999:07:08:09"}) {
        DateCompacte d = 0;
        ASSERT_TRUE(CompacteDate(texte, d)) << texte;
        EXPECT_EQ(Texte(d), texte);
        EXPECT_EQ(DecompacteDate(d), LitDate(texte)) << texte;
        EXPECT_EQ(d & kDateTexte, 0u);
    }
    for (int m = 0; m < 12; ++m) {
        DateCompacte d = 0;
        const std::string texte = "05/" + std::string(kNomsMois[m]) + "/2010:01:02:03";
        ASSERT_TRUE(CompacteDate(texte, d));
        EXPECT_EQ(DecompacteDate(d).Mois, m + 1);
        EXPECT_EQ(Texte(d), texte);
    }
}

TEST(DateCompacte, AnyOtherTextIsNotPacked) {
    for (const char* texte :
         {"", "14/Feb/2004:10:11", "14/Feb/2004:10:11:12 ", "4/Feb/2004:10:11:12",
          "14/feb/2004:10:11:12", "14/Fev/2004:10:11:12", "14-Feb-2004:10:11:12",
          "14/Feb/2004 10:11:12", "1a/Feb/2004:10:11:12", "14/Feb/-004:10:11:12",
          "14/Feb/2004:10:11:1x"}) {
        DateCompacte d = 0;
        EXPECT_FALSE(CompacteDate(texte, d)) << texte;
    }
}

} // namespace
} // namespace sillage
