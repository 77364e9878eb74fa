#pragma once
// The survey the writer benchmarks write: Ex stations with their own Hy stations at 40
// frequencies of one source, one transmitter record per frequency.

#include <string>

#include "survey/SurveyStore.h"

inline SurveyStore BenchSurvey(int stations)
{
    SurveyStore s;
    for (int k = 0; k < 40; ++k) {
        TxData tx;
        tx.Name = "T1";
        tx.Ax = -500;
        tx.Bx = 500;
        tx.Length = 1000;
        tx.Fip.Freq = 8192.0f / static_cast<float>(1 << (k / 3)) / static_cast<float>(1 + k % 3);
        tx.Fip.Current = 10;
        s.Transmitters.push_back(tx);
        s.OutputFreqs.push_back(tx.Fip.Freq);
    }
    for (int i = 0; i < stations; ++i) {
        TStation ex, hy;
        ex.Name = std::to_string(100 + 10 * i);
        hy.Name = "H" + ex.Name;
        ex.Info.HyName = hy.Name;
        ex.Info.TxName = hy.Info.TxName = "T1";
        ex.Info.X = hy.Info.X = static_cast<float>(10 * i - 10000);
        ex.Info.Y = hy.Info.Y = 6000;
        for (const TxData& tx : s.Transmitters) {
            const float f = tx.Fip.Freq;
            const float k = static_cast<float>(ex.Amplitude.X.size());
            ex.Amplitude.X.push_back(f);
            ex.Amplitude.Y.push_back(100.0f + k + static_cast<float>(i % 7));
            ex.Phase.X.push_back(f);
            ex.Phase.Y.push_back(0.02f * k);
            ex.Errors.X.push_back(1.0f);
            ex.Errors.Y.push_back(0.01f);
            hy.Amplitude.X.push_back(f);
            hy.Amplitude.Y.push_back(0.5f + 0.01f * k);
            hy.Phase.X.push_back(f);
            hy.Phase.Y.push_back(-0.01f * k);
        }
        ex.Amplitude.Count = ex.Phase.Count = 40;
        hy.Amplitude.Count = hy.Phase.Count = 40;
        s.ProfileIndices.push_back(i);
        s.ExStations.push_back(ex);
        s.HyStations.push_back(hy);
        s.StaticFactors.push_back({ex.Name, 1.0f});
    }
    return s;
}

// The same survey laid out as 3-D surveys are: lines of 200 stations 50 m apart, 500 m between
// the lines.
inline SurveyStore BenchSurveyInLines(int stations)
{
    SurveyStore s = BenchSurvey(stations);
    for (size_t i = 0; i < s.ExStations.size(); ++i) {
        const float x = static_cast<float>(50 * (i % 200)), y = static_cast<float>(500 * (i / 200));
        s.ExStations[i].Info.X = s.HyStations[i].Info.X = x;
        s.ExStations[i].Info.Y = s.HyStations[i].Info.Y = y;
    }
    return s;
}
