#pragma once
// What the MTD and Z-file writers share: the static-shift factor of a station, its curves with the
// optional near-zone correction, and the samples that the row count selects.

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
