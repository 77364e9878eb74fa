#include "export/StationRows.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/StationNumber.h"
#include "export/ExportErrors.h"
#include "processing/NearFieldCorrection.h"

StaticFactorIndex::StaticFactorIndex(const std::vector<SECF>& factors)
{
    if (!factors.empty()) fallback_ = factors.front().Factor;
    first_.reserve(factors.size());
    for (const SECF& f : factors) first_.emplace(f.Name, f.Factor);
}

float StaticFactorIndex::FactorOf(const std::string& name) const
{
    auto it = first_.find(name);
    return it == first_.end() ? fallback_ : it->second;
}

void ExportCurves(const SurveyStore& store, const StationCurveIndex& index, const std::string& name,
                  bool correct, StationCurves& curves)
{
    ComputeStationCurves(store, index, name, curves);
    if (!correct) return;
    std::vector<size_t> order =
        CorrectNearTransitionZone(curves.Freq, curves.RhoMT, curves.RhoExHyN, curves.Distance);
    if (order.size() == curves.PhaseDiff.size()) ApplyOrder(order, curves.PhaseDiff);
}

std::vector<size_t> SelectRows(int pointCount, size_t frequencyCount, size_t sampleCount, int count)
{
    float step = ToSingle(CheckedDiv(pointCount, count));
    if (step < 0.01f) step = 0.5f;
    std::vector<size_t> rows;
    for (float pos = 0; pos < static_cast<double>(frequencyCount);) {
        const size_t k = static_cast<size_t>(pos);
        if (k >= sampleCount) break;
        rows.push_back(k);
        const float next = pos + step;
        // Far beyond any real station's length a small step no longer moves pos.
        if (next == pos) break;
        pos = next;
    }
    return rows;
}

bool StationNamesAreNumbers(const SurveyStore& store)
{
    return !store.ExStations.empty() &&
           std::all_of(store.ExStations.begin(), store.ExStations.end(),
                       [](const TStation& s) { return IsPlainDecimalNumber(s.Name); });
}

StationRange::StationRange(const SurveyStore& store, const std::string& first,
                           const std::string& last)
    : numeric_(StationNamesAreNumbers(store)), first_(first), last_(last)
{
    if (!numeric_) return;
    low_ = StrToFloat(first);
    high_ = StrToFloat(last);
}

bool StationRange::Contains(const std::string& name) const
{
    if (!numeric_) return !(name < first_ || last_ < name);
    const double value = PlainDecimalValue(name);
    return !(value < low_) && !(value > high_);
}

const char* NoRowsReason(const SurveyStore& store, const StationCurveIndex& index,
                         const std::function<bool(const TStation&)>& inRange)
{
    std::vector<const TStation*> inside;
    for (const TStation& s : store.ExStations)
        if (inRange(s)) inside.push_back(&s);
    if (inside.empty()) return kNoStationInRangeMessage;
    if (store.HyStations.empty()) return kNoHyStationMessage;
    if (store.Transmitters.empty()) return kNoTransmitterMessage;
    StationCurves curves;
    for (const TStation* s : inside) {
        ComputeStationCurves(store, index, s->Name, curves);
        if (!curves.Freq.empty()) return nullptr;
    }
    return kNoSampleInRangeMessage;
}
