#include "geometry/Rotation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/FloatMath.h"

namespace {

struct Rotator {
    double c, s;
    std::vector<float> values;  // rotated x, y pairs in the order they are taken

    void Take(float x, float y)
    {
        values.push_back(ToSingle(c * x + s * y));
        values.push_back(ToSingle(-s * x + c * y));
    }
};

}  // namespace

int RotationPreset(const SurveyStore& store)
{
    double angle = std::trunc(store.RotationAngle);
    if (std::isnan(angle)) return 0;
    return static_cast<int>(std::clamp(angle, -360.0, 360.0));
}

void RotateSurvey(SurveyStore& store, int degrees)
{
    // 3.1415926, not pi to full precision: turned coordinates must equal the program's established
    // results (90 degrees leaves 2.7e-8 of x in x).
    const double a = degrees * (1.0 / 180) * 3.1415926;
    Rotator r{std::cos(a), std::sin(a), {}};
    for (const TStation& st : store.ExStations) r.Take(st.Info.X, st.Info.Y);
    for (const TStation& st : store.HyStations) r.Take(st.Info.X, st.Info.Y);
    for (const TxData& tx : store.Transmitters) {
        r.Take(tx.Ax, tx.Ay);
        r.Take(tx.Bx, tx.By);
        r.Take(tx.Cx, tx.Cy);
    }

    size_t k = 0;
    auto put = [&](float& x, float& y) {
        x = r.values[k++];
        y = r.values[k++];
    };
    for (TStation& st : store.ExStations) put(st.Info.X, st.Info.Y);
    for (TStation& st : store.HyStations) put(st.Info.X, st.Info.Y);
    for (TxData& tx : store.Transmitters) {
        put(tx.Ax, tx.Ay);
        put(tx.Bx, tx.By);
        put(tx.Cx, tx.Cy);
    }
    store.RotationAngle = degrees;
}
