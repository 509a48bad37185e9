// The agents table (agents.lst, beside the fourteen): one row per distinct user-agent text, kept
// raw so that newer lists can classify the whole history again. A row is
// "\1;agent\2;hits\3;page hits\4;date of the last hit\5;": no identifier and no counter row,
// since nothing refers to an agent's row.
#pragma once

#include "store/enregistrements.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

// The file of the agents table in the store folder.
inline constexpr std::string_view kFichierAgents = "agents.lst";

// A row of agents.lst. Pages counts the hits that the pages table counts (neither an image nor
// a download).
struct RAgent {
    std::string Agent;
    std::int32_t Acces = 0;
    std::int32_t Pages = 0;
    std::string Dernier;
    bool operator==(const RAgent&) const = default;
};

// Reads a row as the other readers do (enregistrements.h); a count that is not an integer
// raises "'%s' n'est pas une valeur entière correcte".
RAgent LitAgent(std::string_view ligne);
std::string EcritAgent(const RAgent& r);
// Appends a row. The agent is written with the backslash of every tag-like sequence (a
// backslash, digits, a semicolon) replaced by "%5C", as the log's reader gives its text fields
// already, so that no agent can break its row.
void AjouteLigneAgent(std::string& s, std::string_view agent, std::int32_t acces,
                      std::int32_t pages, DateLigne dernier);

// The fields of a row without building its record, for the views: false when a count does not
// read (a damaged row), which is then left out.
bool LitAgentVues(std::string_view ligne, std::string_view& agent, std::int32_t& acces,
                  std::int32_t& pages, std::string_view& dernier);

} // namespace sillage
