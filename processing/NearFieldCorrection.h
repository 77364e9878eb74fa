#pragma once
// Near-field and transition-zone correction of a station's "MT" curve with its "Ex/Hy_N" curve.

#include <cstddef>
#include <vector>

// Sorts Freq, RhoMT and RhoExHyN together by descending frequency (by the same exchanges as a
// plain exchange sort, so equal frequencies keep that sort's order) and replaces RhoMT by the
// corrected curve. Distance is the station's distance from the source centre in metres, as
// ComputeStationCurves gives it. Returns the order of the exchanges: entry k of the sorted lists
// was entry order[k] before; ApplyOrder moves further lists of the station the same way.
// No entry: nothing changes. One entry: the order is {0} and the value stays as it is.
// A frequency or resistivity without a logarithm (zero, negative, NaN) and any other non-finite
// step raise EZeroDivide or EInvalidOp; the lists are then left as they were.
// Lists of different lengths: std::invalid_argument, nothing changes.
std::vector<size_t> CorrectNearTransitionZone(std::vector<double>& Freq, std::vector<double>& RhoMT,
                                              std::vector<double>& RhoExHyN, double Distance);

// Reorders a list by an order that CorrectNearTransitionZone returned for a list of the same
// length: entry k becomes the old entry order[k]. Another length: std::invalid_argument.
void ApplyOrder(const std::vector<size_t>& order, std::vector<double>& list);

// The x coordinate where the line through (x1, y1) and (x2, y2) meets the line through (x3, y3)
// and (x4, y4); 1e-15 is added to every denominator, so parallel or vertical lines give a large
// finite value rather than an error.
double IntersectLines(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4);
