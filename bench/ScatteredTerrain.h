#pragma once
// The terrain case the core and the model builder dialog benchmarks share: 10,000 terrain points
// scattered over 5 km square under a 200 x 200 column mesh.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "model3d/Mesh.h"
#include "model3d/ModelTemplate.h"
#include "model3d/Terrain.h"

struct TerrainSetup {
    ModelSettings Settings;
    ModelData Data;
};

inline TerrainSetup MakeScatteredTerrain()
{
    TerrainSetup s;
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

// The column values of that mesh with the given progress callback.
inline void ScatteredColumnValues(benchmark::State& state, const TerrainProgress& progress)
{
    TerrainSetup s = MakeScatteredTerrain();
    for (auto _ : state) {
        std::vector<float> values = ComputeColumnValues(s.Settings, s.Data, progress);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["columns"] = static_cast<double>(s.Data.CellDx.size() * s.Data.CellDy.size());
}

// A callback that only counts, the baseline of the dialog's.
inline TerrainProgress CountingProgress()
{
    return [calls = 0L](size_t, size_t) mutable { return ++calls > 0; };
}
