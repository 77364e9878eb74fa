// Reading time of the two averaged-file dialects over the size of the file: it must grow
// linearly with the number of stations.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/NumberFormat.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"

namespace {

constexpr int kFrequencies = 40;

std::string TempName(const char* stem, long size)
{
    return "/tmp/quillane_bench_" + std::to_string(getpid()) + "_" + stem + std::to_string(size);
}

// Stations 10 m apart, one H sensor for every six of them.
std::string WriteAmtAvgFile(long stations)
{
    std::string name = TempName("amt", stations);
    std::ofstream out(name, std::ios::binary);
    out << "\\ AMTAVG 7.76: bench\n$ ASPACE=  10.0m\n$ XMTR  =    1.\nskp Station Freq\n"
        << "\\-++------++----+\n";
    for (long s = 0; s < stations; ++s) {
        long sensor = s / 6;
        for (int f = 0; f < kFrequencies; ++f) {
            double freq = 9600.0 * std::pow(0.8, f);
            out << CFormat(
                " 2 %ld.0 %.4f ExHy 1.00 %.4e %.1f %.4e %.1f 5.9e+3 -187.4 0.1 0.0 "
                "0.1 0.0 0.1 0.0\n",
                s * 10, freq, 1.0 + s + f * 0.01, -100.0 - f, 1e-4 * (1 + sensor),
                200.0 + f + sensor);
        }
    }
    return name;
}

std::string WriteCsamtAvgFile(long dipoles)
{
    std::string name = TempName("csamt", dipoles);
    std::ofstream out(name, std::ios::binary);
    out << "CSAMT bench\n<Survey>\nSite: T1\nLine: L1\nElevation: 10\n\n<Channel>\nheading\n"
        << "tx T1 w 0 -1000 -5000 0 a b 1000 -5000 0\n";
    for (long d = 0; d < dipoles; ++d)
        out << "ex dp E" << d << " 0 " << d * 20 << " 0 0 a b " << d * 20 + 20 << " 0 0\n";
    out << "hy s H 0 0 0 0\n\n<Data>\n\nid:tx\nheading\n";
    for (int f = 0; f < kFrequencies; ++f) out << CFormat("%d 10 1 0 0.1\n", f + 1);
    out << "\n";
    for (long d = 0; d < dipoles; ++d) {
        out << "id:ex E" << d << "\nheading\n";
        for (int f = 0; f < kFrequencies; ++f) out << CFormat("%d 2.5 1 45 1\n", f + 1);
        out << "\n";
    }
    out << "<End>\n";
    return name;
}

void BM_ReadAmtAvgFile(benchmark::State& state)
{
    std::string name = WriteAmtAvgFile(state.range(0));
    for (auto _ : state) {
        SurveyStore store;
        ReadAmtAvgFile(store, name, nullptr);
        benchmark::DoNotOptimize(store.ExStations.data());
    }
    state.SetComplexityN(state.range(0));
    std::remove(name.c_str());
}
BENCHMARK(BM_ReadAmtAvgFile)->RangeMultiplier(4)->Range(64, 4096)->Complexity();

void BM_ReadCsamtAvgFile(benchmark::State& state)
{
    std::string name = WriteCsamtAvgFile(state.range(0));
    for (auto _ : state) {
        SurveyStore store;
        bool other = false;
        ReadCsamtAvgFile(store, name, &other);
        benchmark::DoNotOptimize(store.ExStations.data());
    }
    state.SetComplexityN(state.range(0));
    std::remove(name.c_str());
}
BENCHMARK(BM_ReadCsamtAvgFile)->RangeMultiplier(4)->Range(64, 4096)->Complexity();

}  // namespace
