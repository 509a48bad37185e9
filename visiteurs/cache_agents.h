// The classifications of agents kept between runs, in a file of the user's cache folder (never
// in the store: it is no statistic, and may be deleted at any time). The file is keyed by the
// lists it was computed with: a file made with other lists is ignored and replaced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// What the maintained lists say of one agent, before the user's robots.lst.
struct ClassementListes {
    std::string Navigateur; // uap-core's browser family, "Other" when unknown
    std::string Systeme;    // uap-core's system family
    bool Robot = false;     // a spider for uap-core, or in the crawler list
    std::string NomRobot;   // for a robot
    bool operator==(const ClassementListes&) const = default;
};

struct EntreeCache {
    std::string agent;
    ClassementListes classement;
};

// Reads the cache file at chemin: its entries when it exists, is whole and was written with
// cle, else nothing.
std::vector<EntreeCache> LitCacheAgents(const std::string& chemin, std::uint64_t cle);
// Writes the entries to the cache file at chemin (its folder made, mode 0700, when absent),
// through a temporary file renamed over the old one. False when it could not (the cache is
// only lost time).
bool EcritCacheAgents(const std::string& chemin, std::uint64_t cle,
                      const std::vector<const EntreeCache*>& entrees);

} // namespace sillage
