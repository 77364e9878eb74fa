#pragma once
// The points a model is built around: the Ex stations of the survey, or the receivers of the
// first block of an IMP file used as a template; and the defaults the builder derives from them.
#include <string>
#include <vector>

#include "survey/SurveyStore.h"

struct ModelPoints {
    std::vector<double> X, Y, Z;
    int Count() const { return static_cast<int>(X.size()); }
};

struct ModelTemplate {
    ModelPoints Points;  // empty unless the X, Y and Z lines were all read
    int LongHeader = 0;  // 1 when the block line carried the source centre
    double Cx = 0, Cy = 0, Cz = 0;
};

// Reads the first transmitter block of an IMP file. A file that cannot be opened or whose layout
// does not fit leaves the template (or its points) empty; a token that must be a number and is not
// raises the conversion error, naming the file and the line.
ModelTemplate ReadModelTemplate(const std::string& fileName);

// Position and elevation of every Ex station, in list order.
ModelPoints GatherStationPoints(const SurveyStore& store);

// The source length typed into the length prompt; 1000 when it is not a number that fits the
// dialog's whole-metre length.
double SourceLengthFromText(const std::string& text);

// The presets of the builder's geometry and coordinate controls derived from the points; EOverflow
// when the points spread too wide for the integer presets. The regular cells of each direction are
// the smallest whole metres whose 50 cells span the points' extent and 2 m more, centred on the
// points; the origin lies the boundary cells (their count and growth ratio, as the presets give
// them) before them.
struct ModelDefaults {
    double XMin = 1e10, XMax = -1e10, YMin = 1e10, YMax = -1e10;
    double Dx = 0, Dy = 0;                   // 2 % of the extents, unrounded (they give Dz)
    int DxText = 0, DyText = 0, DzText = 0;  // the integer values shown in Dx, Dy and Dz; >= 1
    double OriginX = 0, OriginY = 0;         // the first boundary cell's outer edge
    std::string DxMin, DxMax, DyMin, DyMax, MxRefEdit, MyRefEdit;  // in "#.0"
};
ModelDefaults ComputeModelDefaults(const ModelPoints& points, int boundaryCellsX = 5,
                                   int boundaryCellsY = 5, double ratioX = 2.0,
                                   double ratioY = 2.0);

// Presets a settings record the way the builder command does (geometry, origin and, when a centre
// is known, the source edits).
struct ModelSettings;
void ApplyModelDefaults(const ModelDefaults& defaults, ModelSettings& settings);
