// HTML text: what a page shows of a log is text, never markup. Every text a log or a table gives
// goes through here, in an element's text or in an attribute's value alike.
#pragma once

#include <string>
#include <string_view>

namespace sillage {

// Appends utf8 with & < > " ' written as character references, so that it is text wherever it
// stands (an element's content, a quoted attribute value); the C0 control characters other than
// tab, line feed and carriage return, which HTML does not take as text, become U+FFFD.
void AjouteEchappeHtml(std::string& s, std::string_view utf8);
std::string EchappeHtml(std::string_view utf8);
// The same for a cell of a view: a log's bytes shown as the window shows them (TexteAffiche).
void AjouteTexteHtml(std::string& s, std::string_view texte);

} // namespace sillage
