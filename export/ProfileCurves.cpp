#include "export/ProfileCurves.h"

#include <cmath>
#include <utility>

#include "base/Progress.h"

const char* const kNoProfileSelectedText = "没有选择剖面. 电压剖面绘制操作失败!";
const char* const kNoProfileSelectedCaption = "Murovane hint...";

namespace {

const TStation* FindStation(const std::vector<TStation>& stations, const std::string& name)
{
    for (const TStation& station : stations) {
        if (station.Name == name) return &station;
    }
    return nullptr;
}

}  // namespace

bool WithinFivePercent(double frequency, double reference)
{
    if (reference == 0) return frequency == 0;
    return std::fabs((frequency - reference) / reference) < 0.05;
}

std::vector<float> ProfileFrequencies(const std::vector<TStation>& exStations)
{
    std::vector<float> frequencies;
    if (exStations.empty()) return frequencies;
    frequencies = exStations.front().Amplitude.X;
    for (size_t i = 1; i < exStations.size(); ++i) {
        for (float f : exStations[i].Amplitude.X) {
            bool known = false;
            for (float u : frequencies) {
                if (WithinFivePercent(f, u)) {
                    known = true;
                    break;
                }
            }
            if (!known) frequencies.push_back(f);
        }
    }
    // Exchange sort: stays well defined even when a stored frequency is not a number.
    for (size_t i = 0; i + 1 < frequencies.size(); ++i) {
        for (size_t j = i + 1; j < frequencies.size(); ++j) {
            if (frequencies[i] > frequencies[j]) std::swap(frequencies[i], frequencies[j]);
        }
    }
    return frequencies;
}

bool HasExProfileSelection(const SurveyStore& store,
                           const std::vector<std::string>& selectedStations)
{
    return !store.ExStations.empty() && !selectedStations.empty();
}

ExProfileChartData BuildExProfileChart(const SurveyStore& store,
                                       const std::vector<std::string>& selectedStations)
{
    ExProfileChartData chart;
    const std::vector<TStation>& stations = store.ExStations;
    double rx = 0, ry = 0;
    if (!selectedStations.empty()) {
        if (const TStation* reference = FindStation(stations, selectedStations.front())) {
            rx = reference->Info.X;
            ry = reference->Info.Y;
        }
    }
    const std::vector<float> frequencies = ProfileFrequencies(stations);
    for (const float& frequency : frequencies) {
        ReportProgress(static_cast<size_t>(&frequency - frequencies.data()), frequencies.size());
        Profile profile;
        for (const std::string& name : selectedStations) {
            for (const TStation& station : stations) {
                if (station.Name != name) continue;
                const std::vector<float>& fx = station.Amplitude.X;
                const std::vector<float>& fy = station.Amplitude.Y;
                for (size_t m = 0; m < fx.size() && m < fy.size(); ++m) {
                    if (!WithinFivePercent(fx[m], frequency)) continue;
                    double dx = station.Info.X - rx;
                    double dy = station.Info.Y - ry;
                    profile.X.push_back(static_cast<float>(std::sqrt(dx * dx + dy * dy)));
                    profile.Y.push_back(fy[m]);
                    profile.Labels.push_back(station.Name);
                    break;
                }
            }
        }
        profile.Value = static_cast<float>(0.001 * frequency);
        chart.Profiles.push_back(std::move(profile));
    }
    for (const std::string& name : selectedStations) {
        if (const TStation* station = FindStation(stations, name))
            chart.Names.push_back(station->Name);
    }
    chart.Title = ExProfileChartTitle(store);
    return chart;
}

std::string ExProfileChartTitle(const SurveyStore& store)
{
    if (store.ExStations.empty()) return std::string();
    const info& first = store.ExStations.front().Info;
    return first.Area + "工区" + first.HyName + "测线电场Ex剖面图";
}
