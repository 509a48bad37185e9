// Who visits, through the import: the agents table filled by every mode (whole, only what is
// new, a replay, unreadable lines passed over), and robots left out of the fourteen tables
// exactly as if their lines were absent from the log.
#include "import/import.h"
#include "import/lecture/ligne_log.h"
#include "reference.h"
#include "store/agents.h"
#include "store/base.h"
#include "support/donnees_visiteurs.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace sillage {
namespace {

using test::Ecrit;
using test::LigneLog;
using test::MemesTables;
using test::RepertoireTemporaire;
using test::TableDe;

const std::string& kFirefox = test::kAgentFirefox;
const std::string& kChrome = test::kAgentChrome;
const std::string& kGoogle = test::kAgentGoogle;
const std::string& kGpt = test::kAgentGpt;
const std::string& kClaude = test::kAgentClaude;

std::string Agent(const std::string& agent, int acces, int pages, const std::string& date) {
    return EcritAgent({agent, acces, pages, date});
}

std::string Ligne(const std::string& hote, const std::string& date, const std::string& page,
                  const std::string& agent) {
    return LigneLog(hote, date, page, "200", "-", agent);
}

struct Magasin {
    RepertoireTemporaire dir;
    Base base{dir.Chemin()};
    Magasin() { base.InitListes(); }
    CompteRenduImport Importe(const std::string& nom, const std::vector<std::string>& lignes,
                              DemandeImport demande = {}, const std::string& fin = "\n") {
        std::string texte;
        for (std::size_t i = 0; i < lignes.size(); ++i) {
            texte += lignes[i] + (i + 1 < lignes.size() ? "\n" : fin);
        }
        Ecrit(dir.Fichier(nom), texte);
        return ImporteJournal(base, dir.Fichier(nom), demande);
    }
};

// Whole, then only what is new (a last line without its end waiting for the next run), then
// with an unreadable line passed over: each line's agent counted once, the unreadable one not at
// all. A replay of those imports over the store as it was gives the same agents table.
TEST(ImportAgents, EveryModeCountsEachLineOnce) {
    Magasin m;
    const Base vide = m.base;
    std::vector<std::string> lignes = {Ligne("a", "01/Mar/2004:10:00:00", "/", kFirefox),
                                       Ligne("b", "01/Mar/2004:10:00:01", "/i.png", kGoogle),
                                       Ligne("a", "01/Mar/2004:10:00:02", "/f.zip", kFirefox)};
    CompteRenduImport entier = m.Importe("a.log", lignes);
    EXPECT_TRUE(m.base.ListeAgents == TableDe({Agent(kFirefox, 2, 1, "01/Mar/2004:10:00:02"),
                                               Agent(kGoogle, 1, 0, "01/Mar/2004:10:00:01")}));
    EXPECT_EQ(entier.Robots, -1); // no classifier given

    DemandeImport nouveau;
    nouveau.Mode = ModeImport::Nouveau;
    lignes.push_back(Ligne("c", "02/Mar/2004:10:00:00", "/p", kChrome));
    lignes.push_back(Ligne("c", "02/Mar/2004:10:00:01", "/p", kGpt)); // without its line end
    const CompteRenduImport suite = m.Importe("a.log", lignes, nouveau, "");
    EXPECT_EQ(suite.Lignes, 1);
    EXPECT_TRUE(m.base.ListeAgents == TableDe({Agent(kFirefox, 2, 1, "01/Mar/2004:10:00:02"),
                                               Agent(kGoogle, 1, 0, "01/Mar/2004:10:00:01"),
                                               Agent(kChrome, 1, 1, "02/Mar/2004:10:00:00")}));

    DemandeImport illisibles;
    illisibles.IgnoreIllisibles = true;
    const CompteRenduImport autre = m.Importe("b.log",
                                              {Ligne("d", "03/Mar/2004:10:00:00", "/", kGoogle),
                                               Ligne("d", "33/Mar/2004:10:00:00", "/", kClaude),
                                               Ligne("d", "03/Mar/2004:10:00:01", "/", kGoogle)},
                                              illisibles);
    EXPECT_EQ(autre.Illisibles, 1);
    const Table attendue = TableDe({Agent(kFirefox, 2, 1, "01/Mar/2004:10:00:02"),
                                    Agent(kGoogle, 3, 2, "03/Mar/2004:10:00:01"),
                                    Agent(kChrome, 1, 1, "02/Mar/2004:10:00:00")});
    EXPECT_TRUE(m.base.ListeAgents == attendue);

    Base rejouee = vide;
    for (const auto& [nom, fait, demande] :
         {std::tuple{"a.log", entier, DemandeImport{}}, std::tuple{"a.log", suite, nouveau},
          std::tuple{"b.log", autre, illisibles}}) {
        DemandeImport rejeu = demande;
        rejeu.Mode = ModeImport::Plage;
        rejeu.Plage = fait.Plage;
        ImporteJournal(rejouee, m.dir.Fichier(nom), rejeu);
    }
    EXPECT_TRUE(rejouee.ListeAgents == attendue);
    EXPECT_TRUE(MemesTables(rejouee, m.base));
}

// Lines of hosts that persons and robots share, so that leaving robots out changes visits too.
std::vector<std::string> LignesMelees(unsigned graine, int n) {
    return test::AvecAgents(test::LignesAleatoires(graine, n),
                            {kFirefox, kChrome, kGoogle, kGpt, kClaude, "Sonde/2", "-", ""},
                            graine);
}

// With SansRobots the fourteen tables are exactly those of the log without its robots' lines (by
// the line-by-line import), whole or in two runs of what is new; the agents table is the one of
// the whole log, robots included. The user's robots.lst decides both ways over the lists.
TEST(ImportAgents, RobotsLeftOutAsIfAbsentFromTheLog) {
    RepertoireTemporaire donnees;
    Ecrit(donnees.Fichier("robots.lst"), "^Sonde/\n!GPTBot\n");
    Classificateur classement(test::DonneesTest(), donnees.Fichier("robots.lst"));
    for (unsigned graine : {1u, 2u, 3u}) {
        const std::vector<std::string> lignes = LignesMelees(graine, 400);
        // The persons' lines of the first 150 lines, and of the rest.
        std::vector<std::string> personnes[2];
        std::int64_t robots = 0;
        for (std::size_t i = 0; i < lignes.size(); ++i) {
            const RHits hit = DecoupeLigneLog(lignes[i], 0);
            if (classement.Classe(hit.Navigateur).Robot) {
                ++robots;
            } else {
                personnes[i < 150 ? 0 : 1].push_back(lignes[i]);
            }
        }
        ASSERT_GT(robots, 50);
        ASSERT_LT(robots, 300);

        Magasin avec, sans, deuxFois;
        const Base vide = sans.base;
        avec.Importe("l.log", lignes);
        DemandeImport demande;
        demande.SansRobots = true;
        demande.Classement = &classement;
        const CompteRenduImport rendu = sans.Importe("l.log", lignes, demande);
        EXPECT_EQ(rendu.Robots, robots);
        EXPECT_EQ(rendu.Lignes, 400);
        std::vector<std::string> toutes = personnes[0];
        toutes.insert(toutes.end(), personnes[1].begin(), personnes[1].end());
        Base attendue = vide;
        test::ImporteReference(attendue, toutes);
        EXPECT_TRUE(MemesTables(sans.base, attendue)) << graine;
        EXPECT_TRUE(sans.base.ListeAgents == avec.base.ListeAgents);

        // In two runs, as two line-by-line imports of each run's persons.
        demande.Mode = ModeImport::Nouveau;
        deuxFois.Importe("l.log", {lignes.begin(), lignes.begin() + 150}, demande);
        deuxFois.Importe("l.log", lignes, demande);
        Base parTours = vide;
        test::ImporteReference(parTours, personnes[0]);
        test::ImporteReference(parTours, personnes[1]);
        EXPECT_TRUE(MemesTables(deuxFois.base, parTours)) << graine;
        EXPECT_TRUE(deuxFois.base.ListeAgents == avec.base.ListeAgents);
    }
    // GPTBot declared a person, Sonde a robot, by the user's file.
    EXPECT_FALSE(classement.Classe(kGpt).Robot);
    EXPECT_TRUE(classement.Classe("Sonde/2").Robot);
    EXPECT_TRUE(classement.Classe(kClaude).Robot);
}

// Every line a robot's: the fourteen tables stay as they were, the agents table counts them, and
// the log is no empty log (its lines were counted, in the agents table).
TEST(ImportAgents, ALogOfRobotsOnly) {
    Magasin m;
    const Base vide = m.base;
    Classificateur classement(test::DonneesTest(), "");
    DemandeImport demande;
    demande.SansRobots = true;
    demande.Classement = &classement;
    const CompteRenduImport rendu =
        m.Importe("r.log",
                  {Ligne("g", "01/Mar/2004:10:00:00", "/", kGoogle),
                   Ligne("g", "01/Mar/2004:10:00:01", "/robots.txt", kGpt)},
                  demande);
    EXPECT_EQ(rendu.Robots, 2);
    EXPECT_TRUE(MemesTables(m.base, vide));
    EXPECT_EQ(m.base.ListeAgents.Count(), 2u);
    EXPECT_EQ(m.base.ListeRegistre.Count(), 1u);
}

} // namespace
} // namespace sillage
