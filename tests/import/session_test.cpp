// A program that holds the tables for a long while saves over a store that another program
// saved meanwhile: both programs' imports are kept, each line counted once, or, when an import
// cannot be redone, nothing is written.
#include "import/session.h"

#include "reference.h"
#include "store/agents.h"
#include "store/base.h"
#include "store/options_robots.h"
#include "support/donnees_visiteurs.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::MemesTables;
using test::RepertoireTemporaire;

// The window: its tables, loaded under the lock, and what it did since.
struct Fenetre {
    Base base;
    Session session;
    explicit Fenetre(const std::string& dir) : base(dir) {
        Verrou v = base.Verrouille();
        base.InitListes();
        session.Synchronise(base);
    }
    CompteRenduImport Importe(const std::string& chemin, ModeImport mode = ModeImport::Entier) {
        DemandeImport d;
        d.Mode = mode;
        return Importe(chemin, d);
    }
    CompteRenduImport Importe(const std::string& chemin, const DemandeImport& d) {
        const std::string option(base.ListeOptions[0]);
        const CompteRenduImport r = ImporteJournal(base, chemin, d);
        session.NoteImport({chemin, d, option, r.Plage});
        return r;
    }
    ResultatEnregistrement Enregistre() {
        Verrou v = base.Verrouille();
        return session.Enregistre(base);
    }
};

// Another program: loads, imports, saves, under the lock.
void AutreProgramme(const std::string& dir, const std::string& chemin,
                    ModeImport mode = ModeImport::Entier) {
    Base base(dir);
    Verrou v = base.Verrouille();
    base.InitListes();
    DemandeImport d;
    d.Mode = mode;
    ImporteJournal(base, chemin, d);
    base.SauveListes();
}

Base Reference(const std::vector<std::vector<std::string>>& journaux,
               std::string_view option = Base::kOptionParDefaut) {
    RepertoireTemporaire vide;
    Base b(vide.Chemin());
    b.InitListes();
    b.ListeOptions.Remplace(0, option);
    for (const auto& j : journaux) {
        test::ImporteReference(b, j);
    }
    return b;
}

Base Disque(const std::string& dir) {
    Base b(dir);
    b.InitListes();
    return b;
}

TEST(Session, BothProgramsImportsAreKept) {
    RepertoireTemporaire dir;
    const auto a = test::LignesAleatoires(1, 300);
    const auto b = test::LignesAleatoires(2, 200);
    Ecrit(dir.Fichier("a.log"), test::Journal(a));
    Ecrit(dir.Fichier("b.log"), test::Journal(b));

    Fenetre fenetre(dir.Chemin());
    AutreProgramme(dir.Chemin(), dir.Fichier("b.log")); // a scheduled import, meanwhile
    fenetre.Importe(dir.Fichier("a.log"));
    EXPECT_TRUE(fenetre.session.DisqueChange(fenetre.base));
    EXPECT_EQ(fenetre.Enregistre().issue, IssueEnregistrement::Fusionne);

    const Base attendue = Reference({b, a});
    EXPECT_TRUE(MemesTables(fenetre.base, attendue));
    EXPECT_TRUE(MemesTables(Disque(dir.Chemin()), attendue));
    EXPECT_EQ(fenetre.base.Modifie, 0);
    EXPECT_EQ(Disque(dir.Chemin()).ListeRegistre.Count(), 2u);

    // Saved again with nothing new on either side: a plain save.
    fenetre.Importe(dir.Fichier("a.log"));
    EXPECT_EQ(fenetre.Enregistre().issue, IssueEnregistrement::Enregistre);
    EXPECT_TRUE(MemesTables(Disque(dir.Chemin()), Reference({b, a, a})));
}

TEST(Session, WithNothingImportedTheStoreIsKeptAsItIs) {
    RepertoireTemporaire dir;
    const auto b = test::LignesAleatoires(3, 100);
    Ecrit(dir.Fichier("b.log"), test::Journal(b));
    Fenetre fenetre(dir.Chemin());
    AutreProgramme(dir.Chemin(), dir.Fichier("b.log"));
    const EmpreinteDisque avant = fenetre.base.LitEmpreinte();
    EXPECT_EQ(fenetre.Enregistre().issue, IssueEnregistrement::Relu);
    EXPECT_EQ(fenetre.base.LitEmpreinte(), avant); // nothing written
    EXPECT_TRUE(MemesTables(fenetre.base, Reference({b})));
}

TEST(Session, TheReferrerPrefixChangedInTheWindowWinsOtherwiseTheStoresDoes) {
    RepertoireTemporaire dir;
    const auto a = test::LignesAleatoires(4, 50, "http://site.example/x");
    const auto b = test::LignesAleatoires(5, 50, "http://site.example/y");
    Ecrit(dir.Fichier("a.log"), test::Journal(a));
    Ecrit(dir.Fichier("b.log"), test::Journal(b));
    {
        // The other program changes the prefix, then imports.
        Base autre(dir.Chemin());
        Verrou v = autre.Verrouille();
        autre.InitListes();
        autre.ListeOptions.Remplace(0, "http://site.example/");
        autre.SauveListes();
    }
    Fenetre fenetre(dir.Chemin());
    AutreProgramme(dir.Chemin(), dir.Fichier("b.log"));
    // The window imported with the prefix in force for it, then the user changed it.
    fenetre.Importe(dir.Fichier("a.log"));
    fenetre.base.ListeOptions.Remplace(0, "http://autre.example/");
    ASSERT_EQ(fenetre.Enregistre().issue, IssueEnregistrement::Fusionne);
    Base attendue = Reference({b}, "http://site.example/");
    test::ImporteReference(attendue, a);
    attendue.ListeOptions.Remplace(0, "http://autre.example/");
    EXPECT_TRUE(MemesTables(fenetre.base, attendue));
    EXPECT_EQ(Disque(dir.Chemin()).ListeOptions[0], "http://autre.example/");
}

// The window left robots out of its import, then turned the option on, while another program
// imported counting them: the window's import is redone leaving them out, the agents of both
// are kept, and the option turned on in the window is saved.
TEST(Session, AnImportLeavingRobotsOutIsRedoneSoAndTheOptionOfTheWindowWins) {
    RepertoireTemporaire dir;
    const std::vector<std::string> agents = {test::kAgentFirefox, test::kAgentGoogle,
                                             test::kAgentGpt};
    const auto a = test::AvecAgents(test::LignesAleatoires(6, 200), agents, 6);
    const auto b = test::AvecAgents(test::LignesAleatoires(7, 100), agents, 7);
    Ecrit(dir.Fichier("a.log"), test::Journal(a));
    Ecrit(dir.Fichier("b.log"), test::Journal(b));
    Classificateur classement(test::DonneesTest(), "");
    std::vector<std::string> personnes;
    for (const std::string& l : a) {
        if (l.find(test::kAgentFirefox) != std::string::npos) {
            personnes.push_back(l);
        }
    }

    Fenetre fenetre(dir.Chemin());
    AutreProgramme(dir.Chemin(), dir.Fichier("b.log"));
    DemandeImport d;
    d.SansRobots = true;
    d.Classement = &classement;
    fenetre.Importe(dir.Fichier("a.log"), d);
    FixeSansRobots(fenetre.base.ListeOptionsRobots, true);
    ASSERT_EQ(fenetre.Enregistre().issue, IssueEnregistrement::Fusionne);

    Base attendue = Reference({b});
    test::ImporteReference(attendue, personnes);
    const Base disque = Disque(dir.Chemin());
    EXPECT_TRUE(MemesTables(disque, attendue));
    EXPECT_TRUE(LitSansRobots(disque.ListeOptionsRobots));
    // Each agent's hits: those of both logs.
    std::int64_t acces = 0;
    for (std::size_t i = 0; i < disque.ListeAgents.Count(); ++i) {
        acces += LitAgent(disque.ListeAgents[i]).Acces;
    }
    EXPECT_EQ(disque.ListeAgents.Count(), 3u);
    EXPECT_EQ(acces, 300);
}

TEST(Session, AnImportThatCannotBeRedoneWritesNothing) {
    RepertoireTemporaire dir;
    const auto a = test::LignesAleatoires(6, 80);
    const auto b = test::LignesAleatoires(7, 80);
    Ecrit(dir.Fichier("a.log"), test::Journal(a));
    Ecrit(dir.Fichier("b.log"), test::Journal(b));
    Fenetre fenetre(dir.Chemin());
    fenetre.Importe(dir.Fichier("a.log"));
    AutreProgramme(dir.Chemin(), dir.Fichier("b.log"));
    const Base fenetreAvant = fenetre.base;
    const Base disqueAvant = Disque(dir.Chemin());

    for (const bool supprime : {false, true}) {
        if (supprime) {
            std::remove(dir.Fichier("a.log").c_str());
        } else {
            Ecrit(dir.Fichier("a.log"), test::Journal(test::LignesAleatoires(8, 80))); // rewritten
        }
        const ResultatEnregistrement r = fenetre.Enregistre();
        EXPECT_EQ(r.issue, IssueEnregistrement::Impossible);
        EXPECT_EQ(r.chemin, dir.Fichier("a.log"));
        EXPECT_EQ(r.raison, supprime ? "Impossible d'ouvrir le fichier " + dir.Fichier("a.log") +
                                           " : fichier introuvable"
                                     : "Le journal " + dir.Fichier("a.log") +
                                           " a changé depuis qu'il a été importé.");
        EXPECT_TRUE(MemesTables(fenetre.base, fenetreAvant));
        EXPECT_EQ(fenetre.base.Modifie, 1);
        EXPECT_TRUE(MemesTables(Disque(dir.Chemin()), disqueAvant));
    }
    // Asked to, the window's tables replace the store.
    {
        Verrou v = fenetre.base.Verrouille();
        fenetre.session.Remplace(fenetre.base);
    }
    EXPECT_TRUE(MemesTables(Disque(dir.Chemin()), fenetreAvant));
    EXPECT_FALSE(fenetre.session.DisqueChange(fenetre.base));
}

TEST(Session, NewLinesCountedMeanwhileByTheOtherProgramAreNotCountedTwice) {
    RepertoireTemporaire dir;
    const auto tout = test::LignesAleatoires(9, 400);
    const std::vector<std::string> debut(tout.begin(), tout.begin() + 100);
    const std::vector<std::string> milieu(tout.begin() + 100, tout.begin() + 250);
    const std::vector<std::string> fin(tout.begin() + 250, tout.end());
    auto jusqua = [&](std::size_t n) {
        Ecrit(dir.Fichier("access.log"), test::Journal(std::vector<std::string>(
                                             tout.begin(), tout.begin() + static_cast<long>(n))));
    };
    jusqua(100);
    AutreProgramme(dir.Chemin(), dir.Fichier("access.log"), ModeImport::Nouveau);
    Fenetre fenetre(dir.Chemin());
    jusqua(250);
    AutreProgramme(dir.Chemin(), dir.Fichier("access.log"), ModeImport::Nouveau); // the night
    jusqua(400);
    // The window, loaded before the night, takes "only the new lines": 300 of them for it.
    EXPECT_EQ(fenetre.Importe(dir.Fichier("access.log"), ModeImport::Nouveau).Lignes, 300);
    ASSERT_EQ(fenetre.Enregistre().issue, IssueEnregistrement::Fusionne);
    const Base attendue = Reference({debut, milieu, fin});
    EXPECT_TRUE(MemesTables(fenetre.base, attendue));
    EXPECT_TRUE(MemesTables(Disque(dir.Chemin()), attendue));
}

} // namespace
} // namespace sillage
