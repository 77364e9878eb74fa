#pragma once
// Position files of the station position editor: a header line and one line per point (label,
// x, y, z separated by blanks), the line layout of the STN file.

#include <string>

#include "geometry/StationGrid.h"

// "文件保存失败！"
extern const char* const kPositionSaveFailedMessage;
// "SN   x      y      z"
extern const char* const kPositionFileHeader;
// Most points a load takes.
constexpr int kMaxPositionPoints = 5000;

// The chosen save name with its extension replaced by ".pos" (appended when it has none).
std::string PositionFileName(const std::string& chosenName);

// The file text: the header, then per data row its label, x, y and z texts as they stand, each
// followed by a blank; CR LF line ends.
std::string PositionFileText(const PositionGrid& grid);

// Writes the file whole through a temporary file, so a failed save leaves an existing file as it
// was. False when the file could not be written.
bool SavePositionFile(const PositionGrid& grid, const std::string& fileName);

// Replaces the grid's data rows by the points of a position text: lines with at least four
// fields whose fields 1 to 3 are numbers, at most 5000 of them; every other line is skipped.
// The header row stays (it is set when the grid has none).
void ReadPositionText(const std::string& bytes, PositionGrid& grid);

// False, with the grid unchanged, when the file cannot be opened; EOutOfMemory, with the grid
// unchanged, when it is too large to load.
bool LoadPositionFile(const std::string& fileName, PositionGrid& grid);
