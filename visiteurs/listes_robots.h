// The two lists of robot patterns beside uap-core: the crawler-user-agents list (JSON, kept with
// the program) and the user's own robots.lst in the store folder.
#pragma once

#include "visiteurs/expressions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// The user's own list of robots, in the store folder.
inline constexpr std::string_view kFichierRobotsUtilisateur = "robots.lst";

// A robot's name for the lists: the text the pattern matched in the agent (so "[wW]get" names
// "Wget" and "Googlebot\/" names "Googlebot"), without the signs around it; when that text is
// long (a pattern spanning several words), its first word; the pattern itself when nothing is
// left.
std::string NomRobot(std::string_view correspondance, std::string_view motif);

// The crawler-user-agents list: an array of entries whose "pattern" is a case-sensitive
// regular expression.
class ListeRobots {
  public:
    // Reads the JSON file at chemin. A file that cannot be read or is not such a list adds a
    // message naming the file (and the line of a JSON error) and leaves the list empty; an entry
    // whose pattern does not compile adds a message and is left out.
    bool Charge(const std::string& chemin, std::vector<std::string>& messages);
    bool ChargeTexte(std::string_view texte, const std::string& chemin,
                     std::vector<std::string>& messages);
    // The name of the robot of the first pattern (in the list's order) that matches agent;
    // nothing when none does.
    std::optional<std::string> Robot(std::string_view agent) const;
    std::size_t Taille() const { return jeu_.Taille(); }

  private:
    JeuExpressions jeu_;
    std::vector<std::string> motifs_;
};

// The user's robots.lst: one regular expression per line (case-sensitive), "!" in front of it
// declaring the agents it matches persons; blank lines and lines starting with "#" say nothing.
// The first line that matches decides, over both other lists.
class RobotsUtilisateur {
  public:
    // Reads the file at chemin; an absent file is an empty list. A line that is not a valid
    // expression adds a message naming the file and the line, and is left out.
    void Charge(const std::string& chemin, std::vector<std::string>& messages);
    void ChargeTexte(std::string_view texte, const std::string& chemin,
                     std::vector<std::string>& messages);

    struct Verdict {
        bool robot;
        std::string nom; // the robot's name (NomRobot), for a robot
    };
    // What the file says of agent, nothing when no line matches it.
    std::optional<Verdict> Decide(std::string_view agent) const;
    // Messages about lines given up on pathological agents since the file was read.
    std::vector<std::string> MessagesAbandons() const;
    bool Vide() const { return jeu_.Taille() == 0; }
    // The file's bytes as read, to tell whether it changed.
    const std::string& Texte() const { return texte_; }

  private:
    JeuExpressions jeu_;
    std::vector<bool> personne_;
    std::vector<std::string> motifs_;
    std::vector<int> lignes_;
    std::string chemin_;
    std::string texte_;
};

} // namespace sillage
