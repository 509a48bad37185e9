// A date of the usual form dd/Mon/yyyy:hh:mm:ss packed into an integer, as the import holds the
// dates of its rows while it works; it gives back the exact text. (The import keeps any other
// text aside and refers to it by a number marked with kDateTexte.)
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
