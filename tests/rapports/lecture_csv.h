// Reads back the CSV the exports write (RFC 4180), so that tests compare cells rather than bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sillage::test {

using RangeesCsv = std::vector<std::vector<std::string>>;

// The records of texte (a byte-order mark first is passed over): fields apart by separateur,
// quoted fields with their doubled quotes, records ended by CR LF.
inline RangeesCsv LitCsv(std::string_view texte, char separateur = ';') {
    if (texte.starts_with("\xEF\xBB\xBF")) {
        texte.remove_prefix(3);
    }
    RangeesCsv rangees;
    std::vector<std::string> rangee;
    std::string champ;
    bool entre = false, cite = false;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const char c = texte[i];
        if (entre) {
            if (c == '"' && i + 1 < texte.size() && texte[i + 1] == '"') {
                champ += '"';
                ++i;
            } else if (c == '"') {
                entre = false;
            } else {
                champ += c;
            }
        } else if (c == '"' && champ.empty() && !cite) {
            entre = cite = true;
        } else if (c == separateur) {
            rangee.push_back(champ);
            champ.clear();
            cite = false;
        } else if (c == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') {
            rangee.push_back(champ);
            rangees.push_back(rangee);
            rangee.clear();
            champ.clear();
            cite = false;
            ++i;
        } else {
            champ += c;
        }
    }
    return rangees;
}

} // namespace sillage::test
