#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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

// The Hy record a station pairs with as a scan of every stored sample finds it: the first stored
// Hy record that holds a match of every H sample of the station; -1 when there is none.
long ScannedHyRecord(const SurveyStore& store, const TEHStation& s)
{
    const size_t n = std::min({s.Freq.size(), s.HAmp.size(), s.HPhase.size()});
    if (n == 0) return -1;
    for (size_t r = 0; r < store.HyStations.size(); ++r) {
        const TStation& hy = store.HyStations[r];
        const size_t stored =
            std::min({hy.Amplitude.X.size(), hy.Amplitude.Y.size(), hy.Phase.Y.size()});
        bool all = true;
        for (size_t i = 0; i < n && all; ++i) {
            bool any = false;
            for (size_t k = 0; k < stored && !any; ++k)
                any = WithinRelativeOfSum(s.Freq[i], hy.Amplitude.X[k], 1e-6) &&
                      WithinRelativeOfSum(s.HAmp[i], hy.Amplitude.Y[k], 1e-7) &&
                      WithinRelativeOfSum(s.HPhase[i], hy.Phase.Y[k], 1e-9);
            all = any;
        }
        if (all) return static_cast<long>(r);
    }
    return -1;
}

// The name that the new Ex record of a station takes as its HyName.
std::string ScannedHyName(const SurveyStore& store, const TEHStation& s)
{
    long r = ScannedHyRecord(store, s);
    return r < 0 ? s.Name : store.HyStations[static_cast<size_t>(r)].Name;
}

// Values about base for a tolerance: base and its neighbouring floats, the last float within the
// tolerance of base and the first beyond it, the floats on either side of the first bucket edge
// above base, and the same below zero.
Values NearValues(float base, double tolerance)
{
    const float up = std::numeric_limits<float>::infinity();
    Values values = {base, std::nextafter(base, up), std::nextafter(base, 0.0f)};
    float last = base;
    while (WithinRelativeOfSum(base, std::nextafter(last, up), tolerance))
        last = std::nextafter(last, up);
    values.push_back(last);
    values.push_back(std::nextafter(last, up));
    float edge = base;
    while (RelativeBucket(edge, tolerance) == RelativeBucket(base, tolerance))
        edge = std::nextafter(edge, up);
    values.push_back(edge);
    values.push_back(std::nextafter(edge, 0.0f));
    for (size_t i = 0, n = values.size(); i < n; ++i) values.push_back(-values[i]);
    return values;
}

// Stations whose H samples each take one of base values, so that each value is shared by many
// stations while no two stations match: station s takes at sample i the digit i of s in that
// base, all at equal phases.
std::vector<TEHStation> DigitStations(int stations, int samples, int base)
{
    std::vector<TEHStation> list;
    for (int s = 0; s < stations; ++s) {
        Values freq, amp, phase;
        for (int i = 0, rest = s; i < samples; ++i, rest /= base) {
            freq.push_back(std::ldexp(9600.0f, -i));
            amp.push_back(1e-4f * (1 + 0.01f * static_cast<float>(rest % base)));
            phase.push_back(-0.5f);
        }
        list.push_back(Station("S" + std::to_string(s), freq, amp, phase));
    }
    return list;
}

// The stations, followed by copies of a quarter of them that each lack one sample and so share
// the sensor of the station they copy.
std::vector<TEHStation> LackingOne(std::vector<TEHStation> list)
{
    const size_t stations = list.size();
    for (size_t k = 0; k < stations / 4; ++k) {
        TEHStation copy = list[k * 7 % stations];
        const size_t lacking = k % copy.Freq.size();
        for (Values* values : {&copy.Freq, &copy.HAmp, &copy.HPhase})
            values->erase(values->begin() + static_cast<long>(lacking));
        copy.Name = "L" + std::to_string(k);
        list.push_back(copy);
    }
    return list;
}

// Stations along a line, six to an H sensor, at the same frequencies.
std::vector<TEHStation> LineStations(int stations, int samples)
{
    std::vector<TEHStation> list;
    for (int s = 0; s < stations; ++s) {
        Values freq, amp, phase;
        for (int i = 0; i < samples; ++i) {
            freq.push_back(std::ldexp(9600.0f, -i));
            amp.push_back(1e-4f * static_cast<float>(1 + s / 6) + 1e-6f * static_cast<float>(i));
            phase.push_back(0.2f + 0.01f * static_cast<float>(i + s / 6));
        }
        list.push_back(Station("S" + std::to_string(s), freq, amp, phase));
    }
    return list;
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
    SurveyStore store;
    EHStationMerger merger(store);
    std::vector<std::string> hyNames;
    size_t shared = 0;
    for (const TEHStation& station : stations) {
        const std::string expected = ScannedHyName(store, station);
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
        const std::string expected = ScannedHyName(store, station);
        merger.Add(station, "1");
        ASSERT_EQ(store.ExStations.back().Info.HyName, expected) << s;
    }
    EXPECT_GT(store.HyStations.size(), 5u);
    EXPECT_LT(store.HyStations.size(), 300u);
}

// Stations whose every H value many others share, some lacking one sample, and stations along a
// line: the lookups take a number of steps that grows with the samples, not with their square.
TEST(EHStationMerger, LookupWorkGrowsWithTheStations)
{
    struct Shape {
        const char* what;
        std::vector<TEHStation> stations;
        size_t hyRecords;
    } shapes[] = {
        {"17 samples, each value shared by half", DigitStations(1024, 17, 2), 1024},
        {"4 samples of 6 values", DigitStations(1296, 4, 6), 1296},
        {"5 samples of 4 values", DigitStations(1024, 5, 4), 1024},
        {"6 samples of 3 values", DigitStations(729, 6, 3), 729},
        {"5 samples of 4 values, then some lacking one", LackingOne(DigitStations(1024, 5, 4)),
         1024},
        {"a line, six stations to a sensor", LineStations(1200, 40), 200},
    };
    for (const Shape& shape : shapes) {
        SurveyStore store;
        store.EHStations = shape.stations;
        EHStationMerger merger(store);
        size_t samples = 0;
        for (const TEHStation& station : shape.stations) {
            merger.Add(station, "1");
            samples += station.Freq.size();
        }
        EXPECT_EQ(store.HyStations.size(), shape.hyRecords) << shape.what;
        EXPECT_LE(merger.LookupSteps(), samples) << shape.what;
    }
}

// Random stations and stored Hy records of other readers, drawn from a few values at and about
// the tolerances (at their edges, in neighbouring buckets, negative, zeros of either sign,
// infinite, NaN), many stations repeating an earlier one's samples reordered, in part or with
// more, some with shorter lists: each is merged as the scan of every stored sample says, whether
// it is among the store's EHStations, outside them or merged on its own.
TEST(EHStationMerger, MergesAsTheFullScanDoes)
{
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    Values frequencyPool = NearValues(8, 1e-6), amplitudePool = NearValues(1e-4f, 1e-7);
    frequencyPool.insert(frequencyPool.end(), {0.0f, -0.0f, 1e-40f, inf, nan});
    amplitudePool.insert(amplitudePool.end(), {0.0f, -0.0f, inf, nan});
    const Values phasePool = {-0.5f, std::nextafter(-0.5f, 0.0f), 0.0f, -0.0f, 0.5f, inf, nan};

    for (uint32_t seed = 1; seed <= 200; ++seed) {
        uint32_t state = seed;
        auto next = [&state](size_t range) {
            state = state * 1664525u + 1013904223u;
            return static_cast<size_t>((state >> 8) % range);
        };
        // A few values of each pool, so that samples often match.
        auto pick = [&](const Values& pool, size_t count) {
            Values some;
            for (size_t i = 0; i < count; ++i) some.push_back(pool[next(pool.size())]);
            return some;
        };
        const Values freqs = pick(frequencyPool, 3), amps = pick(amplitudePool, 4),
                     phases = pick(phasePool, 2);
        auto samples = [&](size_t n, Values& f, Values& h, Values& p) {
            for (size_t i = 0; i < n; ++i) {
                f.push_back(freqs[next(freqs.size())]);
                h.push_back(amps[next(amps.size())]);
                p.push_back(phases[next(phases.size())]);
            }
        };

        SurveyStore store;
        for (size_t r = next(4); r-- > 0;) {
            Values f, h, p;
            samples(1 + next(4), f, h, p);
            if (next(4) == 0) p.pop_back();
            store.HyStations.push_back(HyRecord("H" + std::to_string(r), f, h, p));
        }
        std::vector<TEHStation> stations;
        for (int s = 0; s < 150; ++s) {
            Values f, h, p;
            if (!stations.empty() && next(2) == 0) {
                const TEHStation& earlier = stations[next(stations.size())];
                std::vector<size_t> order(earlier.HAmp.size());
                for (size_t i = 0; i < order.size(); ++i) order[i] = i;
                for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[next(i)]);
                if (!order.empty() && next(3) == 0) order.pop_back();
                if (!order.empty() && next(3) == 0) order.push_back(order[next(order.size())]);
                for (size_t i : order) {
                    f.push_back(earlier.Freq[i]);
                    h.push_back(earlier.HAmp[i]);
                    p.push_back(earlier.HPhase[i]);
                }
                if (next(4) == 0) samples(1, f, h, p);
            } else {
                samples(next(5), f, h, p);
            }
            if (!h.empty() && next(8) == 0) h.pop_back();
            // Now and then a name that an earlier station has.
            int name = next(10) == 0 ? static_cast<int>(next(static_cast<size_t>(s) + 1)) : s;
            stations.push_back(Station("S" + std::to_string(name), f, h, p));
        }

        const size_t mode = seed % 3;  // among the EHStations, outside them, one at a time
        if (mode == 0) store.EHStations = stations;
        EHStationMerger merger(store);
        for (const TEHStation& station : stations) {
            bool known = false;
            for (const TStation& ex : store.ExStations) known = known || ex.Name == station.Name;
            const long expected = ScannedHyRecord(store, station);
            const std::string hyName =
                expected < 0 ? station.Name : store.HyStations[static_cast<size_t>(expected)].Name;
            const size_t exCount = store.ExStations.size(), hyCount = store.HyStations.size();
            if (mode == 2)
                AddEHStationToSurvey(store, station, "1");
            else
                merger.Add(station, "1");
            if (known) {
                ASSERT_EQ(store.ExStations.size(), exCount) << seed << " " << station.Name;
                ASSERT_EQ(store.HyStations.size(), hyCount) << seed << " " << station.Name;
                continue;
            }
            ASSERT_EQ(store.ExStations.size(), exCount + 1) << seed;
            ASSERT_EQ(store.ExStations.back().Info.HyName, hyName) << seed << " " << station.Name;
            ASSERT_EQ(store.HyStations.size(), hyCount + (expected < 0)) << seed;
        }
    }
}
