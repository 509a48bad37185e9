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

} // namespace

std::uint64_t HachageSansCasse(std::string_view texte) {
    std::uint64_t h = texte.size() * kMul;
    const char* p = texte.data();
    std::size_t reste = texte.size();
    while (reste >= 8) {
        std::uint64_t mot;
        std::memcpy(&mot, p, 8);
        if (mot & 0x8080808080808080ull) {
            unsigned char octets[8];
            for (int i = 0; i < 8; ++i) {
                octets[i] = Minuscule(static_cast<unsigned char>(p[i]));
            }
            std::memcpy(&mot, octets, 8);
        } else {
            mot = PlieAscii(mot);
        }
        h = Melange(h, mot);
        p += 8;
        reste -= 8;
    }
    std::uint64_t mot = 0;
    for (std::size_t i = 0; i < reste; ++i) {
        mot |= static_cast<std::uint64_t>(Minuscule(static_cast<unsigned char>(p[i]))) << (8 * i);
    }
    return Melange(Melange(h, mot), 0);
}

std::uint64_t HachageExact(std::string_view texte) {
    std::uint64_t h = texte.size() * kMul;
    const char* p = texte.data();
    std::size_t reste = texte.size();
    while (reste >= 8) {
        std::uint64_t mot;
        std::memcpy(&mot, p, 8);
        h = Melange(h, mot);
        p += 8;
        reste -= 8;
    }
    std::uint64_t mot = 0;
    for (std::size_t i = 0; i < reste; ++i) {
        mot |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    }
    return Melange(Melange(h, mot), 0);
}

} // namespace sillage
