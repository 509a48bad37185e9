// The CRC-32 that checks the store's files against its manifest, measured beside zlib's crc32_z
// on the same bytes: 64 MiB (a large table, read from memory) and 256 KiB (bytes already in the
// cache), by the way Crc32 takes and by each way this processor has. bytes_per_second gives the
// throughputs; their ratio is the gain. Out of the cache the memory's speed bounds them all.

#include "store/crc32.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <zlib.h>

namespace {

using namespace sillage;

const std::string& Octets(std::size_t n) {
    static std::string octets;
    if (octets.size() != n) {
        std::mt19937_64 alea(2004);
        octets.assign(n, '\0');
        for (char& c : octets) {
            c = static_cast<char>(alea());
        }
    }
    return octets;
}

void BM_Zlib(benchmark::State& state) {
    const std::string& octets = Octets(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ::crc32_z(0, reinterpret_cast<const Bytef*>(octets.data()), octets.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Crc32(benchmark::State& state) {
    const std::string& octets = Octets(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crc32(octets));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// state.range(1): the way (VoieCrc32), skipped when this processor lacks it.
void BM_Crc32Voie(benchmark::State& state) {
    const auto voie = static_cast<VoieCrc32>(state.range(1));
    if (!VoieDisponible(voie)) {
        state.SkipWithError("ce processeur n'a pas cette voie");
        return;
    }
    const std::string& octets = Octets(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crc32Suite(voie, 0, octets));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

constexpr std::int64_t k64Mio = std::int64_t{64} << 20;
constexpr std::int64_t k256Kio = std::int64_t{256} << 10;

} // namespace

BENCHMARK(BM_Zlib)->Arg(k64Mio)->Arg(k256Kio)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32)->Arg(k64Mio)->Arg(k256Kio)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32Voie)
    ->ArgsProduct({{k64Mio, k256Kio},
                   {static_cast<std::int64_t>(VoieCrc32::Pclmul),
                    static_cast<std::int64_t>(VoieCrc32::Vpclmul)}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
