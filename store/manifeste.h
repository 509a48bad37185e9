// The manifest of a store (sillage.manifeste): the size and CRC-32 of every file that the last
// save wrote, recorded in the same transaction. A file that no longer matches it was changed by
// something else than a save: cut short or zero-filled by a crash of the system, edited by hand,
// copied in place. Loading says which file and what differs, so that nothing is saved over damage
// without the user's say.
//
// A row, as a tagged line closed by "\4;": 1 the file's name (relative to the store folder), 2
// its size in bytes, 3 its CRC-32 (8 hexadecimal digits).
#pragma once

#include "store/crc32.h" // Crc32, the check of each row
#include "store/table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

inline constexpr std::string_view kFichierManifeste = "sillage.manifeste";

struct EntreeManifeste {
    std::string Nom;
    std::int64_t Taille = 0;
    std::uint32_t Crc = 0;
    bool operator==(const EntreeManifeste&) const = default;
};

// The rows of a manifest's table; false when a row does not read (the manifest itself damaged).
bool LitManifeste(const Table& table, std::vector<EntreeManifeste>& entrees);
// The table of a manifest holding entrees, in their order.
Table EcritManifeste(const std::vector<EntreeManifeste>& entrees);

// What differs between a file of the store and its manifest row, for the message.
struct DifferenceManifeste {
    std::string Nom;
    bool Absent = false;             // the manifest names it, the folder lacks it
    bool Illisible = false;          // the manifest itself does not read
    std::int64_t TailleAttendue = 0; // from the manifest
    std::int64_t TailleTrouvee = 0;  // on the disk
    bool MemeTaille = false;         // then the content differs
};

// The message naming every file that differs and how to accept the change: "Les tables de DIR
// ont été modifiées depuis leur dernier enregistrement : ...".
std::string MessageDifferences(const std::string& dossier,
                               const std::vector<DifferenceManifeste>& differences);

} // namespace sillage
