// The periods of a store: after any imports, the tables of each year and each month are exactly
// those that importing only that period's lines (in the same order, run by run) into an empty
// store gives; they are saved, recovered and reset with the store, and a damaged period leaves
// the whole history usable.
#include "import/import.h"
#include "reference.h"
#include "store/base.h"
#include "store/periodes.h"
#include "support/donnees_visiteurs.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

namespace sillage {
namespace {

using test::Ecrit;
using test::MemesTables;
using test::RepertoireTemporaire;

constexpr const char* kMois[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// n lines over three years, crossing month and year ends at night (so that visits run across
// them), some stepping back across a month's end; a few hosts, pages, referrers and errors.
std::vector<std::string> LignesSurDesAnnees(unsigned graine, int n) {
    std::mt19937 alea(graine);
    std::vector<std::string> lignes;
    int annee = 2003, mois = 11, jour = 28, heure = 20;
    for (int i = 0; i < n; ++i) {
        heure += static_cast<int>(alea() % 14);
        if (heure > 23) {
            heure = 0;
            if (++jour > 28) {
                jour = 1;
                if (++mois > 12) {
                    mois = 1;
                    ++annee;
                }
            }
        }
        int a = annee, m = mois, j = jour;
        if (alea() % 17 == 0 && j == 1) { // a line late by a day: the month before
            j = 28;
            if (--m < 1) {
                m = 12;
                --a;
            }
        }
        char date[80];
        std::snprintf(date, sizeof date, "%02d/%s/%04d:%02d:%02u:%02u", j, kMois[m - 1], a, heure,
                      static_cast<unsigned>(alea() % 60), static_cast<unsigned>(alea() % 60));
        // Names that differ by their letter case only: each period keeps the case of its own
        // first hit.
        const std::string pages[] = {"/", "/a.html", "/b.gif", "/c.zip", "/A.HTML", "/d.php?x=1"};
        const std::string hotes[] = {"10.0.0.", "poste-", "Poste-", "POSTE-"};
        const std::string statuts[] = {"200", "200", "404", "304"};
        const std::string origine =
            alea() % 3 == 0 ? "http://moteur.example/cherche?q=mot" + std::to_string(alea() % 4)
                            : "-";
        lignes.push_back(test::LigneLog(hotes[alea() % 4] + std::to_string(alea() % 9), date,
                                        pages[alea() % 6], statuts[alea() % 4], origine));
    }
    return lignes;
}

// The period names of a line, as its date says: its year's and its month's.
std::pair<std::string, std::string> PeriodesDe(const std::string& ligne) {
    const std::size_t crochet = ligne.find('[');
    const int jourMois = std::stoi(ligne.substr(crochet + 8, 4));
    int mois = 0;
    for (int m = 0; m < 12; ++m) {
        if (ligne.compare(crochet + 4, 3, kMois[m]) == 0) {
            mois = m + 1;
        }
    }
    return {NomPeriodeAnnee(jourMois), NomPeriodeMois(jourMois, mois)};
}

// What each period holds, built line by line: each run's lines of the period imported as one
// import into an empty store of its own.
struct Attendu {
    RepertoireTemporaire dir;
    Base tout{dir.Fichier("tout")};
    std::map<std::string, Base> periodes;

    Attendu() {
        std::filesystem::create_directory(dir.Fichier("tout"));
        tout.InitListes();
    }
    void Run(const std::vector<std::string>& lignes) {
        if (lignes.empty()) {
            return;
        }
        test::ImporteReference(tout, lignes);
        std::map<std::string, std::vector<std::string>> parPeriode;
        for (const std::string& l : lignes) {
            const auto [annee, mois] = PeriodesDe(l);
            parPeriode[annee].push_back(l);
            parPeriode[mois].push_back(l);
        }
        for (const auto& [nom, lot] : parPeriode) {
            auto p = periodes.find(nom);
            if (p == periodes.end()) {
                const std::string d = dir.Fichier(nom);
                std::filesystem::create_directory(d);
                p = periodes.emplace(nom, Base(d)).first;
                p->second.InitListes();
            }
            test::ImporteReference(p->second, lot);
        }
    }
    // Every period of obtenue, read back from the disk, equals the one expected, and no other.
    void Verifie(const std::string& dossier) const {
        Base relue(dossier);
        Verrou v = relue.Verrouille();
        relue.InitListes();
        EXPECT_TRUE(MemesTables(relue, tout));
        std::vector<std::string> noms;
        for (const auto& [nom, b] : periodes) {
            noms.push_back(nom);
        }
        EXPECT_EQ(relue.Periodes(), noms);
        for (const auto& [nom, attendue] : periodes) {
            EXPECT_TRUE(MemesTables(relue.Periode(nom), attendue)) << nom;
        }
    }
};

TEST(Periodes, EachYearAndMonthHoldsWhatImportingItsLinesAloneGives) {
    Attendu attendu;
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    Verrou v = base.Verrouille();
    base.InitListes();
    const std::vector<std::string> lignes = LignesSurDesAnnees(5, 3000);
    // Three logs: plain with CR LF, with a leading field, compressed.
    std::string crlf, prefixe;
    for (std::size_t i = 0; i < 1000; ++i) {
        crlf += lignes[i] + "\r\n";
    }
    for (std::size_t i = 1000; i < 2000; ++i) {
        prefixe += "site.example " + lignes[i] + "\n";
    }
    Ecrit(dir.Fichier("a.log"), crlf);
    Ecrit(dir.Fichier("b.log"), prefixe);
    Ecrit(dir.Fichier("c.log.gz"),
          test::Gzip(test::Journal({lignes.begin() + 2000, lignes.end()})));
    for (const auto& [f, de, a] : {std::tuple{"a.log", 0, 1000}, std::tuple{"b.log", 1000, 2000},
                                   std::tuple{"c.log.gz", 2000, 3000}}) {
        DemandeImport entier;
        ImporteJournal(base, dir.Fichier(f), entier);
        std::vector<std::string> lot(lignes.begin() + de, lignes.begin() + a);
        if (std::string(f) == "b.log") {
            for (std::string& l : lot) {
                l = "site.example " + l;
            }
        }
        attendu.Run(lot);
    }
    ASSERT_GE(base.Periodes().size(), 2u * 13u);
    base.SauveListes();
    v.Libere();
    attendu.Verifie(dir.Chemin());
}

TEST(Periodes, IncrementalRunsOverRotationFeedThePeriodsOfWhatEachRunCounted) {
    Attendu attendu;
    RepertoireTemporaire dir;
    const std::vector<std::string> lignes = LignesSurDesAnnees(8, 1500);
    // Night after night the log grows; then it is rotated and a new one starts.
    const std::vector<std::pair<std::size_t, std::size_t>> nuits = {
        {0, 400}, {0, 700}, {0, 900}, {900, 1200}, {900, 1500}};
    std::size_t compte = 0;
    for (const auto& [de, a] : nuits) {
        if (de > 0) {
            std::filesystem::rename(dir.Fichier("access.log"), dir.Fichier("access.log.1"));
        }
        Ecrit(dir.Fichier("access.log"), test::Journal({lignes.begin() + de, lignes.begin() + a}));
        Base base(dir.Chemin());
        Verrou v = base.Verrouille();
        base.InitListes();
        DemandeImport nouveau;
        nouveau.Mode = ModeImport::Nouveau;
        for (const char* f : {"access.log.1", "access.log"}) {
            if (std::filesystem::exists(dir.Fichier(f))) {
                const CompteRenduImport r = ImporteJournal(base, dir.Fichier(f), nouveau);
                attendu.Run({lignes.begin() + static_cast<long>(compte),
                             lignes.begin() + static_cast<long>(compte + r.Lignes)});
                compte += static_cast<std::size_t>(r.Lignes);
            }
        }
        base.SauveListes();
    }
    EXPECT_EQ(compte, lignes.size());
    attendu.Verifie(dir.Chemin());
}

TEST(Periodes, YearsFarAwayAndUnreadableLinesPassedOver) {
    Attendu attendu;
    RepertoireTemporaire dir;
    const std::vector<std::string> lignes = {
        test::LigneLog("h1", "31/Dec/1969:23:59:59", "/a"),
        test::LigneLog("h1", "01/Jan/1970:00:00:01", "/b"),
        "ligne illisible",
        test::LigneLog("h2", "15/Jun/9999:12:00:00", "/c"),
        test::LigneLog("h2", "15/Jun/0044:12:00:00", "/d"),
    };
    Ecrit(dir.Fichier("j.log"), test::Journal(lignes));
    Base base(dir.Chemin());
    Verrou v = base.Verrouille();
    base.InitListes();
    DemandeImport demande;
    demande.IgnoreIllisibles = true;
    const CompteRenduImport r = ImporteJournal(base, dir.Fichier("j.log"), demande);
    EXPECT_EQ(r.Illisibles, 1);
    // The report names the years and months the lines fell in.
    EXPECT_EQ(r.Periodes, (std::vector<std::string>{"0044", "0044-06", "1969", "1969-12", "1970",
                                                    "1970-01", "9999", "9999-06"}));
    attendu.Run({lignes[0], lignes[1], lignes[3], lignes[4]});
    base.SauveListes();
    v.Libere();
    attendu.Verifie(dir.Chemin());
    EXPECT_TRUE(std::filesystem::is_directory(dir.Fichier("periodes/0044-06")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Fichier("periodes/1969-12")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Fichier("periodes/9999")));
}

// Robots left out: each period is what importing only its lines with the same request gives, its
// agents (robots included) as well, and they come back from the disk.
TEST(Periodes, RobotsLeftOutOfEachPeriodAndItsAgentsCounted) {
    // Left out, the periods are counted with the store's lines; kept, on the periods' thread, by
    // the store's records of the names and agents.
    for (const bool sansRobots : {true, false}) {
        SCOPED_TRACE(sansRobots);
        RepertoireTemporaire dir;
        Classificateur classement(test::DonneesTest(), dir.Fichier("robots.lst"));
        const std::vector<std::string> lignes =
            test::AvecAgents(LignesSurDesAnnees(8, 600),
                             {test::kAgentFirefox, test::kAgentGoogle, test::kAgentGpt, "-"}, 8);
        Ecrit(dir.Fichier("j.log"), test::Journal(lignes));
        std::filesystem::create_directory(dir.Fichier("store"));
        Base base(dir.Fichier("store"));
        Verrou v = base.Verrouille();
        base.InitListes();
        DemandeImport demande;
        demande.SansRobots = sansRobots;
        demande.Classement = &classement;
        const CompteRenduImport r = ImporteJournal(base, dir.Fichier("j.log"), demande);
        ASSERT_GT(r.Robots, 0);
        base.SauveListes();
        v.Libere();

        std::map<std::string, std::vector<std::string>> parPeriode;
        for (const std::string& l : lignes) {
            const auto [annee, mois] = PeriodesDe(l);
            parPeriode[annee].push_back(l);
            parPeriode[mois].push_back(l);
        }
        Base relue(dir.Fichier("store"));
        Verrou w = relue.Verrouille();
        relue.InitListes();
        ASSERT_EQ(relue.Periodes().size(), parPeriode.size());
        for (const auto& [nom, lot] : parPeriode) {
            const std::string d = dir.Fichier("seule-" + nom);
            std::filesystem::create_directory(d);
            Ecrit(d + "/j.log", test::Journal(lot));
            Base seule(d);
            seule.InitListes();
            ImporteJournal(seule, d + "/j.log", demande);
            const Base& periode = relue.Periode(nom);
            EXPECT_TRUE(MemesTables(periode, seule)) << nom;
            EXPECT_TRUE(periode.ListeAgents == seule.ListeAgents) << nom;
            EXPECT_FALSE(periode.ListeAgents.Vide()) << nom;
        }
    }
}

// A period's stored row that does not read, met while the periods are counted apart from the
// store: the import fails as a whole, the store and its periods as they were.
TEST(Periodes, ARowOfAPeriodThatDoesNotReadStopsTheWholeImport) {
    RepertoireTemporaire dir;
    const std::vector<std::string> lignes = LignesSurDesAnnees(11, 2000);
    Ecrit(dir.Fichier("a.log"), test::Journal({lignes.begin(), lignes.begin() + 1000}));
    Ecrit(dir.Fichier("b.log"), test::Journal({lignes.begin() + 1000, lignes.end()}));
    std::filesystem::create_directory(dir.Fichier("store"));
    {
        Base base(dir.Fichier("store"));
        Verrou v = base.Verrouille();
        base.InitListes();
        ImporteJournal(base, dir.Fichier("a.log"), DemandeImport{});
        base.SauveListes();
    }
    // Every host row of the last month the first log reached, its count made unreadable.
    const std::string mois = PeriodesDe(lignes[999]).second;
    const std::string nom = dir.Fichier("store/" + DossierPeriode(mois) + "nom.lst");
    std::string texte = test::Contenu(nom);
    for (std::size_t i = texte.find("\\3;"); i != std::string::npos;
         i = texte.find("\\3;", i + 4)) {
        texte.replace(i + 3, 1, "x");
    }
    Ecrit(nom, texte);

    Base base(dir.Fichier("store"));
    Verrou v = base.Verrouille();
    base.InitListes(true); // the change accepted, so that the import reads the period
    const Base avant = base;
    EXPECT_THROW(ImporteJournal(base, dir.Fichier("b.log"), DemandeImport{}), ErreurSillage);
    EXPECT_TRUE(MemesTables(base, avant));
    EXPECT_EQ(base.Modifie, 0);
    EXPECT_EQ(base.Chargees().count(mois), 0u); // the periods it read, let go
}

TEST(Periodes, AResetRemovesThemAndADamagedOneLeavesTheHistoryUsable) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("j.log"), test::Journal(LignesSurDesAnnees(3, 300)));
    {
        Base base(dir.Chemin());
        Verrou v = base.Verrouille();
        base.InitListes();
        ImporteJournal(base, dir.Fichier("j.log"), DemandeImport());
        base.SauveListes();
    }
    Base base(dir.Chemin());
    Verrou v = base.Verrouille();
    base.InitListes();
    const std::vector<std::string> periodes = base.Periodes();
    ASSERT_GE(periodes.size(), 3u);

    // Cut short, holding a stray file, missing: the history loads; that period does not.
    const std::string annee = periodes[0];
    const std::string mois = periodes[1];
    const std::string autre = periodes[2];
    const std::string nom = dir.Fichier(DossierPeriode(annee) + "nom.lst");
    Ecrit(nom, test::Contenu(nom).substr(0, 10));
    Ecrit(dir.Fichier(DossierPeriode(mois) + "notes.txt"), "à moi");
    std::filesystem::remove_all(dir.Fichier(DossierPeriode(autre)));
    Base relue(dir.Chemin());
    relue.InitListes();
    EXPECT_EQ(relue.Periodes(), periodes);
    EXPECT_THROW(relue.Periode(annee), ErreurManifeste);
    EXPECT_NE(test::MessageDe([&] { relue.Periode(mois); }).find("notes.txt"), std::string::npos);
    EXPECT_THROW(relue.Periode(autre), ErreurManifeste);
    // An import that would write over the damaged period stops, changing nothing.
    const std::string avant = test::FichiersDuStore(dir.Chemin());
    EXPECT_THROW(ImporteJournal(relue, dir.Fichier("j.log"), DemandeImport()), ErreurSillage);
    EXPECT_EQ(relue.Modifie, 0);
    // Accepted as it is, the cut period is read as it reads.
    Base acceptee(dir.Chemin());
    acceptee.InitListes();
    EXPECT_NO_THROW(acceptee.Periode(annee, true));
    Base apres(dir.Chemin());
    apres.InitListes();
    EXPECT_NO_THROW(apres.Periode(annee));

    // A reset removes every period with the store.
    std::filesystem::remove(dir.Fichier(DossierPeriode(mois) + "notes.txt"));
    base.InitListes(true);
    base.ReinitialiseListes();
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("periodes")));
    EXPECT_TRUE(base.Periodes().empty());
    (void)avant;
}

// A period read ahead is the period read when asked for: the same tables when it is whole, the
// same refusal when its folder holds a stray file, a file differs from the manifest or a file is a
// link; a period asked for ahead and then never is let go with the store.
TEST(Periodes, APeriodReadAheadIsThePeriodReadWhenAskedFor) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("j.log"), test::Journal(LignesSurDesAnnees(5, 300)));
    {
        Base base(dir.Chemin());
        Verrou v = base.Verrouille();
        base.InitListes();
        ImporteJournal(base, dir.Fichier("j.log"), DemandeImport());
        base.SauveListes();
    }
    Base reference(dir.Chemin());
    reference.InitListes();
    const std::vector<std::string> periodes = reference.Periodes();
    ASSERT_GE(periodes.size(), 4u);
    // What Periode gives (the tables' files, or the message), read ahead or not.
    const auto lit = [&](const std::string& nom, bool avant) {
        Base base(dir.Chemin());
        base.InitListes();
        if (avant) {
            base.PrechargePeriodes({nom, "2999", "pas une période"});
        }
        try {
            const Base& p = base.Periode(nom);
            std::string fichiers;
            for (const EntreeCatalogue& e : Base::Catalogue()) {
                fichiers += std::string((p.*e.table).Fichier()) + "|";
            }
            return fichiers + std::string(p.ListeAgents.Fichier());
        } catch (const ErreurSillage& e) {
            return std::string("erreur : ") + e.what();
        }
    };
    for (const std::string& nom : periodes) {
        EXPECT_EQ(lit(nom, true), lit(nom, false)) << nom;
        EXPECT_EQ(lit(nom, true).rfind("erreur", 0), std::string::npos) << nom;
    }
    const std::string page = dir.Fichier(DossierPeriode(periodes[0]) + "page.lst");
    Ecrit(page, test::Contenu(page) + "ajout à la main\r\n");
    Ecrit(dir.Fichier(DossierPeriode(periodes[1]) + "notes.txt"), "à moi");
    const std::string lien = dir.Fichier(DossierPeriode(periodes[2]) + "lanp.lst");
    std::filesystem::rename(lien, lien + ".vrai");
    std::filesystem::create_symlink(lien + ".vrai", lien);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string avec = lit(periodes[k], true);
        EXPECT_EQ(avec.rfind("erreur", 0), 0u) << periodes[k];
        EXPECT_EQ(avec, lit(periodes[k], false)) << periodes[k];
    }
    EXPECT_EQ(lit(periodes[3], true), lit(periodes[3], false));
}

TEST(Periodes, AnImportThatStopsLeavesThePeriodsAsItFoundThem) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("janvier.log"),
          test::Journal({test::LigneLog("h1", "10/Jan/2004:10:00:00", "/a")}));
    const std::vector<std::string> fevrier = {test::LigneLog("h1", "11/Jan/2004:10:00:00", "/b"),
                                              test::LigneLog("h2", "02/Feb/2004:10:00:00", "/c")};
    Ecrit(dir.Fichier("arrete.log"), test::Journal(fevrier) + "ligne illisible\n");
    Ecrit(dir.Fichier("fevrier.log"), test::Journal(fevrier));
    Base base(dir.Chemin());
    Verrou v = base.Verrouille();
    base.InitListes();
    ImporteJournal(base, dir.Fichier("janvier.log"), DemandeImport());
    base.SauveListes();
    base.InitListes();
    const std::vector<std::string> avant = {"2004", "2004-01"};
    ASSERT_EQ(base.Periodes(), avant);

    // Stopped by its last line: no period read, none made, nothing to save in a new folder.
    EXPECT_THROW(ImporteJournal(base, dir.Fichier("arrete.log"), DemandeImport()), ErreurLigne);
    EXPECT_TRUE(base.Chargees().empty());
    EXPECT_EQ(base.Periodes(), avant);
    base.SauveListes();
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("periodes/2004-02")));

    // Imported, the periods it changed hold what is to be saved, and stay until saved; then
    // their memory may go, and they read back as they were.
    ImporteJournal(base, dir.Fichier("fevrier.log"), DemandeImport());
    EXPECT_EQ(base.Chargees().size(), 3u);
    EXPECT_FALSE(base.LaissePeriode("2004-02"));
    base.SauveListes();
    const Base copie = base.Periode("2004-02");
    EXPECT_TRUE(base.LaissePeriode("2004-02"));
    EXPECT_FALSE(base.LaissePeriode("2004-02"));
    EXPECT_EQ(base.Chargees().count("2004-02"), 0u);
    EXPECT_TRUE(MemesTables(base.Periode("2004-02"), copie));
    EXPECT_EQ(base.Periodes(), (std::vector<std::string>{"2004", "2004-01", "2004-02"}));
}

TEST(Periodes, AcceptingADamagedPeriodKeepsWhatAnotherProgramSavedMeanwhile) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("j.log"), test::Journal(LignesSurDesAnnees(4, 200)));
    Ecrit(dir.Fichier("mai.log"),
          test::Journal({test::LigneLog("h9", "15/May/2010:10:00:00", "/mai")}));
    {
        Base base(dir.Chemin());
        Verrou v = base.Verrouille();
        base.InitListes();
        ImporteJournal(base, dir.Fichier("j.log"), DemandeImport());
        base.SauveListes();
    }
    // A program that loaded the store long ago (the window)...
    Base fenetre(dir.Chemin());
    {
        Verrou v = fenetre.Verrouille();
        fenetre.InitListes();
    }
    // ... while another imports and saves, then a period's file is cut short.
    {
        Base autre(dir.Chemin());
        Verrou v = autre.Verrouille();
        autre.InitListes();
        ImporteJournal(autre, dir.Fichier("mai.log"), DemandeImport());
        autre.SauveListes();
    }
    const std::string periode = fenetre.Periodes()[1];
    const std::string nom = dir.Fichier(DossierPeriode(periode) + "nom.lst");
    Ecrit(nom, test::Contenu(nom).substr(0, 10));

    // The first program accepts the period as it is: the manifest records that, and the rest of
    // the store as the other program saved it.
    {
        Verrou v = fenetre.Verrouille();
        EXPECT_THROW(fenetre.Periode(periode), ErreurManifeste);
        EXPECT_NO_THROW(fenetre.Periode(periode, true));
    }
    Base apres(dir.Chemin());
    Verrou v = apres.Verrouille();
    EXPECT_NO_THROW(apres.InitListes());
    EXPECT_NO_THROW(apres.Periode(periode));
    EXPECT_NO_THROW(apres.Periode("2010-05"));
    EXPECT_EQ(apres.ListeNom.Count(), fenetre.ListeNom.Count() + 1);
}

} // namespace
} // namespace sillage
