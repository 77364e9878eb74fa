#include <gtest/gtest.h>

#include "base/Exception.h"
#include "geometry/StationGrid.h"

namespace {

TStation Station(const std::string& name, float x, float y, float z)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    s.Info.Z = z;
    return s;
}

PositionGrid Grid(std::vector<GridRow> dataRows)
{
    PositionGrid grid;
    grid.Rows.push_back(PositionGridHeader());
    for (GridRow& row : dataRows) grid.Rows.push_back(row);
    return grid;
}

}  // namespace

TEST(PositionGrid, FilledFromTheExStations)
{
    SurveyStore store;
    store.ExStations = {Station("1001", 0.1f, 2500, -3.5f), Station("1002", 50, 0, 12)};
    store.HyStations = {Station("H", 7, 7, 7)};
    PositionGrid grid = MakePositionGrid(store);
    ASSERT_EQ(grid.Rows.size(), 3u);
    EXPECT_EQ(grid.Rows[0], (GridRow{"#", "x", "y", "高程z", "编号"}));
    EXPECT_EQ(grid.Rows[1], (GridRow{"1", "0.100000001490116", "2500", "-3.5", "1001"}));
    EXPECT_EQ(grid.Rows[2], (GridRow{"2", "50", "0", "12", "1002"}));

    EXPECT_EQ(MakePositionGrid(SurveyStore{}).LastRow(), 0);
}

TEST(PositionGrid, UneditedRowsWriteBackTheStoredValues)
{
    SurveyStore store;
    store.ExStations = {Station("A", 0.1f, 1234567.9f, 3.3333333f), Station("B", -0.000123f, 0, 1)};
    SurveyStore before = store;
    ApplyPositionGrid(store, MakePositionGrid(store));
    for (size_t i = 0; i < store.ExStations.size(); ++i) {
        EXPECT_EQ(store.ExStations[i].Info.X, before.ExStations[i].Info.X);
        EXPECT_EQ(store.ExStations[i].Info.Y, before.ExStations[i].Info.Y);
        EXPECT_EQ(store.ExStations[i].Info.Z, before.ExStations[i].Info.Z);
    }
}

TEST(PositionGrid, WriteBackMatchesStationsByExactName)
{
    SurveyStore store;
    store.ExStations = {Station("12", 1, 1, 1), Station("13", 2, 2, 2), Station("14", 3, 3, 3),
                        Station("12", 4, 4, 4)};
    store.HyStations = {Station("13", 9, 9, 9), Station("99", 5, 5, 5)};
    PositionGrid grid = Grid({
        {"1", "100", "200", "10", "12"},
        {"2", "300", "400", "20", "13"},
        {"3", "500", "600", "30", "13"},   // a second row of 13 is ignored
        {"4", "700", "800", "40", "14 "},  // a trailing blank matches nothing
    });
    ApplyPositionGrid(store, grid);
    auto at = [](const TStation& s) { return std::vector<float>{s.Info.X, s.Info.Y, s.Info.Z}; };
    EXPECT_EQ(at(store.ExStations[0]), (std::vector<float>{100, 200, 10}));
    EXPECT_EQ(at(store.ExStations[1]), (std::vector<float>{300, 400, 20}));
    EXPECT_EQ(at(store.ExStations[2]), (std::vector<float>{3, 3, 3}));
    EXPECT_EQ(at(store.ExStations[3]), (std::vector<float>{100, 200, 10}));
    EXPECT_EQ(at(store.HyStations[0]), (std::vector<float>{300, 400, 20}));
    EXPECT_EQ(at(store.HyStations[1]), (std::vector<float>{5, 5, 5}));
}

// Position files label the stations "150", "1000" where the data files name them "150.0",
// "1000.0".
TEST(PositionGrid, WriteBackMatchesDecimalLabelsOfEqualValue)
{
    SurveyStore store;
    store.ExStations = {Station("150.0", 1, 1, 1), Station("200.0", 2, 2, 2),
                        Station("250.0", 3, 3, 3), Station("150a", 4, 4, 4),
                        Station("300.0", 5, 5, 5), Station("-50.0", 6, 6, 6)};
    store.HyStations = {Station("150.0", 9, 9, 9), Station("250", 8, 8, 8)};
    PositionGrid grid = Grid({
        {"1", "100", "110", "10", "150"},
        {"2", "200", "210", "20", "200.00"},
        {"3", "300", "310", "30", "250"},
        {"4", "400", "410", "40", "250.0"},  // the exact name goes before an earlier equal value
        {"5", "500", "510", "50", "150"},    // a second row of 150 is ignored
        {"6", "600", "610", "60", "150a "},  // no number and not the same text
        {"7", "700", "710", "70", "300a"},
        {"8", "800", "810", "80", "-50"},
    });
    ApplyPositionGrid(store, grid);
    auto at = [](const TStation& s) { return std::vector<float>{s.Info.X, s.Info.Y, s.Info.Z}; };
    EXPECT_EQ(at(store.ExStations[0]), (std::vector<float>{100, 110, 10}));
    EXPECT_EQ(at(store.ExStations[1]), (std::vector<float>{200, 210, 20}));
    EXPECT_EQ(at(store.ExStations[2]), (std::vector<float>{400, 410, 40}));
    EXPECT_EQ(at(store.ExStations[3]), (std::vector<float>{4, 4, 4}));
    EXPECT_EQ(at(store.ExStations[4]), (std::vector<float>{5, 5, 5}));
    EXPECT_EQ(at(store.ExStations[5]), (std::vector<float>{800, 810, 80}));
    EXPECT_EQ(at(store.HyStations[0]), (std::vector<float>{100, 110, 10}));
    EXPECT_EQ(at(store.HyStations[1]), (std::vector<float>{300, 310, 30}));
}

TEST(PositionGrid, WhetherTheGridNamesAnyStation)
{
    SurveyStore store;
    store.ExStations = {Station("1000.0", 1, 1, 1), Station("1040.0", 2, 2, 2)};
    store.HyStations = {Station("H1", 3, 3, 3)};
    struct Case {
        std::vector<const char*> labels;
        bool names;
    };
    const Case cases[] = {
        {{"1000.0"}, true},
        {{"14-1000", "1040"}, true},
        {{"H1"}, true},  // a Hy station is a station too
        {{"14-1000", "14-1040"}, false},
        {{"1000a", "h1", "1000 "}, false},
        {{}, false},  // a loaded file without a point
    };
    for (const Case& c : cases) {
        std::vector<GridRow> rows;
        for (const char* label : c.labels)
            rows.push_back({std::to_string(rows.size() + 1), "1", "2", "3", label});
        EXPECT_EQ(PositionGridNamesAnyStation(store, Grid(rows)), c.names) << c.labels.size();
    }
    EXPECT_FALSE(PositionGridNamesAnyStation(SurveyStore{}, MakePositionGrid(store)));
    EXPECT_TRUE(PositionGridNamesAnyStation(store, MakePositionGrid(store)));
}

TEST(PositionGrid, ABadCellIsFoundBeforeAnyStationChanges)
{
    struct Case {
        const char* x;
        const char* y;
        const char* z;
        int badRow;
    };
    const Case cases[] = {
        {"1", "2", "3", 0},        {"x", "2", "3", 2},    {"1", "", "3", 2},
        {"1", "2", "abc", 2},      {"1", "2", "1e39", 2}, {"1", "2", " 5 ", 0},
        {"1.5e3", "-.5", "7.", 0},
    };
    for (const Case& c : cases) {
        SurveyStore store;
        store.ExStations = {Station("A", 1, 1, 1), Station("B", 2, 2, 2), Station("C", 3, 3, 3)};
        PositionGrid grid = Grid({{"1", "10", "10", "10", "A"},
                                  {"2", c.x, c.y, c.z, "B"},
                                  {"3", "30", "30", "bad", "C"}});
        grid.Cell(kZColumn, 3) = "30";
        EXPECT_EQ(FindBadPositionRow(grid), c.badRow) << c.x << " " << c.y << " " << c.z;
        if (c.badRow == 0) continue;
        EXPECT_THROW(ApplyPositionGrid(store, grid), Exception);
        EXPECT_EQ(store.ExStations[0].Info.X, 1);  // the good row before is not written either
        EXPECT_EQ(store.ExStations[2].Info.Z, 3);
    }
    EXPECT_EQ(BadPositionRowMessage(12), "测线 12 : 数据错误!");
}

TEST(PositionGrid, ProfilePointsLabelEmptyRowsAndSortByX)
{
    PositionGrid grid = Grid({{"1", "300", "0", "5", "C"},
                              {"2", "100", "0", "x", "skip"},
                              {"3", "100.0", "0", "7", ""},
                              {"4", "-5", "0", "1", "A"},
                              {"5", "100", "0", "9", "B"},
                              {"6", "", "0", "1", ""}});
    std::vector<ProfilePoint> points = CollectProfilePoints(grid);
    ASSERT_EQ(points.size(), 4u);
    std::vector<std::string> labels;
    for (const ProfilePoint& p : points) labels.push_back(p.Label);
    EXPECT_EQ(labels, (std::vector<std::string>{"A", "100.0", "B", "C"}));
    EXPECT_EQ(points[1].Z, 7);
    EXPECT_EQ(grid.Cell(kLabelColumn, 3), "100.0");
    EXPECT_EQ(grid.Cell(kLabelColumn, 6), "");  // not numeric: left alone
}

TEST(PositionGrid, DuplicatesCompareTheTexts)
{
    PositionGrid grid = Grid({{"1", "100", "5", "0", "a"},
                              {"2", "100.0", "5", "0", "b"},
                              {"3", "100", "5", "1", "c"},
                              {"4", "10", "05", "0", "d"},
                              {"5", "100", "5", "0", "e"}});
    EXPECT_EQ(DuplicatePositionRows(grid),
              (std::vector<bool>{false, false, false, true, false, true}));
}

TEST(GridMarks, MenuAndShiftMarking)
{
    GridMarks marks;
    marks.CopyCount = 3;
    SetTransformEnd(marks, 6);
    EXPECT_EQ(marks.TransformStart, 1);
    EXPECT_EQ(marks.TransformEnd, 6);
    EXPECT_EQ(marks.CopyCount, 0);
    marks.CopyCount = 2;
    SetTransformStart(marks, 9);
    EXPECT_EQ(marks.TransformStart, 6);
    EXPECT_EQ(marks.TransformEnd, 9);
    EXPECT_EQ(marks.CopyCount, 0);

    marks.CopyCount = 2;
    ShiftMarkRow(marks, 8);
    ShiftMarkRow(marks, 3);
    EXPECT_EQ(marks.TransformStart, 3);
    EXPECT_EQ(marks.TransformEnd, 8);
    ShiftMarkRow(marks, 5);
    EXPECT_EQ(marks.TransformStart, 3);
    EXPECT_EQ(marks.TransformEnd, 5);
    EndShiftMarking(marks, true);
    EXPECT_EQ(marks.Dragging, 1);
    EndShiftMarking(marks, false);
    EXPECT_EQ(marks.Dragging, 0);
    EXPECT_EQ(marks.CopyCount, 2);
    EXPECT_TRUE(marks.IsMarked(4));
    EXPECT_FALSE(marks.IsMarked(6));
}
