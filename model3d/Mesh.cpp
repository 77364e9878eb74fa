#include "model3d/Mesh.h"

#include <cmath>

#include "base/Convert.h"
#include "base/FloatMath.h"

std::vector<float> GrowingCells(int count, float width, int boundary, double ratio)
{
    std::vector<float> cells;
    int regular = std::max(count, 0), side = std::max(boundary, 0);
    std::vector<float> grown;
    double w = width;
    for (int i = 0; i < side; ++i) {
        w *= ratio;
        grown.push_back(ToSingle(w));
    }
    cells.reserve(regular + 2 * grown.size());
    cells.insert(cells.end(), grown.rbegin(), grown.rend());
    cells.insert(cells.end(), regular, width);
    cells.insert(cells.end(), grown.begin(), grown.end());
    return cells;
}

namespace {

void BuildHorizontalMesh(int count, const std::string& width, int boundary,
                         const std::string& ratio, std::vector<float>& cells)
{
    double r = StrToFloat(ratio);
    float w = ToSingle(StrToFloat(width));
    cells = GrowingCells(count, w, boundary, r);
}

double Sum(const std::vector<float>& values)
{
    double sum = 0;
    for (float v : values) sum += v;
    return sum;
}

}  // namespace

void BuildXMesh(const ModelSettings& s, ModelData& data)
{
    BuildHorizontalMesh(s.Nx, s.Dx, s.NxS, s.NxScale, data.CellDx);
}

void BuildYMesh(const ModelSettings& s, ModelData& data)
{
    BuildHorizontalMesh(s.Ny, s.Dy, s.NyS, s.NyScale, data.CellDy);
}

void BuildZMesh(const ModelSettings& s, ModelData& data)
{
    double q = StrToFloat(s.NzScale);
    double d = StrToFloat(s.Dz);
    double f = StrToFloat(s.fZsEdit);
    std::vector<float> layers;
    for (int i = 0; i < s.Nz; ++i) layers.push_back(ToSingle(d * std::pow(f, i)));
    double w = layers.empty() ? d : layers.back();
    for (int i = 0; i < s.NzS; ++i) {
        w *= q;
        layers.push_back(ToSingle(w));
    }
    bool keepRho =
        static_cast<size_t>(std::max(s.Nz, 0) + std::max(s.NzS, 0)) == data.LayerDz.size();
    data.LayerDz = std::move(layers);
    if (!keepRho) data.LayerRho.assign(data.LayerDz.size(), 100.0f);
}

void RebuildMeshesKeepingCentre(ModelSettings& s, ModelData& data)
{
    double oldX = Sum(data.CellDx), oldY = Sum(data.CellDy);
    BuildXMesh(s, data);
    BuildYMesh(s, data);
    BuildZMesh(s, data);
    double newX = Sum(data.CellDx), newY = Sum(data.CellDy);
    s.MxRefEdit = TruncatedText(StrToFloat(s.MxRefEdit) - (newX - oldX) * 0.5);
    s.MyRefEdit = TruncatedText(StrToFloat(s.MyRefEdit) - (newY - oldY) * 0.5);
}

bool MeanRegularWidth(const std::vector<float>& cells, int boundary, int count, int& width)
{
    if (cells.empty() || count <= 0) return false;
    double sum = 0;
    size_t b = static_cast<size_t>(std::max(boundary, 0));
    for (size_t i = b; i + b < cells.size(); ++i) sum += cells[i];
    width = static_cast<int>(std::trunc(sum / count));
    return true;
}

MeshDrawing MeshOnMap(const ModelSettings& s, const ModelData& data)
{
    double x0 = StrToFloat(s.MxRefEdit), y0 = StrToFloat(s.MyRefEdit);
    double theta = StrToFloat(s.MRotEdit) * (1.0 / 180.0) * M_PI;
    double c = std::cos(theta), sn = std::sin(theta);
    auto place = [&](double u, double v) {
        return MapPoint{x0 + u * c + v * sn, y0 - u * sn + v * c};
    };
    double lx = Sum(data.CellDx), ly = Sum(data.CellDy);
    MeshDrawing drawing;
    drawing.Outline = {{x0, y0}, place(lx, 0), place(lx, ly), place(0, ly), {x0, y0}};
    size_t nx = data.CellDx.size(), ny = data.CellDy.size();
    double u = 0;
    for (size_t i = 0; i + 1 < nx; ++i) {
        u += data.CellDx[i];
        double v = 0;
        for (size_t j = 0; j + 1 < ny; ++j) {
            v += data.CellDy[j];
            drawing.Nodes.push_back(place(u, v));
        }
    }
    return drawing;
}
