// A log line cut into its fields and its names hashed, ready to be counted: all that can be done
// apart from the tables, so that the read-ahead (lecture_anticipee.h) does it on its own thread.
#pragma once

#include "import/lecture/arene.h"
#include "import/lecture/ligne_log.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

// The records of a line's names in the store's import (-1: none), by which the engines of the
// line's year and month find their own rows again.
struct RangsRacine {
    std::int32_t hote = -1, ressource = -1, origine = -1, agent = -1;
};

// Its texts point into the line, into arene, or into the buffers given to PrepareLigne.
struct LignePreparee {
    RHitsVues hit;
    std::uint64_t hHote = 0, hPage = 0, hOrigine = 0; // HachageSansCasse of the names
    std::uint64_t hAgent = 0;                         // HachageExact of the agent
    bool image = false, download = false;             // EstImage, EstDownload of the path
    // Once the store's engine has counted the line, its records of the line's names.
    RangsRacine racine;
};

// Cuts ligne (NombreChamps from the log's first line) into p; texts that are not the line's own
// bytes are copied into arene when it is given (else they stay in the two buffers).
void PrepareLigne(std::string_view ligne, int NombreChamps, LignePreparee& p,
                  std::string& tamponKeywords, std::string& tamponEchappement, Arene* arene);

// PrepareLigne with buffers of its own, reused from line to line.
class PreparateurLignes {
  public:
    // The line prepared; valid until the next call.
    const LignePreparee& Prepare(std::string_view ligne, int NombreChamps) {
        PrepareLigne(ligne, NombreChamps, preparee_, tamponKeywords_, tamponEchappement_, nullptr);
        return preparee_;
    }

  private:
    LignePreparee preparee_;
    std::string tamponKeywords_;
    std::string tamponEchappement_;
};

} // namespace sillage
