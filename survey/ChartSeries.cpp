#include "survey/ChartSeries.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Ascending order in which a frequency that is not a number sorts last, so that bad input keeps
// the ordering strict.
bool FrequencyBefore(double a, double b)
{
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

}  // namespace

void ChartSeries::Clear()
{
    X.clear();
    Y.clear();
    Green.clear();
}

void ChartSeries::Fill(const std::vector<double>& x, const std::vector<double>& y)
{
    size_t n = std::min(x.size(), y.size());
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&x](size_t a, size_t b) { return FrequencyBefore(x[a], x[b]); });
    X.resize(n);
    Y.resize(n);
    for (size_t k = 0; k < n; ++k) {
        X[k] = x[order[k]];
        Y[k] = y[order[k]];
    }
    Green.assign(n, false);
}
