#pragma once
// Small surveys built by hand for the tests: stations, their curves and transmitter wires.

#include <string>
#include <vector>

#include "survey/Records.h"
#include "survey/SurveyStore.h"

struct Sample {
    float Freq, Amplitude, Phase, AmplitudeError = 0, PhaseError = 0;
};

// A station at (x, y) with amplitude and phase curves at the samples' frequencies.
inline TStation MakeStation(const std::string& name, float x, float y,
                            const std::vector<Sample>& samples)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    for (const Sample& v : samples) {
        s.Amplitude.X.push_back(v.Freq);
        s.Amplitude.Y.push_back(v.Amplitude);
        s.Phase.X.push_back(v.Freq);
        s.Phase.Y.push_back(v.Phase);
    }
    s.Amplitude.Count = s.Phase.Count = static_cast<int>(samples.size());
    return s;
}

inline TStation MakeEx(const std::string& name, const std::string& hyName, float x, float y,
                       const std::vector<Sample>& samples)
{
    TStation s = MakeStation(name, x, y, samples);
    s.Info.HyName = hyName;
    return s;
}

inline TStation MakeHy(const std::string& name, const std::string& txName, float x, float y,
                       const std::vector<Sample>& samples)
{
    TStation s = MakeStation(name, x, y, samples);
    s.Info.TxName = txName;
    return s;
}

// A station as the writers take it: at height z, with an error curve beside its curves.
inline TStation ExportStation(const std::string& name, float x, float y, float z,
                              const std::vector<Sample>& samples)
{
    TStation s = MakeStation(name, x, y, samples);
    s.Info.Z = z;
    for (const Sample& v : samples) {
        s.Errors.X.push_back(v.AmplitudeError);
        s.Errors.Y.push_back(v.PhaseError);
    }
    return s;
}

// A straight transmitter wire along x from -length/2 to length/2 about (cx, cy).
inline TxData MakeTx(const std::string& name, float cx, float cy, float length)
{
    TxData t;
    t.Name = name;
    t.Ax = cx - length / 2;
    t.Ay = cy;
    t.Bx = cx + length / 2;
    t.By = cy;
    t.Cx = cx;
    t.Cy = cy;
    t.Length = length;
    return t;
}
