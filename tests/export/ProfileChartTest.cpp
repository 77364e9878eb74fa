#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "export/ProfileChart.h"

namespace {

Profile Curve(float value, std::vector<float> x, std::vector<float> y)
{
    Profile p;
    p.Value = value;
    p.X = std::move(x);
    p.Y = std::move(y);
    return p;
}

void ExpectRange(const AxisRange& r, double lo, double hi, const std::string& what)
{
    EXPECT_NEAR(r.Min, lo, std::fabs(lo) * 1e-6 + 1e-12) << what;
    EXPECT_NEAR(r.Max, hi, std::fabs(hi) * 1e-6 + 1e-12) << what;
}

}  // namespace

TEST(ProfileChart, SeriesTitles)
{
    EXPECT_EQ(ProfileSeriesTitle(0.256f), "256m");
    EXPECT_EQ(ProfileSeriesTitle(0.0005f), "500u");
    EXPECT_EQ(ProfileSeriesTitle(0.0015f), "1.5m");
    EXPECT_EQ(ProfileSeriesTitle(0.0002f), "200u");
    EXPECT_EQ(ProfileSeriesTitle(0.001f), "1m");
}

TEST(ProfileChart, ColoursRunFromBlueToRedAndOneCurveIsBlue)
{
    EXPECT_EQ(AssignTraceColours(2), (std::vector<std::uint32_t>{0xFF0000, 0x0000FF}));
    EXPECT_EQ(AssignTraceColours(3), (std::vector<std::uint32_t>{0xFF0000, 0x7F007F, 0x0000FF}));
    EXPECT_EQ(AssignTraceColours(1), std::vector<std::uint32_t>{0xFF0000});
    EXPECT_TRUE(AssignTraceColours(0).empty());
}

TEST(ProfileChart, AmplitudeRangeIsADecadeBeyondTheValuesAndNeverFails)
{
    ExpectRange(ProfileAmplitudeRange({Curve(1, {0, 5}, {2, 50}), Curve(2, {0}, {0.5f})}), 0.05,
                500, "decade each side");
    ExpectRange(ProfileAmplitudeRange({Curve(1, {0}, {3})}), 0.3, 30, "single station");
    ExpectRange(ProfileAmplitudeRange({Curve(1, {0, 1}, {0, 4}), Curve(2, {0}, {-2})}), 0.4, 40,
                "non-positive amplitudes left out");
    ExpectRange(ProfileAmplitudeRange({Curve(1, {}, {})}), 1e-6, 1, "no point");
    ExpectRange(ProfileAmplitudeRange({Curve(1, {0}, {0})}), 1e-6, 1, "only zero");
    ExpectRange(ProfileAmplitudeRange({}), 1e-6, 1, "no curve");
}

TEST(ProfileChart, DistanceRangeOnBothScales)
{
    std::vector<Profile> line = {Curve(1, {0, 500, 200}, {1, 1, 1}), Curve(2, {1500}, {1})};
    ExpectRange(ProfileDistanceRange(line, false), 0, 1500, "linear");
    ExpectRange(ProfileDistanceRange(line, true), 200, 1500, "log leaves out the reference");
    std::vector<Profile> single = {Curve(1, {0}, {1}), Curve(2, {0}, {1})};
    ExpectRange(ProfileDistanceRange(single, false), -1, 1, "single station, linear");
    ExpectRange(ProfileDistanceRange(single, true), 1, 1000, "single station, log");
    ExpectRange(ProfileDistanceRange({Curve(1, {250}, {1})}, true), 25, 2500, "one distance");
    ExpectRange(ProfileDistanceRange({}, false), 0, 1, "no curve");
}

TEST(ProfileChart, RangeInputText)
{
    struct Case {
        const char* text;
        bool bottomLog;
        double lo, hi;
    } cases[] = {
        {"0.001,10", false, 0.001f, 10},
        {"10,0.001", false, 0.001f, 10},
        {kLeftRangeInputDefault, false, 1e-6f, 1},
        {kBottomRangeInputDefault, true, 1, 1000},
        {"0.5", false, 1e-6f, 1},
        {"abc,xyz", false, 0, 1000},
        {"abc,xyz", true, 1e-5f, 1},
        {"1,2,3", false, 0, 1000},
        {"1e39,1", false, 0, 1000},
        {" 2 , 8 ", true, 2, 8},
    };
    for (const Case& c : cases) {
        ExpectRange(ParseAxisRangeText(c.text, c.bottomLog), c.lo, c.hi, c.text);
    }
}

TEST(ProfileChart, UsableRangesForAxesThatCannotShowThem)
{
    struct Case {
        double lo, hi;
        bool log;
        double wantLo, wantHi;
    } cases[] = {
        {0, 1000, true, 1, 1000},  // the 0..1000 fall-back on the logarithmic left axis
        {-5, -1, true, 1, 1000},  {3, 3, true, 0.3, 30},
        {3, 3, false, 2.7, 3.3},  {0, 0, false, -1, 1},
        {5, 2, false, 2, 5},      {std::numeric_limits<double>::quiet_NaN(), 1, true, 1, 1000},
        {1e-6, 1, true, 1e-6, 1},
    };
    for (const Case& c : cases) {
        AxisRange r = UsableAxisRange({c.lo, c.hi}, c.log);
        ExpectRange(r, c.wantLo, c.wantHi, std::to_string(c.lo) + ".." + std::to_string(c.hi));
        EXPECT_LT(r.Min, r.Max);
    }
}

TEST(ProfileChart, ScaleAndLegendToggles)
{
    ScaleToggle x = ToggleScale("&X is linear", 'x');
    EXPECT_FALSE(x.Logarithmic);
    EXPECT_EQ(x.Caption, "x is logarithmic");
    x = ToggleScale(x.Caption, 'x');
    EXPECT_TRUE(x.Logarithmic);
    EXPECT_EQ(x.Caption, "x is linear");

    LegendToggle legend = ToggleLegend("&Hide legends", true);
    EXPECT_FALSE(legend.Visible);
    EXPECT_EQ(legend.Caption, "显示图例");
    legend = ToggleLegend(legend.Caption, legend.Visible);
    EXPECT_TRUE(legend.Visible);
    EXPECT_EQ(legend.Caption, "隐藏图例");
    EXPECT_FALSE(ToggleLegend(legend.Caption, true).Visible);
}

TEST(ProfileChart, SmoothingUsesTheSmoothedLeftNeighbour)
{
    std::vector<Profile> profiles = {Curve(1, {0, 1, 2}, {1, 2, 4}), Curve(1, {0, 1}, {3, 5}),
                                     Curve(1, {0}, {7}), Curve(1, {}, {}),
                                     Curve(1, {0, 1, 2, 3}, {4, 0, 0, 8})};
    SmoothProfilesHorizontally(profiles);
    EXPECT_EQ(profiles[0].Y, (std::vector<float>{2.25f, 2.25f, 4}));
    EXPECT_EQ(profiles[1].Y, (std::vector<float>{5, 5}));
    EXPECT_EQ(profiles[2].Y, std::vector<float>{7});
    EXPECT_TRUE(profiles[3].Y.empty());
    // Y1 = (0 + 4 + 0) / 4 = 1; Y2 = (0 + 1 + 8) / 4 = 2.25
    EXPECT_EQ(profiles[4].Y, (std::vector<float>{1, 1, 2.25f, 8}));
    EXPECT_EQ(profiles[0].X, (std::vector<float>{0, 1, 2}));
}

TEST(ProfileChart, PointLabels)
{
    Profile p = Curve(1, {0, 5}, {1, 2});
    p.Labels = {"B"};
    EXPECT_EQ(ProfilePointLabel(p, 0), "B");
    EXPECT_EQ(ProfilePointLabel(p, 1), "");
}
