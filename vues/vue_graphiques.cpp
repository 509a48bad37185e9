#include "vues/vue_graphiques.h"

#include "store/base.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <cmath>

namespace sillage {

namespace {

constexpr int W = kLargeurGraphique;
constexpr int H = kHauteurGraphique;
constexpr int kEchelleAnnee = 450; // pixels that stand for the year's maximum
constexpr int kEchelleMois = 280;  // pixels that stand for the month's maximum
// A bar far longer than the surface is clipped anyway; this keeps coordinates in range.
constexpr double kLongueurLimite = 1'000'000;
// A generous width per character of the value text's 9-pixel font.
constexpr int kLargeurCaractere = 6;

void Rectangle(Dessin& d, int x1, int y1, int x2, int y2, Couleur c) {
    if (x2 > x1 && y2 > y1) {
        d.Commandes.push_back({CommandeDessin::Genre::Rectangle, x1, y1, x2, y2, c});
    }
}

void Ligne(Dessin& d, int x1, int y1, int x2, int y2) {
    d.Commandes.push_back({CommandeDessin::Genre::Ligne, x1, y1, x2, y2, kNoir});
}

// trunc((v / m) x echelle) in double precision; m > 0.
int Longueur(std::int32_t v, std::int32_t m, int echelle) {
    const double l = std::trunc(static_cast<double>(v) / static_cast<double>(m) * echelle);
    return static_cast<int>(std::clamp(l, -kLongueurLimite, kLongueurLimite));
}

std::array<std::string, 3> Echelle(std::int32_t m) {
    const std::int64_t m64 = m;
    return {std::to_string(m64 / 3), std::to_string(2 * m64 / 3), std::to_string(m64)};
}

} // namespace

std::array<int, 2> DernierPoint(const CommandeDessin& ligne) {
    const auto pas = [](int de, int vers) { return vers > de ? -1 : (vers < de ? 1 : 0); };
    return {ligne.X2 + pas(ligne.X1, ligne.X2), ligne.Y2 + pas(ligne.Y1, ligne.Y2)};
}

Dessin DessineAxes(GenreGraphique modeGraphique) {
    Dessin d;
    Rectangle(d, 0, 0, W, H, kBlanc);
    Ligne(d, 0, 0, W, 0);
    Ligne(d, 0, 0, 0, H);
    Ligne(d, W, H, W, 0);
    Ligne(d, W, H, 0, H);
    if (modeGraphique == GenreGraphique::Annee) {
        Ligne(d, W / 3, 0, W / 3, H);
        Ligne(d, 2 * W / 3, 0, 2 * W / 3, H);
    } else {
        Ligne(d, 0, H / 3, W, H / 3);
        Ligne(d, 0, 2 * H / 3, W, 2 * H / 3);
    }
    return d;
}

Dessin DessineAnnee(const Base& base, int annee) {
    Dessin d = DessineAxes(GenreGraphique::Annee);
    const Table& t = base.ListeGraphMois;
    std::vector<RGraph> lignes;
    std::int32_t m = 0;
    for (std::size_t i = 0; i < t.Count(); ++i) {
        std::int32_t a = 0;
        if (EssaieEntier(ExtraitChamp(t[i], 1), a) && a == annee) {
            lignes.push_back(LitGraph(t[i]));
            m = std::max(m, lignes.back().Maximum);
        }
    }
    if (m > 0) {
        std::array<int, 12> fins{};
        fins.fill(1);
        for (const RGraph& g : lignes) {
            for (int i = 0; i < 12; ++i) {
                const int y = 24 * i + kDecalageAnnee;
                const int lh = Longueur(g.Hits[i], m, kEchelleAnnee);
                const int lp = Longueur(g.Pages[i], m, kEchelleAnnee);
                const int lv = Longueur(g.Visites[i], m, kEchelleAnnee);
                Rectangle(d, 1, y + 3, lh + 1, y + 11, kNoir);
                Rectangle(d, 1, y + 4, lh, y + 10, kRouge);
                Rectangle(d, 1, y - 1, lp + 1, y + 7, kNoir);
                Rectangle(d, 1, y, lp, y + 6, kBleu);
                Rectangle(d, 1, y - 5, lv + 1, y + 3, kNoir);
                Rectangle(d, 1, y - 4, lv, y + 2, kVert);
                fins[i] = std::max({fins[i], lh + 1, lp + 1, lv + 1});
            }
        }
        // The value texts follow the last row, whose bars are drawn on top.
        const RGraph& g = lignes.back();
        for (int i = 0; i < 12; ++i) {
            if (g.Pages[i] == 0 && g.Hits[i] == 0) {
                continue;
            }
            std::string texte = std::to_string(g.Pages[i]) + "/" + std::to_string(g.Hits[i]);
            const int x = fins[i] + 4;
            const int largeur = kLargeurCaractere * static_cast<int>(texte.size());
            const bool droite = x + largeur > W - 3;
            d.Valeurs.push_back(
                {std::move(texte), droite ? W - 3 : x, 24 * i + 3 + kDecalageAnnee, droite});
        }
    }
    d.Etiquettes = EtiquettesGraphique{GenreGraphique::Annee, Echelle(m)};
    return d;
}

Dessin DessineMois(const Base& base, int ligne) {
    Dessin d = DessineAxes(GenreGraphique::Mois);
    const RGraphMois g = LitGraphMois(base.ListeGraphHeure.Ligne(ligne));
    const std::int32_t m = g.Maximum;
    if (m > 0) {
        for (int i = 0; i < 31; ++i) {
            const int l = Longueur(g.Jours[i], m, kEchelleMois);
            Rectangle(d, 16 * i, H - l + 1, 16 * i + 12, H, kNoir);
            Rectangle(d, 16 * i + 1, H - l + 2, 16 * i + 11, H, kRouge);
        }
    }
    d.Etiquettes = EtiquettesGraphique{GenreGraphique::Mois, Echelle(m)};
    return d;
}

std::vector<EntreeLegende> LegendeGraphique(GenreGraphique genre) {
    switch (genre) {
    case GenreGraphique::Annee:
        return {{"Nombre total de", std::nullopt},
                {"Hits", kRouge},
                {"Pages et downloads", kBleu},
                {"Visites", kVert},
                {"Chiffres : pages/hits", std::nullopt}};
    case GenreGraphique::Mois:
        return {{"Nombre total de", std::nullopt},
                {"Pages et downloads", kRouge},
                {"par jour", std::nullopt}};
    case GenreGraphique::Aucun:
        break;
    }
    return {};
}

Dessin EtatGraphique::CliqueAnnee(const Base& base, std::string_view texteAnnee) {
    ModeGraphique = GenreGraphique::Annee;
    return DessineAnnee(base, ConvertitEntier(texteAnnee));
}

Dessin EtatGraphique::CliqueMois(const Base& base, int ligne) {
    ModeGraphique = GenreGraphique::Mois;
    return DessineMois(base, ligne);
}

Dessin EtatGraphique::Peint(const Base& base, std::optional<std::string_view> anneeChoisie,
                            int moisChoisi) const {
    try {
        if (ModeGraphique == GenreGraphique::Annee) {
            if (anneeChoisie) {
                return DessineAnnee(base, ConvertitEntier(*anneeChoisie));
            }
        } else if (moisChoisi >= 0) {
            return DessineMois(base, moisChoisi);
        }
    } catch (const ErreurSillage&) {
    }
    return DessineAxes(ModeGraphique);
}

std::optional<EtiquettesGraphique> EtatGraphique::EtiquettesSansChoix(bool anneeChoisie,
                                                                      bool moisChoisi) const {
    const bool choisi = ModeGraphique == GenreGraphique::Annee ? anneeChoisie : moisChoisi;
    if (choisi) {
        return std::nullopt;
    }
    return EtiquettesGraphique{GenreGraphique::Aucun, {}};
}

} // namespace sillage
