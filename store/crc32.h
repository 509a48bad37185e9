// CRC-32 as zlib computes it (the polynomial 0x04C11DB7, bits taken least significant first,
// initial and final values all ones): the check of every file of the store against its manifest.
//
// On x86-64 with carry-less multiplication (PCLMULQDQ, or VPCLMULQDQ with AVX-512) the bytes are
// folded 64 or 256 at a time, several times faster than zlib's table; the processor is asked
// once which way it has. Elsewhere, and for inputs under 16 bytes, zlib's crc32_z computes it.
// Every way gives the same values.
#pragma once

#include <cstdint>
#include <string_view>

namespace sillage {

// The CRC-32 of octets (0 for none; "123456789" gives 0xCBF43926).
std::uint32_t Crc32(std::string_view octets);

// The CRC-32 of some bytes followed by octets, crc being the CRC-32 of those bytes (0 for none),
// as zlib's crc32 continues: Crc32Suite(Crc32(a), b) == Crc32(a + b), so a file's CRC-32 may be
// computed piece by piece. No octets give crc back.
std::uint32_t Crc32Suite(std::uint32_t crc, std::string_view octets);

// The ways of computing it, for the tests and the benchmarks: zlib's table, PCLMULQDQ folding four
// 16-byte lanes, VPCLMULQDQ folding four 64-byte registers.
enum class VoieCrc32 { Portable, Pclmul, Vpclmul };

// Whether this processor (and this build) has the way; Portable always.
bool VoieDisponible(VoieCrc32 voie);
// The way Crc32 and Crc32Suite take: the fastest that VoieDisponible allows.
VoieCrc32 VoieRetenue();
// Crc32Suite computed the way voie says; a way the processor lacks computes as Portable does.
std::uint32_t Crc32Suite(VoieCrc32 voie, std::uint32_t crc, std::string_view octets);

} // namespace sillage
