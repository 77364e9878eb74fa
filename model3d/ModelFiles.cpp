#include "model3d/ModelFiles.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/SafeFile.h"

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

// Told the cells of each layer as the layer's part of a text is done.
using LayerDone = std::function<void(size_t cells)>;

void ModelText(TextSink& text, const ModelSettings& s, const ModelData& data,
               const std::vector<float>* columns, const LayerDone& layerDone = {})
{
    Origin origin = ReadOrigin(s);
    std::vector<LayerValues> values = FormatLayerValues(data);
    size_t nx = data.CellDx.size(), ny = data.CellDy.size(), nz = values.size();
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
        if (layerDone) layerDone(nx * ny);
    }
    text += SeparatedField("%13.0f", origin.X) + SeparatedField("%13.0f", origin.Y) +
            SeparatedField("%13.0f", origin.Z) + kEol;
    text += SeparatedField("%13.0f", origin.Rotation) + kEol;
}

void CovarianceText(TextSink& text, const ModelSettings& s, const ModelData& data,
                    const std::vector<float>* columns, const LayerDone& layerDone = {})
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
    // Consecutive layers with the same masks share one block "k1 k2". The runs are found first,
    // as a block's line names its last layer before its masks.
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
            if (layerDone) layerDone(nx * ny);
        }
    }
    for (const char* line : kCovarianceHeader) text += std::string(line) + kEol;
    text += kEol;
    text +=
        CFormat("%10d%10d%10d", static_cast<int>(nx), static_cast<int>(ny), static_cast<int>(nz)) +
        kEol;
    text += kEol;
    for (const std::string* smoothing : {&s.ComboBox1, &s.ComboBox2}) {
        std::string field = SeparatedField("%5.2f", StrToFloatDef(*smoothing, 0.3));
        for (size_t k = 0; k < nz; ++k) text += field;
        text += kEol;
        text += kEol;
    }
    text += SeparatedField("%5.2f", StrToFloatDef(s.ComboBox3, 0.3)) + kEol;
    text += kEol;
    text += CFormat("%2d", 2) + kEol;
    text += kEol;
    text += CFormat("%4d", 0) + kEol;
    text += kEol;
    // The inversion code's reader stops after the block that ends at layer nz - 1, so that block
    // goes last and the single bottom layer after it is read first.
    std::vector<std::pair<size_t, size_t>> blocks;
    for (size_t r = 0; r < runStarts.size(); ++r)
        blocks.emplace_back(runStarts[r], r + 1 < runStarts.size() ? runStarts[r + 1] : nz);
    if (blocks.size() > 1 && blocks[blocks.size() - 2].second + 1 == nz)
        std::swap(blocks[blocks.size() - 2], blocks.back());
    for (const auto& [first, last] : blocks) {
        text += CFormat("%4d %4d", static_cast<int>(first) + 1, static_cast<int>(last)) + kEol;
        forEachMask(
            first, zcMid[first],
            [&](char code) {
                text += "  ";
                text += code;
            },
            [&] { text += kEol; });
    }
}

// The progress of a writer that may compute the terrain's column values and then writes its
// texts: the columns' units first, then those of the texts, each charged by its cells. The last
// report comes once every text is written, just before the files replace the old ones, so a stop
// asked for at any moment before that leaves every file as it was (TerrainCancelled).
class WriterProgress {
public:
    // The texts' units are at least 1, so that the last report is seen as the work's end.
    WriterProgress(const TerrainProgress& progress, size_t textUnits)
        : progress_(progress), text_(std::max<size_t>(textUnits, 1))
    {
    }

    // The reports of the column values, on the scale of the whole work.
    TerrainProgress Columns()
    {
        if (!progress_) return {};
        return [this](size_t done, size_t total) {
            columns_ = total;
            return progress_(done, total == 0 ? 0 : total + text_);
        };
    }
    void TextWritten(size_t units)
    {
        written_ += units;
        Report(columns_ + std::min(written_, text_));
    }
    // The reports of a text as its layers are done, perCell units a cell.
    LayerDone Layers(size_t perCell)
    {
        if (!progress_) return {};
        return [this, perCell](size_t cells) { TextWritten(cells * perCell); };
    }
    void BeforeCommit() { Report(columns_ + text_); }

private:
    void Report(size_t done)
    {
        if (progress_ && !progress_(done, columns_ + text_)) throw TerrainCancelled();
    }

    const TerrainProgress& progress_;
    size_t text_, columns_ = 0, written_ = 0;
};

// The units of work of a cell of a text. A unit of the column values is about the time of a term
// of their sums, on each of the processor's cores; the texts are written on one: a cell's value
// takes about 48 such terms, its mask about 10.
size_t UnitsPerCell(size_t terms)
{
    return terms * std::max(1u, std::thread::hardware_concurrency());
}
const size_t kValueUnits = UnitsPerCell(48), kMaskUnits = UnitsPerCell(10);

// The units of a text of every cell.
size_t CellUnits(const ModelData& data, size_t perCell)
{
    return data.CellDx.size() * data.CellDy.size() * LayerCount(data) * perCell;
}

// A file saved from a writer of its text; false when it cannot be written.
template <typename Writer>
bool WriteText(const std::string& fileName, Writer&& write, WriterProgress* progress = nullptr)
{
    try {
        SafeFile file(fileName);
        write(file);
        file.Finish();
        if (progress) progress->BeforeCommit();
        file.Commit();
        return true;
    } catch (const EFCreateError&) {
        return false;
    }
}

}  // namespace

std::string ModelFlatText(const ModelSettings& s, const ModelData& data)
{
    return TextOf([&](TextSink& text) { ModelText(text, s, data, nullptr); });
}

std::string ModelTopoText(const ModelSettings& s, const ModelData& data,
                          const std::vector<float>& columns)
{
    return TextOf([&](TextSink& text) { ModelText(text, s, data, &columns); });
}

std::string CovarianceFlatText(const ModelSettings& s, const ModelData& data)
{
    return TextOf([&](TextSink& text) { CovarianceText(text, s, data, nullptr); });
}

std::string CovarianceTopoText(const ModelSettings& s, const ModelData& data,
                               const std::vector<float>& columns)
{
    return TextOf([&](TextSink& text) { CovarianceText(text, s, data, &columns); });
}

bool WriteModelFlat(const ModelSettings& s, const ModelData& data, const std::string& fileName)
{
    return WriteText(ChangeFileExt(fileName, ".m"),
                     [&](TextSink& text) { ModelText(text, s, data, nullptr); });
}

namespace {

using TextWriter = void (*)(TextSink&, const ModelSettings&, const ModelData&,
                            const std::vector<float>*, const LayerDone&);

// A file of the terrain form alone: its column values, then its text of perCell units a cell, on
// one progress.
bool WriteTopoFile(const ModelSettings& s, const ModelData& data, const std::string& fileName,
                   TextWriter write, size_t perCell, const TerrainProgress& progress)
{
    WriterProgress meter(progress, CellUnits(data, perCell));
    const std::vector<float> columns = ComputeColumnValues(s, data, meter.Columns());
    return WriteText(
        fileName, [&](TextSink& text) { write(text, s, data, &columns, meter.Layers(perCell)); },
        &meter);
}

}  // namespace

bool WriteModelTopo(const ModelSettings& s, const ModelData& data, const std::string& fileName,
                    const TerrainProgress& progress)
{
    return WriteTopoFile(s, data, ChangeFileExt(fileName, ".m"), ModelText, kValueUnits, progress);
}

bool WriteCovarianceFlat(const ModelSettings& s, const ModelData& data, const std::string& fileName)
{
    return WriteText(ChangeFileExt(fileName, ".cov"),
                     [&](TextSink& text) { CovarianceText(text, s, data, nullptr); });
}

bool WriteCovarianceTopo(const ModelSettings& s, const ModelData& data, const std::string& fileName,
                         const TerrainProgress& progress)
{
    return WriteTopoFile(s, data, ChangeFileExt(fileName, ".cov"), CovarianceText, kMaskUnits,
                         progress);
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

// The model and covariance files of the chosen name, in the terrain form when there are terrain
// points (then both class the cells from the same column values), reporting on progress as their
// layers are written.
std::vector<FileInSet> ModelAndCovariance(const ModelSettings& s, const ModelData& data,
                                          const std::string& fileName,
                                          const std::shared_ptr<const std::vector<float>>& columns,
                                          WriterProgress& progress)
{
    const std::vector<float>* cells = columns.get();
    LayerDone values = progress.Layers(kValueUnits), masks = progress.Layers(kMaskUnits);
    return {{ChangeFileExt(fileName, ".m"),
             [&s, &data, cells, columns, values](TextSink& text) {
                 ModelText(text, s, data, cells, values);
             }},
            {ChangeFileExt(fileName, ".cov"), [&s, &data, cells, columns, masks](TextSink& text) {
                 CovarianceText(text, s, data, cells, masks);
             }}};
}

// The units of the model and covariance texts.
size_t TextUnits(const ModelData& data)
{
    return CellUnits(data, kValueUnits) + CellUnits(data, kMaskUnits);
}

std::shared_ptr<const std::vector<float>> ColumnsOf(const ModelSettings& s, const ModelData& data,
                                                    const TerrainProgress& progress)
{
    if (data.TerrainCount() == 0) return nullptr;
    return std::make_shared<const std::vector<float>>(ComputeColumnValues(s, data, progress));
}

}  // namespace

FileSetOutcome WriteModelFiles(const ModelSettings& s, const ModelData& data,
                               const std::string& fileName, const TerrainProgress& progress)
{
    RefuseUnusableModel(s, data);
    WriterProgress meter(progress, TextUnits(data));
    return WriteFileSet(
        ModelAndCovariance(s, data, fileName, ColumnsOf(s, data, meter.Columns()), meter),
        [&meter] { meter.BeforeCommit(); });
}

FileSetOutcome WriteModelFileSet(const std::vector<TxData>& transmitters, const ModelSettings& s,
                                 const ModelData& data, const std::string& fileName,
                                 const TerrainProgress& progress)
{
    RefuseUnusableModel(s, data);
    WriterProgress meter(progress, TextUnits(data));
    std::vector<FileInSet> files =
        ModelAndCovariance(s, data, fileName, ColumnsOf(s, data, meter.Columns()), meter);
    files.push_back({ChangeFileExt(fileName, ".pri"),
                     [&](TextSink& text) { BackgroundModelText(text, transmitters, s, data); }});
    return WriteFileSet(files, [&meter] { meter.BeforeCommit(); });
}

std::string BackgroundModelText(const std::vector<TxData>& transmitters, const ModelSettings& s,
                                const ModelData& data)
{
    return TextOf([&](TextSink& text) { BackgroundModelText(text, transmitters, s, data); });
}

void BackgroundModelText(TextSink& text, const std::vector<TxData>& transmitters,
                         const ModelSettings& s, const ModelData& data)
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
    text += " Background RESIS MODEL";
    text += kEol;
    text += std::to_string(nz) + kEol;
    for (size_t k = 0; k < nz; ++k) {
        for (double value : {std::min(static_cast<double>(data.LayerDz[k]), 1e6),
                             static_cast<double>(data.LayerRho[k]), 1.0, 1.0, 1.0})
            text += SeparatedField("%12.2f", value);
        text += kEol;
    }
    text += SeparatedField("%12.2f", 1.0) + SeparatedField("%12.2f", length) +
            SeparatedField("%12.1f", 1.0) + SeparatedField("%12.2f", 1.0) + kEol;
    for (double value : {cx, cy, cz}) text += SeparatedField("%12.2f", value);
    text += kEol;
    text += CFormat("%12d%12.2f%12.2f%12.2f", 2, 0.0, 0.0, 0.0) + kEol;
}

bool WriteBackgroundModel(const std::vector<TxData>& transmitters, const ModelSettings& s,
                          const ModelData& data, const std::string& fileName)
{
    return WriteText(ChangeFileExt(fileName, ".pri"),
                     [&](TextSink& text) { BackgroundModelText(text, transmitters, s, data); });
}

std::string BoundaryText(const ModelData& data)
{
    return TextOf([&](TextSink& text) { BoundaryText(text, data); });
}

void BoundaryText(TextSink& text, const ModelData& data)
{
    size_t n = std::min(data.BoundaryX.size(), data.BoundaryY.size());
    // A polygon without vertices has nothing to close: its file holds the count line only.
    text += CFormat("%12d %12d", n == 0 ? 0 : static_cast<int>(n) + 1, 1) + kEol;
    for (size_t i = 0; i < n; ++i)
        text += CFormat("%12.1f %12.1f", data.BoundaryX[i], data.BoundaryY[i]) + kEol;
    if (n > 0) text += CFormat("%12.1f %12.1f", data.BoundaryX[0], data.BoundaryY[0]) + kEol;
}

void SaveBoundaryBln(const ModelData& data, const std::string& fileName)
{
    SafeFile text(ChangeFileExt(fileName, ".bln"));
    BoundaryText(text, data);
    text.Commit();
}
