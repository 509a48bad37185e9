// What a small import will look up in the stored tables, read from its lines before it begins:
// the folded hashes of its hosts, of its requested paths and of its referrers. With them an import
// into a large store finds its stored rows by one pass over the rows that may match, instead of
// building the name indexes over every row. A set may answer yes for a name it was not given (rows
// looked at for nothing), never no for one it was given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class EnsembleHachages {
  public:
    void Ajoute(std::uint64_t h) { hachages_.push_back(h); }
    // Makes the set ready for Contient, once every hash was added.
    void Termine();
    bool Contient(std::uint64_t h) const {
        const std::uint64_t i = (h ^ (h >> 29)) & masque_;
        return (bits_[i >> 6] >> (i & 63)) & 1;
    }
    std::size_t Taille() const { return hachages_.size(); }

  private:
    std::vector<std::uint64_t> hachages_;
    std::vector<std::uint64_t> bits_ = std::vector<std::uint64_t>(1, 0);
    std::uint64_t masque_ = 0;
};

struct CiblesImport {
    EnsembleHachages hotes;      // HachageSansCasse of the hosts
    EnsembleHachages ressources; // of the paths (pages, images, downloads, error rows)
    EnsembleHachages origines;   // of the referrers
    // The periods (years and months) of the lines whose date reads, in the order first met.
    std::vector<std::string> periodes;
};

// How many lines an import may have at most to be read ahead for its targets.
inline constexpr std::int64_t kLignesCibles = 65536;

class SourceLignes;

// Reads the targets of the lines of source (cut as the import cuts them, with nombreChamps
// fields); false when it has more than kLignesCibles lines (the import then builds the name
// indexes).
bool LitCibles(SourceLignes& source, int nombreChamps, CiblesImport& c);

// The periods (years and months) of the lines at the end of the plain log at chemin (its last
// 256 KiB), newest first, kPeriodesProbables at most: those an import of what is new in it will
// most likely count in, to be read while the store is (Base::InitListes). Nothing for a
// compressed log, one that cannot be read, or lines whose date does not read: only a hint.
inline constexpr std::size_t kPeriodesProbables = 6;
std::vector<std::string> PeriodesProbables(const std::string& chemin);

} // namespace sillage
