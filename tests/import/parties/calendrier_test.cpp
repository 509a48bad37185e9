// The calendar counted alone: a year row and a month row per hit, found among the stored rows or
// made for it; images count as hits, not pages; only the rows that changed are written anew, and
// only when the import is applied.
#include "import/parties/calendrier.h"
#include "store/date.h"
#include "store/enregistrements.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <string>

namespace sillage {
namespace {

using test::MessageDe;
using test::TableDe;

constexpr std::int32_t kPage = 0;
constexpr std::int32_t kImage = -2;

// The stored year 2004 (40 hits in February, 10 of them pages, 3 visits) and its February (the
// 10 pages on the 14th, at 9 and 10 o'clock).
RGraph Annee2004() {
    RGraph g;
    g.Annee = 2004;
    g.Pages[1] = 10;
    g.Hits[1] = 40;
    g.Visites[1] = 3;
    g.Maximum = 40;
    g.PremierMois = 2;
    return g;
}

RGraphMois Fevrier2004() {
    RGraphMois m;
    m.Annee = 2004;
    m.Mois = "Feb";
    m.Jours[13] = 10;
    m.Heures[9] = 4;
    m.Heures[10] = 6;
    m.Maximum = 10;
    return m;
}

struct Tables {
    Table annees;
    Table mois;
    Calendrier partie{annees, mois};
    void Compte(const char* date, std::int32_t ressource, bool visite) {
        partie.MajGraph(LitDate(date), ressource, visite);
    }
    void Valide() {
        partie.Prepare();
        partie.Applique();
    }
};

TEST(Calendrier, AStoredYearAndMonthCountEachHit) {
    Tables t{TableDe({EcritGraph(Annee2004())}), TableDe({EcritGraphMois(Fevrier2004())})};
    t.Compte("14/Feb/2004:10:20:00", kPage, true);
    t.Compte("14/Feb/2004:11:00:00", kImage, true);
    t.Compte("15/Feb/2004:11:00:00", kPage, false);
    const Table annees = t.annees;
    const Table mois = t.mois;
    t.partie.Prepare();
    EXPECT_TRUE(t.annees == annees);
    EXPECT_TRUE(t.mois == mois);
    t.partie.Applique();

    RGraph g = Annee2004();
    g.Pages[1] = 12;
    g.Hits[1] = 43;
    g.Visites[1] = 5;
    g.Maximum = 43;
    EXPECT_EQ(LitGraph(t.annees[0]), g);
    RGraphMois m = Fevrier2004();
    m.Jours[13] = 11; // the image counts no page
    m.Jours[14] = 1;
    m.Heures[10] = 7;
    m.Heures[11] = 1;
    m.Maximum = 11; // of the days
    EXPECT_EQ(LitGraphMois(t.mois[0]), m);
}

TEST(Calendrier, ANewYearOrMonthGetsItsRowsAfterTheStoredOnes) {
    // A stored row that the import does not change keeps its text, leading zeros and all.
    const std::string autreAnnee = "\\1;02003" + EcritGraph(Annee2004()).substr(7);
    Tables t{TableDe({autreAnnee, EcritGraph(Annee2004())}),
             TableDe({EcritGraphMois(Fevrier2004())})};
    t.Compte("01/Mar/2004:00:10:00", kPage, false);
    t.Compte("31/Dec/2005:23:59:59", kImage, false);
    t.Valide();
    ASSERT_EQ(t.annees.Count(), 3u);
    EXPECT_EQ(t.annees[0], autreAnnee);
    EXPECT_EQ(LitGraph(t.annees[1]).Hits[2], 1);
    RGraph nouvelle;
    nouvelle.Annee = 2005;
    nouvelle.Hits[11] = 1;
    nouvelle.Visites[11] = 1; // a new year opens a visit
    nouvelle.Maximum = 1;
    nouvelle.PremierMois = 12;
    EXPECT_EQ(LitGraph(t.annees[2]), nouvelle);

    ASSERT_EQ(t.mois.Count(), 3u);
    EXPECT_EQ(LitGraphMois(t.mois[0]), Fevrier2004());
    RGraphMois mars;
    mars.Annee = 2004;
    mars.Mois = "Mar";
    mars.Jours[0] = 1;
    mars.Heures[0] = 1;
    mars.Maximum = 1;
    EXPECT_EQ(LitGraphMois(t.mois[1]), mars);
    RGraphMois decembre;
    decembre.Annee = 2005;
    decembre.Mois = "Dec";
    decembre.Jours[30] = 1; // a new month row counts its first hit, image or page
    decembre.Heures[23] = 1;
    decembre.Maximum = 1;
    EXPECT_EQ(LitGraphMois(t.mois[2]), decembre);
}

TEST(Calendrier, AStoredRowThatDoesNotReadStopsTheCountWhenReached) {
    Tables t{TableDe({EcritGraph(Annee2004()), "\\1;2005\\2;\\3;x\\4;"}), TableDe({})};
    t.Compte("14/Feb/2004:10:20:00", kPage, true); // found before the damaged row
    EXPECT_EQ(MessageDe([&] { t.Compte("14/Feb/2006:10:20:00", kPage, true); }),
              "'x' n'est pas une valeur entière correcte");
}

} // namespace
} // namespace sillage
