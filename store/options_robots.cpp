#include "store/options_robots.h"

namespace sillage {

namespace {
constexpr std::string_view kOui = "sans-robots=1";
constexpr std::string_view kNon = "sans-robots=0";
} // namespace

bool LitSansRobots(const Table& options) {
    return !options.Vide() && options[0] == kOui;
}

void FixeSansRobots(Table& options, bool sans) {
    if (LitSansRobots(options) == sans) {
        return; // already so: a store that never had the option keeps no file of it
    }
    options.Efface();
    options.Ajoute(sans ? kOui : kNon);
}

} // namespace sillage
