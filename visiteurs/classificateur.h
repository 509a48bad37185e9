// Who an agent is: its browser and system families (uap-core), and whether it is a robot
// (uap-core's spiders, the crawler-user-agents list, the user's robots.lst, which wins over both).
// Each distinct agent is classified once: results are kept in memory, and between runs in the
// user's cache folder (cache_agents.h), so that an import whose agents are known classifies none.
#pragma once

#include "visiteurs/cache_agents.h"
#include "visiteurs/fichiers_donnees.h"
#include "visiteurs/listes_robots.h"
#include "visiteurs/uap.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace sillage {

// One agent's classification.
struct Classement {
    std::string Navigateur; // uap-core's browser family, "Other" when unknown
    std::string Systeme;    // uap-core's system family, "Other" when unknown
    bool Robot = false;
    std::string NomRobot; // for a robot: its name for the robots list
    bool operator==(const Classement&) const = default;
};

// The versions of the lists, for --version and the about dialog: "uap-core 0.16.0",
// "crawler-user-agents 1.60.0" ("(version inconnue)" in place of a number that cannot be read).
struct VersionsListes {
    std::string uap;
    std::string robots;
};
VersionsListes LitVersionsListes(const FichiersDonnees& fichiers);

class Classificateur {
  public:
    // The lists of fichiers (read when an agent first needs them, see ChargeListes), and the
    // user's file robotsUtilisateur (read now; "" for none). The cache file lives in
    // fichiers.cache ("" for none).
    Classificateur(const FichiersDonnees& fichiers, const std::string& robotsUtilisateur);
    ~Classificateur();
    Classificateur(const Classificateur&) = delete;
    Classificateur& operator=(const Classificateur&) = delete;

    // The classification of agent: from memory, from the cache, or computed now.
    Classement Classe(std::string_view agent);
    // Classifies every agent not known yet, on both cores when there are many.
    void ClasseTous(const std::vector<std::string_view>& agents);
    // The classification of an agent already classified (Classe, ClasseTous or the cache),
    // null otherwise. The pointer stays valid until the next Classe or ClasseTous.
    const Classement* Connu(std::string_view agent) const;

    // Reads uap-core's expressions and the crawler list now, if not done yet (the first agent
    // missing from the cache does it otherwise): its messages are then in Messages().
    void ChargeListes();
    // Starts reading them on a thread of its own, if not done or started yet, so that they are
    // ready when agents are classified: whatever needs them waits for the reading to end.
    void ChargeListesEnFond();
    // What went wrong with the lists and the user's file, in French, each naming its file (and
    // line): the classification runs without what could not be read.
    std::vector<std::string> Messages() const;

    // Writes the cache file when agents were classified since it was read, unless a list could
    // not be read (what was classified without it is not kept). False when it could not write.
    bool SauveCache();
    // Agents computed (not found in memory or in the cache) since construction.
    std::size_t Calcules() const { return calcules_; }

  private:
    struct HachageTexte {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const;
    };
    struct Memoire {
        ClassementListes listes;
        Classement final;
        bool nouveau; // not from the cache file
    };
    ClassementListes ParListes(std::string_view agent) const;
    Classement Final(const ClassementListes& listes, std::string_view agent) const;
    void Retient(std::string agent, ClassementListes listes, bool nouveau);
    std::string CheminCache() const;

    FichiersDonnees fichiers_;
    std::string texteUap_, texteRobots_;
    bool uapLu_ = false, robotsLu_ = false;
    std::uint64_t cle_ = 0;
    std::once_flag listesChargees_;
    mutable std::thread chargement_; // ChargeListesEnFond's, joined by what needs the lists
    void AttendChargement() const;
    ExpressionsUap uap_;
    ListeRobots robots_;
    bool listesSaines_ = true;
    RobotsUtilisateur utilisateur_;
    std::vector<std::string> messagesListes_, messagesUtilisateur_;
    std::unordered_map<std::string, Memoire, HachageTexte, std::equal_to<>> memoire_;
    std::size_t calcules_ = 0;
};

} // namespace sillage
