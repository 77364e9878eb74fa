#include "survey/Records.h"

#include <cmath>

#include "base/FloatMath.h"

void ClearStationCurves(TStation& station)
{
    station.Amplitude.X.clear();
    station.Amplitude.Y.clear();
    station.Phase.X.clear();
    station.Phase.Y.clear();
    station.Errors.X.clear();
    station.Errors.Y.clear();
}

bool FindSameTransmitter(TxData& probe, const std::vector<TxData>& list)
{
    auto same = [](float a, float b) { return std::fabs(static_cast<double>(a) - b) < 1e-10; };
    for (const TxData& entry : list) {
        if (same(entry.Cx, probe.Cx) && same(entry.Cy, probe.Cy) && same(entry.Cz, probe.Cz) &&
            same(entry.Fip.Freq, probe.Fip.Freq) && same(entry.Length, probe.Length) &&
            same(entry.Azimuth, probe.Azimuth)) {
            probe.Name = entry.Name;
            return true;
        }
    }
    return false;
}

void ComputeTransmitterGeometry(TxData& tx)
{
    double ax = tx.Ax, ay = tx.Ay, az = tx.Az, bx = tx.Bx, by = tx.By, bz = tx.Bz;
    tx.Cx = ToSingle((ax + bx) * 0.5);
    tx.Cy = ToSingle((ay + by) * 0.5);
    tx.Cz = ToSingle((az + bz) * 0.5);
    tx.Length = ToSingle(CheckedSqrt(Checked((ax - bx) * (ax - bx) + (ay - by) * (ay - by))));
    float angle = ToSingle(std::atan(CheckedDiv(ay - by, ax - bx + 1e-15)));
    tx.Azimuth = ToSingle(static_cast<double>(angle) * (1.0 / M_PI) * 180.0);
}
