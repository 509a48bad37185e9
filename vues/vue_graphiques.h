// The charts tab: the geometry of the yearly chart (three horizontal bars per month, from
// ListeGraphMois) and of the monthly chart (one vertical bar per day, from ListeGraphHeure) on
// the 495 x 289 surface PaintBox1, with the scale texts and which labels are shown.
//
// Coordinates are surface pixels and may lie outside it (a bar far longer than the maximum):
// the painter clips. Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Base;

// Which chart the tab shows: Aucun at start, Annee after a year was chosen, Mois after a month.
enum class GenreGraphique { Aucun = 0, Annee = 1, Mois = 2 };

inline constexpr int kLargeurGraphique = 495; // W
inline constexpr int kHauteurGraphique = 289; // H
// The yearly chart's bars of month i (from 0) cover y 24i - 5 to 24i + 11 as first laid out,
// which put January's top bar above the surface: they stand this much lower, so that January's
// begins on the frame's top line and December's still ends above the bottom one.
inline constexpr int kDecalageAnnee = 5;

struct Couleur {
    std::uint8_t R, G, B;
    bool operator==(const Couleur&) const = default;
};
inline constexpr Couleur kBlanc{255, 255, 255};
inline constexpr Couleur kNoir{0, 0, 0};
inline constexpr Couleur kRouge{255, 0, 0};
inline constexpr Couleur kBleu{0, 0, 255};
inline constexpr Couleur kVert{0, 128, 0};

// One drawing step, in order.
struct CommandeDessin {
    enum class Genre { Rectangle, Ligne };
    Genre Type;
    // Rectangle: filled from (X1, Y1) to (X2, Y2), right and bottom edges excluded; only
    // rectangles that cover at least one pixel are listed.
    // Ligne: one pixel wide, from (X1, Y1) towards (X2, Y2), the end point excluded; every
    // line is horizontal or vertical (see DernierPoint).
    int X1, Y1, X2, Y2;
    Couleur Teinte;
    bool operator==(const CommandeDessin&) const = default;
};

// The last pixel a line command covers, for painters whose lines include their end point.
std::array<int, 2> DernierPoint(const CommandeDessin& ligne);

// The yearly chart's value text of one month: its first series count, "/", its second series
// count ("120/845"), drawn in black in a 9-pixel font after the end of the month's longest bar,
// vertically centred on Y. When it may not fit there it is right-aligned at X instead, near the
// surface's right edge.
struct TexteValeur {
    std::string Texte;
    int X;
    int Y;
    bool AligneDroite;
    bool operator==(const TexteValeur&) const = default;
};
inline constexpr int kTaillePoliceValeur = 9;

// One entry of the legend under the chart: its text and, for a series of bars, their colour
// (the text is drawn in it).
struct EntreeLegende {
    std::string Texte;
    std::optional<Couleur> Teinte;
    bool operator==(const EntreeLegende&) const = default;
};

// The legend of the bars that the chart of genre draws, left to right, and what its value texts
// mean. The yearly chart: "Nombre total de", "Hits" (red), "Pages et downloads" (blue),
// "Visites" (green), "Chiffres : pages/hits". The monthly chart: "Nombre total de", "Pages et
// downloads" (red), "par jour". No chart (Aucun): none.
std::vector<EntreeLegende> LegendeGraphique(GenreGraphique genre);

// The labels around the surface after a chart is drawn, or while none is.
struct EtiquettesGraphique {
    // Annee (the yearly chart): LHCalc1-3 read Echelle and are shown, the twelve month labels
    // are shown, LVCalc1-3 and the 31 day labels are hidden. Mois (the monthly chart): LVCalc1-3
    // read Echelle and are shown, the day labels are shown, LHCalc1-3 and the month labels are
    // hidden. Aucun (no chart chosen): the six scale labels and every month and day label are
    // hidden, so that no number is left over a frame it does not describe. Hidden scale labels
    // keep their texts. The legend is LegendeGraphique(Genre).
    GenreGraphique Genre;
    std::array<std::string, 3> Echelle; // trunc(M / 3), trunc(2M / 3), M
    bool operator==(const EtiquettesGraphique&) const = default;
};

struct Dessin {
    std::vector<CommandeDessin> Commandes;
    std::vector<TexteValeur> Valeurs;              // yearly chart only
    std::optional<EtiquettesGraphique> Etiquettes; // none: the labels stay as they are
};

// The empty frame: white surface, frame lines, and the grid: vertical lines at x 165 and 330 for
// the yearly chart (Annee), horizontal lines at y 96 and 192 otherwise.
Dessin DessineAxes(GenreGraphique modeGraphique);

// The yearly chart of every ListeGraphMois row whose year (field 1) is annee, drawn in table
// order over one another and scaled by the largest of their maxima M (450 pixels stand for M),
// kDecalageAnnee lower than first laid out.
// A year without rows, or whose maximum is 0, gives the empty frame and the scale 0, 0, 0. A
// matching row that does not read raises the integer conversion error.
Dessin DessineAnnee(const Base& base, int annee);

// The monthly chart of ListeGraphHeure's row ligne (280 pixels stand for its maximum M). A row
// whose maximum is 0 gives the empty frame and the scale 0, 0, 0. A row outside the table raises
// the index error; a row that does not read raises the integer conversion error.
Dessin DessineMois(const Base& base, int ligne);

// The tab's state and its events.
struct EtatGraphique {
    GenreGraphique ModeGraphique = GenreGraphique::Aucun;

    // LBListAnneeClick: texteAnnee is the selected item's text, read as an integer year.
    Dessin CliqueAnnee(const Base& base, std::string_view texteAnnee);
    // LBListMoisClick: ligne is the selected item's index, which is the row of ListeGraphHeure.
    Dessin CliqueMois(const Base& base, int ligne);
    // PaintBox1Paint: in mode Annee the chart of the selected year (anneeChoisie, none when no item
    // is selected), otherwise that of the selected month (moisChoisi, -1 for none); the empty
    // frame when nothing is selected. Never raises: a chart that cannot be read is drawn as the
    // empty frame (its click has already reported the error), so that no repaint shows a message.
    Dessin Peint(const Base& base, std::optional<std::string_view> anneeChoisie,
                 int moisChoisi) const;
    // The labels while the list of the current mode has nothing chosen (anneeChoisie in mode
    // Annee, moisChoisi otherwise): every one hidden. None while a chart is chosen: the click
    // that chose it set them. Asked whenever a list's choice changes without a click (a view
    // refresh empties both lists, a Ctrl+click unselects).
    std::optional<EtiquettesGraphique> EtiquettesSansChoix(bool anneeChoisie,
                                                           bool moisChoisi) const;
};

} // namespace sillage
