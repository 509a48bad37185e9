#include "store/casse.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace sillage {
namespace {

std::string Plie(const std::string& s) {
    std::string r = s;
    for (char& c : r) {
        c = static_cast<char>(Minuscule(static_cast<unsigned char>(c)));
    }
    return r;
}

TEST(Casse, AsciiAndWindows1252CapitalsFoldToTheirSmallLetters) {
    EXPECT_TRUE(EgalSansCasse("Host.EXAMPLE", "host.example"));
    EXPECT_TRUE(EgalSansCasse("\xC9T\xC9", "\xE9t\xE9"));               // ÉTÉ, été
    EXPECT_TRUE(EgalSansCasse("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF")); // Š Œ Ž Ÿ
    EXPECT_TRUE(EgalSansCasse("", ""));
    EXPECT_FALSE(EgalSansCasse("\xD7", "\xF7")); // × and ÷ are no letters
    EXPECT_FALSE(EgalSansCasse("@[`{", "`{@["));
    EXPECT_FALSE(EgalSansCasse("ab", "abc"));
    // Only capitals fold: the small letters and the other bytes stay.
    for (int c = 0; c < 256; ++c) {
        const bool capitale = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
                              c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F;
        EXPECT_EQ(Minuscule(static_cast<unsigned char>(c)) != c, capitale) << c;
    }
}

TEST(Casse, TheFoldedHashIsTheExactHashOfTheFoldedText) {
    // Every byte value at every place of the eight-byte words, ASCII-only words and mixed ones.
    for (std::size_t longueur : {1u, 7u, 8u, 9u, 16u, 23u}) {
        for (int c = 0; c < 256; ++c) {
            for (std::size_t place = 0; place < longueur; place += 3) {
                std::string s(longueur, 'q');
                s[place] = static_cast<char>(c);
                ASSERT_EQ(HachageSansCasse(s), HachageExact(Plie(s))) << c << " " << place;
            }
        }
    }
    std::mt19937 rng(3);
    for (int essai = 0; essai < 2000; ++essai) {
        std::string s(rng() % 40, ' ');
        for (char& c : s) {
            c = static_cast<char>(rng());
        }
        ASSERT_EQ(HachageSansCasse(s), HachageExact(Plie(s)));
    }
    EXPECT_EQ(HachageSansCasse("Index.HTML"), HachageSansCasse("index.html"));
    EXPECT_NE(HachageExact("Index.HTML"), HachageExact("index.html"));
    EXPECT_NE(HachageExact(""), HachageExact(std::string(1, '\0')));
}

} // namespace
} // namespace sillage
