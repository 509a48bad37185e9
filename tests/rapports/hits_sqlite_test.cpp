// sillage-import --hits: the hits of the imports, loaded into SQLite (as an analytical engine
// would load them), count what the store counts.
#include "store/base.h"
#include "store/champs.h"
#include "store/verrou.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

namespace sillage {
namespace {

namespace fs = std::filesystem;
using test::Contenu;
using test::Ecrit;
using test::RepertoireTemporaire;
using test::Resultat;

std::int64_t Total(const Table& t) {
    std::int64_t total = 0;
    for (std::size_t i = 0; i + 1 < t.Count(); ++i) {
        total += ConvertitEntier(ExtraitChamp(t[i], 3));
    }
    return total;
}

class HitsSqlite : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::Lance("sqlite3 -version").code != 0) {
            FAIL()
                << "sqlite3 is not installed (Debian package sqlite3, which scripts/test installs)";
        }
        fs::create_directory(base);
        fs::permissions(base, fs::perms::owner_all);
        std::vector<std::string> lignes =
            test::AvecAgents(test::LignesAleatoires(7, 3000),
                             {test::kAgentFirefox, test::kAgentGoogle, test::kAgentGpt}, 7);
        // Texts that CSV must quote, in both encodings.
        lignes.push_back("10.99.0.1 - - [30/Mar/2004:10:00:00 +0200] \"GET /a,b;c.html HTTP/1.1\" "
                         "404 1 \"http://m/?q=un,deux&x=\"\"\" \"Agent \"1\"; caf\xE9\"");
        lignes.push_back("10.99.0.2 - - [30/Mar/2004:10:00:01 +0200] \"GET /\xC3\xA9t\xC3\xA9 "
                         "HTTP/1.1\" 200 1 \"-\" \"x\ty\"");
        Ecrit(travail.Fichier("a.log"), test::Journal(lignes));
    }

    // The answer of a query on the hits loaded last.
    std::string Requete(const std::string& sql) {
        Ecrit(travail.Fichier("requete.sql"), sql + ";\n");
        const Resultat r = test::Lance("sqlite3 -batch -noheader " + travail.Fichier("hits.db") +
                                       " <" + travail.Fichier("requete.sql"));
        EXPECT_EQ(r.code, 0) << r.erreurs;
        EXPECT_EQ(r.erreurs, "") << sql;
        std::string s = r.sortie;
        while (!s.empty() && s.back() == '\n') {
            s.pop_back();
        }
        return s;
    }

    // The hits of a CSV file into the table hits, its columns named by its first row.
    void Charge(const std::string& csv) {
        fs::remove(travail.Fichier("hits.db"));
        Ecrit(travail.Fichier("requete.sql"), ".mode csv\n.import " + csv + " hits\n");
        const Resultat r = test::Lance("sqlite3 -batch " + travail.Fichier("hits.db") + " <" +
                                       travail.Fichier("requete.sql"));
        ASSERT_EQ(r.code, 0) << r.erreurs;
        ASSERT_EQ(r.erreurs, "");
    }

    RepertoireTemporaire racine;
    RepertoireTemporaire travail;
    const std::string base = racine.Fichier("base");
};

TEST_F(HitsSqlite, TheHitsCountWhatTheStoreCounts) {
    for (const char* nom : {"hits.csv", "hits.csv.gz"}) {
        fs::remove_all(base);
        fs::create_directory(base);
        fs::permissions(base, fs::perms::owner_all);
        const std::string hits = travail.Fichier(nom);
        const Resultat r = test::LanceSillageImport("--verbeux --dir " + base + " --hits " + hits +
                                                    " " + travail.Fichier("a.log"));
        ASSERT_EQ(r.code, 0) << r.erreurs;
        // "…, dont N de robots": the hits whose agent the lists call a robot's.
        const std::size_t dont = r.sortie.find(", dont ");
        ASSERT_NE(dont, std::string::npos) << r.sortie;
        std::string robots; // its digits, without the spaces between thousands
        for (std::size_t i = dont + 7; i < r.sortie.size() && r.sortie.compare(i, 3, " de"); ++i) {
            if (std::isdigit(static_cast<unsigned char>(r.sortie[i]))) {
                robots += r.sortie[i];
            }
        }
        std::string csv = hits;
        if (std::string(nom).ends_with(".gz")) {
            ASSERT_EQ(test::Lance("zcat " + hits + " >" + travail.Fichier("clair.csv")).code, 0);
            csv = travail.Fichier("clair.csv");
        }
        Charge(csv);
        Base b(base);
        b.InitListes();
        const std::string total = std::to_string(Total(b.ListeNom));
        EXPECT_EQ(Requete("SELECT count(*) FROM hits"), total) << nom;
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"sillage.kind\" = 'page'"),
                  std::to_string(Total(b.ListePage)));
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"sillage.kind\" = 'image'"),
                  std::to_string(Total(b.ListeImage)));
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"sillage.kind\" = 'download'"),
                  std::to_string(Total(b.ListeDownload)));
        EXPECT_EQ(Requete("SELECT count(DISTINCT \"source.address\") FROM hits"),
                  std::to_string(b.ListeNom.Count() - 1));
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE "
                          "\"http.response.status_code\" <> '200'"),
                  std::to_string(Total(b.ListeErreur)));
        EXPECT_GT(std::stoll(robots), 0);
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"sillage.robot\" = 'true'"), robots);
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"sillage.robot\" = 'false'"),
                  std::to_string(Total(b.ListeNom) - std::stoll(robots)));
        EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"sillage.keywords\" <> ''"),
                  std::to_string(b.ListeKeyword.Count() - 1));
        // The texts as they were sent, quoted where they must be.
        EXPECT_EQ(Requete("SELECT \"url.original\" || '|' || \"http.request.referrer\" || "
                          "'|' || \"user_agent.original\" || '|' || \"@timestamp\" FROM hits "
                          "WHERE \"source.address\" = '10.99.0.1' AND \"@timestamp\" LIKE "
                          "'2004-03-30%'"),
                  "/a,b;c.html|http://m/?q=un,deux&x=\"\"|Agent |2004-03-30T10:00:00+02:00");
        EXPECT_EQ(Requete("SELECT \"url.original\" FROM hits WHERE \"source.address\" = "
                          "'10.99.0.2'"),
                  "/été");
    }
}

// No hit of a log whose import failed; no file at all when the tables were not saved.
TEST_F(HitsSqlite, OnlyTheHitsOfTheTablesSaved) {
    Ecrit(travail.Fichier("mauvais.log"),
          test::Journal({test::LigneLog("10.5.5.5", "01/Apr/2004:00:00:00", "/x.html"),
                         "pas une ligne de journal"}));
    const std::string hits = travail.Fichier("hits.csv");
    Resultat r =
        test::LanceSillageImport("--dir " + base + " --hits " + hits + " " +
                                 travail.Fichier("a.log") + " " + travail.Fichier("mauvais.log"));
    EXPECT_EQ(r.code, 1);
    Charge(hits);
    Base b(base);
    b.InitListes();
    EXPECT_EQ(Requete("SELECT count(*) FROM hits"), std::to_string(Total(b.ListeNom)));
    EXPECT_EQ(Requete("SELECT count(*) FROM hits WHERE \"source.address\" = '10.5.5.5'"), "0");

    fs::remove(hits);
    {
        const Verrou tenu = Verrou::Prend(base, std::chrono::milliseconds(0));
        r = test::LanceSillageImport("--attente 0.1 --dir " + base + " --hits " + hits + " " +
                                     travail.Fichier("a.log"));
    }
    EXPECT_EQ(r.code, 75);
    EXPECT_FALSE(fs::exists(hits));
    EXPECT_FALSE(fs::exists(travail.Fichier(".hits.csv")));
    for (const auto& e : fs::directory_iterator(travail.Chemin())) {
        EXPECT_FALSE(e.path().filename().string().starts_with(".hits")) << e.path();
    }
}

} // namespace
} // namespace sillage
