#include <benchmark/benchmark.h>

#include <QHeaderView>
#include <QTableWidget>

#include "bench/BenchSurvey.h"
#include "bench/forms/WindowBenchMain.h"
#include "geometry/StationGrid.h"
#include "geometry/forms/XY.h"

// The station editor's grid at 2,000 and 20,000 stations in lines: filled as "编辑点位" fills it,
// and its columns fitted to their texts. The baseline fills a bare table of the same texts with
// nothing fitted; Qt's own fitting of that table, which asks every cell through the delegate, is
// beside it.

namespace {

PositionGrid GridOf(int stations)
{
    return MakePositionGrid(BenchSurveyInLines(stations));
}

void FillBareTable(QTableWidget& table, const PositionGrid& grid)
{
    table.setColumnCount(kGridColumns);
    table.setRowCount(grid.LastRow());
    for (int row = 1; row <= grid.LastRow(); ++row)
        for (int column = 0; column < kGridColumns; ++column)
            table.setItem(row - 1, column,
                          new QTableWidgetItem(QString::fromStdString(grid.Cell(column, row))));
}

void BM_BareTableFillBaseline(benchmark::State& state)
{
    const PositionGrid grid = GridOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QTableWidget table;
        FillBareTable(table, grid);
    }
}

void BM_BareTableResizeColumnsToContents(benchmark::State& state)
{
    const PositionGrid grid = GridOf(static_cast<int>(state.range(0)));
    QTableWidget table;
    FillBareTable(table, grid);
    table.horizontalHeader()->setResizeContentsPrecision(-1);  // every row, as ours looks at
    for (auto _ : state) table.resizeColumnsToContents();
}

void BM_StationEditorFill(benchmark::State& state)
{
    const PositionGrid grid = GridOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TChangeXY dialog;
        dialog.SetGrid(grid);
    }
}

void BM_StationEditorFitColumns(benchmark::State& state)
{
    const PositionGrid grid = GridOf(static_cast<int>(state.range(0)));
    TChangeXY dialog;
    dialog.SetGrid(grid);
    for (auto _ : state) dialog.StringGrid1->FitColumns();
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_BareTableFillBaseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareTableResizeColumnsToContents)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StationEditorFill)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StationEditorFitColumns)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
