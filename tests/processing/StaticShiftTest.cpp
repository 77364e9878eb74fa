#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/StringList.h"
#include "processing/StaticShift.h"
#include "processing/StationCurves.h"
#include "tests/support/SurveyFixture.h"

namespace {

// Stations "100", "300" and "200" with frequencies 1 ... 10000 Hz stored ascending; at 1000 Hz
// "MT" is 0.2/1000·(E/H)²: 2, 2 and 0.5.
SurveyStore ProfileSurvey()
{
    SurveyStore store;
    TxData tx = MakeTx("T1", 0, 0, 1000);
    tx.FipList.push_back({1000, 10, 0, 0, 0});
    store.Transmitters.push_back(tx);
    const std::vector<Sample> hy = {
        {1, 1, 0}, {10, 1, 0}, {100, 1, 0}, {1000, 2, 0}, {10000, 1, 0}};
    const std::vector<Sample> ex = {
        {1, 1, 0}, {10, 1, 0}, {100, 1, 0}, {1000, 200, 0}, {10000, 1, 0}};
    store.HyStations.push_back(MakeHy("H100", "T1", 0, 3000, hy));
    store.HyStations.push_back(MakeHy("H300", "T1", 0, 3000, hy));
    store.HyStations.push_back(MakeHy("H200", "T1", 0, 3000, {{1000, 4, 0}}));
    store.ExStations.push_back(MakeEx("100", "H100", 0, 3000, ex));
    store.ExStations.push_back(MakeEx("300", "H300", 0, 3000, ex));
    store.ExStations.push_back(MakeEx("200", "H200", 0, 3000, ex));
    store.RefFreqIndex = 1;
    for (const char* name : {"100", "300", "200", "100"}) store.StaticFactors.push_back({name, 1});
    return store;
}

}  // namespace

TEST(StaticShift, ReferenceFrequencyFromTheFirstStation)
{
    SurveyStore store = ProfileSurvey();
    struct Case {
        int index;
        double fref;
    } cases[] = {{1, 1000}, {0, 10000}, {4, 1}, {5, 1}, {400, 1}, {-2, 10000}};
    for (const Case& c : cases) {
        store.RefFreqIndex = c.index;
        double fref = 0;
        ASSERT_TRUE(StaticShiftReferenceFrequency(store, fref));
        EXPECT_EQ(fref, c.fref) << c.index;
    }
    double fref;
    store.ExStations[0].Amplitude.X.clear();
    EXPECT_FALSE(StaticShiftReferenceFrequency(store, fref));
    store.ExStations.clear();
    EXPECT_FALSE(StaticShiftReferenceFrequency(store, fref));
}

TEST(StaticShift, ValuesAtTheReferenceFrequency)
{
    SurveyStore store = ProfileSurvey();
    std::vector<StaticShiftValue> v = ComputeStaticShiftValues(store);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_DOUBLE_EQ(v[0].MT, 0.2 / 1000 * 100 * 100);
    EXPECT_DOUBLE_EQ(v[2].MT, 0.2 / 1000 * 50 * 50);
    // "REF" is the "Hy_F" value at fref; the current (10 A) cancels.
    StationCurves c;
    ComputeStationCurves(store, "100", c);
    EXPECT_DOUBLE_EQ(v[0].REF, c.RhoHyF[3]);

    // No Hy sample at fref: that station only is skipped.
    store.HyStations[1].Amplitude.X[3] = 999;
    v = ComputeStaticShiftValues(store);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].Station, 0u);
    EXPECT_EQ(v[1].Station, 2u);

    // Only the first Amplitude.Count samples of an Ex station are looked at; a zero amplitude
    // skips too.
    store = ProfileSurvey();
    store.ExStations[0].Amplitude.Count = 3;
    store.ExStations[1].Amplitude.Y[3] = 0;
    v = ComputeStaticShiftValues(store);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].Station, 2u);

    store = ProfileSurvey();
    store.Transmitters.clear();
    EXPECT_TRUE(ComputeStaticShiftValues(store).empty());
    store = ProfileSurvey();
    store.HyStations.clear();
    EXPECT_TRUE(ComputeStaticShiftValues(store).empty());
}

TEST(StaticShift, DragFactorsAndFile)
{
    SurveyStore store = ProfileSurvey();
    std::vector<StaticShiftPoint> points;
    PlaceStaticShiftPoints(store, ComputeStaticShiftValues(store), points);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].X, 100);
    EXPECT_EQ(points[1].X, 200);
    EXPECT_EQ(points[2].X, 300);
    EXPECT_EQ(points[1].SEC, 1.0);

    DragStaticShiftPoint(points[0], 2 * points[0].MTRaw);
    EXPECT_NEAR(points[0].SEC, 2.0, 1e-15);
    ApplyStaticShiftFactors(store, points);
    EXPECT_EQ(store.StaticFactors[0].Factor, 2.0f);
    EXPECT_EQ(store.StaticFactors[3].Factor, 2.0f);  // every entry of the name
    EXPECT_EQ(store.StaticFactors[1].Factor, 1.0f);

    store.StaticFactors.push_back({"400", 0.5f});  // no point: name and a blank only
    EXPECT_EQ(StaticShiftFileText(store.StaticFactors, points),
              "STN    MT      REF     REF/MT\r\n"
              "100 4 2 2\r\n"
              "300 2 2 1\r\n"
              "200 0.5 0.5 1\r\n"
              "100 4 2 2\r\n"
              "400 \r\n");

    const std::string path = testing::TempDir() + "SEC.txt";
    ASSERT_TRUE(WriteStaticShiftFile(path, store.StaticFactors, points));
    StringList read;
    read.LoadFromFile(path);
    EXPECT_EQ(read.Text(), StaticShiftFileText(store.StaticFactors, points));
    EXPECT_FALSE(
        WriteStaticShiftFile(testing::TempDir() + "no/such/SEC.txt", store.StaticFactors, points));
}

TEST(StaticShift, NamesThatAreNotNumbersAndEqualPositions)
{
    SurveyStore store = ProfileSurvey();
    store.ExStations[1].Name = "L3";
    std::vector<StaticShiftPoint> points;
    EXPECT_THROW(PlaceStaticShiftPoints(store, ComputeStaticShiftValues(store), points),
                 EConvertError);
    ASSERT_EQ(points.size(), 1u);  // the station before it
    EXPECT_EQ(points[0].X, 100);

    // 100 and 100.0 stand at one x; the first in list order serves both names.
    store = ProfileSurvey();
    store.ExStations[1].Name = "100.0";
    points.clear();
    PlaceStaticShiftPoints(store, ComputeStaticShiftValues(store), points);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].Station, 0u);
    EXPECT_EQ(points[1].Station, 1u);
    DragStaticShiftPoint(points[0], 3 * points[0].MTRaw);
    store.StaticFactors.push_back({"100.0", 1});
    store.StaticFactors.push_back({"bad", 1});
    store.StaticFactors.push_back({"200", 7});
    EXPECT_THROW(ApplyStaticShiftFactors(store, points), EConvertError);
    EXPECT_NEAR(store.StaticFactors[4].Factor, 3.0f, 1e-6);  // set before the bad name
    EXPECT_EQ(store.StaticFactors[6].Factor, 7.0f);          // after it: untouched
}
