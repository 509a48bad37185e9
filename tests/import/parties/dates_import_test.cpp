#include "import/parties/dates_import.h"

#include <gtest/gtest.h>

#include <string>

namespace sillage {
namespace {

std::string Ecrit(const DatesImport& dates, DateCompacte d) {
    std::string s;
    dates.Ecrite(d).AjouteA(s);
    return s;
}

TEST(DatesImport, UsualDatesPackedOthersKeptAsTheirText) {
    Arene arene;
    DatesImport dates(arene);
    const DateCompacte usuelle = dates.Date("14/Feb/2004:10:11:12", true);
    EXPECT_EQ(usuelle & kDateTexte, 0u);
    std::string ligne = "7/Feb/2004:1:2:3";
    const DateCompacte copiee = dates.Date(ligne, true);
    const std::string stockee = "05/Xyz/2004:10:11:12";
    const DateCompacte enPlace = dates.Date(stockee, false);
    EXPECT_NE(copiee & kDateTexte, 0u);
    ligne.assign(ligne.size(), '#'); // the log line is gone: the copy stays
    EXPECT_EQ(Ecrit(dates, usuelle), "14/Feb/2004:10:11:12");
    EXPECT_EQ(Ecrit(dates, copiee), "7/Feb/2004:1:2:3");
    EXPECT_EQ(Ecrit(dates, enPlace), stockee);
    EXPECT_EQ(dates.Ecrite(enPlace).Taille(), stockee.size());
    EXPECT_EQ(dates.Lit(copiee), LitDate("7/Feb/2004:1:2:3"));
    EXPECT_EQ(dates.Lit(usuelle), LitDate("14/Feb/2004:10:11:12"));
}

TEST(Arene, CopiesStayWhereTheyAre) {
    Arene arene;
    const std::string_view premiere = arene.Copie("abc");
    const std::string grande(1 << 20, 'g'); // beyond one block
    const std::string_view longue = arene.Copie(grande);
    for (int i = 0; i < 10000; ++i) {
        arene.Copie("remplissage");
    }
    EXPECT_EQ(premiere, "abc");
    EXPECT_EQ(longue, grande);
    EXPECT_EQ(arene.Copie(std::string_view()), "");
}

} // namespace
} // namespace sillage
