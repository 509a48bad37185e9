#include "store/crc32.h"

#include <cstddef>
#include <zlib.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace sillage {

namespace {

// zlib's crc32_z, which answers 0 to no bytes at a null address whatever crc it is given.
std::uint32_t SuitePortable(std::uint32_t crc, std::string_view octets) {
    if (octets.empty()) {
        return crc;
    }
    return static_cast<std::uint32_t>(
        ::crc32_z(crc, reinterpret_cast<const Bytef*>(octets.data()), octets.size()));
}

#if defined(__x86_64__)

// How the bytes are polynomials over GF(2). The CRC-32 of a message M(x) is the remainder of
// M(x) x^32 by P(x) = x^32 + x^26 + x^23 + x^22 + x^16 + x^12 + x^11 + x^10 + x^8 + x^7 + x^5 +
// x^4 + x^2 + x + 1, the first bit of the message being its highest power and each byte giving
// its least significant bit first; the previous CRC's register, complemented, is added to the
// first 32 bits, and the remainder is complemented again.
//
// A 16-byte block loaded as it lies in memory into a 128-bit register therefore holds at bit k
// the coefficient of x^(127-k): its low 64-bit half holds x^127..x^64, its high half x^63..x^0.
// A 64-bit operand of the carry-less multiplication, read the same way, holds at bit i the
// coefficient of x^(63-i); the product of operands a and b has at bit k the sum of a_i b_j over
// i + j = k, the coefficient of x^(126-k) of a(x) b(x): read as a 128-bit register it is
// a(x) b(x) x. The CRC's own register holds at bit j the coefficient of x^(31-j).
//
// Folding: a block A = H x^64 + L followed by D more bits before the end of a block T adds
// A x^D = H x^(D+64) + L x^D to T, modulo P. The product of H by the operand of x^(D+63) mod P
// (of degree 31 at most, in bits 32..63) is congruent to H x^(D+64) and of degree 95 at most; so
// is L's by the operand of x^(D-1) mod P to L x^D; both fit in T's 128 bits.

// P without its x^32 term, bit d the coefficient of x^d.
constexpr std::uint32_t kGenerateur = 0x04C11DB7;

// x^n mod P, bit d the coefficient of x^d: 1 multiplied by x n times, P taken away whenever the
// degree reaches 32.
constexpr std::uint32_t PuissanceModulo(unsigned n) {
    std::uint32_t r = 1;
    for (unsigned i = 0; i < n; ++i) {
        const bool degre32 = (r & 0x80000000u) != 0;
        r <<= 1;
        if (degre32) {
            r ^= kGenerateur;
        }
    }
    return r;
}

// Bits 0..largeur-1 of v in the reverse order.
constexpr std::uint64_t Inverse(std::uint64_t v, unsigned largeur) {
    std::uint64_t r = 0;
    for (unsigned i = 0; i < largeur; ++i) {
        r |= ((v >> i) & 1) << (largeur - 1 - i);
    }
    return r;
}

// The operand whose carry-less product by a half block multiplies it by x^n, modulo P: x^(n-1)
// mod P in bits 32..63 (the product adds the last x).
constexpr std::uint64_t Multiplicateur(unsigned n) {
    return Inverse(PuissanceModulo(n - 1), 32) << 32;
}

// floor(x^64 / P), of degree 32, by long division: its first term x^32 leaves x^32 (P - x^32),
// then each degree from 63 down to 32 still present takes away P times its power.
constexpr std::uint64_t QuotientX64() {
    constexpr std::uint64_t p = (std::uint64_t{1} << 32) | kGenerateur;
    std::uint64_t reste = std::uint64_t{kGenerateur} << 32;
    std::uint64_t quotient = std::uint64_t{1} << 32;
    for (unsigned d = 63; d >= 32; --d) {
        if ((reste >> d) & 1) {
            quotient |= std::uint64_t{1} << (d - 32);
            reste ^= p << (d - 32);
        }
    }
    return quotient;
}

// Pairs of operands, the low half's first. Four lanes 64 bytes apart fold by 512 bits, four
// 64-byte registers 256 bytes apart by 2048, a block onto the next by 128.
constexpr std::uint64_t kPli128[2] = {Multiplicateur(128 + 64), Multiplicateur(128)};
constexpr std::uint64_t kPli512[2] = {Multiplicateur(512 + 64), Multiplicateur(512)};
constexpr std::uint64_t kPli2048[2] = {Multiplicateur(2048 + 64), Multiplicateur(2048)};
// The last block V times x^32 brought down to 64 bits: its high terms by x^96, then what passes
// x^63 by x^64.
constexpr std::uint64_t kReduction[2] = {Multiplicateur(96), Multiplicateur(64)};
// Barrett's reduction of 64 bits to 32: floor(x^64 / P) and P, each of degree 32, their 33 bits
// reversed in bits 0..32 (the operand of the polynomial times x^31).
constexpr std::uint64_t kBarrett[2] = {Inverse(QuotientX64(), 33),
                                       Inverse((std::uint64_t{1} << 32) | kGenerateur, 33)};

static_assert(PuissanceModulo(32) == kGenerateur);
static_assert(QuotientX64() >> 32 == 1);

[[gnu::target("pclmul,sse4.1")]] inline __m128i Charge(const std::uint64_t (&paire)[2]) {
    return _mm_set_epi64x(static_cast<long long>(paire[1]), static_cast<long long>(paire[0]));
}

[[gnu::target("pclmul,sse4.1")]] inline __m128i Bloc(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Asks the cache for the 64 bytes at p + avance, which the memory then brings while the bytes
// before them are folded (on 64 MiB, a third to three quarters faster than with the processor's
// own guesses alone). The address may lie past the bytes: a prefetch never faults, and the address
// is made as an integer so that no pointer leaves its array.
[[gnu::target("pclmul,sse4.1")]] inline void Prelit(const char* p, std::size_t avance) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(p) + avance),
                 _MM_HINT_T0);
}

// a folded by the distance of k's pair, added to b.
[[gnu::target("pclmul,sse4.1")]] inline __m128i Plie(__m128i a, __m128i k, __m128i b) {
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11)), b);
}

// The CRC register of the message whose last block is v: V x^32 mod P.
[[gnu::target("pclmul,sse4.1")]] std::uint32_t Reduit(__m128i v) {
    const __m128i reduction = Charge(kReduction);
    // V x^32 = H x^96 + L x^32: H times x^96 mod P, of degree 95 at most, plus L x^32 (L moved
    // from bits 64..127 to 32..95) give Z, in bits 32..127.
    const __m128i z =
        _mm_xor_si128(_mm_clmulepi64_si128(v, reduction, 0x00),
                      _mm_and_si128(_mm_srli_si128(v, 4), _mm_set_epi32(-1, -1, -1, 0)));
    // Z = Zh x^64 + Zl, Zh in bits 32..63: Zh times x^64 mod P, of degree 63 at most, plus Zl
    // give U, of degree 63 at most, in the high half.
    const __m128i u = _mm_srli_si128(_mm_xor_si128(_mm_clmulepi64_si128(z, reduction, 0x10), z), 8);
    // Barrett: the quotient Q = floor(U / P) is floor(floor(U / x^32) floor(x^64 / P) / x^32),
    // exactly (no carry). floor(U / x^32), in bits 0..31 of U, moved to 32..63, times the
    // operand of floor(x^64 / P) x^31, holds Q in bits 32..63.
    const __m128i barrett = Charge(kBarrett);
    const __m128i q = _mm_clmulepi64_si128(_mm_slli_epi64(u, 32), barrett, 0x00);
    // Q P x^32 has the low 32 terms of Q P in bits 64..95; U's are in bits 32..63 of U. Their
    // sum is U - Q P, the remainder.
    const __m128i qp = _mm_clmulepi64_si128(q, barrett, 0x10);
    return static_cast<std::uint32_t>(_mm_extract_epi32(qp, 2)) ^
           static_cast<std::uint32_t>(_mm_extract_epi32(u, 1));
}

// Folds the whole blocks of [p, p + n) into v, the block before them, reduces, and continues
// over the last bytes (fewer than 16) with zlib.
[[gnu::target("pclmul,sse4.1")]] std::uint32_t Termine(__m128i v, const char* p, std::size_t n) {
    const __m128i pli = Charge(kPli128);
    for (; n >= 16; p += 16, n -= 16) {
        v = Plie(v, pli, Bloc(p));
    }
    return SuitePortable(~Reduit(v), {p, n});
}

[[gnu::target("pclmul,sse4.1")]] std::uint32_t SuitePclmul(std::uint32_t crc,
                                                           std::string_view octets) {
    if (octets.size() < 16) {
        return SuitePortable(crc, octets);
    }
    const char* p = octets.data();
    std::size_t n = octets.size();
    const __m128i registre = _mm_cvtsi32_si128(static_cast<int>(~crc));
    if (n < 64) {
        return Termine(_mm_xor_si128(Bloc(p), registre), p + 16, n - 16);
    }
    // Four lanes, each folded over the block 64 bytes further, so that the four chains of
    // products overlap.
    __m128i a0 = _mm_xor_si128(Bloc(p), registre);
    __m128i a1 = Bloc(p + 16);
    __m128i a2 = Bloc(p + 32);
    __m128i a3 = Bloc(p + 48);
    p += 64;
    n -= 64;
    const __m128i pli512 = Charge(kPli512);
    for (; n >= 64; p += 64, n -= 64) {
        Prelit(p, 2048);
        a0 = Plie(a0, pli512, Bloc(p));
        a1 = Plie(a1, pli512, Bloc(p + 16));
        a2 = Plie(a2, pli512, Bloc(p + 32));
        a3 = Plie(a3, pli512, Bloc(p + 48));
    }
    const __m128i pli128 = Charge(kPli128);
    return Termine(Plie(Plie(Plie(a0, pli128, a1), pli128, a2), pli128, a3), p, n);
}

#define SILLAGE_CIBLE_AVX512 gnu::target("avx512f,vpclmulqdq,pclmul,sse4.1")

// The pair in each of the four lanes. (GCC 12 warns of the undefined values that
// _mm512_broadcast_i32x4 and _mm512_extracti32x4_epi32 start from, hence set and maskz.)
[[SILLAGE_CIBLE_AVX512]] inline __m512i Charge4(const std::uint64_t (&paire)[2]) {
    const auto bas = static_cast<long long>(paire[0]);
    const auto haut = static_cast<long long>(paire[1]);
    return _mm512_set_epi64(haut, bas, haut, bas, haut, bas, haut, bas);
}

[[SILLAGE_CIBLE_AVX512]] inline __m512i Bloc64(const char* p) {
    return _mm512_loadu_si512(p);
}

// Each 16-byte lane of a folded by the distance of k's pair, added to b's.
[[SILLAGE_CIBLE_AVX512]] inline __m512i Plie(__m512i a, __m512i k, __m512i b) {
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(a, k, 0x00),
                                     _mm512_clmulepi64_epi128(a, k, 0x11), b, 0x96);
}

[[SILLAGE_CIBLE_AVX512]] std::uint32_t SuiteVpclmul(std::uint32_t crc, std::string_view octets) {
    if (octets.size() < 256) {
        return SuitePclmul(crc, octets);
    }
    const char* p = octets.data();
    std::size_t n = octets.size();
    // Four 64-byte registers, sixteen lanes, each folded over the block 256 bytes further.
    __m512i a0 = _mm512_xor_si512(
        Bloc64(p), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(~crc))));
    __m512i a1 = Bloc64(p + 64);
    __m512i a2 = Bloc64(p + 128);
    __m512i a3 = Bloc64(p + 192);
    p += 256;
    n -= 256;
    const __m512i pli2048 = Charge4(kPli2048);
    for (; n >= 256; p += 256, n -= 256) {
        for (std::size_t ligne = 0; ligne < 256; ligne += 64) {
            Prelit(p, 4096 + ligne);
        }
        a0 = Plie(a0, pli2048, Bloc64(p));
        a1 = Plie(a1, pli2048, Bloc64(p + 64));
        a2 = Plie(a2, pli2048, Bloc64(p + 128));
        a3 = Plie(a3, pli2048, Bloc64(p + 192));
    }
    // The four registers into one, then its lanes into one block.
    const __m512i pli512 = Charge4(kPli512);
    __m512i a = Plie(Plie(Plie(a0, pli512, a1), pli512, a2), pli512, a3);
    for (; n >= 64; p += 64, n -= 64) {
        a = Plie(a, pli512, Bloc64(p));
    }
    const __m128i pli128 = Charge(kPli128);
    __m128i v = _mm512_maskz_extracti32x4_epi32(0xF, a, 0);
    v = Plie(v, pli128, _mm512_maskz_extracti32x4_epi32(0xF, a, 1));
    v = Plie(v, pli128, _mm512_maskz_extracti32x4_epi32(0xF, a, 2));
    v = Plie(v, pli128, _mm512_maskz_extracti32x4_epi32(0xF, a, 3));
    return Termine(v, p, n);
}

#undef SILLAGE_CIBLE_AVX512

#endif

struct Disponibles {
    bool pclmul = false;
    bool vpclmul = false;
};

const Disponibles& Processeur() {
    static const Disponibles disponibles = [] {
        Disponibles d;
#if defined(__x86_64__)
        __builtin_cpu_init();
        d.pclmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
        d.vpclmul =
            d.pclmul && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
#endif
        return d;
    }();
    return disponibles;
}

using Fonction = std::uint32_t (*)(std::uint32_t, std::string_view);

Fonction FonctionDe(VoieCrc32 voie) {
    if (!VoieDisponible(voie)) {
        return &SuitePortable;
    }
    switch (voie) {
#if defined(__x86_64__)
    case VoieCrc32::Pclmul:
        return &SuitePclmul;
    case VoieCrc32::Vpclmul:
        return &SuiteVpclmul;
#endif
    default:
        return &SuitePortable;
    }
}

} // namespace

bool VoieDisponible(VoieCrc32 voie) {
    switch (voie) {
    case VoieCrc32::Portable:
        return true;
    case VoieCrc32::Pclmul:
        return Processeur().pclmul;
    case VoieCrc32::Vpclmul:
        return Processeur().vpclmul;
    }
    return false;
}

VoieCrc32 VoieRetenue() {
    return Processeur().vpclmul  ? VoieCrc32::Vpclmul
           : Processeur().pclmul ? VoieCrc32::Pclmul
                                 : VoieCrc32::Portable;
}

std::uint32_t Crc32Suite(VoieCrc32 voie, std::uint32_t crc, std::string_view octets) {
    return FonctionDe(voie)(crc, octets);
}

std::uint32_t Crc32Suite(std::uint32_t crc, std::string_view octets) {
    static const Fonction retenue = FonctionDe(VoieRetenue());
    return retenue(crc, octets);
}

std::uint32_t Crc32(std::string_view octets) {
    return Crc32Suite(0, octets);
}

} // namespace sillage
