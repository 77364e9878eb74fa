#pragma once
// What every fuzz target shares: the input written to a file of a private temporary folder (the
// readers take file names), and the readers' own errors counted as outcomes, not findings.

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/Exception.h"
#include "survey/SurveyStore.h"

namespace fuzz {

class TempFolder {
public:
    TempFolder()
    {
        for (const char* base : {"/dev/shm", "/tmp"}) {
            std::string pattern = std::string(base) + "/quillane_fuzz_XXXXXX";
            if (mkdtemp(pattern.data())) {
                path_ = pattern;
                return;
            }
        }
        std::abort();
    }
    ~TempFolder()
    {
        Empty();
        rmdir(path_.c_str());
    }

    // Writes the input whole; the files of the run before (and any temporary file a save left)
    // go first.
    std::string Write(const std::string& name, const uint8_t* data, size_t size)
    {
        Empty();
        std::string file = path_ + "/" + name;
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (!out) std::abort();
        if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
        std::fclose(out);
        return file;
    }

private:
    void Empty()
    {
        DIR* dir = opendir(path_.c_str());
        if (!dir) return;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") unlink((path_ + "/" + name).c_str());
        }
        closedir(dir);
    }

    std::string path_;
};

// Writes the input to a file of the given name in the private folder and returns its path.
inline std::string InputFile(const std::string& name, const uint8_t* data, size_t size)
{
    static TempFolder folder;
    return folder.Write(name, data, size);
}

// Runs one reader call; the program's errors (Exception) are the reader's answer to bad input.
template <typename Call>
void Expecting(Call&& call)
{
    try {
        call();
    } catch (const Exception&) {
    }
}

// Every sample list of a station holds one entry per sample: the curves index them together.
inline void CheckStations(const std::vector<TStation>& stations)
{
    for (const TStation& s : stations) {
        size_t n = s.Amplitude.X.size();
        if (s.Amplitude.Y.size() != n || s.Phase.X.size() != n || s.Phase.Y.size() != n ||
            s.Errors.X.size() != n || s.Errors.Y.size() != n) {
            std::fprintf(stderr, "station %s: sample lists of unequal length\n", s.Name.c_str());
            std::abort();
        }
    }
}

inline void CheckStore(const SurveyStore& store)
{
    CheckStations(store.ExStations);
    CheckStations(store.HyStations);
}

}  // namespace fuzz
