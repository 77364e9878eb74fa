// Terrain values of a 200 x 200 column mesh from 10,000 scattered terrain points by the core (the
// model builder dialog's own step is in forms/ShepardDialogBench.cpp); and from stations laid in
// lines as surveys lay them, against as many stations at random over the same ground.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "bench/ScatteredTerrain.h"
#include "model3d/ModelFiles.h"

namespace {

// Lines of 200 stations 50 m apart, 500 m between lines, or as many stations at random over the
// same ground. The mesh is the builder's preset for the stations with 190 regular cells each way:
// it reaches far beyond them, where a growing radius takes a whole chord of a line at once.
enum class Layout { Lines, Random };

TerrainSetup MakeSurveySetup(Layout layout, int stations)
{
    TerrainSetup s;
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
    TerrainSetup s = MakeSurveySetup(layout, static_cast<int>(state.range(0)));
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
    TerrainSetup s = MakeSurveySetup(Layout::Lines, static_cast<int>(state.range(0)));
    std::string name = "ShepardBench-model.m";
    for (auto _ : state) {
        if (!WriteModelFileSet({}, s.Settings, s.Data, name).Saved())
            state.SkipWithError("the model files could not be written");
    }
    for (const char* extension : {".m", ".cov", ".pri"})
        std::remove(("ShepardBench-model" + std::string(extension)).c_str());
}
BENCHMARK(BM_CreateStepInLines)->Arg(10000)->Apply(OnAllCores);

void BM_ColumnValues(benchmark::State& state)
{
    ScatteredColumnValues(state, CountingProgress());
}
BENCHMARK(BM_ColumnValues)->UseRealTime()->Unit(benchmark::kMillisecond);

// One row of the same mesh with every pass scanning all points, for comparison.
void BM_ColumnRowScanningAllPoints(benchmark::State& state)
{
    TerrainSetup s = MakeScatteredTerrain();
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
