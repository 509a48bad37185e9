// The charts of the window as inline SVG: the drawing that the charts tab paints
// (vue_graphiques.h), command for command, with the labels the window sets around its surface
// (month names or day numbers, the scale, the value texts) and the legend under it, in the window's
// colours.
#pragma once

#include "vues/vue_graphiques.h"

#include <string>
#include <string_view>

namespace sillage {

// Appends an <svg> element of the chart d (DessineAnnee or DessineMois: its Etiquettes say which
// labels go around it); titre (UTF-8) is its accessible name.
void AjouteGraphiqueSvg(std::string& s, const Dessin& d, std::string_view titre);

// "#RRGGBB".
std::string CouleurHtml(Couleur c);

} // namespace sillage
