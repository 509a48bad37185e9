// An open-addressing set of row positions. The keys stay where they are (in a table or an index);
// the caller gives each position's hash and says whether a position holds the key looked for.
// A slot is chosen by the high bits of the hash, which each slot keeps: the set grows without its
// keys and without a hash per position, 8 bytes per slot in all.
#pragma once

#include <cstdint>
#include <vector>

namespace sillage {

class HachagePositions {
  public:
    // Position of the first key for which egal(position) holds among those with hash h, or -1.
    template <class Egal> std::int64_t Cherche(std::uint64_t h, Egal&& egal) const {
        if (cases_.empty()) {
            return -1;
        }
        const std::uint32_t signe = Signe(h);
        for (std::size_t i = Place(signe);; i = (i + 1) & masque_) {
            const Case& c = cases_[i];
            if (c.position == 0) {
                return -1;
            }
            if (c.signe == signe && egal(c.position - 1)) {
                return c.position - 1;
            }
        }
    }
    // Records position under hash h; the caller inserts a key only when Cherche did not find it,
    // so the first position of each key is the one kept.
    void Insere(std::uint64_t h, std::uint32_t position);
    // Asks the processor to bring in the slot where a search for hash h begins.
    void Precharge(std::uint64_t h) const {
        if (!cases_.empty()) {
            __builtin_prefetch(&cases_[Place(Signe(h))]);
        }
    }
    void Efface();
    std::size_t Taille() const { return taille_; }
    void Reserve(std::size_t n);

  private:
    struct Case {
        std::uint32_t position; // position + 1; 0 is an empty slot
        std::uint32_t signe;
    };
    static std::uint32_t Signe(std::uint64_t h) { return static_cast<std::uint32_t>(h >> 32); }
    // The first slot of a key's search: the top bits of its signe, as many as the capacity needs.
    std::size_t Place(std::uint32_t signe) const { return signe >> decalage_; }
    void Agrandit(std::size_t capacite);

    std::vector<Case> cases_;
    std::size_t masque_ = 0;
    unsigned decalage_ = 32; // 32 - log2(capacity)
    std::size_t taille_ = 0;
};

} // namespace sillage
