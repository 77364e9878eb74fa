#include "geometry/PositionFile.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FileName.h"
#include "base/SafeFile.h"
#include "base/TextStream.h"
#include "survey/TextLines.h"

const char* const kPositionSaveFailedMessage = "文件保存失败！";
const char* const kPositionFileHeader = "SN   x      y      z";

std::string PositionFileName(const std::string& chosenName)
{
    return ChangeFileExt(chosenName, ".pos");
}

namespace {

void WritePositionText(TextSink& text, const PositionGrid& grid)
{
    text += kPositionFileHeader;
    text += "\r\n";
    for (int row = 1; row <= grid.LastRow(); ++row) {
        for (int column : {kLabelColumn, kXColumn, kYColumn, kZColumn}) {
            text += grid.Cell(column, row);
            text += ' ';
        }
        text += "\r\n";
    }
}

}  // namespace

std::string PositionFileText(const PositionGrid& grid)
{
    return TextOf([&](TextSink& text) { WritePositionText(text, grid); });
}

bool SavePositionFile(const PositionGrid& grid, const std::string& fileName)
{
    try {
        SafeFile file(fileName);
        WritePositionText(file, grid);
        file.Commit();
    } catch (const EFCreateError&) {
        return false;
    }
    return true;
}

void ReadPositionText(const std::string& bytes, PositionGrid& grid)
{
    TextStream stream(bytes);
    std::vector<GridRow> rows;
    rows.reserve(
        std::min<size_t>(std::count(bytes.begin(), bytes.end(), '\n') + 2, kMaxPositionPoints + 1));
    rows.push_back(grid.Rows.empty() ? PositionGridHeader() : grid.Rows[0]);
    std::string line;
    std::vector<std::string> fields;
    double value = 0;
    while (static_cast<int>(rows.size()) <= kMaxPositionPoints && stream.ReadLine(line)) {
        SplitFields(line, fields);
        if (fields.size() < 4 || !TryStrToFloat(fields[1], value) ||
            !TryStrToFloat(fields[2], value) || !TryStrToFloat(fields[3], value))
            continue;
        rows.push_back(
            GridRow{std::to_string(rows.size()), fields[1], fields[2], fields[3], fields[0]});
    }
    grid.Rows = std::move(rows);
}

bool LoadPositionFile(const std::string& fileName, PositionGrid& grid)
{
    try {
        std::string bytes;
        if (!ReadFileBytes(fileName, bytes)) return false;
        ReadPositionText(bytes, grid);
        return true;
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(fileName);
    }
}
