#include "store/casse.h"

#include <cstring>

namespace sillage {

bool EgalSansCasse(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    // Names met again are most often spelt the same way.
    if (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0) {
        return true;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Minuscule(static_cast<unsigned char>(a[i])) !=
                                Minuscule(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

namespace {

constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

inline std::uint64_t Melange(std::uint64_t h, std::uint64_t mot) {
    h ^= mot;
    h *= kMul;
    return h ^ (h >> 29);
}

// Folds eight bytes at once when all are ASCII: set bit 5 of each byte that lies in 'A'..'Z'.
inline std::uint64_t PlieAscii(std::uint64_t mot) {
    constexpr std::uint64_t k7f = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t a = (mot & k7f) + 0x3F3F3F3F3F3F3F3Full; // high bit set when byte >= 'A'
    const std::uint64_t z = (mot & k7f) + 0x2525252525252525ull; // high bit set when byte > 'Z'
    const std::uint64_t majuscules = a & ~z & ~mot & 0x8080808080808080ull;
    return mot | (majuscules >> 2);
}

// The hash of texte, its bytes folded first when Plie.
template <bool Plie> std::uint64_t Hache(std::string_view texte) {
    const auto octet = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return static_cast<std::uint64_t>(Plie ? Minuscule(u) : u);
    };
    std::uint64_t h = texte.size() * kMul;
    const char* p = texte.data();
    std::size_t reste = texte.size();
    for (; reste >= 8; p += 8, reste -= 8) {
        std::uint64_t mot;
        std::memcpy(&mot, p, 8);
        if (Plie && (mot & 0x8080808080808080ull) != 0) {
            mot = 0;
            for (int i = 0; i < 8; ++i) {
                mot |= octet(p[i]) << (8 * i);
            }
        } else if (Plie) {
            mot = PlieAscii(mot);
        }
        h = Melange(h, mot);
    }
    std::uint64_t mot = 0;
    for (std::size_t i = 0; i < reste; ++i) {
        mot |= octet(p[i]) << (8 * i);
    }
    return Melange(Melange(h, mot), 0);
}

} // namespace

std::uint64_t HachageSansCasse(std::string_view texte) {
    return Hache<true>(texte);
}

std::uint64_t HachageExact(std::string_view texte) {
    return Hache<false>(texte);
}

} // namespace sillage
