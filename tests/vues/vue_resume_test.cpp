#include "vues/vue_resume.h"

#include "store/enregistrements.h"

#include <gtest/gtest.h>

namespace sillage {

void PrintTo(const LigneResume& l, std::ostream* os) {
    *os << '{' << l.Nombre << ", " << l.Total << ", " << l.Moyenne << '}';
}

namespace {

void Remplit(Table& t, int enregistrements) {
    for (int i = 0; i < enregistrements; ++i) {
        t.Ajoute("\\1;" + std::to_string(i) + "\\2;n" + std::to_string(i) + "\\3;1\\4;d\\5;");
    }
    t.Ajoute("\\1;" + std::to_string(enregistrements) + "\\2;");
}

std::array<std::string, 5> Nombres(const Base& base) {
    std::array<std::string, 5> n;
    const std::array<LigneResume, 5> lignes = LignesResume(base);
    for (std::size_t r = 0; r < 5; ++r) {
        n[r] = lignes[r].Nombre;
    }
    return n;
}

TEST(LignesResume, RecordCountsInTheOrderOfTheSummaryRows) {
    Base base;
    Remplit(base.ListePage, 5);
    Remplit(base.ListeNom, 4);
    Remplit(base.ListeImage, 3);
    Remplit(base.ListeOrigine, 0);
    Remplit(base.ListeDownload, 1);
    EXPECT_EQ(Nombres(base), (std::array<std::string, 5>{"5", "4", "3", "0", "1"}));
    // Tables never loaded count no record.
    EXPECT_EQ(Nombres(Base{}), (std::array<std::string, 5>{"0", "0", "0", "0", "0"}));
}

// A month row of ListeGraphHeure with the given daily counts (day 1 first).
std::string Mois(int annee, const std::string& mois, std::vector<int> jours) {
    RGraphMois g;
    g.Annee = annee;
    g.Mois = mois;
    for (std::size_t j = 0; j < jours.size(); ++j) {
        g.Jours[j] = jours[j];
        g.Maximum = std::max(g.Maximum, jours[j]);
    }
    return EcritGraphMois(g);
}

TEST(LignesResume, TotalsOfHitsAndTheirAveragePerDayWithHits) {
    Base base;
    base.ListePage.Ajoute("\\1;0\\2;/a\\3;100\\4;d\\5;");
    base.ListePage.Ajoute("\\1;1\\2;/b\\3;19\\4;d\\5;");
    base.ListePage.Ajoute("\\1;2\\2;");
    Remplit(base.ListeNom, 3); // one hit each
    Remplit(base.ListeImage, 0);
    // Three days with hits: two in February (day 2 appears in two rows of the month, and counts
    // once), one in March of another year; days at 0 do not count.
    base.ListeGraphHeure.Ajoute(Mois(2004, "Feb", {0, 5, 1}));
    base.ListeGraphHeure.Ajoute(Mois(2004, "Feb", {0, 2}));
    base.ListeGraphHeure.Ajoute(Mois(2005, "Mar", {0, 7}));
    const std::array<LigneResume, 5> lignes = LignesResume(base);
    EXPECT_EQ(lignes[0], (LigneResume{"2", "119", "39,7"})); // 119 / 3 = 39.67
    EXPECT_EQ(lignes[1], (LigneResume{"3", "3", "1,0"}));
    EXPECT_EQ(lignes[2], (LigneResume{"0", "0", "0,0"}));
    EXPECT_EQ(lignes[3], (LigneResume{"0", "0", "0,0"})); // a table never loaded
    EXPECT_EQ(JoursAvecHits(base.ListeGraphHeure), 3u);

    // No day with a hit: no average.
    base.ListeGraphHeure.Efface();
    EXPECT_EQ(LignesResume(base)[0], (LigneResume{"2", "119", ""}));
}

TEST(LignesResume, CountsThatDoNotReadAddNothing) {
    Table t;
    t.Ajoute("\\1;0\\2;/a\\3;x\\4;d\\5;");
    t.Ajoute("\\1;1\\2;/b\\3;2147483647\\4;d\\5;");
    t.Ajoute("\\1;2\\2;/c\\3;2147483647\\4;d\\5;");
    t.Ajoute("\\1;3\\2;");
    EXPECT_EQ(TotalAcces(t), 4294967294); // past 32 bits
    Table heures;
    heures.Ajoute("\\1;2004\\2;Feb\\3;1\\4;x\\5;1\\6;");
    EXPECT_EQ(JoursAvecHits(heures), 1u); // day 2 reads, day 1 does not
}

TEST(MoyenneJournaliere, OneDecimalWithAFrenchComma) {
    EXPECT_EQ(MoyenneJournaliere(1234, 31), "39,8");
    EXPECT_EQ(MoyenneJournaliere(12, 1), "12,0");
    EXPECT_EQ(MoyenneJournaliere(1, 20), "0,1"); // 0.05 rounds up
    EXPECT_EQ(MoyenneJournaliere(1, 21), "0,0");
    EXPECT_EQ(MoyenneJournaliere(-3, 2), "-1,5");
    EXPECT_EQ(MoyenneJournaliere(4294967294, 3), "1431655764,7");
    EXPECT_EQ(MoyenneJournaliere(5, 0), "");
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
