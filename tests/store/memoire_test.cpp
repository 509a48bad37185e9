#include "store/memoire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace sillage {
namespace {

// Resident bytes of this process.
std::size_t Residents() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t residentes = 0;
    statm >> pages >> residentes;
    return residentes * 4096;
}

// A block keeps its bytes through every change of kind: small, mapped, mapped larger, small
// again, and freed.
TEST(Memoire, BlocksKeepTheirBytesFromSmallToMappedAndBack) {
    const std::vector<std::size_t> tailles = {100,      kSeuilMemoire,    3 * kSeuilMemoire,
                                              40 << 20, 41 << 20,         kSeuilMemoire - 1,
                                              10,       kSeuilMemoire + 5};
    auto* p = static_cast<unsigned char*>(RealloueMemoire(nullptr, 0, 64));
    std::size_t ancienne = 64;
    for (std::size_t k = 0; k < ancienne; ++k) {
        p[k] = static_cast<unsigned char>(k * 7);
    }
    for (const std::size_t taille : tailles) {
        SCOPED_TRACE(taille);
        p = static_cast<unsigned char*>(RealloueMemoire(p, ancienne, taille));
        ASSERT_NE(p, nullptr);
        const std::size_t gardes = std::min(ancienne, taille);
        for (std::size_t k = 0; k < gardes; k += 4093) {
            ASSERT_EQ(p[k], static_cast<unsigned char>(k * 7)) << k;
        }
        for (std::size_t k = gardes; k < taille; ++k) {
            p[k] = static_cast<unsigned char>(k * 7);
        }
        ancienne = taille;
    }
    EXPECT_EQ(RealloueMemoire(p, ancienne, 0), nullptr);
    EXPECT_EQ(RealloueMemoire(nullptr, 0, 0), nullptr);
}

// A large block goes back to the system when freed, as a table's memory must when the window
// turns to another period.
TEST(Memoire, ALargeBlockGoesBackToTheSystemWhenFreed) {
    constexpr std::size_t kTaille = 64 << 20;
    void* p = RealloueMemoire(nullptr, 0, kTaille);
    std::memset(p, 1, kTaille);
    const std::size_t pendant = Residents();
    RealloueMemoire(p, kTaille, 0);
    EXPECT_GT(pendant, Residents() + kTaille / 2);
}

} // namespace
} // namespace sillage
