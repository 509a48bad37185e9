// The agents table during an import (store/agents.h): one row per distinct user-agent text,
// matched by its exact bytes, with its hits, its page hits (those the pages table counts) and the
// date of its last hit. What the import counts is held beside the table, which stays as it was
// until the import is applied; the stored rows are looked at once, when the new table is built.
//
// With a classifier, it also tells robots apart, each distinct agent classified once per import:
// at its first hit when robots are left out of the fourteen tables (the line's fate hangs on it),
// else all together once the lines are counted (AccesRobots), on both cores.
#pragma once

#include "import/lecture/arene.h"
#include "import/parties/dates_import.h"
#include "import/parties/partie.h"
#include "store/hachage.h"
#include "store/table.h"
#include "visiteurs/classificateur.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sillage {

// Who tells robots apart during an import.
struct RobotsImport {
    Classificateur* classement = nullptr; // null: robots are not told apart
    bool sansRobots = false;              // the lines of robots are left out of the fourteen tables
};

class AgentsImport {
  public:
    // robots.sansRobots needs robots.classement.
    AgentsImport(Table& table, DatesImport& dates, Arene& arene, RobotsImport robots);

    // Counts one hit of agent (whose HachageExact is h) at date; page: a hit that the pages table
    // counts. Answers whether the line counts in the fourteen tables: false for a robot's line
    // when robots are left out.
    bool Compte(std::string_view agent, std::uint64_t h, bool page, DateCompacte date) {
        std::int32_t rang = -1;
        return Compte(agent, h, page, date, -1, rang);
    }
    // The same; racine, when not -1, is the agent's record in another import (the store's, for
    // a period's agents), by which the hits of one agent are found again without its text; rang
    // answers its record here.
    bool Compte(std::string_view agent, std::uint64_t h, bool page, DateCompacte date,
                std::int32_t racine, std::int32_t& rang);
    // The hits of robots among those counted so far, the agents not classified yet classified
    // first; -1 without a classifier.
    std::int64_t AccesRobots();

    // Builds the table as the import leaves it, beside the stored one: each stored row of an
    // agent counted here (the first, should a table edited by hand hold one twice) with its counts
    // added, every other row as it is, then the rows of the agents new to it in the order of their
    // first hit. Raises the conversion error of a stored row that is counted and does not read.
    void Prepare();
    // Puts the prepared table in place of the stored one.
    void Applique() noexcept;

  private:
    struct RecAgent {
        std::string_view agent; // copied into the arena
        std::int32_t acces = 0;
        std::int32_t pages = 0;
        DateCompacte date = 0;
        std::int8_t robot = -1;     // -1 not classified yet
        std::int64_t position = -1; // its stored row, once Prepare found it
    };
    bool Robot(RecAgent& r);

    Table& table_;
    DatesImport& dates_;
    Arene& arene_;
    const RobotsImport robots_;
    std::vector<RecAgent> recs_; // in the order of first hit
    HachagePositions memo_;      // HachageExact of the agent -> recs_
    ParRacine parRacine_;        // Compte's racine -> recs_
    TablePreparee nouvelle_;
};

} // namespace sillage
