// Heap that each writer holds at its peak, against the size of the file it writes. Every
// allocation of this program is counted, so the figure holds the file's text and whatever else
// the writer keeps while it writes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "base/TextStream.h"
#include "export/ImpWriter.h"
#include "export/MtdWriter.h"
#include "export/ProfileSelection.h"
#include "export/StnWriter.h"
#include "export/ZFileWriter.h"
#include "model3d/ModelFiles.h"

namespace {

std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};

// Each block carries its size in front of it, so that a delete knows what it frees.
constexpr size_t kPrefix = alignof(std::max_align_t);

void* Allocate(size_t size)
{
    void* block = std::malloc(size + kPrefix);
    if (!block) throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    const size_t live = liveBytes += size;
    size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + kPrefix;
}

void Release(void* p)
{
    if (!p) return;
    void* block = static_cast<char*>(p) - kPrefix;
    liveBytes -= *static_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(size_t size)
{
    return Allocate(size);
}
void* operator new[](size_t size)
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    Release(p);
}
void operator delete[](void* p) noexcept
{
    Release(p);
}
void operator delete(void* p, size_t) noexcept
{
    Release(p);
}
void operator delete[](void* p, size_t) noexcept
{
    Release(p);
}

namespace {

// Ex stations at 40 frequencies of one source, one transmitter record per frequency.
SurveyStore Survey(int stations)
{
    SurveyStore s;
    for (int k = 0; k < 40; ++k) {
        TxData tx;
        tx.Name = "T1";
        tx.Ax = -500;
        tx.Bx = 500;
        tx.Length = 1000;
        tx.Fip.Freq = 8192.0f / static_cast<float>(1 << (k / 3)) / static_cast<float>(1 + k % 3);
        tx.Fip.Current = 10;
        s.Transmitters.push_back(tx);
        s.OutputFreqs.push_back(tx.Fip.Freq);
    }
    for (int i = 0; i < stations; ++i) {
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
            hy.Phase.X.push_back(f);
            hy.Phase.Y.push_back(-0.01f * k);
        }
        ex.Amplitude.Count = ex.Phase.Count = 40;
        hy.Amplitude.Count = hy.Phase.Count = 40;
        s.ProfileIndices.push_back(i);
        s.ExStations.push_back(ex);
        s.HyStations.push_back(hy);
        s.StaticFactors.push_back({ex.Name, 1.0f});
    }
    return s;
}

const SurveyStore& LargeSurvey()
{
    static const SurveyStore store = Survey(2000);
    return store;
}

// A mesh of 80 x 80 cells and 50 layers, with a boundary polygon of 2,000 vertices.
const ModelData& LargeModel()
{
    static const ModelData data = [] {
        ModelData d;
        d.CellDx.assign(80, 50);
        d.CellDy.assign(80, 60);
        d.LayerDz.assign(50, 20);
        d.LayerRho.assign(50, 100);
        for (int i = 0; i < 2000; ++i) {
            d.BoundaryX.push_back(1000.0 * i);
            d.BoundaryY.push_back(-500.0 * i);
        }
        return d;
    }();
    return data;
}

ModelSettings Settings()
{
    ModelSettings s;
    s.MxRefEdit = "100";
    s.MyRefEdit = "-200";
    s.MzRefEdit = "0";
    s.MRotEdit = "0";
    return s;
}

// Runs the writer and reports its peak heap per byte of the file.
void MeasureWriter(benchmark::State& state, const std::string& path,
                   const std::function<void()>& write)
{
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = liveBytes.load();
        peakBytes = before;
        write();
        peak = peakBytes.load() - before;
    }
    std::string bytes;
    ReadFileBytes(path, bytes);
    std::remove(path.c_str());
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    state.counters["peak_per_file_byte"] =
        static_cast<double>(peak) / static_cast<double>(bytes.size());
}

std::string BenchFile(const char* extension)
{
    return "/tmp/quillane_writer_memory_" + std::to_string(getpid()) + extension;
}

void BM_ImpComplexMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".imp");
    MeasureWriter(state, path, [&] {
        WriteImpFileComplex(LargeSurvey(), path, "", "", 0, false, false, nullptr);
    });
}
BENCHMARK(BM_ImpComplexMemory)->Unit(benchmark::kMillisecond);

void BM_ImpAmplitudeMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".imp");
    MeasureWriter(state, path, [&] {
        WriteImpFileAmplitude(LargeSurvey(), path, "", "", 0, false, false, nullptr);
    });
}
BENCHMARK(BM_ImpAmplitudeMemory)->Unit(benchmark::kMillisecond);

void BM_MtdMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".mtd");
    MeasureWriter(state, path, [&] { WriteMtdFile(LargeSurvey(), path, "", "\xff", 40, true); });
}
BENCHMARK(BM_MtdMemory)->Unit(benchmark::kMillisecond);

void BM_ZFileMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".z");
    MeasureWriter(state, path, [&] { WriteZFile(LargeSurvey(), path, "0", "1e9", 40, true); });
}
BENCHMARK(BM_ZFileMemory)->Unit(benchmark::kMillisecond);

void BM_StnMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".stn");
    MeasureWriter(state, path, [&] { WriteStnFile(LargeSurvey(), path); });
}
BENCHMARK(BM_StnMemory)->Unit(benchmark::kMillisecond);

void BM_ProfileResponseMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".txt");
    MeasureWriter(state, path, [&] { WriteProfileResponseFile(path, LargeSurvey()); });
}
BENCHMARK(BM_ProfileResponseMemory)->Unit(benchmark::kMillisecond);

void BM_ModelMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".m");
    MeasureWriter(state, path, [&] { WriteModelFlat(Settings(), LargeModel(), path); });
}
BENCHMARK(BM_ModelMemory)->Unit(benchmark::kMillisecond);

void BM_CovarianceMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".cov");
    MeasureWriter(state, path, [&] { WriteCovarianceFlat(Settings(), LargeModel(), path); });
}
BENCHMARK(BM_CovarianceMemory)->Unit(benchmark::kMillisecond);

void BM_BoundaryMemory(benchmark::State& state)
{
    const std::string path = BenchFile(".bln");
    MeasureWriter(state, path, [&] { SaveBoundaryBln(LargeModel(), path); });
}
BENCHMARK(BM_BoundaryMemory)->Unit(benchmark::kMillisecond);

}  // namespace
