#include "model3d/ModelFiles.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/StringList.h"

namespace {

const char* const kCovarianceHeader[] = {
    "+-----------------------------------------------------------------------------+",
    "| This file defines model covariance for a recursive autoregression scheme.   |",
    "| The model spcace may be divided into distinct areas using integer masks.    |",
    "| Mask 0 is reserved for air; mask 9 is reserved for ocean. Smoothing between |",
    "| air, ocean and the rest of the model is turned off automatically. You can   |",
    "| also define exceptions to override smoothing between any two model areas.   |",
    "| To turn off smoothing set it to zero. This header is 16 lines long.         |",
    "| 1. Grid dimensions excluding air layers (Nx,Ny,NzEarth)                     |",
    "| 2. Smoothing in the X direction (NzEarth real values)                       |",
    "| 3. Smoothing in the Y direction (NzEarth real values)                       |",
    "| 4. Vertical Smoothing  (1 real Value)                                       |",
    "| 5. Number of times the smoothing should be applied (1 integer>=0 )          |",
    "| 6. Number of exceptions (1 integer >=0)                                     |",
    "| 7. Exceptions in the form e.g. 2 3 0. (to turn off smoothing between 2 & 3) |",
    "| 8. Two integer layer indices and Nx * Ny block of masks,repeated as needed  |",
    "+-----------------------------------------------------------------------------+",
};

const char* const kEol = "\r\n";

// The ln(1e13) of air and ln(0.3) of ocean cells.
const double kAirValue = std::log(1e13);
const double kOceanValue = std::log(0.3);

size_t LayerCount(const ModelData& data)
{
    return std::min(data.LayerDz.size(), data.LayerRho.size());
}

struct Origin {
    double X, Y, Z, Rotation;
};

Origin ReadOrigin(const ModelSettings& s)
{
    return {StrToFloat(s.MxRefEdit), StrToFloat(s.MyRefEdit), StrToFloat(s.MzRefEdit),
            StrToFloat(s.MRotEdit)};
}

struct Boundary {
    int X = 0, Y = 0, Z = 0;
};

Boundary ReadBoundary(const ModelSettings& s)
{
    if (!s.CheckBox1) return {};
    return {s.NxS, s.NyS, s.NzS};
}

// Values of cell classes in the model file, one set per layer.
struct LayerValues {
    std::string Earth, Air, Ocean;
};

std::vector<LayerValues> FormatLayerValues(const ModelData& data)
{
    std::vector<LayerValues> values;
    std::string air = CFormat("%13.5e", kAirValue), ocean = CFormat("%13.5e", kOceanValue);
    for (size_t k = 0; k < LayerCount(data); ++k)
        values.push_back({CFormat("%13.5e", CheckedLn(data.LayerRho[k])), air, ocean});
    return values;
}

// A number in its fixed-width field, with a blank before it when it fills the field, so that
// no two numbers of a line ever touch.
std::string SeparatedField(const char* format, double value)
{
    std::string field = CFormat(format, value);
    if (field.empty() || field[0] != ' ') field.insert(field.begin(), ' ');
    return field;
}

// Room for a whole model file, so that its text never outgrows it and is copied into one twice as
// large: the cell values are 13 bytes each, the widths and the origin as wide as they print, with
// a byte to spare for each.
size_t ModelTextBytes(const Origin& origin, const ModelData& data, size_t nz)
{
    const size_t nx = data.CellDx.size(), ny = data.CellDy.size();
    size_t bytes = 128 + nz * (ny * (nx * 13 + 2) + 2);
    for (float width : data.CellDx) bytes += FixedFormatBytes(width, 10, 1) + 1;
    for (float width : data.CellDy) bytes += FixedFormatBytes(width, 10, 1) + 1;
    for (size_t k = 0; k < nz; ++k) bytes += FixedFormatBytes(data.LayerDz[k], 10, 1) + 1;
    for (double value : {origin.X, origin.Y, origin.Z, origin.Rotation})
        bytes += FixedFormatBytes(value, 13, 0) + 1;
    return bytes;
}

std::string ModelText(const ModelSettings& s, const ModelData& data,
                      const std::vector<float>* columns)
{
    Origin origin = ReadOrigin(s);
    std::vector<LayerValues> values = FormatLayerValues(data);
    size_t nx = data.CellDx.size(), ny = data.CellDy.size(), nz = values.size();
    std::string text;
    text.reserve(ModelTextBytes(origin, data, nz));
    text += " # 3D INVERSION RES MODEL";
    text += kEol;
    text += "     " + std::to_string(nx) + "     " + std::to_string(ny) + "     " +
            std::to_string(nz) + "      0   LOGE" + kEol;
    for (const std::vector<float>* cells : {&data.CellDx, &data.CellDy, &data.LayerDz}) {
        for (size_t c = 0; c < (cells == &data.LayerDz ? nz : cells->size()); ++c)
            text += SeparatedField("%10.1f", (*cells)[c]);
        text += kEol;
    }
    double zc = origin.Z;
    for (size_t k = 0; k < nz; ++k) {
        zc += 0.5 * data.LayerDz[k];
        for (size_t j = 0; j < ny; ++j) {
            for (size_t step = 0; step < nx; ++step) {
                if (!columns) {
                    text += values[k].Earth;
                    continue;
                }
                size_t i = nx - 1 - step;  // the terrain form runs from the last x position
                switch (ClassifyCell(zc, (*columns)[j * nx + i])) {
                case CellClass::Earth:
                    text += values[k].Earth;
                    break;
                case CellClass::Air:
                    text += values[k].Air;
                    break;
                case CellClass::Ocean:
                    text += values[k].Ocean;
                    break;
                }
            }
            text += kEol;
        }
        text += kEol;
        zc += 0.5 * data.LayerDz[k];
    }
    text += SeparatedField("%13.0f", origin.X) + SeparatedField("%13.0f", origin.Y) +
            SeparatedField("%13.0f", origin.Z) + kEol;
    text += SeparatedField("%13.0f", origin.Rotation) + kEol;
    return text;
}

std::string CovarianceText(const ModelSettings& s, const ModelData& data,
                           const std::vector<float>* columns)
{
    // The flat form has no depths to compare.
    double zc = columns ? ReadOrigin(s).Z : 0;
    size_t nx = data.CellDx.size(), ny = data.CellDy.size(), nz = LayerCount(data);
    Boundary b = ReadBoundary(s);
    // The mask of each cell of layer k in the order the file lists them: cell(code) for every
    // cell, rowEnd() after each row.
    auto forEachMask = [&](size_t k, double zcMid, auto&& cell, auto&& rowEnd) {
        bool boundaryLayer = static_cast<long long>(k) >= static_cast<long long>(nz) - b.Z;
        for (size_t step = 0; step < nx; ++step) {
            long long i = static_cast<long long>(nx) - 1 - static_cast<long long>(step);
            bool boundaryRow = boundaryLayer || i < b.X || i >= static_cast<long long>(nx) - b.X;
            for (size_t j = 0; j < ny; ++j) {
                long long jj = static_cast<long long>(j);
                char code = '2';
                if (boundaryRow || jj < b.Y || jj >= static_cast<long long>(ny) - b.Y)
                    code = '0';
                else if (columns)
                    switch (ClassifyCell(zcMid, (*columns)[j * nx + i])) {
                    case CellClass::Earth:
                        code = '1';
                        break;
                    case CellClass::Air:
                        code = '0';
                        break;
                    case CellClass::Ocean:
                        code = '9';
                        break;
                    }
                cell(code);
            }
            rowEnd();
        }
    };
    // Consecutive layers with the same masks share one block "k1 k2": the inversion code's reader
    // stops after the block that reaches its next-to-last layer, so a last layer of its own
    // block would never be read. The runs are found first, so that the text is made once at its
    // final size.
    std::vector<size_t> runStarts;
    std::vector<double> zcMid(nz);
    {
        std::string previous, codes;
        for (size_t k = 0; k < nz; ++k) {
            zc += 0.5 * data.LayerDz[k];
            zcMid[k] = zc;
            codes.clear();
            forEachMask(
                k, zc, [&](char code) { codes += code; }, [] {});
            if (k == 0 || codes != previous) runStarts.push_back(k);
            previous.swap(codes);
            zc += 0.5 * data.LayerDz[k];
        }
    }
    const std::string blockLine = CFormat("%4d %4d", static_cast<int>(nz), static_cast<int>(nz));
    std::string text;
    // Room for the whole file: the header, two smoothing lines, and per block its index line and
    // three bytes a cell.
    text.reserve(2048 + 2 * 5 * nz + runStarts.size() * (blockLine.size() + 2 + nx * (3 * ny + 2)));
    for (const char* line : kCovarianceHeader) text += std::string(line) + kEol;
    text += kEol;
    text +=
        CFormat("%10d%10d%10d", static_cast<int>(nx), static_cast<int>(ny), static_cast<int>(nz)) +
        kEol;
    text += kEol;
    for (const std::string* smoothing : {&s.ComboBox1, &s.ComboBox2}) {
        std::string field = CFormat("%5.2f", StrToFloatDef(*smoothing, 0.3));
        for (size_t k = 0; k < nz; ++k) text += field;
        text += kEol;
        text += kEol;
    }
    text += CFormat("%5.2f", StrToFloatDef(s.ComboBox3, 0.3)) + kEol;
    text += kEol;
    text += CFormat("%2d", 2) + kEol;
    text += kEol;
    text += CFormat("%4d", 0) + kEol;
    text += kEol;
    for (size_t r = 0; r < runStarts.size(); ++r) {
        const size_t first = runStarts[r];
        const size_t last = r + 1 < runStarts.size() ? runStarts[r + 1] : nz;
        text += CFormat("%4d %4d", static_cast<int>(first) + 1, static_cast<int>(last)) + kEol;
        forEachMask(
            first, zcMid[first],
            [&](char code) {
                text += "  ";
                text += code;
            },
            [&] { text += kEol; });
    }
    return text;
}

bool WriteText(const std::string& fileName, const std::string& text)
{
    try {
        WriteFileReplacing(fileName, text);
        return true;
    } catch (const EFCreateError&) {
        return false;
    }
}

}  // namespace

std::string ModelFlatText(const ModelSettings& s, const ModelData& data)
{
    return ModelText(s, data, nullptr);
}

std::string ModelTopoText(const ModelSettings& s, const ModelData& data,
                          const std::vector<float>& columns)
{
    return ModelText(s, data, &columns);
}

std::string CovarianceFlatText(const ModelSettings& s, const ModelData& data)
{
    return CovarianceText(s, data, nullptr);
}

std::string CovarianceTopoText(const ModelSettings& s, const ModelData& data,
                               const std::vector<float>& columns)
{
    return CovarianceText(s, data, &columns);
}

bool WriteModelFlat(const ModelSettings& s, const ModelData& data, const std::string& fileName)
{
    return WriteText(ChangeFileExt(fileName, ".m"), ModelFlatText(s, data));
}

bool WriteModelTopo(const ModelSettings& s, const ModelData& data, const std::string& fileName,
                    const TerrainProgress& progress)
{
    std::string text = ModelTopoText(s, data, ComputeColumnValues(s, data, progress));
    return WriteText(ChangeFileExt(fileName, ".m"), text);
}

bool WriteCovarianceFlat(const ModelSettings& s, const ModelData& data, const std::string& fileName)
{
    return WriteText(ChangeFileExt(fileName, ".cov"), CovarianceFlatText(s, data));
}

bool WriteCovarianceTopo(const ModelSettings& s, const ModelData& data, const std::string& fileName,
                         const TerrainProgress& progress)
{
    std::string text = CovarianceTopoText(s, data, ComputeColumnValues(s, data, progress));
    return WriteText(ChangeFileExt(fileName, ".cov"), text);
}

bool MeshWidthsUsable(const ModelData& data)
{
    auto usable = [](float w) { return std::isfinite(w) && w > 0; };
    size_t nz = LayerCount(data);
    return std::all_of(data.CellDx.begin(), data.CellDx.end(), usable) &&
           std::all_of(data.CellDy.begin(), data.CellDy.end(), usable) &&
           std::all_of(data.LayerDz.begin(), data.LayerDz.begin() + nz, usable);
}

namespace {

void RefuseUnusableModel(const ModelSettings& s, const ModelData& data)
{
    if (LayerCount(data) == 0) throw Exception(kNoLayerMessage);
    if (!MeshWidthsUsable(data)) throw Exception(kBadCellWidthMessage);
    ReadOrigin(s);
}

struct NamedText {
    std::string Name, Text;
};

// The model and covariance files of the chosen name, in the terrain form when there are terrain
// points.
std::vector<NamedText> ModelAndCovariance(const ModelSettings& s, const ModelData& data,
                                          const std::string& fileName,
                                          const TerrainProgress& progress)
{
    std::string model, covariance;
    if (data.TerrainCount() == 0) {
        model = ModelFlatText(s, data);
        covariance = CovarianceFlatText(s, data);
    } else {
        // Both files class the cells from the same column values.
        std::vector<float> columns = ComputeColumnValues(s, data, progress);
        model = ModelTopoText(s, data, columns);
        covariance = CovarianceTopoText(s, data, columns);
    }
    return {{ChangeFileExt(fileName, ".m"), std::move(model)},
            {ChangeFileExt(fileName, ".cov"), std::move(covariance)}};
}

// Every file is written to its temporary first; only when all of them were written do they
// replace the files. Returns the names that could not be written (then none is replaced).
std::vector<std::string> ReplaceTogether(const std::vector<NamedText>& files)
{
    std::vector<PreparedFile> prepared;
    std::vector<std::string> failed;
    for (const NamedText& file : files) {
        try {
            prepared.push_back(PrepareFileReplacing(file.Name, file.Text));
        } catch (const EFCreateError&) {
            failed.push_back(file.Name);
        }
    }
    if (!failed.empty()) {
        for (const PreparedFile& file : prepared) DiscardFileReplacing(file);
        return failed;
    }
    for (size_t i = 0; i < prepared.size(); ++i) {
        try {
            CommitFileReplacing(prepared[i]);
        } catch (const EFCreateError&) {
            failed.push_back(prepared[i].FileName);
            for (size_t k = i + 1; k < prepared.size(); ++k) DiscardFileReplacing(prepared[k]);
            break;
        }
    }
    return failed;
}

}  // namespace

std::vector<std::string> WriteModelFiles(const ModelSettings& s, const ModelData& data,
                                         const std::string& fileName,
                                         const TerrainProgress& progress)
{
    RefuseUnusableModel(s, data);
    return ReplaceTogether(ModelAndCovariance(s, data, fileName, progress));
}

std::vector<std::string> WriteModelFileSet(const std::vector<TxData>& transmitters,
                                           const ModelSettings& s, const ModelData& data,
                                           const std::string& fileName,
                                           const TerrainProgress& progress)
{
    RefuseUnusableModel(s, data);
    std::vector<NamedText> files = ModelAndCovariance(s, data, fileName, progress);
    files.push_back({ChangeFileExt(fileName, ".pri"), BackgroundModelText(transmitters, s, data)});
    return ReplaceTogether(files);
}

std::string BackgroundModelText(const std::vector<TxData>& transmitters, const ModelSettings& s,
                                const ModelData& data)
{
    double ex = 0, ey = 0, cx, cy, cz;
    if (!transmitters.empty()) {
        const TxData& tx = transmitters.front();
        ex = std::fabs(static_cast<double>(tx.Ax) - tx.Bx);
        ey = std::fabs(static_cast<double>(tx.Ay) - tx.By);
        cx = tx.Cx;
        cy = tx.Cy;
        cz = tx.Cz;
    } else {
        cx = StrToFloat(s.Edit3);
        cy = StrToFloat(s.Edit4);
        cz = StrToFloat(s.Edit7);
    }
    if (ex == 0) ex = data.Tag;
    double length = std::sqrt(ex * ex + ey * ey);
    size_t nz = LayerCount(data);
    std::string text = " Background RESIS MODEL";
    text += kEol;
    text += std::to_string(nz) + kEol;
    for (size_t k = 0; k < nz; ++k)
        text += CFormat("%12.2f%12.2f%12.2f%12.2f%12.2f",
                        std::min(static_cast<double>(data.LayerDz[k]), 1e6),
                        static_cast<double>(data.LayerRho[k]), 1.0, 1.0, 1.0) +
                kEol;
    text += CFormat("%12.2f%12.2f%12.1f%12.2f", 1.0, length, 1.0, 1.0) + kEol;
    text += CFormat("%12.2f%12.2f%12.2f", cx, cy, cz) + kEol;
    text += CFormat("%12d%12.2f%12.2f%12.2f", 2, 0.0, 0.0, 0.0) + kEol;
    return text;
}

bool WriteBackgroundModel(const std::vector<TxData>& transmitters, const ModelSettings& s,
                          const ModelData& data, const std::string& fileName)
{
    std::string text = BackgroundModelText(transmitters, s, data);
    return WriteText(ChangeFileExt(fileName, ".pri"), text);
}

std::string BoundaryText(const ModelData& data)
{
    size_t n = std::min(data.BoundaryX.size(), data.BoundaryY.size());
    // Sized first: a text that outgrows its room is copied into one twice as large.
    auto lineBytes = [&](size_t i) {
        return FixedFormatBytes(data.BoundaryX[i], 12, 1) +
               FixedFormatBytes(data.BoundaryY[i], 12, 1) + 3;
    };
    size_t bytes = 27 + (n > 0 ? lineBytes(0) : 0);
    for (size_t i = 0; i < n; ++i) bytes += lineBytes(i);
    std::string text;
    text.reserve(bytes);
    // A polygon without vertices has nothing to close: its file holds the count line only.
    text += CFormat("%12d %12d", n == 0 ? 0 : static_cast<int>(n) + 1, 1) + kEol;
    for (size_t i = 0; i < n; ++i)
        text += CFormat("%12.1f %12.1f", data.BoundaryX[i], data.BoundaryY[i]) + kEol;
    if (n > 0) text += CFormat("%12.1f %12.1f", data.BoundaryX[0], data.BoundaryY[0]) + kEol;
    return text;
}

void SaveBoundaryBln(const ModelData& data, const std::string& fileName)
{
    WriteFileReplacing(ChangeFileExt(fileName, ".bln"), BoundaryText(data));
}
