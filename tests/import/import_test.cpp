#include "import/import.h"
#include "import/moteur/parcours.h"
#include "reference.h"
#include "store/base.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace sillage {
namespace {

using test::ImporteFichier;
using test::LigneLog;
using test::RepertoireTemporaire;

struct Fixture : ::testing::Test {
    RepertoireTemporaire dir;
    Base base{dir.Chemin()};
    void SetUp() override {
        base.InitListes();
        base.ReconstruitIndex();
    }
    // Through the name indexes, or (parCibles) through the names of the lines read ahead.
    bool parCibles = false;
    std::int64_t Importe(const std::vector<std::string>& lignes) {
        base.ListeLog.Efface();
        for (const std::string& l : lignes) {
            base.ListeLog.Ajoute(l);
        }
        if (!parCibles || lignes.empty()) {
            return ImporteListeLog(base);
        }
        CiblesImport cibles;
        SourceTable avance(base.ListeLog);
        EXPECT_TRUE(LitCibles(avance, CompteNombreChamps(lignes[0]), cibles));
        SourceTable source(base.ListeLog);
        return sillage::Importe(base, source, {}, {}, &cibles);
    }
    std::string Erreur(const std::vector<std::string>& lignes) {
        return test::MessageDe([&] { Importe(lignes); });
    }
};

using Import = Fixture;

TEST_F(Import, ThreeHitsOfOneHostOnOnePage) {
    Importe({LigneLog("h", "14/Feb/2004:10:00:00", "/a.html"),
             LigneLog("h", "14/Feb/2004:10:20:00", "/a.html"),
             LigneLog("h", "14/Feb/2004:10:51:00", "/a.html")});
    ASSERT_EQ(base.ListeNom.Count(), 2u);
    EXPECT_EQ(base.ListeNom[0], "\\1;0\\2;h\\3;3\\4;14/Feb/2004:10:51:00\\5;");
    EXPECT_EQ(base.ListePage[0], "\\1;0\\2;/a.html\\3;3\\4;14/Feb/2004:10:51:00\\5;");
    EXPECT_EQ(base.ListeLanp[0], "\\1;0\\2;0\\3;3\\4;14/Feb/2004:10:51:00\\5;1\\6;");
    EXPECT_EQ(base.ListeLanpSearch[0], "0-0-1");
    // Visits: the first hit, then only the hit 31 minutes after the one before.
    const RGraph g = LitGraph(base.ListeGraphMois[0]);
    EXPECT_EQ(g.Visites[1], 2);
    EXPECT_EQ(g.Hits[1], 3);
    EXPECT_EQ(g.Pages[1], 3);
    EXPECT_EQ(g.Maximum, 3);
    EXPECT_EQ(g.PremierMois, 2);
    EXPECT_EQ(base.Modifie, 1);
}

TEST_F(Import, HostsDifferingInCaseAreOneHostUnderTheFirstSpelling) {
    Importe({LigneLog("Host.Example", "14/Feb/2004:10:00:00", "/a"),
             LigneLog("host.EXAMPLE", "14/Feb/2004:10:01:00", "/a")});
    ASSERT_EQ(base.ListeNom.Count(), 2u);
    EXPECT_EQ(ExtraitChamp(base.ListeNom[0], 2), "Host.Example");
    EXPECT_EQ(ExtraitChamp(base.ListeNom[0], 3), "2");
}

TEST_F(Import, ImagesAndErrors) {
    Importe({LigneLog("h", "14/Feb/2004:10:00:00", "/logo.gif", "404"),
             LigneLog("h", "14/Feb/2004:10:00:01", "/a.html", "404"),
             LigneLog("h", "14/Feb/2004:10:00:02", "/a.html", "500"),
             LigneLog("h", "14/Feb/2004:10:00:03", "/b.html", "304"),
             LigneLog("h", "14/Feb/2004:10:00:04", "/f.zip", "404")});
    EXPECT_EQ(base.ListeImage.Count(), 2u);
    EXPECT_EQ(base.ListeLanp.Count(), 3u); // the image has no pair row
    ASSERT_EQ(base.ListeErreur.Count(), 5u);
    EXPECT_EQ(base.ListeErreur[0],
              "\\1;0\\2;/logo.gif\\3;1\\4;14/Feb/2004:10:00:00\\5;404\\6;-2\\7;");
    // The 500 on the same page adds to its 404 row, whose status stays.
    EXPECT_EQ(base.ListeErreur[1], "\\1;1\\2;/a.html\\3;2\\4;14/Feb/2004:10:00:02\\5;404\\6;0\\7;");
    EXPECT_EQ(base.ListeErreur[2], "\\1;2\\2;/b.html\\3;1\\4;14/Feb/2004:10:00:03\\5;304\\6;1\\7;");
    // The download has id 0 like /a.html: it gets a row of its own.
    EXPECT_EQ(base.ListeErreur[3], "\\1;3\\2;/f.zip\\3;1\\4;14/Feb/2004:10:00:04\\5;404\\6;0\\7;");
    EXPECT_EQ(base.ListeErreur[4], "\\1;4\\2;");
}

TEST_F(Import, ReferrersAndKeywords) {
    base.ListeOptions.Remplace(0, "http://www.site.fr/");
    Importe({LigneLog("a", "14/Feb/2004:10:00:00", "/p", "200", "http://www.site.fr/index.html"),
             LigneLog("a", "14/Feb/2004:10:00:01", "/p", "200", "-"),
             LigneLog("a", "14/Feb/2004:10:00:02", "/p", "200", ""),
             LigneLog("a", "14/Feb/2004:10:00:03", "/p", "200", "http://other.org/x"),
             LigneLog("a", "14/Feb/2004:10:00:04", "/p", "200", "http://search.net/s?q=sillage"),
             LigneLog("a", "14/Feb/2004:10:00:05", "/p", "200", "http://search.net/s?q=sillage")});
    ASSERT_EQ(base.ListeOrigine.Count(), 3u);
    EXPECT_EQ(ExtraitChamp(base.ListeOrigine[0], 2), "http://search.net/s");
    EXPECT_EQ(ExtraitChamp(base.ListeOrigine[0], 1), "1");
    EXPECT_EQ(ExtraitChamp(base.ListeOrigine[0], 3), "2");
    ASSERT_EQ(base.ListeKeyword.Count(), 3u);
    EXPECT_EQ(base.ListeKeyword[0], "\\1;0\\2;1\\3;\"q=sillage\"\\4;");
    EXPECT_EQ(base.ListeKeyword[1], "\\1;1\\2;1\\3;\"q=sillage\"\\4;");
    EXPECT_EQ(base.ListeKeyword[2], "\\1;2\\2;");
}

TEST_F(Import, AnEmptyOptionExcludesNothing) {
    base.ListeOptions.Remplace(0, "");
    Importe({LigneLog("a", "14/Feb/2004:10:00:00", "/p", "200", "http://www.site.fr/index.html")});
    EXPECT_EQ(base.ListeOrigine.Count(), 2u);
}

TEST_F(Import, CalendarRows) {
    Importe({LigneLog("a", "31/Dec/2003:23:50:00", "/i.png"),
             LigneLog("a", "31/Dec/2003:23:55:00", "/i.png"),
             LigneLog("a", "01/Jan/2004:10:00:00", "/p"),
             LigneLog("b", "02/Feb/2004:11:00:00", "/p")});
    ASSERT_EQ(base.ListeGraphMois.Count(), 2u);
    ASSERT_EQ(base.ListeGraphHeure.Count(), 3u);
    // The year's first hit is an image: counted in hits and visits, not in pages; its month row
    // still gets its day and hour.
    const RGraph y2003 = LitGraph(base.ListeGraphMois[0]);
    EXPECT_EQ(y2003.Pages[11], 0);
    EXPECT_EQ(y2003.Hits[11], 2);
    EXPECT_EQ(y2003.Visites[11], 1);
    const RGraphMois dec = LitGraphMois(base.ListeGraphHeure[0]);
    EXPECT_EQ(dec.Mois, "Dec");
    EXPECT_EQ(dec.Jours[30], 1);
    EXPECT_EQ(dec.Heures[23], 1);
    // Two months of 2004: one year row, two month rows.
    const RGraph y2004 = LitGraph(base.ListeGraphMois[1]);
    EXPECT_EQ(y2004.Hits[0], 1);
    EXPECT_EQ(y2004.Hits[1], 1);
    EXPECT_EQ(y2004.PremierMois, 1);
    EXPECT_EQ(LitGraphMois(base.ListeGraphHeure[2]).Mois, "Feb");
}

TEST_F(Import, SortKeepsIdsAndTheCounterRowLast) {
    Importe({LigneLog("a", "14/Feb/2004:10:00:00", "/one"),
             LigneLog("b", "14/Feb/2004:10:00:01", "/two"),
             LigneLog("b", "14/Feb/2004:10:00:02", "/two"),
             LigneLog("c", "14/Feb/2004:10:00:03", "/three"),
             LigneLog("c", "14/Feb/2004:10:00:04", "/three"),
             LigneLog("c", "14/Feb/2004:10:00:05", "/three")});
    ASSERT_EQ(base.ListePage.Count(), 4u);
    EXPECT_EQ(base.ListePage[0], "\\1;2\\2;/three\\3;3\\4;14/Feb/2004:10:00:05\\5;");
    EXPECT_EQ(base.ListePage[1], "\\1;1\\2;/two\\3;2\\4;14/Feb/2004:10:00:02\\5;");
    EXPECT_EQ(base.ListePage[2], "\\1;0\\2;/one\\3;1\\4;14/Feb/2004:10:00:00\\5;");
    EXPECT_EQ(base.ListePage[3], "\\1;3\\2;");
    base.AssureIndex();
    EXPECT_EQ(base.IndexPage[0], "/three");
    EXPECT_EQ(base.IndexNom.Cherche("C"), 0);
    // A second import finds the re-sorted rows by name.
    Importe({LigneLog("A", "14/Feb/2004:11:00:00", "/ONE")});
    EXPECT_EQ(ExtraitChamp(base.ListeNom[2], 3), "2");
}

TEST_F(Import, ProgressValues) {
    std::vector<std::string> lignes;
    for (int i = 0; i < 7; ++i) {
        lignes.push_back(LigneLog("h", "14/Feb/2004:10:00:00", "/p"));
    }
    std::vector<int> valeurs;
    base.ListeLog.Efface();
    for (const auto& l : lignes) {
        base.ListeLog.Ajoute(l);
    }
    ImporteListeLog(base, [&](int v) { valeurs.push_back(v); });
    // 100·i/7 − 1 truncated toward zero, each value once, then 100.
    EXPECT_EQ(valeurs, (std::vector<int>{-1, 13, 27, 41, 56, 70, 84, 100}));
}

TEST_F(Import, FailuresChangeNothing) {
    Importe({LigneLog("a", "14/Feb/2004:10:00:00", "/one", "404", "http://s.net/?q=x")});
    const Base avant = base;
    base.Modifie = 0;
    EXPECT_EQ(Erreur({}), "Indice de liste hors limites (0)");
    EXPECT_EQ(
        Erreur({LigneLog("b", "14/Feb/2004:10:00:00", "/two", "404", "http://t.net/?q=y"), ""}),
        "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(Erreur({LigneLog("b", "14/Feb/2004:10:00:00", "/two"),
                      LigneLog("c", "14/xyz/2004:10:00:00", "/p")}),
              "Erreur à la lecture du fichier (ligne 2)");
    EXPECT_EQ(Erreur({LigneLog("b", "32/Feb/2004:10:00:00", "/two")}),
              "Erreur à la lecture du fichier (ligne 1)");
    EXPECT_EQ(Erreur({LigneLog("b", "01/Feb/2004:24:00:00", "/two")}),
              "Erreur à la lecture du fichier (ligne 1)");
    EXPECT_EQ(Erreur({LigneLog("b", "01/Feb/2004:10:00:0x", "/two")}),
              "'0x' n'est pas une valeur entière correcte");
    EXPECT_EQ(base.Modifie, 0);
    base.Modifie = 1;
    for (auto [a, b] : {std::pair{&avant.ListeNom, &base.ListeNom},
                        {&avant.ListePage, &base.ListePage},
                        {&avant.ListeKeyword, &base.ListeKeyword},
                        {&avant.ListeErreur, &base.ListeErreur},
                        {&avant.ListeOrigine, &base.ListeOrigine},
                        {&avant.ListeLanp, &base.ListeLanp},
                        {&avant.ListeLanpSearch, &base.ListeLanpSearch},
                        {&avant.ListeGraphMois, &base.ListeGraphMois},
                        {&avant.ListeGraphHeure, &base.ListeGraphHeure}}) {
        EXPECT_TRUE(*a == *b);
    }
    EXPECT_EQ(base.IndexNom.Count(), 1u);
    EXPECT_EQ(base.IndexPage.Count(), 1u);
    EXPECT_EQ(base.IndexOrigine.Count(), 1u);
    // And the store still imports normally afterwards.
    Importe({LigneLog("b", "14/Feb/2004:10:00:00", "/one")});
    EXPECT_EQ(ExtraitChamp(base.ListePage[0], 3), "2");
}

TEST_F(Import, AStoredRowThatDoesNotReadStopsTheImport) {
    base.ListeNom.Remplace(0, "\\1;0\\2;h\\3;x\\4;14/Feb/2004:10:00:00\\5;");
    base.ListeNom.Ajoute("\\1;1\\2;");
    base.ReconstruitIndex();
    EXPECT_EQ(Erreur({LigneLog("k", "14/Feb/2004:10:00:00", "/a"),
                      LigneLog("h", "14/Feb/2004:10:00:00", "/a")}),
              "'x' n'est pas une valeur entière correcte");
    EXPECT_EQ(base.ListeNom.Count(), 2u);
    EXPECT_EQ(base.IndexNom.Count(), 1u);
    EXPECT_EQ(base.ListePage.Count(), 1u);
}

TEST_F(Import, TagsFromTheLogNeverBreakStoredRows) {
    Importe(
        {LigneLog("h\\2;x", "14/Feb/2004:10:00:00", "/a\\3;9\\4;", "404", "http://s/\\3;?q=\\4;")});
    EXPECT_EQ(base.ListeNom[0], "\\1;0\\2;h%5C2;x\\3;1\\4;14/Feb/2004:10:00:00\\5;");
    EXPECT_EQ(LitPage(base.ListePage[0]).Nom, "/a%5C3;9%5C4;");
    EXPECT_EQ(LitErreur(base.ListeErreur[0]).Chemin, "/a%5C3;9%5C4;");
    EXPECT_EQ(ExtraitChamp(base.ListeKeyword[0], 3), "\"q=%5C4;\"");
    // The rows read back, and a second import finds them.
    Importe({LigneLog("h\\2;x", "14/Feb/2004:10:05:00", "/a\\3;9\\4;")});
    EXPECT_EQ(LitNom(base.ListeNom[0]).Acces, 2);
    EXPECT_EQ(LitPage(base.ListePage[0]).Acces, 2);
}

TEST_F(Import, CounterRowTextIsKeptForTheFirstNewRow) {
    base.ListePage.Remplace(0, "\\1;007\\2;");
    base.ReconstruitIndex();
    Importe({LigneLog("h", "14/Feb/2004:10:00:00", "/a"),
             LigneLog("h", "14/Feb/2004:10:00:00", "/b"),
             LigneLog("h", "14/Feb/2004:10:00:00", "/b")});
    EXPECT_EQ(base.ListePage[0], "\\1;8\\2;/b\\3;2\\4;14/Feb/2004:10:00:00\\5;");
    EXPECT_EQ(base.ListePage[1], "\\1;007\\2;/a\\3;1\\4;14/Feb/2004:10:00:00\\5;");
    EXPECT_EQ(base.ListePage[2], "\\1;9\\2;");
}

// --- The import against the plain line-by-line algorithm, on random logs ---

class Generateur {
  public:
    explicit Generateur(unsigned graine) : rng_(graine) {}

    std::string Ligne() {
        static const char* hotes[] = {"10.0.0.1", "10.0.0.2",  "Host.A",       "host.a",
                                      "HOST.A",   "b.example", "\xC9t\xE9.fr", "\xE9t\xE9.FR",
                                      "c",        "d-1"};
        static const char* pages[] = {"/",         "/index.html", "/Index.html", "/a.html",
                                      "/logo.gif", "/photo.JPEG", "/x.Png",      "/f.zip",
                                      "/f.ZIP",    "/setup.exe",  "/q?x=1",      "/caf\xE9.html",
                                      "/a\\3;b",   "/b.htm",      ".gif"};
        static const char* statuts[] = {"200", "200", "200", "200", "404",
                                        "304", "500", "-",   "2000"};
        static const char* origines[] = {"-",
                                         "",
                                         "http://www.example.com/page",
                                         "http://ext.org/a",
                                         "http://Ext.org/A",
                                         "http://s.net/search?q=a+b&&c",
                                         "http://s.net/search?q=caf\xE9",
                                         "http://s.net/search?",
                                         "ab?cd?q=1",
                                         "http://t.net/\\5;x?y=\\4;"};
        static const char* mois[] = {"Dec", "Jan", "Feb"};
        const int m = Choix(3);
        const int annee = m == 0 ? 2003 : 2004;
        const int jourMax = m == 2 ? 29 : 31;
        const int jour =
            jourMax - Choix(3) < 1 ? 1 : (Choix(2) ? 1 + Choix(2) : jourMax - Choix(3));
        char date[64];
        std::snprintf(date, sizeof date, "%02d/%s/%d:%02d:%02d:%02d", jour, mois[m], annee,
                      Choix(2) ? 23 : Choix(24), Choix(60), Choix(60));
        std::string d = date;
        if (Choix(20) == 0) {
            d = std::to_string(jour) + "/" + mois[m] + "/" + std::to_string(annee) +
                ":0:" + std::to_string(Choix(60)) + ":7";
        }
        const char* hote = hotes[Choix(10)];
        const char* page = pages[Choix(15)];
        const char* statut = statuts[Choix(9)];
        return LigneLog(hote, d, page, statut, origines[Choix(10)]);
    }

    int Choix(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  private:
    std::mt19937 rng_;
};

std::vector<std::string> LignesAuHasard(Generateur& g, int n) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i) {
        v.push_back(g.Ligne());
    }
    return v;
}

void ExpectMemesTables(Base& a, Base& b) {
    a.AssureIndex();
    b.AssureIndex();
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const Table& ta = a.*e.table;
        const Table& tb = b.*e.table;
        ASSERT_EQ(ta.Count(), tb.Count()) << e.fichier;
        for (std::size_t i = 0; i < ta.Count(); ++i) {
            ASSERT_EQ(ta[i], tb[i]) << e.fichier << " line " << i;
        }
    }
    ASSERT_EQ(a.Modifie, b.Modifie);
    ASSERT_EQ(a.IndexNom.Count(), b.IndexNom.Count());
}

TEST_F(Import, SameTablesAsTheLineByLineAlgorithm) {
    base.ListeOptions.Remplace(0, "http://www.example.com/");
    for (unsigned graine = 1; graine <= 12; ++graine) {
        // Half of the imports find their stored rows through the names read ahead.
        parCibles = graine % 2 == 0;
        Generateur g(graine);
        Base attendu = base;
        for (int tour = 0; tour < 3; ++tour) {
            const std::vector<std::string> lignes = LignesAuHasard(g, 150 + g.Choix(150));
            test::ImporteReference(attendu, lignes);
            Importe(lignes);
            ExpectMemesTables(attendu, base);
        }
    }
}

// A small log into a store of many rows, whose indexes are not built: its names are read ahead
// and the stored rows found without the indexes, with the tables that the indexes give.
TEST(ImportPetit, ASmallLogIntoALargeStoreAsWithTheIndexes) {
    RepertoireTemporaire dir;
    {
        Base grande(dir.Chemin());
        grande.InitListes();
        Table& noms = grande.ListeNom;
        noms.Efface();
        constexpr int kHotes = 300000;
        std::string ligne;
        for (int i = 0; i < kHotes; ++i) {
            ligne.clear();
            AjouteLigneQuatre(ligne, i, "hote" + std::to_string(i) + ".Exemple.fr", kHotes - i,
                              "14/Feb/2004:10:00:00");
            noms.Ajoute(ligne);
            if (i < 2000) {
                grande.ListeLanpSearch.Ajoute(std::to_string(i) + "-0-1");
                ligne.clear();
                AjouteLigneLanp(ligne, i, 0, 3, "14/Feb/2004:10:00:00", 1);
                grande.ListeLanp.Ajoute(ligne);
            }
        }
        ligne.clear();
        AjouteLigneCompteur(ligne, kHotes);
        noms.Ajoute(ligne);
        grande.ListePage.Efface();
        grande.ListePage.Ajoute("\\1;0\\2;/a.html\\3;5\\4;14/Feb/2004:10:00:00\\5;");
        grande.ListePage.Ajoute("\\1;1\\2;");
        grande.SauveListes();
    }
    std::string log;
    for (const char* hote :
         {"hote7.exemple.fr", "HOTE299999.EXEMPLE.FR", "nouveau", "hote7.exemple.fr",
          "hote1500.exemple.fr", "Nouveau", "hote0.exemple.fr"}) {
        log += LigneLog(hote, "15/Feb/2004:10:00:00", "/A.html", "404", "http://x.org/?q=a") + "\n";
        log += LigneLog(hote, "15/Feb/2004:10:05:00", "/b.html") + "\n";
    }
    test::Ecrit(dir.Fichier("petit.log"), log);
    Base parIndex(dir.Chemin()), sansIndex(dir.Chemin());
    parIndex.InitListes();
    parIndex.AssureIndex();
    sansIndex.InitListes();
    ImporteFichier(parIndex, dir.Fichier("petit.log"));
    ImporteFichier(sansIndex, dir.Fichier("petit.log"));
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        EXPECT_TRUE(parIndex.*e.table == sansIndex.*e.table) << e.fichier;
    }
    EXPECT_EQ(sansIndex.ListeNom[0].substr(0, 40), parIndex.ListeNom[0].substr(0, 40));
    EXPECT_EQ(sansIndex.ListeLanpSearch.Count(), 2000u + 7u);
}

TEST_F(Import, SameFailuresAsTheLineByLineAlgorithm) {
    Generateur g(99);
    Importe(LignesAuHasard(g, 200));
    for (int essai = 0; essai < 6; ++essai) {
        parCibles = essai >= 3;
        std::vector<std::string> lignes = LignesAuHasard(g, 100);
        lignes[static_cast<std::size_t>(g.Choix(100))] =
            essai % 2 ? LigneLog("z", "01/Feb/2004:25:00:00", "/p") : "garbage";
        Base attendu = base;
        std::string messageAttendu, message;
        try {
            test::ImporteReference(attendu, lignes);
        } catch (const ErreurSillage& e) {
            messageAttendu = e.what();
        }
        message = Erreur(lignes);
        EXPECT_EQ(message, messageAttendu);
        ExpectMemesTables(attendu, base);
    }
}

} // namespace
} // namespace sillage
