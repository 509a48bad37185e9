#include "vues/vue_resume.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

void Remplit(Table& t, int enregistrements) {
    for (int i = 0; i < enregistrements; ++i) {
        t.Ajoute("\\1;" + std::to_string(i) + "\\2;n" + std::to_string(i) + "\\3;1\\4;d\\5;");
    }
    t.Ajoute("\\1;" + std::to_string(enregistrements) + "\\2;");
}

TEST(ComptesResume, RecordCountsInTheOrderOfTheSummaryRows) {
    Base base;
    Remplit(base.ListePage, 5);
    Remplit(base.ListeNom, 4);
    Remplit(base.ListeImage, 3);
    Remplit(base.ListeOrigine, 0);
    Remplit(base.ListeDownload, 1);
    EXPECT_EQ(ComptesResume(base), (std::array<std::size_t, 5>{5, 4, 3, 0, 1}));
    // Tables never loaded count no record.
    EXPECT_EQ(ComptesResume(Base{}), (std::array<std::size_t, 5>{0, 0, 0, 0, 0}));
}

TEST(TextesAnnees, FieldOneOfEveryRowInTableOrder) {
    Table mois;
    mois.Ajoute("\\1;2005\\2;l\\3;10\\4;");
    mois.Ajoute("\\1;2004\\2;l\\3;10\\4;");
    mois.Ajoute("\\1;2005\\2;l\\3;10\\4;");
    EXPECT_EQ(TextesAnnees(mois), (std::vector<std::string>{"2005", "2004", "2005"}));
    EXPECT_TRUE(TextesAnnees(Table{}).empty());
}

TEST(TextesMois, MonthYearAndDailyMaximum) {
    Table heures;
    heures.Ajoute("\\1;2004\\2;Feb\\3;17\\4;3\\5;");
    heures.Ajoute("\\1;2003\\2;Dec\\3;0\\4;0\\5;");
    EXPECT_EQ(TextesMois(heures),
              (std::vector<std::string>{"Feb 2004 (max: 17)", "Dec 2003 (max: 0)"}));
    EXPECT_TRUE(TextesMois(Table{}).empty());
}

} // namespace
} // namespace sillage
