// Runs the sillage-import program on small logs into temporary directories.
#include "store/base.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::LanceSillageImport;
using test::RepertoireTemporaire;
using test::Resultat;

const std::string kDonnees = DONNEES_IMPORT;

TEST(SillageImport, WritesTheFourteenTablesThenDoublesOnASecondImport) {
    RepertoireTemporaire dir;
    const Resultat r = LanceSillageImport("--dir " + dir.Chemin() + " " + kDonnees + "/petit.log");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find("6 lignes lues en "), std::string::npos) << r.sortie;
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const std::string fichier(e.fichier);
        EXPECT_EQ(Contenu(dir.Fichier(fichier)), Contenu(kDonnees + "/attendu/" + fichier))
            << fichier;
    }

    ASSERT_EQ(LanceSillageImport("--dir " + dir.Chemin() + " " + kDonnees + "/petit.log").code, 0);
    Base base(dir.Chemin());
    base.InitListes();
    EXPECT_EQ(LitNom(base.ListeNom[0]).Acces, 6);
    EXPECT_EQ(LitNom(base.ListeNom[0]).Nom, "10.0.0.1");
    EXPECT_EQ(base.ListeNom.Count(), 4u);
    EXPECT_EQ(LitPage(base.ListePage[0]).Acces, 6);
    EXPECT_EQ(base.ListeKeyword.Count(), 5u);
    EXPECT_EQ(base.ListeLanp.Count(), 4u);
    EXPECT_EQ(LitLanp(base.ListeLanp[3]).Acces, 4);
    EXPECT_EQ(LitErreur(base.ListeErreur[1]).Acces, 2);
    const RGraph y2004 = LitGraph(base.ListeGraphMois[1]);
    EXPECT_EQ(y2004.Hits[0], 6);
    EXPECT_EQ(y2004.Maximum, 6);
    EXPECT_EQ(LitGraphMois(base.ListeGraphHeure[1]).Jours[0], 6);
    EXPECT_EQ(base.ListeGraphMois.Count(), 2u);
    EXPECT_EQ(base.ListeGraphHeure.Count(), 3u);
}

TEST(SillageImport, AFailingFileKeepsWhatCameBefore) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("mauvais.log"),
          "10.0.0.9 - - [01/Jan/2004:00:00:00 +0100] \"GET /x HTTP/1.1\" 200 1 \"-\" \"A\"\n"
          "pas une ligne de journal\n");
    const Resultat r =
        LanceSillageImport("--dir " + dir.Chemin() + " " + kDonnees + "/petit.log " +
                           dir.Fichier("mauvais.log") + " " + kDonnees + "/petit.log");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find(dir.Fichier("mauvais.log")), std::string::npos) << r.erreurs;
    EXPECT_NE(r.erreurs.find("n'est pas une valeur entière correcte"), std::string::npos)
        << r.erreurs;
    // The first log is saved, nothing of the failing one, and the third is not imported.
    EXPECT_EQ(Contenu(dir.Fichier("nom.lst")), Contenu(kDonnees + "/attendu/nom.lst"));
}

TEST(SillageImport, UsageAndMissingFiles) {
    RepertoireTemporaire dir;
    const Resultat aide = LanceSillageImport("--help");
    EXPECT_EQ(aide.code, 0);
    EXPECT_NE(aide.sortie.find("Usage : sillage-import"), std::string::npos);
    EXPECT_EQ(LanceSillageImport("").code, 2);
    const Resultat absent =
        LanceSillageImport("--dir " + dir.Chemin() + " " + dir.Fichier("absent.log"));
    EXPECT_EQ(absent.code, 1);
    EXPECT_NE(absent.erreurs.find("Impossible d'ouvrir le fichier " + dir.Fichier("absent.log")),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("nom.lst")));
}

TEST(SillageImport, TellsWhatEachFileGaveInAScheduledRun) {
    RepertoireTemporaire dir;
    // The sample's last line has no line end: a scheduled run would wait for it.
    const std::string petit = Contenu(kDonnees + "/petit.log") + "\n";
    const std::size_t coupe = petit.find('\n', petit.size() / 2) + 10; // inside a line
    Ecrit(dir.Fichier("access.log"), petit.substr(0, coupe));
    const std::string options = "--dir " + dir.Chemin() + " --incremental ";
    Resultat r = LanceSillageImport(options + dir.Fichier("access.log"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(
        r.sortie.find(dir.Fichier("access.log") + " : 3 lignes nouvelles (journal nouveau)\n"),
        std::string::npos)
        << r.sortie;

    Ecrit(dir.Fichier("access.log"), petit);
    r = LanceSillageImport(options + dir.Fichier("access.log"));
    EXPECT_NE(r.sortie.find(" : 3 lignes nouvelles (3 déjà comptées)\n"), std::string::npos)
        << r.sortie;
    // The store now holds the tables of the whole log, the register beside them.
    for (const char* f : {"lanp.lst", "keyword.lst", "graphmois.lst"}) {
        EXPECT_EQ(Contenu(dir.Fichier(f)), Contenu(kDonnees + "/attendu/" + f)) << f;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.Fichier("journaux.lst")));

    const std::string avant =
        Contenu(dir.Fichier("nom.lst")) + Contenu(dir.Fichier("journaux.lst"));
    r = LanceSillageImport(options + dir.Fichier("access.log"));
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.sortie.find(" : 0 ligne nouvelle (6 déjà comptées)\n"), std::string::npos)
        << r.sortie;
    EXPECT_EQ(Contenu(dir.Fichier("nom.lst")) + Contenu(dir.Fichier("journaux.lst")), avant);

    // Unreadable lines passed over on request, and told.
    Ecrit(dir.Fichier("abime.log"), "pas une ligne\n" + petit + std::string(5, '\0') + "\n");
    r = LanceSillageImport("--dir " + dir.Chemin() + " " + dir.Fichier("abime.log"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("n'est pas une valeur entière correcte"), std::string::npos);
    r = LanceSillageImport("--dir " + dir.Chemin() + " --ignore-illisibles " +
                           dir.Fichier("abime.log"));
    EXPECT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find(dir.Fichier("abime.log") +
                            " : 2 lignes illisibles ignorées (première : ligne 1)\n"),
              std::string::npos)
        << r.sortie;
}

} // namespace
} // namespace sillage
