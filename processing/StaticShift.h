#pragma once
// The arithmetic of the static-shift window: "MT" and "REF" at the reference frequency per Ex
// station, the points along the profile, dragging, the factors and "SEC.txt".

#include <cstddef>
#include <string>
#include <vector>

#include "survey/SurveyStore.h"

// Entry RefFreqIndex of the first Ex station's frequencies sorted in descending order; an index
// beyond them selects the lowest, a negative one the highest. False when there is no Ex station
// or the first has no frequency.
bool StaticShiftReferenceFrequency(const SurveyStore& store, double& fref);

struct StaticShiftValue {
    size_t Station;  // index into ExStations
    double MT;       // 0.2/fref·(E/H)²
    double REF;      // "Hy_F" at fref, at the paired Hy station's position
};

// The values of every Ex station, in list order, that has a non-zero amplitude at fref among its
// first Amplitude.Count samples and whose paired Hy station has one too. Empty without a
// reference frequency, a Hy station or a transmitter. A non-finite step raises EInvalidOp,
// EZeroDivide or EOverflow.
std::vector<StaticShiftValue> ComputeStaticShiftValues(const SurveyStore& store);

struct StaticShiftPoint {
    size_t Station;  // index into ExStations
    double X;        // the station name as a number
    double MT;       // "MT", moved by dragging
    double MTRaw;    // "MT-RAW", as computed
    double REF;      // "REF"
    double SEC;      // "SEC", MT / MTRaw
};

// Appends one point per value, converting the station names in list order, and leaves the points
// sorted by ascending X (stations of equal X in list order). A name that is not a number raises
// EConvertError; the points of the stations before it are then in place, sorted.
void PlaceStaticShiftPoints(const SurveyStore& store, const std::vector<StaticShiftValue>& values,
                            std::vector<StaticShiftPoint>& points);

// Moves a point's "MT" to a value; its "SEC" becomes value / (MTRaw + 1e-15).
void DragStaticShiftPoint(StaticShiftPoint& point, double value);

// Sets the Factor of every StaticFactors entry, in list order, whose name converts to the X of a
// point to that first such point's SEC (single precision); other entries keep theirs. A name that
// is not a number raises EConvertError, the entries before it keeping their new factors.
// The points are those PlaceStaticShiftPoints sorted.
void ApplyStaticShiftFactors(SurveyStore& store, const std::vector<StaticShiftPoint>& points);

// "SEC.txt": the header line and, per StaticFactors entry, its name and a blank, then for a
// station with a point its "MT", "MT-RAW" and factor, each line ending in CR LF. Numbers in
// general notation with six significant digits. Raises EConvertError as above.
std::string StaticShiftFileText(const std::vector<SECF>& factors,
                                const std::vector<StaticShiftPoint>& points);

// Writes that text to the file (replacing it whole); false when it cannot be written, and the
// file then stays as it was.
bool WriteStaticShiftFile(const std::string& fileName, const std::vector<SECF>& factors,
                          const std::vector<StaticShiftPoint>& points);
