#pragma once
// The station position editor's grid commands: they rewrite columns or blocks of cell texts. The
// commands that compute convert every cell they need before they write any, so a text that is
// not a number (EConvertError) or a result beyond the single range leaves the grid as it was.

#include <string>
#include <vector>

#include "geometry/StationGrid.h"

// Linear transform v = a * x + b of the current column in the marked data rows; x is the cell's
// value when useCellValue is set, else the row number. Cells are written with "0.0".
void TransformMarkedRows(PositionGrid& grid, const GridMarks& marks, int column,
                         const std::string& aText, const std::string& bText, bool useCellValue);

// Exchanges the texts of two columns in every data row.
void SwapGridColumns(PositionGrid& grid, int first, int second);

// Chainage: x becomes the distance from row 1 along the rows ("0", then "#.0"), y becomes "0".
void ComputeChainage(PositionGrid& grid);

// The clipboard text cut into tokens at the separators of the field routine, however many.
std::vector<std::string> SplitClipboardText(const std::string& text);

// Pastes one, two or three columns of tokens from the current cell on; the width follows from the
// token count per data row. Tokens below the last row or right of the label column are dropped.
void PasteColumns(PositionGrid& grid, int column, int row, const std::string& clipboardText);

// Repeats the marked block of the current column one block further down each time it is used.
void CopyMarkedBlock(PositionGrid& grid, GridMarks& marks, int column);

// Ctrl + wheel down: continues the current column as an arithmetic sequence into the next row.
// True when a cell was written.
bool ContinueSequence(PositionGrid& grid, int column, int currentRow);

// Fills x and y of a row from its neighbours: the first row is extrapolated from the two rows
// after it, the last from the two rows before it, every other row is the mean of its neighbours.
// Rows without the neighbours they need stay as they are.
void FillPointFromNeighbours(PositionGrid& grid, int currentRow);

// Puts a line number before (left) or after every data row's label.
void AddLineNumber(PositionGrid& grid, const std::string& text, bool left);
