#include "survey/Interp1.h"

#include <cmath>

#include "base/Exception.h"
#include "base/FloatMath.h"

namespace {

double Segment(double xa, double ya, double xb, double yb, double v)
{
    double width = xb - xa;
    double w0 = CheckedDiv(xb - v, width);
    double w1 = CheckedDiv(v - xa, width);
    return Checked(w0 * ya + w1 * yb);
}

}  // namespace

double Interp1(const double* x, const double* y, int n, double v)
{
    if (n < 2) return 1.0;
    if (std::isnan(v) || std::isnan(x[0])) throw EInvalidOp();
    if (v < x[0]) return Segment(x[0], y[0], x[1], y[1], v);
    if (std::isnan(x[n - 1])) throw EInvalidOp();
    if (v > x[n - 1]) return Segment(x[n - 2], y[n - 2], x[n - 1], y[n - 1], v);
    for (int i = 0; i < n - 1; ++i) {
        if (std::isnan(x[i + 1])) throw EInvalidOp();
        if (x[i] <= v && v <= x[i + 1]) return Segment(x[i], y[i], x[i + 1], y[i + 1], v);
    }
    // Not reached: with x[0] <= v <= x[n-1] the first knot not below v closes a segment.
    return Segment(x[n - 2], y[n - 2], x[n - 1], y[n - 1], v);
}
