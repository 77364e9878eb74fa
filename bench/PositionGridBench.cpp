#include <benchmark/benchmark.h>

#include "geometry/PositionFile.h"
#include "geometry/StationGrid.h"

namespace {

std::string PositionText(int points)
{
    std::string text = "SN   x      y      z\r\n";
    for (int i = 0; i < points; ++i)
        text += std::to_string(1000 + i) + " " + std::to_string(i * 25) + ".5 3200.25 " +
                std::to_string(i % 97) + " \r\n";
    return text;
}

void BM_ReadPositionText(benchmark::State& state)
{
    const std::string text = PositionText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PositionGrid grid;
        ReadPositionText(text, grid);
        benchmark::DoNotOptimize(grid.Rows.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadPositionText)->Range(500, 5000)->Complexity();

// Writing the grid back matches every Ex and Hy station by name.
void BM_ApplyPositionGrid(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    SurveyStore store;
    for (int i = 0; i < n; ++i) {
        TStation st;
        st.Name = std::to_string(1000 + i);
        store.ExStations.push_back(st);
        store.HyStations.push_back(st);
    }
    PositionGrid grid;
    ReadPositionText(PositionText(n), grid);
    for (auto _ : state) ApplyPositionGrid(store, grid);
    state.SetComplexityN(n);
}
BENCHMARK(BM_ApplyPositionGrid)->Range(500, 5000)->Complexity();

}  // namespace
