// The model builder dialog's terrain step on 10,000 scattered points and a 200 x 200 column mesh,
// letting window messages run as the dialog does, against the same step with a callback that only
// counts. Both run in a process with the application's threads, as the dialog does: a second
// thread alone slows the core's allocations by about a sixth.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "bench/ScatteredTerrain.h"
#include "model3d/forms/Save3DModel.h"

namespace {

void BM_ColumnValuesInTheApplication(benchmark::State& state)
{
    ScatteredColumnValues(state, CountingProgress());
}
BENCHMARK(BM_ColumnValuesInTheApplication)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ColumnValuesInTheDialog(benchmark::State& state)
{
    ScatteredColumnValues(state, ModelBuilderPendingMessages());
}
BENCHMARK(BM_ColumnValuesInTheDialog)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
