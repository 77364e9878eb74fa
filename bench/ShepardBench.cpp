// Terrain values of a 200 x 200 column mesh from 10,000 scattered terrain points, by the core
// alone and as the model builder dialog computes them; and from stations laid in lines as surveys
// lay them, against as many stations at random over the same ground.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "model3d/Mesh.h"
#include "model3d/ModelFiles.h"
#include "model3d/ModelTemplate.h"
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

// Lines of 200 stations 50 m apart, 500 m between lines, or as many stations at random over the
// same ground. The mesh is the builder's preset for the stations with 190 regular cells each way:
// it reaches far beyond them, where a growing radius takes a whole chord of a line at once.
enum class Layout { Lines, Random };

Setup MakeSurveySetup(Layout layout, int stations)
{
    Setup s;
    const int perLine = 200;
    const float spacing = 50, lineSpacing = 500;
    int lines = (stations + perLine - 1) / perLine;
    float width = spacing * (perLine - 1), height = lineSpacing * std::max(lines - 1, 1);
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < stations; ++i) {
        float x = layout == Layout::Lines ? spacing * (i % perLine) : width * unit(random);
        float y = layout == Layout::Lines ? lineSpacing * (i / perLine) : height * unit(random);
        s.Data.TerrainX.push_back(x);
        s.Data.TerrainY.push_back(y);
        s.Data.TerrainZ.push_back(300 + 80 * std::sin(x / 900) + 60 * std::cos(y / 1300) +
                                  5 * unit(random));
    }
    ModelPoints points;
    for (int i = 0; i < stations; ++i) {
        points.X.push_back(s.Data.TerrainX[i]);
        points.Y.push_back(s.Data.TerrainY[i]);
        points.Z.push_back(s.Data.TerrainZ[i]);
    }
    ModelSettings& m = s.Settings;
    ApplyModelDefaults(ComputeModelDefaults(points), m);
    m.Nx = m.Ny = 190;
    m.Nz = 55;
    m.Edit3 = m.Edit4 = m.Edit7 = "0";
    BuildXMesh(m, s.Data);
    BuildYMesh(m, s.Data);
    BuildZMesh(m, s.Data);
    return s;
}

void ColumnValuesOf(benchmark::State& state, Layout layout)
{
    Setup s = MakeSurveySetup(layout, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<float> values = ComputeColumnValues(s.Settings, s.Data);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["columns"] = static_cast<double>(s.Data.CellDx.size() * s.Data.CellDy.size());
}

void BM_ColumnValuesInLines(benchmark::State& state)
{
    ColumnValuesOf(state, Layout::Lines);
}
void BM_ColumnValuesAtRandom(benchmark::State& state)
{
    ColumnValuesOf(state, Layout::Random);
}
// The columns run on every core: the time is the wall clock's, the CPU time that of all threads.
void OnAllCores(benchmark::internal::Benchmark* b)
{
    b->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
}
void StationCounts(benchmark::internal::Benchmark* b)
{
    b->Arg(1000)->Arg(2000)->Arg(4000)->Arg(10000)->Apply(OnAllCores);
}
BENCHMARK(BM_ColumnValuesInLines)->Apply(StationCounts);
BENCHMARK(BM_ColumnValuesAtRandom)->Apply(StationCounts);

// The model builder's create step (model, covariance and background model files, 200 x 200 x 60
// cells) on stations in lines.
void BM_CreateStepInLines(benchmark::State& state)
{
    Setup s = MakeSurveySetup(Layout::Lines, static_cast<int>(state.range(0)));
    std::string name = "ShepardBench-model.m";
    for (auto _ : state) {
        if (!WriteModelFileSet({}, s.Settings, s.Data, name).Saved())
            state.SkipWithError("the model files could not be written");
    }
    for (const char* extension : {".m", ".cov", ".pri"})
        std::remove(("ShepardBench-model" + std::string(extension)).c_str());
}
BENCHMARK(BM_CreateStepInLines)->Arg(10000)->Apply(OnAllCores);

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
    TerrainProgress progress = [&calls](size_t, size_t) { return ++calls > 0; };
    for (auto _ : state) {
        std::vector<float> values = ComputeColumnValues(s.Settings, s.Data, progress);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["columns"] = static_cast<double>(s.Data.CellDx.size() * s.Data.CellDy.size());
}
BENCHMARK(BM_ColumnValues)->UseRealTime()->Unit(benchmark::kMillisecond);

#ifdef QUILLANE_BENCH_DIALOG
// The same step as the model builder dialog runs it, letting window messages run as it does;
// compare with BM_ColumnValues.
void BM_ColumnValuesInTheDialog(benchmark::State& state)
{
    EnsureApplication();
    Setup s = MakeSetup();
    TerrainProgress progress = ModelBuilderPendingMessages();
    for (auto _ : state) {
        std::vector<float> values = ComputeColumnValues(s.Settings, s.Data, progress);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["columns"] = static_cast<double>(s.Data.CellDx.size() * s.Data.CellDy.size());
}
BENCHMARK(BM_ColumnValuesInTheDialog)->UseRealTime()->Unit(benchmark::kMillisecond);
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
