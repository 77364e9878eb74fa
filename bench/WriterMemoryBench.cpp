// Heap that each writer holds at its peak, beyond the survey it reads, against the size of the
// file it writes: 20,000 stations of 40 frequencies. Every allocation of this program is counted,
// so the figure holds whatever the writer keeps while it writes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "base/TextStream.h"
#include "bench/BenchSurvey.h"
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

const SurveyStore& LargeSurvey()
{
    static const SurveyStore store = BenchSurvey(20000);
    return store;
}

// Made before any measurement, so that no writer is charged with it.
const SurveyStore& warmSurvey = LargeSurvey();

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
    state.counters["peak_bytes"] = static_cast<double>(peak);
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
    MeasureWriter(state, path, [&] { WriteMtdFile(LargeSurvey(), path, "0", "1e9", 40, true); });
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
