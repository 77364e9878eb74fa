#include "processing/CurveEditing.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Single-precision storage of a chart value without the undefined conversion of values beyond
// the single range: those become infinities, NaN stays NaN.
float ToStoredSingle(double value)
{
    // Halfway between the largest single and the next power of two: from here on rounding gives
    // infinity.
    const double overflow = FLT_MAX + std::ldexp(1.0, 103);
    if (value >= overflow) return INFINITY;
    if (value <= -overflow) return -INFINITY;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

bool FrequencyMatches(double sampleFreq, double pointFreq)
{
    return std::fabs(sampleFreq - pointFreq) / pointFreq < 1e-4;
}

void DrawNeighbour(CurveChart& amplitude, CurveChart& phase, ChartSeries CurveChart::*role,
                   const std::vector<TStation>& stations, long index, DisplayForm form)
{
    ChartSeries& a = amplitude.*role;
    ChartSeries& p = phase.*role;
    a.Clear();
    p.Clear();
    a.Title.clear();
    p.Title.clear();
    if (index < 0 || index >= static_cast<long>(stations.size())) return;
    std::vector<double> x, ya, yp;
    StationChartValues(stations[index], form, x, ya, yp);
    a.Fill(x, ya);
    p.Fill(x, yp);
    a.Title = p.Title = stations[index].Name;
}

}  // namespace

EditorCharts::EditorCharts()
{
    for (CurveChart* chart : {&Amplitude, &Phase}) {
        chart->Present.Title = "Present";
        chart->Raw.Title = "Raw";
        chart->Previous.Title = "Previous";
        chart->Next.Title = "Next";
    }
}

void StationChartValues(const TStation& station, DisplayForm form, std::vector<double>& x,
                        std::vector<double>& amplitudeChart, std::vector<double>& phaseChart)
{
    size_t n =
        std::min({station.Amplitude.X.size(), station.Amplitude.Y.size(), station.Phase.Y.size()});
    x.resize(n);
    amplitudeChart.resize(n);
    phaseChart.resize(n);
    for (size_t k = 0; k < n; ++k) {
        double a = station.Amplitude.Y[k];
        double p = station.Phase.Y[k];
        x[k] = station.Amplitude.X[k];
        if (form == DisplayForm::AmpPhase) {
            amplitudeChart[k] = a;
            phaseChart[k] = p;
        } else {
            amplitudeChart[k] = a * std::cos(p);
            phaseChart[k] = a * std::sin(p);
        }
    }
}

void DrawStation(EditorCharts& charts, const std::vector<TStation>& stations, int index,
                 DisplayForm form)
{
    charts.Form = form;
    ChartSeries& a = charts.Amplitude.Present;
    ChartSeries& p = charts.Phase.Present;
    a.Clear();
    p.Clear();
    if (index >= 0 && index < static_cast<int>(stations.size())) {
        std::vector<double> x, ya, yp;
        StationChartValues(stations[index], form, x, ya, yp);
        a.Fill(x, ya);
        p.Fill(x, yp);
        a.Title = p.Title = stations[index].Name;
    }
    for (CurveChart* chart : {&charts.Amplitude, &charts.Phase}) {
        std::string title = chart->Present.Title;
        chart->Raw = chart->Present;
        chart->Raw.Title = title;
    }
    DrawNeighbour(charts.Amplitude, charts.Phase, &CurveChart::Previous, stations,
                  static_cast<long>(index) - 1, form);
    DrawNeighbour(charts.Amplitude, charts.Phase, &CurveChart::Next, stations,
                  static_cast<long>(index) + 1, form);
}

void DrawOpeningStation(EditorCharts& charts, const TStation& station)
{
    charts.Form = DisplayForm::AmpPhase;
    std::vector<double> x, ya, yp;
    StationChartValues(station, DisplayForm::AmpPhase, x, ya, yp);
    charts.Amplitude.Present.Fill(x, ya);
    charts.Phase.Present.Fill(x, yp);
}

int FindPointNear(const ChartSeries& series, double x, double low, double high)
{
    for (size_t i = 0; i < series.Count(); ++i)
        if (low * series.X[i] < x && x < high * series.X[i]) return static_cast<int>(i);
    return -1;
}

int ClickPoint(ChartSeries& present, double x, double y, bool rightButton)
{
    int i = FindPointNear(present, x, 0.9, 1.1);
    if (i < 0) return -1;
    if (rightButton)
        present.Green[i] = !present.Green[i];
    else
        present.Y[i] = y;
    return i;
}

bool ShiftPhaseSegment(ChartSeries& phasePresent, double x, double y, bool left)
{
    int p = FindPointNear(phasePresent, x, 0.75, 1.5);
    if (p < 0) return false;
    double d = y - phasePresent.Y[p];
    size_t first = left ? 0 : static_cast<size_t>(p);
    size_t last = left ? static_cast<size_t>(p) : phasePresent.Count() - 1;
    for (size_t i = first; i <= last; ++i) phasePresent.Y[i] += d;
    return true;
}

void ScaleAmplitudes(ChartSeries& amplitudePresent, double factor, ScaleRange range,
                     int cursorIndex)
{
    long cursor = cursorIndex;
    for (size_t i = 0; i < amplitudePresent.Count(); ++i) {
        long index = static_cast<long>(i);
        bool inRange = range == ScaleRange::All ||
                       (range == ScaleRange::LeftOfCursor && index < cursor) ||
                       (range == ScaleRange::RightOfCursor && index >= cursor);
        if (inRange) amplitudePresent.Y[i] *= factor;
    }
}

float AmplitudeStepFactor(bool up)
{
    return up ? 1.05f : 0.95f;
}

void StoreChartToStation(const EditorCharts& charts, TStation& station)
{
    const ChartSeries& a = charts.Amplitude.Present;
    const ChartSeries& p = charts.Phase.Present;
    xy& amplitude = station.Amplitude;
    xy& phase = station.Phase;
    for (size_t j = 0; j < amplitude.X.size(); ++j) {
        double f = j < phase.X.size() ? phase.X[j] : amplitude.X[j];
        bool hasAmplitude = j < amplitude.Y.size();
        bool hasPhase = j < phase.Y.size();
        if (charts.Form == DisplayForm::AmpPhase) {
            for (size_t m = 0; m < a.Count(); ++m)
                if (hasAmplitude && FrequencyMatches(f, a.X[m]))
                    amplitude.Y[j] = ToStoredSingle(a.Y[m]);
            for (size_t m = 0; m < p.Count(); ++m)
                if (hasPhase && FrequencyMatches(f, p.X[m])) phase.Y[j] = ToStoredSingle(p.Y[m]);
        } else {
            for (size_t m = 0; m < a.Count() && m < p.Count(); ++m) {
                if (!FrequencyMatches(f, a.X[m])) continue;
                double re = a.Y[m];
                double im = p.Y[m];
                if (hasAmplitude) amplitude.Y[j] = ToStoredSingle(std::sqrt(re * re + im * im));
                if (hasPhase) phase.Y[j] = ToStoredSingle(std::atan2(im, re));
            }
        }
    }
}

void FindCurrentStation(const std::vector<TStation>& stations, const std::string& name, int& index)
{
    for (size_t i = 0; i < stations.size(); ++i)
        if (stations[i].Name == name) {
            index = static_cast<int>(i);
            return;
        }
}
