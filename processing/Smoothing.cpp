#include "processing/Smoothing.h"

#include <algorithm>
#include <vector>

void SmoothCurve(xy& curve)
{
    size_t n = std::min(curve.X.size(), curve.Y.size());
    const std::vector<float> before(curve.Y.begin(), curve.Y.begin() + n);
    for (size_t i = 0; i < n; ++i) {
        size_t h = i / 16;
        if (i + h >= n) h = n - i;
        size_t last = std::min(i + h, n - 1);
        float sum = 0.0f;
        size_t m = 0;
        for (size_t j = i - h; j <= last; ++j, ++m) sum += before[j];
        curve.Y[i] = static_cast<float>(sum / (static_cast<double>(m) + 1e-15));
    }
    curve.Count = static_cast<int>(curve.X.size());
}
