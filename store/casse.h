// Case-insensitive comparison of names: ASCII A-Z and the capital letters of Windows-1252
// (0xC0-0xDE but 0xD7, and 0x8A, 0x8C, 0x8E, 0x9F) fold to their small letters, then bytes compare.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sillage {

namespace detail {
constexpr std::array<unsigned char, 256> TableMinuscules() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        t[c] = static_cast<unsigned char>(c);
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[c] = static_cast<unsigned char>(c + 32);
    }
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) {
            t[c] = static_cast<unsigned char>(c + 32);
        }
    }
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    return t;
}
inline constexpr std::array<unsigned char, 256> kMinuscules = TableMinuscules();
} // namespace detail

inline unsigned char Minuscule(unsigned char c) {
    return detail::kMinuscules[c];
}

// True when a and b are equal once folded.
bool EgalSansCasse(std::string_view a, std::string_view b);
// A hash of the folded text: equal under EgalSansCasse gives equal hashes.
std::uint64_t HachageSansCasse(std::string_view texte);
// A hash of the exact bytes.
std::uint64_t HachageExact(std::string_view texte);

} // namespace sillage
