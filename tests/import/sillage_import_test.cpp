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
    // Away from a terminal (cron mails whatever a job writes) a run that goes well says nothing.
    Resultat r = LanceSillageImport("--dir " + dir.Chemin() + " " + kDonnees + "/petit.log");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.sortie + r.erreurs, "");
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const std::string fichier(e.fichier);
        EXPECT_EQ(Contenu(dir.Fichier(fichier)), Contenu(kDonnees + "/attendu/" + fichier))
            << fichier;
    }

    r = LanceSillageImport("--verbeux --dir " + dir.Chemin() + " " + kDonnees + "/petit.log");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find("/petit.log : 6 lignes importées (mois : 2003-12, 2004-01, 2004-02)\n6 "
                            "lignes lues en "),
              std::string::npos)
        << r.sortie;
    EXPECT_EQ(r.erreurs, "");
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

    // Where the report and the errors go to one place (systemd's journal), they keep their order.
    RepertoireTemporaire autre;
    const Resultat ensemble =
        test::Lance("'" SILLAGE_IMPORT "' --verbeux --dir " + autre.Chemin() + " " + kDonnees +
                    "/petit.log " + dir.Fichier("mauvais.log") + " 2>&1");
    EXPECT_EQ(ensemble.code, 1);
    const std::size_t rapport = ensemble.sortie.find(
        "/petit.log : 6 lignes importées (mois : 2003-12, 2004-01, 2004-02)\n");
    ASSERT_NE(rapport, std::string::npos) << ensemble.sortie;
    EXPECT_LT(rapport, ensemble.sortie.find("sillage-import : " + dir.Fichier("mauvais.log")))
        << ensemble.sortie;
}

TEST(SillageImport, UsageAndMissingFiles) {
    RepertoireTemporaire dir;
    const Resultat aide = LanceSillageImport("--help");
    EXPECT_EQ(aide.code, 0);
    EXPECT_NE(aide.sortie.find("Usage : sillage-import"), std::string::npos);
    const Resultat version = LanceSillageImport("-V");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.sortie.rfind("sillage-import ", 0), 0u) << version.sortie;
    // A mistake in one line and a hint, not the whole help.
    for (const auto& [arguments, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "aucun journal à importer"},
             {"--dir " + dir.Chemin() + " --verbose x.log", "option inconnue : --verbose"},
             {"x.log --liste", "--liste attend un fichier"}}) {
        const Resultat r = LanceSillageImport(arguments);
        EXPECT_EQ(r.code, 2) << arguments;
        EXPECT_EQ(r.erreurs,
                  "sillage-import : " + message + "\nEssayez « sillage-import --help ».\n");
        EXPECT_EQ(r.sortie, "");
    }
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
    const std::string options = "--dir " + dir.Chemin() + " --incremental --verbeux ";
    Resultat r = LanceSillageImport(options + dir.Fichier("access.log"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find(dir.Fichier("access.log") +
                            " : 3 lignes nouvelles (journal nouveau ; mois : 2003-12, 2004-01)\n"),
              std::string::npos)
        << r.sortie;

    Ecrit(dir.Fichier("access.log"), petit);
    r = LanceSillageImport(options + dir.Fichier("access.log"));
    EXPECT_NE(r.sortie.find(" : 3 lignes nouvelles (3 déjà comptées ; mois : 2004-01, 2004-02)\n"),
              std::string::npos)
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
    r = LanceSillageImport("--dir " + dir.Chemin() + " --ignore-illisibles --verbeux " +
                           dir.Fichier("abime.log"));
    EXPECT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find(dir.Fichier("abime.log") +
                            " : 2 lignes illisibles ignorées (première : ligne 1)\n"),
              std::string::npos)
        << r.sortie;
}

TEST(SillageImport, OnATerminalItTellsWithoutBeingAsked) {
    RepertoireTemporaire dir;
    // script(1) runs the program on a terminal of its own and copies what it shows.
    const Resultat r = test::Lance("script -qec \"'" SILLAGE_IMPORT "' --dir " + dir.Chemin() +
                                   " " + kDonnees + "/petit.log\" /dev/null");
    ASSERT_EQ(r.code, 0) << r.sortie << r.erreurs;
    EXPECT_NE(r.sortie.find("/petit.log : 6 lignes importées (mois : 2003-12, 2004-01, "
                            "2004-02)\r\n6 lignes lues en "),
              std::string::npos)
        << r.sortie;
}

// The logs of a scheduled import come from a list in the user's configuration.
TEST(SillageImport, ImportsTheLogsOfAList) {
    RepertoireTemporaire dir;
    const std::string petit = Contenu(kDonnees + "/petit.log") + "\n";
    const std::size_t moitie = petit.find('\n', petit.size() / 2) + 1;
    // Rotated: the first half in access.log.1, the rest in access.log, both named by a pattern.
    Ecrit(dir.Fichier("access.log.1"), petit.substr(0, moitie));
    Ecrit(dir.Fichier("access.log"), petit.substr(moitie));
    Ecrit(dir.Fichier("journaux"),
          "# Du plus ancien au plus récent\naccess.log.2.gz\naccess.log*\n");
    const std::string options = "--dir " + dir.Chemin() + " --incremental --liste ";
    Resultat r = LanceSillageImport(options + dir.Fichier("journaux"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.sortie + r.erreurs, "");
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const std::string fichier(e.fichier);
        EXPECT_EQ(Contenu(dir.Fichier(fichier)), Contenu(kDonnees + "/attendu/" + fichier))
            << fichier;
    }

    // Told on request: what each file gave and the line that named nothing yet.
    r = LanceSillageImport(options + dir.Fichier("journaux") + " --verbeux");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.sortie.substr(0, r.sortie.find("0 lignes lues")),
              dir.Fichier("journaux") + ", ligne 2 : " + dir.Fichier("access.log.2.gz") +
                  " est absent\n" + dir.Fichier("access.log.1") +
                  " : 0 ligne nouvelle (3 déjà comptées)\n" + dir.Fichier("access.log") +
                  " : 0 ligne nouvelle (3 déjà comptées)\n");

    // A list at fault changes nothing and says why, whatever the terminal.
    const std::string avant = test::FichiersDuStore(dir.Chemin());
    Ecrit(dir.Fichier("vide"), "# rien encore\n");
    r = LanceSillageImport(options + dir.Fichier("vide") + " " + dir.Fichier("access.log"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-import : La liste des journaux " + dir.Fichier("vide") +
                             " n'en nomme aucun : écrivez-y les journaux à importer, un chemin ou "
                             "un motif par ligne, du plus ancien au plus récent\n");
    r = LanceSillageImport(options + dir.Fichier("absente"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-import : Impossible de lire la liste des journaux " +
                             dir.Fichier("absente") + " : fichier introuvable\n");
    EXPECT_EQ(test::FichiersDuStore(dir.Chemin()), avant);
}

} // namespace
} // namespace sillage
