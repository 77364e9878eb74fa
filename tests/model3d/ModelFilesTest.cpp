#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <limits>
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
#include "tests/support/TempFiles.h"

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
    for (const char* l : {"   1    2", "  2  2", "  2  2"}) cov.push_back(l);
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
    // The block that ends at the next-to-last layer comes last.
    for (const char* l : {"   2    2", "  9  1", "  1  9", "   1    1", "  0  1", "  0  0"})
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
    // The block that ends at the next-to-last layer comes last.
    EXPECT_EQ(blocks, (std::vector<std::string>{"   3    3", "  0  0  0", "  0  0  0", "  0  0  0",
                                                "  0  0  0", "   1    2", "  0  0  0", "  0  2  0",
                                                "  0  2  0", "  0  0  0"}));
}

// The masks of a covariance file as the inversion code's reader takes them: after the settings,
// blocks of a line "k1 k2" and nx lines of ny masks, whose masks fill layers k1 to k2. Its layer
// counter ends at k2 + 1, and it stops when that is nz, or at the end of the file; a layer it
// never reached keeps the mask 1.
std::vector<std::string> MasksAsTheInversionCodeReads(const std::string& text, int nx, int ny,
                                                      int nz)
{
    StringList lines;
    lines.SetText(text);
    std::vector<std::string> layers(nz, std::string(nx * ny, '1'));
    std::vector<std::string> fields;
    size_t at = 29;
    while (at < lines.Lines.size()) {
        SplitFields(lines.Lines[at++], fields);
        if (fields.size() != 2) break;
        int k1 = StrToInt(fields[0]), k2 = StrToInt(fields[1]);
        std::string masks;
        for (int i = 0; i < nx && at < lines.Lines.size(); ++i) {
            SplitFields(lines.Lines[at++], fields);
            for (const std::string& f : fields) masks += f;
        }
        EXPECT_EQ(masks.size(), static_cast<size_t>(nx * ny));
        for (int k = k1; k <= k2 && k <= nz; ++k) layers[k - 1] = masks;
        if (k2 + 1 == nz) break;
    }
    return layers;
}

TEST(ModelFiles, TheInversionCodeReadsEveryLayersMasks)
{
    ModelSettings s = TinySettings();
    s.CheckBox1 = true;
    s.NxS = s.NyS = s.NzS = 2;
    s.MzRefEdit = "-20";  // layer centres at depths -15, -5, 5, 15 and 25
    ModelData data;
    data.CellDx.assign(5, 10);
    data.CellDy.assign(6, 10);
    data.LayerDz.assign(5, 10);
    data.LayerRho.assign(5, 100);
    // Inner cells x 2 (of 0..4) and y 2..3 (of 0..5); lines run from the last x position.
    auto layer = [](char inner) {
        std::string masks(30, '0');
        for (int j : {2, 3}) masks[2 * 6 + j] = inner;
        return masks;
    };
    const std::string none(30, '0');
    // The surface lies at depth -10: the top layer is air, the layers below it earth.
    const std::vector<float> columns(30, 10);
    struct Case {
        std::string Text;
        std::vector<std::string> Masks;
    } cases[] = {
        {CovarianceFlatText(s, data), {layer('2'), layer('2'), layer('2'), none, none}},
        {CovarianceTopoText(s, data, columns), {none, layer('1'), layer('1'), none, none}},
    };
    for (const Case& c : cases) EXPECT_EQ(MasksAsTheInversionCodeReads(c.Text, 5, 6, 5), c.Masks);

    // One boundary layer: the bottom layer has a block of its own.
    s.NzS = 1;
    EXPECT_EQ(MasksAsTheInversionCodeReads(CovarianceFlatText(s, data), 5, 6, 5),
              (std::vector<std::string>{layer('2'), layer('2'), layer('2'), layer('2'), none}));
    // Two layers that differ, and a single layer.
    data.LayerDz.assign(2, 10);
    data.LayerRho.assign(2, 100);
    EXPECT_EQ(MasksAsTheInversionCodeReads(CovarianceFlatText(s, data), 5, 6, 2),
              (std::vector<std::string>{layer('2'), none}));
    s.NzS = 0;
    data.LayerDz.assign(1, 10);
    data.LayerRho.assign(1, 100);
    EXPECT_EQ(MasksAsTheInversionCodeReads(CovarianceFlatText(s, data), 5, 6, 1),
              (std::vector<std::string>{layer('2')}));

    // Terrain without boundary masks: even x positions have their surface at depth -10, odd ones
    // at depth 20, so the bottom layer (centre 25) differs from the one above it (centre 15).
    s.CheckBox1 = false;
    data.LayerDz.assign(5, 10);
    data.LayerRho.assign(5, 100);
    std::vector<float> terrain(30);
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 5; ++i) terrain[j * 5 + i] = i % 2 == 0 ? 10 : -20;
    auto terrainLayer = [](char even, char odd) {
        std::string masks(30, ' ');
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 6; ++j) masks[(4 - i) * 6 + j] = i % 2 == 0 ? even : odd;
        return masks;
    };
    EXPECT_EQ(MasksAsTheInversionCodeReads(CovarianceTopoText(s, data, terrain), 5, 6, 5),
              (std::vector<std::string>{terrainLayer('0', '0'), terrainLayer('1', '0'),
                                        terrainLayer('1', '9'), terrainLayer('1', '9'),
                                        terrainLayer('1', '1')}));
}

TEST(ModelFiles, NumbersNeverTouch)
{
    ModelSettings s = TinySettings();
    s.MxRefEdit = "12345678901234";
    s.MyRefEdit = "-1234567890123";
    ModelData data = TinyModel();
    data.CellDx = {9841500, 29524500};
    StringList lines;
    lines.SetText(ModelFlatText(s, data));
    EXPECT_EQ(lines.Lines[2], " 9841500.0 29524500.0");
    EXPECT_EQ(lines.Lines[3], "      70.0      80.0");  // normal widths keep their bytes
    EXPECT_EQ(lines.Lines[11], " 12345678901234 -1234567890123            0");

    // The background model: a resistivity of 1e8 and a source centre far out.
    data.LayerRho = {1e8f, 10};
    TxData tx;
    tx.Bx = 1000;
    tx.Cx = 1e8f;
    tx.Cy = -1e7f;
    tx.Cz = 10;
    lines.SetText(BackgroundModelText({tx}, s, data));
    EXPECT_EQ(lines.Lines[2], "       10.00 100000000.00        1.00        1.00        1.00");
    EXPECT_EQ(lines.Lines[5], " 100000000.00 -10000000.00       10.00");

    // The covariance smoothing: a typed -0.50 fills its field.
    s.ComboBox1 = "-0.50";
    s.ComboBox2 = "10.5";
    s.ComboBox3 = "-0.25";
    lines.SetText(CovarianceFlatText(TinySettings(), data));
    EXPECT_EQ(lines.Lines[19], " 0.50 0.50");  // a normal value keeps its bytes
    lines.SetText(CovarianceFlatText(s, data));
    EXPECT_EQ(lines.Lines[19], " -0.50 -0.50");
    EXPECT_EQ(lines.Lines[21], " 10.50 10.50");
    EXPECT_EQ(lines.Lines[23], " -0.25");
}

// Three files whose names differ only after the first 240 bytes (80 Chinese characters) each get
// their own text: no two saves share a temporary.
TEST(ModelFiles, LongNamesKeepTheirOwnTexts)
{
    const std::string dir = testing::TempDir() + "longnames/";
    mkdir(dir.c_str(), 0755);
    std::string stem;
    for (int i = 0; i < 82; ++i) stem += "测";  // 246 bytes
    ModelSettings s = TinySettings();
    s.Edit3 = s.Edit4 = s.Edit7 = "0";
    ModelData data = TinyModel();
    data.Tag = 1;
    EXPECT_TRUE(WriteModelFileSet({}, s, data, dir + stem + ".imp").Saved());
    EXPECT_EQ(ReadBytes(dir + stem + ".m"), ModelFlatText(s, data));
    EXPECT_EQ(ReadBytes(dir + stem + ".cov"), CovarianceFlatText(s, data));
    EXPECT_EQ(ReadBytes(dir + stem + ".pri"), BackgroundModelText({}, s, data));
    int entries = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            entries += std::string(".") != e->d_name && std::string("..") != e->d_name;
        closedir(d);
    }
    EXPECT_EQ(entries, 3);
}

TEST(ModelFiles, WidthsThatAreNotPositiveAreRefused)
{
    const float bad[] = {0, -5, std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
    const std::string name = testing::TempDir() + "widths.m";
    std::remove(name.c_str());
    for (float w : bad)
        for (int list = 0; list < 3; ++list) {
            ModelData data = TinyModel();
            (list == 0 ? data.CellDx : list == 1 ? data.CellDy : data.LayerDz)[1] = w;
            EXPECT_FALSE(MeshWidthsUsable(data));
            try {
                WriteModelFileSet({}, TinySettings(), data, name);
                ADD_FAILURE() << "a width of " << w << " was written";
            } catch (const Exception& e) {
                EXPECT_STREQ(e.what(), kBadCellWidthMessage);
            }
        }
    EXPECT_FALSE(Exists(name));
    EXPECT_TRUE(MeshWidthsUsable(TinyModel()));
}

TEST(ModelFiles, TheThreeFilesAreReplacedTogether)
{
    const std::string dir = testing::TempDir() + "together/";
    mkdir(dir.c_str(), 0755);
    ModelSettings s = TinySettings();
    s.Edit3 = s.Edit4 = s.Edit7 = "0";
    ModelData data = TinyModel();
    data.Tag = 1;
    std::remove((dir + "x.cov").c_str());
    for (const char* ext : {".m", ".pri"}) std::ofstream(dir + "x" + ext) << "old";
    // A folder of the covariance file's name cannot be replaced by a file.
    mkdir((dir + "x.cov").c_str(), 0755);
    EXPECT_EQ(WriteModelFileSet({}, s, data, dir + "x.imp").Unwritten,
              std::vector<std::string>({dir + "x.cov"}));
    EXPECT_EQ(ReadBytes(dir + "x.m"), "old");
    EXPECT_EQ(ReadBytes(dir + "x.pri"), "old");
    rmdir((dir + "x.cov").c_str());

    // A source edit that is not a number stops everything before a file is touched.
    s.Edit7 = "z";
    EXPECT_THROW(WriteModelFileSet({}, s, data, dir + "x.imp"), EConvertError);
    EXPECT_EQ(ReadBytes(dir + "x.m"), "old");
    EXPECT_FALSE(Exists(dir + "x.cov"));

    s.Edit7 = "0";
    EXPECT_TRUE(WriteModelFileSet({}, s, data, dir + "x.imp").Saved());
    EXPECT_EQ(ReadBytes(dir + "x.m"), ModelFlatText(s, data));
    EXPECT_EQ(ReadBytes(dir + "x.cov"), CovarianceFlatText(s, data));
    EXPECT_EQ(ReadBytes(dir + "x.pri"), BackgroundModelText({}, s, data));
    // No temporary file stays behind.
    int entries = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) entries += e->d_name[0] != '.';
        closedir(d);
    }
    EXPECT_EQ(entries, 3);
}

// A name the folder cannot hold is found before the first file of the set is replaced: with a
// stem of 252 bytes the model file's name (254) fits, those of the covariance and background
// files (256) do not, and the old model file stays.
TEST(ModelFiles, ANameTooLongForTheFolderReplacesNoFileOfTheSet)
{
    const std::string dir = testing::TempDir() + "toolong/";
    mkdir(dir.c_str(), 0755);
    const std::string stem = dir + std::string(252, 'n');
    std::ofstream(stem + ".m") << "old";
    ModelSettings s = TinySettings();
    s.Edit3 = s.Edit4 = s.Edit7 = "0";
    ModelData data = TinyModel();
    data.Tag = 1;
    const FileSetOutcome outcome = WriteModelFileSet({}, s, data, stem + ".imp");
    EXPECT_EQ(outcome.Unwritten, std::vector<std::string>({stem + ".cov", stem + ".pri"}));
    EXPECT_EQ(outcome.Withheld, std::vector<std::string>({stem + ".m"}));
    EXPECT_TRUE(outcome.Replaced.empty());
    EXPECT_EQ(ReadBytes(stem + ".m"), "old");
    int entries = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) entries += e->d_name[0] != '.';
        closedir(d);
    }
    EXPECT_EQ(entries, 1);
    std::remove((stem + ".m").c_str());
}

TEST(ModelFiles, WriteModelFilesChoosesTheFormAndRefusesBadInput)
{
    std::string base = testing::TempDir() + "tiny.imp";
    ModelSettings s = TinySettings();
    ModelData data = TinyModel();
    WriteModelFiles(s, data, base);
    EXPECT_EQ(ReadBytes(testing::TempDir() + "tiny.m"), ModelFlatText(s, data));
    EXPECT_EQ(ReadBytes(testing::TempDir() + "tiny.cov"), CovarianceFlatText(s, data));

    data.TerrainX = {0};
    data.TerrainY = {0};
    data.TerrainZ = {-5};
    int calls = 0;
    WriteModelFiles(s, data, base, [&](size_t, size_t) { return ++calls > 0; });
    EXPECT_GT(calls, 0);
    const std::string topo = ModelTopoText(s, data, std::vector<float>(4, -5));
    EXPECT_EQ(ReadBytes(testing::TempDir() + "tiny.m"), topo);
    EXPECT_EQ(ReadBytes(testing::TempDir() + "tiny.cov"),
              CovarianceTopoText(s, data, std::vector<float>(4, -5)));
    // Stopped while the terrain is computed, the files stay as they were.
    data.TerrainZ = {-7};
    s.Edit3 = s.Edit4 = s.Edit7 = "0";
    std::remove((testing::TempDir() + "tiny.pri").c_str());
    EXPECT_THROW(WriteModelFileSet({}, s, data, base, [](size_t, size_t) { return false; }),
                 TerrainCancelled);
    EXPECT_EQ(ReadBytes(testing::TempDir() + "tiny.m"), topo);
    EXPECT_FALSE(Exists(testing::TempDir() + "tiny.pri"));
    data.TerrainZ = {-5};

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
    EXPECT_EQ(WriteModelFiles(TinySettings(), data, missing).Unwritten,
              std::vector<std::string>(
                  {testing::TempDir() + "none/x.m", testing::TempDir() + "none/x.cov"}));
    EXPECT_TRUE(WriteModelFiles(TinySettings(), data, base).Saved());
}

// The writers' progress ends once every text is written, just before the files replace the old
// ones: a stop at any of its reports, the last one too, leaves every file as it was.
TEST(ModelFiles, AStopBeforeTheCommitLeavesEveryFile)
{
    const std::string dir = testing::TempDir() + "stops/";
    mkdir(dir.c_str(), 0755);
    ModelSettings s = TinySettings();
    s.Edit3 = s.Edit4 = s.Edit7 = "0";
    // The names in the folder, temporaries apart, and how many temporaries there are.
    auto listing = [&dir](int* temporaries = nullptr) {
        std::vector<std::string> names;
        if (temporaries) *temporaries = 0;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string name = e->d_name;
                if (name == "." || name == "..") continue;
                if (name[0] == '.' && temporaries) ++*temporaries;
                if (name[0] != '.') names.push_back(name);
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    struct Form {
        const char* Name;
        bool Terrain;
    } forms[] = {{"flat", false}, {"terrain", true}};
    for (const Form& form : forms) {
        SCOPED_TRACE(form.Name);
        ModelData data = TinyModel();
        if (form.Terrain) {
            data.TerrainX = {0, 100, 200, 300, 120};
            data.TerrainY = {0, 50, -100, 30, -180};
            data.TerrainZ = {-5, 8, 12, -3, 4};
        }
        for (const char* ext : {".m", ".cov", ".pri"}) std::ofstream(dir + "x" + ext) << "old";
        // The reports of a whole run; at the last one the three texts lie whole in their
        // temporaries and no file is replaced yet.
        std::vector<std::pair<size_t, size_t>> reports;
        int temporariesAtLast = 0;
        std::vector<std::string> namesAtLast;
        std::string modelAtLast;
        ASSERT_TRUE(WriteModelFileSet({}, s, data, dir + "x.imp", [&](size_t done, size_t total) {
                        reports.emplace_back(done, total);
                        namesAtLast = listing(&temporariesAtLast);
                        modelAtLast = ReadBytes(dir + "x.m");
                        return true;
                    }).Saved());
        if (reports.empty()) {
            ADD_FAILURE() << "no report";
            continue;
        }
        EXPECT_GT(reports.back().second, 0u);
        EXPECT_EQ(reports.back().first, reports.back().second);
        // The texts report as their layers are written: the flat form once a layer of each of
        // the two, then the last report.
        if (!form.Terrain) {
            EXPECT_EQ(reports.size(), 2 * data.LayerDz.size() + 1);
        }
        for (size_t i = 1; i < reports.size(); ++i)
            EXPECT_GE(reports[i].first, reports[i - 1].first);
        EXPECT_EQ(temporariesAtLast, 3);
        EXPECT_EQ(modelAtLast, "old");
        EXPECT_EQ(namesAtLast, std::vector<std::string>({"x.cov", "x.m", "x.pri"}));
        const std::string model = ReadBytes(dir + "x.m");
        EXPECT_NE(model, "old");

        for (size_t stopAt = 0; stopAt < reports.size(); ++stopAt) {
            for (const char* ext : {".m", ".cov", ".pri"}) std::ofstream(dir + "x" + ext) << "old";
            size_t call = 0;
            EXPECT_THROW(WriteModelFileSet({}, s, data, dir + "x.imp",
                                           [&](size_t, size_t) { return call++ < stopAt; }),
                         TerrainCancelled)
                << stopAt;
            int temporaries = -1;
            EXPECT_EQ(listing(&temporaries), std::vector<std::string>({"x.cov", "x.m", "x.pri"}));
            EXPECT_EQ(temporaries, 0);
            for (const char* ext : {".m", ".cov", ".pri"})
                EXPECT_EQ(ReadBytes(dir + "x" + ext), "old") << stopAt << ext;
        }
        // The single files of the terrain form end the same way, at their last report too.
        if (!form.Terrain) continue;
        for (auto writer : {&WriteModelTopo, &WriteCovarianceTopo}) {
            size_t calls = 0;
            EXPECT_THROW(writer(s, data, dir + "x.imp",
                                [&](size_t done, size_t total) {
                                    ++calls;
                                    return total == 0 || done < total;
                                }),
                         TerrainCancelled);
            EXPECT_GT(calls, 1u);
            EXPECT_EQ(ReadBytes(dir + "x.m"), "old");
            EXPECT_EQ(ReadBytes(dir + "x.cov"), "old");
        }
    }
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
    lines.SetText(ReadBytes(name + ".pri"));
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
        ReadBytes(testing::TempDir() + "area.bln"),
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
