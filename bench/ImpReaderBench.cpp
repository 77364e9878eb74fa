// Reading an IMP file of many blocks: the time should grow with the file, not with its square.
// The bare loop on the same file is the floor to compare the reader's time with.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "BareParse.h"
#include "import/ImpReader.h"

namespace {

// The shapes of the blocks: distinct frequencies of a normal source; frequencies 1e-4 + k x 1e-9
// Hz, every one apart from the others by more than the tolerance, but all below 1/512; or one
// frequency with source centres as close (tiny Cx).
enum Shape { kNormal = 0, kTinyFrequencies = 1, kTinyCentres = 2 };

std::string MakeFile(int blocks, int receivers, int shape = kNormal)
{
    std::string path = "/tmp/quillane-bench-" + std::to_string(getpid()) + "-" +
                       std::to_string(shape) + "-" + std::to_string(blocks) + "x" +
                       std::to_string(receivers) + ".imp";
    std::ofstream out(path, std::ios::binary);
    out << "Description: Ex responses from Palvex \r\nUnits: V/m/A\r\nSign convension:   1 \r\n\r\n"
        << blocks << "\r\n";
    char line[256];
    for (int b = 0; b < blocks; ++b) {
        std::snprintf(line, sizeof line,
                      "%.9e%12d%12d%12d%16.9e%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f\r\n",
                      shape == kNormal            ? 1.0 + b
                      : shape == kTinyFrequencies ? 1e-4 + b * 1e-9
                                                  : 8.0,
                      2, receivers, 2, shape == kTinyCentres ? 1e-4 + b * 1e-9 : 0.0, 0.0, 0.0,
                      1000.0, 1000.0, 1.0, 0.0, 0.0, 0.0);
        out << line;
        for (int axis = 0; axis < 3; ++axis) {
            for (int r = 0; r < receivers; ++r) {
                std::snprintf(line, sizeof line, "%13.3f", 100.0 * r);
                out << line;
            }
            out << "\r\n";
        }
        out << "                 Re(Ex)         Im(Ex)\r\n";
        for (int r = 0; r < receivers; ++r) {
            std::snprintf(line, sizeof line, "%10d%15.6e%15.6e\r\n%25.6e%15.6e\r\n", r, 1e-7, 2e-8,
                          1e-9, 1e-9);
            out << line;
        }
    }
    return path;
}

void BM_ReadImpFile(benchmark::State& state)
{
    const int blocks = static_cast<int>(state.range(0));
    const int receivers = static_cast<int>(state.range(1));
    const std::string path =
        MakeFile(blocks, receivers, state.range(2) ? static_cast<int>(state.range(2)) : kNormal);
    for (auto _ : state) {
        SurveyStore store;
        ReadImpFile(store, path);
        benchmark::DoNotOptimize(store.ExStations.data());
        state.counters["transmitters"] = static_cast<double>(store.Transmitters.size());
    }
    state.SetItemsProcessed(state.iterations() * blocks * receivers);
    std::remove(path.c_str());
}

void BM_BareParse(benchmark::State& state)
{
    const std::string path =
        MakeFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                 static_cast<int>(state.range(2)));
    for (auto _ : state) benchmark::DoNotOptimize(BareParse(path));
    std::remove(path.c_str());
}

}  // namespace

BENCHMARK(BM_BareParse)
    ->Args({100, 100, kNormal})
    ->Args({1000, 10, kNormal})
    ->Args({10000, 1, kNormal});
BENCHMARK(BM_ReadImpFile)
    ->Args({100, 100, kNormal})
    ->Args({1000, 10, kNormal})
    ->Args({10000, 1, kNormal});
// One receiver per block, all frequencies or all centres below 1/512: the reader's time over the
// bare loop's must stay the same at the three sizes.
BENCHMARK(BM_BareParse)->ArgsProduct({{5000, 20000, 80000}, {1}, {kTinyFrequencies}});
BENCHMARK(BM_ReadImpFile)->ArgsProduct({{5000, 20000, 80000}, {1}, {kTinyFrequencies}});
BENCHMARK(BM_BareParse)->ArgsProduct({{5000, 20000, 80000}, {1}, {kTinyCentres}});
BENCHMARK(BM_ReadImpFile)->ArgsProduct({{5000, 20000, 80000}, {1}, {kTinyCentres}});
