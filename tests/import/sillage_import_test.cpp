// Runs the sillage-import program on small logs into temporary directories.
#include "store/base.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/registre.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

    // A log the register knows, counted again: the report says so.
    r = LanceSillageImport("--verbeux --dir " + dir.Chemin() + " " + kDonnees + "/petit.log");
    ASSERT_EQ(r.code, 0) << r.erreurs;
    const std::size_t rapport =
        r.sortie.find("/petit.log : 6 lignes importées, dont 0 de robots (déjà importé le ");
    ASSERT_NE(rapport, std::string::npos) << r.sortie;
    EXPECT_NE(
        r.sortie.find(", compté à nouveau ; mois : 2003-12, 2004-01, 2004-02)\n6 lignes lues en ",
                      rapport),
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
        "/petit.log : 6 lignes importées, dont 0 de robots (mois : 2003-12, 2004-01, 2004-02)\n");
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
                            " : 3 lignes nouvelles, dont 0 de robots "
                            "(journal nouveau ; mois : 2003-12, 2004-01)\n"),
              std::string::npos)
        << r.sortie;

    Ecrit(dir.Fichier("access.log"), petit);
    r = LanceSillageImport(options + dir.Fichier("access.log"));
    EXPECT_NE(r.sortie.find(" : 3 lignes nouvelles, dont 0 de robots (3 déjà comptées ; mois : "
                            "2004-01, 2004-02)\n"),
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
    EXPECT_EQ(r.erreurs, "sillage-import : " + dir.Fichier("abime.log") +
                             " ne ressemble pas à un journal d'accès (ligne 1)\n");
    r = LanceSillageImport("--dir " + dir.Chemin() + " --ignore-illisibles --verbeux " +
                           dir.Fichier("abime.log"));
    EXPECT_EQ(r.code, 0) << r.erreurs;
    // The lines passed over are not counted as imported.
    EXPECT_NE(r.sortie.find(
                  dir.Fichier("abime.log") +
                  " : 6 lignes importées, dont 0 de robots (mois : 2003-12, 2004-01, 2004-02)\n" +
                  dir.Fichier("abime.log") +
                  " : 2 lignes illisibles ignorées (première : ligne 1)\n"),
              std::string::npos)
        << r.sortie;
    // A text that is no log at all: nothing to pass over to.
    Ecrit(dir.Fichier("texte.txt"), "Bonjour,\nceci n'est pas un journal.\n");
    for (const char* option : {"", "--ignore-illisibles "}) {
        r = LanceSillageImport("--dir " + dir.Chemin() + " " + option + dir.Fichier("texte.txt"));
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.erreurs, "sillage-import : " + dir.Fichier("texte.txt") +
                                 " ne ressemble pas à un journal d'accès (ligne 1)\n");
    }
}

// Each failure says why, naming its file once; a failing file prints no "importées".
TEST(SillageImport, ErrorsSayWhyAndWhichFile) {
    RepertoireTemporaire dir;
    const std::string options = "--verbeux --dir " + dir.Chemin() + " ";
    Ecrit(dir.Fichier("vide.log"), "");
    std::filesystem::create_directory(dir.Fichier("dossier.log"));
    for (const auto& [fichier, message] : std::vector<std::pair<std::string, std::string>>{
             {dir.Fichier("absent.log"), "Impossible d'ouvrir le fichier " +
                                             dir.Fichier("absent.log") + " : fichier introuvable"},
             {dir.Fichier("dossier.log"), "Impossible d'ouvrir le fichier " +
                                              dir.Fichier("dossier.log") +
                                              " : c'est un répertoire"},
             {dir.Fichier("vide.log"), dir.Fichier("vide.log") + " est vide"}}) {
        const Resultat r = LanceSillageImport(options + fichier);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.erreurs, "sillage-import : " + message + "\n");
        EXPECT_EQ(r.sortie.find("importée"), std::string::npos) << r.sortie;
    }
    // The store folder given is missing.
    Resultat r =
        LanceSillageImport("--dir " + dir.Fichier("absent") + " " + kDonnees + "/petit.log");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-import : Impossible d'ouvrir le fichier " +
                             dir.Fichier("absent") + " : répertoire introuvable\n");
    // A register that does not read is named with its line, before any log is read.
    RepertoireTemporaire abime;
    Ecrit(abime.Fichier("journaux.lst"), "\\1;0123456789abcdef\\2;4096\r\n");
    r = LanceSillageImport("--dir " + abime.Chemin() + " " + kDonnees + "/petit.log");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-import : Le registre des journaux importés " +
                             abime.Fichier("journaux.lst") +
                             " ne se lit pas à sa ligne 1 (rangée incomplète) : corrigez cette "
                             "ligne ou retirez-la (le journal qu'elle note sera alors compté "
                             "comme un journal nouveau par un import --incremental).\n");
    // To an import of what is new, an empty log (as logrotate's create leaves) is nothing new.
    r = LanceSillageImport(options + "--incremental " + dir.Fichier("vide.log"));
    EXPECT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.sortie.rfind(dir.Fichier("vide.log") + " : 0 ligne nouvelle (fichier vide)\n", 0),
              0u)
        << r.sortie;
}

// A store folder that cannot be written is told before any log is read.
TEST(SillageImport, AStoreThatCannotBeWrittenIsToldBeforeAnyLog) {
    constexpr uid_t kUtilisateur = 47331;
    const auto comme = [](const std::string& commande) {
        return test::Lance("setpriv --reuid=" + std::to_string(kUtilisateur) + " --regid=" +
                           std::to_string(kUtilisateur) + " --clear-groups " + commande);
    };
    if (::geteuid() != 0 || comme(std::string("test -x '") + SILLAGE_IMPORT + "'").code != 0) {
        GTEST_SKIP() << "needs root, and a build that other users can run";
    }
    RepertoireTemporaire dir;
    ::chmod(dir.Chemin().c_str(), 0755);
    const std::string store = dir.Fichier("tables");
    std::filesystem::create_directory(store);
    ASSERT_EQ(::chown(store.c_str(), kUtilisateur, kUtilisateur), 0);
    Ecrit(dir.Fichier("texte.txt"), "pas un journal\n");
    ::chmod(dir.Fichier("texte.txt").c_str(), 0644);
    const std::string petit = kDonnees + "/petit.log";
    const std::string import = std::string("'") + SILLAGE_IMPORT + "' --verbeux --dir " + store;
    ASSERT_EQ(comme(import + " " + petit).code, 0);
    // The user's own folder, made read-only: its lock file opens, nothing can be made there.
    ::chmod(store.c_str(), 0500);
    const std::string avant = test::FichiersDuStore(store);
    const Resultat r = comme(import + " " + petit + " " + dir.Fichier("texte.txt"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs, "sillage-import : Impossible d'écrire dans le répertoire des tables " +
                             store + " : permission refusée\n");
    EXPECT_EQ(r.sortie, "");
    EXPECT_EQ(test::FichiersDuStore(store), avant);
}

// A compressed log cut short: a whole import says so; an import of what is new counts its whole
// lines and leaves the rest for the run that finds the file whole.
TEST(SillageImport, ACompressedLogCutShort) {
    RepertoireTemporaire dir, temoin;
    const std::string texte = test::Journal(test::LignesAleatoires(3, 3000));
    const std::string gz = test::Gzip(texte);
    const std::string fichier = dir.Fichier("access.log.2.gz");
    Ecrit(fichier, gz.substr(0, gz.size() / 2));
    Resultat r = LanceSillageImport("--dir " + dir.Chemin() + " " + fichier);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs.rfind("sillage-import : Le fichier compressé " + fichier +
                                  " est coupé avant sa fin (ligne ",
                              0),
              0u)
        << r.erreurs;
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("nom.lst")));

    const std::string options = "--verbeux --incremental --dir " + dir.Chemin() + " ";
    r = LanceSillageImport(options + fichier);
    EXPECT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.erreurs, "sillage-import : " + fichier +
                             " : fichier compressé coupé avant sa fin ; ses lignes entières sont "
                             "comptées, la suite le sera quand il sera entier\n");
    const std::size_t deux = r.sortie.find(" : ") + 3;
    std::string chiffres = r.sortie.substr(deux, r.sortie.find(" ligne", deux) - deux);
    std::erase(chiffres, ' ');
    const long premieres = std::stol(chiffres);
    EXPECT_GT(premieres, 500);
    EXPECT_LT(premieres, 3000);

    Ecrit(fichier, gz);
    r = LanceSillageImport(options + fichier);
    EXPECT_EQ(r.code, 0) << r.erreurs;
    EXPECT_EQ(r.erreurs, "");
    // Numbers as the report writes them, thousands apart.
    const auto nombre = [](long n) {
        return n < 1000
                   ? std::to_string(n)
                   : std::to_string(n / 1000) + " " + std::to_string(1000 + n % 1000).substr(1);
    };
    EXPECT_NE(r.sortie.find(fichier + " : " + nombre(3000 - premieres) +
                            " lignes nouvelles, dont 0 de robots (" + nombre(premieres) +
                            " déjà comptées ; mois : 2004-03)\n"),
              std::string::npos)
        << r.sortie;
    // Counted once in all, as the same lines in a plain log that grew between the two runs.
    std::size_t coupe = 0;
    for (long i = 0; i < premieres; ++i) {
        coupe = texte.find('\n', coupe) + 1;
    }
    const std::string temoinOptions = "--incremental --dir " + temoin.Chemin() + " ";
    for (const std::string& contenu : {texte.substr(0, coupe), texte}) {
        Ecrit(temoin.Fichier("access.log"), contenu);
        ASSERT_EQ(LanceSillageImport(temoinOptions + temoin.Fichier("access.log")).code, 0);
    }
    EXPECT_EQ(test::FichiersDuStore(dir.Chemin()), test::FichiersDuStore(temoin.Chemin()));
}

// A log whose name holds a line break and a CR is known by the register run after run.
TEST(SillageImport, ALogNameWithALineBreakKeepsTheRegisterWhole) {
    RepertoireTemporaire dir;
    const std::string nom = "acces\nde\rmars.log";
    Ecrit(dir.Fichier(nom), Contenu(kDonnees + "/petit.log") + "\n");
    const std::string commande = "--verbeux --incremental --dir " + dir.Chemin() + " \"" +
                                 dir.Chemin() + "$(printf 'acces\\nde\\rmars.log')\"";
    Resultat r = LanceSillageImport(commande);
    ASSERT_EQ(r.code, 0) << r.erreurs;
    r = LanceSillageImport(commande);
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find(" : 0 ligne nouvelle (6 déjà comptées)\n"), std::string::npos)
        << r.sortie;
    Base base(dir.Chemin());
    base.InitListes();
    ASSERT_EQ(base.ListeRegistre.Count(), 1u);
    EXPECT_EQ(LitRegistre(base.ListeRegistre[0]).Nom, dir.Fichier(nom));
}

// The lines of robots left out on request (--sans-robots), or by the store's option, exactly as
// if absent from the log, and counted in the report; a line of the user's robots.lst that is no
// expression is told on the standard error, and the import goes on without it.
TEST(SillageImport, RobotsLeftOutOnRequestOrByTheStoresOption) {
    RepertoireTemporaire dir;
    const std::vector<std::string> personnes = {
        test::LigneLog("a", "01/Mar/2004:10:00:00", "/", "200", "-", test::kAgentFirefox),
        test::LigneLog("b", "01/Mar/2004:10:40:00", "/p", "200", "-", test::kAgentChrome)};
    std::vector<std::string> tout = personnes;
    tout.insert(tout.begin() + 1,
                test::LigneLog("a", "01/Mar/2004:10:20:00", "/", "200", "-", test::kAgentGoogle));
    tout.push_back(
        test::LigneLog("b", "01/Mar/2004:10:50:00", "/r", "404", "-", test::kAgentClaude));
    Ecrit(dir.Fichier("tout.log"), test::Journal(tout));
    Ecrit(dir.Fichier("personnes.log"), test::Journal(personnes));
    for (const char* d : {"attendu", "demande", "option"}) {
        std::filesystem::create_directory(dir.Fichier(d));
        std::filesystem::permissions(dir.Fichier(d), std::filesystem::perms::owner_all);
    }
    ASSERT_EQ(
        LanceSillageImport("--dir " + dir.Fichier("attendu") + " " + dir.Fichier("personnes.log"))
            .code,
        0);

    Ecrit(dir.Fichier("demande/robots.lst"), "(\n");
    const Resultat r = LanceSillageImport("--verbeux --sans-robots --dir " +
                                          dir.Fichier("demande") + " " + dir.Fichier("tout.log"));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find("tout.log : 4 lignes importées, dont 2 de robots (mois : 2004-03)\n"),
              std::string::npos)
        << r.sortie;
    EXPECT_EQ(r.erreurs.rfind("sillage-import : Fichier " + dir.Fichier("demande/robots.lst") +
                                  ", ligne 1 : « ( » n'est pas une expression régulière valide",
                              0),
              0u)
        << r.erreurs;

    Ecrit(dir.Fichier("option/robots.options"), "sans-robots=1\r\n");
    ASSERT_EQ(
        LanceSillageImport("--dir " + dir.Fichier("option") + " " + dir.Fichier("tout.log")).code,
        0);
    for (const char* d : {"demande", "option"}) {
        for (const EntreeCatalogue& e : Base::Catalogue()) {
            const std::string f(e.fichier);
            EXPECT_EQ(Contenu(dir.Fichier(d) + "/" + f), Contenu(dir.Fichier("attendu/" + f)))
                << d << " " << f;
        }
        // The agents of every line, robots included.
        Base base(dir.Fichier(d));
        base.InitListes();
        EXPECT_EQ(base.ListeAgents.Count(), 4u) << d;
    }
}

TEST(SillageImport, OnATerminalItTellsWithoutBeingAsked) {
    RepertoireTemporaire dir;
    // script(1) runs the program on a terminal of its own and copies what it shows.
    const Resultat r = test::Lance("script -qec \"'" SILLAGE_IMPORT "' --dir " + dir.Chemin() +
                                   " " + kDonnees + "/petit.log\" /dev/null");
    ASSERT_EQ(r.code, 0) << r.sortie << r.erreurs;
    EXPECT_NE(
        r.sortie.find("/petit.log : 6 lignes importées, dont 0 de robots (mois : 2003-12, 2004-01, "
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
