#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "export/ImpWriter.h"
#include "export/MtdWriter.h"
#include "export/StnWriter.h"
#include "export/ZFileWriter.h"

namespace {

// 2,000 Ex stations with their own Hy stations, 40 frequencies each, and one transmitter record
// per frequency of one source.
const SurveyStore& LargeSurvey()
{
    static const SurveyStore store = [] {
        SurveyStore s;
        for (int k = 0; k < 40; ++k) {
            TxData tx;
            tx.Name = "T1";
            tx.Ax = -500;
            tx.Bx = 500;
            tx.Length = 1000;
            tx.Fip.Freq =
                8192.0f / static_cast<float>(1 << (k / 3)) / static_cast<float>(1 + k % 3);
            tx.Fip.Current = 10;
            s.Transmitters.push_back(tx);
            s.OutputFreqs.push_back(tx.Fip.Freq);
        }
        for (int i = 0; i < 2000; ++i) {
            TStation ex, hy;
            ex.Name = std::to_string(100 + 10 * i);
            hy.Name = "H" + ex.Name;
            ex.Info.HyName = hy.Name;
            ex.Info.TxName = hy.Info.TxName = "T1";
            ex.Info.X = hy.Info.X = static_cast<float>(10 * i - 10000);
            ex.Info.Y = hy.Info.Y = 6000;
            for (const TxData& tx : s.Transmitters) {
                const float f = tx.Fip.Freq;
                const float k = static_cast<float>(ex.Amplitude.X.size());
                ex.Amplitude.X.push_back(f);
                ex.Amplitude.Y.push_back(100.0f + k + static_cast<float>(i % 7));
                ex.Phase.X.push_back(f);
                ex.Phase.Y.push_back(0.02f * k);
                ex.Errors.X.push_back(1.0f);
                ex.Errors.Y.push_back(0.01f);
                hy.Amplitude.X.push_back(f);
                hy.Amplitude.Y.push_back(0.5f + 0.01f * k);
                hy.Phase.Y.push_back(-0.01f * k);
            }
            ex.Amplitude.Count = ex.Phase.Count = 40;
            s.ExStations.push_back(ex);
            s.HyStations.push_back(hy);
            s.StaticFactors.push_back({ex.Name, 1.0f});
        }
        return s;
    }();
    return store;
}

std::string BenchFile(const char* name)
{
    return "/tmp/quillane_export_bench_" + std::to_string(getpid()) + name;
}

void BM_WriteMtdFileCorrected(benchmark::State& state)
{
    const std::string path = BenchFile(".mtd");
    for (auto _ : state) WriteMtdFile(LargeSurvey(), path, "", "\xff", 40, true);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteMtdFileCorrected)->Unit(benchmark::kMillisecond);

void BM_WriteZFileCorrected(benchmark::State& state)
{
    const std::string path = BenchFile(".z");
    for (auto _ : state) WriteZFile(LargeSurvey(), path, "0", "1e9", 40, true);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteZFileCorrected)->Unit(benchmark::kMillisecond);

void BM_WriteImpFileComplex(benchmark::State& state)
{
    const std::string path = BenchFile(".imp");
    for (auto _ : state)
        WriteImpFileComplex(LargeSurvey(), path, "", "", 40, false, false, nullptr);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteImpFileComplex)->Unit(benchmark::kMillisecond);

void BM_WriteImpFileAmplitude(benchmark::State& state)
{
    const std::string path = BenchFile("_amp.imp");
    for (auto _ : state)
        WriteImpFileAmplitude(LargeSurvey(), path, "", "", 40, false, false, nullptr);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteImpFileAmplitude)->Unit(benchmark::kMillisecond);

void BM_WriteStnFile(benchmark::State& state)
{
    const std::string path = BenchFile(".stn");
    for (auto _ : state) WriteStnFile(LargeSurvey(), path);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteStnFile)->Unit(benchmark::kMillisecond);

}  // namespace
