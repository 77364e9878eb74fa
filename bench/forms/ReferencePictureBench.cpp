#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "base/Exception.h"
#include "base/TextStream.h"
#include "picture/forms/ReferencePicture.h"
#include "tests/picture/forms/PictureFiles.h"

// The reference picture loader on inputs that once took seconds, at three sizes each: a
// progressive JPEG of 8192 x 8192 grey pixels with 125 to 500 scans that refine every coefficient,
// a filled self-crossing zigzag of 2,500 to 20,000 points (EMF and WMF), 2,500 to 10,000 texts of
// 20 characters at 100 pixels, and 5,000 to 20,000 texts each in a new font face. Each loads or
// is refused with the work of a bounded picture, whatever its size; the baseline reads the file.

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

}  // namespace

BENCHMARK(BM_ReadBaseline)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefinedJpeg)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZigzagEmf)->Arg(2500)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZigzagWmf)->Arg(2500)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeText)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FontFaces)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

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
