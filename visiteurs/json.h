// A small reader of JSON text (RFC 8259), for the data files the classification reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sillage {

struct MembreJson;

struct ValeurJson {
    enum class Genre { Nul, Booleen, Nombre, Texte, Tableau, Objet };
    Genre genre = Genre::Nul;
    bool booleen = false;
    std::string texte; // a string (UTF-8), or a number's text
    std::vector<ValeurJson> elements;
    std::vector<MembreJson> membres; // in the order of the text

    // The member named nom of an object, null when absent or when this is no object.
    const ValeurJson* Membre(std::string_view nom) const;
    bool EstTexte() const { return genre == Genre::Texte; }
};

// A member of an object: its name and its value. (A struct of its own rather than a pair, whose
// members must be complete where ValeurJson is not yet.)
struct MembreJson {
    std::string nom;
    ValeurJson valeur;
};

// Reads a whole JSON text into valeur. On malformed text (or nesting deeper than 200 levels)
// returns false with the line (from 1) where the reading stopped and what it expected, in
// French, in erreur.
bool LitJson(std::string_view texte, ValeurJson& valeur, int& ligne, std::string& erreur);

} // namespace sillage
