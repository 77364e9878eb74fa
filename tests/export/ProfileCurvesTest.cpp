#include <gtest/gtest.h>

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
