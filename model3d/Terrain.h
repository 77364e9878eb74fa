#pragma once
// Terrain: points loaded from position files, Shepard interpolation of a value for every column
// of the mesh, and the class (earth, air, ocean) of each cell.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "model3d/ModelData.h"

// Lets pending window messages run during a single interpolation; called after every change of
// the search radius.
using PendingMessages = std::function<void()>;

// How far the column values have got: done of total units of work, each column charged by what
// its value costs (see TerrainInterpolator::Cost); total 0 while the columns' costs are being
// found. It is called from the thread that asked for the values, at the start, about every 20 ms
// while the work runs and at the end; returning false stops the work.
using TerrainProgress = std::function<bool(size_t done, size_t total)>;

// Counts units of work as they are done; false asks the work to stop.
using WorkMeter = std::function<bool(size_t units)>;

// The column values were stopped through their progress callback.
extern const char* const kTerrainCancelledMessage;  // "Operation aborted"
class TerrainCancelled : public Exception {
public:
    TerrainCancelled();
};

// "加载地形": replaces the terrain points by those of a position file (label, x, y, z per line;
// lines that do not hold three numbers after the label are skipped). NotOpened leaves the points
// as they were; NoPoint leaves none, so the model is built without terrain.
enum class TerrainLoad { NotOpened, NoPoint, Loaded };
TerrainLoad LoadTerrainFile(const std::string& fileName, ModelData& data);

// Twice the horizontal distance between the first two points; when those coincide, between the
// first point and the first one elsewhere; 1 when there is no such point.
float StartingRadius(const float* x, const float* y, int n);

// Shepard interpolation with an adaptive search radius, a direction factor and gradient
// corrections. Every pass scans all points. False when there is no point (or the search does
// not settle); one point, or one neighbour, gives that point's value. A radius r0 that is not
// positive is replaced by StartingRadius.
bool ShepardInterpolate(float x, float y, const float* tx, const float* ty, const float* tz, int n,
                        float r0, float& value, const PendingMessages& pending = {});

// The same interpolation over a bucket grid of the points: it finds the same neighbours and
// gives the same values as ShepardInterpolate, without scanning every point in every pass.
class TerrainInterpolator {
public:
    TerrainInterpolator(const float* x, const float* y, const float* z, int n);
    bool Interpolate(float xq, float yq, float r0, float& value,
                     const PendingMessages& pending = {}) const;

    struct Near {
        float D;
        int Index;
    };
    // The neighbours the radius search settles on for a query.
    struct Search {
        float Radius = 0;      // the radius after the last change, which the weights take
        float Within = 0;      // the radius of the last pass: the neighbours lie within it
        bool ScanAll = false;  // the neighbours are found by a scan of every point
        int Count = 0;         // how many there are
        int Listed = 0;        // how many of them Nearby holds (all, unless ScanAll)
        Near Nearby[15];       // by ascending point index (more than 15 make the search go on)
    };
    // Interpolate in two steps: the search, false when there is no point or it does not settle;
    // then the value from its neighbours, which counts its work on meter as it goes and gives
    // false, without a value, when the meter asks it to stop.
    bool Find(float xq, float yq, float r0, Search& search,
              const PendingMessages& pending = {}) const;
    bool Value(float xq, float yq, const Search& search, float& value,
               const WorkMeter& meter = {}) const;
    // The units of work Value counts for a search, a unit about the time of one term of its sums
    // over pairs of neighbours: those cost the square of the neighbours' count, a scan of every
    // point a few units a point, and every column a share of its own.
    size_t Cost(const Search& search) const;

private:
    int Nearest(float xq, float yq, Near* found) const;

    const float *x_, *y_, *z_;
    int n_;
    float zMin_ = 0, zMax_ = 0;
    double x0_ = 0, y0_ = 0, h_ = 1;
    int gx_ = 1, gy_ = 1;
    std::vector<int> cellStart_, cellPoints_;
};

// The terrain value of every column of the mesh (index j * nx + i), at the unrotated column
// centres; zeros when there is no terrain point. The origin texts must be numbers. The columns
// are shared among all the processor's cores, first to find their neighbours and cost, then their
// values; TerrainCancelled when progress asks to stop, which the workers see within a fraction of
// a column.
std::vector<float> ComputeColumnValues(const ModelSettings& settings, const ModelData& data,
                                       const TerrainProgress& progress = {});

// A cell whose centre depth zc (growing downward) lies below the surface of elevation v is earth;
// above it, air when above depth 0 and ocean from depth 0 down.
enum class CellClass { Earth, Air, Ocean };
CellClass ClassifyCell(double zc, float v);
