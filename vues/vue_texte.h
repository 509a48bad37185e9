// Small text helpers shared by the view functions.
#pragma once

#include <cstddef>
#include <string>

namespace sillage {

// Record count of a keyed table of n lines: n - 1 (the counter row), never below 0.
inline std::size_t NombreEnregistrements(std::size_t lignes) {
    return lignes == 0 ? 0 : lignes - 1;
}

} // namespace sillage
