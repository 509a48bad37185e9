// Dates held by the import while it works: the usual form dd/Mon/yyyy:hh:mm:ss packed into an
// integer, any other text kept aside and referred to by number. Both give back the exact text.
#pragma once

#include "store/date.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

using DateCompacte = std::uint64_t;

// True and the packed value when texte has exactly the form dd/Mon/yyyy:hh:mm:ss (digits, one
// of the twelve month abbreviations).
bool CompacteDate(std::string_view texte, DateCompacte& date);
// Appends the text of a packed date.
void AjouteDateCompacte(std::string& s, DateCompacte date);
// The RDate that LitDate gives for the text of a packed date.
RDate DecompacteDate(DateCompacte date);

// Marks a number that refers to a date text kept aside.
inline constexpr DateCompacte kDateTexte = 1ull << 63;

} // namespace sillage
