#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

#include "base/Exception.h"
#include "processing/StationCurves.h"
#include "tests/support/SurveyFixture.h"

namespace {

// One wire of 1000 m about the origin; Ex "100" and Hy "H100" 3000 m off along y.
SurveyStore TinySurvey()
{
    SurveyStore store;
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    store.ExStations.push_back(
        MakeEx("100", "H100", 0, 3000, {{1, 10, 0.5f}, {100, 250, 1.0f}, {7, 3, 0}}));
    store.HyStations.push_back(MakeHy("H100", "T1", 0, 3000, {{100, 0.5f, 0.25f}, {1, 1, -0.25f}}));
    return store;
}

// Both forms of the computation must agree; tests go through this.
StationCurves Curves(const SurveyStore& store, const std::string& name, double distance = -1)
{
    StationCurves plain, indexed;
    plain.Distance = indexed.Distance = distance;
    ComputeStationCurves(store, name, plain);
    ComputeStationCurves(store, StationCurveIndex(store), name, indexed);
    EXPECT_EQ(plain.Freq, indexed.Freq);
    EXPECT_EQ(plain.RhoExN, indexed.RhoExN);
    EXPECT_EQ(plain.RhoExF, indexed.RhoExF);
    EXPECT_EQ(plain.RhoHyF, indexed.RhoHyF);
    EXPECT_EQ(plain.RhoExHyN, indexed.RhoExHyN);
    EXPECT_EQ(plain.RhoMT, indexed.RhoMT);
    EXPECT_EQ(plain.PhaseDiff, indexed.PhaseDiff);
    EXPECT_EQ(plain.Distance, indexed.Distance);
    const size_t n = plain.Freq.size();
    for (auto* list : {&plain.RhoExN, &plain.RhoExF, &plain.RhoHyF, &plain.RhoExHyN, &plain.RhoMT,
                       &plain.PhaseDiff})
        EXPECT_EQ(list->size(), n);
    return plain;
}

// Of a pair's Ex samples ex (amplitude 1) and Hy samples hy, every Ex sample whose frequency a Hy
// sample holds within 1e-8 Hz is kept, in order, with the "MT" value of the first such Hy sample.
void ExpectFirstPartners(const StationCurves& c, const std::vector<Sample>& ex,
                         const std::vector<Sample>& hy)
{
    size_t kept = 0;
    for (const Sample& e : ex) {
        const Sample* first = nullptr;
        for (const Sample& h : hy) {
            if (std::fabs(double(e.Freq) - h.Freq) < 1e-8) {
                first = &h;
                break;
            }
        }
        if (!first) continue;
        ASSERT_LT(kept, c.Freq.size());
        EXPECT_EQ(c.Freq[kept], e.Freq);
        EXPECT_DOUBLE_EQ(c.RhoMT[kept], 0.2 / e.Freq / first->Amplitude / first->Amplitude)
            << e.Freq;
        ++kept;
    }
    EXPECT_EQ(kept, c.Freq.size());
}

}  // namespace

TEST(StationCurves, FormulasOnOnePair)
{
    // r = 3000 m on the wire's perpendicular: phi = 0, c1 = 2, c2 = 1, K = 0.633 (r > 20).
    StationCurves c = Curves(TinySurvey(), "100");
    // The 7 Hz sample has no Hy partner and is dropped; the order is the Ex station's.
    ASSERT_EQ(c.Freq, (std::vector<double>{1, 100}));
    EXPECT_DOUBLE_EQ(c.RhoMT[0], 20.0);
    EXPECT_DOUBLE_EQ(c.RhoMT[1], 500.0);
    EXPECT_DOUBLE_EQ(c.RhoExHyN[0], 23.86353779666807);
    EXPECT_DOUBLE_EQ(c.RhoExHyN[1], 1193.1768898334035);
    // E' = E * 1e-6 in single precision.
    EXPECT_DOUBLE_EQ(c.RhoExN[0], 848.2299950411516);
    EXPECT_DOUBLE_EQ(c.RhoExF[0], 1696.4599900823032);
    EXPECT_DOUBLE_EQ(c.RhoExN[1], 21205.751418950204);
    EXPECT_DOUBLE_EQ(c.RhoExF[1], 42411.50283790041);
    EXPECT_DOUBLE_EQ(c.RhoHyF[0], 143898.83216788285);
    EXPECT_DOUBLE_EQ(c.RhoHyF[1], 3597470.8041970707);
    EXPECT_DOUBLE_EQ(c.PhaseDiff[0], 0.75);
    EXPECT_DOUBLE_EQ(c.PhaseDiff[1], 0.75);
    EXPECT_DOUBLE_EQ(c.Distance, 3000.0);
}

TEST(StationCurves, AngleFromTheYAxisAndStationAtTheCentre)
{
    SurveyStore store = TinySurvey();
    // At 45 degrees 3cos^2 - 1 and 3cos^2 - 2 are both 0.5 in size.
    store.ExStations[0].Info.X = 3000;
    StationCurves c = Curves(store, "100");
    ASSERT_EQ(c.Freq.size(), 2u);
    EXPECT_DOUBLE_EQ(c.Distance, 4242.640687119285);
    EXPECT_NEAR(c.RhoExN[0] / c.RhoExF[0], 1.0, 1e-14);
    EXPECT_DOUBLE_EQ(c.RhoMT[0], 20.0);  // the angle does not enter "MT"

    store.ExStations[0].Info.X = 0;
    store.ExStations[0].Info.Y = 0;
    c = Curves(store, "100");
    ASSERT_EQ(c.Freq.size(), 2u);
    EXPECT_EQ(c.Distance, 0.0);
    for (auto* list : {&c.RhoExN, &c.RhoExF, &c.RhoHyF, &c.RhoExHyN}) EXPECT_EQ((*list)[0], 0.0);
    EXPECT_DOUBLE_EQ(c.RhoMT[0], 20.0);
}

TEST(StationCurves, CoincidentElectrodesCountAsUnitLength)
{
    SurveyStore store = TinySurvey();
    StationCurves wire = Curves(store, "100");
    store.Transmitters[0].Ax = store.Transmitters[0].Bx = 0;
    StationCurves point = Curves(store, "100");
    EXPECT_DOUBLE_EQ(point.RhoExN[0], wire.RhoExN[0] * 1000);
    EXPECT_DOUBLE_EQ(point.RhoHyF[0], wire.RhoHyF[0] * 1e6);
}

TEST(StationCurves, PairingAndItsFallbacks)
{
    SurveyStore store;
    // Transmitters told apart by their centres, Hy stations by their amplitudes (MT = 20/H^2).
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    store.Transmitters.push_back(MakeTx("T2", 0, 1000, 1000));
    store.Transmitters.push_back(MakeTx("T2", 0, 2000, 1000));
    store.HyStations.push_back(MakeHy("HA", "T2", 0, 0, {{1, 1, 0}}));
    store.HyStations.push_back(MakeHy("HB", "nothing", 0, 0, {{1, 2, 0}}));
    store.HyStations.push_back(MakeHy("HB", "T1", 0, 0, {{1, 4, 0}}));
    store.ExStations.push_back(MakeEx("own", "HB", 0, 5000, {{1, 10, 0}}));
    store.ExStations.push_back(MakeEx("lost", "HZ", 0, 5000, {{1, 10, 0}}));
    store.ExStations.push_back(MakeEx("byHyName", "HA", 0, 5000, {{1, 10, 0}}));
    // Pairing compares the Hy station's Name, not its HyName.
    store.HyStations[0].Info.HyName = "HB";

    struct Case {
        const char* name;
        double mt, distance;
    } cases[] = {
        {"own", 5.0, 5000.0},    // first Hy named HB; its TxName matches nothing: first Tx
        {"lost", 20.0, 4000.0},  // no Hy named HZ: first Hy, whose TxName is the first T2
        {"byHyName", 20.0, 4000.0},
    };
    for (const Case& c : cases) {
        StationCurves curves = Curves(store, c.name);
        ASSERT_EQ(curves.RhoMT.size(), 1u) << c.name;
        EXPECT_DOUBLE_EQ(curves.RhoMT[0], c.mt) << c.name;
        EXPECT_DOUBLE_EQ(curves.Distance, c.distance) << c.name;
    }
}

TEST(StationCurves, FrequencyMatchAndHyAmplitudeThreshold)
{
    const float next100 = std::nextafter(100.0f, 200.0f);  // about 7.6e-6 Hz higher
    const float tiny = 1e-18f;                             // just above 1e-18 in double
    const float belowTiny = std::nextafter(tiny, 0.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SurveyStore store;
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    // Hy samples out of order, with a repeated frequency: the first match counts.
    store.HyStations.push_back(MakeHy("H", "T1", 0, 0,
                                      {{next100, 1, 0},
                                       {8, 2, 0},
                                       {4, 0, 0},
                                       {8, 4, 0},
                                       {2, tiny, 0},
                                       {3, belowTiny, 0},
                                       {5, nan, 0},
                                       {nan, 1, 0},
                                       {1000.5f, 1, 0}}));
    store.ExStations.push_back(MakeEx("E", "H", 0, 5000,
                                      {{100, 10, 0},
                                       {8, 10, 0},
                                       {4, 10, 0},
                                       {2, 10, 0},
                                       {3, 10, 0},
                                       {5, 10, 0},
                                       {nan, 10, 0},
                                       {1000.5f, 10, 0},
                                       {next100, 10, 0}}));
    StationCurves c = Curves(store, "E");
    ASSERT_EQ(c.Freq, (std::vector<double>{8, 2, 1000.5, next100}));
    EXPECT_DOUBLE_EQ(c.RhoMT[0], 0.2 / 8 * 10 / 2 * 10 / 2);
    EXPECT_DOUBLE_EQ(c.RhoMT[2], 0.2 / 1000.5 * 100);
}

TEST(StationCurves, LongStationsMatchAsTheFirstPartnerRule)
{
    // Many samples, shuffled, with repeats: every kept sample must use the first Hy sample of its
    // frequency.
    SurveyStore store;
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    std::vector<Sample> hy, ex;
    for (int k = 0; k < 500; ++k) {
        float f = static_cast<float>(1 + (k * 37) % 211);
        hy.push_back({f, static_cast<float>(1 + k), 0});
    }
    for (int k = 0; k < 300; ++k) ex.push_back({static_cast<float>(1 + (k * 13) % 250), 1, 0});
    store.HyStations.push_back(MakeHy("H", "T1", 0, 0, hy));
    store.ExStations.push_back(MakeEx("E", "H", 0, 5000, ex));
    ExpectFirstPartners(Curves(store, "E"), ex, hy);
}

// Hy frequencies drawn from a few, repeated many times, close together (steps of 6e-9 Hz about
// tiny ones, within and beyond the tolerance of each other), with zero, negative, infinite and NaN
// ones: every Ex sample uses the first Hy sample within the tolerance, as a scan of all finds it.
TEST(StationCurves, FirstPartnerAmongRepeatedAndCloseFrequencies)
{
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> pool = {0.0f, -8.0f,
                               inf,  std::numeric_limits<float>::quiet_NaN(),
                               8.0f, std::nextafter(8.0f, 9.0f)};
    for (int k = 0; k < 12; ++k) pool.push_back(static_cast<float>(1e-7 + 6e-9 * k));
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        uint32_t state = seed;
        auto next = [&state](size_t range) {
            state = state * 1664525u + 1013904223u;
            return static_cast<size_t>((state >> 8) % range);
        };
        SurveyStore store;
        store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
        std::vector<Sample> hy, ex;
        for (size_t k = 0, n = 1 + next(300); k < n; ++k)
            hy.push_back({pool[next(pool.size())], static_cast<float>(1 + k), 0});
        for (size_t k = 0, n = 1 + next(100); k < n; ++k) {
            float f = pool[next(pool.size())];
            if (f > 0) ex.push_back({f, 1, 0});
        }
        store.HyStations.push_back(MakeHy("H", "T1", 0, 0, hy));
        store.ExStations.push_back(MakeEx("E", "H", 0, 5000, ex));
        SCOPED_TRACE(seed);
        ExpectFirstPartners(Curves(store, "E"), ex, hy);
    }
}

TEST(StationCurves, SeveralExStationsOfOneNameAndAbsentNames)
{
    SurveyStore store = TinySurvey();
    store.ExStations.push_back(MakeEx("200", "H100", 0, 4000, {{1, 10, 0}}));
    store.ExStations.push_back(MakeEx("100", "H100", 0, 5000, {{100, 250, 0}, {1, 20, 0}}));
    StationCurves c = Curves(store, "100");
    EXPECT_EQ(c.Freq, (std::vector<double>{1, 100, 100, 1}));
    EXPECT_DOUBLE_EQ(c.RhoMT[3], 80.0);
    EXPECT_DOUBLE_EQ(c.Distance, 5000.0);  // the last of the name

    // Names compare exactly; an absent one empties the lists and keeps the caller's distance.
    for (const char* absent : {"1000", "10", " 100", ""}) {
        c = Curves(store, absent, 123.0);
        EXPECT_TRUE(c.Freq.empty() && c.RhoMT.empty() && c.PhaseDiff.empty()) << absent;
        EXPECT_EQ(c.Distance, 123.0);
    }
}

TEST(StationCurves, NoHyStationOrNoTransmitterGivesEmptyCurves)
{
    for (int without = 0; without < 2; ++without) {
        SurveyStore store = TinySurvey();
        if (without == 0)
            store.HyStations.clear();
        else
            store.Transmitters.clear();
        StationCurves c;
        c.Freq = {1, 2};
        c.RhoMT = {3, 4};
        c.Distance = 7;
        ComputeStationCurves(store, "100", c);
        EXPECT_TRUE(c.Freq.empty() && c.RhoMT.empty());
        EXPECT_EQ(c.Distance, 7);
        c = Curves(store, "100", 7);
        EXPECT_TRUE(c.Freq.empty());
    }
}

TEST(StationCurves, NonFiniteStepsRaiseTheFloatingPointErrors)
{
    SurveyStore store = TinySurvey();
    store.ExStations[0].Amplitude.X[0] = 0;  // 0.2 / f
    store.HyStations[0].Amplitude.X[1] = 0;
    StationCurves c;
    EXPECT_THROW(ComputeStationCurves(store, "100", c), EZeroDivide);

    store = TinySurvey();
    store.ExStations[0].Amplitude.Y[1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW(ComputeStationCurves(store, "100", c), EInvalidOp);

    store = TinySurvey();
    store.ExStations[0].Info.X = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW(ComputeStationCurves(store, "100", c), EInvalidOp);
}

TEST(StationCurves, ShortListsAreNotReadPastTheirEnd)
{
    SurveyStore store = TinySurvey();
    store.ExStations[0].Phase.Y.resize(1);
    store.HyStations[0].Amplitude.Y.resize(1);  // the 1 Hz Hy sample is incomplete
    StationCurves c = Curves(store, "100");
    EXPECT_TRUE(c.Freq.empty());
    store = TinySurvey();
    store.ExStations[0].Phase.Y.resize(2);
    c = Curves(store, "100");
    EXPECT_EQ(c.Freq, (std::vector<double>{1, 100}));
}

TEST(StationCurves, NearZoneFactorTable)
{
    struct Case {
        double r, k;
    } cases[] = {{0.5, 2.52},    {0.75, 1.965}, {1.0, 1.41}, {0.0, 2.52}, {-3, 2.52},
                 {3.25, 0.7395}, {20, 0.633},   {25, 0.633}, {1e9, 0.633}};
    for (const Case& c : cases) EXPECT_NEAR(NearZoneFactor(c.r), c.k, 1e-12) << c.r;
    EXPECT_EQ(NearZoneFactor(std::nan("")), 2.52);
}
