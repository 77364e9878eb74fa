#pragma once
// Files written and read by the tests: names in the temporary folder of the test process (the
// tests run side by side and write files of the same names), and whole files as bytes. Read with
// the standard library, not the program's own reader, so that a test checks it independently.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// The temporary folder of the test process, ending in '/', chosen as GoogleTest's TempDir()
// chooses it: the core tests' ProcessTempDir points TEST_TMPDIR at a folder of their own.
inline std::string TestTempDir()
{
    for (const char* variable : {"TEST_TMPDIR", "TMPDIR"}) {
        const char* dir = std::getenv(variable);
        if (dir == nullptr || *dir == '\0') continue;
        std::string path = dir;
        if (path.back() != '/') path += '/';
        return path;
    }
    return "/tmp/";
}

// A file name of this process in the temporary folder: prefix, process id and name.
inline std::string TempPath(const std::string& name, const std::string& prefix = "quillane_")
{
    return TestTempDir() + prefix + std::to_string(getpid()) + "_" + name;
}

// The whole file; false where it cannot be opened or read.
inline bool ReadBytes(const std::string& path, std::string& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, file)) bytes.append(buffer, got);
    bool read = !std::ferror(file);
    std::fclose(file);
    return read;
}

// The whole file; empty where there is none.
inline std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    ReadBytes(path, bytes);
    return bytes;
}

// The whole file, or a mark that there is none, for comparing with the bytes expected.
inline std::string FileBytes(const std::string& path)
{
    std::string bytes;
    if (!ReadBytes(path, bytes)) return "<no file>";
    return bytes;
}

// The file made to hold exactly bytes; false where it cannot be written.
inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// An input file of the test, by name in the temporary folder; its path.
inline std::string WriteTempFile(const std::string& name, const std::string& bytes)
{
    std::string path = TempPath(name);
    WriteBytes(path, bytes);
    return path;
}

// An input file of the test under name itself in the temporary folder, for readers that take a
// name from the file's; its path.
inline std::string WriteNamedTempFile(const std::string& name, const std::string& bytes)
{
    std::string path = TestTempDir() + name;
    WriteBytes(path, bytes);
    return path;
}
