// The browser, system and device expressions of uap-core (regexes.yaml) with the replacement
// rules that file documents: a family is its *_replacement with $1 to $9 replaced by the
// match's groups, or else the first group; trimmed; "Other" when nothing matches or nothing is
// left.
#pragma once

#include "visiteurs/expressions.h"

#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class ExpressionsUap {
  public:
    // Reads the expressions of the file at chemin. A file that cannot be read or parsed adds a
    // message (French, naming the file and, for a parse error, the line) and leaves the three
    // lists empty; an entry whose expression does not compile adds a message and is left out.
    // Returns false when the file could not be used at all.
    bool Charge(const std::string& chemin, std::vector<std::string>& messages);
    // The same from the file's bytes (chemin only names it in messages).
    bool ChargeTexte(std::string_view texte, const std::string& chemin,
                     std::vector<std::string>& messages);

    std::string Navigateur(std::string_view agent) const;
    std::string Systeme(std::string_view agent) const;
    // The device family ("Spider" for a robot).
    std::string Appareil(std::string_view agent) const;
    // True when uap-core classes the agent's device as a spider: Appareil(agent) == "Spider",
    // found without trying the hundreds of device expressions on every agent (see araignees_).
    bool Araignee(std::string_view agent) const;

    std::size_t Expressions() const {
        return navigateurs_.jeu.Taille() + systemes_.jeu.Taille() + appareils_.jeu.Taille();
    }
    const JeuExpressions& JeuNavigateurs() const { return navigateurs_.jeu; }

  private:
    struct Liste {
        JeuExpressions jeu;
        std::vector<std::string> remplacements; // per expression, "" for none
    };
    static std::string Famille(const Liste& liste, std::string_view agent);
    static std::string FamilleDe(const Liste& liste, int k, const Groupes& g);

    Liste navigateurs_, systemes_, appareils_;
    // The device expressions that give "Spider", apart, with their indexes among all device
    // expressions: an agent is a spider when one of them matches and no device expression
    // before the first that does matches (the first match decides the device).
    JeuExpressions araignees_;
    std::vector<std::uint32_t> indicesAraignees_;
};

// A replacement of uap-core: modele with every $1 to $9 replaced by that group's text; the
// result trimmed of blanks.
std::string RemplaceGroupes(std::string_view modele, const Groupes& groupes);

} // namespace sillage
