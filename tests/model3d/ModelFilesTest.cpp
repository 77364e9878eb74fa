#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/StringList.h"
#include "base/TextStream.h"
#include "model3d/ModelFiles.h"
#include "survey/TextLines.h"

namespace {

ModelSettings TinySettings()
{
    ModelSettings s;
    s.MxRefEdit = "100";
    s.MyRefEdit = "-200";
    s.MzRefEdit = "0";
    s.MRotEdit = "15";
    s.ComboBox1 = "0.50";
    s.ComboBox2 = "abc";
    s.ComboBox3 = "0.10";
    s.CheckBox1 = false;
    return s;
}

ModelData TinyModel()
{
    ModelData data;
    data.CellDx = {50, 60};
    data.CellDy = {70, 80};
    data.LayerDz = {10, 20};
    data.LayerRho = {100, 10};
    return data;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> CovarianceStart(const std::string& dims, const std::string& x,
                                         const std::string& y, const std::string& z)
{
    std::vector<std::string> lines;
    StringList header;
    header.SetText(CovarianceFlatText(TinySettings(), ModelData()));
    lines.assign(header.Lines.begin(), header.Lines.begin() + 16);
    for (const std::string& l :
         {std::string(), dims, std::string(), x, std::string(), y, std::string(), z, std::string(),
          std::string(" 2"), std::string(), std::string("   0"), std::string()})
        lines.push_back(l);
    return lines;
}

bool Exists(const std::string& name)
{
    struct stat st;
    return stat(name.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& name)
{
    std::string bytes;
    ReadFileBytes(name, bytes);
    return bytes;
}

}  // namespace

TEST(ModelFiles, FlatModelAndCovarianceOfTwoByTwoByTwo)
{
    EXPECT_EQ(ModelFlatText(TinySettings(), TinyModel()),
              Join({" # 3D INVERSION RES MODEL", "     2     2     2      0   LOGE",
                    "      50.0      60.0", "      70.0      80.0", "      10.0      20.0",
                    "  4.60517e+00  4.60517e+00", "  4.60517e+00  4.60517e+00", "",
                    "  2.30259e+00  2.30259e+00", "  2.30259e+00  2.30259e+00", "",
                    "          100         -200            0", "           15"}));

    std::vector<std::string> cov =
        CovarianceStart("         2         2         2", " 0.50 0.50", " 0.30 0.30", " 0.10");
    for (const char* l : {"   1    1", "  2  2", "  2  2", "   2    2", "  2  2", "  2  2"})
        cov.push_back(l);
    EXPECT_EQ(CovarianceFlatText(TinySettings(), TinyModel()), Join(cov));
    EXPECT_EQ(cov[0],
              "+-----------------------------------------------------------------------------+");
    EXPECT_EQ(cov[2],
              "| The model spcace may be divided into distinct areas using integer masks.    |");
}

TEST(ModelFiles, TerrainFormsClassEarthAirAndOcean)
{
    ModelSettings s = TinySettings();
    s.MzRefEdit = "-20";  // layer centres at depths -15 and 0
    // Columns (i, j): (0, 0) at +15 m, (1, 0) at -5 m, (0, 1) at -30 m, (1, 1) at +40 m.
    std::vector<float> columns = {15, -5, -30, 40};
    EXPECT_EQ(ModelTopoText(s, TinyModel(), columns),
              Join({" # 3D INVERSION RES MODEL", "     2     2     2      0   LOGE",
                    "      50.0      60.0", "      70.0      80.0", "      10.0      20.0",
                    "  2.99336e+01  2.99336e+01", "  4.60517e+00  2.99336e+01", "",
                    " -1.20397e+00  2.30259e+00", "  2.30259e+00 -1.20397e+00", "",
                    "          100         -200          -20", "           15"}));
    std::vector<std::string> cov =
        CovarianceStart("         2         2         2", " 0.50 0.50", " 0.30 0.30", " 0.10");
    for (const char* l : {"   1    1", "  0  1", "  0  0", "   2    2", "  9  1", "  1  9"})
        cov.push_back(l);
    EXPECT_EQ(CovarianceTopoText(s, TinyModel(), columns), Join(cov));
}

TEST(ModelFiles, BoundaryCellsAreMaskedWithTheCheckBox)
{
    ModelSettings s = TinySettings();
    s.CheckBox1 = true;
    s.NxS = s.NyS = s.NzS = 1;
    ModelData data;
    data.CellDx = {1, 1, 1, 1};
    data.CellDy = {1, 1, 1};
    data.LayerDz = {1, 1, 1};
    data.LayerRho = {1, 1, 1};
    StringList text;
    text.SetText(CovarianceFlatText(s, data));
    std::vector<std::string> blocks(text.Lines.begin() + 29, text.Lines.end());
    EXPECT_EQ(blocks, (std::vector<std::string>{"   1    1", "  0  0  0", "  0  2  0", "  0  2  0",
                                                "  0  0  0", "   2    2", "  0  0  0", "  0  2  0",
                                                "  0  2  0", "  0  0  0", "   3    3", "  0  0  0",
                                                "  0  0  0", "  0  0  0", "  0  0  0"}));
}

TEST(ModelFiles, WriteModelFilesChoosesTheFormAndRefusesBadInput)
{
    std::string base = testing::TempDir() + "tiny.imp";
    ModelSettings s = TinySettings();
    ModelData data = TinyModel();
    WriteModelFiles(s, data, base);
    EXPECT_EQ(ReadAll(testing::TempDir() + "tiny.m"), ModelFlatText(s, data));
    EXPECT_EQ(ReadAll(testing::TempDir() + "tiny.cov"), CovarianceFlatText(s, data));

    data.TerrainX = {0};
    data.TerrainY = {0};
    data.TerrainZ = {-5};
    int calls = 0;
    WriteModelFiles(s, data, base, [&] { ++calls; });
    EXPECT_EQ(ReadAll(testing::TempDir() + "tiny.m"),
              ModelTopoText(s, data, std::vector<float>(4, -5)));
    EXPECT_EQ(ReadAll(testing::TempDir() + "tiny.cov"),
              CovarianceTopoText(s, data, std::vector<float>(4, -5)));

    ModelData empty = TinyModel();
    empty.LayerDz.clear();
    empty.LayerRho.clear();
    std::string other = testing::TempDir() + "refused.m";
    std::remove(other.c_str());
    std::remove((testing::TempDir() + "refused.cov").c_str());
    try {
        WriteModelFiles(s, empty, other);
        ADD_FAILURE() << "a model without layers was written";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), kNoLayerMessage);
    }
    s.MRotEdit = "1 5";
    EXPECT_THROW(WriteModelFiles(s, data, other), EConvertError);
    EXPECT_FALSE(Exists(other));
    EXPECT_FALSE(Exists(testing::TempDir() + "refused.cov"));
    EXPECT_FALSE(WriteModelFlat(TinySettings(), data, testing::TempDir() + "none/x.m"));

    // Files that cannot be created are named, not passed over.
    std::string missing = testing::TempDir() + "none/x.imp";
    EXPECT_EQ(WriteModelFiles(TinySettings(), data, missing),
              std::vector<std::string>({testing::TempDir() + "none/x.m",
                                        testing::TempDir() + "none/x.cov"}));
    EXPECT_TRUE(WriteModelFiles(TinySettings(), data, base).empty());
}

TEST(ModelFiles, BackgroundModel)
{
    ModelData data;
    data.LayerDz = {10, 2e6f};
    data.LayerRho = {100, 10};
    data.Tag = 1;
    TxData tx;
    tx.Bx = 1000;
    tx.Cx = 500;
    tx.Cz = 10;
    ModelSettings s;
    EXPECT_EQ(BackgroundModelText({tx}, s, data),
              Join({" Background RESIS MODEL", "2",
                    "       10.00      100.00        1.00        1.00        1.00",
                    "  1000000.00       10.00        1.00        1.00        1.00",
                    "        1.00     1000.00         1.0        1.00",
                    "      500.00        0.00       10.00",
                    "           2        0.00        0.00        0.00"}));
    tx.Bx = 0;
    tx.By = 1000;  // same x: the length takes the source length 1 for x
    StringList lines;
    lines.SetText(BackgroundModelText({tx}, s, data));
    EXPECT_EQ(lines.Lines[4], "        1.00     1000.00         1.0        1.00");

    data.Tag = 1500;
    s.Edit3 = "12";
    s.Edit4 = "-3";
    s.Edit7 = "x";
    std::string name = testing::TempDir() + "source";
    std::remove((name + ".pri").c_str());
    EXPECT_THROW(WriteBackgroundModel({}, s, data, name), EConvertError);
    EXPECT_FALSE(Exists(name + ".pri"));
    s.Edit7 = "4";
    ASSERT_TRUE(WriteBackgroundModel({}, s, data, name + ".m"));
    lines.SetText(ReadAll(name + ".pri"));
    EXPECT_EQ(lines.Lines[4], "        1.00     1500.00         1.0        1.00");
    EXPECT_EQ(lines.Lines[5], "       12.00       -3.00        4.00");
}

TEST(ModelFiles, BoundaryPolygon)
{
    ModelData data;
    EXPECT_EQ(BoundaryText(data), "           0            1\r\n");
    data.BoundaryX = {1, 20.26, 300};
    data.BoundaryY = {-1, 5, 7.75};
    std::string name = testing::TempDir() + "area.m";
    SaveBoundaryBln(data, name);
    EXPECT_EQ(
        ReadAll(testing::TempDir() + "area.bln"),
        Join({"           4            1", "         1.0         -1.0", "        20.3          5.0",
              "       300.0          7.8", "         1.0         -1.0"}));
    EXPECT_THROW(SaveBoundaryBln(data, testing::TempDir() + "none/area.m"), EFCreateError);
}

TEST(ModelFiles, CovarianceLayoutMatchesARealFile)
{
    std::string real = std::string(QUILLANE_PEER_DATA) + "/pycsamt/27-freq-run-watex01.cov";
    TextStream stream;
    if (!stream.Open(real)) GTEST_SKIP() << "no peer data";
    std::vector<std::string> realLines;
    std::string line;
    while (stream.ReadLine(line)) realLines.push_back(line);
    ASSERT_GT(realLines.size(), 20u);

    // The same frame of 16 header lines, then the grid dimensions on line 18.
    ModelData data;
    data.CellDx.assign(3, 1);
    data.CellDy.assign(4, 1);
    data.LayerDz.assign(2, 1);
    data.LayerRho.assign(2, 1);
    StringList ours;
    ours.SetText(CovarianceFlatText(TinySettings(), data));
    for (int i : {0, 15}) EXPECT_EQ(TrimBlanks(ours.Lines[i]), TrimBlanks(realLines[i]));
    for (int i = 1; i < 15; ++i) EXPECT_EQ(realLines[i].front(), ours.Lines[i].front());
    std::vector<std::string> f;
    SplitFields(realLines[17], f);
    ASSERT_EQ(f.size(), 3u);
    int nx = StrToInt(f[0]), ny = StrToInt(f[1]);

    // A mask block: a line of two layer indices, then nx lines of ny masks each.
    auto blockLayout = [](const std::vector<std::string>& lines, int nx, int ny) {
        size_t k = 18;
        std::vector<std::string> fields;
        for (; k < lines.size(); ++k) {
            SplitFields(lines[k], fields);
            int first, last;
            if (fields.size() == 2 && TryStrToInt(fields[0], first) && TryStrToInt(fields[1], last))
                break;
        }
        if (k + nx >= lines.size()) return false;
        for (int i = 1; i <= nx; ++i) {
            SplitFields(lines[k + i], fields);
            if (fields.size() != static_cast<size_t>(ny)) return false;
        }
        return true;
    };
    EXPECT_TRUE(blockLayout(realLines, nx, ny));
    EXPECT_TRUE(blockLayout(ours.Lines, 3, 4));
}
