#include "rapports/html.h"

#include "vues/texte_affiche.h"

#include <algorithm>

namespace sillage {

void AjouteEchappeHtml(std::string& s, std::string_view utf8) {
    for (char c : utf8) {
        switch (c) {
        case '&':
            s += "&amp;";
            break;
        case '<':
            s += "&lt;";
            break;
        case '>':
            s += "&gt;";
            break;
        case '"':
            s += "&quot;";
            break;
        case '\'':
            s += "&#39;";
            break;
        default:
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') ||
                c == '\x7F') {
                s += "\xEF\xBF\xBD";
            } else {
                s += c;
            }
        }
    }
}

std::string EchappeHtml(std::string_view utf8) {
    std::string s;
    s.reserve(utf8.size());
    AjouteEchappeHtml(s, utf8);
    return s;
}

void AjouteTexteHtml(std::string& s, std::string_view texte) {
    if (std::all_of(texte.begin(), texte.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        AjouteEchappeHtml(s, texte);
    } else {
        AjouteEchappeHtml(s, TexteAffiche(texte));
    }
}

} // namespace sillage
