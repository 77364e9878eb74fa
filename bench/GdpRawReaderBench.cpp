// Reading and rewriting a generated GDP32 raw file of 2,000 stations by 40 frequencies, laid out
// as the receiver writes it: groups of five Ex dipoles and one H channel, each group stepped
// through every frequency. Beside it, the bare loop on the same file, and three crafted files of
// frequencies on which a reader that tests each against all would be quadratic, each beside the
// bare loop on it.

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "BareParse.h"
#include "RawStationsFile.h"
#include "base/NumberFormat.h"
#include "base/StringList.h"
#include "base/TextStream.h"
#include "import/GdpRawReader.h"

namespace {

constexpr int kStations = 2000;
constexpr int kFrequencies = 40;
constexpr int kGroupSize = 5;

std::string GeneratedFile()
{
    std::string text =
        "GDP-32 receiver, generated survey\r\n1\r\nCSAMT setup\r\n"
        "OPER bench 2013 3 29 dipole 50\r\nJob line A 12\r\n";
    int block = 2;
    for (int first = 0; first < kStations; first += kGroupSize) {
        for (int f = 0; f < kFrequencies; ++f) {
            double freq = 8192.0 * std::pow(2.0, -0.25 * f);
            text += CFormat("%d\r\nCSAMT data\r\nTx 3 Rx %d\r\n%.6g Hz 0 0 0 0 8.5\r\n", block++,
                            1000 + first, freq);
            for (int k = 0; k < kGroupSize; ++k)
                text += CFormat("%d ex %d %.5gm %.1f\r\n", k + 1, 1000 + first + k,
                                1.0 + 0.01 * f + 0.001 * k, -785.0 + f);
            text += CFormat("%d hy %d %.5gu %.1f\r\n", kGroupSize + 1, 1000 + first, 250.0 + f,
                            -100.0 - f);
        }
    }
    return text;
}

class BenchFile {
public:
    BenchFile()
        : path_((std::filesystem::temp_directory_path() /
                 ("quillane_bench_" + std::to_string(getpid()) + ".raw"))
                    .string())
    {
        StringList lines;
        lines.SetText(GeneratedFile());
        lines.SaveToFile(path_);
    }
    ~BenchFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

const BenchFile& File()
{
    static BenchFile file;
    return file;
}

void BM_ReadGdpRawFile(benchmark::State& state)
{
    const std::string& path = File().Path();
    size_t bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        SurveyStore store;
        ReadGdpRawFile(store, path);
        benchmark::DoNotOptimize(store.ExStations.data());
        if (store.ExStations.size() != kStations || store.Transmitters.size() != kFrequencies ||
            store.ExStations.back().Amplitude.X.size() != kFrequencies)
            state.SkipWithError("the generated survey was not read whole");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadGdpRawFile)->Unit(benchmark::kMillisecond);

void BM_BareParse(benchmark::State& state)
{
    const std::string& path = File().Path();
    for (auto _ : state) benchmark::DoNotOptimize(BareParse(path));
}
BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond);

// A file of blocks of one Ex dipole each, the frequency of block k given by frequency(k), all
// for one station group or each for a group of its own.
template <double (*Frequency)(long), bool kOneGroup>
std::string WriteCraftedFrequencies(long blocks)
{
    std::string path = File().Path() + ".crafted";
    std::ofstream out(path, std::ios::binary);
    out << "GDP-32 receiver, crafted\r\n";
    for (long k = 0; k < blocks; ++k) {
        long rx = kOneGroup ? 1000 : 1000 + k;
        out << CFormat(
            "%ld\r\nCSAMT data\r\nTx 3 Rx %ld\r\n%.9e Hz 0 0 0 0 8.5\r\n"
            "1 ex %ld 1.5m -785.0\r\n2 hy %ld 250u -100.0\r\n",
            k + 1, rx, Frequency(k), rx, rx);
    }
    return path;
}

// Every block's frequency is a sample of its group's station.
template <double (*Frequency)(long), bool kOneGroup>
void BM_ReadCraftedFrequencies(benchmark::State& state)
{
    const long blocks = state.range(0);
    const std::string path = WriteCraftedFrequencies<Frequency, kOneGroup>(blocks);
    for (auto _ : state) {
        SurveyStore store;
        ReadGdpRawFile(store, path);
        benchmark::DoNotOptimize(store.ExStations.data());
        const size_t stations = kOneGroup ? 1 : static_cast<size_t>(blocks);
        const size_t samples = kOneGroup ? static_cast<size_t>(blocks) : 1;
        if (store.ExStations.size() != stations ||
            store.ExStations.back().Amplitude.X.size() != samples)
            state.SkipWithError("every frequency should make a sample");
    }
    state.SetComplexityN(blocks);
    std::remove(path.c_str());
}

// The bare loop over the same file.
template <double (*Frequency)(long), bool kOneGroup>
void BM_BareParseCraftedFrequencies(benchmark::State& state)
{
    const std::string path = WriteCraftedFrequencies<Frequency, kOneGroup>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(BareParse(path));
    state.SetComplexityN(state.range(0));
    std::remove(path.c_str());
}

// Distinct frequencies below 1/512 Hz, one station group each.
double TinyFrequency(long k)
{
    return 1e-4 + 1e-9 * static_cast<double>(k);
}
// Frequencies 0.02 % apart, all for one station group.
double SpreadFrequency(long k)
{
    return std::pow(1.0002, static_cast<double>(k));
}
// Distinct frequencies that are all 0 as singles, all for one station group.
double VanishingFrequency(long k)
{
    return 1e-250 * static_cast<double>(k + 1);
}

void CraftedSizes(benchmark::internal::Benchmark* b)
{
    b->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond)->Complexity();
}
BENCHMARK_TEMPLATE(BM_BareParseCraftedFrequencies, TinyFrequency, false)->Apply(CraftedSizes);
BENCHMARK_TEMPLATE(BM_ReadCraftedFrequencies, TinyFrequency, false)->Apply(CraftedSizes);
BENCHMARK_TEMPLATE(BM_BareParseCraftedFrequencies, SpreadFrequency, true)->Apply(CraftedSizes);
BENCHMARK_TEMPLATE(BM_ReadCraftedFrequencies, SpreadFrequency, true)->Apply(CraftedSizes);
BENCHMARK_TEMPLATE(BM_BareParseCraftedFrequencies, VanishingFrequency, true)->Apply(CraftedSizes);
BENCHMARK_TEMPLATE(BM_ReadCraftedFrequencies, VanishingFrequency, true)->Apply(CraftedSizes);

void BM_RewriteTextFile(benchmark::State& state)
{
    const std::string& path = File().Path();
    size_t bytes = std::filesystem::file_size(path);
    for (auto _ : state) RewriteTextFile(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_RewriteTextFile)->Unit(benchmark::kMillisecond);

// The open of a ".raw" file of one station per block (the rewrite, or the rewrite and the reading)
// beside the bare read of the same bytes, at the sizes of state.range(0) blocks.
enum class OpenStep { ReadBytes, Rewrite, Open };

template <OpenStep kStep>
void BM_OpenStationPerBlock(benchmark::State& state)
{
    const std::string path = File().Path() + ".stations.raw";
    {
        std::ofstream out(path, std::ios::binary);
        WriteRawStations(out, state.range(0));
    }
    const size_t bytes = std::filesystem::file_size(path);
    std::string text;
    for (auto _ : state) {
        if (kStep == OpenStep::ReadBytes) {
            ReadFileBytes(path, text);
            benchmark::DoNotOptimize(text.data());
            continue;
        }
        RewriteTextFile(path);
        if (kStep == OpenStep::Open) {
            SurveyStore store;
            ReadGdpRawFile(store, path);
            benchmark::DoNotOptimize(store.ExStations.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetComplexityN(static_cast<int64_t>(bytes));
    std::remove(path.c_str());
}
// The file sizes of the peak-memory harness: about 3, 13 and 51 MB.
void StationSizes(benchmark::internal::Benchmark* b)
{
    b->Arg(50000)->Arg(200000)->Arg(800000)->Unit(benchmark::kMillisecond)->Complexity();
}
BENCHMARK_TEMPLATE(BM_OpenStationPerBlock, OpenStep::ReadBytes)->Apply(StationSizes);
BENCHMARK_TEMPLATE(BM_OpenStationPerBlock, OpenStep::Rewrite)->Apply(StationSizes);
BENCHMARK_TEMPLATE(BM_OpenStationPerBlock, OpenStep::Open)->Apply(StationSizes);

}  // namespace
