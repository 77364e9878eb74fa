#pragma once
// The Ex profile of the picked stations: one curve per frequency of the survey, the Ex amplitude
// of each picked station against its distance from the first picked station.

#include <string>
#include <vector>

#include "survey/SurveyStore.h"

extern const char* const kNoProfileSelectedText;  // "没有选择剖面. 电压剖面绘制操作失败!"
extern const char* const kNoProfileSelectedCaption;  // "Murovane hint..."

// One curve of the profile chart. Point j is (X[j], Y[j]); Labels[j] names the station the point
// stands at (a record made elsewhere may leave Labels empty).
struct Profile {
    float Value = 0;  // 0.001 x the curve's frequency in Hz
    std::vector<float> X;
    std::vector<float> Y;
    std::vector<std::string> Labels;
};

// What the profile chart window is opened with.
struct ExProfileChartData {
    std::vector<Profile> Profiles;   // one per union frequency, ascending
    std::vector<std::string> Names;  // one per picked name that matches a station
    std::string Title;
};

// The relative 5 % test of two frequencies, relative to reference. A zero reference matches only
// a zero frequency instead of dividing by zero.
bool WithinFivePercent(double frequency, double reference);

// The frequencies of all Ex stations: every frequency of the first station, then each frequency
// of the others not within 5 % of one already taken; sorted ascending.
std::vector<float> ProfileFrequencies(const std::vector<TStation>& exStations);

// Whether the chart has anything to show; otherwise the caller shows the warning box.
bool HasExProfileSelection(const SurveyStore& store,
                           const std::vector<std::string>& selectedStations);

// What the chart of picked names takes from the whole survey, gathered in one pass over it when
// the stations are picked, so that the chart itself costs what the pick holds. Valid while the
// Ex stations stay as they were.
struct ExProfilePick {
    std::vector<std::string> Names;  // the picked names, as the station map lists them
    std::vector<size_t> Start;       // Stations[Start[i], Start[i + 1]) are those of Names[i]
    std::vector<size_t> Stations;    // indexes into ExStations, store order for each name
    std::vector<float> Frequencies;  // ProfileFrequencies of all Ex stations
};
ExProfilePick PickExProfile(const SurveyStore& store,
                            const std::vector<std::string>& selectedStations);

// The curves, names and title of the chart of selectedStations (the station map's list). Needs
// HasExProfileSelection.
ExProfileChartData BuildExProfileChart(const SurveyStore& store,
                                       const std::vector<std::string>& selectedStations);
// The same chart from a pick of the store as it stands.
ExProfileChartData BuildExProfileChart(const SurveyStore& store, const ExProfilePick& pick);

// The first Ex station's Area, "工区", its HyName and "测线电场Ex剖面图".
std::string ExProfileChartTitle(const SurveyStore& store);
