// Text shown. The tables keep a log's bytes exactly as they came; what the window, the exports
// and the reports show is those bytes read as UTF-8 when they are valid UTF-8 holding at least
// one multi-byte sequence (what current browsers and servers send), else as Windows-1252 (the
// store's own code page). Search words are shown with their percent-escapes decoded first.
#pragma once

#include <string>
#include <string_view>

namespace sillage {

// True when octets are valid UTF-8 (no overlong form, no surrogate, nothing beyond U+10FFFF) and
// hold at least one multi-byte sequence: plain ASCII reads the same either way.
bool EstUtf8MultiOctets(std::string_view octets);
// The text shown for octets, in UTF-8 (see above; Windows1252VersUtf8 of store/erreur.h for
// the second reading).
std::string TexteAffiche(std::string_view octets);
// The same, appended to sortie (no text of its own made: the exports call it for every cell).
void AjouteTexteAffiche(std::string& sortie, std::string_view octets);
// The search words of a keyword row as shown: each "%" followed by two hexadecimal digits
// becomes the byte they give, each "+" a space, then the bytes are read as TexteAffiche reads
// them. A "%" not followed by two hexadecimal digits stays as it is.
std::string MotsClesAffiches(std::string_view octets);

// A filter typed by the user, in UTF-8, matched against what is shown rather than the bytes
// stored, so that "été" finds a path stored in either encoding. Letter case counts.
class FiltreAffiche {
  public:
    explicit FiltreAffiche(std::string_view filtreUtf8);
    // True when TexteAffiche(octets) contains the filter; the empty filter lets everything
    // through.
    bool Accepte(std::string_view octets) const;

  private:
    std::string filtre_;
    bool ascii_; // an ASCII filter is found in the bytes themselves, whatever their encoding
};

} // namespace sillage
