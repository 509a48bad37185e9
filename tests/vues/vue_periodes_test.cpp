#include "vues/vue_periodes.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

TEST(VuePeriodes, ChoicesAreTheHistoryThenEachYearBeforeItsMonthsNewestFirst) {
    // As Base::Periodes gives them: in the order of their names, a stray name among them.
    const std::vector<ChoixPeriode> choix =
        ChoixPeriodes({"-0001", "-0001-12", "0044", "0044-06", "2003", "2003-11", "2003-12", "2004",
                       "2004-01", "2004-02", "2004-02", "notes", "2004-13", "10000", "10000-01"});
    const std::vector<ChoixPeriode> attendus = {
        {"", "Tout l'historique", false},
        {"10000", "10000", true},
        {"10000-01", "janvier 10000", false},
        {"2004", "2004", true},
        {"2004-02", "février 2004", false},
        {"2004-01", "janvier 2004", false},
        {"2003", "2003", true},
        {"2003-12", "décembre 2003", false},
        {"2003-11", "novembre 2003", false},
        {"0044", "0044", true},
        {"0044-06", "juin 0044", false},
        {"-0001", "-0001", true},
        {"-0001-12", "décembre -0001", false},
    };
    EXPECT_EQ(choix, attendus);
    EXPECT_EQ(ChoixPeriodes({}), std::vector<ChoixPeriode>({{"", "Tout l'historique", false}}));
}

TEST(VuePeriodes, TitleAndTextsNameThePeriod) {
    EXPECT_EQ(TitreFenetre(""), "Sillage");
    EXPECT_EQ(TitreFenetre("2024-08"), "Sillage — août 2024");
    EXPECT_EQ(TitreFenetre("2024"), "Sillage — 2024");
    EXPECT_EQ(TextePeriodeIndisponible("2024-03"), "mars 2024 (indisponible)");
    const std::string question = QuestionPeriodeModifiee("2024-03", "Les tables de D ont...");
    EXPECT_EQ(question.find("Les tables de D ont...\n\n"), 0u);
    EXPECT_NE(question.find("mars 2024 telle qu'elle est ?"), std::string::npos);
}

TEST(VuePeriodes, MonthsOfAReportLineListedOrSummedUp) {
    EXPECT_EQ(TexteMoisTouches({}), "");
    EXPECT_EQ(TexteMoisTouches({"2024"}), "");
    EXPECT_EQ(TexteMoisTouches({"2024", "2024-02", "2024-03"}), "mois : 2024-02, 2024-03");
    EXPECT_EQ(TexteMoisTouches({"2023", "2023-12", "2024", "2024-01", "2024-02"}),
              "mois : 2023-12, 2024-01, 2024-02");
    std::vector<std::string> trente;
    for (int annee = 2021; annee <= 2023; ++annee) {
        trente.push_back(std::to_string(annee));
        for (int mois = 1; mois <= 12; ++mois) {
            trente.push_back(std::to_string(annee) + (mois < 10 ? "-0" : "-") +
                             std::to_string(mois));
        }
    }
    EXPECT_EQ(TexteMoisTouches(trente), "mois : 2021-01 à 2023-12, 36 mois");
    // Years before year 0 in the calendar's order, not their names'.
    EXPECT_EQ(TexteMoisTouches({"-0001-01", "-0002-12", "-0002-03", "0001-01"}),
              "mois : -0002-03 à 0001-01, 4 mois");
}

} // namespace
} // namespace sillage
