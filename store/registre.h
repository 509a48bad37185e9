// The register of imported logs (journaux.lst): one row per log content, telling how much of it
// the tables count, so that a log renamed, rotated or compressed is recognised by its content and
// only what follows is imported. It is a table file of the store beside the fourteen, saved,
// locked and reset with them; the fourteen files know nothing of it.
//
// A row, as a tagged line closed by "\8;": 1 the fingerprint of the log's beginning (16 hex
// digits), 2 how many bytes that fingerprint covers, 3 the bytes counted (the offset just after
// the last counted line and its line end), 4 the lines counted, 5 the fingerprint of the bytes
// before that offset (at most kOctetsEmpreinte of them), 6 the name the log was last seen under,
// 7 when it was last imported (dd/mm/yyyy hh:mm:ss, local time). Offsets and fingerprints are
// those of the text, a compressed log taken decompressed.
#pragma once

#include "store/table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

inline constexpr std::string_view kFichierRegistre = "journaux.lst";
// How many bytes the fingerprints of a log's beginning and of its end cover at the most.
inline constexpr std::int64_t kOctetsEmpreinte = 4096;

struct RRegistre {
    std::uint64_t Debut = 0;
    std::int64_t OctetsDebut = 0;
    std::int64_t Octets = 0;
    std::int64_t Lignes = 0;
    std::uint64_t Fin = 0;
    std::string Nom;
    std::string Date;
    bool operator==(const RRegistre&) const = default;
};

// Reads a row; a damaged row raises the integer conversion error with the offending text.
RRegistre LitRegistre(std::string_view ligne);
// The row's text; a backslash in the name is written %5C, so no name can break the row.
std::string EcritRegistre(const RRegistre& r);

} // namespace sillage
