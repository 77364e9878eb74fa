// Peak resident memory and processor time of the reference picture loader on the crafted shapes
// that would take seconds or fill memory without its limits, at three sizes each. Every load runs
// in a child process of its own (which starts its own offscreen application), so that its peak and
// its processor time (the file's making excluded) are its own. Run without arguments for the table,
// with a word for the shapes whose name holds it; "PicturePeakMemory --load <file>" loads one
// file, for a run under valgrind's instruction count.

#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "base/Exception.h"
#include "bench/ChildRun.h"
#include "picture/forms/ReferencePicture.h"
#include "tests/support/forms/PictureFiles.h"

namespace {

using namespace picture_files;

// The child ends without freeing the picture: its figures are those of the load alone.
int Load(const std::string& file)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int arguments = 1;
    static char name[] = "PicturePeakMemory";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(arguments, argv);
    try {
        new QImage(LoadReferencePicture(file));
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}

struct Shape {
    const char* name;
    const char* extension;
    std::string (*make)(long);
    long sizes[3];
};

const Shape kShapes[] = {
    {"WMF, saved clips (levels)",
     "wmf",
     [](long n) { return SavedClipsWmf(static_cast<int>(n), 1); },
     {817, 1635, 3270}},
    {"EMF, saved clips (levels)",
     "emf",
     [](long n) { return SavedClipsEmf(static_cast<int>(n), 1, 200, false); },
     {1024, 2048, 4095}},
    {"EMF, runs of 4,095 saved clips",
     "emf",
     [](long n) { return SavedClipsEmf(4095, static_cast<int>(n), 200, false); },
     {2, 4, 8}},
    {"EMF, rotated clips",
     "emf",
     [](long n) { return RotatedClipsEmf(static_cast<int>(n), false, 2000); },
     {125, 250, 500}},
    {"EMF, rotated clips, each saved",
     "emf",
     [](long n) { return RotatedClipsEmf(static_cast<int>(n), true, 2000); },
     {500, 1000, 2000}},
    {"EMF, far zigzags of 4 edges",
     "emf",
     [](long n) { return FarZigzagsEmf(static_cast<int>(n), 4); },
     {5, 10, 20}},
    {"JPEG, arithmetic, progressive (noise)",
     "jpg",
     [](long n) { return NoisyJpeg(8192, static_cast<int>(n), 98, true, true); },
     {4, 16, 40}},
    {"JPEG, Huffman, progressive (noise)",
     "jpg",
     [](long n) { return NoisyJpeg(8192, static_cast<int>(n), 98, true, false); },
     {4, 16, 40}},
    {"JPEG, Huffman, sequential (noise)",
     "jpg",
     [](long n) { return NoisyJpeg(8192, static_cast<int>(n), 98, false, false); },
     {4, 16, 40}},
    {"JPEG, arithmetic, empty scans",
     "jpg",
     [](long n) { return EmptyScansJpeg(8192, 1, static_cast<int>(n), true); },
     {125, 250, 500}},
    {"EMF, 1-bit 8192 x 8192 bitmaps",
     "emf",
     [](long n) { return BitmapsEmf(static_cast<int>(n), 8192, 8192, 2048); },
     {2, 5, 10}},
    {"EMF, 16 x 16 bitmaps sheared over 40000",
     "emf",
     [](long n) { return ShearedBitmapsEmf(static_cast<int>(n), 40000); },
     {100, 200, 400}},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) _exit(Load(argv[2]));
    // A picture keeps to 3 s of one core and ten times its file and 800 MB.
    std::printf("%-38s %6s %9s %9s %9s %7s  %s\n", "input", "size", "file MB", "peak MB",
                "limit MB", "CPU s", "outcome");
    const std::string base = "/tmp/quillane_picture_peak_" + std::to_string(getpid());
    for (const Shape& shape : kShapes) {
        if (argc == 2 && std::strstr(shape.name, argv[1]) == nullptr) continue;
        const std::string file = base + "." + shape.extension;
        for (long size : shape.sizes) {
            double fileMb = 0;
            {
                const std::string bytes = shape.make(size);
                std::ofstream(file, std::ios::binary) << bytes;
                fileMb = static_cast<double>(bytes.size()) / (1 << 20);
            }
            const ChildRun run = RunInChild([&] { return Load(file); });
            std::printf("%-38s %6ld %9.2f %9.1f %9.1f %7.2f  %s\n", shape.name, size, fileMb,
                        run.PeakMb, 10 * fileMb + 800, run.CpuSeconds,
                        run.ExitCode == 0   ? "loaded"
                        : run.ExitCode == 2 ? "refused"
                                            : "failed");
            std::fflush(stdout);
        }
        std::remove(file.c_str());
    }
    return 0;
}
