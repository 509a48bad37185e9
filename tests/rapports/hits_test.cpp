// The hits of an import, one CSV row per counted line, named as the Elastic Common Schema names
// them.
#include "rapports/hits.h"

#include "import/import.h"
#include "import/lecture/ligne_log.h"
#include "lecture_csv.h"
#include "store/base.h"
#include "store/champs.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

using test::LitCsv;
using test::RangeesCsv;

// The row of one line, read back.
std::vector<std::string> Rangee(const std::string& ligne, std::string_view exclu = "") {
    const int champs = CompteNombreChamps(ligne);
    RHitsVues hit;
    std::string k, e;
    DecoupeLigneLogVues(ligne, champs, hit, k, e);
    std::string s;
    TamponsHits tampons;
    AjouteRangeeHits(s, ligne, champs, hit, exclu, tampons);
    const RangeesCsv r = LitCsv(s, ',');
    EXPECT_EQ(r.size(), 1u);
    return r.empty() ? std::vector<std::string>{} : r[0];
}

TEST(Hits, OneRowPerLineInTheSchemasColumns) {
    EXPECT_EQ(
        Rangee("10.0.0.1 - - [14/Feb/2004:10:11:12 +0100] \"GET /a.html?x=1 HTTP/1.1\" 200 "
               "100 \"http://moteur.example/cherche?q=caf%C3%A9+noir&lang=fr\" \"Agent, "
               "\"1.0\"\""),
        std::vector<std::string>({"2004-02-14T10:11:12+01:00", "10.0.0.1", "/a.html?x=1", "200",
                                  "http://moteur.example/cherche?q=caf%C3%A9+noir&lang=fr",
                                  "Agent, ", "page", "\"q=café noir\" \"lang=fr\""}));
    // Images and downloads; no referrer; a zone west of Greenwich.
    EXPECT_EQ(
        Rangee("h - - [01/Jan/2024:00:00:00 -0530] \"GET /i.PNG HTTP/1.0\" 304 0 \"-\" \"-\""),
        std::vector<std::string>(
            {"2024-01-01T00:00:00-05:30", "h", "/i.PNG", "304", "", "-", "image", ""}));
    EXPECT_EQ(
        Rangee("h - - [01/Jan/2024:00:00:00 +0000] \"GET /f.zip HTTP/1.0\" 200 0 \"-\" \"a\"")[6],
        "download");
}

TEST(Hits, SearchWordsAreThoseTheStoreKeeps) {
    const std::string ligne = "h - - [14/Feb/2004:10:11:12 +0100] \"GET / HTTP/1.1\" 200 1 "
                              "\"http://www.example.com/page?q=interne\" \"a\"";
    // The site's own address is no referrer the store counts: no search words, the referrer
    // itself stays.
    const std::vector<std::string> exclu = Rangee(ligne, "http://www.example.com/");
    EXPECT_EQ(exclu[4], "http://www.example.com/page?q=interne");
    EXPECT_EQ(exclu[7], "");
    EXPECT_EQ(Rangee(ligne, "http://ailleurs/")[7], "\"q=interne\"");
}

// Text the store neutralises (a tag-like sequence) is neutralised here too, and the referrer
// keeps its query; a line with an extra first field; bytes in either encoding become UTF-8.
TEST(Hits, NeutralisedTextsExtraFieldsAndEncodings) {
    const std::vector<std::string> r =
        Rangee("h - - [14/Feb/2004:10:11:12 +0200] \"GET /caf\xE9 HTTP/1.1\" 404 1 "
               "\"http://m/c?q=\\1;x\" \"ag\\12;ent\"");
    // (The search words are shown as the Infos tab shows them, their escapes decoded.)
    EXPECT_EQ(
        r, std::vector<std::string>({"2004-02-14T10:11:12+02:00", "h", "/café", "404",
                                     "http://m/c?q=%5C1;x", "ag%5C12;ent", "page", "\"q=\\1;x\""}));
    const std::vector<std::string> prefixe =
        Rangee("www.site.example 10.1.1.1 - - [14/Feb/2004:10:11:12 +0100] \"GET /x HTTP/1.1\" "
               "200 5 \"http://r/?a=b\" \"agent\"");
    EXPECT_EQ(prefixe[0], "2004-02-14T10:11:12+01:00");
    EXPECT_EQ(prefixe[1], "10.1.1.1");
    EXPECT_EQ(prefixe[4], "http://r/?a=b");
}

// The file follows the imports: every counted line once, lines passed over left out, the rows
// of a failed import taken back; nothing at its place before Termine.
TEST(Hits, TheFileHoldsTheLinesTheImportsCounted) {
    test::RepertoireTemporaire d;
    Base base(d.Chemin());
    base.InitListes();
    const std::string chemin = d.Fichier("hits.csv");
    FichierHits hits(chemin, base);
    DemandeImport demande;
    demande.Observateur = &hits;
    demande.IgnoreIllisibles = true;

    std::vector<std::string> lignes = test::LignesAleatoires(1, 30);
    lignes.insert(lignes.begin() + 5, "une ligne illisible");
    test::Ecrit(d.Fichier("a.log"), test::Journal(lignes));
    hits.DebutJournal();
    EXPECT_EQ(ImporteJournal(base, d.Fichier("a.log"), demande).Illisibles, 1);
    EXPECT_EQ(hits.Rangees(), 30);

    // A log that stops on an unreadable line after some of its lines were counted.
    test::Ecrit(d.Fichier("b.log"), test::Journal(test::LignesAleatoires(2, 10)) + "x\n");
    demande.IgnoreIllisibles = false;
    hits.DebutJournal();
    EXPECT_NE(test::MessageDe([&] { ImporteJournal(base, d.Fichier("b.log"), demande); }),
              "(no error)");
    hits.AnnuleJournal();
    EXPECT_EQ(hits.Rangees(), 30);

    // Only what is new of a log counted already.
    lignes.push_back(test::LigneLog("10.9.9.9", "29/Mar/2004:23:00:00", "/neuf.html"));
    test::Ecrit(d.Fichier("a.log"), test::Journal(lignes));
    demande.Mode = ModeImport::Nouveau;
    demande.IgnoreIllisibles = true;
    hits.DebutJournal();
    ImporteJournal(base, d.Fichier("a.log"), demande);
    EXPECT_EQ(hits.Rangees(), 31);

    EXPECT_FALSE(std::filesystem::exists(chemin));
    hits.Prepare();
    hits.Termine();
    const RangeesCsv r = LitCsv(test::Contenu(chemin), ',');
    ASSERT_EQ(r.size(), 32u);
    EXPECT_EQ(test::Contenu(chemin).substr(0, kColonnesHits.size()), kColonnesHits);
    EXPECT_EQ(r.back()[1], "10.9.9.9");
    EXPECT_EQ(r.back()[2], "/neuf.html");
    // As many hits as the store counts.
    std::int64_t total = 0;
    for (std::size_t i = 0; i + 1 < base.ListeNom.Count(); ++i) {
        total += std::stoll(std::string(ExtraitChamp(base.ListeNom[i], 3)));
    }
    EXPECT_EQ(total, 31);
}

} // namespace
} // namespace sillage
