// The CRC-32 of the manifest: every way of computing it gives zlib's value, whatever the length,
// the start's alignment, the previous CRC and the pieces the bytes come in.
#include "store/crc32.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace sillage {
namespace {

std::uint32_t Zlib(std::uint32_t crc, std::string_view octets) {
    return static_cast<std::uint32_t>(
        ::crc32_z(crc, reinterpret_cast<const Bytef*>(octets.data()), octets.size()));
}

std::string Aleatoires(std::size_t n, std::mt19937_64& alea) {
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(alea());
    }
    return s;
}

// Every way this processor has; the portable one always.
std::vector<VoieCrc32> Voies() {
    std::vector<VoieCrc32> voies;
    for (VoieCrc32 v : {VoieCrc32::Portable, VoieCrc32::Pclmul, VoieCrc32::Vpclmul}) {
        if (VoieDisponible(v)) {
            voies.push_back(v);
        }
    }
    return voies;
}

std::string Nom(VoieCrc32 v) {
    return v == VoieCrc32::Portable ? "Portable" : v == VoieCrc32::Pclmul ? "Pclmul" : "Vpclmul";
}

TEST(Crc32, TheCheckValueAndNoBytesByEveryWay) {
    for (VoieCrc32 v : Voies()) {
        SCOPED_TRACE(Nom(v));
        EXPECT_EQ(Crc32Suite(v, 0, "123456789"), 0xCBF43926u);
        EXPECT_EQ(Crc32Suite(v, 0, {}), 0u);
        // No bytes, even at a null address, leave a previous CRC as it is (zlib would say 0).
        EXPECT_EQ(Crc32Suite(v, 0xCBF43926u, {}), 0xCBF43926u);
        EXPECT_EQ(Crc32Suite(v, 0xCBF43926u, std::string_view("x", 0)), 0xCBF43926u);
    }
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
}

TEST(Crc32, TheWayTakenIsTheFastestThisProcessorHas) {
    EXPECT_TRUE(VoieDisponible(VoieCrc32::Portable));
    EXPECT_TRUE(VoieDisponible(VoieRetenue()));
    EXPECT_EQ(VoieRetenue(), Voies().back());
#if !defined(__x86_64__)
    EXPECT_EQ(VoieRetenue(), VoieCrc32::Portable);
#endif
    // A way the processor lacks computes as the portable one does.
    for (VoieCrc32 v : {VoieCrc32::Pclmul, VoieCrc32::Vpclmul}) {
        if (!VoieDisponible(v)) {
            EXPECT_EQ(Crc32Suite(v, 0, "123456789"), 0xCBF43926u) << Nom(v);
        }
    }
}

TEST(Crc32, EveryLengthUpTo1024AndEveryAlignmentOfTheStartGiveZlibsValue) {
    std::mt19937_64 alea(2024);
    const std::string octets = Aleatoires(64 + 1024, alea);
    for (VoieCrc32 v : Voies()) {
        SCOPED_TRACE(Nom(v));
        for (std::size_t n = 0; n <= 1024; ++n) {
            const std::string_view s(octets.data(), n);
            ASSERT_EQ(Crc32Suite(v, 0, s), Zlib(0, s)) << n << " bytes";
        }
        // Each start from 0 to 63 bytes past a 64-byte boundary, with lengths about each step
        // of the folding (16, 64, 256 bytes) and the last bytes after them.
        const std::size_t debut = static_cast<std::size_t>(
            (64 - reinterpret_cast<std::uintptr_t>(octets.data()) % 64) % 64);
        const std::string_view aligne(octets.data() + debut, octets.size() - debut);
        for (std::size_t decalage = 0; decalage < 64; ++decalage) {
            for (std::size_t n :
                 {0, 1, 15, 16, 17, 63, 64, 65, 79, 255, 256, 257, 319, 511, 512, 513, 700, 960}) {
                const std::string_view s = aligne.substr(decalage, n);
                ASSERT_EQ(Crc32Suite(v, 0, s), Zlib(0, s)) << decalage << " + " << n;
            }
        }
    }
}

TEST(Crc32, RandomLengthsUpToMegabytesAndAnyPreviousCrcGiveZlibsValue) {
    std::mt19937_64 alea(7);
    const std::string octets = Aleatoires(4 << 20, alea);
    std::uniform_int_distribution<std::size_t> longueur(0, octets.size());
    for (int tirage = 0; tirage < 24; ++tirage) {
        const std::size_t n = longueur(alea);
        const std::size_t debut = (octets.size() - n) * (alea() % 1000) / 1000;
        const std::string_view s(octets.data() + debut, n);
        const auto precedent = static_cast<std::uint32_t>(alea());
        for (VoieCrc32 v : Voies()) {
            ASSERT_EQ(Crc32Suite(v, 0, s), Zlib(0, s)) << Nom(v) << " " << debut << " + " << n;
            ASSERT_EQ(Crc32Suite(v, precedent, s), Zlib(precedent, s))
                << Nom(v) << " " << debut << " + " << n << " after " << precedent;
        }
    }
}

TEST(Crc32, UniformBytesGiveZlibsValue) {
    // Long runs of one byte: zeros (a file zero-filled by a crash), ones, a repeated pattern.
    for (char c : {'\0', '\xff', '\x5a'}) {
        for (std::size_t n : {16, 64, 1000, 65536 + 13}) {
            const std::string s(n, c);
            for (VoieCrc32 v : Voies()) {
                for (std::uint32_t precedent : {0u, 0xFFFFFFFFu}) {
                    EXPECT_EQ(Crc32Suite(v, precedent, s), Zlib(precedent, s))
                        << Nom(v) << " " << n << " x " << int(c);
                }
            }
        }
    }
}

TEST(Crc32, PiecesContinueTheWhole) {
    std::mt19937_64 alea(42);
    const std::string octets = Aleatoires(300000, alea);
    const std::uint32_t entier = Zlib(0, octets);
    EXPECT_EQ(Crc32(octets), entier);
    const std::vector<VoieCrc32> voies = Voies();
    for (int tirage = 0; tirage < 50; ++tirage) {
        // Pieces of any length, empty ones among them, each computed by a way drawn for it.
        const std::size_t plus = tirage % 2 == 0 ? 40 : 5000;
        std::uint32_t crc = 0;
        std::size_t fait = 0;
        while (fait < octets.size()) {
            const std::size_t n = std::min<std::size_t>(alea() % plus, octets.size() - fait);
            const VoieCrc32 v = voies[alea() % voies.size()];
            crc = tirage < 10 ? Crc32Suite(crc, std::string_view(octets).substr(fait, n))
                              : Crc32Suite(v, crc, std::string_view(octets).substr(fait, n));
            fait += n;
        }
        ASSERT_EQ(crc, entier) << "draw " << tirage;
    }
}

} // namespace
} // namespace sillage
