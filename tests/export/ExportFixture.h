#pragma once
// File helpers for the export tests, beside the small surveys of tests/support.

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "base/TextStream.h"
#include "tests/support/SurveyFixture.h"
#include "tests/support/TempFiles.h"

// A file name of this test process in the test folder, removed first.
inline std::string ExportTempPath(const std::string& name)
{
    std::string path = TempPath(name, "quillane_export_");
    std::remove(path.c_str());
    return path;
}

inline void PutFile(const std::string& path, const std::string& bytes)
{
    ASSERT_TRUE(WriteBytes(path, bytes));
}

// Lines joined with CR LF, each ended by it.
inline std::string CrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}
