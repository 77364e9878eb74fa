#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Convert.h"
#include "base/Exception.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"
#include "model3d/Mesh.h"
#include "model3d/ModelTemplate.h"

namespace {

ModelSettings Geometry()
{
    ModelSettings s;
    s.Nx = 50;
    s.Dx = "20";
    s.NxS = 5;
    s.NxScale = "2.0";
    s.Ny = 50;
    s.Dy = "10";
    s.NyS = 5;
    s.NyScale = "2.0";
    s.Nz = 40;
    s.Dz = "15";
    s.NzS = 5;
    s.NzScale = "1.5";
    s.MxRefEdit = "0";
    s.MyRefEdit = "0";
    return s;
}

double Sum(const std::vector<float>& v)
{
    double sum = 0;
    for (float x : v) sum += x;
    return sum;
}

}  // namespace

TEST(Mesh, BoundaryCellsGrowOutwardOnBothSides)
{
    ModelSettings s = Geometry();
    ModelData data;
    BuildXMesh(s, data);
    ASSERT_EQ(data.CellDx.size(), 60u);
    const float edge[] = {640, 320, 160, 80, 40};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(data.CellDx[i], edge[i]);
        EXPECT_EQ(data.CellDx[59 - i], edge[i]);
    }
    for (int i = 5; i < 55; ++i) EXPECT_EQ(data.CellDx[i], 20);
    EXPECT_EQ(Sum(data.CellDx), 3480);
    BuildYMesh(s, data);
    EXPECT_EQ(data.CellDy.size(), 60u);
    EXPECT_EQ(data.CellDy.front(), 320);

    s.Dx = "2O";
    EXPECT_THROW(BuildXMesh(s, data), EConvertError);
    EXPECT_EQ(data.CellDx.size(), 60u);
}

TEST(Mesh, LayersGrowDownwardAndKeepResistivitiesWhileTheCountStays)
{
    ModelSettings s = Geometry();
    ModelData data;
    BuildZMesh(s, data);
    ASSERT_EQ(data.LayerDz.size(), 45u);
    ASSERT_EQ(data.LayerRho.size(), 45u);
    for (int i = 0; i < 40; ++i)
        EXPECT_FLOAT_EQ(data.LayerDz[i], static_cast<float>(15 * std::pow(1.1, i))) << i;
    double last = data.LayerDz[39];
    for (int k = 1; k <= 5; ++k)
        EXPECT_NEAR(data.LayerDz[39 + k], last * std::pow(1.5, k), 1e-5 * data.LayerDz[39 + k]);
    EXPECT_EQ(data.LayerRho[44], 100);

    data.LayerRho[3] = 42;
    s.NzScale = "1.7";
    BuildZMesh(s, data);
    EXPECT_EQ(data.LayerRho[3], 42);
    s.Nz = 41;
    BuildZMesh(s, data);
    EXPECT_EQ(data.LayerDz.size(), 46u);
    EXPECT_EQ(data.LayerRho[3], 100);
}

TEST(Mesh, LeavingTheGeometryKeepsTheModelCentre)
{
    ModelSettings s = Geometry();
    ModelData data;
    BuildXMesh(s, data);
    BuildYMesh(s, data);
    s.MxRefEdit = "604.4";
    s.MyRefEdit = "-604.4";
    RebuildMeshesKeepingCentre(s, data);
    EXPECT_EQ(s.MxRefEdit, "604");
    EXPECT_EQ(s.MyRefEdit, "-604");
    s.Nx = 60;
    RebuildMeshesKeepingCentre(s, data);
    EXPECT_EQ(s.MxRefEdit, "504");
    EXPECT_EQ(s.MyRefEdit, "-604");
}

TEST(Mesh, MeanRegularWidth)
{
    std::vector<float> cells = {40, 21, 22, 23, 40};
    int width = 0;
    EXPECT_TRUE(MeanRegularWidth(cells, 1, 3, width));
    EXPECT_EQ(width, 22);
    EXPECT_FALSE(MeanRegularWidth({}, 1, 3, width));
}

TEST(Mesh, OutlineFollowsTheRotation)
{
    ModelSettings s;
    s.MxRefEdit = "100";
    s.MyRefEdit = "200";
    s.MRotEdit = "90";
    ModelData data;
    data.CellDx = {10, 20};
    data.CellDy = {5, 5, 5};
    MeshDrawing d = MeshOnMap(s, data);
    ASSERT_EQ(d.Outline.size(), 5u);
    const double expected[][2] = {{100, 200}, {100, 170}, {115, 170}, {115, 200}, {100, 200}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(d.Outline[k].X, expected[k][0], 1e-9);
        EXPECT_NEAR(d.Outline[k].Y, expected[k][1], 1e-9);
    }
    ASSERT_EQ(d.Nodes.size(), 2u);  // one inner x edge by two inner y edges
    EXPECT_NEAR(d.Nodes[1].X, 110, 1e-9);
    EXPECT_NEAR(d.Nodes[1].Y, 190, 1e-9);
}

TEST(Mesh, DefaultsFromThePoints)
{
    ModelPoints points;
    points.X = {1000, 2000, 1500};
    points.Y = {300, 800, 500};
    points.Z = {0, 0, 0};
    ModelDefaults d = ComputeModelDefaults(points);
    // 50 cells of 21 m span the 1000 m and 2 m more, 50 of 11 m the 500 m; the first layer takes
    // 2 % of each extent.
    EXPECT_EQ(d.DxText, 21);
    EXPECT_EQ(d.DyText, 11);
    EXPECT_EQ(d.DzText, 15);
    EXPECT_DOUBLE_EQ(d.OriginX, 1500 - 21 * (25 + 62));
    EXPECT_DOUBLE_EQ(d.OriginY, 550 - 11 * (25 + 62));
    EXPECT_EQ(d.MxRefEdit, "-327.0");
    EXPECT_EQ(d.DyMax, "800.0");
    ModelSettings s;
    ApplyModelDefaults(d, s);
    EXPECT_EQ(s.Dx, "21");
    EXPECT_EQ(s.Dz, "15");
    EXPECT_EQ(s.Nz, 40);
    EXPECT_EQ(s.NzScale, "1.5");

    // The smallest whole width whose 50 cells span the extent and 2 m.
    const std::pair<double, int> widths[] = {{0.001, 1}, {48, 1},    {48.5, 2},     {98, 2},
                                             {99, 3},    {1048, 21}, {1048.01, 22}, {2300, 47}};
    for (auto [extent, width] : widths) {
        ModelPoints spread;
        spread.X = {100, 100 + extent};
        spread.Y = {0, 1};
        spread.Z = {0, 0};
        EXPECT_EQ(ComputeModelDefaults(spread).DxText, width) << extent;
    }

    ModelPoints single;
    single.X = {0.25};
    single.Y = {7};
    single.Z = {1};
    d = ComputeModelDefaults(single);
    EXPECT_EQ(d.DxMin, ".3");
    // No extent at all: 1 m cells, the regular ones centred on the point.
    EXPECT_EQ(d.DxText, 1);
    EXPECT_EQ(d.DyText, 1);
    EXPECT_EQ(d.DzText, 1);
    EXPECT_EQ(d.MxRefEdit, "-86.8");  // 0.25 - (25 + 62)

    // A single line along x: y takes the x width and is centred on the line.
    ModelPoints line;
    line.X = {1000, 2000, 1500};
    line.Y = {7, 7, 7};
    line.Z = {0, 0, 0};
    d = ComputeModelDefaults(line);
    EXPECT_EQ(d.DxText, 21);
    EXPECT_EQ(d.DyText, 21);
    EXPECT_EQ(d.DzText, 10);
    EXPECT_DOUBLE_EQ(d.OriginX, 1500 - 21 * (25 + 62));
    EXPECT_DOUBLE_EQ(d.OriginY, 7 - 21 * (25 + 62));
    std::swap(line.X, line.Y);
    d = ComputeModelDefaults(line);
    EXPECT_EQ(d.DxText, 21);
    EXPECT_DOUBLE_EQ(d.OriginX, 7 - 21 * (25 + 62));
    EXPECT_DOUBLE_EQ(d.OriginY, 1500 - 21 * (25 + 62));
    // Other boundary counts and ratios move the origin by what those cells span.
    d = ComputeModelDefaults(points, 3, 2, 1.5, 3.0);
    EXPECT_DOUBLE_EQ(d.OriginX, 1500 - 21 * (25 + 1.5 + 2.25 + 3.375));
    EXPECT_DOUBLE_EQ(d.OriginY, 550 - 11 * (25 + 3.0 + 9.0));
}

TEST(Mesh, TextHelpers)
{
    EXPECT_EQ(TruncatedText(-0.5), "0");
    EXPECT_EQ(TruncatedText(120.7), "120");
    EXPECT_EQ(TruncatedText(-604.4), "-604");
}

TEST(Mesh, TheExampleLineGetsPositiveWidths)
{
    SurveyStore store;
    ReadCsamtAvgFile(store, QUILLANE_SOURCE_DIR "/examples/line1_csamt.avg", nullptr);
    ModelPoints points = GatherStationPoints(store);
    ASSERT_GT(points.Count(), 1);
    ModelDefaults d = ComputeModelDefaults(points);
    EXPECT_GT(d.DxText, 0);
    EXPECT_EQ(d.DyText, d.DxText);
    ModelSettings s;
    ApplyModelDefaults(d, s);
    ModelData data;
    BuildYMesh(s, data);
    EXPECT_EQ(data.CellDy.size(), size_t(60));
    EXPECT_EQ(data.CellDy[5], static_cast<float>(d.DxText));
}

// The presets' regular cells, from the origin past the boundary cells, against the stations: they
// are centred on the stations and hold every one at least 1 m inside. The origin shown to a tenth
// of a metre, and made whole by leaving the geometry page, moves them by less than that: every
// station stays inside. A direction without extent has them centred.
TEST(Mesh, PresetRegularCellsCoverTheStations)
{
    // A file, or a line of stations along x: count stations from first, step apart.
    struct Survey {
        std::string Name;
        bool Peer;
        double First, Step;
        int Count;
    } surveys[] = {
        {QUILLANE_SOURCE_DIR "/examples/line1_csamt.avg", false, 0, 0, 0},
        {QUILLANE_PEER_DATA "/pycsamt/K1.AVG", true, 0, 0, 0},
        {QUILLANE_PEER_DATA "/pycsamt/L14.avg", true, 0, 0, 0},
        {"11 stations over 99 m", false, 500, 9.9, 11},
        // 48 m: 50 cells of 1 m leave exactly 1 m on each side; the origin -62.75 is shown as
        // -62.8 and made -62.
        {"a line of 48 m", false, 0.25, 6, 9},
    };
    for (const Survey& survey : surveys) {
        SCOPED_TRACE(survey.Name);
        struct stat info;
        if (survey.Peer && stat(QUILLANE_PEER_DATA, &info) != 0) continue;
        ModelPoints points;
        for (int i = 0; i < survey.Count; ++i) {
            points.X.push_back(survey.First + survey.Step * i);
            points.Y.push_back(300);
            points.Z.push_back(0);
        }
        if (survey.Count == 0) {
            SurveyStore store;
            bool otherDialect = false;
            ReadCsamtAvgFile(store, survey.Name, &otherDialect);
            if (otherDialect) ReadAmtAvgFile(store, survey.Name, [] {});
            points = GatherStationPoints(store);
        }
        ASSERT_GT(points.Count(), 1);
        const ModelDefaults d = ComputeModelDefaults(points);
        ModelSettings s;
        ApplyModelDefaults(d, s);
        ModelData data;
        BuildXMesh(s, data);
        BuildYMesh(s, data);
        // The regular cells' first and last faces.
        auto regular = [](double origin, const std::vector<float>& cells, int boundary) {
            double begin = origin;
            for (int i = 0; i < boundary; ++i) begin += cells[i];
            double end = begin;
            for (size_t i = boundary; i + boundary < cells.size(); ++i) end += cells[i];
            return std::make_pair(begin, end);
        };
        // How far the stations lie inside the regular cells at the least.
        auto inside = [&](const std::vector<double>& at, std::pair<double, double> cells) {
            double least = 1e300;
            for (double v : at) least = std::min({least, v - cells.first, cells.second - v});
            return least;
        };
        const auto x = regular(d.OriginX, data.CellDx, s.NxS);
        const auto y = regular(d.OriginY, data.CellDy, s.NyS);
        EXPECT_DOUBLE_EQ(x.first + x.second, d.XMin + d.XMax);
        EXPECT_DOUBLE_EQ(y.first + y.second, d.YMin + d.YMax);
        EXPECT_GE(inside(points.X, x), 1.0);
        EXPECT_GE(inside(points.Y, y), 1.0);
        EXPECT_NEAR(StrToFloat(s.MxRefEdit), d.OriginX, 0.05);
        EXPECT_NEAR(StrToFloat(s.MyRefEdit), d.OriginY, 0.05);
        // The smallest such width: one metre less would not span the extent and 2 m.
        for (auto [width, extent] :
             {std::make_pair(d.DxText, d.XMax - d.XMin), std::make_pair(d.DyText, d.YMax - d.YMin)})
            if (extent > 0) {
                EXPECT_LT(50.0 * (width - 1), extent + 2);
            }

        RebuildMeshesKeepingCentre(s, data);
        EXPECT_GT(inside(points.X, regular(StrToFloat(s.MxRefEdit), data.CellDx, s.NxS)), 0.0);
        EXPECT_GT(inside(points.Y, regular(StrToFloat(s.MyRefEdit), data.CellDy, s.NyS)), 0.0);
    }
}
