#pragma once
// What the correction viewer shows of one station and the resistivity comparison file it writes.

#include <cstddef>
#include <string>
#include <vector>

#include "processing/StationCurves.h"
#include "survey/SurveyStore.h"

struct CorrectionCurves {
    // After the correction: Freq, RhoExHyN and the corrected RhoMT by descending frequency; the
    // other lists in stored sample order.
    StationCurves Curves;
    std::vector<double> StoredFreq;     // frequencies in stored sample order
    std::vector<double> UncorrectedMT;  // "MT" before the correction, stored sample order
    std::vector<size_t> Order;          // Curves.Freq[k] is the stored sample Order[k]
};

// The station curves of the name, corrected by CorrectNearTransitionZone. Raises what those two
// raise.
void ComputeCorrectionCurves(const SurveyStore& store, const std::string& stationName,
                             CorrectionCurves& result);

// The station name followed by "_RES_COMP.TXT".
std::string ResistivityComparisonFileName(const std::string& stationName);

// The two header lines and one row per sample in stored order: its frequency, its "MT" before
// the correction, its near-zone value and its corrected value, each line ending in CR LF.
std::string ResistivityComparisonText(const CorrectionCurves& curves);

// Writes that text to the file (replacing it whole); false when it cannot be written, and the
// file then stays as it was.
bool WriteResistivityComparisonFile(const std::string& fileName, const CorrectionCurves& curves);
