#include "model3d/Layers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>
#include <numeric>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "survey/Interp1.h"
#include "survey/TextLines.h"

std::vector<LayerGridRow> FillLayerGrid(const ModelData& data)
{
    std::vector<LayerGridRow> rows;
    size_t n = std::min(data.LayerDz.size(), data.LayerRho.size());
    for (size_t i = 0; i < n; ++i) {
        LayerGridRow row;
        row.Number = std::to_string(i + 1);
        row.RhoValue = data.LayerRho[i];
        row.DzValue = data.LayerDz[i];
        row.Rho = TruncatedText(row.RhoValue);
        row.Dz = TruncatedText(row.DzValue);
        rows.push_back(row);
    }
    return rows;
}

float LayerCellValue(const std::string& text, float shownValue)
{
    if (text == TruncatedText(shownValue)) return shownValue;
    return ToSingle(StrToFloat(text));
}

void ReadLayerGrid(const std::vector<LayerGridRow>& rows, ModelData& data)
{
    std::vector<float> rho, dz;
    for (const LayerGridRow& row : rows) {
        rho.push_back(LayerCellValue(row.Rho, row.RhoValue));
        dz.push_back(LayerCellValue(row.Dz, row.DzValue));
    }
    data.LayerRho = std::move(rho);
    data.LayerDz = std::move(dz);
}

void SetLayerFromCell(ModelData& data, int row, int column, const std::string& text)
{
    if (row < 1 || (column != 1 && column != 2)) return;
    std::vector<float>& list = column == 2 ? data.LayerDz : data.LayerRho;
    size_t k = static_cast<size_t>(row - 1);
    if (k >= list.size()) return;
    list[k] = LayerCellValue(text, list[k]);
}

namespace {

void Renumber(std::vector<LayerGridRow>& rows, size_t from)
{
    for (size_t k = from; k < rows.size(); ++k) rows[k].Number = std::to_string(k + 1);
}

}  // namespace

void InsertLayerRow(std::vector<LayerGridRow>& rows, int row)
{
    if (row < 1 || static_cast<size_t>(row) > rows.size()) return;
    LayerGridRow copy = rows[row - 1];
    rows.insert(rows.begin() + row, copy);
    Renumber(rows, row);
}

void DeleteLayerRow(std::vector<LayerGridRow>& rows, int row)
{
    if (row < 1 || static_cast<size_t>(row) > rows.size()) return;
    rows.erase(rows.begin() + (row - 1));
    Renumber(rows, row - 1);
}

bool ContinueColumn(std::vector<LayerGridRow>& rows, int row, int column)
{
    if (row < 2 || static_cast<size_t>(row) >= rows.size() || (column != 1 && column != 2))
        return false;
    auto cell = [column](LayerGridRow& r) -> std::string& { return column == 2 ? r.Dz : r.Rho; };
    double above = StrToFloat(cell(rows[row - 2]));
    double current = StrToFloat(cell(rows[row - 1]));
    cell(rows[row]) = FormatFloat("0.0", 2 * current - above);
    return true;
}

std::string LayerBottomText(const ModelData& data, int row)
{
    double bottom = 0;
    size_t n = std::min(static_cast<size_t>(std::max(row, 0)), data.LayerDz.size());
    for (size_t i = 0; i < n; ++i) bottom += data.LayerDz[i];
    return "当前层底界面深度为" + TruncatedText(bottom) + "m";
}

std::vector<LayerProfilePoint> LayerProfile(const ModelData& data, int boundaryLayers)
{
    std::vector<LayerProfilePoint> points;
    long long drawn = static_cast<long long>(data.LayerDz.size()) - boundaryLayers - 1;
    double top = 0;
    for (long long i = 0; i < drawn && static_cast<size_t>(i) < data.LayerRho.size(); ++i) {
        points.push_back({data.LayerRho[i], top});
        top += data.LayerDz[i];
    }
    return points;
}

void AddLayerPick(ModelData& data, double depth, double rho)
{
    // Picks at equal depths keep the order in which they were made.
    auto at = std::upper_bound(data.PickDepth.begin(), data.PickDepth.end(), depth);
    size_t k = static_cast<size_t>(at - data.PickDepth.begin());
    data.PickDepth.insert(at, depth);
    data.PickRho.insert(data.PickRho.begin() + k, rho);
    int n = static_cast<int>(data.PickDepth.size());
    if (n < 2) return;
    double shallowest = data.PickDepth.front(), deepest = data.PickDepth.back();
    size_t layers = std::min(data.LayerDz.size(), data.LayerRho.size());
    if (layers == 0) return;
    double c = 0.5 * data.LayerDz[0];
    for (size_t i = 0; i + 1 < layers; ++i) {
        if (c > shallowest && c < deepest) {
            double value;
            if (n == 2)
                value = data.PickRho[0] + (c - shallowest) / (deepest - shallowest) *
                                              (data.PickRho[1] - data.PickRho[0]);
            else
                value = Interp1(data.PickDepth.data(), data.PickRho.data(), n, c);
            data.LayerRho[i] = ToSingle(value);
        }
        c += 0.5 * data.LayerDz[i] + 0.5 * data.LayerDz[i + 1];
    }
}

void ClearLayerPicks(ModelData& data)
{
    data.PickDepth.clear();
    data.PickRho.clear();
}

void SetLayerAtDepth(ModelData& data, double depth, double rho)
{
    size_t layers = std::min(data.LayerDz.size(), data.LayerRho.size());
    double top = 0;
    for (size_t i = 0; i + 1 < layers; ++i) {
        if (top <= depth && depth <= top + data.LayerDz[i]) {
            data.LayerRho[i] = ToSingle(rho);
            return;
        }
        top += data.LayerDz[i];
    }
}

namespace {

bool ReadBackgroundLayers(const std::string& fileName, ModelData& data)
{
    TextStream stream;
    if (!stream.Open(fileName)) return false;
    std::string line;
    std::vector<std::string> fields;
    if (!ReadNonBlankLine(stream, line) || !ReadNonBlankLine(stream, line)) return false;
    SplitFields(line, fields);
    int count = 0;
    if (!TryStrToInt(FieldOrEmpty(fields, 0), count) || count <= 0) return false;
    std::vector<float> dz, rho;
    // Stored in single precision: a value that rounds to zero is no thickness.
    auto usable = [](double v) { return v <= FLT_MAX && static_cast<float>(v) > 0; };
    for (int i = 0; i < count; ++i) {
        if (!ReadNonBlankLine(stream, line)) return false;
        SplitFields(line, fields);
        double thickness, resistivity;
        if (!TryStrToFloat(FieldOrEmpty(fields, 0), thickness) ||
            !TryStrToFloat(FieldOrEmpty(fields, 1), resistivity) || !usable(thickness) ||
            !usable(resistivity))
            return false;
        dz.push_back(static_cast<float>(thickness));
        rho.push_back(static_cast<float>(resistivity));
    }
    data.LayerDz = std::move(dz);
    data.LayerRho = std::move(rho);
    return true;
}

}  // namespace

bool ReadBackgroundModel(const std::string& fileName, ModelData& data)
{
    try {
        return ReadBackgroundLayers(fileName, data);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(fileName);
    }
}
