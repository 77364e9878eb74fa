#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScatterSeries>
#include <QTabWidget>
#include <QXYSeries>

#include "app/MainForm.h"
#include "bench/BenchSurvey.h"
#include "bench/forms/WindowBenchMain.h"
#include "chart/forms/MarkLayer.h"
#include "map/TxRx.h"
#include "model3d/Mesh.h"
#include "model3d/forms/Save3DModel.h"
#include "processing/forms/RES_PREVIEW.h"
#include "processing/forms/SEC.h"

// The clicks of a big survey as the user meets them, at 2,000 and 20,000 stations x 40
// frequencies in lines, in a main window with the station map: every step ends after the window
// system has painted what it changed. The baseline paints the same main window with an empty
// map: what a click costs before any survey is drawn.

namespace {

void Settle()
{
    QCoreApplication::processEvents();
}

void LoadSurvey(int stations)
{
    Form1->ClearLoadedData();
    static_cast<SurveyStore&>(*Form1) = BenchSurveyInLines(stations);
    Form2->show();
    DrawLayoutMap(Form1);
    Settle();
}

void CloseSubWindows()
{
    for (QMdiSubWindow* window : Form1->MdiArea->subWindowList())
        if (window != Form2) delete window;
    Settle();
}

void BM_EmptyMapRepaintBaseline(benchmark::State& state)
{
    Form1->ClearLoadedData();
    ClearLayoutMap();
    Settle();
    for (auto _ : state) Form2->Chart1->viewport()->repaint();
}

void BM_MapRepaint(benchmark::State& state)
{
    LoadSurvey(static_cast<int>(state.range(0)));
    for (auto _ : state) Form2->Chart1->viewport()->repaint();
}

void BM_StaticShiftWindowOpen(benchmark::State& state)
{
    LoadSurvey(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        OpenStaticShiftWindow(Form1);
        Settle();
        state.PauseTiming();
        CloseSubWindows();
        state.ResumeTiming();
    }
}

// One mouse event of a drag of the middle "MT" point, up and down by turns.
void BM_StaticShiftDragEvent(benchmark::State& state)
{
    LoadSurvey(static_cast<int>(state.range(0)));
    OpenStaticShiftWindow(Form1);
    Settle();
    const int middle = Form4->Series1->count() / 2;
    const QPointF at = Form4->ChartPixel(Form4->Series1->at(middle));
    Form4->Chart1MouseDown(nullptr, Qt::LeftButton, Qt::NoModifier, at);
    int step = 0;
    for (auto _ : state) {
        Form4->Chart1MouseMove(nullptr, Qt::NoModifier, at + QPointF(0, (++step % 2) ? 8 : -8));
        Settle();
    }
    Form4->Chart1MouseUp(nullptr, Qt::LeftButton, Qt::NoModifier, at);
    CloseSubWindows();
}

void BM_SoundingViewerOpen(benchmark::State& state)
{
    LoadSurvey(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        OpenSoundingCurveViewer(Form1);
        Settle();
        state.PauseTiming();
        CloseSubWindows();
        state.ResumeTiming();
    }
}

// The model builder's map page with a 200 x 200 mesh (40,401 nodes) over the stations, shown
// from the first page.
// The model builder as "输出反演模型" opens it over the stations, on its first page, with a
// 200 x 200 mesh (40,401 nodes).
TForm7* ModelBuilder(int stations)
{
    LoadSurvey(stations);
    // The benchmark takes the builder over and frees it itself.
    TForm7::ModalRunner = [](std::unique_ptr<TForm7> form) { form.release()->show(); };
    Form7 = nullptr;
    Form1->N25Click();
    TForm7* form = Form7;
    ModelSettings m = form->Settings();
    m.Nx = m.Ny = 190;
    m.NxS = m.NyS = 5;
    form->SetSettings(m);
    BuildXMesh(m, *form);
    BuildYMesh(m, *form);
    Settle();
    return form;
}

// The map page shown from the first page.
void BM_ModelMapPage(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TForm7* form = ModelBuilder(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        form->PageControl1->setCurrentWidget(form->TabSheet4);
        Settle();
        state.PauseTiming();
        delete form;
        Settle();
        state.ResumeTiming();
    }
}

// Points given to shown series that held none, one replace per series, and through
// ReplaceSeriesPoints as the windows give them.
void Refill(benchmark::State& state, QChart* chart, const std::vector<QXYSeries*>& series,
            bool plain)
{
    std::vector<SeriesPoints> full, empty;
    for (QXYSeries* s : series) {
        full.push_back({s, ShownPoints(s)});
        empty.push_back({s, {}});
    }
    for (auto _ : state) {
        state.PauseTiming();
        ReplaceSeriesPoints(chart, empty);
        Settle();
        state.ResumeTiming();
        if (plain)
            for (const SeriesPoints& change : full) change.Series->replace(change.Points);
        else
            ReplaceSeriesPoints(chart, full);
        Settle();
    }
}

void StaticShiftRefill(benchmark::State& state, bool plain)
{
    LoadSurvey(static_cast<int>(state.range(0)));
    OpenStaticShiftWindow(Form1);
    Settle();
    Refill(state, Form4->Chart1->chart(),
           {static_cast<QXYSeries*>(Form4->Series1), Form4->Series2, Form4->Series4}, plain);
    CloseSubWindows();
}

void BM_StaticShiftRefillPlain(benchmark::State& state)
{
    StaticShiftRefill(state, true);
}

void BM_StaticShiftRefill(benchmark::State& state)
{
    StaticShiftRefill(state, false);
}

void ModelNodesRefill(benchmark::State& state, bool plain)
{
    TForm7* form = ModelBuilder(static_cast<int>(state.range(0)));
    form->PageControl1->setCurrentWidget(form->TabSheet4);
    Settle();
    Refill(state, form->Chart1->chart(), {form->Series3}, plain);
    delete form;
    Settle();
}

void BM_ModelNodesRefillPlain(benchmark::State& state)
{
    ModelNodesRefill(state, true);
}

void BM_ModelNodesRefill(benchmark::State& state)
{
    ModelNodesRefill(state, false);
}

}  // namespace

BENCHMARK(BM_StaticShiftRefillPlain)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticShiftRefill)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelNodesRefillPlain)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelNodesRefill)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyMapRepaintBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticShiftWindowOpen)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticShiftDragEvent)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoundingViewerOpen)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelMapPage)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
