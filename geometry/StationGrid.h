#pragma once
// The station position editor's grid as plain cell texts, and what the editor computes on it:
// filling it from the Ex stations, checking it, writing it back into the stations by name, the
// elevation profile of its rows, duplicate positions and the marked rows.

#include <array>
#include <string>
#include <vector>

#include "survey/SurveyStore.h"

enum GridColumn { kNumberColumn = 0, kXColumn = 1, kYColumn = 2, kZColumn = 3, kLabelColumn = 4 };
constexpr int kGridColumns = 5;

using GridRow = std::array<std::string, kGridColumns>;

// Row 0 holds the headers; rows 1 to LastRow() are the data rows.
struct PositionGrid {
    std::vector<GridRow> Rows;

    int LastRow() const { return Rows.empty() ? 0 : static_cast<int>(Rows.size()) - 1; }
    bool IsDataRow(int row) const { return row >= 1 && row <= LastRow(); }
    std::string& Cell(int column, int row) { return Rows[row][column]; }
    const std::string& Cell(int column, int row) const { return Rows[row][column]; }
};

// Caption of the geometry dialogs' message boxes.
extern const char* const kGeometryMessageCaption;  // "Murovane提示..."

// "#", "x", "y", "高程z", "编号".
GridRow PositionGridHeader();

// The header row and one row per Ex station in store order: number, x, y, z (FloatToStr of the
// stored values), name. A grid with no data row when there is no Ex station.
PositionGrid MakePositionGrid(const SurveyStore& store);

// The first data row whose x, y or z text is not a number within the single range, or 0 when
// every row converts. OK asks this before it closes, so nothing half-converts afterwards.
int FindBadPositionRow(const PositionGrid& grid);
// "测线 <row> : 数据错误!"
std::string BadPositionRowMessage(int row);

// Writes the grid back: every Ex station, then every Hy station, takes x, y and z from the data
// row whose label names it: the first row whose label equals its Name or, when there is none, the
// first whose label is a plain decimal number of the same value ("150" for "150.0"). Stations
// without such a row keep their coordinates. Every row is converted first: a bad cell throws
// EConvertError (or EOverflow) before any station changes.
void ApplyPositionGrid(SurveyStore& store, const PositionGrid& grid);

// Whether writing the grid back would reach any Ex or Hy station. OK asks this before it closes.
bool PositionGridNamesAnyStation(const SurveyStore& store, const PositionGrid& grid);
// "点位标志与当前数据的测点都不相同，没有更新任何点位坐标！" and a line on what to do
extern const char* const kNoStationNamedMessage;

// One point of the elevation profile beside the grid.
struct ProfilePoint {
    double X = 0;
    double Z = 0;
    std::string Label;
};

// The rows with numeric x and z, as (x, z, label), in ascending order of x (rows of equal x in
// grid order). A row with an empty label gets its x text as label on the way.
std::vector<ProfilePoint> CollectProfilePoints(PositionGrid& grid);

// Per row (index = row number): true for a data row whose x and y texts both equal those of an
// earlier data row.
std::vector<bool> DuplicatePositionRows(const PositionGrid& grid);

// The marked rows and the block-copy counter of the editor.
struct GridMarks {
    int TransformStart = 1;
    int TransformEnd = 1;
    int CopyCount = 0;
    int Dragging = 0;  // 1 while a Shift marking is in progress

    bool IsMarked(int row) const { return row >= TransformStart && row <= TransformEnd; }
};

// "设置为变换起点" and "设置为变换结束点".
void SetTransformStart(GridMarks& marks, int currentRow);
void SetTransformEnd(GridMarks& marks, int currentRow);
// A mouse button pressed on the grid with Shift held, after the current cell moved.
void ShiftMarkRow(GridMarks& marks, int currentRow);
// A mouse button released on the grid.
void EndShiftMarking(GridMarks& marks, bool shiftHeld);

// The text of the editor's help button.
std::string PositionEditorHelpText();
