#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

#include "base/Exception.h"
#include "base/TextStream.h"
#include "picture/forms/ReferencePicture.h"
#include "tests/support/forms/PictureFiles.h"

// The reference picture loader on inputs that would take seconds or fill memory without its limits,
// at three sizes each: a progressive JPEG of 8192 x 8192 grey pixels with 125 to 500 scans that
// refine every coefficient, a filled self-crossing zigzag of 2,500 to 20,000 points (EMF and WMF),
// 2,500 to 10,000 texts of 20 characters at 100 pixels, 5,000 to 20,000 texts each in a new font
// face; saved states each with a clipping rectangle (EMF and WMF, up to the deepest level, and runs
// of them), clipping rectangles under a rotation (alone and each in a saved state), zigzags from
// far above the picture to far below it; colour JPEGs of 8192 x 8192 pixels of 25 to 100 MB of
// entropy-coded data (arithmetic and Huffman codes, progressive and sequential) and arithmetic ones
// of 125 to 500 scans of no data; bitmaps of 8192 x 8192 pixels and small ones sheared over the
// picture; pictures declaring up to 65500 x 65500 pixels, bitmaps of up to 16000 x 16000 pixels in
// a WMF, JPEGs of 190 to 568 scans, curves under a pen far wider than the picture, a zigzag along
// the picture's edge and WMF object tables of up to 70,000 brushes. Each loads or is refused with
// the work of a bounded picture, whatever its size; the baselines read the file.

namespace {

using namespace picture_files;

QTemporaryDir* folder = nullptr;

std::string Write(const std::string& name, const std::string& bytes)
{
    const std::string path = folder->filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void Load(benchmark::State& state, const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    int refused = 0;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(LoadReferencePicture(path));
        } catch (const Exception&) {
            ++refused;
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["refused"] = refused > 0;
}

void BM_ReadBaseline(benchmark::State& state)
{
    const std::string path =
        Write("zigzag.emf", Emf({Zigzag(static_cast<int>(state.range(0)), 2048)}, 2047));
    std::string bytes;
    for (auto _ : state) benchmark::DoNotOptimize(ReadFileBytes(path, bytes));
}

void BM_RefinedJpeg(benchmark::State& state)
{
    Load(state, Write("refined.jpg", RefinedJpeg(8192, static_cast<int>(state.range(0)))));
}

void BM_ZigzagEmf(benchmark::State& state)
{
    Load(state, Write("zigzag.emf", Emf({Zigzag(static_cast<int>(state.range(0)), 2048)}, 2047)));
}

void BM_ZigzagWmf(benchmark::State& state)
{
    Load(state, Write("zigzag.wmf", WmfZigzag(static_cast<int>(state.range(0)))));
}

void BM_LargeText(benchmark::State& state)
{
    Load(state, Write("text.emf", LargeTextEmf(static_cast<int>(state.range(0)))));
}

void BM_FontFaces(benchmark::State& state)
{
    Load(state, Write("faces.emf", FontFacesEmf(static_cast<int>(state.range(0)))));
}

void BM_SavedClipsWmf(benchmark::State& state)
{
    Load(state, Write("clips.wmf", SavedClipsWmf(static_cast<int>(state.range(0)), 1)));
}

void BM_SavedClipsEmf(benchmark::State& state)
{
    Load(state, Write("clips.emf", SavedClipsEmf(static_cast<int>(state.range(0)), 1, 200, false)));
}

void BM_RunsOfSavedClipsEmf(benchmark::State& state)
{
    Load(state,
         Write("runs.emf", SavedClipsEmf(4095, static_cast<int>(state.range(0)), 200, false)));
}

void BM_RotatedClipsEmf(benchmark::State& state)
{
    Load(state,
         Write("rotated.emf", RotatedClipsEmf(static_cast<int>(state.range(0)), false, 2000)));
}

void BM_SavedRotatedClipsEmf(benchmark::State& state)
{
    Load(state, Write("saved.emf", RotatedClipsEmf(static_cast<int>(state.range(0)), true, 2000)));
}

void BM_FarZigzagsEmf(benchmark::State& state)
{
    Load(state, Write("far.emf", FarZigzagsEmf(static_cast<int>(state.range(0)), 4)));
}

// Colour JPEGs of 8192 x 8192 pixels at quality 98 under noise of 4, 16 or 40: about 25, 65 and
// 100 MB.
void BM_ArithmeticJpeg(benchmark::State& state)
{
    Load(state,
         Write("arith.jpg", NoisyJpeg(8192, static_cast<int>(state.range(0)), 98, true, true)));
}

void BM_ProgressiveHuffmanJpeg(benchmark::State& state)
{
    Load(state,
         Write("huffman.jpg", NoisyJpeg(8192, static_cast<int>(state.range(0)), 98, true, false)));
}

void BM_SequentialHuffmanJpeg(benchmark::State& state)
{
    Load(state, Write("sequential.jpg",
                      NoisyJpeg(8192, static_cast<int>(state.range(0)), 98, false, false)));
}

void BM_EmptyArithmeticScans(benchmark::State& state)
{
    Load(state,
         Write("empty.jpg", EmptyScansJpeg(8192, 1, static_cast<int>(state.range(0)), true)));
}

void BM_LargeBitmapsEmf(benchmark::State& state)
{
    Load(state,
         Write("bitmaps.emf", BitmapsEmf(static_cast<int>(state.range(0)), 8192, 8192, 2048)));
}

void BM_ShearedBitmapsEmf(benchmark::State& state)
{
    Load(state, Write("sheared.emf", ShearedBitmapsEmf(static_cast<int>(state.range(0)), 40000)));
}

// The shapes of picture files below at the size of the benchmark's argument: a file name and
// its bytes. Each is loaded, and read as it stands for the baseline at the same sizes.
using Shape = std::pair<std::string, std::string> (*)(int);

template <Shape kShape>
void BM_Load(benchmark::State& state)
{
    const auto [name, bytes] = kShape(static_cast<int>(state.range(0)));
    Load(state, Write(name, bytes));
}

template <Shape kShape>
void BM_ReadBytes(benchmark::State& state)
{
    const auto [name, bytes] = kShape(static_cast<int>(state.range(0)));
    const std::string path = Write(name, bytes);
    std::string read;
    for (auto _ : state) benchmark::DoNotOptimize(ReadFileBytes(path, read));
}

// Pictures whose headers declare side x side pixels (a JPEG, a BMP of 32 or of 1 bit per pixel,
// an icon holding a PNG), and a WMF of one bitmap of side x side pixels of 1 bit: refused before
// a pixel is decoded.
std::pair<std::string, std::string> DeclaredJpeg(int side)
{
    return {"bomb.jpg", JpegDeclaring(static_cast<uint16_t>(side), static_cast<uint16_t>(side))};
}
std::pair<std::string, std::string> DeclaredBmp(int side)
{
    return {"bomb.bmp", BmpDeclaring(side, side)};
}
std::pair<std::string, std::string> DeclaredMonochromeBmp(int side)
{
    return {"mono.bmp", MonochromeBmp(side, side)};
}
std::pair<std::string, std::string> DeclaredIcon(int side)
{
    return {"png.ico", IconOfPng(static_cast<uint32_t>(side))};
}
std::pair<std::string, std::string> BitmapWmf(int side)
{
    return {"bitmap.wmf", WmfWithBitmap(side, side)};
}
// A progressive JPEG whose every coefficient is refined in one to three scans of its own.
std::pair<std::string, std::string> RefinedScans(int refinements)
{
    return {"scans.jpg", ProgressiveJpeg(refinements)};
}
// Curves stroked with a pen far wider than the picture.
std::pair<std::string, std::string> WidePenCurves(int curves)
{
    return {"pens.emf", WidePenCurvesEmf(curves)};
}
// A zigzag whose short edges run along the picture's top edge.
std::pair<std::string, std::string> EdgeZigzag(int shortEdges)
{
    return {"edge.emf", Emf({ZigzagAlongTheEdge(shortEdges)}, 2047)};
}
// A WMF of that many brushes, past the 16-bit indices of its records.
std::pair<std::string, std::string> ObjectTable(int brushes)
{
    return {"objects.wmf", ObjectTableWmf(brushes)};
}
// The shapes of the benchmarks above, for their baselines.
std::pair<std::string, std::string> RefinedJpegFile(int scans)
{
    return {"refined.jpg", RefinedJpeg(8192, scans)};
}
std::pair<std::string, std::string> ZigzagEmfFile(int points)
{
    return {"zigzag.emf", Emf({Zigzag(points, 2048)}, 2047)};
}
std::pair<std::string, std::string> ZigzagWmfFile(int points)
{
    return {"zigzag.wmf", WmfZigzag(points)};
}
std::pair<std::string, std::string> LargeTextFile(int texts)
{
    return {"text.emf", LargeTextEmf(texts)};
}
std::pair<std::string, std::string> FontFacesFile(int faces)
{
    return {"faces.emf", FontFacesEmf(faces)};
}

}  // namespace

BENCHMARK(BM_ReadBaseline)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefinedJpeg)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZigzagEmf)->Arg(2500)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZigzagWmf)->Arg(2500)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeText)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FontFaces)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavedClipsWmf)->Arg(817)->Arg(1635)->Arg(3270)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavedClipsEmf)->Arg(1024)->Arg(2048)->Arg(4095)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunsOfSavedClipsEmf)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotatedClipsEmf)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavedRotatedClipsEmf)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FarZigzagsEmf)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArithmeticJpeg)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressiveHuffmanJpeg)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequentialHuffmanJpeg)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyArithmeticScans)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeBitmapsEmf)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShearedBitmapsEmf)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

// Each shape beside the read of its file at the same sizes.
template <int kSmall, int kMiddle, int kLarge>
void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(kSmall)->Arg(kMiddle)->Arg(kLarge)->Unit(benchmark::kMillisecond);
}
#define PICTURE_SHAPE(shape, ...)                                       \
    BENCHMARK_TEMPLATE(BM_ReadBytes, shape)->Apply(Sizes<__VA_ARGS__>); \
    BENCHMARK_TEMPLATE(BM_Load, shape)->Apply(Sizes<__VA_ARGS__>)
PICTURE_SHAPE(DeclaredJpeg, 16384, 32768, 65500);
PICTURE_SHAPE(DeclaredBmp, 16000, 32000, 64000);
PICTURE_SHAPE(DeclaredMonochromeBmp, 30000, 60000, 120000);
PICTURE_SHAPE(DeclaredIcon, 8192, 16384, 32768);
PICTURE_SHAPE(BitmapWmf, 8200, 12000, 16000);
PICTURE_SHAPE(RefinedScans, 1, 2, 3);
PICTURE_SHAPE(WidePenCurves, 2, 150, 602);
PICTURE_SHAPE(EdgeZigzag, 600, 1200, 2400);
PICTURE_SHAPE(ObjectTable, 17500, 35000, 70000);
BENCHMARK_TEMPLATE(BM_ReadBytes, RefinedJpegFile)->Apply(Sizes<125, 250, 500>);
BENCHMARK_TEMPLATE(BM_ReadBytes, ZigzagEmfFile)->Apply(Sizes<2500, 10000, 20000>);
BENCHMARK_TEMPLATE(BM_ReadBytes, ZigzagWmfFile)->Apply(Sizes<2500, 10000, 20000>);
BENCHMARK_TEMPLATE(BM_ReadBytes, LargeTextFile)->Apply(Sizes<2500, 5000, 10000>);
BENCHMARK_TEMPLATE(BM_ReadBytes, FontFacesFile)->Apply(Sizes<5000, 10000, 20000>);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
