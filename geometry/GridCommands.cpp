#include "geometry/GridCommands.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "survey/TextLines.h"

void TransformMarkedRows(PositionGrid& grid, const GridMarks& marks, int column,
                         const std::string& aText, const std::string& bText, bool useCellValue)
{
    const float a = ToSingle(StrToFloat(aText));
    const float b = ToSingle(StrToFloat(bText));
    const int first = std::max(marks.TransformStart, 1);
    const int last = std::min(marks.TransformEnd, grid.LastRow());
    std::vector<std::string> results;
    for (int row = first; row <= last; ++row) {
        float x =
            useCellValue ? ToSingle(StrToFloat(grid.Cell(column, row))) : static_cast<float>(row);
        float v = ToSingle(static_cast<double>(a) * x + b);
        results.push_back(FormatFloat("0.0", v));
    }
    for (int row = first; row <= last; ++row) grid.Cell(column, row) = results[row - first];
}

void SwapGridColumns(PositionGrid& grid, int first, int second)
{
    for (int row = 1; row <= grid.LastRow(); ++row)
        std::swap(grid.Cell(first, row), grid.Cell(second, row));
}

void ComputeChainage(PositionGrid& grid)
{
    const int last = grid.LastRow();
    if (last < 1) return;
    std::vector<double> xs(last + 1), ys(last + 1);
    for (int row = 1; row <= last; ++row) {
        xs[row] = StrToFloat(grid.Cell(kXColumn, row));
        ys[row] = StrToFloat(grid.Cell(kYColumn, row));
    }
    std::vector<std::string> chainage(last + 1);
    chainage[1] = "0";
    float px = ToSingle(xs[1]), py = ToSingle(ys[1]);
    float total = 0;
    for (int row = 2; row <= last; ++row) {
        float dx = ToSingle(xs[row] - px);
        float dy = ToSingle(ys[row] - py);
        px = ToSingle(xs[row]);
        py = ToSingle(ys[row]);
        float squared = ToSingle(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
        float d = ToSingle(std::sqrt(static_cast<double>(squared)));
        total = ToSingle(static_cast<double>(total) + d);
        chainage[row] = FormatFloat("#.0", total);
    }
    for (int row = 1; row <= last; ++row) {
        grid.Cell(kXColumn, row) = chainage[row];
        grid.Cell(kYColumn, row) = "0";
    }
}

std::vector<std::string> SplitClipboardText(const std::string& text)
{
    std::vector<std::string> tokens;
    size_t i = 0, n = text.size();
    while (i < n) {
        while (i < n && IsFieldSeparator(text[i])) ++i;
        if (i >= n) break;
        size_t start = i;
        while (i < n && !IsFieldSeparator(text[i])) ++i;
        std::string token = TrimBlanks(text.substr(start, i - start));
        if (!token.empty()) tokens.push_back(std::move(token));
    }
    return tokens;
}

void PasteColumns(PositionGrid& grid, int column, int row, const std::string& clipboardText)
{
    const int dataRows = grid.LastRow();
    if (dataRows < 1) return;
    std::vector<std::string> tokens = SplitClipboardText(clipboardText);
    const size_t perRow = tokens.size() / static_cast<size_t>(dataRows);
    const int width = perRow == 2 ? 2 : (perRow >= 3 && perRow <= 5) ? 3 : 1;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const size_t r = static_cast<size_t>(row) + k / width;
        const int c = column + static_cast<int>(k % width);
        if (r > static_cast<size_t>(dataRows)) break;
        if (c > kLabelColumn) continue;
        grid.Cell(c, static_cast<int>(r)) = tokens[k];
    }
}

void CopyMarkedBlock(PositionGrid& grid, GridMarks& marks, int column)
{
    const long long length = static_cast<long long>(marks.TransformEnd) - marks.TransformStart + 1;
    const long long first = marks.TransformEnd + 1 + marks.CopyCount * length;
    for (long long row = first; row < first + length && row <= grid.LastRow(); ++row)
        grid.Cell(column, static_cast<int>(row)) =
            grid.Cell(column, static_cast<int>(row - length));
    ++marks.CopyCount;
}

bool ContinueSequence(PositionGrid& grid, int column, int currentRow)
{
    if (currentRow < 2 || currentRow >= grid.LastRow()) return false;
    double previous = StrToFloat(grid.Cell(column, currentRow - 1));
    double current = StrToFloat(grid.Cell(column, currentRow));
    grid.Cell(column, currentRow + 1) = FormatFloat("0.0", Checked(2 * current - previous));
    return true;
}

void FillPointFromNeighbours(PositionGrid& grid, int currentRow)
{
    const int last = grid.LastRow();
    if (!grid.IsDataRow(currentRow)) return;
    int near = 0, far = 0;  // extrapolation: 2 * near - far
    bool mean = false;
    if (currentRow == 1) {
        near = 2, far = 3;
    } else if (currentRow < last) {
        near = currentRow - 1, far = currentRow + 1, mean = true;
    } else {
        near = currentRow - 1, far = currentRow - 2;
    }
    if (!grid.IsDataRow(near) || !grid.IsDataRow(far)) return;
    std::string results[2];
    int i = 0;
    for (int column : {kXColumn, kYColumn}) {
        double a = StrToFloat(grid.Cell(column, near));
        double b = StrToFloat(grid.Cell(column, far));
        results[i++] = FormatFloat("0.0", Checked(mean ? (a + b) * 0.5 : 2 * a - b));
    }
    grid.Cell(kXColumn, currentRow) = results[0];
    grid.Cell(kYColumn, currentRow) = results[1];
}

void AddLineNumber(PositionGrid& grid, const std::string& text, bool left)
{
    for (int row = 1; row <= grid.LastRow(); ++row) {
        std::string& label = grid.Cell(kLabelColumn, row);
        label = left ? text + label : label + text;
    }
}
