#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMdiArea>
#include <QValueAxis>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "base/Progress.h"
#include "bench/BenchSurvey.h"
#include "bench/forms/WindowBenchMain.h"
#include "export/ProfileCurves.h"
#include "export/forms/TEMTrace.h"

// The profile chart of every station of surveys of 2,000 and 20,000 stations in lines at 40
// frequencies, from its curves to its first painting, under a progress that lets the window
// system run at every report as the progress dialog does. The baseline shows the same points as
// forty line series of a bare chart of the same size and paints it once: what Qt takes whatever
// the window does.

namespace {

class CountedProgress : public Progress {
public:
    void Report(std::uint64_t, std::uint64_t) override
    {
        ++Reports;
        QCoreApplication::processEvents();
    }
    int Reports = 0;
};

const ExProfileChartData& ChartOfEveryStation(int stations)
{
    static std::map<int, ExProfileChartData> charts;
    auto found = charts.find(stations);
    if (found != charts.end()) return found->second;
    static_cast<SurveyStore&>(*Form1) = BenchSurveyInLines(stations);
    std::vector<std::string> picked;
    for (const TStation& station : Form1->ExStations) picked.push_back(station.Name);
    return charts.emplace(stations, BuildExProfileChart(*Form1, picked)).first->second;
}

void BM_ProfileChartPaintBaseline(benchmark::State& state)
{
    const ExProfileChartData& data = ChartOfEveryStation(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto* chart = new QChart;
        auto* x = new QValueAxis;
        auto* y = new QLogValueAxis;
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        for (const Profile& profile : data.Profiles) {
            auto* series = new QLineSeries;
            series->setPointsVisible(true);
            QList<QPointF> points;
            for (size_t j = 0; j < profile.X.size(); ++j)
                points.push_back(QPointF(profile.X[j], profile.Y[j]));
            series->replace(points);
            chart->addSeries(series);
            series->attachAxis(x);
            series->attachAxis(y);
        }
        x->setRange(0, 10000);
        y->setRange(10, 1000);
        QChartView view(chart);
        view.resize(761, 513);
        view.show();
        view.viewport()->repaint();
    }
}

void BM_ProfileChartWindow(benchmark::State& state)
{
    const ExProfileChartData& data = ChartOfEveryStation(static_cast<int>(state.range(0)));
    int reports = 0, layouts = 0;
    for (auto _ : state) {
        CountedProgress progress;
        ProgressScope scope(&progress);
        auto chart = std::make_unique<TTEMTraceForm>(Form1, data.Profiles, data.Names);
        layouts = 0;
        QObject::connect(chart->Chart->chart(), &QChart::plotAreaChanged,
                         [&layouts] { ++layouts; });
        chart->SetLegendVisible(true);
        chart->ShowFirst();
        reports = progress.Reports;
    }
    state.counters["steps"] = reports;
    state.counters["layouts"] = layouts;  // of the plot area, each of every curve
}

BENCHMARK(BM_ProfileChartPaintBaseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProfileChartWindow)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
