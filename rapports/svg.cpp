#include "rapports/svg.h"

#include "rapports/html.h"
#include "vues/vue_chiffres.h"

#include <algorithm>
#include <cstdio>

namespace sillage {

namespace {

// Room around the surface for the labels, as the window leaves it beside PaintBox1.
constexpr int kGauche = 64;  // the month names end 7 pixels left of the surface
constexpr int kHaut = 20;    // the horizontal scale stands above it
constexpr int kDroite = 60;  // the vertical scale stands right of it
constexpr int kJours = 16;   // the day numbers under it
constexpr int kLegende = 22; // the legend under them
constexpr int kLargeur = kGauche + kLargeurGraphique + kDroite;
constexpr int kHauteur = kHaut + kHauteurGraphique + kJours + kLegende;

void Nombre(std::string& s, int v) {
    s += std::to_string(v);
}

void Rectangle(std::string& s, int x1, int y1, int x2, int y2, Couleur c) {
    s += "<rect x=\"";
    Nombre(s, x1);
    s += "\" y=\"";
    Nombre(s, y1);
    s += "\" width=\"";
    Nombre(s, x2 - x1);
    s += "\" height=\"";
    Nombre(s, y2 - y1);
    s += "\" fill=\"";
    s += CouleurHtml(c);
    s += "\"/>";
}

// A text at (x, y) of the surface's coordinates: ancre is start, middle or end.
void Texte(std::string& s, int x, int y, std::string_view ancre, std::string_view utf8,
           std::string_view classe = "etiquette") {
    s += "<text class=\"";
    s += classe;
    s += "\" x=\"";
    Nombre(s, x);
    s += "\" y=\"";
    Nombre(s, y);
    s += "\" text-anchor=\"";
    s += ancre;
    s += "\">";
    AjouteEchappeHtml(s, utf8);
    s += "</text>";
}

void Commandes(std::string& s, const Dessin& d) {
    for (const CommandeDessin& c : d.Commandes) {
        if (c.Type == CommandeDessin::Genre::Rectangle) {
            Rectangle(s, c.X1, c.Y1, c.X2, c.Y2, c.Teinte);
        } else {
            // Every pixel from the start to the one before the end, as the window paints it.
            const std::array<int, 2> fin = DernierPoint(c);
            Rectangle(s, std::min(c.X1, fin[0]), std::min(c.Y1, fin[1]), std::max(c.X1, fin[0]) + 1,
                      std::max(c.Y1, fin[1]) + 1, c.Teinte);
        }
    }
    for (const TexteValeur& v : d.Valeurs) {
        Texte(s, v.X, v.Y + 3, v.AligneDroite ? "end" : "start", v.Texte, "valeur");
    }
}

// The labels around the surface, as the window places them beside PaintBox1.
void Etiquettes(std::string& s, const EtiquettesGraphique& e) {
    if (e.Genre == GenreGraphique::Annee) {
        // LHCalc1-3 over the grid's vertical lines; Label3-14 left of each month's bars.
        const int x[3] = {144, 320, 480};
        for (int i = 0; i < 3; ++i) {
            Texte(s, x[i], -6, "start", e.Echelle[static_cast<std::size_t>(i)]);
        }
        for (int m = 0; m < 12; ++m) {
            Texte(s, -7, 24 * m + kDecalageAnnee + 7, "end", kMoisFrancais[m]);
        }
    } else if (e.Genre == GenreGraphique::Mois) {
        // LVCalc1-3 right of the grid's horizontal lines; the day numbers under the bars.
        const int y[3] = {184, 96, 0};
        for (int i = 0; i < 3; ++i) {
            Texte(s, kLargeurGraphique + 9, y[i] + 10, "start",
                  e.Echelle[static_cast<std::size_t>(i)]);
        }
        for (int j = 0; j < 31; ++j) {
            Texte(s, 16 * j + 6, kHauteurGraphique + 13, "middle", std::to_string(j + 1));
        }
    }
}

void Legende(std::string& s, GenreGraphique genre) {
    const std::vector<EntreeLegende> entrees = LegendeGraphique(genre);
    if (entrees.empty()) {
        return;
    }
    s += "<text class=\"legende\" x=\"0\" y=\"";
    Nombre(s, kHauteurGraphique + kJours + 16);
    s += "\">";
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        s += "<tspan";
        if (i > 0) {
            s += " dx=\"6\"";
        }
        if (entrees[i].Teinte) {
            s += " fill=\"";
            s += CouleurHtml(*entrees[i].Teinte);
            s += "\"";
        }
        s += ">";
        AjouteEchappeHtml(s, entrees[i].Texte);
        s += "</tspan>";
    }
    s += "</text>";
}

} // namespace

std::string CouleurHtml(Couleur c) {
    char t[8];
    std::snprintf(t, sizeof t, "#%02x%02x%02x", c.R, c.G, c.B);
    return t;
}

void AjouteGraphiqueSvg(std::string& s, const Dessin& d, std::string_view titre) {
    s += "<svg class=\"graphique\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ";
    Nombre(s, kLargeur);
    s += ' ';
    Nombre(s, kHauteur);
    s += "\" role=\"img\" aria-label=\"";
    AjouteEchappeHtml(s, titre);
    s += "\"><title>";
    AjouteEchappeHtml(s, titre);
    s += "</title><g transform=\"translate(";
    Nombre(s, kGauche);
    s += ' ';
    Nombre(s, kHaut);
    s += ")\"><svg width=\"";
    Nombre(s, kLargeurGraphique);
    s += "\" height=\"";
    Nombre(s, kHauteurGraphique);
    // The surface clips what it draws, as the window's does.
    s += "\" overflow=\"hidden\" shape-rendering=\"crispEdges\">";
    Commandes(s, d);
    s += "</svg>";
    if (d.Etiquettes) {
        Etiquettes(s, *d.Etiquettes);
        Legende(s, d.Etiquettes->Genre);
    }
    s += "</g></svg>";
}

} // namespace sillage
