#include "store/fins.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace sillage {
namespace {

void AttendMemes(const Fins& fins, const std::vector<std::uint64_t>& attendues) {
    ASSERT_EQ(fins.size(), attendues.size());
    for (std::size_t i = 0; i < attendues.size(); ++i) {
        ASSERT_EQ(fins[i], attendues[i]) << "fin " << i;
    }
}

// Ends past 4 GiB, whether appended or set in place, turn the array to 8 bytes per end without
// losing the ends held; the array then behaves as a vector of them.
TEST(Fins, EndsPastFourGibKeepEveryEnd) {
    constexpr std::uint64_t k4Gio = std::uint64_t{1} << 32;
    for (int maniere = 0; maniere < 2; ++maniere) {
        Fins fins;
        std::vector<std::uint64_t> attendues;
        for (std::uint64_t i = 0; i < 1000; ++i) {
            fins.push_back(i * 7);
            attendues.push_back(i * 7);
        }
        if (maniere == 0) {
            fins.push_back(k4Gio + 5);
            attendues.push_back(k4Gio + 5);
        } else {
            fins.Fixe(500, k4Gio - 1); // the largest end that fits in 4 bytes
            attendues[500] = k4Gio - 1;
            AttendMemes(fins, attendues);
            fins.Fixe(999, k4Gio);
            attendues[999] = k4Gio;
        }
        AttendMemes(fins, attendues);
        for (std::uint64_t i = 0; i < 100; ++i) {
            fins.push_back(2 * k4Gio + i);
            attendues.push_back(2 * k4Gio + i);
        }
        AttendMemes(fins, attendues);
        EXPECT_EQ(fins.back(), attendues.back());
    }
}

// Two arrays of the same ends are equal whatever their width; copies and moves keep the ends.
TEST(Fins, EqualityCopiesAndMoves) {
    Fins etroites;
    Fins larges;
    for (std::uint64_t i = 0; i < 50; ++i) {
        etroites.push_back(i);
        larges.push_back(i);
    }
    larges.Fixe(0, std::uint64_t{1} << 40);
    EXPECT_FALSE(etroites == larges);
    larges.Fixe(0, 0);
    EXPECT_TRUE(etroites == larges);
    EXPECT_TRUE(larges == etroites);

    Fins copie = larges;
    EXPECT_TRUE(copie == etroites);
    Fins deplacee = std::move(copie);
    EXPECT_TRUE(deplacee == etroites);
    EXPECT_TRUE(copie.empty()); // NOLINT(bugprone-use-after-move): a move leaves it empty
    copie = deplacee;
    EXPECT_TRUE(copie == deplacee);
    const Fins& meme = copie;
    copie = meme; // a copy onto itself keeps it
    EXPECT_EQ(copie.size(), 50u);
}

// Shortening, growing with zeros, emptying and freeing, against a vector on random steps.
TEST(Fins, ResizeAndShrinkAgreeWithAVector) {
    std::mt19937_64 alea(7);
    Fins fins;
    std::vector<std::uint64_t> attendues;
    for (int pas = 0; pas < 2000; ++pas) {
        switch (alea() % 6) {
        case 0:
        case 1: {
            const std::uint64_t v = alea() % 3 == 0 ? alea() : alea() % 100000;
            fins.push_back(v);
            attendues.push_back(v);
            break;
        }
        case 2: {
            const std::size_t n = alea() % (attendues.size() + 20);
            fins.resize(n);
            attendues.resize(n);
            break;
        }
        case 3:
            if (!attendues.empty()) {
                fins.pop_back();
                attendues.pop_back();
            }
            break;
        case 4:
            fins.shrink_to_fit();
            break;
        default:
            if (alea() % 20 == 0) {
                fins.clear();
                attendues.clear();
            }
            break;
        }
        AttendMemes(fins, attendues);
    }
}

} // namespace
} // namespace sillage
