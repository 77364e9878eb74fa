// Peak resident memory of each reader against its file, on the crafted shapes that could hold
// many times their size, at three sizes each. Every load runs in a child process of its own, so
// that its peak and its processor time (the file's writing excluded) are its own. Run without
// arguments for the table; "ReaderPeakMemory <reader> <file>" loads one file (reader: imp,
// template, csamt, amtavg, raw, rewrite, rawopen or bare; rawopen is the whole open of a ".raw"
// file, its rewrite and then its reading), for a run under valgrind's instruction count.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "AvgShapes.h"
#include "BareParse.h"
#include "ChildRun.h"
#include "RawStationsFile.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"
#include "import/GdpRawReader.h"
#include "import/ImpReader.h"
#include "model3d/ModelTemplate.h"

namespace {

const char* const kImpHeader =
    "Description: Ex responses\r\nUnits: V/m/A\r\nSign convension:   1 \r\n\r\n";

// The child ends without freeing what was read: its figures are those of the load alone, as a
// survey stays in memory after it.
void Load(const std::string& reader, const std::string& file)
{
    SurveyStore& store = *new SurveyStore;
    if (reader == "imp") ReadImpFile(store, file);
    if (reader == "template") new ModelTemplate(ReadModelTemplate(file));
    if (reader == "csamt") {
        bool other = false;
        ReadCsamtAvgFile(store, file, &other);
    }
    if (reader == "amtavg") ReadAmtAvgFile(store, file, nullptr);
    if (reader == "raw") ReadGdpRawFile(store, file);
    if (reader == "rewrite") RewriteTextFile(file);
    if (reader == "rawopen") {
        RewriteTextFile(file);
        ReadGdpRawFile(store, file);
    }
    if (reader == "bare") std::printf("%g\n", BareParse(file));
}

// One block whose first coordinate line holds values values; the block claims one receiver.
void WriteImpLongLine(std::ostream& out, long values)
{
    out << kImpHeader << "1\r\n8 2 1\r\n";
    for (long i = 0; i < values; ++i) out << "1 ";
    out << "\r\n5\r\n0\r\nRe Im\r\nA1 1 0\r\n1 0\r\n";
}

// One receiver per block, frequencies 1e-4 + k x 1e-9 Hz (or, tiny, the source centres).
void WriteImpTiny(std::ostream& out, long blocks, bool centres)
{
    out << kImpHeader << blocks << "\r\n";
    char line[256];
    for (long b = 0; b < blocks; ++b) {
        std::snprintf(line, sizeof line, "%.9e 2 1 2 %.9e 0 0 1 1000 1 0 0 0\r\n",
                      centres ? 8.0 : 1e-4 + b * 1e-9, centres ? 1e-4 + b * 1e-9 : 0.0);
        out << line << "1\r\n2\r\n3\r\nRe Im\r\nA1 1e-7 2e-8\r\n1e-9 1e-9\r\n";
    }
}

// A model template whose block has receivers receivers.
void WriteTemplate(std::ostream& out, long receivers)
{
    out << kImpHeader << "1\r\n8 2 " << receivers << " 2 0 0 0 1000 1000 1 0 0 0\r\n";
    for (int axis = 0; axis < 3; ++axis) {
        for (long i = 0; i < receivers; ++i) out << "1 ";
        out << "\r\n";
    }
}

// One "ex" channel line whose tag field is bytes long, and a data table that names it.
void WriteCsamtTag(std::ostream& out, long bytes)
{
    const std::string tag(static_cast<size_t>(bytes), 'e');
    out << "CSAMT\n<Channel>\nheading\ntx T1 w 0 -1000 -5000 0 a b 1000 -5000 0\nex dp " << tag
        << " 0 0 0 0 a b 20 0 0\n\n<Data>\nid:tx\nheading\n1 10 1 0 0.1\n\nid:ex e\nheading\n"
        << "1 2.5 1 45 1\n\n<End>\n";
}

// Stations whose first H sample is equal and later ones differ.
void WriteAmtAvgEqualFirstH(std::ostream& out, long stations)
{
    out << "\\ AMTAVG\n$ XMTR  =    1.\n\\-++------++----+\n";
    char line[256];
    for (long s = 0; s < stations; ++s)
        for (int f = 0; f < 40; ++f) {
            std::snprintf(line, sizeof line,
                          " 2 %ld %.4f ExHy 1.00 %.4e -100.0 %.6e %.1f 5.9e+3 -187.4 0.1 0.0 "
                          "0.1 0.0 0.1 0.0\n",
                          s * 5, 9600.0 * std::pow(0.8, f), 1.0 + s,
                          f == 0 ? 1e-4 : 1e-4 * (1 + s * 1e-3), 200.0 + f);
            out << line;
        }
}

struct Shape {
    const char* name;
    const char* reader;
    void (*write)(std::ostream&, long);
    long sizes[3];
};

const Shape kShapes[] = {
    {"IMP, one long coordinate line", "imp", WriteImpLongLine, {32 << 20, 64 << 20, 128 << 20}},
    {"IMP, tiny frequencies",
     "imp",
     [](std::ostream& o, long n) { WriteImpTiny(o, n, false); },
     {20000, 80000, 320000}},
    {"IMP, tiny source centres",
     "imp",
     [](std::ostream& o, long n) { WriteImpTiny(o, n, true); },
     {20000, 80000, 320000}},
    {"Model template", "template", WriteTemplate, {2 << 20, 8 << 20, 32 << 20}},
    {"CSAMT AVG, long tag", "csamt", WriteCsamtTag, {1 << 20, 4 << 20, 16 << 20}},
    {"CSAMT AVG, close frequencies",
     "csamt",
     WriteCsamtAvgCloseFrequencies,
     {64000, 256000, 1024000}},
    {"GDP32 raw, one station per block", "raw", WriteRawStations, {50000, 200000, 800000}},
    {"GDP32 raw rewrite", "rewrite", WriteRawStations, {50000, 200000, 800000}},
    {"GDP32 raw open, rewrite and read", "rawopen", WriteRawStations, {50000, 200000, 800000}},
    {"AMTAVG, equal first H", "amtavg", WriteAmtAvgEqualFirstH, {1000, 4000, 16000}},
    {"AMTAVG, 17 values each half shared",
     "amtavg",
     [](std::ostream& o, long n) { WriteAmtAvgSharedValues(o, n, 17); },
     {8192, 16384, 32768}},
    {"AMTAVG, 4 values shared S^3/4",
     "amtavg",
     [](std::ostream& o, long n) { WriteAmtAvgSharedValues(o, n, 4); },
     {36000, 72000, 144000}},
    {"AMTAVG, 5 values shared S^4/5",
     "amtavg",
     [](std::ostream& o, long n) { WriteAmtAvgSharedValues(o, n, 5); },
     {28000, 56000, 112000}},
    {"AMTAVG, 5 shared, a fifth lack one",
     "amtavg",
     [](std::ostream& o, long n) { WriteAmtAvgSharedValues(o, n, 5, true); },
     {28000, 56000, 112000}},
    {"AMTAVG, 6 values shared S^5/6",
     "amtavg",
     [](std::ostream& o, long n) { WriteAmtAvgSharedValues(o, n, 6); },
     {24000, 48000, 96000}},
    {"AMTAVG, stations in a line", "amtavg", WriteAmtAvgLine, {2048, 4096, 12288}},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3) {
        Load(argv[1], argv[2]);
        _exit(0);
    }
    // The limit every reader keeps to: ten times its file and 150 MB.
    std::printf("%-34s %10s %10s %10s %7s %9s %8s\n", "input", "size", "file MB", "peak MB",
                "ratio", "limit MB", "CPU s");
    const std::string base = "/tmp/quillane_peak_" + std::to_string(getpid());
    for (const Shape& shape : kShapes) {
        if (argc == 2 && std::strstr(shape.name, argv[1]) == nullptr) continue;
        // Only a ".raw" name is rewritten on opening.
        const bool rewritten =
            std::strcmp(shape.reader, "rewrite") == 0 || std::strcmp(shape.reader, "rawopen") == 0;
        const std::string file = base + (rewritten ? ".raw" : "");
        for (long size : shape.sizes) {
            {
                std::ofstream out(file, std::ios::binary);
                shape.write(out, size);
            }
            std::ifstream in(file, std::ios::binary | std::ios::ate);
            const double fileMb = static_cast<double>(in.tellg()) / (1 << 20);
            const ChildRun run = RunInChild([&] {
                Load(shape.reader, file);
                return 0;
            });
            std::printf("%-34s %10ld %10.1f %10.1f %7.2f %9.1f %8.2f%s\n", shape.name, size, fileMb,
                        run.PeakMb, run.PeakMb / fileMb, 10 * fileMb + 150, run.CpuSeconds,
                        run.ExitCode == 0 ? "" : " !");
            std::fflush(stdout);
        }
        std::remove(file.c_str());
    }
    return 0;
}
