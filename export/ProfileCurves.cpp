#include "export/ProfileCurves.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/Progress.h"

const char* const kNoProfileSelectedText = "没有选择剖面. 电压剖面绘制操作失败!";
const char* const kNoProfileSelectedCaption = "Murovane hint...";

namespace {

// The same bytes in the same number of leading samples.
bool SameSamples(const std::vector<float>& a, const std::vector<float>& b, size_t count)
{
    return a.size() >= count && b.size() >= count &&
           (count == 0 || std::memcmp(a.data(), b.data(), count * sizeof(float)) == 0);
}

bool AllFinite(const std::vector<float>& values)
{
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
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
    // Surveys repeat one list of frequencies at most stations. A list of finite frequencies that
    // was just taken in adds nothing a second time: each of them now lies within 5 % of itself.
    const std::vector<float>* last = &exStations.front().Amplitude.X;
    bool lastFinite = AllFinite(*last);
    for (size_t i = 1; i < exStations.size(); ++i) {
        const std::vector<float>& list = exStations[i].Amplitude.X;
        if (lastFinite && list.size() == last->size() && SameSamples(list, *last, list.size()))
            continue;
        for (float f : list) {
            bool known = false;
            for (float u : frequencies) {
                if (WithinFivePercent(f, u)) {
                    known = true;
                    break;
                }
            }
            if (!known) frequencies.push_back(f);
        }
        last = &list;
        lastFinite = AllFinite(list);
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

ExProfilePick PickExProfile(const SurveyStore& store,
                            const std::vector<std::string>& selectedStations)
{
    ExProfilePick pick;
    pick.Names = selectedStations;
    const std::vector<TStation>& stations = store.ExStations;
    // The stations of each picked name in store order, found in one pass over the stations
    // instead of one search per name and frequency.
    std::unordered_map<std::string_view, size_t> slotOf;
    slotOf.reserve(selectedStations.size());
    for (const std::string& name : selectedStations) slotOf.emplace(name, slotOf.size());
    std::vector<std::vector<size_t>> slots(slotOf.size());
    for (size_t i = 0; i < stations.size(); ++i) {
        auto found = slotOf.find(stations[i].Name);
        if (found != slotOf.end()) slots[found->second].push_back(i);
    }
    pick.Start.reserve(selectedStations.size() + 1);
    pick.Start.push_back(0);
    for (const std::string& name : selectedStations) {
        const std::vector<size_t>& slot = slots[slotOf.find(name)->second];
        pick.Stations.insert(pick.Stations.end(), slot.begin(), slot.end());
        pick.Start.push_back(pick.Stations.size());
    }
    pick.Frequencies = ProfileFrequencies(stations);
    return pick;
}

ExProfileChartData BuildExProfileChart(const SurveyStore& store,
                                       const std::vector<std::string>& selectedStations)
{
    return BuildExProfileChart(store, PickExProfile(store, selectedStations));
}

ExProfileChartData BuildExProfileChart(const SurveyStore& store, const ExProfilePick& pick)
{
    ExProfileChartData chart;
    const std::vector<TStation>& stations = store.ExStations;
    const size_t none = static_cast<size_t>(-1);
    const size_t points = pick.Stations.size();
    double rx = 0, ry = 0;
    if (pick.Start.size() > 1 && pick.Start[1] > 0 && pick.Stations.front() < stations.size()) {
        rx = stations[pick.Stations.front()].Info.X;
        ry = stations[pick.Stations.front()].Info.Y;
    }
    const std::vector<float>& frequencies = pick.Frequencies;
    chart.Profiles.resize(frequencies.size());
    for (size_t k = 0; k < frequencies.size(); ++k) {
        Profile& profile = chart.Profiles[k];
        profile.Value = static_cast<float>(0.001 * frequencies[k]);
        profile.X.reserve(points);
        profile.Y.reserve(points);
        profile.Labels.reserve(points);
    }
    // The sample of each curve's frequency at a station: the first within 5 %, or none. Stations
    // that repeat the last one's samples take its answer.
    std::vector<size_t> sampleOf(frequencies.size(), none);
    const std::vector<float>* lastSamples = nullptr;
    size_t lastCount = 0;
    const size_t names = pick.Start.empty() ? 0 : pick.Start.size() - 1;
    for (size_t n = 0; n < names; ++n) {
        ReportProgress(n, names);
        for (size_t s = pick.Start[n]; s < pick.Start[n + 1]; ++s) {
            if (pick.Stations[s] >= stations.size()) continue;  // a pick the store outgrew
            const TStation& station = stations[pick.Stations[s]];
            const std::vector<float>& fx = station.Amplitude.X;
            const std::vector<float>& fy = station.Amplitude.Y;
            size_t count = std::min(fx.size(), fy.size());
            if (!lastSamples || count != lastCount || !SameSamples(fx, *lastSamples, count)) {
                for (size_t k = 0; k < frequencies.size(); ++k) {
                    sampleOf[k] = none;
                    for (size_t m = 0; m < count; ++m) {
                        if (WithinFivePercent(fx[m], frequencies[k])) {
                            sampleOf[k] = m;
                            break;
                        }
                    }
                }
                lastSamples = &fx;
                lastCount = count;
            }
            double dx = station.Info.X - rx;
            double dy = station.Info.Y - ry;
            float distance = static_cast<float>(std::sqrt(dx * dx + dy * dy));
            for (size_t k = 0; k < frequencies.size(); ++k) {
                if (sampleOf[k] == none) continue;
                Profile& profile = chart.Profiles[k];
                profile.X.push_back(distance);
                profile.Y.push_back(fy[sampleOf[k]]);
                profile.Labels.push_back(station.Name);
            }
        }
    }
    for (size_t n = 0; n < names; ++n) {
        if (pick.Start[n + 1] > pick.Start[n]) chart.Names.push_back(pick.Names[n]);
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
