#include "model3d/Terrain.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/Convert.h"
#include "survey/TextLines.h"

TerrainLoad LoadTerrainFile(const std::string& fileName, ModelData& data)
{
    TextStream stream;
    if (!stream.Open(fileName)) return TerrainLoad::NotOpened;
    std::vector<float> xs, ys, zs;
    std::string line;
    std::vector<std::string> fields;
    while (stream.ReadLine(line)) {
        SplitFields(line, fields);
        if (fields.size() < 4) continue;
        double v[3];
        bool ok = true;
        for (int k = 0; k < 3 && ok; ++k)
            ok = TryStrToFloat(fields[k + 1], v[k]) && std::fabs(v[k]) <= FLT_MAX;
        if (!ok) continue;
        xs.push_back(static_cast<float>(v[0]));
        ys.push_back(static_cast<float>(v[1]));
        zs.push_back(static_cast<float>(v[2]));
    }
    data.TerrainX = std::move(xs);
    data.TerrainY = std::move(ys);
    data.TerrainZ = std::move(zs);
    return data.TerrainX.empty() ? TerrainLoad::NoPoint : TerrainLoad::Loaded;
}

PendingMessages EveryInterval(PendingMessages pending, std::chrono::milliseconds interval)
{
    if (!pending) return pending;
    using Clock = std::chrono::steady_clock;
    return [pending = std::move(pending), interval, calls = 0u, last = Clock::now()]() mutable {
        // A call comes every few hundred nanoseconds of work: reading the clock on each would
        // cost a good part of it.
        if (++calls % 32 != 0) return;
        Clock::time_point now = Clock::now();
        if (now - last < interval) return;
        pending();
        last = Clock::now();
    };
}

namespace {

constexpr int kMostNeighbours = 15;
constexpr int kFewestNeighbours = 4;
constexpr int kForcedPass = 150;  // from here on any point within the radius will do
constexpr int kLastPass = 10000;  // a radius that grows by 10 % reaches any distance long before

inline float Distance(float xi, float yi, float xq, float yq)
{
    double dx = static_cast<double>(xi) - xq, dy = static_cast<double>(yi) - yq;
    return static_cast<float>(std::sqrt(std::fabs(dx * dx + dy * dy)));
}

inline float Shrunk(float r)
{
    return static_cast<float>(r * 0.9);
}
inline float Grown(float r)
{
    return static_cast<float>(r * 1.1);
}

// A weight in single precision, or wider where single precision cannot hold it (a query on a
// terrain point).
inline double Weight(double w)
{
    return w <= FLT_MAX ? static_cast<double>(static_cast<float>(w)) : w;
}

// Steps 4 to 10 of the scheme over the neighbours (in ascending point order) and their distances.
float NeighbourValue(const std::vector<int>& nb, const std::vector<float>& d, float r, float xq,
                     float yq, const float* tx, const float* ty, const float* tz, float zMin,
                     float zMax)
{
    size_t m = nb.size();
    if (m == 1) return tz[nb[0]];
    std::vector<float> s(m), t(m), delta(m);
    std::vector<double> w(m);
    for (size_t k = 0; k < m; ++k) {
        double dk = d[k];
        if (std::sqrt(dk) <= r / 3.0)
            s[k] = static_cast<float>(1.0 / (dk + 1e-20));
        else {
            double a = dk / r - 1;
            s[k] = static_cast<float>(27.0 * a * a / (4.0 * dk + 1e-20));
        }
    }
    for (size_t k = 0; k < m; ++k) {
        double num = 0, den = 0;
        double ux = static_cast<double>(xq) - tx[nb[k]], uy = static_cast<double>(yq) - ty[nb[k]];
        for (size_t l = 0; l < m; ++l) {
            if (l == k) continue;
            double vx = static_cast<double>(xq) - tx[nb[l]],
                   vy = static_cast<double>(yq) - ty[nb[l]];
            float cosKl = static_cast<float>((ux * vx + uy * vy) /
                                             (static_cast<double>(d[k]) * d[l] + 1e-20));
            num += s[l] * (1.0 - cosKl);
            den += s[l];
        }
        t[k] = static_cast<float>(num / (den + 1e-20));
        w[k] = Weight(static_cast<double>(s[k]) * s[k] * (1.0 + t[k]));
    }
    std::vector<float> a(m), b(m);
    double most = 0;
    for (size_t k = 0; k < m; ++k) {
        double sa = 0, sb = 0, sw = 0;
        double xk = tx[nb[k]], yk = ty[nb[k]], zk = tz[nb[k]];
        for (size_t l = 0; l < m; ++l) {
            if (l == k) continue;
            double xl = tx[nb[l]], yl = ty[nb[l]];
            double dx = xk - xl, dy = yk - yl;
            float q = static_cast<float>((tz[nb[l]] - zk) / (dx * dx + dy * dy + 1e-20));
            sa += w[l] * (xl - xk) * q;
            sb += w[l] * (yl - yk) * q;
            sw += w[l];
        }
        // Neighbours that all weigh nothing give no gradient.
        a[k] = sw > 0 ? static_cast<float>(sa / sw) : 0.0f;
        b[k] = sw > 0 ? static_cast<float>(sb / sw) : 0.0f;
        most = std::max(most, static_cast<double>(a[k]) * a[k] + static_cast<double>(b[k]) * b[k]);
    }
    double nu = 0.1 * (static_cast<double>(zMax) - zMin) / std::sqrt(std::fabs(most) + 1e-20);
    double sum = 0, weights = 0, plain = 0;
    for (size_t k = 0; k < m; ++k) {
        double ux = static_cast<double>(xq) - tx[nb[k]], uy = static_cast<double>(yq) - ty[nb[k]];
        delta[k] = static_cast<float>((a[k] * ux + b[k] * uy) * nu / (nu + d[k] + 1e-15));
        sum += w[k] * (static_cast<double>(tz[nb[k]]) + delta[k]);
        weights += w[k];
        plain += tz[nb[k]];
    }
    if (!(weights > 0)) return static_cast<float>(plain / m);
    if (sum / weights > 1e20) return 0.0f;
    return static_cast<float>(sum / (weights + 1e-20));
}

void ZRange(const float* tz, int n, float& zMin, float& zMax)
{
    zMin = zMax = tz[0];
    for (int i = 1; i < n; ++i) {
        zMin = std::min(zMin, tz[i]);
        zMax = std::max(zMax, tz[i]);
    }
}

inline float UsableRadius(float r0, const float* tx, const float* ty, int n)
{
    return (r0 > 0 && r0 <= FLT_MAX) ? r0 : StartingRadius(tx, ty, n);
}

}  // namespace

float StartingRadius(const float* x, const float* y, int n)
{
    for (int i = 1; i < n; ++i) {
        float d = static_cast<float>(2.0 * Distance(x[i], y[i], x[0], y[0]));
        if (d > 0 && d <= FLT_MAX) return d;
    }
    return 1.0f;
}

bool ShepardInterpolate(float xq, float yq, const float* tx, const float* ty, const float* tz,
                        int n, float r0, float& value, const PendingMessages& pending)
{
    value = 0;
    if (n <= 0) return false;
    if (n == 1) {
        value = tz[0];
        return true;
    }
    std::vector<float> d(n);
    for (int i = 0; i < n; ++i) d[i] = Distance(tx[i], ty[i], xq, yq);
    float zMin, zMax;
    ZRange(tz, n, zMin, zMax);
    float r = UsableRadius(r0, tx, ty, n);
    std::vector<int> nb;
    std::vector<float> nd;
    for (int pass = 1;; ++pass) {
        nb.clear();
        nd.clear();
        for (int i = 0; i < n; ++i)
            if (d[i] <= r) {
                nb.push_back(i);
                nd.push_back(d[i]);
            }
        int m = static_cast<int>(nb.size());
        if (m > kMostNeighbours)
            r = Shrunk(r);
        else if (m < kFewestNeighbours)
            r = Grown(r);
        else
            break;
        if (pending) pending();
        if (pass > kForcedPass && m > 0) break;
        if (pass >= kLastPass) return false;
    }
    value = NeighbourValue(nb, nd, r, xq, yq, tx, ty, tz, zMin, zMax);
    return true;
}

TerrainInterpolator::TerrainInterpolator(const float* x, const float* y, const float* z, int n)
    : x_(x), y_(y), z_(z), n_(std::max(n, 0))
{
    if (n_ == 0) return;
    ZRange(z, n_, zMin_, zMax_);
    double xMin = x[0], xMax = x[0], yMin = y[0], yMax = y[0];
    for (int i = 1; i < n_; ++i) {
        xMin = std::min(xMin, static_cast<double>(x[i]));
        xMax = std::max(xMax, static_cast<double>(x[i]));
        yMin = std::min(yMin, static_cast<double>(y[i]));
        yMax = std::max(yMax, static_cast<double>(y[i]));
    }
    double w = xMax - xMin, hgt = yMax - yMin;
    // About two points to a cell; a line of points gets cells along the line.
    double h = std::sqrt(w * hgt * 2.0 / n_);
    if (!(h > 0)) h = std::max(w, hgt) * 2.0 / n_;
    if (!(h > 0) || !std::isfinite(h)) h = 1;
    const double kMostCells = 4096;
    h = std::max({h, w / kMostCells, hgt / kMostCells});
    h_ = h;
    x0_ = xMin;
    y0_ = yMin;
    gx_ = static_cast<int>(w / h) + 1;
    gy_ = static_cast<int>(hgt / h) + 1;
    std::vector<int> cellOf(n_);
    cellStart_.assign(static_cast<size_t>(gx_) * gy_ + 1, 0);
    for (int i = 0; i < n_; ++i) {
        int cx = std::clamp(static_cast<int>((x[i] - x0_) / h_), 0, gx_ - 1);
        int cy = std::clamp(static_cast<int>((y[i] - y0_) / h_), 0, gy_ - 1);
        cellOf[i] = cy * gx_ + cx;
        ++cellStart_[cellOf[i] + 1];
    }
    for (size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
    cellPoints_.resize(n_);
    std::vector<int> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (int i = 0; i < n_; ++i) cellPoints_[fill[cellOf[i]]++] = i;
}

// The (up to) sixteen nearest points, by ascending distance.
int TerrainInterpolator::Nearest(float xq, float yq, Near* found) const
{
    const int k = kMostNeighbours + 1;
    int count = 0;
    double fx = (xq - x0_) / h_, fy = (yq - y0_) / h_;
    // The query's cell, which may lie outside the grid.
    long long cx = static_cast<long long>(std::floor(std::clamp(fx, -1e15, 1e15)));
    long long cy = static_cast<long long>(std::floor(std::clamp(fy, -1e15, 1e15)));
    auto outside = [](long long c, long long limit) {
        return c < 0 ? -c : (c >= limit ? c - limit + 1 : 0);
    };
    long long first = std::max(outside(cx, gx_), outside(cy, gy_));
    long long last = std::max({cx + 1, gx_ - cx, cy + 1, gy_ - cy}) + 1;
    auto visit = [&](long long i, long long j) {
        if (i < 0 || j < 0 || i >= gx_ || j >= gy_) return;
        size_t cell = static_cast<size_t>(j * gx_ + i);
        for (int p = cellStart_[cell]; p < cellStart_[cell + 1]; ++p) {
            int idx = cellPoints_[p];
            float dist = Distance(x_[idx], y_[idx], xq, yq);
            if (count == k && dist >= found[k - 1].D) continue;
            int pos = count < k ? count++ : k - 1;
            while (pos > 0 && found[pos - 1].D > dist) {
                found[pos] = found[pos - 1];
                --pos;
            }
            found[pos] = {dist, idx};
        }
    };
    for (long long r = first; r <= last; ++r) {
        // Every cell of ring r lies at least (r - 1) cell widths from the query.
        if (count == k && (r - 1) * h_ > found[k - 1].D * (1 + 1e-6) + 1e-9 * h_) break;
        if (r == 0) {
            visit(cx, cy);
            continue;
        }
        // Only the sides of the ring that cross the grid are walked: a narrow grid of a few
        // points spread far apart would otherwise cost the square of its length per query.
        auto inside = [](long long c, long long limit) { return c >= 0 && c < limit; };
        bool below = inside(cy - r, gy_), above = inside(cy + r, gy_);
        bool left = inside(cx - r, gx_), right = inside(cx + r, gx_);
        long long i0 = std::max(cx - r, 0LL), i1 = std::min(cx + r, gx_ - 1LL);
        long long j0 = std::max(cy - r + 1, 0LL), j1 = std::min(cy + r - 1, gy_ - 1LL);
        if (below || above) {
            for (long long i = i0; i <= i1; ++i) {
                if (below) visit(i, cy - r);
                if (above) visit(i, cy + r);
            }
        }
        if (left || right) {
            for (long long j = j0; j <= j1; ++j) {
                if (left) visit(cx - r, j);
                if (right) visit(cx + r, j);
            }
        }
    }
    return count;
}

bool TerrainInterpolator::Interpolate(float xq, float yq, float r0, float& value,
                                      const PendingMessages& pending) const
{
    value = 0;
    if (n_ <= 0) return false;
    if (n_ == 1) {
        value = z_[0];
        return true;
    }
    Near found[kMostNeighbours + 1];
    int count = Nearest(xq, yq, found);
    float r = UsableRadius(r0, x_, y_, n_);
    float used = r;
    bool scanAll = false;
    for (int pass = 1;; ++pass) {
        // The count within r decides the pass: more than 15 when the 16th nearest lies within it.
        bool many = count > kMostNeighbours && found[kMostNeighbours].D <= r;
        bool few = count < kFewestNeighbours || found[kFewestNeighbours - 1].D > r;
        bool any = found[0].D <= r;
        used = r;
        if (many)
            r = Shrunk(r);
        else if (few)
            r = Grown(r);
        else
            break;
        if (pending) pending();
        if (pass > kForcedPass && any) {
            scanAll = many;
            break;
        }
        if (pass >= kLastPass) return false;
    }
    std::vector<int> nb;
    std::vector<float> nd;
    if (scanAll) {
        for (int i = 0; i < n_; ++i) {
            float dist = Distance(x_[i], y_[i], xq, yq);
            if (dist <= used) {
                nb.push_back(i);
                nd.push_back(dist);
            }
        }
    } else {
        std::vector<Near> within;
        for (int i = 0; i < count; ++i)
            if (found[i].D <= used) within.push_back(found[i]);
        std::sort(within.begin(), within.end(),
                  [](const Near& p, const Near& q) { return p.Index < q.Index; });
        for (const Near& p : within) {
            nb.push_back(p.Index);
            nd.push_back(p.D);
        }
    }
    value = NeighbourValue(nb, nd, r, xq, yq, x_, y_, z_, zMin_, zMax_);
    return true;
}

std::vector<float> ComputeColumnValues(const ModelSettings& settings, const ModelData& data,
                                       const PendingMessages& pending)
{
    float originX = static_cast<float>(StrToFloat(settings.MxRefEdit));
    float originY = static_cast<float>(StrToFloat(settings.MyRefEdit));
    size_t nx = data.CellDx.size(), ny = data.CellDy.size();
    std::vector<float> values(nx * ny, 0.0f);
    int n = static_cast<int>(
        std::min({data.TerrainX.size(), data.TerrainY.size(), data.TerrainZ.size()}));
    if (n == 0) return values;
    TerrainInterpolator terrain(data.TerrainX.data(), data.TerrainY.data(), data.TerrainZ.data(),
                                n);
    float r0 = n >= 2 ? static_cast<float>(2.0 * Distance(data.TerrainX[1], data.TerrainY[1],
                                                          data.TerrainX[0], data.TerrainY[0]))
                      : 0.0f;
    float yc = originY;
    for (size_t j = 0; j < ny; ++j) {
        yc += 0.5f * data.CellDy[j];
        float xc = originX;
        for (size_t i = 0; i < nx; ++i) {
            xc += 0.5f * data.CellDx[i];
            float v;
            if (!terrain.Interpolate(xc, yc, r0, v, pending)) v = 0;
            values[j * nx + i] = v;
            xc += 0.5f * data.CellDx[i];
        }
        yc += 0.5f * data.CellDy[j];
    }
    return values;
}

CellClass ClassifyCell(double zc, float v)
{
    // Elevations grow upward, depths downward: the surface lies at depth -v.
    double surface = -static_cast<double>(v);
    if (zc > surface) return CellClass::Earth;
    return zc < 0 ? CellClass::Air : CellClass::Ocean;
}
