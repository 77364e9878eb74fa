#include <gtest/gtest.h>

#include "survey/Records.h"
#include "survey/SurveyStore.h"

namespace {

TStation SampleStation(const std::string& name, float value)
{
    TStation s;
    s.Name = name;
    s.Amplitude.X = {1, 2};
    s.Amplitude.Y = {value, value};
    s.Phase.X = {1, 2};
    s.Phase.Y = {0.1f, 0.2f};
    s.Errors.X = {0.01f, 0.01f};
    s.Errors.Y = {0.001f, 0.001f};
    s.Amplitude.Count = 7;  // out of step with its lists on purpose
    s.Info.X = 100;
    return s;
}

TxData Source(float ax, float ay, float bx, float by, float freq)
{
    TxData tx;
    tx.Ax = ax;
    tx.Ay = ay;
    tx.Bx = bx;
    tx.By = by;
    tx.Fip.Freq = freq;
    ComputeTransmitterGeometry(tx);
    return tx;
}

}  // namespace

TEST(Records, Defaults)
{
    TStation s;
    EXPECT_EQ(s.Name, "unknown");
    EXPECT_EQ(s.Info.Area, "Unknown");
    EXPECT_EQ(s.Info.HyName, "unknown");
    EXPECT_EQ(s.Info.Tag, "Me");
    EXPECT_EQ(s.Info.TxName, "Murv");
    EXPECT_EQ(s.Info.Extra, "");
    EXPECT_EQ(s.Info.X + s.Info.Y + s.Info.Z, 0);
    EXPECT_EQ(s.Amplitude.Count + s.Phase.Count + s.Errors.Count, 0);
    EXPECT_TRUE(s.Amplitude.X.empty() && s.Phase.Y.empty() && s.Errors.X.empty());
    TxData tx;
    EXPECT_EQ(tx.Name, "");
    EXPECT_EQ(tx.Cx + tx.Length + tx.Azimuth + tx.Fip.Freq + tx.Fip.PhaseErr, 0);
}

TEST(Records, CopiesShareNothingAndClearKeepsHeader)
{
    TStation a = SampleStation("101", 5);
    TStation b = a;
    b.Amplitude.Y[0] = 9;
    b.Info.HyName = "x";
    EXPECT_EQ(a.Amplitude.Y[0], 5);
    EXPECT_EQ(a.Info.HyName, "unknown");
    ClearStationCurves(a);
    EXPECT_TRUE(a.Amplitude.X.empty() && a.Amplitude.Y.empty() && a.Phase.X.empty() &&
                a.Phase.Y.empty() && a.Errors.X.empty() && a.Errors.Y.empty());
    EXPECT_EQ(a.Name, "101");
    EXPECT_EQ(a.Amplitude.Count, 7);
    EXPECT_EQ(a.Info.X, 100);
}

TEST(Records, TransmitterGeometry)
{
    TxData tx = Source(0, 0, 0, 1000, 1);
    EXPECT_EQ(tx.Cy, 500);
    EXPECT_EQ(tx.Length, 1000);
    EXPECT_FLOAT_EQ(tx.Azimuth, -90);
    TxData swapped = Source(0, 1000, 0, 0, 1);
    EXPECT_FLOAT_EQ(swapped.Azimuth, 90);
    TxData oblique = Source(-500, -500, 500, 500, 1);
    EXPECT_FLOAT_EQ(oblique.Azimuth, 45);
    EXPECT_FLOAT_EQ(oblique.Length, 1414.2136f);
}

TEST(Records, FindSameTransmitter)
{
    std::vector<TxData> list;
    TxData probe = Source(-500, 0, 500, 0, 8);
    probe.Name = "probe";
    EXPECT_FALSE(FindSameTransmitter(probe, list));
    EXPECT_EQ(probe.Name, "probe");

    TxData first = Source(-500, 0, 500, 0, 8);
    first.Name = "first";
    first.FipList.push_back(FIP{});
    TxData second = first;
    second.Name = "second";
    TxData otherFreq = Source(-500, 0, 500, 0, 16);
    otherFreq.Name = "f16";
    list = {otherFreq, first, second};
    EXPECT_TRUE(FindSameTransmitter(probe, list));
    EXPECT_EQ(probe.Name, "first");

    // A and B swapped: same centre, length and azimuth.
    TxData swapped = Source(500, 0, -500, 0, 8);
    EXPECT_TRUE(FindSameTransmitter(swapped, list));
    // Parallel to the y axis the two directions give -90 and +90.
    std::vector<TxData> ns = {Source(0, 0, 0, 1000, 8)};
    TxData reversed = Source(0, 1000, 0, 0, 8);
    EXPECT_FALSE(FindSameTransmitter(reversed, ns));
}

TEST(SurveyStore, StartAndClear)
{
    SurveyStore store;
    EXPECT_EQ(store.RefFreqIndex, 4);
    EXPECT_EQ(store.CurrentStation, 0);
    EXPECT_EQ(store.RotationAngle, 0.0);
    store.ExStations.push_back(SampleStation("1", 1));
    store.HzStations.push_back(SampleStation("1", 1));
    store.EHStations.push_back(TEHStation{});
    store.WorkStations.push_back(SampleStation("1", 1));
    store.Transmitters.push_back(TxData{});
    store.StaticFactors.push_back(SECF{"1", 1.0f});
    store.LoadedFiles.push_back("a.raw");
    store.OutputFreqs = {1, 2};
    store.ProfileIndices = {0};
    store.CurrentStation = 3;
    store.RefFreqIndex = 2;
    store.RotationAngle = 30;
    store.ClearLoadedData();
    EXPECT_TRUE(store.ExStations.empty() && store.HzStations.empty() && store.EHStations.empty() &&
                store.WorkStations.empty() && store.Transmitters.empty() &&
                store.StaticFactors.empty() && store.LoadedFiles.empty());
    EXPECT_EQ(store.OutputFreqs.size(), 2u);
    EXPECT_EQ(store.ProfileIndices.size(), 1u);
    EXPECT_EQ(store.CurrentStation, 3);
    EXPECT_EQ(store.RefFreqIndex, 2);
    EXPECT_EQ(store.RotationAngle, 30);
}

// A mark notes what readers append to; cutting back takes out exactly what was appended since,
// also the part of a sample, and keeps a station whose curves were uneven before as it was.
TEST(SurveyStore, AppendMarkCutsBackWhatWasAppended)
{
    SurveyStore store;
    store.ExStations = {SampleStation("1", 1), SampleStation("2", 2)};
    store.ExStations[1].Errors.Y.pop_back();  // uneven before the mark
    store.HyStations = {SampleStation("H", 3)};
    TxData tx;
    tx.FipList.resize(2);
    store.Transmitters = {tx};
    const SurveyStore before = store;
    const AppendMark mark(store);
    EXPECT_FALSE(mark.Grown(store));

    store.ExStations[0].Amplitude.X.push_back(9);  // half a sample
    EXPECT_TRUE(mark.Grown(store));
    store.ExStations[1].Errors.Y.push_back(9);
    store.HyStations.push_back(SampleStation("H2", 4));
    store.HzStations.push_back(SampleStation("Z", 5));
    store.Transmitters[0].FipList.emplace_back();
    store.Transmitters.push_back(tx);
    mark.CutBack(store);
    EXPECT_FALSE(mark.Grown(store));
    ASSERT_EQ(store.ExStations.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(store.ExStations[i].Amplitude.X, before.ExStations[i].Amplitude.X);
        EXPECT_EQ(store.ExStations[i].Errors.Y, before.ExStations[i].Errors.Y);
    }
    EXPECT_EQ(store.HyStations.size(), 1u);
    EXPECT_TRUE(store.HzStations.empty());
    ASSERT_EQ(store.Transmitters.size(), 1u);
    EXPECT_EQ(store.Transmitters[0].FipList.size(), 2u);
}

TEST(ComponentSet, IndexSelectsTheList)
{
    SurveyStore store;
    EXPECT_EQ(&ComponentList(store, 0), &store.ExStations);
    EXPECT_EQ(&ComponentList(store, 1), &store.HyStations);
    EXPECT_EQ(&ComponentList(store, 2), &store.EyStations);
    EXPECT_EQ(&ComponentList(store, 3), &store.HxStations);
    EXPECT_EQ(&ComponentList(store, 4), &store.EzStations);
    for (int index : {5, 6, 1000, -1}) EXPECT_EQ(&ComponentList(store, index), &store.HzStations);
}

TEST(ComponentSet, TransfersCopyWhole)
{
    SurveyStore store;
    store.HyStations = {SampleStation("h1", 1), SampleStation("h2", 2)};
    LoadComponentSet(store, 1);
    ASSERT_EQ(store.WorkStations.size(), 2u);
    EXPECT_EQ(store.WorkStations[0].Amplitude.Count, 7);  // the count is copied, not recomputed
    StoreComponentSet(store, 1);
    ASSERT_EQ(store.HyStations.size(), 2u);
    EXPECT_EQ(store.HyStations[1].Name, "h2");

    StoreComponentSet(store, 2);
    store.WorkStations[0].Amplitude.Y[0] = 42;
    EXPECT_EQ(store.EyStations[0].Amplitude.Y[0], 1);

    store.WorkStations = {SampleStation("w", 3)};
    LoadComponentSet(store, 1);  // a longer list replaces the whole working copy
    EXPECT_EQ(store.WorkStations.size(), 2u);
    store.WorkStations.clear();
    StoreComponentSet(store, -1);
    EXPECT_TRUE(store.HzStations.empty());
    StoreComponentSet(store, 1);
    EXPECT_TRUE(store.HyStations.empty());
}
