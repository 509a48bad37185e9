// Small helpers shared by the files of the import engine.
#pragma once

#include "store/champs.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace sillage::detail {

inline constexpr std::int64_t kEntierMax = std::numeric_limits<std::int32_t>::max();

// The key of a host and item pair in lanpsearch.lst: host-item-kind.
inline std::string_view CleLanp(std::string& tampon, std::int32_t hote, std::int32_t ressource,
                                std::int32_t type) {
    tampon.clear();
    AjouteEntier(tampon, hote);
    tampon += '-';
    AjouteEntier(tampon, ressource);
    tampon += '-';
    AjouteEntier(tampon, type);
    return tampon;
}

// Length of v written in decimal.
inline std::size_t Chiffres(std::int64_t v) {
    std::size_t n = v < 0 ? 2 : 1;
    std::uint64_t u =
        v < 0 ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
    while (u >= 10) {
        u /= 10;
        ++n;
    }
    return n;
}

} // namespace sillage::detail
