#include "vues/vue_graphiques.h"

#include "store/base.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sillage {
namespace {

using Genre = CommandeDessin::Genre;

CommandeDessin Rect(int x1, int y1, int x2, int y2, Couleur c) {
    return {Genre::Rectangle, x1, y1, x2, y2, c};
}

bool Contient(const Dessin& d, const CommandeDessin& c) {
    return std::find(d.Commandes.begin(), d.Commandes.end(), c) != d.Commandes.end();
}

// Rectangles whose vertical span meets [y1, y2).
std::vector<CommandeDessin> RectanglesEntre(const Dessin& d, int y1, int y2) {
    std::vector<CommandeDessin> r;
    for (const CommandeDessin& c : d.Commandes) {
        if (c.Type == Genre::Rectangle && c.Teinte != kBlanc && c.Y1 < y2 && c.Y2 > y1) {
            r.push_back(c);
        }
    }
    return r;
}

std::string Annee(int annee, int maximum, int mois, int pages, int hits, int visites) {
    RGraph g;
    g.Annee = annee;
    g.Maximum = maximum;
    g.Pages[mois] = pages;
    g.Hits[mois] = hits;
    g.Visites[mois] = visites;
    return EcritGraph(g);
}

std::string Mois(int maximum, int jour, int valeur) {
    RGraphMois g;
    g.Annee = 2004;
    g.Mois = "Feb";
    g.Maximum = maximum;
    g.Jours[jour] = valeur;
    return EcritGraphMois(g);
}

TEST(Axes, FrameAndGridFollowTheMode) {
    const Dessin annuel = DessineAxes(GenreGraphique::Annee);
    ASSERT_FALSE(annuel.Commandes.empty());
    EXPECT_EQ(annuel.Commandes[0], Rect(0, 0, 495, 289, kBlanc));
    EXPECT_TRUE(Contient(annuel, {Genre::Ligne, 0, 0, 495, 0, kNoir}));
    EXPECT_TRUE(Contient(annuel, {Genre::Ligne, 165, 0, 165, 289, kNoir}));
    EXPECT_TRUE(Contient(annuel, {Genre::Ligne, 330, 0, 330, 289, kNoir}));
    EXPECT_FALSE(annuel.Etiquettes.has_value());

    for (GenreGraphique mode : {GenreGraphique::Aucun, GenreGraphique::Mois}) {
        const Dessin d = DessineAxes(mode);
        EXPECT_TRUE(Contient(d, {Genre::Ligne, 0, 96, 495, 96, kNoir}));
        EXPECT_TRUE(Contient(d, {Genre::Ligne, 0, 192, 495, 192, kNoir}));
        EXPECT_FALSE(Contient(d, {Genre::Ligne, 165, 0, 165, 289, kNoir}));
    }
    EXPECT_EQ(DernierPoint({Genre::Ligne, 495, 289, 495, 0, kNoir}), (std::array<int, 2>{495, 1}));
    EXPECT_EQ(DernierPoint({Genre::Ligne, 0, 96, 495, 96, kNoir}), (std::array<int, 2>{494, 96}));
}

TEST(Annee, MonthAtMaximumEndsAt451AndZeroCountPaintsNothing) {
    Base base;
    base.ListeGraphMois.Ajoute(Annee(2004, 845, 3, 120, 845, 40));
    const Dessin d = DessineAnnee(base, 2004);
    const int y = 24 * 3 + kDecalageAnnee;
    EXPECT_TRUE(Contient(d, Rect(1, y + 3, 451, y + 11, kNoir)));
    EXPECT_TRUE(Contient(d, Rect(1, y + 4, 450, y + 10, kRouge)));
    EXPECT_TRUE(Contient(d, Rect(1, y - 1, 64, y + 7, kNoir))); // trunc(120 / 845 x 450) = 63
    EXPECT_TRUE(Contient(d, Rect(1, y, 63, y + 6, kBleu)));
    EXPECT_TRUE(Contient(d, Rect(1, y - 5, 22, y + 3, kNoir))); // trunc(40 / 845 x 450) = 21
    EXPECT_TRUE(Contient(d, Rect(1, y - 4, 21, y + 2, kVert)));
    EXPECT_EQ(RectanglesEntre(d, y - 5, y + 11).size(), 6u);
    // Every other month has count 0: not even a border.
    EXPECT_TRUE(RectanglesEntre(d, y + 11, 24 * 12 + kDecalageAnnee).empty());
    EXPECT_TRUE(RectanglesEntre(d, -100, y - 5).empty());

    ASSERT_TRUE(d.Etiquettes.has_value());
    EXPECT_EQ(d.Etiquettes->Genre, GenreGraphique::Annee);
    EXPECT_EQ(d.Etiquettes->Echelle, (std::array<std::string, 3>{"281", "563", "845"}));
}

TEST(Annee, JanuaryAndDecemberStayInsideTheSurfaceAndScaleTextsTruncate) {
    Base base;
    RGraph g;
    g.Annee = 2005;
    g.Maximum = 1234;
    g.Pages[0] = g.Visites[0] = g.Pages[11] = 617;
    g.Hits[0] = g.Hits[11] = 1234;
    base.ListeGraphMois.Ajoute(EcritGraph(g));
    const Dessin d = DessineAnnee(base, 2005);
    // January's visits begin on the frame's top line, not above the surface.
    EXPECT_TRUE(Contient(d, Rect(1, 0, 226, 8, kNoir)));
    EXPECT_TRUE(Contient(d, Rect(1, 1, 225, 7, kVert)));
    EXPECT_TRUE(Contient(d, Rect(1, 4, 226, 12, kNoir)));
    // December's hits end above the bottom line.
    EXPECT_TRUE(Contient(d, Rect(1, 24 * 11 + 8, 451, 24 * 11 + 16, kNoir)));
    for (const CommandeDessin& c : d.Commandes) {
        EXPECT_GE(c.Y1, 0);
        EXPECT_LE(c.Y2, kHauteurGraphique);
    }
    EXPECT_EQ(d.Etiquettes->Echelle, (std::array<std::string, 3>{"411", "822", "1234"}));
}

TEST(Annee, RowsOfOneYearShareTheLargerMaximum) {
    Base base;
    base.ListeGraphMois.Ajoute(Annee(2004, 100, 0, 0, 100, 0));
    base.ListeGraphMois.Ajoute(Annee(2003, 9000, 0, 0, 9000, 0));
    base.ListeGraphMois.Ajoute(Annee(2004, 200, 1, 0, 200, 0));
    const Dessin d = DessineAnnee(base, 2004);
    EXPECT_TRUE(Contient(d, Rect(1, 8, 226, 16, kNoir)));           // 100 of 200: 225 pixels
    EXPECT_TRUE(Contient(d, Rect(1, 24 + 8, 451, 24 + 16, kNoir))); // 200 of 200
    EXPECT_EQ(d.Etiquettes->Echelle[2], "200");
}

TEST(Annee, ZeroOrMissingMaximumDrawsTheEmptyFrame) {
    Base base;
    base.ListeGraphMois.Ajoute(Annee(2004, 0, 2, 5, 9, 1)); // hand-edited: counts but no maximum
    for (int annee : {2004, 1999}) {
        const Dessin d = DessineAnnee(base, annee);
        EXPECT_EQ(d.Commandes.size(), DessineAxes(GenreGraphique::Annee).Commandes.size());
        EXPECT_TRUE(d.Valeurs.empty());
        EXPECT_EQ(d.Etiquettes->Echelle, (std::array<std::string, 3>{"0", "0", "0"}));
    }
}

TEST(Annee, ValueTextFollowsTheLongestBarOrHugsTheRightEdge) {
    Base base;
    RGraph g;
    g.Annee = 2004;
    g.Maximum = 900;
    g.Pages = {90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 400};
    g.Hits = {100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 900};
    base.ListeGraphMois.Ajoute(EcritGraph(g));
    const Dessin d = DessineAnnee(base, 2004);
    ASSERT_EQ(d.Valeurs.size(), 2u); // months with no count have no text
    EXPECT_EQ(d.Valeurs[0], (TexteValeur{"90/100", 55, 8, false})); // hits bar ends at x 51
    EXPECT_EQ(d.Valeurs[1], (TexteValeur{"400/900", 492, 24 * 11 + 8, true}));
}

TEST(Legende, EachChartExplainsTheBarsItDrawsInTheirColours) {
    // The yearly chart draws its hits in red, its pages and downloads in blue and its visits in
    // green, and writes pages/hits beside each month.
    EXPECT_EQ(LegendeGraphique(GenreGraphique::Annee),
              (std::vector<EntreeLegende>{{"Nombre total de", std::nullopt},
                                          {"Hits", kRouge},
                                          {"Pages et downloads", kBleu},
                                          {"Visites", kVert},
                                          {"Chiffres : pages/hits", std::nullopt}}));
    // The monthly chart draws one red series: the pages and downloads of each day.
    EXPECT_EQ(LegendeGraphique(GenreGraphique::Mois),
              (std::vector<EntreeLegende>{{"Nombre total de", std::nullopt},
                                          {"Pages et downloads", kRouge},
                                          {"par jour", std::nullopt}}));
    EXPECT_TRUE(LegendeGraphique(GenreGraphique::Aucun).empty());

    // Every colour of a legend is that of bars its chart draws.
    Base base;
    base.ListeGraphMois.Ajoute(Annee(2004, 10, 0, 5, 10, 2));
    base.ListeGraphHeure.Ajoute(Mois(8, 0, 8));
    const auto teintes = [](const Dessin& d) {
        std::vector<Couleur> t;
        for (const CommandeDessin& c : d.Commandes) {
            if (c.Type == Genre::Rectangle && c.Teinte != kBlanc && c.Teinte != kNoir) {
                t.push_back(c.Teinte);
            }
        }
        return t;
    };
    for (const auto& [genre, dessin] : {std::pair{GenreGraphique::Annee, DessineAnnee(base, 2004)},
                                        std::pair{GenreGraphique::Mois, DessineMois(base, 0)}}) {
        const std::vector<Couleur> dessinees = teintes(dessin);
        std::size_t series = 0;
        for (const EntreeLegende& e : LegendeGraphique(genre)) {
            if (e.Teinte) {
                ++series;
                EXPECT_NE(std::find(dessinees.begin(), dessinees.end(), *e.Teinte),
                          dessinees.end());
            }
        }
        std::vector<Couleur> distinctes;
        for (const Couleur& c : dessinees) {
            if (std::find(distinctes.begin(), distinctes.end(), c) == distinctes.end()) {
                distinctes.push_back(c);
            }
        }
        EXPECT_EQ(series, distinctes.size());
    }
}

TEST(Mois, DayAtMaximumRisesToY10AndSmallCountsPaintNothing) {
    Base base;
    base.ListeGraphHeure.Ajoute(Mois(560, 4, 560));
    RGraphMois g = LitGraphMois(Mois(560, 4, 560));
    g.Jours[30] = 2; // trunc(2 / 560 x 280) = 1: no pixel
    g.Jours[0] = 4;  // 2 pixels: a black pixel row, no red
    base.ListeGraphHeure.Ajoute(EcritGraphMois(g));

    const Dessin d = DessineMois(base, 1);
    EXPECT_TRUE(Contient(d, Rect(64, 10, 76, 289, kNoir)));
    EXPECT_TRUE(Contient(d, Rect(65, 11, 75, 289, kRouge)));
    EXPECT_TRUE(Contient(d, Rect(0, 288, 12, 289, kNoir)));
    EXPECT_EQ(d.Commandes.size(), DessineAxes(GenreGraphique::Mois).Commandes.size() + 3);
    ASSERT_TRUE(d.Etiquettes.has_value());
    EXPECT_EQ(d.Etiquettes->Genre, GenreGraphique::Mois);
    EXPECT_EQ(d.Etiquettes->Echelle, (std::array<std::string, 3>{"186", "373", "560"}));

    base.ListeGraphHeure.Ajoute(Mois(0, 3, 7)); // no division by a zero maximum
    const Dessin vide = DessineMois(base, 2);
    EXPECT_EQ(vide.Commandes.size(), DessineAxes(GenreGraphique::Mois).Commandes.size());
    EXPECT_EQ(vide.Etiquettes->Echelle, (std::array<std::string, 3>{"0", "0", "0"}));

    try {
        DessineMois(base, 3);
        FAIL() << "a row past the table must raise the index error";
    } catch (const ErreurSillage& e) {
        EXPECT_STREQ(e.what(), "Indice de liste hors limites (3)");
    }
}

TEST(Etat, ClicksSetTheModeAndPaintFollowsTheLastList) {
    Base base;
    base.ListeGraphMois.Ajoute(Annee(2004, 10, 0, 5, 10, 2));
    base.ListeGraphHeure.Ajoute(Mois(8, 0, 8));
    EtatGraphique etat;

    const Dessin depart = etat.Peint(base, std::nullopt, -1);
    EXPECT_TRUE(Contient(depart, {Genre::Ligne, 0, 96, 495, 96, kNoir}));
    EXPECT_FALSE(depart.Etiquettes.has_value()); // the labels stay as the start-up left them
    EXPECT_TRUE(etat.Peint(base, std::nullopt, 0).Etiquettes.has_value()); // mode 0 paints a month

    etat.CliqueMois(base, 0);
    EXPECT_EQ(etat.ModeGraphique, GenreGraphique::Mois);
    const Dessin annee = etat.CliqueAnnee(base, "2004");
    EXPECT_EQ(etat.ModeGraphique, GenreGraphique::Annee);
    EXPECT_EQ(annee.Etiquettes->Genre, GenreGraphique::Annee);
    EXPECT_TRUE(Contient(annee, {Genre::Ligne, 165, 0, 165, 289, kNoir}));
    // In mode 1 the month list's selection no longer counts.
    EXPECT_EQ(etat.Peint(base, std::string_view("2004"), 0).Etiquettes->Genre,
              GenreGraphique::Annee);
    const Dessin sansAnnee = etat.Peint(base, std::nullopt, 0);
    EXPECT_FALSE(sansAnnee.Etiquettes.has_value());
    EXPECT_TRUE(Contient(sansAnnee, {Genre::Ligne, 330, 0, 330, 289, kNoir}));
}

TEST(Etat, LabelsAreHiddenWhileTheCurrentModeHasNothingChosen) {
    Base base;
    base.ListeGraphMois.Ajoute(Annee(2004, 10, 0, 5, 10, 2));
    EtatGraphique etat;
    const EtiquettesGraphique cachees{GenreGraphique::Aucun, {}};
    EXPECT_EQ(etat.EtiquettesSansChoix(false, false), cachees);
    EXPECT_EQ(etat.EtiquettesSansChoix(false, true), std::nullopt);
    etat.CliqueAnnee(base, "2004");
    // The year list's choice is what counts now, whatever the month list holds.
    EXPECT_EQ(etat.EtiquettesSansChoix(true, false), std::nullopt);
    EXPECT_EQ(etat.EtiquettesSansChoix(false, true), cachees);
}

TEST(Etat, AnUnreadableRowFailsOnClickButPaintsTheFrame) {
    Base base;
    base.ListeGraphHeure.Ajoute("\\1;2004\\2;Feb\\3;x\\4;");
    base.ListeGraphMois.Ajoute("\\1;2004\\2;\\3;1x\\4;");
    EtatGraphique etat;
    EXPECT_THROW(etat.CliqueMois(base, 0), ErreurSillage);
    EXPECT_EQ(etat.ModeGraphique, GenreGraphique::Mois);
    EXPECT_EQ(etat.Peint(base, std::nullopt, 0).Commandes.size(),
              DessineAxes(GenreGraphique::Mois).Commandes.size());
    EXPECT_THROW(etat.CliqueAnnee(base, "2004"), ErreurSillage);
    EXPECT_EQ(etat.ModeGraphique, GenreGraphique::Annee);
    EXPECT_NO_THROW(etat.Peint(base, std::string_view("2004"), 0));
    EXPECT_NO_THROW(etat.Peint(base, std::string_view("année"), 0));
}

} // namespace
} // namespace sillage
