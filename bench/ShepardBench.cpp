// Terrain values of a 200 x 200 column mesh from 10,000 scattered terrain points, by the core
// alone and as the model builder dialog computes them.
#include <benchmark/benchmark.h>

#include <random>

#include "model3d/Mesh.h"
#include "model3d/Terrain.h"

#ifdef QUILLANE_BENCH_DIALOG
#include <QApplication>

#include "model3d/forms/Save3DModel.h"
#endif

namespace {

struct Setup {
    ModelSettings Settings;
    ModelData Data;
};

Setup MakeSetup()
{
    Setup s;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(0, 5000), height(200, 900);
    for (int i = 0; i < 10000; ++i) {
        s.Data.TerrainX.push_back(coordinate(random));
        s.Data.TerrainY.push_back(coordinate(random));
        s.Data.TerrainZ.push_back(height(random));
    }
    ModelSettings& m = s.Settings;
    m.Nx = m.Ny = 190;
    m.NxS = m.NyS = 5;
    m.Dx = m.Dy = "27";
    m.NxScale = m.NyScale = "1.5";
    m.MxRefEdit = m.MyRefEdit = "-500";
    BuildXMesh(m, s.Data);
    BuildYMesh(m, s.Data);
    return s;
}

#ifdef QUILLANE_BENCH_DIALOG
// Both cases run in a process with the application's threads, as the dialog does: a second
// thread alone slows the core's allocations by about a sixth.
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "ShepardBench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
}
#else
void EnsureApplication() {}
#endif

void BM_ColumnValues(benchmark::State& state)
{
    EnsureApplication();
    Setup s = MakeSetup();
    long calls = 0;
    PendingMessages pending = [&calls] { ++calls; };
    for (auto _ : state) {
        std::vector<float> values = ComputeColumnValues(s.Settings, s.Data, pending);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["columns"] = static_cast<double>(s.Data.CellDx.size() * s.Data.CellDy.size());
}
BENCHMARK(BM_ColumnValues)->Unit(benchmark::kMillisecond);

#ifdef QUILLANE_BENCH_DIALOG
// The same step as the model builder dialog runs it, letting window messages run as it does;
// compare with BM_ColumnValues.
void BM_ColumnValuesInTheDialog(benchmark::State& state)
{
    EnsureApplication();
    Setup s = MakeSetup();
    PendingMessages pending = ModelBuilderPendingMessages();
    for (auto _ : state) {
        std::vector<float> values = ComputeColumnValues(s.Settings, s.Data, pending);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["columns"] = static_cast<double>(s.Data.CellDx.size() * s.Data.CellDy.size());
}
BENCHMARK(BM_ColumnValuesInTheDialog)->Unit(benchmark::kMillisecond);
#endif

// One row of the same mesh with every pass scanning all points, for comparison.
void BM_ColumnRowScanningAllPoints(benchmark::State& state)
{
    Setup s = MakeSetup();
    const ModelData& d = s.Data;
    float r0 = StartingRadius(d.TerrainX.data(), d.TerrainY.data(), d.TerrainCount());
    for (auto _ : state) {
        float x = -500;
        for (float w : d.CellDx) {
            float v;
            ShepardInterpolate(x + 0.5f * w, 2500, d.TerrainX.data(), d.TerrainY.data(),
                               d.TerrainZ.data(), d.TerrainCount(), r0, v);
            benchmark::DoNotOptimize(v);
            x += w;
        }
    }
}
BENCHMARK(BM_ColumnRowScanningAllPoints)->Unit(benchmark::kMillisecond);

}  // namespace
