#pragma once
// The layered background model: the layer grid's rows, the profile drawn on the layer chart, the
// points picked on it and the background resistivity file read back.
#include <string>
#include <vector>

#include "model3d/ModelData.h"

// One row of the layer grid: the texts shown (layer number, resistivity, thickness) and the layer
// values they were made from, so that reading an untouched cell back loses no decimals.
struct LayerGridRow {
    std::string Number, Rho, Dz;
    float RhoValue = 0, DzValue = 0;
};

// One row per layer, values shown truncated to whole numbers.
std::vector<LayerGridRow> FillLayerGrid(const ModelData& data);

// The number in a cell: the exact value it was filled from while its text is unchanged, otherwise
// the text converted (the conversion error when it is not a number).
float LayerCellValue(const std::string& text, float shownValue);

// The grid back into LayerRho and LayerDz. Every cell is converted before the lists change, so a
// bad cell raises one conversion error and the lists stay as they were.
void ReadLayerGrid(const std::vector<LayerGridRow>& rows, ModelData& data);

// A key released in a cell of grid row `row` (from 1): column 2 sets the layer's thickness,
// column 1 its resistivity. Rows without a layer change nothing.
void SetLayerFromCell(ModelData& data, int row, int column, const std::string& text);

// "插入一层": a copy of grid row `row` (from 1) below it; "删除当前层": the row removed. Numbers
// are renumbered from the row on.
void InsertLayerRow(std::vector<LayerGridRow>& rows, int row);
void DeleteLayerRow(std::vector<LayerGridRow>& rows, int row);

// Ctrl + wheel down: the cell below grid row `row` (from 2) in `column` continues the column
// linearly from rows row - 1 and row, in "0.0". False when there is no such cell.
bool ContinueColumn(std::vector<LayerGridRow>& rows, int row, int column);

// "当前层底界面深度为<n>m": the bottom depth of grid row `row`, summed over existing layers.
std::string LayerBottomText(const ModelData& data, int row);

// The layer chart's polyline: the resistivity of each regular layer at its top depth, the last
// regular layer and the boundary layers left out.
struct LayerProfilePoint {
    double Rho, Depth;
};
std::vector<LayerProfilePoint> LayerProfile(const ModelData& data, int boundaryLayers);

// A Ctrl-press on the layer chart: the pick is added (picks kept by ascending depth) and, from the
// second pick on, every layer but the last whose centre lies strictly between the shallowest and
// the deepest pick gets the resistivity interpolated linearly in depth between the picks.
void AddLayerPick(ModelData& data, double depth, double rho);
// A release without Ctrl forgets the picks.
void ClearLayerPicks(ModelData& data);
// A Shift-press: the first layer but the last that holds the depth takes the resistivity.
void SetLayerAtDepth(ModelData& data, double depth, double rho);

// Reads a background model file (the layout the background model writer produces: a title line,
// the layer count, one line per layer starting with thickness and resistivity) into the layers.
// False, with the lists unchanged, when the file cannot be read or holds no usable layer table;
// EOutOfMemory, with the lists unchanged, when it is too large to load.
bool ReadBackgroundModel(const std::string& fileName, ModelData& data);
