// Every test process gets a temporary folder of its own: the tests run side by side as separate
// processes and write files of the same names, which must not meet.

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    std::remove(path);
    return 0;
}

struct ProcessTempDir {
    std::string Path;
    ProcessTempDir()
    {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillane-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) return;
        Path = pattern;
        setenv("TEST_TMPDIR", Path.c_str(), 1);
    }
    ~ProcessTempDir()
    {
        if (!Path.empty()) nftw(Path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
};

const ProcessTempDir processTempDir;

}  // namespace
