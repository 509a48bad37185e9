// One line of an access log in the combined layout, cut into its fields, and the tests that
// classify the requested path.
#pragma once

#include <string>
#include <string_view>

namespace sillage {

// A parsed log line. Texts are the log's own bytes; Keywords is the referrer's query turned
// into keyword text and enclosed in double quotes (empty when the referrer has no query).
struct RHits {
    std::string Prefixe;
    std::string Hote;
    std::string DateLog;
    std::string Page;
    std::string Statut;
    std::string Origine;
    std::string Keywords;
    std::string Navigateur;
    bool Illisible = false;
};

// The same fields as views, for the import's hot loop: they point into the line or into the
// two buffers given to DecoupeLigneLogVues, valid until its next call.
struct RHitsVues {
    std::string_view Prefixe;
    std::string_view Hote;
    std::string_view DateLog;
    std::string_view Page;
    std::string_view Statut;
    std::string_view Origine;
    std::string_view Keywords;
    std::string_view Navigateur;
    bool Illisible = false;
};

// Cuts a line at the first occurrence of fixed separators, in a fixed order, checking nothing:
// a line out of layout gives shifted or empty fields. NombreChamps 4 means every line starts
// with an extra field (Prefixe). In every text field, a backslash that begins a tag-like
// sequence (backslash, digits, semicolon) becomes "%5C", so no field can break a stored row.
RHits DecoupeLigneLog(std::string_view ligne, int NombreChamps);
void DecoupeLigneLogVues(std::string_view ligne, int NombreChamps, RHitsVues& h,
                         std::string& tamponKeywords, std::string& tamponEchappement);

// The keyword text of a query: "&" becomes double quote, space, double quote; "+" a space;
// everything else is copied (no percent-escape is decoded).
std::string DecodeRequete(std::string_view requete);

// True when the path ends, lowercased (A-Z), with .jpg, .gif, .png or .jpeg (paths of more
// than 4 characters only).
bool EstImage(std::string_view page);
// True when the path ends exactly with .zip, .rar or .exe (paths of more than 4 characters).
bool EstDownload(std::string_view page);

// The number of spaces of the first line before its first "[" (0 when it has none).
int CompteNombreChamps(std::string_view premiereLigne);

// True when texte holds a backslash followed by digits and a semicolon.
bool ContientEtiquette(std::string_view texte);
// Appends texte to sortie with the backslash of every tag-like sequence replaced by "%5C".
void AjouteSansEtiquette(std::string& sortie, std::string_view texte);

} // namespace sillage
