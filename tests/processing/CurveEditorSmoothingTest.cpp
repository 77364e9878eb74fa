#include <gtest/gtest.h>

#include "processing/MTCurve.h"
#include "processing/Smoothing.h"

namespace {

xy Curve(size_t n, float (*value)(size_t))
{
    xy c;
    for (size_t i = 0; i < n; ++i) {
        c.X.push_back(static_cast<float>(1000 - i));
        c.Y.push_back(value(i));
    }
    return c;
}

float Square(size_t i)
{
    return static_cast<float>(i * i);
}
float Linear(size_t i)
{
    return static_cast<float>(i);
}

TStation Station(const std::string& name, const std::string& hyName, std::vector<float> f,
                 std::vector<float> amp)
{
    TStation s;
    s.Name = name;
    s.Info.HyName = hyName;
    s.Amplitude.X = f;
    s.Amplitude.Y = amp;
    s.Phase.X = f;
    s.Phase.Y.assign(f.size(), 0.0f);
    return s;
}

}  // namespace

TEST(CurveEditorSmoothing, WindowWidensEvery16PointsAndIsCutAtTheEnd)
{
    xy sixteen = Curve(16, Square);
    xy before = sixteen;
    SmoothCurve(sixteen);
    EXPECT_EQ(sixteen.Y, before.Y);
    EXPECT_EQ(sixteen.Count, 16);

    xy c = Curve(40, Square);
    c.Count = 3;
    before = c;
    SmoothCurve(c);
    EXPECT_EQ(c.X, before.X);
    EXPECT_EQ(c.Count, 40);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(c.Y[i], before.Y[i]);
    // Means come from the values before smoothing: point 17 does not see point 16's new value.
    EXPECT_FLOAT_EQ(c.Y[16], float((225 + 256 + 289) / 3.0));
    EXPECT_FLOAT_EQ(c.Y[17], float((256 + 289 + 324) / 3.0));
    EXPECT_FLOAT_EQ(c.Y[32], float((30 * 30 + 31 * 31 + 32 * 32 + 33 * 33 + 34 * 34) / 5.0));
    EXPECT_FLOAT_EQ(c.Y[38], float((36 * 36 + 37 * 37 + 38 * 38 + 39 * 39) / 4.0));
    EXPECT_FLOAT_EQ(c.Y[39], float((38 * 38 + 39 * 39) / 2.0));
}

TEST(CurveEditorSmoothing, CurvesOfAnyLengthAndMalformedOnes)
{
    xy longCurve = Curve(5000, Linear);
    SmoothCurve(longCurve);
    EXPECT_EQ(longCurve.Count, 5000);
    EXPECT_EQ(longCurve.Y[2500], 2500.0f);  // symmetric window of 313 points
    EXPECT_EQ(longCurve.Y[4999], 4998.5f);

    xy empty;
    empty.Count = 4;
    SmoothCurve(empty);
    EXPECT_TRUE(empty.Y.empty());
    EXPECT_EQ(empty.Count, 0);

    xy shortY = Curve(20, Linear);
    shortY.Y.resize(18);
    SmoothCurve(shortY);
    EXPECT_EQ(shortY.X.size(), 20u);
    EXPECT_EQ(shortY.Y.size(), 18u);
    EXPECT_EQ(shortY.Count, 20);
    EXPECT_FLOAT_EQ(shortY.Y[17], 16.5f);  // the window ends at the last value there is
}

TEST(CurveEditorMTCurve, ValuesPairingAndTolerance)
{
    SurveyStore store;
    store.ExStations = {Station("E1", "H2", {1, 100, 100, 7}, {10, 4, 4, 1})};
    store.HyStations = {Station("H2", "x", {1, 100.0021f, 100.0019f}, {9, 9, 2}),
                        Station("Other", "H2", {1, 100.0019f, 100.0021f}, {1, 2, 9})};
    MTCurve c = ComputeMTCurve(store, 0);
    // The Hy station whose own HyName equals; its first sample within 1e-5 of the sum; 7 Hz has
    // no partner.
    ASSERT_EQ(c.Freq.size(), 3u);
    EXPECT_EQ(c.Freq[0], 1.0);
    EXPECT_DOUBLE_EQ(c.Rho[0], 20.0);
    EXPECT_DOUBLE_EQ(c.Rho[1], 1.0 / 500.0 * 4 / 2 * 4 / 2);
    EXPECT_DOUBLE_EQ(c.Rho[2], c.Rho[1]);

    store.HyStations.erase(store.HyStations.begin() + 1);  // falls back to the first Hy station
    c = ComputeMTCurve(store, 0);
    ASSERT_EQ(c.Freq.size(), 3u);
    EXPECT_DOUBLE_EQ(c.Rho[0], 1.0 / 5 * 10 / 9 * 10 / 9);
    EXPECT_DOUBLE_EQ(c.Rho[1], 1.0 / 500.0 * 4 / 2 * 4 / 2);
}

TEST(CurveEditorMTCurve, EmptyCasesLongListsAndZeroField)
{
    SurveyStore store;
    store.ExStations = {Station("E1", "H", {1, 2}, {1, 1})};
    EXPECT_TRUE(ComputeMTCurve(store, 0).Freq.empty());  // no Hy station
    store.HyStations = {Station("H", "H", {1, 2}, {0, 1})};
    EXPECT_TRUE(ComputeMTCurve(store, 1).Freq.empty());
    EXPECT_TRUE(ComputeMTCurve(store, -1).Freq.empty());
    MTCurve c = ComputeMTCurve(store, 0);
    ASSERT_EQ(c.Freq, (std::vector<double>{2}));  // H = 0 gives no finite value

    std::vector<float> f(3000), a(3000, 1.0f);
    for (size_t i = 0; i < f.size(); ++i) f[i] = static_cast<float>(i + 1);
    store.ExStations = {Station("E1", "H", f, a)};
    store.HyStations = {Station("H", "H", f, a)};
    EXPECT_EQ(ComputeMTCurve(store, 0).Freq.size(), 3000u);
}
