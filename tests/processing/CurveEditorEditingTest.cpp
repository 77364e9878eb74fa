#include <cmath>
#include <gtest/gtest.h>

#include "processing/CurveEditing.h"

namespace {

TStation MakeStation(const std::string& name, std::vector<float> freqs, std::vector<float> amps,
                     std::vector<float> phases)
{
    TStation s;
    s.Name = name;
    s.Amplitude.X = freqs;
    s.Amplitude.Y = std::move(amps);
    s.Phase.X = std::move(freqs);
    s.Phase.Y = std::move(phases);
    s.Amplitude.Count = s.Phase.Count = static_cast<int>(s.Amplitude.X.size());
    return s;
}

EditorCharts Drawn(const TStation& station, DisplayForm form = DisplayForm::AmpPhase)
{
    EditorCharts charts;
    DrawStation(charts, {station}, 0, form);
    return charts;
}

}  // namespace

TEST(CurveEditorDisplay, SeriesSortedByFrequencyWithNeighboursAndRawCopy)
{
    std::vector<TStation> stations = {
        MakeStation("A", {1, 2}, {1, 2}, {0.1f, 0.2f}),
        MakeStation("B", {100, 10, 1000}, {3, 2, 4}, {0.3f, 0.2f, 0.4f}),
    };
    EditorCharts charts;
    DrawStation(charts, stations, 1, DisplayForm::AmpPhase);
    EXPECT_EQ(charts.Amplitude.Present.X, (std::vector<double>{10, 100, 1000}));
    EXPECT_EQ(charts.Amplitude.Present.Y, (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(charts.Phase.Present.X, charts.Amplitude.Present.X);
    EXPECT_DOUBLE_EQ(charts.Phase.Present.Y[0], 0.2f);
    EXPECT_EQ(charts.Amplitude.Present.Title, "B");
    EXPECT_EQ(charts.Phase.Raw.Title, "B");
    EXPECT_EQ(charts.Amplitude.Raw.Y, charts.Amplitude.Present.Y);
    EXPECT_EQ(charts.Amplitude.Previous.Title, "A");
    EXPECT_EQ(charts.Amplitude.Previous.Count(), 2u);
    EXPECT_EQ(charts.Amplitude.Next.Title, "");
    EXPECT_EQ(charts.Phase.Next.Count(), 0u);

    DrawStation(charts, stations, 1, DisplayForm::ReIm);
    EXPECT_DOUBLE_EQ(charts.Amplitude.Present.Y[0], 2.0 * std::cos(double(0.2f)));
    EXPECT_DOUBLE_EQ(charts.Phase.Present.Y[0], 2.0 * std::sin(double(0.2f)));
    EXPECT_EQ(charts.Form, DisplayForm::ReIm);
}

TEST(CurveEditorDisplay, ShortListsAndBadFrequenciesAreDrawnWithoutReadingPastTheirEnd)
{
    TStation s = MakeStation("S", {5, NAN, 1, 3}, {1, 2, 3, 4}, {0, 0, 0});
    EditorCharts charts = Drawn(s);
    ASSERT_EQ(charts.Amplitude.Present.Count(), 3u);
    EXPECT_EQ(charts.Amplitude.Present.X[0], 1);
    EXPECT_EQ(charts.Amplitude.Present.X[1], 5);
    EXPECT_TRUE(std::isnan(charts.Amplitude.Present.X[2]));
}

TEST(CurveEditorPoints, PickMoveAndFlag)
{
    EditorCharts charts = Drawn(MakeStation("S", {1.15f, 1.0f}, {7, 5}, {0, 0}));
    ChartSeries& a = charts.Amplitude.Present;
    // Both pick windows hold 1.05; the lower frequency comes first.
    EXPECT_EQ(ClickPoint(a, 1.05, 9.0, false), 0);
    EXPECT_EQ(a.Y[0], 9.0);
    EXPECT_FLOAT_EQ(a.X[0], 1.0f);
    EXPECT_EQ(charts.Amplitude.Raw.Y[0], 5.0);

    EXPECT_EQ(ClickPoint(a, 1.2, 0.0, true), 1);
    EXPECT_TRUE(a.Green[1]);
    EXPECT_EQ(a.Y[1], 7.0);
    ClickPoint(a, 1.2, 0.0, true);
    EXPECT_FALSE(a.Green[1]);

    EXPECT_EQ(ClickPoint(a, 0.9, 1.0, false), -1);  // bounds are strict
    EXPECT_EQ(ClickPoint(a, 50.0, 1.0, true), -1);
    EXPECT_EQ(a.Y, (std::vector<double>{9, 7}));
    ChartSeries empty;
    EXPECT_EQ(ClickPoint(empty, 1.0, 1.0, false), -1);
}

TEST(CurveEditorPoints, PhaseSegmentShift)
{
    TStation s = MakeStation("S", {1, 10, 100, 1000}, {1, 1, 1, 1}, {0.1f, 0.2f, 0.3f, 0.4f});
    EditorCharts left = Drawn(s);
    ASSERT_TRUE(ShiftPhaseSegment(left.Phase.Present, 120.0, 1.0, true));
    const std::vector<double>& y = left.Phase.Present.Y;
    double d = 1.0 - double(0.3f);
    EXPECT_DOUBLE_EQ(y[0], double(0.1f) + d);
    EXPECT_DOUBLE_EQ(y[1], double(0.2f) + d);
    EXPECT_DOUBLE_EQ(y[2], 1.0);
    EXPECT_DOUBLE_EQ(y[3], double(0.4f));

    EditorCharts right = Drawn(s);
    ASSERT_TRUE(ShiftPhaseSegment(right.Phase.Present, 12.0, -1.0, false));
    EXPECT_DOUBLE_EQ(right.Phase.Present.Y[0], double(0.1f));
    EXPECT_DOUBLE_EQ(right.Phase.Present.Y[1], -1.0);
    EXPECT_DOUBLE_EQ(right.Phase.Present.Y[3], double(0.4f) - 1.0 - double(0.2f));

    EXPECT_FALSE(ShiftPhaseSegment(right.Phase.Present, 5.0, 0.0, true));  // 0.75..1.5 window
}

TEST(CurveEditorPoints, AmplitudeScalingRanges)
{
    TStation s = MakeStation("S", {1, 2, 3}, {10, 20, 30}, {0, 0, 0});
    const double up = 1.05f, down = 0.95f;
    EXPECT_EQ(AmplitudeStepFactor(true), 1.05f);
    EXPECT_EQ(AmplitudeStepFactor(false), 0.95f);
    struct Case {
        ScaleRange range;
        int cursor;
        double factor;
        std::vector<double> expected;
    } cases[] = {
        {ScaleRange::All, 1, up, {10 * up, 20 * up, 30 * up}},
        {ScaleRange::LeftOfCursor, 0, up, {10, 20, 30}},
        {ScaleRange::RightOfCursor, 0, down, {10 * down, 20 * down, 30 * down}},
        {ScaleRange::LeftOfCursor, 2, down, {10 * down, 20 * down, 30}},
        {ScaleRange::RightOfCursor, 2, up, {10, 20, 30 * up}},
        {ScaleRange::RightOfCursor, 7, up, {10, 20, 30}},
    };
    for (const Case& c : cases) {
        EditorCharts charts = Drawn(s);
        ScaleAmplitudes(charts.Amplitude.Present, c.factor, c.range, c.cursor);
        EXPECT_EQ(charts.Amplitude.Present.Y, c.expected) << int(c.range) << " " << c.cursor;
    }
    EditorCharts twice = Drawn(s);
    ScaleAmplitudes(twice.Amplitude.Present, up, ScaleRange::All, 0);
    ScaleAmplitudes(twice.Amplitude.Present, up, ScaleRange::All, 0);
    EXPECT_EQ(twice.Amplitude.Present.Y[0], 10 * up * up);
}

TEST(CurveEditorWriteBack, RelativeToleranceOfThePointsFrequency)
{
    TStation s = MakeStation("S", {1000, 2000, 3000}, {1, 2, 3}, {0.1f, 0.2f, 0.3f});
    EditorCharts charts;
    // Just inside 1e-4 of the point's frequency; just outside it, though within 1e-4 of the
    // sample's; and no point near 3000 at all.
    charts.Amplitude.Present.Fill({1000 * (1 + 0.99e-4), 2000 / (1 + 1.00005e-4)}, {11, 22});
    charts.Phase.Present.Fill({1000 * (1 + 0.99e-4), 2000 / (1 + 1.00005e-4)}, {0.5, 0.6});
    StoreChartToStation(charts, s);
    EXPECT_EQ(s.Amplitude.Y, (std::vector<float>{11, 2, 3}));
    EXPECT_EQ(s.Phase.Y, (std::vector<float>{0.5f, 0.2f, 0.3f}));
    EXPECT_EQ(s.Amplitude.X, (std::vector<float>{1000, 2000, 3000}));
    EXPECT_EQ(s.Amplitude.Count, 3);
}

TEST(CurveEditorWriteBack, LastMatchingPointWinsAndValuesAreStoredAsSingles)
{
    TStation s = MakeStation("S", {100, 100.005f}, {1, 2}, {0, 0});
    EditorCharts charts = Drawn(s);
    charts.Amplitude.Present.Y = {1.0 / 3.0, 5.0};
    StoreChartToStation(charts, s);
    EXPECT_EQ(s.Amplitude.Y, (std::vector<float>{5, 5}));

    charts.Amplitude.Present.X = {100, 500};
    StoreChartToStation(charts, s);
    EXPECT_EQ(s.Amplitude.Y[0], static_cast<float>(1.0 / 3.0));
    EXPECT_EQ(s.Amplitude.Y[1], static_cast<float>(1.0 / 3.0));

    charts.Amplitude.Present.Y[0] = -1e300;  // beyond the single range
    StoreChartToStation(charts, s);
    EXPECT_EQ(s.Amplitude.Y[0], -INFINITY);
}

TEST(CurveEditorWriteBack, RealImaginaryFormComesBackAsAmplitudeAndPhase)
{
    TStation s = MakeStation("S", {1, 10}, {3, 4}, {2.0f, 4.0f});
    EditorCharts charts = Drawn(s, DisplayForm::ReIm);
    StoreChartToStation(charts, s);
    EXPECT_FLOAT_EQ(s.Amplitude.Y[0], 3.0f);
    EXPECT_FLOAT_EQ(s.Phase.Y[0], 2.0f);
    EXPECT_FLOAT_EQ(s.Amplitude.Y[1], 4.0f);
    EXPECT_FLOAT_EQ(s.Phase.Y[1], static_cast<float>(double(4.0f) - 2 * M_PI));

    // Charts drawn in the amplitude/phase form are written back as such, whatever is chosen since.
    TStation t = MakeStation("T", {1}, {3}, {2.0f});
    EditorCharts ampPhase = Drawn(t);
    ampPhase.Amplitude.Present.Y[0] = -1.5;
    StoreChartToStation(ampPhase, t);
    EXPECT_EQ(t.Amplitude.Y[0], -1.5f);
    EXPECT_EQ(t.Phase.Y[0], 2.0f);
}

TEST(CurveEditorWriteBack, ShortListsOfTheRecordAreNotWrittenPast)
{
    TStation s = MakeStation("S", {1, 2, 3}, {1, 2}, {0.5f});
    EditorCharts charts;
    charts.Amplitude.Present.Fill({1, 2, 3}, {7, 8, 9});
    charts.Phase.Present.Fill({1, 2, 3}, {0.1, 0.2, 0.3});
    StoreChartToStation(charts, s);
    EXPECT_EQ(s.Amplitude.Y, (std::vector<float>{7, 8}));
    EXPECT_EQ(s.Phase.Y, (std::vector<float>{0.1f}));
}

TEST(CurveEditorStations, FindCurrentStationTakesTheFirstExactName)
{
    std::vector<TStation> stations = {MakeStation("a", {}, {}, {}), MakeStation("B", {}, {}, {}),
                                      MakeStation("B", {}, {}, {})};
    int index = 0;
    FindCurrentStation(stations, "B", index);
    EXPECT_EQ(index, 1);
    index = 0;
    FindCurrentStation(stations, "A", index);
    EXPECT_EQ(index, 0);
}
