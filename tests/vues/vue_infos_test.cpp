#include "vues/vue_infos.h"

#include "store/base.h"
#include "store/erreur.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sillage {
namespace {

void Remplit(Table& t, const std::vector<std::string>& lignes) {
    t.Efface();
    for (const std::string& l : lignes) {
        t.Ajoute(l);
    }
}

std::string Rang(int id, const std::string& nom, int acces, const std::string& date) {
    return "\\1;" + std::to_string(id) + "\\2;" + nom + "\\3;" + std::to_string(acces) + "\\4;" +
           date + "\\5;";
}

std::string Lanp(int hote, int item, int acces, const std::string& date, int genre) {
    return "\\1;" + std::to_string(hote) + "\\2;" + std::to_string(item) + "\\3;" +
           std::to_string(acces) + "\\4;" + date + "\\5;" + std::to_string(genre) + "\\6;";
}

std::vector<std::string> Noms(const std::vector<LigneResultat>& lignes) {
    std::vector<std::string> noms;
    for (const LigneResultat& l : lignes) {
        noms.push_back(l.Nom);
    }
    return noms;
}

std::vector<std::string> Noms(const std::vector<EntreeInfos>& entrees) {
    std::vector<std::string> noms;
    for (const EntreeInfos& e : entrees) {
        noms.push_back(e.Nom);
    }
    return noms;
}

// Hosts in hit order (ids 2, 0, 1, 3), pages in hit order (ids 1, 0, 12), one download.
class InfosTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Remplit(base.ListeNom,
                {Rang(2, "10.0.0.3", 9, "d-h2"), Rang(0, "gw.Example.org", 5, "d-h0"),
                 Rang(1, "10.0.0.2", 4, "d-h1"), Rang(3, "dl.only", 1, "d-h3"), "\\1;4\\2;"});
        Remplit(base.ListePage, {Rang(1, "/index.html", 12, "d-p1"), Rang(0, "/a.htm", 3, "d-p0"),
                                 Rang(12, "/Index.html.bak", 1, "d-p12"), "\\1;13\\2;"});
        Remplit(base.ListeDownload, {Rang(0, "/f.zip", 2, "d-f0"), "\\1;1\\2;"});
        Remplit(base.ListeOrigine, {Rang(0, "http://moteur/", 3, "d-o0"),
                                    Rang(1, "http://autre/", 1, "d-o1"), "\\1;2\\2;"});
        Remplit(base.ListeKeyword,
                {"\\1;0\\2;0\\3;voile\\4;", "\\1;1\\2;1\\3;mer\\4;", "\\1;2\\2;0\\3;voile\\4;",
                 "\\1;3\\2;0\\3;sillage\\4;", "\\1;4\\2;"});
        // Link rows in first-seen order, not in host order; page 0 and download 0 share id 0,
        // and page 12 must not be taken for page 1.
        Remplit(base.ListeLanp,
                {Lanp(0, 1, 3, "l01", 1), Lanp(1, 1, 2, "l11", 1), Lanp(0, 0, 1, "l00", 1),
                 Lanp(2, 1, 7, "l21", 1), Lanp(1, 0, 2, "l10", 1), Lanp(2, 12, 1, "l212", 1),
                 Lanp(3, 0, 1, "l30dl", 2), Lanp(1, 0, 1, "l10dl", 2)});
    }
    Base base;
    EtatInfos etat;
};

TEST(InfosVide, CounterRowOnlyTablesListNothingAndCountZero) {
    Base base;
    for (Table* t : {&base.ListePage, &base.ListeNom, &base.ListeDownload, &base.ListeOrigine}) {
        t->Ajoute("\\1;0\\2;");
    }
    EtatInfos etat;
    const char* attendus[] = {"0 pages accédées", "0 IP de provenance", "0 downloads téléchargés",
                              "0 référents"};
    const ModeInfos modes[] = {ModeInfos::Pages, ModeInfos::IP, ModeInfos::Download,
                               ModeInfos::Referent};
    for (int i = 0; i < 4; ++i) {
        etat.ChoisitMode(base, modes[i], "");
        EXPECT_TRUE(etat.Entrees.empty());
        EXPECT_EQ(etat.LExplI0, attendus[i]);
        EXPECT_EQ(etat.ModeRecherche, modes[i]);
    }
    try {
        etat.SelectionneEntree(base, -1);
        FAIL() << "no entry selected must raise the index error";
    } catch (const ErreurSillage& e) {
        EXPECT_STREQ(e.what(), "Indice de liste hors limites (-1)");
    }
}

TEST_F(InfosTest, EntriesKeepRowIdentifierAndCount) {
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    ASSERT_EQ(etat.Entrees.size(), 3u);
    EXPECT_EQ(etat.Entrees[2], (EntreeInfos{"/Index.html.bak", 2, "12"}));
    EXPECT_EQ(etat.LExplI0, "3 pages accédées");
    etat.ChoisitMode(base, ModeInfos::IP, "");
    EXPECT_EQ(etat.LExplI0, "4 IP de provenance");
}

TEST_F(InfosTest, PageLinksHostsInHostTableOrderWithPairCountAndHostDate) {
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.SelectionneEntree(base, 0); // /index.html, id 1
    const std::vector<LigneResultat> attendu = {
        {"10.0.0.3", "7", "d-h2"}, {"gw.Example.org", "3", "d-h0"}, {"10.0.0.2", "2", "d-h1"}};
    EXPECT_EQ(etat.Resultats, attendu);
    EXPECT_EQ(etat.LAffiche, "3 résultats pour /index.html");

    // Page 0 has two page links; the download links of item 0 are another kind.
    etat.SelectionneEntree(base, 1);
    EXPECT_EQ(Noms(etat.Resultats), (std::vector<std::string>{"gw.Example.org", "10.0.0.2"}));
}

TEST_F(InfosTest, HostPagesAndDownloadHosts) {
    etat.ChoisitMode(base, ModeInfos::IP, "");
    etat.SelectionneEntree(base, 0); // host id 2: pages 1 and 12, in page-table order
    EXPECT_EQ(etat.Resultats, (std::vector<LigneResultat>{{"/index.html", "7", "d-p1"},
                                                          {"/Index.html.bak", "1", "d-p12"}}));

    etat.SelectionneEntree(base, 3); // a host that only downloaded
    EXPECT_TRUE(etat.Resultats.empty());
    EXPECT_EQ(etat.LAffiche, "0 résultats pour dl.only");

    etat.ChoisitMode(base, ModeInfos::Download, "");
    etat.SelectionneEntree(base, 0);
    EXPECT_EQ(etat.Resultats,
              (std::vector<LigneResultat>{{"10.0.0.2", "1", "d-h1"}, {"dl.only", "1", "d-h3"}}));
    EXPECT_EQ(etat.LAffiche, "2 résultats pour /f.zip");
}

TEST_F(InfosTest, EachLinkRowGivesOneResult) {
    // A second link row for host 0 and page 1: host 0 is listed once, with the first row's count;
    // a host row listed twice takes the second link row.
    base.ListeLanp.Ajoute(Lanp(0, 1, 40, "again", 1));
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.SelectionneEntree(base, 0);
    EXPECT_EQ(etat.Resultats.size(), 3u);
    EXPECT_EQ(etat.Resultats[1], (LigneResultat{"gw.Example.org", "3", "d-h0"}));

    base.ListeNom.Remplace(3, Rang(0, "twin", 1, "d-twin"));
    etat.SelectionneEntree(base, 0);
    EXPECT_EQ(etat.Resultats.back(), (LigneResultat{"twin", "40", "d-twin"}));
}

TEST_F(InfosTest, IdentifiersMatchAsTextIgnoringCase) {
    // Hand-edited identifiers: a leading zero is another text, letters match in any case, and a
    // number far past the table's size still matches.
    Remplit(base.ListeNom, {"\\1;07\\2;zero-sept\\3;1\\4;d07\\5;", Rang(7, "sept", 1, "d7"),
                            "\\1;H\xC9\\2;lettre\\3;1\\4;dh\\5;", Rang(900000000, "loin", 1, "dl"),
                            "\\1;900000001\\2;"});
    Remplit(base.ListeLanp, {"\\1;H\xE9\\2;1\\3;5\\4;x\\5;1\\6;", Lanp(7, 1, 6, "x", 1),
                             Lanp(900000000, 1, 8, "x", 1)});
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.SelectionneEntree(base, 0);
    EXPECT_EQ(etat.Resultats,
              (std::vector<LigneResultat>{
                  {"sept", "6", "d7"}, {"lettre", "5", "dh"}, {"loin", "8", "dl"}}));
}

TEST_F(InfosTest, ReferrerKeywordsRepeatInTableOrder) {
    etat.ChoisitMode(base, ModeInfos::Referent, "");
    EXPECT_EQ(etat.LExplI0, "2 référents");
    etat.SelectionneEntree(base, 0);
    EXPECT_EQ(Noms(etat.Resultats), (std::vector<std::string>{"voile", "voile", "sillage"}));
    EXPECT_EQ(etat.Resultats[0].Acces, "");
    EXPECT_EQ(etat.Resultats[0].Date, "");
    EXPECT_EQ(etat.LAffiche, "3 résultats pour http://moteur/");
}

TEST_F(InfosTest, FilterIsCaseSensitiveAndFollowsItsMode) {
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.AppliqueFiltre(base, "INDEX");
    EXPECT_TRUE(etat.Entrees.empty());
    EXPECT_EQ(etat.LExplI0, "0 pages accédées");
    etat.RelacheTouche(base, true, "index");
    EXPECT_EQ(Noms(etat.Entrees), (std::vector<std::string>{"/index.html"}));

    // Typing without Enter attaches the text to mode 1 only.
    EtatInfos frappe;
    frappe.ChoisitMode(base, ModeInfos::Pages, "");
    frappe.RelacheTouche(base, false, ".htm");
    EXPECT_EQ(frappe.Entrees.size(), 3u); // nothing applied yet
    EXPECT_EQ(frappe.ModeFiltre, ModeInfos::Pages);
    frappe.ChoisitMode(base, ModeInfos::IP, ".htm");
    EXPECT_EQ(frappe.Entrees.size(), 4u);
    frappe.ChoisitMode(base, ModeInfos::Pages, ".htm");
    EXPECT_EQ(Noms(frappe.Entrees),
              (std::vector<std::string>{"/index.html", "/a.htm", "/Index.html.bak"}));
    frappe.ChoisitMode(base, ModeInfos::Pages, "a.");
    EXPECT_EQ(Noms(frappe.Entrees), (std::vector<std::string>{"/a.htm"}));

    EtatInfos rien; // before any mode, the filter button lists nothing
    rien.AppliqueFiltre(base, "x");
    EXPECT_TRUE(rien.Entrees.empty());
    EXPECT_EQ(rien.ModeRecherche, ModeInfos::Aucun);
}

TEST_F(InfosTest, AnotherStoreShownFindsTheEntryAgainByItsName) {
    // A period of the store: its own identifiers, /index.html fetched by one host only.
    Base periode;
    Remplit(periode.ListeNom, {Rang(0, "10.0.0.2", 1, "p-h0"), "\\1;1\\2;"});
    Remplit(periode.ListePage,
            {Rang(0, "/a.htm", 2, "p-p0"), Rang(1, "/index.html", 1, "p-p1"), "\\1;2\\2;"});
    Remplit(periode.ListeLanp, {Lanp(0, 1, 1, "pl01", 1), Lanp(0, 0, 2, "pl00", 1)});
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.SelectionneEntree(base, 0);
    etat.ChangeDeBase(periode, "");
    EXPECT_EQ(Noms(etat.Entrees), (std::vector<std::string>{"/a.htm", "/index.html"}));
    EXPECT_EQ(etat.Selection, 1);
    EXPECT_EQ(etat.Resultats, (std::vector<LigneResultat>{{"10.0.0.2", "1", "p-h0"}}));
    EXPECT_EQ(etat.LAffiche, "1 résultats pour /index.html");

    // Back to the whole history, then an entry the period does not have: none selected.
    etat.ChangeDeBase(base, "");
    EXPECT_EQ(etat.Selection, 0);
    EXPECT_EQ(etat.Resultats.size(), 3u);
    etat.SelectionneEntree(base, 2); // /Index.html.bak
    etat.ChangeDeBase(periode, "");
    EXPECT_EQ(etat.Selection, -1);
    EXPECT_TRUE(etat.Resultats.empty());
    EXPECT_EQ(etat.LAffiche, "");
    // Before any mode, nothing to list.
    EtatInfos neuf;
    neuf.ChangeDeBase(periode, "");
    EXPECT_TRUE(neuf.Entrees.empty());
    EXPECT_EQ(neuf.ModeRecherche, ModeInfos::Aucun);
}

TEST_F(InfosTest, EntryFollowsItsRowAfterResortAndFailsOnceGone) {
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.SelectionneEntree(base, 1); // /a.htm, id 0, line 1
    const std::vector<LigneResultat> avant = etat.Resultats;
    base.ListePage.Permute({1, 0, 2, 3}); // /a.htm moves to line 0, /index.html to line 1
    etat.SelectionneEntree(base, 1);
    EXPECT_EQ(etat.Resultats, avant);
    EXPECT_EQ(etat.LAffiche, "2 résultats pour /a.htm");

    Remplit(base.ListePage, {"\\1;0\\2;"}); // after a reset
    try {
        etat.SelectionneEntree(base, 1);
        FAIL() << "a vanished row must raise the index error";
    } catch (const ErreurSillage& e) {
        EXPECT_STREQ(e.what(), "Indice de liste hors limites (-1)");
    }
    EXPECT_TRUE(etat.Resultats.empty());
    EXPECT_EQ(etat.LAffiche, "2 résultats pour /a.htm");
}

TEST_F(InfosTest, ResultNavigationSwitchesModeAndFindsNameIgnoringCase) {
    etat.ChoisitMode(base, ModeInfos::Pages, "");
    etat.SelectionneEntree(base, 0);
    etat.Resultats[1].Nom = "GW.EXAMPLE.ORG"; // names are matched without regard to case
    ASSERT_TRUE(etat.NavigueDepuisResultat(base, 1, ""));
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::IP);
    EXPECT_EQ(etat.Selection, 1);
    EXPECT_EQ(Noms(etat.Resultats), (std::vector<std::string>{"/index.html", "/a.htm"}));

    ASSERT_TRUE(etat.NavigueDepuisResultat(base, 1, "")); // a page found for a host
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::Pages);
    EXPECT_EQ(etat.LAffiche, "2 résultats pour /a.htm");

    EXPECT_FALSE(etat.NavigueDepuisResultat(base, -1, ""));
    EXPECT_FALSE(etat.NavigueDepuisResultat(base, 9, ""));

    etat.ChoisitMode(base, ModeInfos::Download, "");
    etat.SelectionneEntree(base, 0);
    ASSERT_TRUE(etat.NavigueDepuisResultat(base, 1, "")); // a host found for a download
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::IP);
    EXPECT_EQ(etat.LAffiche, "0 résultats pour dl.only");

    etat.ChoisitMode(base, ModeInfos::Referent, "");
    etat.SelectionneEntree(base, 0);
    EXPECT_FALSE(etat.NavigueDepuisResultat(base, 0, ""));
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::Referent);
    EXPECT_EQ(etat.Resultats.size(), 3u);
}

TEST_F(InfosTest, ResultNavigationToAFilteredOutNameReportsNoEntry) {
    etat.ChoisitMode(base, ModeInfos::IP, "");
    etat.AppliqueFiltre(base, "10.0");
    etat.ChoisitMode(base, ModeInfos::Pages, "10.0");
    etat.SelectionneEntree(base, 0);
    ASSERT_EQ(etat.Resultats[1].Nom, "gw.Example.org");
    EXPECT_THROW(etat.NavigueDepuisResultat(base, 1, "10.0"), ErreurSillage);
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::IP);
    EXPECT_EQ(etat.Selection, -1);
    EXPECT_TRUE(etat.Resultats.empty());
    EXPECT_EQ(etat.LAffiche, "3 résultats pour /index.html");
}

TEST_F(InfosTest, ListNavigationSelectsTheDoubleClickedRow) {
    etat.NavigueDepuisListe(base, ModeInfos::IP, 2, ""); // line 2 of ListeNom: 10.0.0.2
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::IP);
    EXPECT_EQ(etat.Selection, 2);
    EXPECT_EQ(etat.LAffiche, "2 résultats pour 10.0.0.2");

    etat.AppliqueFiltre(base, "gw"); // the Infos filter now hides line 2
    EXPECT_THROW(etat.NavigueDepuisListe(base, ModeInfos::IP, 2, "gw"), ErreurSillage);
    EXPECT_TRUE(etat.Resultats.empty());
    EXPECT_THROW(etat.NavigueDepuisListe(base, ModeInfos::Pages, -1, "gw"), ErreurSillage);
    EXPECT_EQ(etat.ModeRecherche, ModeInfos::Pages);
    EXPECT_EQ(etat.Entrees.size(), 3u); // the filter belongs to mode 2
}

TEST_F(InfosTest, EntriesKeepTheirBytesAndAreFoundAndSummedUpAsShown) {
    Remplit(base.ListePage, {Rang(1, "/caf\xE9.html", 1, "d"),
                             Rang(2, "/caf\xC3\xA9-2.html", 1, "d"), "\\1;3\\2;"});
    // The filter is what the user typed (UTF-8): it finds the name in either encoding.
    etat.ChoisitMode(base, ModeInfos::Pages, "é");
    etat.AppliqueFiltre(base, "é");
    ASSERT_EQ(etat.Entrees.size(), 2u);
    EXPECT_EQ(etat.Entrees[0].Nom, "/caf\xE9.html");
    EXPECT_EQ(etat.Entrees[1].Nom, "/caf\xC3\xA9-2.html");
    etat.SelectionneEntree(base, 0);
    EXPECT_EQ(etat.LAffiche, "3 résultats pour /café.html");
    etat.SelectionneEntree(base, 1);
    EXPECT_EQ(etat.LAffiche, "0 résultats pour /café-2.html");
}

TEST_F(InfosTest, SearchWordsAreShownWithTheirEscapesDecoded) {
    Remplit(base.ListeOrigine, {Rang(4, "http://moteur/cherche", 2, "d"), "\\1;5\\2;"});
    Remplit(base.ListeKeyword, {"\\1;0\\2;4\\3;\"q=v%C3%A9lo %C3%A9lectrique\"\\4;",
                                "\\1;1\\2;4\\3;\"q=caf%E9\" \"hl=fr\"\\4;", "\\1;2\\2;"});
    etat.ChoisitMode(base, ModeInfos::Referent, "");
    etat.SelectionneEntree(base, 0);
    ASSERT_EQ(etat.Resultats.size(), 2u);
    EXPECT_EQ(etat.Resultats[0].Nom, "\"q=vélo électrique\"");
    EXPECT_EQ(etat.Resultats[1].Nom, "\"q=café\" \"hl=fr\"");
}

} // namespace
} // namespace sillage
