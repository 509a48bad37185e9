// Every view as CSV against the window's own rows: the exports must say what the tabs show.
#include "rapports/vues_rapport.h"

#include "lecture_csv.h"
#include "rapports/csv.h"
#include "store/base.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"
#include "vues/texte_affiche.h"
#include "vues/vue_graphiques.h"
#include "vues/vue_mots_cles.h"
#include "vues/vue_resume.h"

#include <gtest/gtest.h>

#include <set>

namespace sillage {
namespace {

using test::LitCsv;
using test::RangeesCsv;

class VuesDuRapport : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::string> lignes = test::LignesAleatoires(3, 400);
        // Texts in both encodings, a separator in a path, a formula.
        lignes.push_back(
            test::LigneLog("caf\xE9.example", "02/Apr/2004:10:00:00", "/\xC3\xA9t\xC3\xA9;x.html"));
        lignes.push_back(test::LigneLog("10.0.0.9", "03/Apr/2004:11:00:00", "/=1+1", "404",
                                        "http://moteur.example/cherche?q=%C3%A9t%C3%A9+x"));
        test::Ecrit(dossier.Fichier("a.log"), test::Journal(lignes));
        base.InitListes();
        test::ImporteFichier(base, dossier.Fichier("a.log"));
    }

    RangeesCsv Vue(VueRapport vue, const VueVisiteurs* visiteurs = nullptr) {
        SortieTexte sortie;
        EcrivainCsv csv(sortie);
        EcritVue(base, vue, csv, visiteurs);
        return LitCsv(sortie.Texte);
    }

    test::RepertoireTemporaire dossier;
    Base base{dossier.Chemin()};
};

// A cell read back from the CSV: what the window shows, an apostrophe before a formula.
std::string Montre(std::string_view octets) {
    std::string t = TexteAffiche(octets);
    if (t.size() > 1 && (t[0] == '=' || t[0] == '@' || t[0] == '+')) {
        t.insert(0, "'");
    }
    return t;
}

TEST_F(VuesDuRapport, TheFiveListsAreTheTablesRowsAsTheWindowShowsThem) {
    const struct {
        VueRapport vue;
        Liste liste;
    } listes[] = {{VueRapport::Pages, Liste::Pages},
                  {VueRapport::Images, Liste::Images},
                  {VueRapport::IP, Liste::IP},
                  {VueRapport::Referents, Liste::Origines},
                  {VueRapport::Downloads, Liste::Downloads}};
    for (const auto& l : listes) {
        RangeesCsv attendu;
        std::vector<std::string> titres;
        for (const ColonneListe& c : ColonnesListe(l.liste)) {
            titres.emplace_back(c.titre);
        }
        attendu.push_back(titres);
        const Table& t = TableListe(base, l.liste);
        for (std::uint32_t i : LignesListe(t)) {
            std::vector<std::string> r;
            for (const ColonneListe& c : ColonnesListe(l.liste)) {
                r.push_back(Montre(TexteCellule(t, i, c)));
            }
            attendu.push_back(r);
        }
        EXPECT_GT(attendu.size(), 1u);
        EXPECT_EQ(Vue(l.vue), attendu) << DescriptionDe(l.vue).Nom;
    }
    // A filtered list exports the rows its filter lets through.
    SortieTexte sortie;
    EcrivainCsv csv(sortie);
    EcritListe(base.ListePage, LignesListe(base.ListePage, "été"), Liste::Pages, csv);
    const RangeesCsv filtree = LitCsv(sortie.Texte);
    ASSERT_EQ(filtree.size(), 2u);
    EXPECT_EQ(filtree[1][0], "/été;x.html");
}

TEST_F(VuesDuRapport, SummaryKeywordsAndErrorStatusesAreTheirViews) {
    RangeesCsv resume = {{"Liste", "Nombre", "Total des acces", "Moyenne journaliere"}};
    const std::array<LigneResume, 5> lignes = LignesResume(base);
    for (std::size_t r = 0; r < 5; ++r) {
        resume.push_back({std::string(kTitresLignesResume[r]), lignes[r].Nombre, lignes[r].Total,
                          lignes[r].Moyenne});
    }
    EXPECT_EQ(Vue(VueRapport::Resume), resume);

    RangeesCsv mots = {{"Mots-clés", "Accès"}};
    for (const LigneMotsCles& l : MotsClesParAcces(base)) {
        mots.push_back({l.Mots, std::to_string(l.Acces)});
    }
    EXPECT_EQ(Vue(VueRapport::MotsCles), mots);
    EXPECT_EQ(mots[1].size(), 2u);

    RangeesCsv retours = {{"Statut", "Nom", "Page", "Acces", "Date"}};
    for (const StatutRetour& s : StatutsRetours()) {
        for (const LigneRetour& l : CalculeRetours(base, s.Legende).Lignes) {
            retours.push_back(
                {std::string(s.Legende), std::string(s.Nom), Montre(l.Page), l.Acces, l.Date});
        }
    }
    EXPECT_GT(retours.size(), 2u);
    EXPECT_EQ(Vue(VueRapport::Retours), retours);
    // 304 has no button in the tab, and no row here.
    for (const auto& r : retours) {
        EXPECT_NE(r[0], "304");
    }
}

// The figures are those the charts draw: each month's "pages/hits" value text, each day's bar.
TEST_F(VuesDuRapport, CalendarFiguresAreWhatTheChartsDraw) {
    const RangeesCsv mois = Vue(VueRapport::Mois);
    ASSERT_EQ(mois.size(), 1u + 12 * base.ListeGraphMois.Count());
    EXPECT_EQ(mois[0],
              std::vector<std::string>({"Année", "Mois", "Hits", "Pages et downloads", "Visites"}));
    const Dessin annee = DessineAnnee(base, 2004);
    std::size_t valeur = 0;
    for (std::size_t r = 1; r < mois.size(); ++r) {
        if (mois[r][2] != "0" || mois[r][3] != "0") {
            ASSERT_LT(valeur, annee.Valeurs.size());
            EXPECT_EQ(annee.Valeurs[valeur++].Texte, mois[r][3] + "/" + mois[r][2]);
        }
    }
    EXPECT_EQ(valeur, annee.Valeurs.size());
    EXPECT_EQ(mois[3][1], "Mars");
    EXPECT_EQ(mois[4][1], "Avril");

    const RangeesCsv annees = Vue(VueRapport::Annees);
    ASSERT_EQ(annees.size(), 2u);
    std::int64_t hits = 0;
    for (std::size_t r = 1; r < mois.size(); ++r) {
        hits += std::stoll(mois[r][2]);
    }
    EXPECT_EQ(annees[1][0], "2004");
    EXPECT_EQ(annees[1][1], std::to_string(hits));
    // Every hit comes from a host: the year's hits are the hosts' hits of the summary.
    EXPECT_EQ(annees[1][1], LignesResume(base)[1].Total);

    // March 2004 has 31 days, April 30; March's days add up to its page hits of the year.
    const RangeesCsv jours = Vue(VueRapport::Jours);
    EXPECT_EQ(jours.size(), 1u + 31 + 30);
    EXPECT_EQ(jours[1][1], "Mars");
    EXPECT_EQ(jours[1][2], "1");
    std::int64_t pagesMars = 0;
    for (std::size_t r = 1; r <= 31; ++r) {
        pagesMars += std::stoll(jours[r][3]);
    }
    EXPECT_EQ(std::to_string(pagesMars), mois[3][3]);
    const RangeesCsv heures = Vue(VueRapport::Heures);
    EXPECT_EQ(heures.size(), 1u + 24 * 2);
    EXPECT_EQ(heures[0][2], "Heure");
    EXPECT_EQ(heures[24][2], "23");
}

// The visitors' lists are those of the tab, cell for cell; without them the lists are empty.
TEST_F(VuesDuRapport, VisitorsAreTheTabsLists) {
    VueVisiteurs v;
    v.Navigateurs = {{{"Firefox", "75", "75,0 %"}}, {{"Chrome", "25", "25,0 %"}}};
    v.Pays = {{{"France", "3", "12", "100,0 %"}}};
    EXPECT_EQ(Vue(VueRapport::Navigateurs, &v), RangeesCsv({{"Navigateur", "Accès", "Part"},
                                                            {"Firefox", "75", "75,0 %"},
                                                            {"Chrome", "25", "25,0 %"}}));
    EXPECT_EQ(Vue(VueRapport::Pays, &v),
              RangeesCsv({{"Pays", "Hôtes", "Accès", "Part"}, {"France", "3", "12", "100,0 %"}}));
    EXPECT_EQ(Vue(VueRapport::Robots), RangeesCsv({{"Robot", "Accès", "Pages", "Dernier"}}));
}

TEST(NomsDesVues, EveryViewHasItsNameOnce) {
    std::set<std::string_view> noms;
    for (const DescriptionVue& d : VuesRapport()) {
        EXPECT_TRUE(noms.insert(d.Nom).second) << d.Nom;
        EXPECT_EQ(VueNommee(d.Nom), d.Vue);
        EXPECT_EQ(&DescriptionDe(d.Vue), &d);
    }
    EXPECT_EQ(noms.size(), 16u);
    EXPECT_FALSE(VueNommee("IP"));
    EXPECT_FALSE(VueNommee(""));
}

} // namespace
} // namespace sillage
