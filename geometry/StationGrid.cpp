#include "geometry/StationGrid.h"

#include <algorithm>
#include <unordered_set>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/FloatText.h"
#include "survey/StationLabels.h"

const char* const kGeometryMessageCaption = "Murovane提示...";
const char* const kNoStationNamedMessage =
    "点位标志与当前数据的测点都不相同，没有更新任何点位坐标！\n"
    "请先修改点位标志(快捷菜单: 修改点号)，再按确定。";

namespace {

bool IsSingleNumber(const std::string& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value)) return false;
    try {
        ToSingle(value);
    } catch (const EMathError&) {
        return false;
    }
    return true;
}

struct RowPosition {
    float X = 0, Y = 0, Z = 0;
};

StationLabelIndex IndexRowLabels(const PositionGrid& grid)
{
    StationLabelIndex rows;
    for (int row = 1; row <= grid.LastRow(); ++row) rows.Add(grid.Cell(kLabelColumn, row), row);
    return rows;
}

void ApplyToStations(std::vector<TStation>& stations, const StationLabelIndex& rows,
                     const std::vector<RowPosition>& positions)
{
    for (TStation& station : stations) {
        const size_t row = rows.Find(station.Name);
        if (row == StationLabelIndex::npos) continue;
        const RowPosition& p = positions[row];
        station.Info.X = p.X;
        station.Info.Y = p.Y;
        station.Info.Z = p.Z;
    }
}

}  // namespace

GridRow PositionGridHeader()
{
    return GridRow{"#", "x", "y", "高程z", "编号"};
}

PositionGrid MakePositionGrid(const SurveyStore& store)
{
    PositionGrid grid;
    grid.Rows.reserve(store.ExStations.size() + 1);
    grid.Rows.push_back(PositionGridHeader());
    for (size_t i = 0; i < store.ExStations.size(); ++i) {
        const TStation& station = store.ExStations[i];
        grid.Rows.push_back(GridRow{std::to_string(i + 1), FloatToStr(station.Info.X),
                                    FloatToStr(station.Info.Y), FloatToStr(station.Info.Z),
                                    station.Name});
    }
    return grid;
}

int FindBadPositionRow(const PositionGrid& grid)
{
    for (int row = 1; row <= grid.LastRow(); ++row) {
        for (int column : {kXColumn, kYColumn, kZColumn})
            if (!IsSingleNumber(grid.Cell(column, row))) return row;
    }
    return 0;
}

std::string BadPositionRowMessage(int row)
{
    return "测线 " + std::to_string(row) + " : 数据错误!";
}

void ApplyPositionGrid(SurveyStore& store, const PositionGrid& grid)
{
    std::vector<RowPosition> positions(grid.Rows.size());
    for (int row = 1; row <= grid.LastRow(); ++row) {
        RowPosition& p = positions[row];
        p.X = ToSingle(StrToFloat(grid.Cell(kXColumn, row)));
        p.Y = ToSingle(StrToFloat(grid.Cell(kYColumn, row)));
        p.Z = ToSingle(StrToFloat(grid.Cell(kZColumn, row)));
    }
    const StationLabelIndex rows = IndexRowLabels(grid);
    ApplyToStations(store.ExStations, rows, positions);
    ApplyToStations(store.HyStations, rows, positions);
}

bool PositionGridNamesAnyStation(const SurveyStore& store, const PositionGrid& grid)
{
    const StationLabelIndex rows = IndexRowLabels(grid);
    auto named = [&rows](const TStation& station) {
        return rows.Find(station.Name) != StationLabelIndex::npos;
    };
    return std::any_of(store.ExStations.begin(), store.ExStations.end(), named) ||
           std::any_of(store.HyStations.begin(), store.HyStations.end(), named);
}

std::vector<ProfilePoint> CollectProfilePoints(PositionGrid& grid)
{
    std::vector<ProfilePoint> points;
    for (int row = 1; row <= grid.LastRow(); ++row) {
        double x = 0, z = 0;
        if (!TryStrToFloat(grid.Cell(kXColumn, row), x) ||
            !TryStrToFloat(grid.Cell(kZColumn, row), z))
            continue;
        std::string& label = grid.Cell(kLabelColumn, row);
        if (label.empty()) label = grid.Cell(kXColumn, row);
        points.push_back(ProfilePoint{x, z, label});
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const ProfilePoint& a, const ProfilePoint& b) { return a.X < b.X; });
    return points;
}

std::vector<bool> DuplicatePositionRows(const PositionGrid& grid)
{
    std::vector<bool> duplicate(grid.Rows.size(), false);
    std::unordered_set<std::string> seen;
    for (int row = 1; row <= grid.LastRow(); ++row) {
        const std::string& x = grid.Cell(kXColumn, row);
        std::string key = std::to_string(x.size()) + ':' + x + grid.Cell(kYColumn, row);
        if (!seen.insert(key).second) duplicate[row] = true;
    }
    return duplicate;
}

namespace {

void OrderMarks(GridMarks& marks)
{
    if (marks.TransformEnd < marks.TransformStart)
        std::swap(marks.TransformStart, marks.TransformEnd);
}

}  // namespace

void SetTransformStart(GridMarks& marks, int currentRow)
{
    marks.TransformStart = currentRow;
    marks.CopyCount = 0;
    OrderMarks(marks);
}

void SetTransformEnd(GridMarks& marks, int currentRow)
{
    marks.TransformEnd = currentRow;
    marks.CopyCount = 0;
    OrderMarks(marks);
}

void ShiftMarkRow(GridMarks& marks, int currentRow)
{
    if (marks.Dragging == 0) {
        marks.TransformStart = marks.TransformEnd = currentRow;
        marks.Dragging = 1;
    } else {
        marks.TransformEnd = currentRow;
        OrderMarks(marks);
    }
}

void EndShiftMarking(GridMarks& marks, bool shiftHeld)
{
    if (!shiftHeld) marks.Dragging = 0;
}

std::string PositionEditorHelpText()
{
    return std::string("当前点位标志由 线号+点号 共同组成。") + "\n" +
           "当加载的点位数据文件中，点位标志只是点号。" + "\n" +
           "此时，点位坐标数据无效。不会对数据点坐标进行更新。" + "\n" +
           "为此，必须修改点位标志，使与当前数据的点位标志一样。" + "\n" +
           "具体做法是记住原点位标志的线号部分，然后在快捷菜单中执行：" + "   " + "\n\n" +
           "修改点号";
}
