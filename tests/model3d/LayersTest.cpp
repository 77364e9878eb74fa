#include <fstream>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "model3d/Layers.h"
#include "model3d/ModelFiles.h"
#include "tests/support/HugeFile.h"

namespace {

ModelData ThreeLayers()
{
    ModelData data;
    data.LayerDz = {10, 20, 40};
    data.LayerRho = {100, 100, 100};
    return data;
}

}  // namespace

TEST(Layers, GridShowsWholeNumbersButKeepsTheValues)
{
    ModelData data;
    data.LayerDz = {16.5f, 30};
    data.LayerRho = {120.7f, 50};
    std::vector<LayerGridRow> rows = FillLayerGrid(data);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Number, "1");
    EXPECT_EQ(rows[0].Rho, "120");
    EXPECT_EQ(rows[0].Dz, "16");
    rows[1].Rho = "75.5";
    ReadLayerGrid(rows, data);
    EXPECT_EQ(data.LayerDz[0], 16.5f);
    EXPECT_EQ(data.LayerRho[0], 120.7f);
    EXPECT_EQ(data.LayerRho[1], 75.5f);

    // A bad cell is one error and changes nothing.
    rows[0].Dz = "12";
    rows[1].Dz = "3O";
    EXPECT_THROW(ReadLayerGrid(rows, data), EConvertError);
    EXPECT_EQ(data.LayerDz[0], 16.5f);

    // Key release: an unchanged cell keeps its decimals, an edited one takes the text.
    SetLayerFromCell(data, 1, 2, "16");
    EXPECT_EQ(data.LayerDz[0], 16.5f);
    SetLayerFromCell(data, 1, 2, "17");
    EXPECT_EQ(data.LayerDz[0], 17);
    SetLayerFromCell(data, 1, 1, "200");
    EXPECT_EQ(data.LayerRho[0], 200);
    SetLayerFromCell(data, 3, 1, "1");  // a row without a layer
    EXPECT_EQ(data.LayerRho.size(), 2u);
    EXPECT_THROW(SetLayerFromCell(data, 1, 1, "abc"), EConvertError);
}

TEST(Layers, RowsInsertDeleteAndContinue)
{
    ModelData data;
    data.LayerDz = {1, 2, 3, 4};
    data.LayerRho = {10, 80, 100, 5};
    std::vector<LayerGridRow> rows = FillLayerGrid(data);
    InsertLayerRow(rows, 2);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].Rho, rows[2].Rho);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(rows[k].Number, std::to_string(k + 1));
    DeleteLayerRow(rows, 1);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Rho, "80");
    EXPECT_EQ(rows[3].Number, "4");

    rows = FillLayerGrid(data);
    EXPECT_TRUE(ContinueColumn(rows, 3, 1));  // rows 2 and 3 hold 80 and 100
    EXPECT_EQ(rows[3].Rho, "120.0");
    EXPECT_FALSE(ContinueColumn(rows, 1, 1));
    EXPECT_FALSE(ContinueColumn(rows, 4, 1));
    ReadLayerGrid(rows, data);
    EXPECT_EQ(data.LayerRho[3], 120);
}

TEST(Layers, BottomDepthAndProfile)
{
    ModelData data = ThreeLayers();
    EXPECT_EQ(LayerBottomText(data, 2), "当前层底界面深度为30m");
    EXPECT_EQ(LayerBottomText(data, 9), "当前层底界面深度为70m");
    data.LayerRho = {1, 2, 3};
    std::vector<LayerProfilePoint> profile = LayerProfile(data, 1);
    ASSERT_EQ(profile.size(), 1u);
    EXPECT_EQ(profile[0].Rho, 1);
    EXPECT_EQ(profile[0].Depth, 0);
    data.LayerDz.push_back(5);
    data.LayerRho.push_back(4);
    profile = LayerProfile(data, 1);
    ASSERT_EQ(profile.size(), 2u);
    EXPECT_EQ(profile[1].Depth, 10);
    EXPECT_TRUE(LayerProfile(data, 3).empty());
}

TEST(Layers, PicksInterpolateFromTheSecondOn)
{
    ModelData data;
    data.LayerDz.assign(10, 100);  // centres at 50, 150, ..., 950
    data.LayerRho.assign(10, 100);
    AddLayerPick(data, 500, 1000);
    EXPECT_EQ(data.LayerRho[2], 100);
    AddLayerPick(data, 100, 10);
    // Centres 150 to 450 lie between the picks: 10 + (c - 100) / 400 * 990.
    EXPECT_FLOAT_EQ(data.LayerRho[1], 133.75f);
    EXPECT_FLOAT_EQ(data.LayerRho[4], 876.25f);
    EXPECT_EQ(data.LayerRho[0], 100);
    EXPECT_EQ(data.LayerRho[5], 100);
    AddLayerPick(data, 300, 100);
    EXPECT_FLOAT_EQ(data.LayerRho[1], 32.5f);   // 10 + 50 / 200 * 90
    EXPECT_FLOAT_EQ(data.LayerRho[3], 325.0f);  // 100 + 50 / 200 * 900
    EXPECT_EQ(data.PickDepth, (std::vector<double>{100, 300, 500}));
    EXPECT_EQ(data.PickRho, (std::vector<double>{10, 100, 1000}));

    // Picks are not limited in number.
    for (int i = 0; i < 250; ++i) AddLayerPick(data, 120 + i, 50);
    EXPECT_EQ(data.PickDepth.size(), 253u);
    ClearLayerPicks(data);
    EXPECT_TRUE(data.PickDepth.empty());
    EXPECT_TRUE(data.PickRho.empty());

    // The last layer never changes.
    AddLayerPick(data, 0, 7);
    AddLayerPick(data, 2000, 7);
    EXPECT_EQ(data.LayerRho[8], 7);
    EXPECT_EQ(data.LayerRho[9], 100);
}

TEST(Layers, ShiftPressSetsTheLayerAtTheDepth)
{
    ModelData data = ThreeLayers();
    SetLayerAtDepth(data, 15, 555);
    EXPECT_EQ(data.LayerRho, (std::vector<float>{100, 555, 100}));
    SetLayerAtDepth(data, 50, 1);  // the last layer stays
    EXPECT_EQ(data.LayerRho[2], 100);
}

TEST(Layers, BackgroundModelReadsBack)
{
    ModelData data;
    data.LayerDz = {12.5f, 2e6f};
    data.LayerRho = {150.25f, 30};
    data.Tag = 1000;
    ModelSettings s;
    s.Edit3 = s.Edit4 = s.Edit7 = "0";
    std::string path = testing::TempDir() + "layers";
    ASSERT_TRUE(WriteBackgroundModel({}, s, data, path));
    ModelData loaded = ThreeLayers();
    ASSERT_TRUE(ReadBackgroundModel(path + ".pri", loaded));
    EXPECT_EQ(loaded.LayerDz, (std::vector<float>{12.5f, 1e6f}));
    EXPECT_EQ(loaded.LayerRho, (std::vector<float>{150.25f, 30}));

    struct Case {
        const char* text;
    } bad[] = {{""},
               {"title\r\n"},
               {"title\r\n0\r\n"},
               {"title\r\n2\r\n10 100 1 1 1\r\n"},
               {"title\r\n1\r\n10 x\r\n"},
               {"title\r\n1\r\n-10 100\r\n"},
               {"title\r\n1\r\n10 1e-51\r\n"}};
    for (const Case& c : bad) {
        std::string name = testing::TempDir() + "bad.pri";
        std::ofstream(name, std::ios::binary) << c.text;
        ModelData kept = ThreeLayers();
        EXPECT_FALSE(ReadBackgroundModel(name, kept)) << c.text;
        EXPECT_EQ(kept.LayerDz, ThreeLayers().LayerDz);
    }
    EXPECT_FALSE(ReadBackgroundModel(testing::TempDir() + "none/none.pri", loaded));
}

TEST(BackgroundModel, FileTooLargeToLoadIsNamedAndLeavesTheLayers)
{
    SKIP_WITHOUT_HUGE_ALLOCATIONS();
    const std::string path = testing::TempDir() + "huge.pri";
    if (!MakeHugeFile(path)) GTEST_SKIP() << "no sparse file of 8 TiB here";
    ModelData kept = ThreeLayers();
    try {
        ReadBackgroundModel(path, kept);
        ADD_FAILURE() << "loaded";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(std::string(e.what()), "File " + path + " is too large to load");
    }
    EXPECT_EQ(kept.LayerDz, ThreeLayers().LayerDz);
    std::remove(path.c_str());
}
