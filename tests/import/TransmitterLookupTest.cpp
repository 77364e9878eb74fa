#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "import/TransmitterLookup.h"

namespace {

TxData Record(const std::string& name, float c, float f, float length, float azimuth)
{
    TxData tx;
    tx.Name = name;
    tx.Cx = c;
    tx.Cy = -c;
    tx.Cz = 0;
    tx.Fip.Freq = f;
    tx.Length = length;
    tx.Azimuth = azimuth;
    return tx;
}

}  // namespace

// The lookup must answer exactly as the plain search does, also for values so small that
// distinct floats lie within the tolerance, and across the bound below which keys are shared.
TEST(TransmitterLookup, AgreesWithFindSameTransmitter)
{
    const float bound = 1.0f / 512.0f;
    const std::vector<float> values = {0.0f,    -0.0f,
                                       1e-11f,  5e-11f,
                                       2e-10f,  std::nextafter(bound, 0.0f),
                                       bound,   std::nextafter(bound, 1.0f),
                                       -bound,  1.0f,
                                       1024.0f, std::nextafter(1024.0f, 2000.0f)};
    std::vector<TxData> list;
    for (size_t i = 0; i < values.size(); ++i) {
        list.push_back(Record("c" + std::to_string(i), values[i], 8, 1000, 0));
        list.push_back(Record("a" + std::to_string(i), 100, 8, 1000, values[i]));
        list.push_back(Record("f" + std::to_string(i), 100, values[i], 500, -90));
    }
    TransmitterLookup lookup(list);
    for (float v : values) {
        for (TxData probe : {Record("p", v, 8, 1000, 0), Record("p", 100, 8, 1000, v),
                             Record("p", 100, v, 500, -90), Record("p", 7, 8, 1000, v)}) {
            TxData expected = probe;
            bool found = FindSameTransmitter(expected, list);
            EXPECT_EQ(lookup.FindSame(probe, list), found) << v;
            EXPECT_EQ(probe.Name, expected.Name) << v;
        }
    }
}

// Small values a few tolerances apart in several values at once, records and probes alike, with
// records added as a reader adds them: the answer is always the plain search's.
TEST(TransmitterLookup, AgreesOnSmallValuesInEveryCombination)
{
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    auto small = [&](int range) { return static_cast<float>((next(range) - range / 2) * 3e-11); };
    std::vector<TxData> list;
    TransmitterLookup lookup(list);
    for (int i = 0; i < 3000; ++i) {
        TxData probe = Record("p" + std::to_string(i), small(16), small(16), 1000, small(8));
        probe.Cz = small(8);
        if (i % 7 == 0) probe.Fip.Freq = std::nextafter(1.0f / 512.0f, 0.0f);
        TxData expected = probe;
        const bool found = FindSameTransmitter(expected, list);
        ASSERT_EQ(lookup.FindSame(probe, list), found) << i;
        ASSERT_EQ(probe.Name, expected.Name) << i;
        if (!found) {
            lookup.Add(probe, list.size());
            list.push_back(probe);
        }
    }
    EXPECT_GT(list.size(), 50u);
}

TEST(TransmitterLookup, SeesRecordsAddedLater)
{
    std::vector<TxData> list;
    TransmitterLookup lookup(list);
    TxData probe = Record("new", 1, 2, 3, 4);
    EXPECT_FALSE(lookup.FindSame(probe, list));
    lookup.Add(probe, list.size());
    list.push_back(probe);
    TxData again = Record("again", 1, 2, 3, 4);
    EXPECT_TRUE(lookup.FindSame(again, list));
    EXPECT_EQ(again.Name, "new");
}
