// Tagged lines: every field i of a stored row is preceded by its tag "\i;", and the tag of the
// field after the last one closes the row. Nothing is escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

// The tag of field n, at most 12 characters: a backslash, n in decimal, a semicolon.
struct Etiquette {
    explicit Etiquette(int n);
    std::string_view Vue() const { return {texte, longueur}; }
    char texte[16];
    std::size_t longueur;
};

// Field n (n >= 1) of a tagged line: the text between the first occurrence of the tag of field n
// and the first occurrence of the tag of field n+1. When the tag of n+1 is missing, or occurs only
// before the tag of n, the field is empty; when only the tag of n is missing, the field runs from
// the tag's length (counted from 1) to the tag of n+1. The view points into ligne.
std::string_view ExtraitChamp(std::string_view ligne, int n);

// The integer conversion of every stored number: an optional minus sign, then decimal digits
// (leading zeros allowed), within the 32-bit signed range. Anything else raises
// "'texte' n'est pas une valeur entière correcte".
std::int32_t ConvertitEntier(std::string_view texte);
// Same rule without raising: false when texte is not such an integer.
bool EssaieEntier(std::string_view texte, std::int32_t& valeur);

// Appends v in decimal (minus sign when negative, no leading zeros).
void AjouteEntier(std::string& s, std::int64_t v);
// Length of what AjouteEntier appends for v.
std::size_t ChiffresEntier(std::int64_t v);
// Appends the tag of field n.
void AjouteEtiquette(std::string& s, int n);

} // namespace sillage
