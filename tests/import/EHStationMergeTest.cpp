#include <gtest/gtest.h>

#include <cmath>

#include "import/EHStationMerge.h"
#include "import/RelativeTests.h"

namespace {

using Values = std::vector<float>;

TEHStation Station(const std::string& name, Values freq, Values hAmp, Values hPhase)
{
    TEHStation s;
    s.Name = name;
    s.StationValue = 42;
    s.Freq = freq;
    for (size_t i = 0; i < freq.size(); ++i) {
        s.TxCurrent.push_back(10.0f + i);
        s.EAmp.push_back(1.0f + i);
        s.EPhase.push_back(-0.5f);
        s.EAmpErr.push_back(0.01f);
        s.EPhaseErr.push_back(0.02f);
        s.HAmpErr.push_back(0.03f);
        s.HPhaseErr.push_back(0.04f);
    }
    s.HAmp = hAmp;
    s.HPhase = hPhase;
    return s;
}

TStation HyRecord(const std::string& name, Values freq, Values amp, Values phase)
{
    TStation hy;
    hy.Name = name;
    hy.Amplitude.X = freq;
    hy.Amplitude.Y = amp;
    hy.Phase.X = freq;
    hy.Phase.Y = phase;
    return hy;
}

Values Frequencies(const TxData& tx)
{
    Values f;
    for (const FIP& fip : tx.FipList) f.push_back(fip.Freq);
    return f;
}

}  // namespace

TEST(FindEHStation, LastEntryOfTheName)
{
    SurveyStore store;
    EXPECT_EQ(FindEHStation(store, "a"), -1);
    for (const char* name : {"a", "b", "a"}) store.EHStations.push_back(Station(name, {}, {}, {}));
    EXPECT_EQ(FindEHStation(store, "a"), 2);
    EXPECT_EQ(FindEHStation(store, "b"), 1);
    EXPECT_EQ(FindEHStation(store, "A"), -1);
    EXPECT_EQ(FindEHStation(store, "c"), -1);
}

TEST(AddEHStationToSurvey, NewStationAndTransmitter)
{
    SurveyStore store;
    AddEHStationToSurvey(store, Station("S1", {8, 8, 4}, {0.5f, 0.6f, 0.7f}, {-1, -2, -3}), "T");

    ASSERT_EQ(store.ExStations.size(), 1u);
    const TStation& ex = store.ExStations[0];
    EXPECT_EQ(ex.Name, "S1");
    EXPECT_EQ(ex.Info.HyName, "S1");
    EXPECT_EQ(ex.Info.TxName, "T");
    EXPECT_EQ(ex.Info.Tag, "Me");
    EXPECT_FLOAT_EQ(ex.Info.X, 42);
    EXPECT_EQ(ex.Amplitude.X, (Values{8, 8, 4}));
    EXPECT_EQ(ex.Amplitude.Y, (Values{1, 2, 3}));
    EXPECT_EQ(ex.Phase.X, (Values{8, 8, 4}));
    EXPECT_EQ(ex.Errors.X, (Values{0.01f, 0.01f, 0.01f}));
    EXPECT_EQ(ex.Amplitude.Count, 0);

    ASSERT_EQ(store.HyStations.size(), 1u);
    const TStation& hy = store.HyStations[0];
    EXPECT_EQ(hy.Name, "S1");
    EXPECT_EQ(hy.Info.HyName, "S1");
    EXPECT_EQ(hy.Amplitude.Y, (Values{0.5f, 0.6f, 0.7f}));
    EXPECT_EQ(hy.Phase.Y, (Values{-1, -2, -3}));
    EXPECT_EQ(hy.Errors.Y, (Values{0.04f, 0.04f, 0.04f}));

    ASSERT_EQ(store.Transmitters.size(), 1u);
    const TxData& tx = store.Transmitters[0];
    EXPECT_EQ(tx.Name, "T");
    EXPECT_FLOAT_EQ(tx.By, 1000);
    EXPECT_FLOAT_EQ(tx.Cx, 0);
    EXPECT_FLOAT_EQ(tx.Cy, 500);
    EXPECT_FLOAT_EQ(tx.Length, 1000);
    EXPECT_FLOAT_EQ(tx.Azimuth, -90);
    EXPECT_EQ(Frequencies(tx), (Values{8, 8, 4}));  // no test for repeats in a new record
    EXPECT_FLOAT_EQ(tx.FipList[1].Current, 11);
    EXPECT_FLOAT_EQ(tx.FipList[1].Phase, 0);
    EXPECT_FLOAT_EQ(tx.FipList[1].CurrentErr, 0.001f);
    EXPECT_FLOAT_EQ(tx.FipList[1].PhaseErr, 0.001f);
    EXPECT_FLOAT_EQ(tx.Fip.Freq, 0);
}

TEST(AddEHStationToSurvey, KnownStationChangesNothing)
{
    SurveyStore store;
    store.ExStations.resize(1);
    store.ExStations[0].Name = "S1";
    AddEHStationToSurvey(store, Station("S1", {8}, {1}, {1}), "T");
    EXPECT_EQ(store.ExStations.size(), 1u);
    EXPECT_TRUE(store.HyStations.empty());
    EXPECT_TRUE(store.Transmitters.empty());
}

TEST(AddEHStationToSurvey, HyRecordLeftOutOnlyForAWhollySharedSensor)
{
    const float nextAbove05 = std::nextafter(0.5f, 1.0f);
    const float nextBelowPhase = std::nextafter(-0.1f, -1.0f);
    struct Case {
        const char* what;
        TEHStation station;
        const char* hyName;  // the new Ex record's pairing; its own name keeps its own Hy record
    } cases[] = {
        {"every sample shared", Station("N", {1, 2}, {0.5f, 0.25f}, {-0.1f, -0.2f}), "A"},
        {"one of several only", Station("N", {1, 2}, {0.5f, 0.3f}, {-0.1f, -0.2f}), "N"},
        {"fewer frequencies, all shared", Station("N", {2}, {0.25f}, {-0.2f}), "A"},
        {"within the tolerances", Station("N", {1.000001f}, {nextAbove05}, {-0.1f}), "A"},
        {"phase one step off", Station("N", {1}, {0.5f}, {nextBelowPhase}), "N"},
        {"other negative phase", Station("N", {1}, {0.5f}, {-0.3f}), "N"},
        {"opposite phase", Station("N", {1}, {0.5f}, {0.1f}), "N"},
        {"equal zeros", Station("N", {3}, {0}, {0}), "Z"},
        {"shared by two records, not one", Station("N", {1, 3}, {0.5f, 0}, {-0.1f, 0}), "N"},
        {"no sample", Station("N", {}, {}, {}), "N"},
    };
    for (const Case& c : cases) {
        SurveyStore store;
        store.HyStations.push_back(HyRecord("A", {1, 2}, {0.5f, 0.25f}, {-0.1f, -0.2f}));
        store.HyStations.push_back(HyRecord("Z", {3, 4}, {0, 1}, {0, 0}));
        AddEHStationToSurvey(store, c.station, "T");
        ASSERT_EQ(store.ExStations.size(), 1u) << c.what;
        EXPECT_EQ(store.ExStations[0].Info.HyName, c.hyName) << c.what;
        EXPECT_EQ(store.HyStations.size(), std::string(c.hyName) == "N" ? 3u : 2u) << c.what;
    }
}

TEST(AddEHStationToSurvey, StationsOfOneFileShareASensor)
{
    SurveyStore store;
    EHStationMerger merger(store);
    merger.Add(Station("S1", {8, 4}, {0.5f, 0.6f}, {-1, -2}), "T");
    merger.Add(Station("S2", {8, 4}, {0.5f, 0.6f}, {-1, -2}), "T");
    merger.Add(Station("S3", {8, 4}, {0.5f, 0.7f}, {-1, -2}), "T");
    ASSERT_EQ(store.ExStations.size(), 3u);
    EXPECT_EQ(store.ExStations[1].Info.HyName, "S1");
    EXPECT_EQ(store.ExStations[2].Info.HyName, "S3");
    ASSERT_EQ(store.HyStations.size(), 2u);
    EXPECT_EQ(store.HyStations[1].Name, "S3");
    merger.Add(Station("S1", {2}, {1}, {1}), "T");
    EXPECT_EQ(store.ExStations.size(), 3u);
    EXPECT_EQ(Frequencies(store.Transmitters[0]), (Values{8, 4}));
}

// Stations of one file with equal H phases whose frequencies and amplitudes lie a few steps of
// single precision apart, in and out of the tolerances: the merge pairs each with the first Hy
// record that a comparison with every stored sample finds.
TEST(AddEHStationToSurvey, SharedSensorsFoundAmongEqualPhases)
{
    auto stepped = [](float value, int steps) {
        for (int i = 0; i < steps; ++i) value = std::nextafter(value, 2 * value);
        return value;
    };
    std::vector<TEHStation> stations;
    for (int k = 0; k < 300; ++k) {
        float f = stepped(8.0f, (k * 7) % 40), h = stepped(0.3f, (k * 3) % 23);
        stations.push_back(Station("S" + std::to_string(k), {f, 16}, {h, 0.1f}, {-0.5f, -0.7f}));
    }
    auto matches = [](const TEHStation& s, const TStation& hy) {
        for (size_t i = 0; i < s.Freq.size(); ++i) {
            bool found = false;
            for (size_t k = 0; k < hy.Amplitude.X.size() && !found; ++k)
                found = WithinRelativeOfSum(s.Freq[i], hy.Amplitude.X[k], 1e-6) &&
                        WithinRelativeOfSum(s.HAmp[i], hy.Amplitude.Y[k], 1e-7) &&
                        WithinRelativeOfSum(s.HPhase[i], hy.Phase.Y[k], 1e-9);
            if (!found) return false;
        }
        return true;
    };
    SurveyStore store;
    EHStationMerger merger(store);
    std::vector<std::string> hyNames;
    size_t shared = 0;
    for (const TEHStation& station : stations) {
        std::string expected = station.Name;
        for (const TStation& hy : store.HyStations)
            if (matches(station, hy)) {
                expected = hy.Name;
                break;
            }
        shared += expected != station.Name;
        merger.Add(station, "T");
        EXPECT_EQ(store.ExStations.back().Info.HyName, expected) << station.Name;
    }
    EXPECT_GT(shared, 100u);
    EXPECT_EQ(store.HyStations.size(), stations.size() - shared);
}

TEST(AddEHStationToSurvey, KnownTransmitterGainsMissingFrequencies)
{
    SurveyStore store;
    TxData known;
    known.Name = "X";
    known.Ax = 5;
    known.Fip.Freq = 77;
    known.FipList.resize(2);
    known.FipList[0].Freq = 8;
    known.FipList[1].Freq = 1;
    store.Transmitters = {known, known};

    // Held within 0.001 of the new frequency: 8.004 and 1.001 are held, 16 and 0 are not.
    AddEHStationToSurvey(store, Station("S1", {8.004f, 16, 1.001f, 0}, {1, 1, 1, 1}, {1, 2, 3, 4}),
                         "X");
    // Now 0 is held by the equal 0, 16.01 by 16 and 1 by 1.
    AddEHStationToSurvey(store, Station("S2", {0, 16.01f, 1}, {2, 2, 2}, {5, 6, 7}), "X");
    ASSERT_EQ(store.Transmitters.size(), 2u);
    const TxData& first = store.Transmitters[0];
    EXPECT_EQ(Frequencies(first), (Values{8, 1, 16, 0}));
    EXPECT_FLOAT_EQ(first.FipList[2].Current, 11);
    EXPECT_FLOAT_EQ(first.Ax, 5);
    EXPECT_FLOAT_EQ(first.Fip.Freq, 77);
    EXPECT_EQ(Frequencies(store.Transmitters[1]), (Values{8, 1}));
    EXPECT_EQ(store.ExStations.size(), 2u);

    // The divisor is the new frequency: 1 is not held by a stored 1.001.
    known.Name = "Y";
    known.FipList = {FIP{1.001f, 0, 0, 0, 0}};
    store.Transmitters = {known};
    AddEHStationToSurvey(store, Station("S3", {1}, {3}, {8}), "Y");
    EXPECT_EQ(Frequencies(store.Transmitters[0]), (Values{1.001f, 1}));
}

// Stations drawn from a few nearly equal H samples, some sharing a sensor, some sharing only
// their first samples: each pairs with the first stored Hy record that holds a match of every one
// of its samples, as a comparison with every stored sample finds it.
TEST(EHStationMerger, PairsWithTheFirstRecordThatHoldsEverySample)
{
    auto sameSample = [](float f, float h, float p, float sf, float sh, float sp) {
        return WithinRelativeOfSum(f, sf, 1e-6) && WithinRelativeOfSum(h, sh, 1e-7) &&
               WithinRelativeOfSum(p, sp, 1e-9);
    };
    const Values amplitudes = {1e-4f, 1e-4f * (1 + 4e-8f), 1e-4f * (1 + 3e-7f), 2e-4f};
    uint32_t seed = 7;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    SurveyStore store;
    EHStationMerger merger(store);
    for (int s = 0; s < 400; ++s) {
        Values freq, amp, phase;
        for (int i = 0; i < 3; ++i) {
            // The first sample is always the same one; the later ones vary.
            freq.push_back(i == 0 ? 1.0f : static_cast<float>(1 + next(3)));
            amp.push_back(i == 0 ? amplitudes[0] : amplitudes[next(4)]);
            phase.push_back(i == 0 ? 0.5f : 0.1f * static_cast<float>(next(2)));
        }
        const TEHStation station = Station("S" + std::to_string(s), freq, amp, phase);
        std::string expected = station.Name;
        for (const TStation& hy : store.HyStations) {
            bool all = true;
            for (size_t i = 0; i < freq.size() && all; ++i) {
                bool any = false;
                for (size_t k = 0; k < hy.Amplitude.X.size() && !any; ++k)
                    any = sameSample(freq[i], amp[i], phase[i], hy.Amplitude.X[k],
                                     hy.Amplitude.Y[k], hy.Phase.Y[k]);
                all = any;
            }
            if (all) {
                expected = hy.Name;
                break;
            }
        }
        merger.Add(station, "1");
        ASSERT_EQ(store.ExStations.back().Info.HyName, expected) << s;
    }
    EXPECT_GT(store.HyStations.size(), 5u);
    EXPECT_LT(store.HyStations.size(), 300u);
}
