// The periods as the user sees them: the choices of the window's period selector (the whole
// history, then each year and each month that holds hits, newest first), the window's title,
// the question about a period whose files changed, and the months of an import in
// sillage-import's report. Period names are those of store/periodes.h ("2024", "2024-03").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sillage {

inline constexpr std::string_view kToutLHistorique = "Tout l'historique";

// One choice of the period selector.
struct ChoixPeriode {
    std::string Nom;    // the period's name; empty for the whole history
    std::string Texte;  // UTF-8: "Tout l'historique", "2024", "mars 2024"
    bool Annee = false; // a year, which the selector sets apart from its months
    bool operator==(const ChoixPeriode&) const = default;
};

// The choices for the periods named (Base::Periodes; a name that is no period's is left out, a
// name given twice taken once): the whole history first, then each year followed by its months,
// the newest first.
std::vector<ChoixPeriode> ChoixPeriodes(const std::vector<std::string>& periodes);

// A period as the user reads it (UTF-8): "2024", "mars 2024"; kToutLHistorique for an empty
// name. nom is a period's name or empty.
std::string TextePeriode(std::string_view nom);
// The choice of a period that could not be read: "mars 2024 (indisponible)".
std::string TextePeriodeIndisponible(std::string_view nom);

// The main window's title: "Sillage" for the whole history, "Sillage — mars 2024" for a period.
std::string TitreFenetre(std::string_view periode);

// The question asked when the files of period nom differ from the manifest of the last save:
// message (the store's, naming each file) and whether to read the period as it is.
std::string QuestionPeriodeModifiee(std::string_view nom, const std::string& message);
// Told when a period chosen is no longer in the store (another program reset it meanwhile).
std::string TextePeriodeDisparue(std::string_view nom);

// The months among periodes (names in order), for a line of sillage-import's report: "mois :
// 2024-02, 2024-03", or past three months the first, the last and their count, "mois : 2021-01
// à 2023-12, 36 mois"; empty when none is a month.
std::string TexteMoisTouches(const std::vector<std::string>& periodes);

} // namespace sillage
