#include "processing/StationCurves.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/FloatMath.h"
#include "processing/CheckedChain.h"

namespace {

constexpr double kFreqTolerance = 1e-8;  // Hz
constexpr double kMinHyAmplitude = 1e-18;

// Samples of a station: entries present in all three lists that the curves read.
size_t SampleCount(const TStation& station)
{
    return std::min(
        {station.Amplitude.X.size(), station.Amplitude.Y.size(), station.Phase.Y.size()});
}

// Finds the first sample of a station within the frequency tolerance, in time logarithmic in the
// station's samples: the distinct frequencies sorted, each with its first sample, and a tree of
// the smallest sample over ranges of them. The frequencies within the tolerance of one are a run
// of the sorted ones, so that repeated or close frequencies cost a lookup no more than one.
class FrequencyMatcher {
public:
    explicit FrequencyMatcher(const TStation& station)
    {
        size_t n = SampleCount(station);
        std::vector<std::pair<double, size_t>> sorted;
        sorted.reserve(n);
        for (size_t b = 0; b < n; ++b) {
            double f = station.Amplitude.X[b];
            if (!std::isnan(f)) sorted.emplace_back(f, b);
        }
        std::sort(sorted.begin(), sorted.end());
        std::vector<size_t> first;  // the first sample of each distinct frequency
        for (const auto& [f, b] : sorted) {
            if (!freq_.empty() && freq_.back() == f) continue;  // a later sample of the frequency
            freq_.push_back(f);
            first.push_back(b);
        }
        // Those as the leaves of the tree, each inner node the smaller of its two.
        const size_t m = freq_.size();
        tree_.resize(m);
        tree_.insert(tree_.end(), first.begin(), first.end());
        for (size_t i = m; i-- > 1;) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }

    // Index of the first sample b with |f - X[b]| < 1e-8, or -1.
    long FirstMatch(double f) const
    {
        auto matches = [f](double x) { return std::fabs(f - x) < kFreqTolerance; };
        // The run: after the frequencies below f that do not match, up to the first one at or
        // above f that does not.
        size_t from = static_cast<size_t>(
            std::partition_point(freq_.begin(), freq_.end(),
                                 [&](double x) { return x < f && !matches(x); }) -
            freq_.begin());
        size_t to = static_cast<size_t>(
            std::partition_point(freq_.begin() + static_cast<long>(from), freq_.end(),
                                 [&](double x) { return x < f || matches(x); }) -
            freq_.begin());
        size_t best = static_cast<size_t>(-1);
        for (size_t lo = from + freq_.size(), hi = to + freq_.size(); lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) best = std::min(best, tree_[lo++]);
            if (hi & 1) best = std::min(best, tree_[--hi]);
        }
        return from < to ? static_cast<long>(best) : -1;
    }

private:
    std::vector<double> freq_;  // distinct, ascending
    std::vector<size_t> tree_;  // the smallest first sample over ranges of freq_, as a heap
};

double Value(double v)
{
    return v;
}
double Value(const CheckedChain& chain)
{
    return chain.Value();
}

void ClearCurves(StationCurves& curves)
{
    curves.Freq.clear();
    curves.RhoExN.clear();
    curves.RhoExF.clear();
    curves.RhoHyF.clear();
    curves.RhoExHyN.clear();
    curves.RhoMT.clear();
    curves.PhaseDiff.clear();
}

// Appends the kept samples of one Ex station and sets Distance.
void AddStationSamples(const TStation& ex, const TStation& hy, const TxData& tx,
                       StationCurves& curves)
{
    const double ax = tx.Ax, ay = tx.Ay, bx = tx.Bx, by = tx.By;
    double ab = CheckedSqrt(Checked((ax - bx) * (ax - bx) + (ay - by) * (ay - by)));
    if (ab < 1e-10) ab = 1.0;

    const double dx = Checked(double(ex.Info.X) - tx.Cx);
    const double dy = Checked(double(ex.Info.Y) - tx.Cy);
    const double phi = std::atan(CheckedDiv(dx, dy + 1e-15));
    const double r = CheckedSqrt(Checked(dx * dx + dy * dy));
    const double cos2 = std::cos(phi) * std::cos(phi);
    const double c1 = std::fabs(3 * cos2 - 1);
    const double c2 = std::fabs(3 * cos2 - 2);
    const double k = NearZoneFactor(r);
    const double rk = 0.001 * r;

    const FrequencyMatcher matcher(hy);
    const size_t n = SampleCount(ex);
    for (size_t s = 0; s < n; ++s) {
        const double f = ex.Amplitude.X[s];
        const double e = ex.Amplitude.Y[s];
        const double phaseE = ex.Phase.Y[s];
        long b = matcher.FirstMatch(f);
        double h = 0.0, phaseH = 0.0;
        if (b >= 0) {
            h = hy.Amplitude.Y[b];
            phaseH = hy.Phase.Y[b];
        }
        if (!(h >= kMinHyAmplitude)) continue;

        const double eSingle = ToSingle(e * 1e-6);
        // Plain arithmetic first; only a non-finite result is evaluated again step by step, so
        // that the step that failed raises its own error.
        double rho[5];
        auto evaluate = [&](auto one) {
            rho[0] = Value(one * 0.2 / f * e / h * e / h);
            rho[1] = Value(one * 1.2566370614359172 * k * r * 0.001 * e / h);
            rho[2] = Value(one * 6.283185307179586 * r / ab * r * r * eSingle / c1);
            rho[3] = Value(one * 6.283185307179586 * r / ab * r * r * eSingle / c2);
            rho[4] = Value(one * 9.869604401089358 * f * 2 * rk * rk * rk / ab * rk * rk * rk / ab *
                           h * h * 1e7 / c2 / c2);
        };
        evaluate(1.0);
        if (!std::all_of(rho, rho + 5, [](double v) { return std::isfinite(v); }))
            evaluate(CheckedChain(1.0));
        const double rhoMT = rho[0], rhoExHyN = rho[1], rhoExN = rho[2], rhoExF = rho[3],
                     rhoHyF = rho[4];
        const double phaseDiff = Checked(phaseE - phaseH);

        curves.Freq.push_back(f);
        curves.RhoExN.push_back(rhoExN);
        curves.RhoExF.push_back(rhoExF);
        curves.RhoHyF.push_back(rhoHyF);
        curves.RhoExHyN.push_back(rhoExHyN);
        curves.RhoMT.push_back(rhoMT);
        curves.PhaseDiff.push_back(phaseDiff);
    }
    curves.Distance = r;
}

template <typename List>
long FirstNamed(const List& list, const std::string& name)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Name == name) return static_cast<long>(i);
    return -1;
}

}  // namespace

StationCurveIndex::StationCurveIndex(const SurveyStore& store) : StationCurveIndex(store, true) {}

StationCurveIndex StationCurveIndex::Pairing(const SurveyStore& store)
{
    return StationCurveIndex(store, false);
}

StationCurveIndex::StationCurveIndex(const SurveyStore& store, bool exStations)
{
    // The tables take their room at once instead of rehashing as they fill.
    if (exStations) {
        ex_.reserve(store.ExStations.size());
        for (size_t i = 0; i < store.ExStations.size(); ++i)
            ex_[store.ExStations[i].Name].push_back(i);
    }
    hy_.reserve(store.HyStations.size());
    for (size_t i = 0; i < store.HyStations.size(); ++i) hy_.emplace(store.HyStations[i].Name, i);
    tx_.reserve(store.Transmitters.size());
    for (size_t i = 0; i < store.Transmitters.size(); ++i)
        tx_.emplace(store.Transmitters[i].Name, i);
}

const std::vector<size_t>& StationCurveIndex::ExStationsNamed(const std::string& name) const
{
    static const std::vector<size_t> none;
    auto it = ex_.find(name);
    return it == ex_.end() ? none : it->second;
}

long StationCurveIndex::FirstHyNamed(const std::string& name) const
{
    auto it = hy_.find(name);
    return it == hy_.end() ? -1 : static_cast<long>(it->second);
}

long StationCurveIndex::FirstTransmitterNamed(const std::string& name) const
{
    auto it = tx_.find(name);
    return it == tx_.end() ? -1 : static_cast<long>(it->second);
}

void ComputeStationCurves(const SurveyStore& store, const std::string& StationName,
                          StationCurves& curves)
{
    // The name may live in the store's own records; copy it before anything else.
    const std::string name = StationName;
    ClearCurves(curves);
    if (store.HyStations.empty() || store.Transmitters.empty()) return;
    for (const TStation& ex : store.ExStations) {
        if (ex.Name != name) continue;
        long hy = FirstNamed(store.HyStations, ex.Info.HyName);
        const TStation& hyStation = store.HyStations[hy < 0 ? 0 : hy];
        long tx = FirstNamed(store.Transmitters, hyStation.Info.TxName);
        AddStationSamples(ex, hyStation, store.Transmitters[tx < 0 ? 0 : tx], curves);
    }
}

void ComputeStationCurves(const SurveyStore& store, const StationCurveIndex& index,
                          const std::string& StationName, StationCurves& curves)
{
    const std::string name = StationName;
    ClearCurves(curves);
    if (store.HyStations.empty() || store.Transmitters.empty()) return;
    for (size_t i : index.ExStationsNamed(name)) {
        const TStation& ex = store.ExStations[i];
        long hy = index.FirstHyNamed(ex.Info.HyName);
        const TStation& hyStation = store.HyStations[hy < 0 ? 0 : hy];
        long tx = index.FirstTransmitterNamed(hyStation.Info.TxName);
        AddStationSamples(ex, hyStation, store.Transmitters[tx < 0 ? 0 : tx], curves);
    }
}

double NearZoneFactor(double r)
{
    static const double x[16] = {0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 5, 6, 8, 10, 12, 14, 17, 20};
    static const double y[16] = {2.52,  1.41,  1.05,  0.899, 0.806, 0.755, 0.724, 0.702,
                                 0.677, 0.663, 0.648, 0.641, 0.638, 0.634, 0.634, 0.633};
    if (!(r > 0.5)) return 2.52;
    if (r > 20) return 0.633;
    for (int i = 0; i < 15; ++i) {
        if (x[i] < r && r <= x[i + 1]) {
            const double w = x[i + 1] - x[i];
            return (x[i + 1] - r) / w * y[i] + (r - x[i]) / w * y[i + 1];
        }
    }
    return 0.633;  // not reached: the segments cover (0.5, 20]
}
