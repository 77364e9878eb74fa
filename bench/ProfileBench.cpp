// The Ex profile chart's curves of one 200-station line and of every station, in surveys of
// 2,000 and 20,000 stations at 40 frequencies laid in lines: 200 stations 50 m apart a line,
// 500 m between lines. The line's chart costs the same in either survey.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bench/BenchSurvey.h"
#include "export/ProfileCurves.h"

namespace {

const SurveyStore& SurveyInLines(int stations)
{
    static std::map<int, SurveyStore> surveys;
    auto found = surveys.find(stations);
    if (found != surveys.end()) return found->second;
    SurveyStore store = BenchSurvey(stations);
    for (size_t i = 0; i < store.ExStations.size(); ++i) {
        store.ExStations[i].Info.X = store.HyStations[i].Info.X = 50.0f * (i % 200);
        store.ExStations[i].Info.Y = store.HyStations[i].Info.Y = 500.0f * (i / 200);
    }
    return surveys.emplace(stations, std::move(store)).first->second;
}

void BM_ProfileChartOfOneLine(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    // The fourth line, as a rectangle on the map picks it.
    std::vector<std::string> picked;
    for (int i = 600; i < 800; ++i) picked.push_back(store.ExStations[i].Name);
    for (auto _ : state) {
        ExProfileChartData chart = BuildExProfileChart(store, picked);
        benchmark::DoNotOptimize(chart.Profiles.data());
    }
}
BENCHMARK(BM_ProfileChartOfOneLine)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ProfileChartOfAllStations(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    std::vector<std::string> picked;
    for (const TStation& station : store.ExStations) picked.push_back(station.Name);
    for (auto _ : state) {
        ExProfileChartData chart = BuildExProfileChart(store, picked);
        benchmark::DoNotOptimize(chart.Profiles.data());
    }
}
BENCHMARK(BM_ProfileChartOfAllStations)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
