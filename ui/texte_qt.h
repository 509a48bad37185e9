// Text at the widget boundary: table text is Windows-1252 bytes, widgets speak QString.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace sillage {

// Windows-1252 bytes (from a table or a log) to the characters they stand for.
QString DepuisWindows1252(std::string_view octets);
// A text typed by the user to Windows-1252 bytes; nothing when it holds a character the code
// page lacks (such a text cannot occur in any stored name).
std::optional<std::string> VersWindows1252(const QString& texte);
// The same, a character the code page lacks becoming the substitute byte 0x1A.
std::string VersWindows1252Substitue(const QString& texte);

// A tooltip that shows texte exactly, on one line, whatever it holds: a tooltip takes any text
// that looks like markup for markup, and a log's text is chosen by a client of the site.
QString Infobulle(const QString& texte);

} // namespace sillage
