// The error-status tab: the requested paths whose requests ended in one HTTP error status.
//
// Texts: the rows (LigneRetour) are Windows-1252 bytes as stored in ListeErreur; the label
// texts (LExpl3, LExpl4, LCount3) and the captions are UTF-8 (they are plain ASCII).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Base;

// One row of LVRetours: "Page", "Acces", "Date".
struct LigneRetour {
    std::string Page;
    std::string Acces;
    std::string Date;
    bool operator==(const LigneRetour&) const = default;
};

struct VueRetours {
    std::string LExpl3; // "Erreur 404"
    std::string LExpl4; // "Not Found"
    std::vector<LigneRetour> Lignes;
    std::string LCount3; // "Il y a 2 fichier(s)"
};

// One status of the tab: its button's caption (the code, "404") and its name ("Not Found").
struct StatutRetour {
    std::string_view Legende;
    std::string_view Nom;
};

// The 24 statuses in button order: "400" to "417" (B400..B417), then "500" to "505"
// (B500..B505). Every list of status codes of the window is this one.
const std::array<StatutRetour, 24>& StatutsRetours();

// The name of a status code as the tab shows it ("Gateway Time-out"); empty for a code that has
// no button.
std::string_view NomStatut(int code);

// B400Click for the button captioned legende: the rows of ListeErreur (counter row left out)
// whose status field is exactly legende, in table order. A caption that is not an integer, or a
// matching row that does not read as an error record, raises the integer conversion error.
VueRetours CalculeRetours(const Base& base, std::string_view legende);

} // namespace sillage
