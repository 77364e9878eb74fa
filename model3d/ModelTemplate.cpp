#include "model3d/ModelTemplate.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "model3d/ModelData.h"
#include "survey/TextLines.h"

namespace {

ModelTemplate ReadTemplate(const std::string& fileName, TextStream& stream)
{
    ModelTemplate result;
    std::string line;
    std::vector<std::string> fields;
    for (int i = 0; i < 4; ++i)
        if (!ReadNonBlankLine(stream, line)) return result;
    SplitFields(line, fields);
    int blocks = 0;
    if (!TryStrToInt(FieldOrEmpty(fields, 0), blocks) || blocks == 0) return result;

    if (!ReadNonBlankLine(stream, line)) return result;
    // A block line that is the file's last, unterminated line counts as cut short.
    const std::string& text = stream.Text();
    if (stream.AtEnd() && !text.empty() && text.back() != '\n') return result;
    SplitFields(line, fields);
    int n = 0;
    if (fields.size() == 3) {
        StrToInt(fields[1]);
        n = StrToInt(fields[2]);
        result.LongHeader = 0;
    } else if (fields.size() >= 8) {
        StrToInt(fields[1]);
        n = StrToInt(fields[2]);
        result.Cx = StrToFloat(fields[4]);
        result.Cy = StrToFloat(fields[5]);
        result.Cz = StrToFloat(fields[6]);
        result.LongHeader = 1;
    } else {
        return result;
    }

    // The point lines hold one value per receiver, however many the block has: they are taken
    // as views and converted in place.
    std::string_view xLine, yLine, zLine;
    if (!ReadNonBlankWholeLine(stream, xLine) || n <= 0) return result;
    // The x line must hold exactly one value per receiver; its values are counted as they are
    // converted.
    const size_t count = static_cast<size_t>(n);
    ModelPoints points;
    std::string xFailed, yFailed, zFailed;
    size_t xFields = 0;
    const bool xRead = ExactFieldNumbers(xLine, count, points.X, xFailed, xFields);
    if (xFields != count) return result;
    ReadNonBlankWholeLine(stream, yLine);
    ReadNonBlankWholeLine(stream, zLine);
    // The values are converted point by point, x, y, z: the first that fails in that order is
    // the one reported.
    const bool yRead = FieldNumbers(yLine, count, points.Y, yFailed);
    const bool zRead = FieldNumbers(zLine, count, points.Z, zFailed);
    // Short Y or Z lines would leave receivers without coordinates: no template then, whatever
    // the values hold. A line whose values all converted is long enough.
    if ((!yRead && CountFields(yLine) < count) || (!zRead && CountFields(zLine) < count))
        return result;
    if (!xRead || !yRead || !zRead) {
        const size_t first = std::min({points.X.size(), points.Y.size(), points.Z.size()});
        // Each value names the line it stands on, not the last one read.
        auto failedIn = [&](std::string_view pointLine, const std::string& text) {
            const size_t line = pointLine.data() ? stream.LineNumberAt(static_cast<size_t>(
                                                       pointLine.data() - stream.Text().data()))
                                                 : stream.LastLineNumber();
            return EConvertErrorInFile(InvalidFloat(text), fileName, line);
        };
        if (points.X.size() == first && !xRead) throw failedIn(xLine, xFailed);
        if (points.Y.size() == first && !yRead) throw failedIn(yLine, yFailed);
        throw failedIn(zLine, zFailed);
    }
    result.Points = std::move(points);
    return result;
}

}  // namespace

ModelTemplate ReadModelTemplate(const std::string& fileName)
{
    try {
        TextStream stream;
        if (!stream.Open(fileName)) return ModelTemplate();
        return NamingConversionErrorPlace(stream, fileName,
                                          [&] { return ReadTemplate(fileName, stream); });
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(fileName);
    }
}

ModelPoints GatherStationPoints(const SurveyStore& store)
{
    ModelPoints points;
    for (const TStation& station : store.ExStations) {
        points.X.push_back(station.Info.X);
        points.Y.push_back(station.Info.Y);
        points.Z.push_back(station.Info.Z);
    }
    return points;
}

double SourceLengthFromText(const std::string& text)
{
    double length = StrToFloatDef(text, 1000.0);
    // The dialog keeps the length in whole metres of a 32-bit integer.
    if (!(std::fabs(length) < 2147483648.0)) return 1000.0;
    return length;
}

namespace {

// The regular cells of each horizontal direction that the presets give.
constexpr int kPresetCells = 50;

// An extent too wide for the integer edits is refused with the floating-point error (EOverflow),
// so that the builder never shows a wrapped-around number.
int TruncatedToInt(double value)
{
    double whole = std::trunc(Checked(value));
    if (whole > INT_MAX || whole < INT_MIN) throw EOverflow();
    return static_cast<int>(whole);
}

// The regular width of a direction whose points spread over extent metres: the smallest whole
// number of metres whose regular cells span the extent and 2 m more. Centred, they hold every
// point at least 1 m inside, so that truncating the origin to whole metres (which moves it by
// less than 1 m) leaves every point inside them.
int CoveringWidth(double extent)
{
    const double span = Checked(extent) + 2.0;
    int width = std::max(TruncatedToInt(std::ceil(span / kPresetCells)), 1);
    // The division may round either way.
    while (width > 1 && kPresetCells * (width - 1.0) >= span) --width;
    while (kPresetCells * static_cast<double>(width) < span) width = TruncatedToInt(width + 1.0);
    return width;
}

}  // namespace

ModelDefaults ComputeModelDefaults(const ModelPoints& points, int boundaryCellsX,
                                   int boundaryCellsY, double ratioX, double ratioY)
{
    ModelDefaults d;
    for (int i = 0; i < points.Count(); ++i) {
        d.XMin = std::min(d.XMin, points.X[i]);
        d.XMax = std::max(d.XMax, points.X[i]);
        d.YMin = std::min(d.YMin, points.Y[i]);
        d.YMax = std::max(d.YMax, points.Y[i]);
    }
    d.Dx = 0.02 * (d.XMax - d.XMin);
    d.Dy = 0.02 * (d.YMax - d.YMin);
    const bool noX = !(d.XMax > d.XMin), noY = !(d.YMax > d.YMin);
    d.DxText = noX ? 0 : CoveringWidth(d.XMax - d.XMin);
    d.DyText = noY ? 0 : CoveringWidth(d.YMax - d.YMin);
    d.DzText = TruncatedToInt(d.Dx + d.Dy) / 2;
    // Points without extent in a direction (a single line, a single point) give no width there:
    // that direction takes the other one's width, or 1 m.
    if (noX) d.DxText = noY ? 1 : d.DyText;
    if (noY) d.DyText = d.DxText;
    if (d.DzText <= 0) d.DzText = 1;
    // The regular cells are centred on the points, the boundary cells as wide as the mesh builder
    // makes them from the shown widths.
    auto boundaryFactor = [](int k, double ratio) {
        double factor = 0, power = 1;
        for (int i = 0; i < k; ++i) factor += (power *= ratio);
        return factor;
    };
    const double factorX = boundaryFactor(boundaryCellsX, ratioX);
    const double factorY = boundaryFactor(boundaryCellsY, ratioY);
    d.OriginX = d.XMin + 0.5 * (d.XMax - d.XMin) - d.DxText * (0.5 * kPresetCells + factorX);
    d.OriginY = d.YMin + 0.5 * (d.YMax - d.YMin) - d.DyText * (0.5 * kPresetCells + factorY);
    d.DxMin = FormatFloat("#.0", d.XMin);
    d.DxMax = FormatFloat("#.0", d.XMax);
    d.DyMin = FormatFloat("#.0", d.YMin);
    d.DyMax = FormatFloat("#.0", d.YMax);
    d.MxRefEdit = FormatFloat("#.0", d.OriginX);
    d.MyRefEdit = FormatFloat("#.0", d.OriginY);
    return d;
}

void ApplyModelDefaults(const ModelDefaults& defaults, ModelSettings& s)
{
    s.Nx = kPresetCells;
    s.Dx = std::to_string(defaults.DxText);
    s.NxS = 5;
    s.NxScale = "2.0";
    s.Ny = kPresetCells;
    s.Dy = std::to_string(defaults.DyText);
    s.NyS = 5;
    s.NyScale = "2.0";
    s.Nz = 40;
    s.Dz = std::to_string(defaults.DzText);
    s.NzS = 5;
    s.NzScale = "1.5";
    s.MxRefEdit = defaults.MxRefEdit;
    s.MyRefEdit = defaults.MyRefEdit;
}
