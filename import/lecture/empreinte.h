// A 64-bit fingerprint of a stream of bytes, fed in pieces of any size: the same bytes give the
// same value however they are cut. It tells a log's content apart (the register of imported
// logs), and that a log did not change between an import and its replay; it is not a defence
// against someone forging a log.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace sillage {

class Empreinte {
  public:
    void Ajoute(std::string_view octets);
    // The fingerprint of the bytes added so far (the object can go on taking bytes).
    std::uint64_t Valeur() const;
    std::uint64_t Octets() const { return total_; }

  private:
    void Melange(std::uint64_t mot) {
        etat_ = (etat_ ^ mot) * 0x9E3779B97F4A7C15ull;
        etat_ ^= etat_ >> 29;
    }
    std::uint64_t etat_ = 0x243F6A8885A308D3ull;
    std::uint64_t total_ = 0;
    unsigned char reste_[8]{}; // bytes waiting for a whole word
    std::size_t nReste_ = 0;
};

// The fingerprint of one text.
inline std::uint64_t EmpreinteDe(std::string_view octets) {
    Empreinte e;
    e.Ajoute(octets);
    return e.Valeur();
}

} // namespace sillage
