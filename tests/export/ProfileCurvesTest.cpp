#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "export/ProfileCurves.h"

namespace {

TStation Station(const std::string& name, float x, float y, std::vector<float> freqs,
                 std::vector<float> amps)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    s.Amplitude.X = std::move(freqs);
    s.Amplitude.Y = std::move(amps);
    s.Phase.X = s.Amplitude.X;
    s.Phase.Y.assign(s.Amplitude.X.size(), 0.0f);
    return s;
}

// The chart as first built: every frequency, every picked name, every station compared.
ExProfileChartData SlowChart(const SurveyStore& store, const std::vector<std::string>& picked)
{
    std::vector<float> frequencies;
    const std::vector<TStation>& stations = store.ExStations;
    for (size_t i = 0; i < stations.size(); ++i) {
        for (float f : stations[i].Amplitude.X) {
            bool known = false;
            for (float u : frequencies) known = known || WithinFivePercent(f, u);
            if (i == 0 || !known) frequencies.push_back(f);
        }
    }
    for (size_t i = 0; i + 1 < frequencies.size(); ++i)
        for (size_t j = i + 1; j < frequencies.size(); ++j)
            if (frequencies[i] > frequencies[j]) std::swap(frequencies[i], frequencies[j]);
    ExProfileChartData chart;
    double rx = 0, ry = 0;
    for (const TStation& station : stations) {
        if (station.Name != picked.front()) continue;
        rx = station.Info.X;
        ry = station.Info.Y;
        break;
    }
    for (float frequency : frequencies) {
        Profile p;
        for (const std::string& name : picked) {
            for (const TStation& station : stations) {
                if (station.Name != name) continue;
                const std::vector<float>&fx = station.Amplitude.X, &fy = station.Amplitude.Y;
                for (size_t m = 0; m < fx.size() && m < fy.size(); ++m) {
                    if (!WithinFivePercent(fx[m], frequency)) continue;
                    double dx = station.Info.X - rx, dy = station.Info.Y - ry;
                    p.X.push_back(static_cast<float>(std::sqrt(dx * dx + dy * dy)));
                    p.Y.push_back(fy[m]);
                    p.Labels.push_back(station.Name);
                    break;
                }
            }
        }
        p.Value = static_cast<float>(0.001 * frequency);
        chart.Profiles.push_back(p);
    }
    for (const std::string& name : picked) {
        for (const TStation& station : stations) {
            if (station.Name != name) continue;
            chart.Names.push_back(name);
            break;
        }
    }
    return chart;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

}  // namespace

TEST(ProfileCurves, FrequencyUnionMergesWithinFivePercentAndSorts)
{
    struct Case {
        std::vector<std::vector<float>> stations;
        std::vector<float> expected;
    } cases[] = {
        {{{100, 1, 10}, {10.3f, 1000}}, {1, 10, 100, 1000}},
        // the first station's own close frequencies all stay
        {{{10, 10.2f, 10}}, {10, 10, 10.2f}},
        // of two new frequencies 1 % apart only the first is taken
        {{{1}, {200, 202}}, {1, 200}},
        // a zero frequency matches only zero, and does not fail
        {{{0, 10}, {0, 0.01f}}, {0, 0.01f, 10}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        std::vector<TStation> stations;
        for (const auto& f : c.stations) stations.push_back(Station("S", 0, 0, f, f));
        EXPECT_EQ(ProfileFrequencies(stations), c.expected);
    }
}

TEST(ProfileCurves, PointsPerFrequencyDistancesAndLabelsByStation)
{
    SurveyStore store;
    store.ExStations = {
        Station("A", 0, 0, {1, 10, 100}, {11, 12, 13}),
        Station("B", 300, 400, {1, 10.3f, 100}, {21, 22, 23}),
        Station("C", 600, 800, {1, 1000}, {31, 34}),
        Station("B", 300, 400, {100}, {43}),
    };
    ExProfileChartData chart = BuildExProfileChart(store, {"B", "A", "C", "nobody"});

    ASSERT_EQ(chart.Profiles.size(), 4u);
    const Profile& p1 = chart.Profiles[0];
    EXPECT_FLOAT_EQ(p1.Value, 0.001f);
    // straight-line from the first picked station (B), in picking order, not along the line
    EXPECT_EQ(p1.X, (std::vector<float>{0, 500, 500}));
    EXPECT_EQ(p1.Y, (std::vector<float>{21, 11, 31}));
    EXPECT_EQ(p1.Labels, (std::vector<std::string>{"B", "A", "C"}));

    const Profile& p10 = chart.Profiles[1];
    EXPECT_EQ(p10.Y, (std::vector<float>{22, 12}));  // B's 10.3 Hz sample is its 10 Hz point

    // both stations named B give a point; C lacks 100 Hz, so the labels are not B, B, A
    const Profile& p100 = chart.Profiles[2];
    EXPECT_EQ(p100.Y, (std::vector<float>{23, 43, 13}));
    EXPECT_EQ(p100.X, (std::vector<float>{0, 0, 500}));
    EXPECT_EQ(p100.Labels, (std::vector<std::string>{"B", "B", "A"}));

    const Profile& p1000 = chart.Profiles[3];
    EXPECT_FLOAT_EQ(p1000.Value, 1.0f);
    EXPECT_EQ(p1000.Labels, std::vector<std::string>{"C"});
    EXPECT_EQ(p1000.X, std::vector<float>{500});

    EXPECT_EQ(chart.Names, (std::vector<std::string>{"B", "A", "C"}));
}

TEST(ProfileCurves, CloseFrequenciesOfTheFirstStationEachGetTheNearSample)
{
    SurveyStore store;
    store.ExStations = {Station("A", 0, 0, {100, 103}, {1, 2}), Station("B", 5, 0, {101}, {7})};
    ExProfileChartData chart = BuildExProfileChart(store, {"A", "B"});
    ASSERT_EQ(chart.Profiles.size(), 2u);
    EXPECT_EQ(chart.Profiles[0].Y, (std::vector<float>{1, 7}));
    // the first sample within 5 % is taken, for A its 100 Hz one
    EXPECT_EQ(chart.Profiles[1].Y, (std::vector<float>{1, 7}));
}

TEST(ProfileCurves, FrequencyNoPickedStationHasGivesAnEmptyCurve)
{
    SurveyStore store;
    store.ExStations = {Station("A", 0, 0, {1}, {1}), Station("B", 0, 0, {64}, {2})};
    ExProfileChartData chart = BuildExProfileChart(store, {"A"});
    ASSERT_EQ(chart.Profiles.size(), 2u);
    EXPECT_TRUE(chart.Profiles[1].X.empty());
    EXPECT_FLOAT_EQ(chart.Profiles[1].Value, 0.064f);
}

TEST(ProfileCurves, TitleFromTheFirstExStationAndTheEmptySelection)
{
    SurveyStore store;
    EXPECT_FALSE(HasExProfileSelection(store, {"A"}));
    store.ExStations = {Station("first", 0, 0, {1}, {1}), Station("A", 0, 0, {1}, {1})};
    EXPECT_FALSE(HasExProfileSelection(store, {}));
    EXPECT_TRUE(HasExProfileSelection(store, {"A"}));
    EXPECT_EQ(BuildExProfileChart(store, {"A"}).Title, "Unknown工区unknown测线电场Ex剖面图");
    store.ExStations[0].Info.Area = "Xiling";
    store.ExStations[0].Info.HyName = "L7";
    EXPECT_EQ(ExProfileChartTitle(store), "Xiling工区L7测线电场Ex剖面图");
}

TEST(ProfileCurves, LookedUpOnceTheChartIsTheOneOfTheFullSearch)
{
    // Names that repeat in the survey and in the pick, lists of frequencies that repeat from
    // station to station or differ in one close frequency, a NaN, and amplitudes that stop short.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::vector<float>> lists = {{1, 2, 4, 8, 16},
                                                   {1, 2, 4, 8, 16},
                                                   {1, 2.06f, 4, 8, 16, 32},
                                                   {8, 4, nan, 2},
                                                   {0.5f, 2.01f}};
    std::mt19937 random(17);
    SurveyStore store;
    for (int i = 0; i < 80; ++i) {
        std::vector<float> fx = lists[random() % 3 == 0 ? random() % lists.size() : i / 20 % 2];
        std::vector<float> fy(fx.size() - (random() % 6 == 0 ? 1 : 0));
        for (float& a : fy) a = static_cast<float>(random() % 1000) / 7;
        store.ExStations.push_back(Station("S" + std::to_string(random() % 50),
                                           static_cast<float>(random() % 900),
                                           static_cast<float>(random() % 900), fx, fy));
    }
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> picked;
        for (int k = 0; k < 1 + round * 3; ++k)
            picked.push_back("S" + std::to_string(random() % 60));
        ExProfileChartData expected = SlowChart(store, picked);
        // By names, and from the pick a rectangle gathers, as the map opens the chart.
        for (const ExProfileChartData& chart :
             {BuildExProfileChart(store, picked),
              BuildExProfileChart(store, PickExProfile(store, picked))}) {
            ASSERT_EQ(chart.Profiles.size(), expected.Profiles.size());
            for (size_t k = 0; k < chart.Profiles.size(); ++k) {
                const Profile &a = chart.Profiles[k], &b = expected.Profiles[k];
                EXPECT_TRUE(SameBits({a.Value}, {b.Value}) && SameBits(a.X, b.X) &&
                            SameBits(a.Y, b.Y))
                    << round << " " << k;
                EXPECT_EQ(a.Labels, b.Labels);
            }
            EXPECT_EQ(chart.Names, expected.Names);
        }
    }
    // A pick of nothing, or one the store has outgrown, reads no station beyond the store.
    EXPECT_TRUE(BuildExProfileChart(store, ExProfilePick{}).Names.empty());
    ExProfilePick stale = PickExProfile(store, {"S1"});
    stale.Stations.push_back(store.ExStations.size());
    stale.Start.back() += 1;
    EXPECT_NO_FATAL_FAILURE(BuildExProfileChart(store, stale));
}
