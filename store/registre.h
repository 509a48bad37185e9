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
//
// A name is any bytes but NUL. One that could break its row or be misread (a line break, a CR,
// another control character, a backslash, a percent sign) is written with those bytes as %XX
// (two upper-case hex digits), and the row then has an eighth field, kNomEchappe, closed by
// "\9;": a reader that knows no such field reads the seven as before. A row without it keeps its
// name as written, as rows written before names were escaped (whose backslashes were written
// %5C) always meant.
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

// Field 8 of a row whose name is escaped.
inline constexpr std::string_view kNomEchappe = "%";

// Reads a row; a damaged row raises the integer conversion error with the offending text.
RRegistre LitRegistre(std::string_view ligne);
// The row's text: one line, whatever the name holds, that LitRegistre reads back exactly.
std::string EcritRegistre(const RRegistre& r);

// Checks the rows of a register just read from its file chemin. A row that an earlier version
// split by writing a line break of a name as it was (its first line ends inside the name, the
// next ones hold the rest of the name, the date and the closing tag) is joined back, the break
// taken as a line feed. Raises ErreurSillage naming chemin and the line of the first row that
// does not read, with what is wrong and how to mend it.
void VerifieRegistre(Table& registre, const std::string& chemin);

} // namespace sillage
