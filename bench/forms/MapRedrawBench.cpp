#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "bench/forms/WindowBenchMain.h"
#include "map/TxRx.h"

// The station map's redraw at 2,000 and 20,000 Ex stations (each with an Hy station), labels
// hidden as at start and shown, pending window messages run between two redraws. The baseline
// refills the three series with the same points and nothing else: the part of a redraw that
// cannot go.

namespace {

void LoadSurvey(TForm1* form, int stations)
{
    form->ClearLoadedData();
    TxData tx;
    tx.Name = "T1";
    tx.Ax = -500;
    tx.Bx = 500;
    form->Transmitters.push_back(tx);
    for (int i = 0; i < stations; ++i) {
        TStation ex, hy;
        ex.Name = std::to_string(100 + 10 * i);
        hy.Name = "H" + ex.Name;
        ex.Info.X = hy.Info.X = static_cast<float>(10 * (i % 200));
        ex.Info.Y = hy.Info.Y = static_cast<float>(6000 + 50 * (i / 200));
        form->ExStations.push_back(ex);
        form->HyStations.push_back(hy);
    }
}

void BM_SeriesRefillBaseline(benchmark::State& state)
{
    LoadSurvey(Form1, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QList<QPointF> line, ex, hy;
        const TxData& tx = Form1->Transmitters.front();
        line = {QPointF(tx.Ax, tx.Ay), QPointF(tx.Bx, tx.By)};
        for (const TStation& s : Form1->ExStations) ex.push_back(QPointF(s.Info.X, s.Info.Y));
        for (const TStation& s : Form1->HyStations) hy.push_back(QPointF(s.Info.X, s.Info.Y));
        Form2->Series1->replace(line);
        Form2->Series2->replace(ex);
        Form2->Series3->replace(hy);
    }
    // The stations' marks are their layers' on screen: Qt's own series stay empty.
    Form2->Series2->clear();
    Form2->Series3->clear();
}

void Redraw(benchmark::State& state, bool labels)
{
    LoadSurvey(Form1, static_cast<int>(state.range(0)));
    Form2->SetLabelsVisible(labels);
    DrawLayoutMap(Form1);
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents();  // the window system's turn between two redraws
        state.ResumeTiming();
        DrawLayoutMap(Form1);
    }
    Form2->SetLabelsVisible(false);
}

void BM_DrawLayoutMapLabelsHidden(benchmark::State& state)
{
    Redraw(state, false);
}

void BM_DrawLayoutMapLabelsShown(benchmark::State& state)
{
    Redraw(state, true);
}

// Every redraw draws a survey of another station count, as after a load: one station fewer, or
// half the stations, so that Qt Charts makes and deletes one mark or thousands of them.
void RedrawOtherCount(benchmark::State& state, int other)
{
    const int n = static_cast<int>(state.range(0));
    LoadSurvey(Form1, other);
    std::vector<TStation> otherEx = Form1->ExStations, otherHy = Form1->HyStations;
    LoadSurvey(Form1, n);
    DrawLayoutMap(Form1);
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents();
        Form1->ExStations.swap(otherEx);
        Form1->HyStations.swap(otherHy);
        state.ResumeTiming();
        DrawLayoutMap(Form1);
    }
}

void BM_DrawLayoutMapOtherCount(benchmark::State& state)
{
    RedrawOtherCount(state, static_cast<int>(state.range(0)) - 1);
}

void BM_DrawLayoutMapHalfCount(benchmark::State& state)
{
    RedrawOtherCount(state, static_cast<int>(state.range(0)) / 2);
}

// Every redraw draws the survey on an emptied map, as on the first load.
void BM_DrawLayoutMapFromEmpty(benchmark::State& state)
{
    LoadSurvey(Form1, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        ClearLayoutMap();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        DrawLayoutMap(Form1);
    }
}

}  // namespace

BENCHMARK(BM_SeriesRefillBaseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLayoutMapLabelsHidden)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLayoutMapLabelsShown)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLayoutMapOtherCount)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLayoutMapHalfCount)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLayoutMapFromEmpty)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
