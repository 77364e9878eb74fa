// The Ex profile chart's curves of one 200-station line and of every station, in surveys of
// 2,000 and 20,000 stations at 40 frequencies laid in lines: 200 stations 50 m apart a line,
// 500 m between lines. The line's chart costs the same in either survey: what it needs from the
// whole survey is gathered when the rectangle picks the line, beside the rectangle's own pass.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bench/BenchSurvey.h"
#include "export/ProfileCurves.h"
#include "export/ProfileSelection.h"

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

// The fourth line, as a rectangle on the map picks it.
std::vector<std::string> FourthLine(const SurveyStore& store)
{
    std::vector<std::string> picked;
    for (int i = 600; i < 800; ++i) picked.push_back(store.ExStations[i].Name);
    return picked;
}

// The chart as the map opens it, from what the rectangle gathered when it picked the line.
void BM_ProfileChartOfOneLine(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    const ExProfilePick pick = PickExProfile(store, FourthLine(store));
    for (auto _ : state) {
        ExProfileChartData chart = BuildExProfileChart(store, pick);
        benchmark::DoNotOptimize(chart.Profiles.data());
    }
}
BENCHMARK(BM_ProfileChartOfOneLine)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The rectangle's own pass over every station, the bare cost of picking from the survey.
void BM_ProfileRectangleBaseline(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<int> inside;
        for (size_t i = 0; i < store.ExStations.size(); ++i)
            if (InsideProfileRectangle(store.ExStations[i].Info.X, store.ExStations[i].Info.Y, -1,
                                       1499, 10000, 1501))
                inside.push_back(static_cast<int>(i));
        benchmark::DoNotOptimize(inside.data());
    }
}
BENCHMARK(BM_ProfileRectangleBaseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// What the rectangle gathers for the chart beside its pass: the survey's part of the chart.
void BM_ProfilePickOfOneLine(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    const std::vector<std::string> picked = FourthLine(store);
    for (auto _ : state) {
        ExProfilePick pick = PickExProfile(store, picked);
        benchmark::DoNotOptimize(pick.Stations.data());
    }
}
BENCHMARK(BM_ProfilePickOfOneLine)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

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
