#pragma once
// The relative closeness tests with which the readers decide that two values are the same
// frequency or the same sample. Equal values always match, zeros included, and no test divides by
// zero: a zero divisor matches only equal values.

#include <cmath>

// |a - b| / |divisor| < tolerance.
inline bool WithinRelative(double a, double b, double divisor, double tolerance)
{
    if (a == b) return true;
    if (divisor == 0) return false;
    return std::fabs(a - b) / std::fabs(divisor) < tolerance;
}

// |a - b| / (|a| + |b|) < tolerance: the absolute sum keeps the test sound for negative values
// (phases) and for values of opposite sign.
inline bool WithinRelativeOfSum(double a, double b, double tolerance)
{
    if (a == b) return true;
    return std::fabs(a - b) / (std::fabs(a) + std::fabs(b)) < tolerance;
}
