#pragma once
// The rectilinear mesh: x and y cell widths with boundary cells growing outward on both sides,
// and layer thicknesses growing downward with boundary layers at the bottom.
#include <vector>

#include "model3d/ModelData.h"

// count cells of width, framed by boundary cells width * ratio^1 ... ratio^boundary on each side.
std::vector<float> GrowingCells(int count, float width, int boundary, double ratio);

// Rebuild CellDx (CellDy) from Nx, Dx, NxS and NxScale (Ny, Dy, NyS, NyScale). A text that is not
// a number raises the conversion error before the list changes.
void BuildXMesh(const ModelSettings& settings, ModelData& data);
void BuildYMesh(const ModelSettings& settings, ModelData& data);
// Rebuild LayerDz from Nz, Dz, fZsEdit, NzS and NzScale. The resistivities stay when the layer
// count is unchanged; otherwise every layer gets 100 ohm-m.
void BuildZMesh(const ModelSettings& settings, ModelData& data);

// Leaving the geometry page: rebuild the three meshes and move the origin so that the model keeps
// its centre, writing the new origin into MxRefEdit and MyRefEdit as whole numbers.
void RebuildMeshesKeepingCentre(ModelSettings& settings, ModelData& data);

// The mean width of the regular cells, truncated, which the width edit takes before the cell
// count changes; false when there are no cells.
bool MeanRegularWidth(const std::vector<float>& cells, int boundary, int count, int& width);

struct MapPoint {
    double X, Y;
};
// The model's outline (closed, five points) and its inner mesh nodes in map coordinates, for the
// origin, rotation and cell widths of the settings.
struct MeshDrawing {
    std::vector<MapPoint> Outline;
    std::vector<MapPoint> Nodes;
};
MeshDrawing MeshOnMap(const ModelSettings& settings, const ModelData& data);
