#pragma once
// Running-mean smoothing of one station curve.

#include "survey/Records.h"

// Replaces each value by the mean of the values around it, taken from the values before
// smoothing: the half-width is the point's index div 16 (so the first 16 points keep their
// values), cut short at the end of the curve. Sums are added up in single precision. X stays;
// Count becomes the number of frequencies. Values beyond the shorter of the two lists are left
// as they are.
void SmoothCurve(xy& curve);
