#include <gtest/gtest.h>

#include "base/Exception.h"
#include "geometry/GridCommands.h"

namespace {

// A grid of n data rows with the given x texts (and y, z, label from their own lists when given).
PositionGrid Grid(const std::vector<std::string>& xs, const std::vector<std::string>& ys = {},
                  size_t rows = 0)
{
    PositionGrid grid;
    grid.Rows.push_back(PositionGridHeader());
    size_t n = std::max(rows, xs.size());
    for (size_t i = 0; i < n; ++i) {
        GridRow row{std::to_string(i + 1), i < xs.size() ? xs[i] : "", i < ys.size() ? ys[i] : "",
                    "0", "L" + std::to_string(i + 1)};
        grid.Rows.push_back(row);
    }
    return grid;
}

std::vector<std::string> Column(const PositionGrid& grid, int column)
{
    std::vector<std::string> texts;
    for (int r = 1; r <= grid.LastRow(); ++r) texts.push_back(grid.Cell(column, r));
    return texts;
}

using Texts = std::vector<std::string>;

GridMarks Marks(int start, int end)
{
    GridMarks m;
    m.TransformStart = start;
    m.TransformEnd = end;
    return m;
}

}  // namespace

TEST(GridCommands, LinearTransformOfTheMarkedRows)
{
    PositionGrid grid = Grid({"9", "1", "2", "3", "9"});
    TransformMarkedRows(grid, Marks(2, 4), kXColumn, "2", "10", true);
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"9", "12.0", "14.0", "16.0", "9"}));

    grid = Grid({"9", "1", "2", "3", "9"});
    TransformMarkedRows(grid, Marks(2, 4), kXColumn, "10", "0", false);
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"9", "20.0", "30.0", "40.0", "9"}));

    TransformMarkedRows(grid, Marks(4, 9), kLabelColumn, "10", "0", false);
    EXPECT_EQ(Column(grid, kLabelColumn), (Texts{"L1", "L2", "L3", "40.0", "50.0"}));

    // A bad marked cell or coefficient leaves every cell as it was.
    grid = Grid({"1", "2", "x", "4"});
    EXPECT_THROW(TransformMarkedRows(grid, Marks(1, 4), kXColumn, "2", "0", true), EConvertError);
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"1", "2", "x", "4"}));
    EXPECT_THROW(TransformMarkedRows(grid, Marks(1, 2), kXColumn, "a", "0", false), EConvertError);
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"1", "2", "x", "4"}));
}

TEST(GridCommands, SwapColumns)
{
    PositionGrid grid = Grid({"1", "2"}, {"a", "b"});
    SwapGridColumns(grid, kXColumn, kYColumn);
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"a", "b"}));
    EXPECT_EQ(Column(grid, kYColumn), (Texts{"1", "2"}));
    SwapGridColumns(grid, kYColumn, kZColumn);
    EXPECT_EQ(Column(grid, kYColumn), (Texts{"0", "0"}));
    EXPECT_EQ(Column(grid, kZColumn), (Texts{"1", "2"}));
}

TEST(GridCommands, ChainageAlongABentLine)
{
    struct Case {
        Texts xs, ys, chainage;
    };
    const Case cases[] = {
        {{"0", "3", "3", "6"}, {"0", "4", "4", "8"}, {"0", "5.0", "5.0", "10.0"}},
        {{"0", "0.3"}, {"0", "0.4"}, {"0", ".5"}},
        // A right-angle bend: 30 m east, then 40 m north, then back 30 m west.
        {{"100", "130", "130", "100"},
         {"200", "200", "240", "240"},
         {"0", "30.0", "70.0", "100.0"}},
        {{"5", "5"}, {"5", "5"}, {"0", ".0"}},
        {{"7"}, {"8"}, {"0"}},
    };
    for (const Case& c : cases) {
        PositionGrid grid = Grid(c.xs, c.ys);
        ComputeChainage(grid);
        EXPECT_EQ(Column(grid, kXColumn), c.chainage);
        EXPECT_EQ(Column(grid, kYColumn), Texts(c.xs.size(), "0"));
        EXPECT_EQ(Column(grid, kZColumn), Texts(c.xs.size(), "0"));
        EXPECT_EQ(grid.Cell(kLabelColumn, 1), "L1");
    }

    PositionGrid bad = Grid({"0", "3", "3"}, {"0", "4", "?"});
    EXPECT_THROW(ComputeChainage(bad), EConvertError);
    EXPECT_EQ(Column(bad, kXColumn), (Texts{"0", "3", "3"}));

    PositionGrid empty = Grid({});
    ComputeChainage(empty);
    EXPECT_EQ(empty.LastRow(), 0);
}

TEST(GridCommands, PasteOneTwoOrThreeColumns)
{
    auto numbers = [](int n) {
        std::string text;
        for (int i = 1; i <= n; ++i) text += std::to_string(i) + (i % 2 ? "\t" : "\r\n");
        return text;
    };
    struct Case {
        int count;
        Texts x, y, z;
    };
    const Texts none{"", "", "", "", ""};
    const Texts zeros{"0", "0", "0", "0", "0"};
    const Case cases[] = {
        {5, {"1", "2", "3", "4", "5"}, none, zeros},
        {10, {"1", "3", "5", "7", "9"}, {"2", "4", "6", "8", "10"}, zeros},
        {15, {"1", "4", "7", "10", "13"}, {"2", "5", "8", "11", "14"}, {"3", "6", "9", "12", "15"}},
        {20, {"1", "4", "7", "10", "13"}, {"2", "5", "8", "11", "14"}, {"3", "6", "9", "12", "15"}},
        {30, {"1", "2", "3", "4", "5"}, none, zeros},
        {4, {"1", "2", "3", "4", ""}, none, zeros},
    };
    for (const Case& c : cases) {
        PositionGrid grid = Grid({}, {}, 5);
        PasteColumns(grid, kXColumn, 1, numbers(c.count));
        EXPECT_EQ(Column(grid, kXColumn), c.x) << c.count;
        EXPECT_EQ(Column(grid, kYColumn), c.y) << c.count;
        EXPECT_EQ(Column(grid, kZColumn), c.z) << c.count;
    }

    // From row 4 of the z column: two columns reach the label and stop at the last row.
    PositionGrid grid = Grid({}, {}, 5);
    PasteColumns(grid, kZColumn, 4, "a b c d e f g h i j");
    EXPECT_EQ(Column(grid, kZColumn), (Texts{"0", "0", "0", "a", "c"}));
    EXPECT_EQ(Column(grid, kLabelColumn), (Texts{"L1", "L2", "L3", "b", "d"}));
    // Three columns from the label column: only the label is written.
    grid = Grid({}, {}, 2);
    PasteColumns(grid, kLabelColumn, 1, "a b c d e f");
    EXPECT_EQ(Column(grid, kLabelColumn), (Texts{"a", "d"}));

    // Separators of the field routine; quoted, comma and semicolon lists.
    grid = Grid({}, {}, 2);
    PasteColumns(grid, kXColumn, 1, "\"1\",2;3:4");
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"1", "3"}));
    EXPECT_EQ(Column(grid, kYColumn), (Texts{"2", "4"}));

    grid = Grid({"keep"}, {}, 1);
    PasteColumns(grid, kXColumn, 1, " \r\n\t");
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"keep"}));
    PositionGrid empty = Grid({});
    PasteColumns(empty, kXColumn, 1, "1 2 3");
    EXPECT_EQ(empty.LastRow(), 0);
}

TEST(GridCommands, PasteOfTwoLongColumns)
{
    // 1500 rows of x and y: the width follows from all 3000 numbers.
    const int rows = 1500;
    std::string text;
    for (int i = 0; i < rows; ++i) text += std::to_string(i) + "\t" + std::to_string(-i) + "\r\n";
    PositionGrid grid = Grid({}, {}, rows);
    PasteColumns(grid, kXColumn, 1, text);
    EXPECT_EQ(grid.Cell(kXColumn, rows), std::to_string(rows - 1));
    EXPECT_EQ(grid.Cell(kYColumn, rows), std::to_string(1 - rows));
    EXPECT_EQ(SplitClipboardText(text).size(), 2u * rows);
}

TEST(GridCommands, BlockCopyRepeatsTheMarkedBlock)
{
    PositionGrid grid = Grid({"0", "50", "100"}, {}, 10);
    GridMarks marks = Marks(1, 3);
    CopyMarkedBlock(grid, marks, kXColumn);
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"0", "50", "100", "0", "50", "100", "", "", "", ""}));
    CopyMarkedBlock(grid, marks, kXColumn);
    CopyMarkedBlock(grid, marks, kXColumn);  // only row 10 is left for the third block
    EXPECT_EQ(Column(grid, kXColumn),
              (Texts{"0", "50", "100", "0", "50", "100", "0", "50", "100", "0"}));
    CopyMarkedBlock(grid, marks, kXColumn);
    EXPECT_EQ(marks.CopyCount, 4);

    SetTransformEnd(marks, 2);
    grid.Cell(kXColumn, 3) = "x";
    CopyMarkedBlock(grid, marks, kXColumn);
    EXPECT_EQ(Column(grid, kXColumn),
              (Texts{"0", "50", "0", "50", "50", "100", "0", "50", "100", "0"}));
}

TEST(GridCommands, ContinueSequence)
{
    PositionGrid grid = Grid({"0", "50"}, {}, 5);
    for (int row = 2; row <= 4; ++row) EXPECT_TRUE(ContinueSequence(grid, kXColumn, row));
    EXPECT_EQ(Column(grid, kXColumn), (Texts{"0", "50", "100.0", "150.0", "200.0"}));
    EXPECT_FALSE(ContinueSequence(grid, kXColumn, 5));
    EXPECT_FALSE(ContinueSequence(grid, kXColumn, 1));
    EXPECT_THROW(ContinueSequence(grid, kYColumn, 2), EConvertError);
}

TEST(GridCommands, FillAPointFromItsNeighbours)
{
    struct Case {
        Texts xs, ys;
        int row;
        Texts xAfter, yAfter;
    };
    const Case cases[] = {
        {{"0", "100", "", "200"},
         {"0", "7", "", "7"},
         3,
         {"0", "100", "150.0", "200"},
         {"0", "7", "7.0", "7"}},
        {{"", "10", "30"}, {"", "1", "1"}, 1, {"-10.0", "10", "30"}, {"1.0", "1", "1"}},
        {{"0", "10", ""}, {"5", "5", ""}, 3, {"0", "10", "20.0"}, {"5", "5", "5.0"}},
        {{"", "10"}, {"", "1"}, 1, {"", "10"}, {"", "1"}},
        {{"4", ""}, {"1", ""}, 2, {"4", ""}, {"1", ""}},
        {{""}, {""}, 1, {""}, {""}},
    };
    for (const Case& c : cases) {
        PositionGrid grid = Grid(c.xs, c.ys);
        FillPointFromNeighbours(grid, c.row);
        EXPECT_EQ(Column(grid, kXColumn), c.xAfter) << c.row;
        EXPECT_EQ(Column(grid, kYColumn), c.yAfter) << c.row;
    }
    PositionGrid grid = Grid({"0", "", "10"}, {"0", "", "z"});
    EXPECT_THROW(FillPointFromNeighbours(grid, 2), EConvertError);
    EXPECT_EQ(grid.Cell(kXColumn, 2), "");
}

TEST(GridCommands, AddLineNumberLeftOrRight)
{
    PositionGrid grid = Grid({"1", "2"});
    grid.Cell(kLabelColumn, 1) = "12";
    AddLineNumber(grid, "3-", true);
    EXPECT_EQ(Column(grid, kLabelColumn), (Texts{"3-12", "3-L2"}));
    AddLineNumber(grid, "3-", false);
    EXPECT_EQ(Column(grid, kLabelColumn), (Texts{"3-123-", "3-L23-"}));
}
