// The literal words a regular expression needs: a prefilter, so that a text is tried only against
// the expressions whose words it holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// Words (letters A-Z folded to a-z) such that every text the expression motif (PCRE2 syntax)
// matches holds at least one of them, as found by a conservative reading of the expression.
// Empty when the reading finds no such words (an expression that may match anything, or one
// that uses syntax the reading does not know): such an expression is to be tried on every text.
std::vector<std::string> MotsRequis(std::string_view motif);

// ASCII letters A-Z of texte folded to a-z, in place.
void MinusculesAscii(std::string& texte);

} // namespace sillage
