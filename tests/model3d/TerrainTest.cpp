#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <thread>

#include "model3d/Terrain.h"

namespace {

struct Points {
    std::vector<float> X, Y, Z;
    int N() const { return static_cast<int>(X.size()); }
    void Add(float x, float y, float z)
    {
        X.push_back(x);
        Y.push_back(y);
        Z.push_back(z);
    }
};

float Reference(const Points& p, float x, float y, float r0, int* passes = nullptr)
{
    float v = -1;
    int calls = 0;
    EXPECT_TRUE(ShepardInterpolate(x, y, p.X.data(), p.Y.data(), p.Z.data(), p.N(), r0, v,
                                   [&] { ++calls; }));
    if (passes) *passes = calls;
    TerrainInterpolator index(p.X.data(), p.Y.data(), p.Z.data(), p.N());
    float indexed = -2;
    EXPECT_TRUE(index.Interpolate(x, y, r0, indexed));
    EXPECT_EQ(indexed, v);
    return v;
}

}  // namespace

TEST(Shepard, FourPointsAroundTheQuery)
{
    // The plane z = x + 2y + 10 sampled at (1, 0), (0, 1), (-1, 0), (0, -1). R0 = 2 * sqrt(2)
    // takes all four in the first pass; sqrt(1) > R/3, so every s = 27 (1/R - 1)^2 / 4 = 2.8208
    // and t = (1 + 1 + 2) / 3. At the centre the corrections cancel in pairs (+-0.1503,
    // +-0.3006) and the value is the mean, 10.
    Points p;
    p.Add(1, 0, 11);
    p.Add(0, 1, 12);
    p.Add(-1, 0, 9);
    p.Add(0, -1, 8);
    float r0 = StartingRadius(p.X.data(), p.Y.data(), p.N());
    EXPECT_FLOAT_EQ(r0, static_cast<float>(2 * std::sqrt(2.0)));
    int passes = -1;
    EXPECT_NEAR(Reference(p, 0, 0, r0, &passes), 10.0, 1e-5);
    EXPECT_EQ(passes, 0);
    // Off centre the weights and gradient corrections differ (worked through in double).
    EXPECT_NEAR(Reference(p, 0.2f, 0.1f, r0), 10.4947147, 2e-5);
    // A query on a terrain point takes that point's value.
    EXPECT_NEAR(Reference(p, 1, 0, r0), 11.0, 1e-4);
}

TEST(Shepard, RadiusShrinksAndGrows)
{
    // A regular 100 m grid: 10 m east of a node, R = 200 holds 10 points and is accepted at once.
    Points grid;
    for (int i = 0; i < 11; ++i)
        for (int j = 0; j < 11; ++j) grid.Add(i * 100.0f, j * 100.0f, static_cast<float>(i + j));
    int passes = -1;
    Reference(grid, 510, 500, 200, &passes);
    EXPECT_EQ(passes, 0);
    // R = 300 holds 29 points: it shrinks by 10 % until at most 15 remain (R below 223.6).
    Reference(grid, 500, 500, 300, &passes);
    EXPECT_EQ(passes, 3);  // 270, 243, 218.7
    // Two points within 110: it grows to 121, 133.1, 146.41 (5 points, and more, within).
    Reference(grid, 500, 550, 110, &passes);
    EXPECT_GT(passes, 0);
    float v;
    int calls = 0;
    ShepardInterpolate(500, 550, grid.X.data(), grid.Y.data(), grid.Z.data(), grid.N(), 110, v,
                       [&] { ++calls; });
    EXPECT_EQ(calls, passes);
}

TEST(Shepard, DegenerateSetsEnd)
{
    float v = 5;
    EXPECT_FALSE(ShepardInterpolate(0, 0, nullptr, nullptr, nullptr, 0, 1, v));
    EXPECT_EQ(v, 0);

    Points one;
    one.Add(1000, 1000, 350);
    EXPECT_EQ(Reference(one, 0, 0, 0), 350);

    // The first two points coincide (R0 = 0): the radius starts from the next point elsewhere.
    Points twin;
    twin.Add(0, 0, 10);
    twin.Add(0, 0, 10);
    twin.Add(100, 0, 20);
    twin.Add(0, 100, 30);
    twin.Add(100, 100, 40);
    float r0 = StartingRadius(twin.X.data(), twin.Y.data(), twin.N());
    EXPECT_EQ(r0, 200);
    v = Reference(twin, 50, 50, 0);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_GT(v, 0);
    EXPECT_LT(v, 50);

    // All points in one place, far from the query: they are taken after pass 150.
    Points heap;
    for (int i = 0; i < 20; ++i) heap.Add(5000, 0, 7);
    int passes = 0;
    EXPECT_NEAR(Reference(heap, 0, 0, 1, &passes), 7, 1e-4);
    EXPECT_GT(passes, 150);

    // Two far points, three in all: one neighbour within the radius after pass 150.
    Points sparse;
    sparse.Add(0, 0, 3);
    sparse.Add(1e8f, 0, 9);
    sparse.Add(0, 1e8f, 9);
    v = Reference(sparse, 1, 0, 1);
    EXPECT_EQ(v, 3);
}

TEST(Shepard, IndexGivesTheSameValues)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(0, 5000), height(-50, 400);
    for (int n : {2, 3, 5, 17, 40, 400}) {
        Points p;
        for (int i = 0; i < n; ++i) p.Add(coordinate(random), coordinate(random), height(random));
        if (n == 40)  // a survey line with repeated positions
            for (int i = 0; i < 40; ++i) p.Add(1000 + 25.0f * (i / 2), 2500, height(random));
        TerrainInterpolator index(p.X.data(), p.Y.data(), p.Z.data(), p.N());
        float r0 = StartingRadius(p.X.data(), p.Y.data(), p.N());
        for (int q = 0; q < 300; ++q) {
            float x = coordinate(random) * 1.6f - 1500, y = coordinate(random) * 1.6f - 1500;
            if (q % 7 == 0) {
                x = p.X[q % p.N()];
                y = p.Y[q % p.N()];
            }
            int a = 0, b = 0;
            float expected = 0, got = 0;
            ASSERT_TRUE(ShepardInterpolate(x, y, p.X.data(), p.Y.data(), p.Z.data(), p.N(), r0,
                                           expected, [&] { ++a; }));
            ASSERT_TRUE(index.Interpolate(x, y, r0, got, [&] { ++b; }));
            ASSERT_EQ(got, expected) << n << " " << x << " " << y;
            ASSERT_EQ(a, b);
        }
    }
}

TEST(Terrain, CellClassesOnBothSides)
{
    struct Case {
        double zc;
        float v;
        CellClass cls;
    } cases[] = {
        {-100, 350, CellClass::Earth}, {-400, 350, CellClass::Air},   {-350, 350, CellClass::Air},
        {5, 0, CellClass::Earth},      {0, 0, CellClass::Ocean},      {50, -100, CellClass::Ocean},
        {100, -100, CellClass::Ocean}, {150, -100, CellClass::Earth}, {-10, -100, CellClass::Air},
        {-1, 0, CellClass::Air},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyCell(c.zc, c.v), c.cls) << c.zc << " " << c.v;
}

TEST(Terrain, LoadPositionFile)
{
    std::string name = testing::TempDir() + "terrain.pos";
    std::ofstream(name, std::ios::binary)
        << " STN     X    Y    Z\r\n101 50.0 .0 2.5\r\n\r\n102 15.5 -3.0\r\n103 1 2 x\r\n"
           "104,7,8,9,extra\r\n" +
               std::string(300, ' ') + "105 1 1 1\r\n";
    ModelData data;
    data.TerrainX = {9};
    data.TerrainY = {9};
    data.TerrainZ = {9};
    EXPECT_EQ(LoadTerrainFile(name, data), TerrainLoad::Loaded);
    EXPECT_EQ(data.TerrainCount(), 3);
    EXPECT_EQ(data.TerrainX, (std::vector<float>{50, 7, 1}));
    EXPECT_EQ(data.TerrainZ, (std::vector<float>{2.5f, 9, 1}));

    std::ofstream(name, std::ios::binary) << " STN     X    Y    Z\r\n";
    EXPECT_EQ(LoadTerrainFile(name, data), TerrainLoad::NoPoint);
    EXPECT_EQ(data.TerrainCount(), 0);
    data.TerrainX = data.TerrainY = data.TerrainZ = {1};
    EXPECT_EQ(LoadTerrainFile(testing::TempDir() + "none/none.pos", data), TerrainLoad::NotOpened);
    EXPECT_EQ(data.TerrainCount(), 1);
}

TEST(Terrain, ColumnValuesAtTheCellCentres)
{
    ModelSettings s;
    s.MxRefEdit = "-50";
    s.MyRefEdit = "0";
    ModelData data;
    data.CellDx = {100, 100};
    data.CellDy = {40};
    EXPECT_EQ(ComputeColumnValues(s, data), (std::vector<float>{0, 0}));
    data.TerrainX = {0};
    data.TerrainY = {20};
    data.TerrainZ = {120};
    EXPECT_EQ(ComputeColumnValues(s, data), (std::vector<float>{120, 120}));
    // Two points: the column centres (0, 20) and (100, 20) lie on them.
    data.TerrainX = {0, 100};
    data.TerrainY = {20, 20};
    data.TerrainZ = {120, 80};
    std::vector<float> v = ComputeColumnValues(s, data);
    EXPECT_NEAR(v[0], 120, 1e-3);
    EXPECT_NEAR(v[1], 80, 1e-3);
}

TEST(Terrain, PointsFarApartKeepEveryColumnCheap)
{
    // Found by fuzzing: with one point far off the others the bucket grid becomes a long narrow
    // strip, and every query walked the whole square of its length.
    ModelSettings s;
    s.MxRefEdit = "-1000";
    s.MyRefEdit = "-1000";
    ModelData data;
    data.CellDx.assign(50, 50);
    data.CellDy.assign(50, 50);
    data.TerrainX = {100, 0.1f};
    data.TerrainY = {5, 1e20f};
    data.TerrainZ = {-2.5f, 0.5f};
    std::vector<float> v = ComputeColumnValues(s, data);
    ASSERT_EQ(v.size(), 2500u);
    float r0 = static_cast<float>(2.0 * std::hypot(100 - 0.1, 1e20 - 5));
    for (int k : {0, 1234, 2499}) {
        float x = -975.0f + 50 * (k % 50), y = -975.0f + 50 * (k / 50), expected = 0;
        ASSERT_TRUE(ShepardInterpolate(x, y, data.TerrainX.data(), data.TerrainY.data(),
                                       data.TerrainZ.data(), 2, r0, expected));
        EXPECT_EQ(v[k], expected) << k;
    }
}

namespace {

// Stations in lines of 100, 50 m apart and 500 m between lines, or as many at random over the
// same ground, under a mesh reaching far beyond them: there the forced pass takes hundreds of
// neighbours. Some column centres fall on stations, and one station's place holds a second height.
ModelData FarMeshSurvey(bool lines, ModelSettings& s)
{
    ModelData d;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < 600; ++i) {
        float x = lines ? 50.0f * (i % 100) : 4950 * unit(random);
        float y = lines ? 500.0f * (i / 100) : 2500 * unit(random);
        d.TerrainX.push_back(x);
        d.TerrainY.push_back(y);
        d.TerrainZ.push_back(300 + 80 * std::sin(x / 900) + 5 * unit(random));
    }
    d.TerrainX.push_back(150);
    d.TerrainY.push_back(1000);
    d.TerrainZ.push_back(123);
    // 30 regular cells each way framed by five that double outward.
    for (auto [cells, width] : {std::make_pair(&d.CellDx, 600.0f), {&d.CellDy, 200.0f}}) {
        for (int k = 5; k >= 1; --k) cells->push_back(width * static_cast<float>(1 << k));
        cells->insert(cells->end(), 30, width);
        for (int k = 1; k <= 5; ++k) cells->push_back(width * static_cast<float>(1 << k));
    }
    s.MxRefEdit = "-39150";
    s.MyRefEdit = "-13500";
    return d;
}

// The column centres as the cells are laid from the origin.
std::vector<float> Centres(const std::string& origin, const std::vector<float>& widths)
{
    std::vector<float> centres;
    float c = std::stof(origin);
    for (float w : widths) {
        centres.push_back(c + 0.5f * w);
        c = centres.back() + 0.5f * w;
    }
    return centres;
}

uint64_t Fingerprint(const std::vector<float>& values)
{
    uint64_t hash = 14695981039346656037ull;
    for (float v : values) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int k = 0; k < 4; ++k) {
            hash ^= (bits >> (8 * k)) & 0xff;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

}  // namespace

TEST(Terrain, ColumnValuesKeepEveryBit)
{
    // The fingerprints of the values a sum over one neighbour at a time gives: every bit of the
    // model file's terrain stays, however the sum is spread over cores and vector lanes.
    struct Case {
        bool lines;
        uint64_t fingerprint;
    } cases[] = {{true, 0x1fc4c25fef37951ull}, {false, 0x29bcaa132bf2eb95ull}};
    for (const Case& c : cases) {
        ModelSettings s;
        ModelData d = FarMeshSurvey(c.lines, s);
        std::vector<float> v = ComputeColumnValues(s, d);
        EXPECT_EQ(Fingerprint(v), c.fingerprint) << std::hex << Fingerprint(v);
        // Shared among threads, each column is the one the interpolation gives alone.
        TerrainInterpolator terrain(d.TerrainX.data(), d.TerrainY.data(), d.TerrainZ.data(),
                                    d.TerrainCount());
        float r0 = StartingRadius(d.TerrainX.data(), d.TerrainY.data(), d.TerrainCount());
        std::vector<float> xs = Centres(s.MxRefEdit, d.CellDx), ys = Centres(s.MyRefEdit, d.CellDy);
        for (size_t k = 0; k < v.size(); k += 7) {
            float alone = -1;
            ASSERT_TRUE(terrain.Interpolate(xs[k % xs.size()], ys[k / xs.size()], r0, alone));
            ASSERT_EQ(v[k], alone) << k;
        }
    }
}

TEST(Terrain, ProgressComesFromTheCallingThreadAndCanStop)
{
    ModelSettings s;
    ModelData d = FarMeshSurvey(true, s);
    const std::vector<float> expected = ComputeColumnValues(s, d);
    std::vector<std::pair<size_t, size_t>> calls;
    bool elsewhere = false;
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<float> v = ComputeColumnValues(s, d, [&](size_t done, size_t total) {
        elsewhere = elsewhere || std::this_thread::get_id() != caller;
        calls.emplace_back(done, total);
        return true;
    });
    EXPECT_EQ(v, expected);
    EXPECT_FALSE(elsewhere);
    // While the columns' neighbours are found the total is not known; then the units of work,
    // each column charged by what its value costs, up to all of them.
    TerrainInterpolator terrain(d.TerrainX.data(), d.TerrainY.data(), d.TerrainZ.data(),
                                d.TerrainCount());
    float r0 = StartingRadius(d.TerrainX.data(), d.TerrainY.data(), d.TerrainCount());
    std::vector<float> xs = Centres(s.MxRefEdit, d.CellDx), ys = Centres(s.MyRefEdit, d.CellDy);
    size_t total = 0;
    for (float y : ys)
        for (float x : xs) {
            TerrainInterpolator::Search search;
            ASSERT_TRUE(terrain.Find(x, y, r0, search));
            total += terrain.Cost(search);
        }
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), std::make_pair(size_t(0), size_t(0)));
    EXPECT_EQ(calls.back(), std::make_pair(total, total));
    size_t known = 0;
    while (known < calls.size() && calls[known].second == 0) ++known;
    ASSERT_LT(known, calls.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].second, i < known ? 0 : total) << i;
        if (i < known) {
            EXPECT_EQ(calls[i].first, 0u);
        }
        if (i > 0) {
            EXPECT_GE(calls[i].first, calls[i - 1].first);
        }
    }

    // A stop at any call ends the work with TerrainCancelled; an error of the callback is
    // passed on once the workers have ended.
    const TerrainProgress stops[] = {[](size_t, size_t) { return false; },
                                     [](size_t done, size_t total) { return done < total; }};
    for (const TerrainProgress& stop : stops) {
        try {
            ComputeColumnValues(s, d, stop);
            ADD_FAILURE() << "not stopped";
        } catch (const TerrainCancelled& e) {
            EXPECT_STREQ(e.what(), kTerrainCancelledMessage);
        }
    }
    EXPECT_THROW(ComputeColumnValues(s, d,
                                     [&](size_t done, size_t) -> bool {
                                         if (done > 0) throw std::runtime_error("window gone");
                                         return true;
                                     }),
                 std::runtime_error);
}

// A column whose search takes a crowd of points at once costs the square of the crowd, many
// times a column of a few neighbours; its work is counted as it goes, and a stop asked for in the
// middle of it ends it there.
TEST(Terrain, ColumnsAreChargedByWhatTheyCost)
{
    Points p;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < 1000; ++i) p.Add(0.001f * unit(random), 0.001f * unit(random), 300);
    for (int i = 0; i < 100; ++i) p.Add(5000 + 50.0f * (i % 10), 50.0f * (i / 10), 200);
    TerrainInterpolator terrain(p.X.data(), p.Y.data(), p.Z.data(), p.N());
    const float r0 = StartingRadius(p.X.data(), p.Y.data(), p.N());
    struct Column {
        float X, Y;
        bool ScanAll;
    } columns[] = {{5220, 220, false}, {2000, 0, true}};
    size_t cost[2];
    for (int k = 0; k < 2; ++k) {
        const Column& c = columns[k];
        TerrainInterpolator::Search search;
        ASSERT_TRUE(terrain.Find(c.X, c.Y, r0, search));
        EXPECT_EQ(search.ScanAll, c.ScanAll);
        cost[k] = terrain.Cost(search);
        float alone = -1, v = -2;
        ASSERT_TRUE(terrain.Interpolate(c.X, c.Y, r0, alone));
        size_t counted = 0, calls = 0;
        ASSERT_TRUE(terrain.Value(c.X, c.Y, search, v, [&](size_t units) {
            counted += units;
            ++calls;
            return true;
        }));
        EXPECT_EQ(v, alone);
        EXPECT_EQ(counted, cost[k]);
        if (!c.ScanAll) continue;
        EXPECT_GE(search.Count, 1000);
        EXPECT_GT(calls, 100u);  // counted as it goes
        // Stopped at its first count, the column ends without a value, having done a sliver.
        counted = 0;
        EXPECT_FALSE(terrain.Value(c.X, c.Y, search, v, [&](size_t units) {
            counted += units;
            return false;
        }));
        EXPECT_LT(counted * 100, cost[k]);
    }
    EXPECT_GT(cost[1], 1000 * cost[0]);
}
