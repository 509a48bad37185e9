#include "store/date.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

using test::MessageDe;

TEST(Records, FourFieldRowsRoundTrip) {
    EXPECT_EQ(EcritNom({0, "h", 1, "d"}), "\\1;0\\2;h\\3;1\\4;d\\5;");
    EXPECT_EQ(EcritNom({3, "10.0.0.7", 12, "14/Feb/2004:10:11:12"}),
              "\\1;3\\2;10.0.0.7\\3;12\\4;14/Feb/2004:10:11:12\\5;");
    const std::string ligne = "\\1;5\\2;/a.html\\3;7\\4;d\\5;";
    const RPage p = LitPage(ligne);
    EXPECT_EQ(p, (RPage{5, "/a.html", 7, "d"}));
    EXPECT_EQ(EcritPage(p), ligne);
    EXPECT_EQ(EcritOrigine(LitOrigine("\\1;-4\\2;http://x/\\3;2\\4;d\\5;")),
              "\\1;-4\\2;http://x/\\3;2\\4;d\\5;");
}

TEST(Records, ErrorRowKeepsImageId) {
    const std::string ligne = "\\1;2\\2;/logo.gif\\3;4\\4;d\\5;404\\6;-2\\7;";
    const RErreur r = LitErreur(ligne);
    EXPECT_EQ(r.IdentRessource, -2);
    EXPECT_EQ(r.Statut, "404");
    EXPECT_EQ(EcritErreur(r), ligne);
}

TEST(Records, LanpDateIsWrittenBeforeKind) {
    const std::string ligne = "\\1;4\\2;9\\3;2\\4;d\\5;1\\6;";
    const RLANP r = LitLanp(ligne);
    EXPECT_EQ(r.IdentHote, 4);
    EXPECT_EQ(r.IdentRessource, 9);
    EXPECT_EQ(r.Acces, 2);
    EXPECT_EQ(r.Dernier, "d");
    EXPECT_EQ(r.Type, 1);
    EXPECT_EQ(EcritLanp(r), ligne);
}

TEST(Records, WritersAppendToTheCallersBufferWithTheDateAsTextOrPacked) {
    const std::string texte = "14/Feb/2004:10:11:12";
    DateCompacte packee = 0;
    ASSERT_TRUE(CompacteDate(texte, packee));
    for (const DateLigne& date : {DateLigne(texte), DateLigne::Compacte(packee)}) {
        std::string s = "avant|";
        AjouteLigneQuatre(s, 3, "/a", 7, date);
        EXPECT_EQ(s, "avant|\\1;3\\2;/a\\3;7\\4;14/Feb/2004:10:11:12\\5;");
        EXPECT_EQ(TailleLigneQuatre(3, "/a", 7, date), s.size() - 6);
        s.clear();
        AjouteLigneErreur(s, -1, "/b", 2147483647, date, "404", -2);
        EXPECT_EQ(s, "\\1;-1\\2;/b\\3;2147483647\\4;14/Feb/2004:10:11:12\\5;404\\6;-2\\7;");
        EXPECT_EQ(TailleLigneErreur(-1, "/b", 2147483647, date, "404", -2), s.size());
        s.clear();
        AjouteLigneLanp(s, 4, 9, 2, date, 1);
        EXPECT_EQ(s, "\\1;4\\2;9\\3;2\\4;14/Feb/2004:10:11:12\\5;1\\6;");
    }
    // A counter row, and the rows that are made from a counter row's text.
    std::string s;
    AjouteLigneCompteur(s, 2147483648);
    EXPECT_EQ(s, "\\1;2147483648\\2;");
    s = "\\1;007\\2;";
    AjouteSuiteQuatre(s, "h", 1, DateLigne("d"));
    EXPECT_EQ(s, "\\1;007\\2;h\\3;1\\4;d\\5;");
    s.clear();
    AjouteLigneMotsCles(s, 5, 2, "\"q=a\"");
    EXPECT_EQ(s, "\\1;5\\2;2\\3;\"q=a\"\\4;");
}

TEST(Records, CalendarRowsHaveAllTheirTagsAndRoundTrip) {
    RGraph g;
    g.Annee = 2004;
    g.Maximum = 845;
    g.PremierMois = 2;
    for (int m = 0; m < 12; ++m) {
        g.Pages[m] = 100 + m;
        g.Hits[m] = 700 + m;
        g.Visites[m] = 10 * m;
    }
    const std::string ligne = EcritGraph(g);
    for (int n = 1; n <= 41; ++n) {
        EXPECT_NE(ligne.find("\\" + std::to_string(n) + ";"), std::string::npos) << n;
    }
    EXPECT_EQ(ligne.find("\\42;"), std::string::npos);
    EXPECT_EQ(ligne.substr(ligne.size() - 4), "\\41;");
    EXPECT_NE(ligne.find("\\15;111\\16;2\\17;700\\"), std::string::npos);
    EXPECT_EQ(LitGraph(ligne), g);
    EXPECT_EQ(EcritGraph(LitGraph(ligne)), ligne);

    RGraphMois m;
    m.Annee = 2003;
    m.Mois = "Dec";
    m.Maximum = 31;
    for (int d = 0; d < 31; ++d) {
        m.Jours[d] = d + 1;
    }
    for (int h = 0; h < 24; ++h) {
        m.Heures[h] = h * 3;
    }
    const std::string ligneMois = EcritGraphMois(m);
    EXPECT_EQ(ligneMois.substr(ligneMois.size() - 4), "\\59;");
    EXPECT_NE(ligneMois.find("\\34;31\\35;0\\36;3\\"), std::string::npos);
    EXPECT_EQ(LitGraphMois(ligneMois), m);
    EXPECT_EQ(EcritGraphMois(LitGraphMois(ligneMois)), ligneMois);
}

TEST(Records, MalformedLinesFailOnTheirFirstBadNumber) {
    EXPECT_EQ(MessageDe([] { LitNom("\\1;0\\2;"); }), "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(MessageDe([] { LitPage("\\1;5\\2;/a\\3;12x\\4;d\\5;"); }),
              "'12x' n'est pas une valeur entière correcte");
    // Missing "\2;": field 1 is empty.
    EXPECT_EQ(MessageDe([] { LitNom("\\1;5/a\\3;1\\4;d\\5;"); }),
              "'' n'est pas une valeur entière correcte");
}

TEST(Records, AMissingTagShiftsTheLaterFields) {
    // "\3;" missing: the host is empty, two characters are dropped, and the hits field then
    // takes what lies before "\4;".
    const RNom r = LitNom("\\1;1\\2;xx12\\4;d\\5;");
    EXPECT_EQ(r.Nom, "");
    EXPECT_EQ(r.Acces, 12);
    EXPECT_EQ(r.Dernier, "d");
    // Only the tag that follows a field matters: "\2;" inside the date does no harm.
    EXPECT_EQ(LitNom("\\1;1\\2;h\\3;4\\4;x\\2;y\\5;").Dernier, "x\\2;y");
    // A host containing the next tag breaks the row.
    EXPECT_EQ(MessageDe([] { LitNom("\\1;1\\2;a\\3;b\\3;4\\4;d\\5;"); }),
              "'b\\3;4' n'est pas une valeur entière correcte");
    // The first three characters are skipped unseen.
    EXPECT_EQ(LitNom("XYZ9\\2;h\\3;1\\4;d\\5;").Ident, 9);
}

TEST(Dates, ReadDayMonthYearAndTime) {
    const RDate d = LitDate("05/Mar/2004:00:07:09");
    EXPECT_EQ(d.Jour, 5);
    EXPECT_EQ(d.Mois, 3);
    EXPECT_EQ(d.NomMois, "Mar");
    EXPECT_EQ(d.Annee, 2004);
    EXPECT_EQ(d.Heure, 0);
    EXPECT_EQ(d.Minute, 7);
    EXPECT_EQ(d.Seconde, 9);
    EXPECT_EQ(LitDate("05/Aug/2004:00:07:09").Mois, 8);
    EXPECT_EQ(MoisVersNumero("aug"), 0);
    EXPECT_EQ(MoisVersNumero("Dec"), 12);
}

TEST(Dates, CountableOnlyWithAKnownMonthDayAndHour) {
    bool comptable = false;
    LitDate("31/Dec/2003:23:59:59", comptable);
    EXPECT_TRUE(comptable);
    LitDate("05/aug/2004:00:07:09", comptable);
    EXPECT_FALSE(comptable);
    LitDate("32/Jan/2004:00:07:09", comptable);
    EXPECT_FALSE(comptable);
    LitDate("0/Jan/2004:00:07:09", comptable);
    EXPECT_FALSE(comptable);
    LitDate("287/Jan/2004:10:00:00", comptable); // would wrap to 31 as a byte
    EXPECT_FALSE(comptable);
    LitDate("05/Jan/2004:24:00:00", comptable);
    EXPECT_FALSE(comptable);
}

TEST(Dates, ConversionErrorsCarryTheText) {
    EXPECT_EQ(MessageDe([] { LitDate("10/Oct/2000:13:55:36 -0700"); }),
              "'36 -0700' n'est pas une valeur entière correcte");
    EXPECT_EQ(MessageDe([] { LitDate(""); }), "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(MessageDe([] { LitDate("xx/Oct/2000:13:55:36"); }),
              "'xx' n'est pas une valeur entière correcte");
    EXPECT_EQ(MessageDe([] { LitDate("10/Oct/2000:13:55"); }),
              "'' n'est pas une valeur entière correcte");
}

} // namespace
} // namespace sillage
