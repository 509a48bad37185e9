#include "vues/vue_chiffres.h"

#include "store/base.h"
#include "store/enregistrements.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {

void PrintTo(const ChiffresPeriode& c, std::ostream* os) {
    *os << c.Annee << " " << c.Mois << " " << c.Numero << " " << c.Pages;
}

namespace {

std::string Annee(int annee, int mois, int pages, int hits, int visites) {
    RGraph g;
    g.Annee = annee;
    g.Maximum = hits;
    g.Pages[mois] = pages;
    g.Hits[mois] = hits;
    g.Visites[mois] = visites;
    return EcritGraph(g);
}

std::string Mois(int annee, const std::string& nom, int jour, int heure, int valeur) {
    RGraphMois g;
    g.Annee = annee;
    g.Mois = nom;
    g.Maximum = valeur;
    g.Jours[jour] = valeur;
    g.Heures[heure] = valeur;
    return EcritGraphMois(g);
}

// The months of a year, and of every year; the sums of a year.
TEST(VueChiffres, MonthsAndYears) {
    Base base;
    base.ListeGraphMois =
        test::TableDe({Annee(2003, 11, 4, 10, 2), Annee(2004, 0, 7, 20, 3), "\\1;x\\2;"});
    EXPECT_EQ(ChiffresDesMois(base, 2004), std::vector<ChiffresMois>({{2004, 1, 20, 7, 3},
                                                                      {2004, 2, 0, 0, 0},
                                                                      {2004, 3, 0, 0, 0},
                                                                      {2004, 4, 0, 0, 0},
                                                                      {2004, 5, 0, 0, 0},
                                                                      {2004, 6, 0, 0, 0},
                                                                      {2004, 7, 0, 0, 0},
                                                                      {2004, 8, 0, 0, 0},
                                                                      {2004, 9, 0, 0, 0},
                                                                      {2004, 10, 0, 0, 0},
                                                                      {2004, 11, 0, 0, 0},
                                                                      {2004, 12, 0, 0, 0}}));
    // Another year's row that does not read stops nothing; the whole table does.
    EXPECT_TRUE(ChiffresDesMois(base, 1999).empty());
    EXPECT_EQ(test::MessageDe([&] { ChiffresDesMois(base); }),
              "'x' n'est pas une valeur entière correcte");
    base.ListeGraphMois.Tronque(2);
    EXPECT_EQ(ChiffresDesMois(base).size(), 24u);
    EXPECT_EQ(ChiffresDesMois(base)[11], (ChiffresMois{2003, 12, 10, 4, 2}));
    EXPECT_EQ(ChiffresDesAnnees(base),
              std::vector<ChiffresAnnee>({{2003, 10, 4, 2}, {2004, 20, 7, 3}}));
}

// The days a month has (29 February in a leap year), with any other day that counts something;
// the 24 hours; the month's French name, or its stored text when it has none.
TEST(VueChiffres, DaysAndHoursOfAMonth) {
    Base base;
    base.ListeGraphHeure = test::TableDe(
        {Mois(2004, "Feb", 27, 5, 9), Mois(2003, "Feb", 30, 23, 4), Mois(2004, "Xyz", 0, 0, 1)});
    const std::vector<ChiffresPeriode> fevrier = ChiffresDesJours(base, 0);
    ASSERT_EQ(fevrier.size(), 29u);
    EXPECT_EQ(fevrier[27], (ChiffresPeriode{2004, "Février", 28, 9}));
    EXPECT_EQ(fevrier[28], (ChiffresPeriode{2004, "Février", 29, 0}));
    const std::vector<ChiffresPeriode> abime = ChiffresDesJours(base, 1);
    ASSERT_EQ(abime.size(), 29u);
    EXPECT_EQ(abime.back(), (ChiffresPeriode{2003, "Février", 31, 4}));
    EXPECT_EQ(ChiffresDesJours(base).size(), 29u + 29 + 31);
    EXPECT_EQ(ChiffresDesJours(base, 2)[0].Mois, "Xyz");
    const std::vector<ChiffresPeriode> heures = ChiffresDesHeures(base, 1);
    ASSERT_EQ(heures.size(), 24u);
    EXPECT_EQ(heures[23], (ChiffresPeriode{2003, "Février", 23, 4}));
    EXPECT_EQ(ChiffresDesHeures(base).size(), 72u);
    EXPECT_EQ(test::MessageDe([&] { ChiffresDesJours(base, 3); }),
              "Indice de liste hors limites (3)");
    EXPECT_EQ(JoursDuMois(1900, 2), 28);
    EXPECT_EQ(JoursDuMois(2000, 2), 29);
    EXPECT_EQ(JoursDuMois(2023, 4), 30);
}

} // namespace
} // namespace sillage
