// Text at the widget boundary: table text is Windows-1252 bytes, widgets speak QString.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace sillage {

// Windows-1252 bytes (from a table or a log) to the characters they stand for.
QString DepuisWindows1252(std::string_view octets);
// A text of a log or a table as the window shows it: its bytes read as UTF-8 when they are valid
// UTF-8 holding a multi-byte sequence, else as Windows-1252 (TexteAffiche, texte_affiche.h).
QString Affiche(std::string_view octets);
// A text typed by the user to Windows-1252 bytes; nothing when it holds a character the code
// page lacks (such a text cannot occur in any stored name).
std::optional<std::string> VersWindows1252(const QString& texte);
// The same, a character the code page lacks becoming the substitute byte 0x1A.
std::string VersWindows1252Substitue(const QString& texte);

// A tooltip that shows texte exactly, whatever it holds (a tooltip takes any text that looks like
// markup for markup, and a log's text is chosen by a client of the site), its lines wrapped at
// about kColonnesInfobulle characters so that a very long text stays on the screen: at its
// spaces, after the usual separators of addresses (/ ? & = ; ,), or anywhere in a run without
// them.
inline constexpr int kColonnesInfobulle = 100;
QString Infobulle(const QString& texte);

} // namespace sillage
