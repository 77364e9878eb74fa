// Reading time of the two averaged-file dialects over the size of the file: it must grow
// linearly with the number of stations. The bare loop on the same file is the floor to compare a
// reader's time with.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "AvgShapes.h"
#include "BareParse.h"
#include "base/NumberFormat.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"

namespace {

constexpr int kFrequencies = 40;

std::string TempName(const char* stem, long size)
{
    return "/tmp/quillane_bench_" + std::to_string(getpid()) + "_" + stem + std::to_string(size);
}

std::string WriteAmtAvgFile(long stations)
{
    std::string name = TempName("amt", stations);
    std::ofstream out(name, std::ios::binary);
    WriteAmtAvgLine(out, stations);
    return name;
}

// The shapes in which each H value is shared by many stations, with 17, 4, 5 and 6 samples, and
// with 5 samples of which every fifth station lacks one.
template <int samples, bool lacking = false>
std::string WriteAmtAvgSharedValuesFile(long stations)
{
    std::string stem = "amtshared" + std::to_string(samples) + (lacking ? "lacking_" : "_");
    std::string name = TempName(stem.c_str(), stations);
    std::ofstream out(name, std::ios::binary);
    WriteAmtAvgSharedValues(out, stations, samples, lacking);
    return name;
}

// Every station with the same H phases and frequencies, each with its own H sensor (amplitudes
// apart), so that no stored Hy sample is shared and a lookup by phase alone meets all of them.
std::string WriteAmtAvgEqualHPhasesFile(long stations)
{
    std::string name = TempName("amtphase", stations);
    std::ofstream out(name, std::ios::binary);
    out << "\\ AMTAVG 7.76: bench\n$ XMTR  =    1.\n\\-++------++----+\n";
    for (long s = 0; s < stations; ++s)
        for (int f = 0; f < kFrequencies; ++f)
            out << CFormat(
                " 2 %ld %.4f ExHy 1.00 %.4e -100.0 %.6e 200.0 5.9e+3 -187.4 0.1 0.0 "
                "0.1 0.0 0.1 0.0\n",
                s * 10, 9600.0 * std::pow(0.8, f), 1.0 + s, 1e-4 * (1 + s * 1e-3));
    return name;
}

// Every station with the same first H sample and later ones of its own: no station shares a
// sensor, but every one of them matches all stored records in its first sample.
std::string WriteAmtAvgEqualFirstHFile(long stations)
{
    std::string name = TempName("amtfirst", stations);
    std::ofstream out(name, std::ios::binary);
    out << "\\ AMTAVG 7.76: bench\n$ XMTR  =    1.\n\\-++------++----+\n";
    for (long s = 0; s < stations; ++s)
        for (int f = 0; f < kFrequencies; ++f)
            out << CFormat(
                " 2 %ld %.4f ExHy 1.00 %.4e -100.0 %.6e %.1f 5.9e+3 -187.4 0.1 0.0 "
                "0.1 0.0 0.1 0.0\n",
                s * 5, 9600.0 * std::pow(0.8, f), 1.0 + s, f == 0 ? 1e-4 : 1e-4 * (1 + s * 1e-3),
                200.0 + f);
    return name;
}

// A few stations, each read at many frequencies 1 % apart.
std::string WriteAmtAvgManyFrequenciesFile(long frequencies)
{
    std::string name = TempName("amtfreq", frequencies);
    std::ofstream out(name, std::ios::binary);
    out << "\\ AMTAVG 7.76: bench\n$ XMTR  =    1.\n\\-++------++----+\n";
    for (long s = 0; s < 4; ++s)
        for (long f = 0; f < frequencies; ++f)
            out << CFormat(
                " 2 %ld %.6e ExHy 1.00 %.4e -100.0 %.4e %.1f 5.9e+3 -187.4 0.1 0.0 "
                "0.1 0.0 0.1 0.0\n",
                s * 10, 1e4 * std::pow(0.99, f), 1.0 + s, 1e-4 * (1 + s), 200.0 + s);
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

// Two dipoles, each with a data table as long as the frequency table.
std::string WriteCsamtAvgManyFrequenciesFile(long frequencies)
{
    std::string name = TempName("csamtfreq", frequencies);
    std::ofstream out(name, std::ios::binary);
    out << "CSAMT bench\n<Survey>\nSite: T1\nLine: L1\n\n<Channel>\nheading\n"
        << "tx T1 w 0 -1000 -5000 0 a b 1000 -5000 0\n"
        << "ex dp E0 0 0 0 0 a b 20 0 0\nex dp E1 0 20 0 0 a b 40 0 0\nhy s H 0 0 0 0\n\n"
        << "<Data>\n\nid:tx\nheading\n";
    for (long f = 0; f < frequencies; ++f)
        out << CFormat("%.6e 10 1 0 0.1\n", 1e4 * std::pow(0.99, f));
    out << "\n";
    for (const char* tag : {"E0", "E1", "H"}) {
        out << (tag[0] == 'H' ? "id:hy " : "id:ex ") << tag << "\nheading\n";
        for (long f = 0; f < frequencies; ++f)
            out << CFormat("%.6e 2.5 1 45 1\n", 1e4 * std::pow(0.99, f));
        out << "\n";
    }
    out << "<End>\n";
    return name;
}

std::string WriteCsamtAvgCloseFrequenciesFile(long frequencies)
{
    std::string name = TempName("csamtclose", frequencies);
    std::ofstream out(name, std::ios::binary);
    WriteCsamtAvgCloseFrequencies(out, frequencies);
    return name;
}

// Channel tags of as many lengths as there are dipoles, each "id:ex" line naming one of them: the
// shape on which a search per tag length would grow with the cube of the file.
std::string WriteCsamtAvgTagLengthsFile(long dipoles)
{
    std::string name = TempName("csamttags", dipoles);
    std::ofstream out(name, std::ios::binary);
    auto tag = [](long d) {
        return std::string(static_cast<size_t>(d + 1), static_cast<char>('a' + d % 26));
    };
    out << "CSAMT bench\n<Survey>\nSite: T1\nLine: L1\n\n<Channel>\nheading\n"
        << "tx T1 w 0 -1000 -5000 0 a b 1000 -5000 0\n";
    for (long d = 0; d < dipoles; ++d)
        out << "ex dp " << tag(d) << " 0 " << d * 20 << " 0 0 a b " << d * 20 + 20 << " 0 0\n";
    out << "hy s H 0 0 0 0\n\n<Data>\n\nid:tx\nheading\n1 10 1 0 0.1\n\n";
    for (long d = 0; d < dipoles; ++d) out << "id:ex " << tag(d) << "\nheading\n1 2.5 1 45 1\n\n";
    out << "<End>\n";
    return name;
}

// The same tags, each in a channel table of its own just before its data table.
std::string WriteCsamtAvgInterleavedTagsFile(long dipoles)
{
    std::string name = TempName("csamtmixed", dipoles);
    std::ofstream out(name, std::ios::binary);
    auto tag = [](long d) {
        return std::string(static_cast<size_t>(d + 1), static_cast<char>('a' + d % 26));
    };
    out << "CSAMT bench\n<Survey>\nSite: T1\nLine: L1\n\n<Data>\n\nid:tx\nheading\n"
        << "1 10 1 0 0.1\n\n";
    for (long d = 0; d < dipoles; ++d)
        out << "<Channel>\nheading\ntx T1 w 0 -1000 -5000 0 a b 1000 -5000 0\nex dp " << tag(d)
            << " 0 " << d * 20 << " 0 0 a b " << d * 20 + 20 << " 0 0\n\nid:ex " << tag(d)
            << "\nheading\n1 2.5 1 45 1\n\n";
    out << "<End>\n";
    return name;
}

// One reader over the file that Write makes for the benchmark's size.
template <std::string (*Write)(long)>
void BM_ReadAmtAvg(benchmark::State& state)
{
    std::string name = Write(state.range(0));
    for (auto _ : state) {
        SurveyStore store;
        ReadAmtAvgFile(store, name, nullptr);
        benchmark::DoNotOptimize(store.ExStations.data());
    }
    state.SetComplexityN(state.range(0));
    std::remove(name.c_str());
}

template <std::string (*Write)(long)>
void BM_ReadCsamtAvg(benchmark::State& state)
{
    std::string name = Write(state.range(0));
    for (auto _ : state) {
        SurveyStore store;
        bool other = false;
        ReadCsamtAvgFile(store, name, &other);
        benchmark::DoNotOptimize(store.ExStations.data());
    }
    state.SetComplexityN(state.range(0));
    std::remove(name.c_str());
}

// The bare loop over the file that Write makes.
template <std::string (*Write)(long)>
void BM_BareParse(benchmark::State& state)
{
    std::string name = Write(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(BareParse(name));
    state.SetComplexityN(state.range(0));
    std::remove(name.c_str());
}

// Tags of as many lengths as there are dipoles, in one channel table or each in its own, beside
// the bare loop on the same file.
BENCHMARK_TEMPLATE(BM_BareParse, WriteCsamtAvgTagLengthsFile)->Arg(64)->Arg(256)->Arg(1024);
BENCHMARK_TEMPLATE(BM_ReadCsamtAvg, WriteCsamtAvgTagLengthsFile)
    ->RangeMultiplier(4)
    ->Range(64, 1024)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_BareParse, WriteCsamtAvgInterleavedTagsFile)->Arg(64)->Arg(256)->Arg(1024);
BENCHMARK_TEMPLATE(BM_ReadCsamtAvg, WriteCsamtAvgInterleavedTagsFile)
    ->RangeMultiplier(4)
    ->Range(64, 1024)
    ->Complexity();
// The reader's wall time over the bare loop's, in the same run, at three sizes.
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgFile)->Arg(1024)->Arg(4096)->Arg(16384);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgFile)->Arg(16384);
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgEqualFirstHFile)->Arg(1024)->Arg(4096)->Arg(16384);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgEqualFirstHFile)->Arg(1024)->Arg(4096)->Arg(16384);
// Every H value shared by many stations, no two stations matching: 14 to 58 MB.
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgSharedValuesFile<17>)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgSharedValuesFile<17>)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768);
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgSharedValuesFile<4>)
    ->Arg(36000)
    ->Arg(72000)
    ->Arg(144000);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgSharedValuesFile<4>)
    ->Arg(36000)
    ->Arg(72000)
    ->Arg(144000);
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgSharedValuesFile<5>)
    ->Arg(28000)
    ->Arg(56000)
    ->Arg(112000);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgSharedValuesFile<5>)
    ->Arg(28000)
    ->Arg(56000)
    ->Arg(112000);
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgSharedValuesFile<5, true>)
    ->Arg(28000)
    ->Arg(56000)
    ->Arg(112000);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgSharedValuesFile<5, true>)
    ->Arg(28000)
    ->Arg(56000)
    ->Arg(112000);
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgSharedValuesFile<6>)
    ->Arg(24000)
    ->Arg(48000)
    ->Arg(96000);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgSharedValuesFile<6>)
    ->Arg(24000)
    ->Arg(48000)
    ->Arg(96000);
// Stations along a line, six to a sensor: 8 to 48 MB.
BENCHMARK_TEMPLATE(BM_BareParse, WriteAmtAvgFile)->Arg(2048)->Arg(4096)->Arg(12288);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgFile)->Arg(2048)->Arg(4096)->Arg(12288);
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgFile)
    ->RangeMultiplier(4)
    ->Range(64, 4096)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgEqualHPhasesFile)
    ->RangeMultiplier(4)
    ->Range(64, 4096)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ReadAmtAvg, WriteAmtAvgManyFrequenciesFile)
    ->RangeMultiplier(4)
    ->Range(64, 4096)
    ->Complexity();
// Distinct frequencies close together: 2.5 to 40 MB.
BENCHMARK_TEMPLATE(BM_BareParse, WriteCsamtAvgCloseFrequenciesFile)
    ->Arg(64000)
    ->Arg(256000)
    ->Arg(1024000);
BENCHMARK_TEMPLATE(BM_ReadCsamtAvg, WriteCsamtAvgCloseFrequenciesFile)
    ->Arg(64000)
    ->Arg(256000)
    ->Arg(1024000);
BENCHMARK_TEMPLATE(BM_BareParse, WriteCsamtAvgFile)->Arg(1024);
BENCHMARK_TEMPLATE(BM_ReadCsamtAvg, WriteCsamtAvgFile)
    ->RangeMultiplier(4)
    ->Range(64, 4096)
    ->Complexity();
BENCHMARK_TEMPLATE(BM_ReadCsamtAvg, WriteCsamtAvgManyFrequenciesFile)
    ->RangeMultiplier(4)
    ->Range(64, 4096)
    ->Complexity();

}  // namespace
