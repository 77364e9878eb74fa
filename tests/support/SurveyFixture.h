#pragma once
// Small surveys for the processing tests.

#include <string>
#include <vector>

#include "survey/SurveyStore.h"
#include "tests/survey/TransmitterFixture.h"

struct Sample {
    float Freq, Amplitude, Phase;
};

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
