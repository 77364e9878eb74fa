#include "processing/MTCurve.h"

#include <algorithm>
#include <cmath>

MTCurve ComputeMTCurve(const SurveyStore& store, int exIndex)
{
    MTCurve curve;
    if (exIndex < 0 || exIndex >= static_cast<int>(store.ExStations.size()) ||
        store.HyStations.empty())
        return curve;
    const TStation& ex = store.ExStations[exIndex];
    const TStation* hy = &store.HyStations.front();
    for (const TStation& candidate : store.HyStations)
        if (candidate.Info.HyName == ex.Info.HyName) {
            hy = &candidate;
            break;
        }
    size_t hyCount = std::min(hy->Amplitude.X.size(), hy->Amplitude.Y.size());
    size_t exCount = std::min(ex.Amplitude.X.size(), ex.Amplitude.Y.size());
    for (size_t k = 0; k < exCount; ++k) {
        double f = ex.Amplitude.X[k];
        double e = ex.Amplitude.Y[k];
        for (size_t b = 0; b < hyCount; ++b) {
            double fh = hy->Amplitude.X[b];
            if (!(std::fabs(f - fh) / (f + fh) < 1e-5)) continue;
            double h = hy->Amplitude.Y[b];
            double rho = 1.0 / (5.0 * f) * e / h * e / h;
            if (std::isfinite(rho)) {
                curve.Freq.push_back(f);
                curve.Rho.push_back(rho);
            }
            break;
        }
    }
    return curve;
}
