#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

#include "base/Exception.h"
#include "processing/NearFieldCorrection.h"

namespace {

using List = std::vector<double>;

}  // namespace

TEST(NearFieldCorrection, IntersectLines)
{
    EXPECT_NEAR(IntersectLines(0, 0, 1, 1, 0, 2, 1, 1), 1.0, 1e-12);
    EXPECT_NEAR(IntersectLines(0, 1, 2, 1, 1, 0, 3, 2), 2.0, 1e-12);
    // Parallel lines meet far away, without an error.
    EXPECT_GT(std::fabs(IntersectLines(0, 0, 1, 1, 0, 1, 1, 2)), 1e14);
    // A vertical line (equal abscissae) is a very steep one.
    EXPECT_TRUE(std::isfinite(IntersectLines(1, 0, 1, 5, 0, 2, 3, 2)));
}

TEST(NearFieldCorrection, FactorsAroundTheCrossingFarFromTheSource)
{
    // Stored from low to high frequency. Near-zone flat at 100; "MT" passes from below it to
    // above it at 100 Hz going down in frequency, so the crossing is at log10 f = 2.
    List freq = {1, 10, std::pow(10, 1.5), 100, 1000, 10000};
    List mt = {10000, 1000, 500, 100, 10, 1};
    List nz(6, 100);
    List phase = {0, 1, 2, 3, 4, 5};
    std::vector<size_t> order = CorrectNearTransitionZone(freq, mt, nz, 100);
    EXPECT_EQ(order, (std::vector<size_t>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(freq, (List{10000, 1000, 100, std::pow(10, 1.5), 10, 1}));
    EXPECT_EQ(nz, List(6, 100));
    // Beyond 20 m: A = 1.75, B1 = 0.8, B2 = 0.78.
    EXPECT_DOUBLE_EQ(mt[0], 1.0);           // two decades above: factor 1, "MT" kept
    EXPECT_DOUBLE_EQ(mt[1], 10.0);          // 1.75 - 0.78 < 1
    EXPECT_NEAR(mt[2], 100 / 1.75, 1e-12);  // at the crossing
    EXPECT_NEAR(mt[3], 100 / 1.35, 1e-12);  // half a decade below: near-zone / 1.35
    EXPECT_DOUBLE_EQ(mt[4], 100.0);         // below: the near-zone value
    EXPECT_DOUBLE_EQ(mt[5], 100.0);
    ApplyOrder(order, phase);
    EXPECT_EQ(phase, (List{5, 4, 3, 2, 1, 0}));
}

TEST(NearFieldCorrection, NoCrossingUsesTheTwoLowestFrequencies)
{
    // "MT" above the near-zone curve everywhere; the lines through the two lowest frequencies
    // meet at log10 f = 0.5.
    List freq = {1000, 100, 10};
    List mt = {std::pow(10, 3.5), std::pow(10, 2.5), std::pow(10, 1.5)};
    List nz(3, 10);
    CorrectNearTransitionZone(freq, mt, nz, 100);
    EXPECT_DOUBLE_EQ(mt[0], std::pow(10, 3.5));
    EXPECT_DOUBLE_EQ(mt[1], std::pow(10, 2.5));
    EXPECT_NEAR(mt[2], std::pow(10, 1.5) / (1.75 - 0.5 * 0.78), 1e-9);
}

TEST(NearFieldCorrection, CrossingAtOneHertzCountsAsNotFound)
{
    // The first pair crosses at exactly log10 f = 0; the lines through the two lowest
    // frequencies (0.1 and 0.01 Hz) cross at log10 f = 1 instead. At 0.5 m: A = 4.4, B1 = 0.74.
    List freq = {10, 0.1, 0.01};
    List mt = {1, 100, std::pow(10, 2.5)};
    List nz(3, 10);
    CorrectNearTransitionZone(freq, mt, nz, 0.5);
    EXPECT_NEAR(mt[0], 1 / 4.4, 1e-12);
    EXPECT_NEAR(mt[1], 10 / (4.4 - 2 * 0.74), 1e-12);
    EXPECT_NEAR(mt[2], 10 / (4.4 - 3 * 0.74), 1e-12);
}

TEST(NearFieldCorrection, ExchangeOrderWithEqualFrequencies)
{
    // The exchange sort puts the later of two equal frequencies first here; the writers follow its
    // order, so the rows of their files depend on it.
    struct Case {
        List freq;
        std::vector<size_t> order;
    } cases[] = {
        {{1, 2, 2, 3}, {3, 2, 1, 0}},
        {{3, 2, 2, 1}, {0, 1, 2, 3}},  // already descending: no exchange
        {{2, 1, 2}, {0, 2, 1}},
        {{5, 1, 3, 4, 2}, {0, 3, 2, 4, 1}},
    };
    for (const Case& c : cases) {
        List freq = c.freq, mt(freq.size(), 1), nz(freq.size(), 2);
        List id;
        for (size_t k = 0; k < freq.size(); ++k) id.push_back(static_cast<double>(k));
        EXPECT_EQ(CorrectNearTransitionZone(freq, mt, nz, 100), c.order);
        ApplyOrder(c.order, id);
        for (size_t k = 0; k < freq.size(); ++k) EXPECT_EQ(freq[k], c.freq[c.order[k]]);
    }
}

TEST(NearFieldCorrection, AnyLengthIsSortedAndCorrected)
{
    // Any count of frequencies, here 300 distinct ones in a scrambled order.
    const size_t n = 300;
    List freq, mt, nz;
    for (size_t k = 0; k < n; ++k) {
        freq.push_back(1 + static_cast<double>((k * 101) % n));
        mt.push_back(100);
        nz.push_back(50);
    }
    const List given = freq;
    std::vector<size_t> order = CorrectNearTransitionZone(freq, mt, nz, 100);
    ASSERT_EQ(order.size(), n);
    for (size_t k = 0; k < n; ++k) {
        EXPECT_EQ(freq[k], given[order[k]]);
        if (k + 1 < n) {
            EXPECT_GT(freq[k], freq[k + 1]);
        }
    }
    EXPECT_NE(mt, List(n, 100));
}

TEST(NearFieldCorrection, EmptyAndSingleEntries)
{
    List freq, mt, nz;
    EXPECT_TRUE(CorrectNearTransitionZone(freq, mt, nz, 100).empty());
    freq = {10};
    mt = {5};
    nz = {7};
    EXPECT_EQ(CorrectNearTransitionZone(freq, mt, nz, 100), (std::vector<size_t>{0}));
    EXPECT_EQ(mt, List{5});
    EXPECT_EQ(nz, List{7});
}

TEST(NearFieldCorrection, ErrorsLeaveTheListsAsGiven)
{
    // A station at the source centre has a near-zone curve of 0: log10 0.
    List freq = {1, 10}, mt = {5, 6}, nz = {0, 0};
    EXPECT_THROW(CorrectNearTransitionZone(freq, mt, nz, 0), EZeroDivide);
    EXPECT_EQ(freq, (List{1, 10}));
    EXPECT_EQ(mt, (List{5, 6}));
    nz = {1, -1};
    EXPECT_THROW(CorrectNearTransitionZone(freq, mt, nz, 0), EInvalidOp);
    nz = {1, 2};
    EXPECT_THROW(CorrectNearTransitionZone(freq, mt, nz, std::nan("")), EInvalidOp);
    EXPECT_EQ(freq, (List{1, 10}));

    List shorter = {1};
    EXPECT_THROW(CorrectNearTransitionZone(freq, mt, shorter, 0), std::invalid_argument);
    EXPECT_THROW(ApplyOrder({1, 0}, shorter), std::invalid_argument);
}
