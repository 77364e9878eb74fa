#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Exception.h"
#include "base/SafeFile.h"
#include "base/TextStream.h"
#include "geometry/PositionFile.h"
#include "tests/support/HugeFile.h"
#include "tests/support/TempFiles.h"

namespace {

PositionGrid Grid(std::vector<GridRow> dataRows)
{
    PositionGrid grid;
    grid.Rows.push_back(PositionGridHeader());
    for (GridRow& row : dataRows) grid.Rows.push_back(row);
    return grid;
}

PositionGrid Read(const std::string& text)
{
    PositionGrid grid = Grid({{"1", "old", "old", "old", "old"}});
    ReadPositionText(text, grid);
    return grid;
}

}  // namespace

TEST(PositionFile, SaveWritesTheCellsAsTheyStand)
{
    PositionGrid grid = Grid({{"1", "100.00", "5", "-2.5", "A1"}, {"2", "", "x", "7", ""}});
    EXPECT_EQ(PositionFileText(grid), "SN   x      y      z\r\nA1 100.00 5 -2.5 \r\n  x 7 \r\n");
    EXPECT_EQ(PositionFileText(Grid({})), "SN   x      y      z\r\n");
}

TEST(PositionFile, SavedFileLoadsBackTheSameRows)
{
    PositionGrid grid = Grid({{"1", "100.00", "5", "-2.5", "A1"},
                              {"2", "0.100000001490116", "1E20", ".5", "1002"},
                              {"3", "1", "2", "3", "\xB2\xE2"}});
    std::string path = TempPath("roundtrip.pos", "quillane_pos_");
    ASSERT_TRUE(SavePositionFile(grid, path));
    PositionGrid loaded;
    ASSERT_TRUE(LoadPositionFile(path, loaded));
    EXPECT_EQ(loaded.Rows, grid.Rows);
    std::remove(path.c_str());
}

TEST(PositionFile, SaveFailureIsReportedAndKeepsTheOldFile)
{
    EXPECT_FALSE(SavePositionFile(Grid({}), TempPath("no_such_dir", "quillane_pos_") + "/a.pos"));
    std::string path = TempPath("readonly.pos", "quillane_pos_");
    WriteFileReplacing(path, "precious\r\n");
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(SavePositionFile(Grid({}), path));
    std::string bytes;
    ReadFileBytes(path, bytes);
    EXPECT_EQ(bytes, "precious\r\n");
    chmod(path.c_str(), 0644);
    std::remove(path.c_str());
    EXPECT_STREQ(kPositionSaveFailedMessage, "文件保存失败！");
}

TEST(PositionFile, SaveNameGetsThePosExtension)
{
    struct Case {
        const char* chosen;
        const char* saved;
    };
    const Case cases[] = {{"/d/line1", "/d/line1.pos"},
                          {"/d/line1.txt", "/d/line1.pos"},
                          {"/d/line1.pos", "/d/line1.pos"},
                          {"/d.x/line1", "/d.x/line1.pos"},
                          {"a.b.c", "a.b.pos"},
                          {"line.", "line.pos"}};
    for (const Case& c : cases) EXPECT_EQ(PositionFileName(c.chosen), c.saved);
}

TEST(PositionFile, LoadTakesPointLinesOnly)
{
    PositionGrid grid = Read(
        " STN     X    Y    Z\r\n"
        "SN   x      y      z\n"
        "\n"
        "101 50.0 .0 2.5\r\n"
        "A1,100,200,5,extra\n"
        "text line here\n"
        " 100 5 7 \n"  // an empty label: three fields only
        "B 1 2 x\n"
        "\"C\";1e3:-4\t.5\n"
        "last 1 2 3");
    ASSERT_EQ(grid.LastRow(), 4);
    EXPECT_EQ(grid.Rows[0], PositionGridHeader());
    EXPECT_EQ(grid.Rows[1], (GridRow{"1", "50.0", ".0", "2.5", "101"}));
    EXPECT_EQ(grid.Rows[2], (GridRow{"2", "100", "200", "5", "A1"}));
    EXPECT_EQ(grid.Rows[3], (GridRow{"3", "1e3", "-4", ".5", "C"}));
    EXPECT_EQ(grid.Rows[4], (GridRow{"4", "1", "2", "3", "last"}));

    EXPECT_EQ(Read("header only\r\n").LastRow(), 0);
    EXPECT_EQ(Read("").LastRow(), 0);
}

TEST(PositionFile, LoadStopsAtFiveThousandPoints)
{
    std::string text;
    for (int i = 1; i <= 6000; ++i) text += "P" + std::to_string(i) + " 1 2 3\r\n";
    PositionGrid grid = Read(text);
    ASSERT_EQ(grid.LastRow(), kMaxPositionPoints);
    EXPECT_EQ(grid.Cell(kLabelColumn, 5000), "P5000");
    EXPECT_EQ(grid.Cell(kNumberColumn, 5000), "5000");
}

TEST(PositionFile, LoadOfAMissingFileLeavesTheGrid)
{
    PositionGrid grid = Grid({{"1", "1", "2", "3", "A"}});
    PositionGrid before = grid;
    EXPECT_FALSE(LoadPositionFile(TempPath("missing.pos", "quillane_pos_"), grid));
    EXPECT_EQ(grid.Rows, before.Rows);
}

TEST(PositionFile, FileTooLargeToLoadIsNamedAndLeavesTheGrid)
{
    SKIP_WITHOUT_HUGE_ALLOCATIONS();
    const std::string path = TempPath("huge.pos", "quillane_pos_");
    if (!MakeHugeFile(path)) GTEST_SKIP() << "no sparse file of 8 TiB here";
    PositionGrid grid = Grid({{"1", "1", "2", "3", "A"}});
    PositionGrid before = grid;
    try {
        LoadPositionFile(path, grid);
        ADD_FAILURE() << "loaded";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(std::string(e.what()), "File " + path + " is too large to load");
    }
    EXPECT_EQ(grid.Rows, before.Rows);
    std::remove(path.c_str());
}
