#pragma once
// What the MTD and Z-file writers share: the static-shift factor of a station, its curves with the
// optional near-zone correction, and the samples that the row count selects.

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "processing/StationCurves.h"
#include "survey/SurveyStore.h"

// The factor of the first StaticFactors entry with a station's name, else that of the first
// entry; 1.0 when the list is empty.
class StaticFactorIndex {
public:
    explicit StaticFactorIndex(const std::vector<SECF>& factors);
    float FactorOf(const std::string& name) const;

private:
    std::unordered_map<std::string, float> first_;
    float fallback_ = 1.0f;
};

// The station curves of a name; with correct, RhoMT corrected and every list in descending
// frequency, PhaseDiff moved with the others so that one index keeps one sample.
void ExportCurves(const SurveyStore& store, const StationCurveIndex& index, const std::string& name,
                  bool correct, StationCurves& curves);

// Indices of the samples to write: step = pointCount / count in single precision (0.5 when
// below 0.01), pos from 0 by single-precision additions while pos < frequencyCount and
// trunc(pos) < sampleCount. count must not be 0.
std::vector<size_t> SelectRows(int pointCount, size_t frequencyCount, size_t sampleCount,
                               int count);

// Whether the store has Ex stations and every one of their names is a plain decimal number: the
// range lists are then in the order of the numbers and the range is one of values.
bool StationNamesAreNumbers(const SurveyStore& store);

// The output dialog's station range, first to last, both ends included. When
// StationNamesAreNumbers, the two texts are converted to numbers (EConvertError when one is not)
// and a name lies in the range by its value; otherwise names compare byte by byte as texts, a
// name that is the beginning of another being the smaller.
class StationRange {
public:
    StationRange(const SurveyStore& store, const std::string& first, const std::string& last);
    bool Contains(const std::string& name) const;

private:
    bool numeric_;
    std::string first_, last_;
    double low_ = 0, high_ = 0;
};

// Why the MTD or Z-file rows of the stations in the range would be none, as the message that says
// so: no station in the range, no Hy station, no transmitter, or no station in the range with a
// sample of the station curves. nullptr when some station in the range has a row. Stations are
// tried in store order.
const char* NoRowsReason(const SurveyStore& store, const StationCurveIndex& index,
                         const std::function<bool(const TStation&)>& inRange);
