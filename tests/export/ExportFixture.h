#pragma once
// File helpers for the export tests, beside the small surveys of tests/support.

#include <unistd.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "base/TextStream.h"
#include "tests/support/SurveyFixture.h"

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
