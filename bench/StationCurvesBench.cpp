#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bench/BenchSurvey.h"
#include "processing/StaticShift.h"
#include "processing/StationCurves.h"

namespace {

// The one transmitter of the benchmarks' surveys: a wire of 1000 m about the origin.
TxData BenchWire()
{
    TxData tx;
    tx.Name = "T1";
    tx.Ax = -500;
    tx.Bx = 500;
    return tx;
}

// 2,000 Ex stations with their own Hy stations, 40 frequencies each, one transmitter.
const SurveyStore& LargeSurvey()
{
    static const SurveyStore store = [] {
        SurveyStore s;
        s.Transmitters.push_back(BenchWire());
        for (int i = 0; i < 2000; ++i) {
            TStation ex, hy;
            ex.Name = std::to_string(100 + 10 * i);
            hy.Name = "H" + ex.Name;
            ex.Info.HyName = hy.Name;
            hy.Info.TxName = "T1";
            ex.Info.X = hy.Info.X = static_cast<float>(10 * i - 10000);
            ex.Info.Y = hy.Info.Y = 6000;
            for (int k = 0; k < 40; ++k) {
                float f =
                    8192.0f / static_cast<float>(1 << (k / 3)) / static_cast<float>(1 + k % 3);
                ex.Amplitude.X.push_back(f);
                ex.Amplitude.Y.push_back(100.0f + static_cast<float>(k + i % 7));
                ex.Phase.Y.push_back(0.1f * static_cast<float>(k));
                hy.Amplitude.X.push_back(f);
                hy.Amplitude.Y.push_back(0.5f + 0.01f * static_cast<float>(k));
                hy.Phase.Y.push_back(-0.1f * static_cast<float>(k));
            }
            s.ExStations.push_back(ex);
            s.HyStations.push_back(hy);
        }
        return s;
    }();
    return store;
}

// Every station once, through the index, as the writers do.
void BM_StationCurvesAllStationsIndexed(benchmark::State& state)
{
    const SurveyStore& store = LargeSurvey();
    StationCurves curves;
    for (auto _ : state) {
        const StationCurveIndex index(store);
        for (const TStation& ex : store.ExStations) {
            ComputeStationCurves(store, index, ex.Name, curves);
            benchmark::DoNotOptimize(curves.RhoMT.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_StationCurvesAllStationsIndexed)->Unit(benchmark::kMillisecond);

// Every station once, each call looking its names up along the lists.
void BM_StationCurvesAllStations(benchmark::State& state)
{
    const SurveyStore& store = LargeSurvey();
    StationCurves curves;
    for (auto _ : state) {
        for (const TStation& ex : store.ExStations) {
            ComputeStationCurves(store, ex.Name, curves);
            benchmark::DoNotOptimize(curves.RhoMT.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_StationCurvesAllStations)->Unit(benchmark::kMillisecond);

// One station, as a viewer asks for it.
void BM_StationCurvesOneStation(benchmark::State& state)
{
    const SurveyStore& store = LargeSurvey();
    StationCurves curves;
    const std::string name = store.ExStations[1000].Name;
    for (auto _ : state) {
        ComputeStationCurves(store, name, curves);
        benchmark::DoNotOptimize(curves.RhoMT.data());
    }
}
BENCHMARK(BM_StationCurvesOneStation)->Unit(benchmark::kMicrosecond);

// One pair whose Ex and Hy stations hold every sample at one frequency, or at tiny frequencies a
// few nanohertz apart, as a CSAMT AVG data table that repeats a row makes them; beside a bare pass
// over the same samples.
SurveyStore RepeatedFrequencies(long samples, bool close)
{
    SurveyStore store;
    store.Transmitters.push_back(BenchWire());
    TStation ex, hy;
    ex.Name = "E";
    ex.Info.HyName = hy.Name = "H";
    hy.Info.TxName = "T1";
    ex.Info.Y = hy.Info.Y = 6000;
    for (long k = 0; k < samples; ++k) {
        const float f = close ? static_cast<float>(1e-6 + 6e-9 * static_cast<double>(k % 64)) : 8;
        for (TStation* station : {&ex, &hy}) {
            station->Amplitude.X.push_back(f);
            station->Amplitude.Y.push_back(1.0f + static_cast<float>(k % 7));
            station->Phase.Y.push_back(0.1f);
        }
    }
    store.ExStations.push_back(ex);
    store.HyStations.push_back(hy);
    return store;
}

void BM_RepeatedFrequenciesBareBaseline(benchmark::State& state)
{
    const SurveyStore store = RepeatedFrequencies(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        double sum = 0;
        const TStation &ex = store.ExStations[0], &hy = store.HyStations[0];
        for (size_t k = 0; k < ex.Amplitude.X.size(); ++k)
            sum += 0.2 / ex.Amplitude.X[k] * ex.Amplitude.Y[k] / hy.Amplitude.Y[k];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RepeatedFrequenciesBareBaseline)
    ->ArgsProduct({{5000, 20000, 80000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_StationCurvesRepeatedFrequencies(benchmark::State& state)
{
    const SurveyStore store = RepeatedFrequencies(state.range(0), state.range(1) != 0);
    StationCurves curves;
    for (auto _ : state) {
        ComputeStationCurves(store, "E", curves);
        benchmark::DoNotOptimize(curves.RhoMT.data());
    }
}
BENCHMARK(BM_StationCurvesRepeatedFrequencies)
    ->ArgsProduct({{5000, 20000, 80000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The static-shift window's values of a survey in lines, 2,000 and 20,000 stations x 40
// frequencies, beside a bare pass that reads the same two samples of every pair.
const SurveyStore& SurveyInLines(int stations)
{
    static std::map<int, SurveyStore> surveys;
    auto found = surveys.find(stations);
    if (found == surveys.end())
        found = surveys.emplace(stations, BenchSurveyInLines(stations)).first;
    return found->second;
}

void BM_StaticShiftValuesBareBaseline(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        double sum = 0;
        for (size_t i = 0; i < store.ExStations.size(); ++i)
            sum += store.ExStations[i].Amplitude.Y[4] / store.HyStations[i].Amplitude.Y[4];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_StaticShiftValuesBareBaseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_StaticShiftValues(benchmark::State& state)
{
    const SurveyStore& store = SurveyInLines(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ComputeStaticShiftValues(store).data());
}
BENCHMARK(BM_StaticShiftValues)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
