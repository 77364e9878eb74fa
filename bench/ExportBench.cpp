#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/BenchSurvey.h"
#include "export/ImpWriter.h"
#include "export/MtdWriter.h"
#include "export/StationRows.h"
#include "export/StnWriter.h"
#include "export/ZFileWriter.h"

namespace {

const SurveyStore& LargeSurvey()
{
    static const SurveyStore store = BenchSurvey(2000);
    return store;
}

std::string BenchFile(const char* name)
{
    return "/tmp/quillane_export_bench_" + std::to_string(getpid()) + name;
}

// The bare work of the MTD and Z-file writers: every station's corrected curves, nothing written.
void BM_CorrectedCurvesBaseline(benchmark::State& state)
{
    const SurveyStore& store = LargeSurvey();
    for (auto _ : state) {
        const StationCurveIndex index(store);
        StationCurves curves;
        for (const TStation& s : store.ExStations) {
            ExportCurves(store, index, s.Name, true, curves);
            benchmark::DoNotOptimize(curves.RhoMT.data());
        }
    }
}
BENCHMARK(BM_CorrectedCurvesBaseline)->Unit(benchmark::kMillisecond);

void BM_WriteMtdFileCorrected(benchmark::State& state)
{
    const std::string path = BenchFile(".mtd");
    for (auto _ : state) WriteMtdFile(LargeSurvey(), path, "0", "1e9", 40, true);
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
