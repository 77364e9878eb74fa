#pragma once
// Small surveys and file helpers for the export tests.

#include <unistd.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "base/TextStream.h"
#include "survey/SurveyStore.h"
#include "tests/survey/TransmitterFixture.h"

struct ExportSample {
    float Freq, Amplitude, Phase, AmplitudeError = 0, PhaseError = 0;
};

inline TStation ExportStation(const std::string& name, float x, float y, float z,
                              const std::vector<ExportSample>& samples)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    s.Info.Z = z;
    for (const ExportSample& v : samples) {
        s.Amplitude.X.push_back(v.Freq);
        s.Amplitude.Y.push_back(v.Amplitude);
        s.Phase.X.push_back(v.Freq);
        s.Phase.Y.push_back(v.Phase);
        s.Errors.X.push_back(v.AmplitudeError);
        s.Errors.Y.push_back(v.PhaseError);
    }
    s.Amplitude.Count = s.Phase.Count = static_cast<int>(samples.size());
    return s;
}

// A file name of this test process in the test folder, removed first.
inline std::string ExportTempPath(const std::string& name)
{
    std::string path =
        testing::TempDir() + "quillane_export_" + std::to_string(getpid()) + "_" + name;
    std::remove(path.c_str());
    return path;
}

inline std::string FileBytes(const std::string& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return "<no file>";
    return bytes;
}

inline void PutFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Lines joined with CR LF, each ended by it.
inline std::string CrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}
