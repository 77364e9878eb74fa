#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "import/RelativeTests.h"

namespace {

// Values that match one another (each against its nearest floats and against the last value
// inside and the first outside the tolerance) must lie in the same or neighbouring buckets, or an
// indexed lookup would miss a match that the full scan finds.
TEST(RelativeBucket, NoMatchFallsOutsideTheNeighbouringBuckets)
{
    const std::vector<float> values = {1.0f,     8.004f, 9600.0f, 1e-4f,    3.1415926f,
                                       7.3e-39f, 3e38f,  1e-44f,  0.00123f, 123456.7f};
    for (double tolerance : {1e-3, 1e-4, 1e-6, 1e-7, 1e-9}) {
        for (float base : values) {
            for (float sign : {1.0f, -1.0f}) {
                float a = sign * base;
                long long key = RelativeBucket(a, tolerance);
                std::vector<float> others;
                float up = a, down = a;
                for (int step = 0; step < 64; ++step) {
                    up = std::nextafter(up, std::numeric_limits<float>::infinity());
                    down = std::nextafter(down, -std::numeric_limits<float>::infinity());
                    others.push_back(up);
                    others.push_back(down);
                }
                for (double factor : {1 - tolerance, 1 + tolerance, 1 - 2 * tolerance,
                                      1 + 2 * tolerance, 1 - 3 * tolerance, 1 + 3 * tolerance}) {
                    float b = static_cast<float>(a * factor);
                    for (int k = 0; k < 4; ++k) others.push_back(b = std::nextafter(b, a));
                }
                for (float b : others) {
                    bool matches = WithinRelative(a, b, a, tolerance) ||
                                   WithinRelative(a, b, b, tolerance) ||
                                   WithinRelativeOfSum(a, b, tolerance);
                    if (!matches) continue;
                    EXPECT_LE(std::llabs(RelativeBucket(b, tolerance) - key), 1)
                        << a << " " << b << " " << tolerance;
                }
            }
        }
    }
}

TEST(RelativeBucket, SpecialValuesHaveBucketsOfTheirOwn)
{
    const double tolerance = 1e-6;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(RelativeBucket(0.0, tolerance), RelativeBucket(-0.0, tolerance));
    std::vector<long long> keys = {
        RelativeBucket(0.0, tolerance),    RelativeBucket(inf, tolerance),
        RelativeBucket(-inf, tolerance),   RelativeBucket(std::nan(""), tolerance),
        RelativeBucket(1e-300, tolerance), RelativeBucket(-1e-300, tolerance),
        RelativeBucket(1e300, tolerance),  RelativeBucket(-1e300, tolerance)};
    for (size_t i = 0; i < keys.size(); ++i)
        for (size_t j = i + 1; j < keys.size(); ++j)
            EXPECT_GT(std::llabs(keys[i] - keys[j]), 2) << i << " " << j;
}

TEST(RelativeIndex, FindsTheFirstMatchingPosition)
{
    const std::vector<float> stored = {8.0f, 16.0f, 8.004f, 8.0f, 0.0f, 0.0f};
    RelativeIndex index(1e-3);
    for (size_t i = 0; i < stored.size(); ++i) index.Add(stored[i], i);
    auto first = [&](float f) {
        return index.FindFirst(
            f, [&](size_t i) { return WithinRelative(f, stored[i], stored[i], 1e-3); });
    };
    EXPECT_EQ(first(8.0f), 0u);
    EXPECT_EQ(first(8.0085f), 2u);  // within 1e-3 of 8.004 only
    EXPECT_EQ(first(16.01f), 1u);
    EXPECT_EQ(first(0.0f), 4u);
    EXPECT_EQ(first(32.0f), RelativeIndex::npos);
    EXPECT_EQ(index.Size(), stored.size());
}

// A list of many equal values (a frequency table that repeats one row) and probes just outside
// their tolerance in the neighbouring bucket: each lookup tries each distinct value once, not
// every copy.
TEST(RelativeIndex, RepeatedValuesAreTriedOnce)
{
    const double tolerance = 1e-4;
    std::vector<float> stored(10000, 1.0f);
    stored.push_back(1.0003f);
    RelativeIndex index(tolerance);
    for (size_t i = 0; i < stored.size(); ++i) index.Add(stored[i], i);
    size_t tried = 0;
    for (int probe = 0; probe < 100; ++probe) {
        const float f = 1.00025f;
        size_t found = index.FindFirst(f, [&](size_t i) {
            ++tried;
            return WithinRelative(f, stored[i], f, tolerance);
        });
        EXPECT_EQ(found, stored.size() - 1);
    }
    EXPECT_LE(tried, 100u * 2);
    EXPECT_EQ(index.Size(), stored.size());
}

// A frequency table of many distinct values close together, probed just beside them: each lookup
// tries a few dozen stored values, not every one that lies near.
TEST(RelativeIndex, CloseValuesThatDoNotMatchAreNotAllTried)
{
    const double tolerance = 1e-4;
    std::vector<float> stored;
    for (int k = 0; k < 20000; ++k) stored.push_back(8.0f * (1 + 3e-4f) - 8.0f * 2e-8f * k);
    RelativeIndex index(tolerance);
    for (size_t i = 0; i < stored.size(); ++i) index.Add(stored[i], i);
    size_t tried = 0;
    for (float f : {7.999f, 8.0f, 8.002f, 8.0031f}) {
        for (int probe = 0; probe < 100; ++probe) {
            size_t found = index.FindFirst(f, [&](size_t i) {
                ++tried;
                return WithinRelative(f, stored[i], f, tolerance);
            });
            size_t first = RelativeIndex::npos;
            for (size_t i = 0; i < stored.size() && first == RelativeIndex::npos; ++i)
                if (WithinRelative(f, stored[i], f, tolerance)) first = i;
            ASSERT_EQ(found, first) << f;
        }
    }
    EXPECT_LE(tried, 4u * 100 * 64);
}

// Random lists of values drawn from few, close, equal, zero, negative, infinite and NaN ones,
// probed with every test the readers make: each lookup gives the first position that a scan of
// the whole list gives.
TEST(RelativeIndex, FindsWhatAScanFinds)
{
    const float inf = std::numeric_limits<float>::infinity();
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        uint32_t state = seed;
        auto next = [&state](uint32_t range) {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) % range;
        };
        const double tolerance = seed % 2 ? 1e-3 : 1e-4;
        std::vector<float> pool = {0.0f, -0.0f, inf, -inf, std::nanf(""), 1e-40f};
        for (float base : {8.0f, -8.0f, 1e-4f}) {
            for (int k = -12; k <= 12; ++k)
                pool.push_back(base * static_cast<float>(1 + k * tolerance * 0.3));
            pool.push_back(std::nextafter(base, 0.0f));
        }
        std::vector<float> stored;
        RelativeIndex index(tolerance);
        for (int i = 0, n = 1 + static_cast<int>(next(200)); i < n; ++i) {
            stored.push_back(pool[next(static_cast<uint32_t>(pool.size()))]);
            index.Add(stored.back(), stored.size() - 1);
            const float f = pool[next(static_cast<uint32_t>(pool.size()))];
            const int test = static_cast<int>(next(3));
            auto matches = [&](size_t k) {
                if (test == 0) return WithinRelative(f, stored[k], f, tolerance);
                if (test == 1) return WithinRelative(f, stored[k], stored[k], tolerance);
                return WithinRelativeOfSum(f, stored[k], tolerance);
            };
            size_t first = RelativeIndex::npos;
            for (size_t k = 0; k < stored.size() && first == RelativeIndex::npos; ++k)
                if (matches(k)) first = k;
            ASSERT_EQ(index.FindFirst(f, matches), first) << seed << " " << f << " " << test;
        }
        EXPECT_EQ(index.Size(), stored.size());
    }
}

// Any two values of the set that match one value of it share a class, at every tolerance and
// magnitude, near zero and below it; values with a gap between them that no value bridges do not.
TEST(RelativeClasses, ValuesThatMatchOneValueShareAClass)
{
    for (double tolerance : {1e-6, 1e-7, 1e-9}) {
        std::vector<float> values;
        for (float base : {1.0f, 8.004f, 9600.0f, 1e-4f, 7.3e-39f, 3e38f, 1e-44f}) {
            for (float sign : {1.0f, -1.0f}) {
                float a = sign * base;
                values.push_back(a);
                // Runs of neighbouring floats, and values about the tolerance's edge.
                float up = a;
                for (int step = 0; step < 8; ++step)
                    values.push_back(up = std::nextafter(up, 0.0f));
                for (double factor : {1 + tolerance, 1 + 2 * tolerance, 1 + 2.2 * tolerance,
                                      1 + 4 * tolerance, 1 + 8 * tolerance})
                    values.push_back(static_cast<float>(a * factor));
            }
        }
        RelativeClasses classes(tolerance);
        classes.Assign(values);
        for (float x : values)
            for (float u : values) {
                if (!WithinRelativeOfSum(x, u, tolerance)) continue;
                EXPECT_EQ(classes.Of(x), classes.Of(u)) << x << " " << u << " " << tolerance;
            }
    }

    const float inf = std::numeric_limits<float>::infinity();
    RelativeClasses classes(1e-6);
    classes.Assign({1.0f, 1.1f, 0.0f, 1e-40f, -1e-40f, inf, -inf, std::nanf(""), 3e38f});
    std::vector<uint32_t> distinct = {classes.Of(1.0f),   classes.Of(1.1f),    classes.Of(0.0f),
                                      classes.Of(1e-40f), classes.Of(-1e-40f), classes.Of(inf),
                                      classes.Of(-inf),   classes.Of(3e38f)};
    for (size_t i = 0; i < distinct.size(); ++i) {
        EXPECT_NE(distinct[i], RelativeClasses::npos) << i;
        for (size_t j = i + 1; j < distinct.size(); ++j)
            EXPECT_NE(distinct[i], distinct[j]) << i << j;
    }
    EXPECT_EQ(classes.Of(-0.0f), classes.Of(0.0f));
    EXPECT_EQ(classes.Of(std::nanf("")), RelativeClasses::npos);
    EXPECT_EQ(classes.Of(1.05f), RelativeClasses::npos);  // not in the set
}

}  // namespace
