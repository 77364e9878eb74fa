#pragma once

// Piecewise-linear interpolation in a table of n points sorted by x, extrapolating along the
// first or last segment; fewer than two points give 1.0. A segment of zero width that must serve
// raises the floating-point error; a NaN compared raises "Invalid floating point operation".
double Interp1(const double* x, const double* y, int n, double v);
