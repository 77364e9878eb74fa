#include "model3d/Terrain.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

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

// The sums over pairs of neighbours run on N neighbours at once, as many as the processor's
// widest registers hold. Each lane sums its own terms in the scheme's order and every operation
// rounds each lane as it would a single number, so no width changes a bit of the values.
constexpr size_t kMostLanes = 8;

template <size_t N>
struct LaneTypes {
    typedef double Double __attribute__((vector_size(N * sizeof(double))));
    typedef float Single __attribute__((vector_size(N * sizeof(float))));
    typedef long long Bits __attribute__((vector_size(N * sizeof(long long))));
};

// The helpers pass lanes by reference: by value they would depend on the instruction set.
template <typename V>
__attribute__((always_inline)) inline void LoadLanes(const double* p, V& v)
{
    std::memcpy(&v, p, sizeof v);
}

template <typename V>
__attribute__((always_inline)) inline void StoreLanes(double* p, const V& v)
{
    std::memcpy(p, &v, sizeof v);
}

// Rounds every lane to single precision, as the scheme rounds its cosines and slopes. Widened
// element by element: the vector builtin takes four instructions where this takes one.
template <size_t N>
__attribute__((always_inline)) inline void ThroughSingle(typename LaneTypes<N>::Double& v)
{
    typename LaneTypes<N>::Single f = __builtin_convertvector(v, typename LaneTypes<N>::Single);
    if constexpr (N == 8)
        v = typename LaneTypes<N>::Double{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    else if constexpr (N == 4)
        v = typename LaneTypes<N>::Double{f[0], f[1], f[2], f[3]};
    else
        v = typename LaneTypes<N>::Double{f[0], f[1]};
}

// The lane of neighbour l among k .. k + N - 1 set to +0, which leaves a sum as it was: the sums
// start at +0 and so never hold -0.
template <size_t N>
__attribute__((always_inline)) inline void WithoutLane(typename LaneTypes<N>::Double& v,
                                                       size_t lane)
{
    typedef typename LaneTypes<N>::Bits Bits;
    Bits index;
    for (size_t i = 0; i < N; ++i) index[i] = static_cast<long long>(i);
    v = (typename LaneTypes<N>::Double)((Bits)v & ~(index == static_cast<long long>(lane)));
}

// The neighbours of one query as columns of numbers, padded to whole lanes.
struct NeighbourColumns {
    size_t M = 0;
    std::vector<double> X, Y, Z, Ux, Uy, D, S, W, Num, Den, Sa, Sb, Sw;

    void Fill(const std::vector<int>& nb, const std::vector<float>& d, float xq, float yq,
              const float* tx, const float* ty, const float* tz)
    {
        M = nb.size();
        size_t padded = (M + kMostLanes - 1) / kMostLanes * kMostLanes;
        for (std::vector<double>* v : {&X, &Y, &Z, &Ux, &Uy, &D, &S, &W, &Num, &Den, &Sa, &Sb, &Sw})
            v->assign(padded, 0.0);
        for (size_t k = M; k < padded; ++k) D[k] = 1;
        for (size_t k = 0; k < M; ++k) {
            X[k] = tx[nb[k]];
            Y[k] = ty[nb[k]];
            Z[k] = tz[nb[k]];
            Ux[k] = static_cast<double>(xq) - X[k];
            Uy[k] = static_cast<double>(yq) - Y[k];
            D[k] = d[k];
        }
    }
};

// The direction sums for neighbours k .. k + N - 1: over every other neighbour l, the
// weight of l times one less the cosine of the angle between them, and the weights of l.
template <size_t N, typename V = typename LaneTypes<N>::Double>
__attribute__((always_inline)) inline void DirectionTerm(const NeighbourColumns& c, size_t l,
                                                         const V& ux, const V& uy, const V& d,
                                                         V& num, V& den, size_t skipLane)
{
    V cosine = (ux * c.Ux[l] + uy * c.Uy[l]) / (d * c.D[l] + 1e-20);
    ThroughSingle<N>(cosine);
    V term = c.S[l] * (1.0 - cosine);
    V weight = V{} + c.S[l];
    if (skipLane < N) {
        WithoutLane<N>(term, skipLane);
        WithoutLane<N>(weight, skipLane);
    }
    num += term;
    den += weight;
}

// The gradient sums for neighbours k .. k + N - 1.
template <size_t N, typename V = typename LaneTypes<N>::Double>
__attribute__((always_inline)) inline void GradientTerm(const NeighbourColumns& c, size_t l,
                                                        const V& x, const V& y, const V& z, V& sa,
                                                        V& sb, V& sw, size_t skipLane)
{
    V dx = x - c.X[l], dy = y - c.Y[l];
    // The scheme's w (xl - xk) q with both signs turned, which changes no bit and saves the
    // differences the other way round.
    V q = (z - c.Z[l]) / (dx * dx + dy * dy + 1e-20);
    ThroughSingle<N>(q);
    V ta = c.W[l] * dx * q, tb = c.W[l] * dy * q;
    V weight = V{} + c.W[l];
    if (skipLane < N) {
        WithoutLane<N>(ta, skipLane);
        WithoutLane<N>(tb, skipLane);
        WithoutLane<N>(weight, skipLane);
    }
    sa += ta;
    sb += tb;
    sw += weight;
}

// The sums for every neighbour, counted on meter as each run of N neighbours is done (the m
// terms of each); false when the meter asks to stop.
template <size_t N>
__attribute__((always_inline)) inline bool PairSumsBody(NeighbourColumns& c, bool gradients,
                                                        const WorkMeter& meter)
{
    typedef typename LaneTypes<N>::Double V;
    const size_t m = c.M;
    for (size_t k = 0; k < m; k += N) {
        size_t own = std::min(k + N, m);
        if (meter && !meter((own - k) * m)) return false;
        if (!gradients) {
            V ux, uy, d, num{}, den{};
            LoadLanes(&c.Ux[k], ux);
            LoadLanes(&c.Uy[k], uy);
            LoadLanes(&c.D[k], d);
            for (size_t l = 0; l < k; ++l) DirectionTerm<N>(c, l, ux, uy, d, num, den, N);
            for (size_t l = k; l < own; ++l) DirectionTerm<N>(c, l, ux, uy, d, num, den, l - k);
            for (size_t l = own; l < m; ++l) DirectionTerm<N>(c, l, ux, uy, d, num, den, N);
            StoreLanes(&c.Num[k], num);
            StoreLanes(&c.Den[k], den);
        } else {
            V x, y, z, sa{}, sb{}, sw{};
            LoadLanes(&c.X[k], x);
            LoadLanes(&c.Y[k], y);
            LoadLanes(&c.Z[k], z);
            for (size_t l = 0; l < k; ++l) GradientTerm<N>(c, l, x, y, z, sa, sb, sw, N);
            for (size_t l = k; l < own; ++l) GradientTerm<N>(c, l, x, y, z, sa, sb, sw, l - k);
            for (size_t l = own; l < m; ++l) GradientTerm<N>(c, l, x, y, z, sa, sb, sw, N);
            StoreLanes(&c.Sa[k], sa);
            StoreLanes(&c.Sb[k], sb);
            StoreLanes(&c.Sw[k], sw);
        }
    }
    return true;
}

__attribute__((target("avx512f,avx512dq"))) bool PairSums8(NeighbourColumns& c, bool gradients,
                                                           const WorkMeter& meter)
{
    return PairSumsBody<8>(c, gradients, meter);
}

__attribute__((target("avx2"))) bool PairSums4(NeighbourColumns& c, bool gradients,
                                               const WorkMeter& meter)
{
    return PairSumsBody<4>(c, gradients, meter);
}

bool PairSums2(NeighbourColumns& c, bool gradients, const WorkMeter& meter)
{
    return PairSumsBody<2>(c, gradients, meter);
}

bool PairSums(NeighbourColumns& c, bool gradients, const WorkMeter& meter)
{
    static const int widest =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq")
            ? 8
            : (__builtin_cpu_supports("avx2") ? 4 : 2);
    if (widest == 8) return PairSums8(c, gradients, meter);
    if (widest == 4) return PairSums4(c, gradients, meter);
    return PairSums2(c, gradients, meter);
}

// Steps 4 to 10 of the scheme over the neighbours (in ascending point order) and their distances.
// The sums over pairs of neighbours cost the square of their count; they are counted on meter as
// they are done, and false, without a value, means the meter asked to stop.
bool NeighbourValue(const std::vector<int>& nb, const std::vector<float>& d, float r, float xq,
                    float yq, const float* tx, const float* ty, const float* tz, float zMin,
                    float zMax, float& value, const WorkMeter& meter = {})
{
    size_t m = nb.size();
    if (m == 1) {
        value = tz[nb[0]];
        return true;
    }
    thread_local NeighbourColumns c;
    c.Fill(nb, d, xq, yq, tx, ty, tz);
    for (size_t k = 0; k < m; ++k) {
        double dk = d[k];
        float s;
        if (std::sqrt(dk) <= r / 3.0)
            s = static_cast<float>(1.0 / (dk + 1e-20));
        else {
            double a = dk / r - 1;
            s = static_cast<float>(27.0 * a * a / (4.0 * dk + 1e-20));
        }
        c.S[k] = s;
    }
    if (!PairSums(c, false, meter)) return false;
    for (size_t k = 0; k < m; ++k) {
        float t = static_cast<float>(c.Num[k] / (c.Den[k] + 1e-20));
        c.W[k] = Weight(c.S[k] * c.S[k] * (1.0 + t));
    }
    if (!PairSums(c, true, meter)) return false;
    thread_local std::vector<float> a, b;
    a.resize(m);
    b.resize(m);
    double most = 0;
    for (size_t k = 0; k < m; ++k) {
        // Neighbours that all weigh nothing give no gradient.
        double sw = c.Sw[k];
        a[k] = sw > 0 ? static_cast<float>(c.Sa[k] / sw) : 0.0f;
        b[k] = sw > 0 ? static_cast<float>(c.Sb[k] / sw) : 0.0f;
        most = std::max(most, static_cast<double>(a[k]) * a[k] + static_cast<double>(b[k]) * b[k]);
    }
    double nu = 0.1 * (static_cast<double>(zMax) - zMin) / std::sqrt(std::fabs(most) + 1e-20);
    double sum = 0, weights = 0, plain = 0;
    for (size_t k = 0; k < m; ++k) {
        float delta =
            static_cast<float>((a[k] * c.Ux[k] + b[k] * c.Uy[k]) * nu / (nu + d[k] + 1e-15));
        sum += c.W[k] * (c.Z[k] + delta);
        weights += c.W[k];
        plain += c.Z[k];
    }
    if (!(weights > 0))
        value = static_cast<float>(plain / m);
    else if (sum / weights > 1e20)
        value = 0.0f;
    else
        value = static_cast<float>(sum / (weights + 1e-20));
    return true;
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
    return NeighbourValue(nb, nd, r, xq, yq, tx, ty, tz, zMin, zMax, value);
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
    Search search;
    return Find(xq, yq, r0, search, pending) && Value(xq, yq, search, value);
}

bool TerrainInterpolator::Find(float xq, float yq, float r0, Search& search,
                               const PendingMessages& pending) const
{
    search.Radius = search.Within = 0;
    search.ScanAll = false;
    search.Count = search.Listed = 0;
    if (n_ <= 0) return false;
    if (n_ == 1) {
        search.Count = search.Listed = 1;
        search.Nearby[0] = {Distance(x_[0], y_[0], xq, yq), 0};
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
    search.Radius = r;
    search.Within = used;
    search.ScanAll = scanAll;
    if (scanAll) {
        for (int i = 0; i < n_; ++i)
            if (Distance(x_[i], y_[i], xq, yq) <= used) ++search.Count;
        return true;
    }
    for (int i = 0; i < count; ++i)
        if (found[i].D <= used) search.Nearby[search.Listed++] = found[i];
    std::sort(search.Nearby, search.Nearby + search.Listed,
              [](const Near& p, const Near& q) { return p.Index < q.Index; });
    search.Count = search.Listed;
    return true;
}

namespace {

// A unit is about the time of one term of the sums over pairs of neighbours. Besides those, a
// column costs its set-up, a share per neighbour (weights, corrections) and, where its neighbours
// are found by a scan, a share per point scanned.
constexpr size_t kColumnUnits = 256;
constexpr size_t kNeighbourUnits = 48;
constexpr size_t kScannedPointUnits = 6;
// From this many neighbours on a column's work is counted as it goes.
constexpr size_t kSteppedNeighbours = 64;

}  // namespace

size_t TerrainInterpolator::Cost(const Search& search) const
{
    const size_t m = static_cast<size_t>(search.Count);
    return kColumnUnits + kNeighbourUnits * m + 2 * m * m +
           (search.ScanAll ? kScannedPointUnits * static_cast<size_t>(n_) : 0);
}

bool TerrainInterpolator::Value(float xq, float yq, const Search& search, float& value,
                                const WorkMeter& meter) const
{
    value = 0;
    if (search.Count <= 0) return false;
    // Columns of few neighbours are counted whole at their end, the others as their sums go on.
    const size_t m = static_cast<size_t>(search.Count);
    const bool inSteps = meter && m >= kSteppedNeighbours;
    size_t counted = 0;
    thread_local std::vector<int> nb;
    thread_local std::vector<float> nd;
    nb.clear();
    nd.clear();
    if (search.ScanAll) {
        for (int i = 0; i < n_; ++i) {
            float dist = Distance(x_[i], y_[i], xq, yq);
            if (dist <= search.Within) {
                nb.push_back(i);
                nd.push_back(dist);
            }
        }
        counted = kScannedPointUnits * static_cast<size_t>(n_);
        if (inSteps && !meter(counted)) return false;
    } else {
        for (int i = 0; i < search.Listed; ++i) {
            nb.push_back(search.Nearby[i].Index);
            nd.push_back(search.Nearby[i].D);
        }
    }
    static const WorkMeter none;
    if (!NeighbourValue(nb, nd, search.Radius, xq, yq, x_, y_, z_, zMin_, zMax_, value,
                        inSteps ? meter : none))
        return false;
    // The rest of the column's cost, so that every column counts exactly its cost.
    if (!inSteps)
        counted = 0;
    else if (m > 1)
        counted += 2 * m * m;
    return !meter || meter(Cost(search) - counted);
}

TerrainCancelled::TerrainCancelled() : Exception(kTerrainCancelledMessage) {}

const char* const kTerrainCancelledMessage = "Operation aborted";

namespace {

// The centres of cells laid side by side from origin, summed in single precision cell by cell.
std::vector<float> CellCentres(float origin, const std::vector<float>& widths)
{
    std::vector<float> centres;
    centres.reserve(widths.size());
    float c = origin;
    for (float w : widths) {
        c += 0.5f * w;
        centres.push_back(c);
        c += 0.5f * w;
    }
    return centres;
}

// Runs items(first, last) over the items below count on all the processor's cores, in small runs
// taken in turn so that a run of costly items does not leave the others idle. The calling thread
// only calls look() at the start and about every 20 ms: it may run window messages, which belong
// to this thread. A look that throws, or sets stop, ends the work once every worker has left its
// run (runs are to watch stop themselves); the error is passed on then.
void OnEveryCore(size_t count, std::atomic<bool>& stop,
                 const std::function<void(size_t first, size_t last)>& items,
                 const std::function<void()>& look)
{
    const size_t run = 16;
    std::atomic<size_t> next{0};
    std::mutex lock;
    std::condition_variable finished;
    size_t running = 0;
    std::exception_ptr failure;
    auto fail = [&] {
        std::lock_guard<std::mutex> guard(lock);
        if (!failure) failure = std::current_exception();
        stop = true;
    };
    auto work = [&] {
        try {
            for (size_t first; !stop && (first = next.fetch_add(run)) < count;)
                items(first, std::min(first + run, count));
        } catch (...) {
            fail();
        }
    };
    try {
        look();
    } catch (...) {
        fail();
    }

    size_t wanted = std::max(1u, std::thread::hardware_concurrency());
    wanted = std::min(wanted, (count + run - 1) / run);
    std::vector<std::thread> workers;
    workers.reserve(wanted);
    for (size_t i = 0; i < wanted && !stop; ++i) {
        {
            std::lock_guard<std::mutex> guard(lock);
            ++running;
        }
        try {
            workers.emplace_back([&] {
                work();
                std::lock_guard<std::mutex> guard(lock);
                --running;
                finished.notify_one();
            });
        } catch (const std::system_error&) {
            // No more threads to be had: those started do the work.
            std::lock_guard<std::mutex> guard(lock);
            --running;
            break;
        }
    }
    if (workers.empty()) work();
    std::unique_lock<std::mutex> guard(lock);
    while (!finished.wait_for(guard, std::chrono::milliseconds(20), [&] { return running == 0; })) {
        if (stop) continue;
        guard.unlock();
        try {
            look();
        } catch (...) {
            guard.lock();
            if (!failure) failure = std::current_exception();
            stop = true;
            continue;
        }
        guard.lock();
    }
    guard.unlock();
    for (std::thread& worker : workers) worker.join();
    if (failure) std::rethrow_exception(failure);
}

// A worker's count of work done, added to the shared count in batches, so that the workers do not
// contend for it on every neighbour.
class WorkCount {
public:
    WorkCount(std::atomic<size_t>& shared, const std::atomic<bool>& stop)
        : shared_(shared), stop_(stop)
    {
    }
    ~WorkCount() { shared_ += pending_; }
    WorkCount(const WorkCount&) = delete;
    WorkCount& operator=(const WorkCount&) = delete;

    bool Add(size_t units)
    {
        pending_ += units;
        if (pending_ >= kBatch) {
            shared_ += pending_;
            pending_ = 0;
        }
        return !stop_.load(std::memory_order_relaxed);
    }

private:
    static constexpr size_t kBatch = 1 << 14;
    std::atomic<size_t>& shared_;
    const std::atomic<bool>& stop_;
    size_t pending_ = 0;
};

}  // namespace

std::vector<float> ComputeColumnValues(const ModelSettings& settings, const ModelData& data,
                                       const TerrainProgress& progress)
{
    float originX = static_cast<float>(StrToFloat(settings.MxRefEdit));
    float originY = static_cast<float>(StrToFloat(settings.MyRefEdit));
    size_t nx = data.CellDx.size(), ny = data.CellDy.size();
    std::vector<float> values(nx * ny, 0.0f);
    int n = static_cast<int>(
        std::min({data.TerrainX.size(), data.TerrainY.size(), data.TerrainZ.size()}));
    if (n == 0 || values.empty()) return values;
    const TerrainInterpolator terrain(data.TerrainX.data(), data.TerrainY.data(),
                                      data.TerrainZ.data(), n);
    const float r0 = n >= 2 ? static_cast<float>(2.0 * Distance(data.TerrainX[1], data.TerrainY[1],
                                                                data.TerrainX[0], data.TerrainY[0]))
                            : 0.0f;
    const std::vector<float> xs = CellCentres(originX, data.CellDx);
    const std::vector<float> ys = CellCentres(originY, data.CellDy);
    const size_t columns = values.size();
    std::atomic<bool> stop{false};
    auto goOn = [&](size_t done, size_t total) {
        if (progress && !progress(done, total)) stop = true;
    };

    // First the neighbours of every column, which tell what its value costs: the columns whose
    // search takes a crowd of points at once cost many times the others. Find sets whatever of a
    // search is read later, so the searches are not cleared first.
    std::unique_ptr<TerrainInterpolator::Search[]> searches(
        new TerrainInterpolator::Search[columns]);
    OnEveryCore(
        columns, stop,
        [&](size_t first, size_t last) {
            for (size_t c = first; c < last && !stop; ++c)
                if (!terrain.Find(xs[c % nx], ys[c / nx], r0, searches[c])) searches[c].Count = 0;
        },
        [&] { goOn(0, 0); });
    if (stop) throw TerrainCancelled();
    size_t total = 0;
    for (size_t c = 0; c < columns; ++c)
        if (searches[c].Count > 0) total += terrain.Cost(searches[c]);

    // Then the values, the work counted as it is done, within a column too.
    std::atomic<size_t> done{0};
    OnEveryCore(
        columns, stop,
        [&](size_t first, size_t last) {
            WorkCount count(done, stop);
            const WorkMeter meter = [&count](size_t units) { return count.Add(units); };
            for (size_t c = first; c < last; ++c) {
                float v;
                // A column without neighbours keeps 0; a stop leaves the run.
                if (searches[c].Count > 0 &&
                    !terrain.Value(xs[c % nx], ys[c / nx], searches[c], v, meter))
                    return;
                if (searches[c].Count > 0) values[c] = v;
            }
        },
        [&] { goOn(std::min<size_t>(done, total), total); });
    if (stop) throw TerrainCancelled();
    goOn(total, total);
    if (stop) throw TerrainCancelled();
    return values;
}

CellClass ClassifyCell(double zc, float v)
{
    // Elevations grow upward, depths downward: the surface lies at depth -v.
    double surface = -static_cast<double>(v);
    if (zc > surface) return CellClass::Earth;
    return zc < 0 ? CellClass::Air : CellClass::Ocean;
}
