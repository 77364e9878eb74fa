#pragma once
// Input files written by a test into the test temp folder, one name per process and file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

inline std::string WriteTempFile(const std::string& name, const std::string& bytes)
{
    std::string path = testing::TempDir() + "quillane_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string PeerFile(const std::string& relative)
{
    return std::string(QUILLANE_PEER_DATA) + "/" + relative;
}
