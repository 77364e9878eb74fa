#include "processing/StaticShift.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/SafeFile.h"
#include "processing/CheckedChain.h"
#include "processing/StationCurves.h"

namespace {

constexpr double kFreqTolerance = 1e-8;  // Hz

// Amplitude of the first of the first n samples within the tolerance of f, or 0 when none.
double AmplitudeAt(const TStation& station, size_t n, double f)
{
    n = std::min({n, station.Amplitude.X.size(), station.Amplitude.Y.size()});
    for (size_t k = 0; k < n; ++k)
        if (std::fabs(station.Amplitude.X[k] - f) < kFreqTolerance) return station.Amplitude.Y[k];
    return 0.0;
}

double CurrentAt(const TxData& tx, double f)
{
    for (const FIP& fip : tx.FipList)
        if (std::fabs(fip.Freq - f) < kFreqTolerance) return fip.Current == 0 ? 1.0 : fip.Current;
    return 1.0;
}

// The first point whose X equals v, or null.
const StaticShiftPoint* PointAt(const std::vector<StaticShiftPoint>& points, double v)
{
    auto it = std::lower_bound(points.begin(), points.end(), v,
                               [](const StaticShiftPoint& p, double x) { return p.X < x; });
    return it != points.end() && it->X == v ? &*it : nullptr;
}

void SortByX(std::vector<StaticShiftPoint>& points)
{
    std::stable_sort(
        points.begin(), points.end(),
        [](const StaticShiftPoint& a, const StaticShiftPoint& b) { return a.X < b.X; });
}

std::string General(double value)
{
    return CFormat("%g", value);
}

}  // namespace

bool StaticShiftReferenceFrequency(const SurveyStore& store, double& fref)
{
    if (store.ExStations.empty() || store.ExStations[0].Amplitude.X.empty()) return false;
    std::vector<float> freqs = store.ExStations[0].Amplitude.X;
    freqs.erase(std::remove_if(freqs.begin(), freqs.end(), [](float f) { return std::isnan(f); }),
                freqs.end());
    if (freqs.empty()) return false;
    std::stable_sort(freqs.begin(), freqs.end(), [](float a, float b) { return a > b; });
    long index = std::clamp<long>(store.RefFreqIndex, 0, static_cast<long>(freqs.size()) - 1);
    fref = freqs[index];
    return true;
}

std::vector<StaticShiftValue> ComputeStaticShiftValues(const SurveyStore& store)
{
    std::vector<StaticShiftValue> values;
    double fref;
    if (store.HyStations.empty() || store.Transmitters.empty()) return values;
    if (!StaticShiftReferenceFrequency(store, fref)) return values;

    const StationCurveIndex index = StationCurveIndex::Pairing(store);
    for (size_t i = 0; i < store.ExStations.size(); ++i) {
        ReportProgress(i, store.ExStations.size());
        const TStation& ex = store.ExStations[i];
        const size_t count = static_cast<size_t>(std::max(ex.Amplitude.Count, 0));
        const double e = AmplitudeAt(ex, count, fref);
        if (e == 0) continue;
        long hyIndex = index.FirstHyNamed(ex.Info.HyName);
        const TStation& hy = store.HyStations[hyIndex < 0 ? 0 : hyIndex];
        const double h = AmplitudeAt(hy, hy.Amplitude.X.size(), fref);
        if (h == 0) continue;
        const double mt = (CheckedChain(0.2) / fref * e / h * e / h).Value();

        long txIndex = index.FirstTransmitterNamed(hy.Info.TxName);
        const TxData& tx = store.Transmitters[txIndex < 0 ? 0 : txIndex];
        const double ax = tx.Ax, ay = tx.Ay, bx = tx.Bx, by = tx.By;
        double ab = CheckedSqrt(Checked((ax - bx) * (ax - bx) + (ay - by) * (ay - by)));
        if (ab < 1e-5) ab = 1.0;
        const double current = CurrentAt(tx, fref);
        const double m = ab * current;

        const double dx = Checked(double(hy.Info.X) - tx.Cx);
        const double dy = Checked(double(hy.Info.Y) - tx.Cy);
        const double phi = std::atan(CheckedDiv(dx, dy + 1e-15));
        const double rk = 0.001 * CheckedSqrt(Checked(dx * dx + dy * dy));
        const double c = 3 * std::cos(phi) * std::cos(phi) - 2;
        const double ref = (CheckedChain(9.869604401089358) * fref * 2 * rk * rk * rk / m *
                            current * rk * rk * rk / m * current * h * h * 1e7 / c / c)
                               .Value();
        values.push_back({i, mt, ref});
    }
    ReportWorkDone();
    return values;
}

void PlaceStaticShiftPoints(const SurveyStore& store, const std::vector<StaticShiftValue>& values,
                            std::vector<StaticShiftPoint>& points)
{
    try {
        for (const StaticShiftValue& v : values) {
            const double x = StrToFloat(store.ExStations[v.Station].Name);
            points.push_back({v.Station, x, v.MT, v.MT, v.REF, CheckedDiv(v.MT, v.MT)});
        }
    } catch (...) {
        SortByX(points);
        throw;
    }
    SortByX(points);
}

void DragStaticShiftPoint(StaticShiftPoint& point, double value)
{
    point.MT = value;
    point.SEC = CheckedDiv(value, point.MTRaw + 1e-15);
}

void ApplyStaticShiftFactors(SurveyStore& store, const std::vector<StaticShiftPoint>& points)
{
    for (SECF& entry : store.StaticFactors) {
        const StaticShiftPoint* p = PointAt(points, StrToFloat(entry.Name));
        if (p) entry.Factor = ToSingle(p->SEC);
    }
}

namespace {

void WriteStaticShiftText(TextSink& text, const std::vector<SECF>& factors,
                          const std::vector<StaticShiftPoint>& points)
{
    text += "STN    MT      REF     REF/MT\r\n";
    for (const SECF& entry : factors) {
        text += entry.Name + " ";
        const StaticShiftPoint* p = PointAt(points, StrToFloat(entry.Name));
        if (p)
            text += General(p->MT) + " " + General(p->MTRaw) + " " +
                    General(static_cast<double>(entry.Factor));
        text += "\r\n";
    }
}

}  // namespace

std::string StaticShiftFileText(const std::vector<SECF>& factors,
                                const std::vector<StaticShiftPoint>& points)
{
    return TextOf([&](TextSink& text) { WriteStaticShiftText(text, factors, points); });
}

bool WriteStaticShiftFile(const std::string& fileName, const std::vector<SECF>& factors,
                          const std::vector<StaticShiftPoint>& points)
{
    try {
        SafeFile file(fileName);
        WriteStaticShiftText(file, factors, points);
        file.Commit();
    } catch (const EFCreateError&) {
        return false;
    }
    return true;
}
