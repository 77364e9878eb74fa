// A plain main for a fuzz target, built with any compiler: it runs the target once on every file
// of the folders (or on the files) given, so that the seed corpus runs as a test without
// libFuzzer. Each input is read into a buffer of its exact size, as libFuzzer passes it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Targets that set something up before the first input define this; the others leave it null.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool Replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        std::fprintf(stderr, "%s: cannot be read\n", file.c_str());
        return false;
    }
    // A buffer of its own, so that a read past the input's end is a read past an allocation.
    std::unique_ptr<uint8_t[]> data(new uint8_t[std::max<size_t>(bytes.size(), 1)]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s folder-or-file...\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        std::filesystem::path path = argv[i];
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(path, error))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else if (std::filesystem::is_regular_file(path, error)) {
            files.push_back(path);
        } else if (!error) {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 1;
        }
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
    }
    // An empty corpus would pass unseen, so it fails the run.
    if (files.empty()) {
        std::fprintf(stderr, "no input found\n");
        return 1;
    }
    std::sort(files.begin(), files.end());
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    for (const std::filesystem::path& file : files) {
        if (!Replay(file)) return 1;
    }
    std::printf("%zu inputs replayed\n", files.size());
    return 0;
}
