#include <cmath>
#include <cstdio>
#include <dirent.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/TextStream.h"
#include "import/GdpRawReader.h"
#include "tests/support/TempFiles.h"

namespace {

std::string Operator(int number, int dipoleLength, const std::string& job)
{
    return std::to_string(number) + "\nCSAMT GDP-32 setup\nOPER Smith 2013 3 29 dipole " +
           std::to_string(dipoleLength) + "\nJob line A " + job + "\n";
}

// A data block: the station lines are given without their leading channel number.
std::string Data(int number, int tx, int hy, const std::string& freq,
                 const std::vector<std::string>& stationLines, const std::string& current = "1")
{
    std::string text = std::to_string(number) + "\nCSAMT data\nTx " + std::to_string(tx) + " Rx " +
                       std::to_string(hy) + "\n" + freq + " Hz 0 0 0 0 " + current + "\n";
    int channel = 1;
    for (const std::string& line : stationLines)
        text += std::to_string(channel++) + " " + line + "\n";
    return text;
}

// One station group at one frequency: an E line per station (0.004 V gives 100 with the default
// dipole of 40 m and 1 A) and an H line on the first station.
std::string Group(int number, const std::string& freq, const std::vector<std::string>& stations,
                  const std::string& magnitude = "0.004", const std::string& hMagnitude = "0.002")
{
    std::vector<std::string> lines;
    for (const std::string& s : stations) lines.push_back("ex " + s + " " + magnitude + " -785");
    if (!hMagnitude.empty()) lines.push_back("hy " + stations.front() + " " + hMagnitude + " -100");
    return Data(number, 7, 55, freq, lines);
}

const std::vector<std::string> kGroupA = {"101", "102", "103"};
const std::vector<std::string> kGroupB = {"104", "105", "106"};

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no error)";
}

struct BlockValues {
    int DipoleLength = 40;
    std::string JobText;
    double BlockFrequency = -1, BlockCurrent = -1;
    std::vector<std::string> ExIds;
    std::vector<double> ExAmplitudes, ExPhases;
    double HAmplitude = -1, HPhase = -1;
    int TxNumber = -1, HyNumber = -1;

    void Read(TextStream& stream)
    {
        ReadRawBlock(stream, DipoleLength, JobText, BlockFrequency, BlockCurrent, ExIds,
                     ExAmplitudes, ExPhases, HAmplitude, HPhase, TxNumber, HyNumber);
    }
};

void ReadAllBlocks(const std::string& text)
{
    TextStream stream(text);
    BlockValues v;
    while (!stream.Exhausted()) v.Read(stream);
}

std::vector<float> Frequencies(const TStation& s)
{
    return s.Amplitude.X;
}

// Values that went through single-precision steps, compared to single precision.
void ExpectValues(const std::vector<float>& actual, const std::vector<float>& expected,
                  const std::string& what = "")
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_FLOAT_EQ(actual[i], expected[i]) << what;
}

}  // namespace

TEST(GdpRawUnits, ParseUnitValue)
{
    struct Case {
        const char* text;
        float value;
    } cases[] = {
        {"1.5v", 1.5f},
        {"750u", ToSingle(750.0f * 1e-6)},
        {"12.5m", ToSingle(12.5f * 0.001)},
        {"-785", -785.0f},
    };
    for (const Case& c : cases) {
        float value = 0;
        ParseUnitValue(c.text, value);
        EXPECT_EQ(value, c.value) << c.text;
    }
    struct Bad {
        const char* text;
        const char* message;
    } bad[] = {
        {"2.5mV", "'2.5m' is not a valid floating point value"},
        {"3mv", "'3m' is not a valid floating point value"},
        {"v", "'' is not a valid floating point value"},
        {"", "'' is not a valid floating point value"},
    };
    for (const Bad& b : bad) {
        float value = 0;
        EXPECT_EQ(ErrorOf([&] { ParseUnitValue(b.text, value); }), b.message) << b.text;
    }
}

TEST(GdpRawBlocks, OperatorDataAndOtherBlocks)
{
    TextStream stream("GDP-32 receiver file, header lines skipped\n" + Operator(1, 100, "L10") +
                      Data(2, 7, 55, "8", {"ex 250 12.5m -785", "hy 250 0.002 -300"}, "10") +
                      "3\nGPS status\nthis block is passed over\n");
    BlockValues v;
    v.Read(stream);
    EXPECT_TRUE(v.ExIds.empty());
    EXPECT_EQ(v.DipoleLength, 100);
    EXPECT_EQ(v.JobText, "L10");

    v.Read(stream);
    ASSERT_EQ(v.ExIds, std::vector<std::string>{"L10250"});
    EXPECT_FLOAT_EQ(v.ExAmplitudes[0], 12.5);
    EXPECT_FLOAT_EQ(v.ExPhases[0], -0.785);
    EXPECT_FLOAT_EQ(v.HAmplitude, 0.2);
    EXPECT_FLOAT_EQ(v.HPhase, -0.3);
    EXPECT_EQ(v.BlockFrequency, 8);
    EXPECT_EQ(v.BlockCurrent, 10);
    EXPECT_EQ(v.TxNumber, 7);
    EXPECT_EQ(v.HyNumber, 55);
    EXPECT_FALSE(stream.Exhausted());  // the next block-number line is still to be read

    BlockValues before = v;
    v.Read(stream);
    EXPECT_TRUE(v.ExIds.empty() && v.ExAmplitudes.empty() && v.ExPhases.empty());
    EXPECT_EQ(v.HAmplitude, before.HAmplitude);
    EXPECT_EQ(v.BlockFrequency, before.BlockFrequency);
    EXPECT_EQ(v.JobText, before.JobText);
    EXPECT_TRUE(stream.Exhausted());
}

TEST(GdpRawBlocks, SyncHeadersAndComponentWords)
{
    // "SYNC" anywhere makes the first four characters "CSAM"; every non-"ex" line is an H line,
    // the last one counting.
    const std::string body =
        "Tx 3 Rx 9\n16 Hz 0 0 0 0 2\n1 EX 1 0.004 -785\n2 hy 1 0.002 -100\n3 Ex 2 0.008 -785\n"
        "4 hz 1 0.006 -200\n==========\n";
    for (const char* header : {"CSAMT data", "SYNC data", "GPS SYNC data"}) {
        TextStream stream("1\n" + std::string(header) + "\n" + body);
        BlockValues v;
        v.Read(stream);
        EXPECT_EQ(v.ExIds, (std::vector<std::string>{"1", "2"})) << header;
        EXPECT_FLOAT_EQ(v.ExAmplitudes[1], 100);
        EXPECT_FLOAT_EQ(v.HAmplitude, 3);
        EXPECT_FLOAT_EQ(v.HPhase, -0.2);
        // The separator row ends the station lines and the search for a block skips it.
        v.Read(stream);
        EXPECT_TRUE(v.ExIds.empty());
        EXPECT_FLOAT_EQ(v.HAmplitude, 3);
        EXPECT_TRUE(stream.Exhausted());
    }
    TextStream noH(Data(1, 3, 9, "8", {"ex 1 0.004 -785"}));
    BlockValues v;
    v.HAmplitude = 5;
    v.Read(noH);
    EXPECT_EQ(v.HAmplitude, 5);
}

TEST(GdpRawBlocks, ConversionAndDivisionErrors)
{
    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        {"12a\nCSAMT\n", "'12a' is not a valid integer value"},
        {Data(1, 3, 9, "8", {"ex 1 0.004 -785"}) + "two\n", "'two' is not a valid integer value"},
        {Data(1, 3, 9, "8Hz", {"ex 1 0.004 -785"}), "'8Hz' is not a valid floating point value"},
        {"1\nCSAMT\nTx 3x Rx 9\n", "'3x' is not a valid integer value"},
        {"1\nCSAMT\nTx 3\n", "'' is not a valid integer value"},
        {"1\nCSAMT\nTx 3 Rx 9\n8 Hz 0\n", "'' is not a valid floating point value"},
        {Data(1, 3, 9, "8", {"ex 1 0.004"}), "'' is not a valid floating point value"},
        {Data(1, 3, 9, "8", {"ex 1 2.5mV -785"}), "'2.5m' is not a valid floating point value"},
        {"1\nCSAMT\nOPER too short\n", "'' is not a valid integer value"},
        {Operator(1, 0, "") + Data(2, 3, 9, "8", {"ex 1 0.004 -785"}),
         "Floating point division by zero"},
        {Operator(1, 0, "") + Data(2, 3, 9, "8", {"ex 1 0 -785"}),
         "Invalid floating point operation"},
        {Data(1, 3, 9, "8", {"hy 1 0.004 -785"}, "0"), "Floating point division by zero"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf([&] { ReadAllBlocks(c.text); }), c.message) << c.text;
    // A missing job field gives an empty job text.
    TextStream stream("1\nCSAMT\nOPER a b c d e 50\nJob\n");
    BlockValues v;
    v.JobText = "old";
    v.Read(stream);
    EXPECT_EQ(v.DipoleLength, 50);
    EXPECT_EQ(v.JobText, "");
}

TEST(GdpRawRewrite, EveryLineEndsWithCrLf)
{
    struct Case {
        std::string before, after;
    } cases[] = {
        {"a\nb", "a\r\nb\r\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\rb\n\nc", "a\r\nb\r\n\r\nc\r\n"},
        {"", ""},
        {"x\ty\f\n\x1az", "x\ty\f\r\n\x1az\r\n"},  // no byte is lost
        {"\xB2\xE2\xCF\xDF \xE6\xB5\x8B\n", "\xB2\xE2\xCF\xDF \xE6\xB5\x8B\r\n"},  // GBK, UTF-8
    };
    std::string path = TempPath("rewrite.raw", "quillane_raw_");
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.before));
        RewriteTextFile(path);
        EXPECT_EQ(ReadBytes(path), c.after);
    }
    std::remove(path.c_str());
    std::string missing = TempPath("missing.raw", "quillane_raw_");
    EXPECT_EQ(ErrorOf([&] { RewriteTextFile(missing); }), "Cannot open file " + missing);
}

// Only a text file of its own name ".raw" is changed on disk; a folder's name does not count.
TEST(GdpRawRewrite, ChangesOnlyRawTextFiles)
{
    std::string folder = TempPath("only", "quillane_raw_");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((folder + "/survey.raw.d").c_str(), 0755), 0);
    struct Case {
        std::string name, bytes;
        bool rewritten;
    } cases[] = {
        {"a.raw", "a\nb", true},
        {"B.RaW", "a\nb", true},
        {"photo.jpg", "a\nb", false},
        {"survey.raw.d/data.bin", "a\nb", false},
        {"x.raw.bak", "a\nb", false},
        {"nul.raw", std::string("a\0\nb", 4), false},
        {"control.raw", "a\x01\nb", false},
        {"delete.raw", "a\x7f\nb", false},
        {"jpeg.raw", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\n\xFF\xDB", 14), false},
    };
    for (const Case& c : cases) {
        std::string path = folder + "/" + c.name;
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        EXPECT_EQ(ErrorOf([&] { RewriteTextFile(path); }), "(no error)") << c.name;
        EXPECT_EQ(ReadBytes(path), c.rewritten ? "a\r\nb\r\n" : c.bytes) << c.name;
        std::remove(path.c_str());
    }
    rmdir((folder + "/survey.raw.d").c_str());
    rmdir(folder.c_str());
}

TEST(GdpRawRewrite, ReadOnlyFileSurvivesTheFailedRewrite)
{
    std::string folder = TempPath("readonly", "quillane_raw_");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    std::string path = folder + "/line.raw";
    const std::string original =
        Group(1, "8", kGroupA);  // LF line ends: the rewrite would change it
    ASSERT_TRUE(WriteBytes(path, original));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(ErrorOf([&] { RewriteTextFile(path); }), "Cannot create file " + path);
    EXPECT_EQ(ReadBytes(path), original);
    std::vector<std::string> entries;
    DIR* dir = opendir(folder.c_str());
    ASSERT_NE(dir, nullptr);
    while (dirent* entry = readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            entries.push_back(entry->d_name);
    closedir(dir);
    EXPECT_EQ(entries, std::vector<std::string>{"line.raw"});  // no temporary file left behind
    chmod(path.c_str(), 0644);
    std::remove(path.c_str());
    rmdir(folder.c_str());
}

class GdpRawRead : public testing::Test {
protected:
    void Read(const std::string& text)
    {
        ASSERT_TRUE(WriteBytes(path_, text));
        ReadGdpRawFile(store_, path_);
    }
    std::string ReadError(const std::string& text)
    {
        return ErrorOf([&] { Read(text); });
    }
    void TearDown() override { std::remove(path_.c_str()); }

    SurveyStore store_;
    std::string path_ = TempPath("read.raw", "quillane_raw_");
};

TEST_F(GdpRawRead, FilesWithoutEBlocksAddNothing)
{
    ReadGdpRawFile(store_, TempPath("missing.raw", "quillane_raw_"));
    Read("");
    Read(Operator(1, 100, "7") + Data(2, 7, 55, "8", {"hy 101 0.002 -100"}) + "3\nGPS\nx y\n");
    EXPECT_TRUE(store_.ExStations.empty());
    EXPECT_TRUE(store_.HyStations.empty());
    EXPECT_TRUE(store_.Transmitters.empty());
}

TEST_F(GdpRawRead, TwoFrequenciesInEitherOrder)
{
    for (bool reversed : {false, true}) {
        store_ = SurveyStore();
        std::string first = reversed ? "16" : "8", second = reversed ? "8" : "16";
        // Line-feed line ends and no end after the last line: the rewrite makes them CR LF.
        std::string text = Group(1, first, kGroupA) + Group(2, second, kGroupA);
        text.pop_back();
        ASSERT_TRUE(WriteBytes(path_, text));
        RewriteTextFile(path_);
        ReadGdpRawFile(store_, path_);

        std::vector<float> order = reversed ? std::vector<float>{16, 8} : std::vector<float>{8, 16};
        ASSERT_EQ(store_.ExStations.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const TStation& s = store_.ExStations[i];
            EXPECT_EQ(s.Name, kGroupA[i]);
            EXPECT_EQ(s.Info.HyName, "55");
            EXPECT_EQ(s.Info.TxName, "7");
            EXPECT_EQ(s.Info.Tag, reversed ? "1.6E1" : "8E0");
            EXPECT_EQ(s.Info.X, 101 + i);
            EXPECT_EQ(s.Info.Y, 0);
            EXPECT_EQ(s.Info.Area, "Unknown");
            EXPECT_EQ(s.Amplitude.X, order);
            EXPECT_EQ(s.Phase.X, order);
            EXPECT_FLOAT_EQ(s.Amplitude.Y[1], 100);
            EXPECT_FLOAT_EQ(s.Phase.Y[1], -0.785);
            EXPECT_EQ(s.Errors.X, (std::vector<float>{0.01f, 0.01f}));
            EXPECT_EQ(s.Errors.Y, (std::vector<float>{0.01f, 0.01f}));
            EXPECT_EQ(s.Amplitude.Count, 0);
        }
        ASSERT_EQ(store_.HyStations.size(), 1u);
        const TStation& hy = store_.HyStations[0];
        EXPECT_EQ(hy.Name, "101");
        EXPECT_EQ(hy.Info.HyName, "55");
        EXPECT_EQ(hy.Info.X, 103);  // the block's last station
        EXPECT_EQ(hy.Amplitude.X, order);
        ExpectValues(hy.Amplitude.Y, {2, 2});
        EXPECT_FLOAT_EQ(hy.Phase.Y[0], -0.1);

        ASSERT_EQ(store_.Transmitters.size(), 2u);
        const TxData& tx = store_.Transmitters[0];
        EXPECT_EQ(tx.Name, "7");
        EXPECT_EQ(tx.Ax + tx.Ay + tx.Bx + tx.Az + tx.Bz, 0);
        EXPECT_EQ(tx.By, 1000);
        EXPECT_EQ(tx.Cy, 500);
        EXPECT_EQ(tx.Length, 1000);
        EXPECT_FLOAT_EQ(tx.Azimuth, -90);
        EXPECT_EQ(tx.Fip.Freq, order[0]);
        EXPECT_EQ(tx.Fip.Current, 1);
        EXPECT_FLOAT_EQ(tx.Fip.CurrentErr, 0.001f);
        EXPECT_FLOAT_EQ(tx.Fip.PhaseErr, 0.001f);
        ASSERT_EQ(tx.FipList.size(), 1u);
        EXPECT_EQ(tx.FipList[0].Freq, order[0]);
        EXPECT_EQ(store_.Transmitters[1].Fip.Freq, order[1]);
    }
}

// A file that was not rewritten (one of another name) gives the lines the rewrite would cut.
TEST_F(GdpRawRead, LinesEndAsTheRewriteCutsThem)
{
    std::string text = Group(1, "8", kGroupA) + Group(2, "16", kGroupA);
    for (const char* lineEnd : {"\r", "\r\r\n"}) {
        store_ = SurveyStore();
        std::string cut;
        for (char c : text) cut += c == '\n' ? std::string(lineEnd) : std::string(1, c);
        Read(cut);
        ASSERT_EQ(store_.ExStations.size(), 3u) << lineEnd;
        EXPECT_EQ(store_.ExStations[2].Amplitude.X, (std::vector<float>{8, 16}));
        EXPECT_EQ(store_.Transmitters.size(), 2u);
    }
}

TEST_F(GdpRawRead, RepeatedReadingsAreSkippedPerGroup)
{
    // The repeated readings carry another magnitude, so a taken repeat would show.
    const std::string file = Group(1, "8", kGroupA) + Group(2, "16", kGroupA) +
                             Group(3, "8", kGroupB) + Group(4, "16", kGroupB) +
                             Group(5, "8", kGroupA, "0.008") + Group(6, "32", kGroupA) +
                             Group(7, "32", kGroupB) + Group(8, "32.001", kGroupB, "0.008");
    Read(file);
    const std::vector<float> taken = {8, 16, 32};
    ASSERT_EQ(store_.ExStations.size(), 6u);
    for (const TStation& s : store_.ExStations) {
        EXPECT_EQ(Frequencies(s), taken) << s.Name;
        ExpectValues(s.Amplitude.Y, {100, 100, 100}, s.Name);
    }
    ASSERT_EQ(store_.HyStations.size(), 2u);
    EXPECT_EQ(store_.HyStations[1].Name, "104");
    EXPECT_EQ(Frequencies(store_.HyStations[1]), taken);
    EXPECT_EQ(store_.Transmitters.size(), 4u);  // 32.001 Hz is a frequency of its own

    // Read once more: nothing new, every group takes each of its frequencies once again.
    Read(file);
    EXPECT_EQ(store_.ExStations.size(), 6u);
    EXPECT_EQ(store_.HyStations.size(), 2u);
    EXPECT_EQ(store_.Transmitters.size(), 4u);
    for (const TStation& s : store_.ExStations)
        EXPECT_EQ(Frequencies(s), (std::vector<float>{8, 16, 32, 8, 16, 32})) << s.Name;
    EXPECT_EQ(Frequencies(store_.HyStations[0]), (std::vector<float>{8, 16, 32, 8, 16, 32}));
}

TEST_F(GdpRawRead, StationIdsAndPositions)
{
    struct Case {
        std::string prefix, id;
        float x, y;
    } cases[] = {
        {Operator(1, 40, "7"), "725", 25, 7},
        {Operator(1, 40, "L7"), "L725", 25, 0},
        {"", "25", 25, 0},
    };
    for (const Case& c : cases) {
        store_ = SurveyStore();
        Read(c.prefix + Group(2, "8", {"25"}));
        ASSERT_EQ(store_.ExStations.size(), 1u);
        EXPECT_EQ(store_.ExStations[0].Name, c.id);
        EXPECT_EQ(store_.ExStations[0].Info.X, c.x);
        EXPECT_EQ(store_.ExStations[0].Info.Y, c.y);
        EXPECT_EQ(store_.HyStations[0].Name, c.id);
        EXPECT_EQ(store_.HyStations[0].Info.Y, c.y);
    }
}

// A conversion error names the file and the line of the text that did not convert; what the
// blocks before it appended stays (the load takes it out again).
TEST_F(GdpRawRead, ConversionErrorsNameTheLineAndKeepTheBlocksBefore)
{
    const std::string place = " (file " + path_ + ", line ";
    // A station field that is no number fails in the station pass, after every transmitter, and
    // names its own E line; its block adds no station.
    EXPECT_EQ(ReadError(Group(1, "8", {"101", "102"}) + Group(2, "8", {"201", "25A", "203"}) +
                        Group(3, "16", {"301"})),
              "'25A' is not a valid floating point value" + place + "13)");
    EXPECT_EQ(store_.Transmitters.size(), 2u);
    ASSERT_EQ(store_.ExStations.size(), 2u);
    EXPECT_EQ(store_.ExStations[1].Name, "102");
    ASSERT_EQ(store_.HyStations.size(), 1u);  // none for the failing block
    EXPECT_EQ(store_.HyStations[0].Name, "101");

    // Any other conversion fails in the transmitter pass, before a station is made, at the line
    // just read; blank lines count.
    store_ = SurveyStore();
    EXPECT_EQ(ReadError(Group(1, "8", kGroupA) + Group(2, "x16", kGroupA)),
              "'x16' is not a valid floating point value" + place + "12)");
    EXPECT_EQ(store_.Transmitters.size(), 1u);
    EXPECT_TRUE(store_.ExStations.empty());
    struct Case {
        std::string text, message;
    } cases[] = {
        {"\r\n\r\n12a\r\nCSAMT\r\n", "'12a' is not a valid integer value" + place + "3)"},
        {"1\rCSAMT\rTx 3x Rx 9\r", "'3x' is not a valid integer value" + place + "3)"},
        {Group(1, "8", kGroupA, "0.004", "2x"),
         "'2x' is not a valid floating point value" + place + "8)"},
        {Operator(1, 40, "") + "2\nCSAMT\nOPER a b c d e x\n",
         "'x' is not a valid integer value" + place + "7)"},
    };
    for (const Case& c : cases) {
        store_ = SurveyStore();
        EXPECT_EQ(ReadError(c.text), c.message) << c.text;
    }
}

TEST_F(GdpRawRead, LongLineEndsTheInput)
{
    const std::string blankRow = std::string(100000, ' ') + "\n";
    std::string longStationLine = "9 ex 999 0.004 -785";
    while (longStationLine.size() < 100000) longStationLine += " 0";
    for (const std::string& longLine : {blankRow, longStationLine + "\n"}) {
        store_ = SurveyStore();
        std::string block = Group(1, "8", {"101"});
        Read(block + longLine + Group(2, "16", {"201"}));
        EXPECT_EQ(store_.Transmitters.size(), 1u);
        ASSERT_FALSE(store_.ExStations.empty());
        EXPECT_EQ(store_.ExStations[0].Name, "101");
        // The long station line still counts with its first 81919 bytes; nothing after it does.
        EXPECT_EQ(store_.ExStations.size(), longLine == blankRow ? 1u : 2u);
        EXPECT_EQ(store_.ExStations.back().Name, longLine == blankRow ? "101" : "999");
    }
}

TEST_F(GdpRawRead, NewAndKnownIdsWithinOneBlock)
{
    Read(Group(1, "8", {"101", "102"}) + Group(2, "8", {"103", "101"}) +
         Group(3, "16", {"101", "102"}) + Group(4, "32", {"101", "999"}));
    ASSERT_EQ(store_.ExStations.size(), 4u);
    EXPECT_EQ(store_.ExStations[3].Name, "101");  // a second record of the name
    EXPECT_EQ(Frequencies(store_.ExStations[0]), (std::vector<float>{8, 16, 32}));
    EXPECT_EQ(Frequencies(store_.ExStations[3]), std::vector<float>{8});
    EXPECT_EQ(Frequencies(store_.ExStations[1]), (std::vector<float>{8, 16}));
    ASSERT_EQ(store_.HyStations.size(), 2u);
    EXPECT_EQ(store_.HyStations[1].Name, "103");
    EXPECT_EQ(Frequencies(store_.HyStations[0]), (std::vector<float>{8, 16, 32}));
}

TEST_F(GdpRawRead, TransmitterRecordsPerFrequency)
{
    // A moved record does not match the placeholder; a placeholder of another reader does, also
    // below 2^-9 Hz where nearby single frequencies count as equal.
    TxData moved;
    moved.Ax = 100;
    moved.By = 1000;
    moved.Fip.Freq = 8;
    ComputeTransmitterGeometry(moved);
    moved.Name = "moved";
    TxData earlier;
    earlier.By = 1000;
    earlier.Fip.Freq = 0.0009765625f;
    ComputeTransmitterGeometry(earlier);
    earlier.Name = "earlier";
    store_.Transmitters = {moved, earlier};

    Read(Data(1, 7, 55, "8", {"ex 101 0.004 -785"}) + Data(2, 9, 55, "8", {"ex 201 0.004 -785"}) +
         Data(3, 9, 55, "0.00097656244", {"ex 301 0.004 -785"}));
    ASSERT_EQ(store_.Transmitters.size(), 3u);
    EXPECT_EQ(store_.Transmitters[2].Name, "7");
    EXPECT_EQ(store_.Transmitters[2].Fip.Freq, 8);
    EXPECT_EQ(store_.ExStations[1].Info.TxName, "9");

    TxData probe = store_.Transmitters[2];
    probe.Fip.Freq = 0.00097656244f;
    ASSERT_NE(probe.Fip.Freq, earlier.Fip.Freq);
    EXPECT_TRUE(FindSameTransmitter(probe, store_.Transmitters));
    EXPECT_EQ(probe.Name, "earlier");
}

TEST_F(GdpRawRead, BlockValuesCarryOverTheRewind)
{
    // The first data block stands before the operator block and is read, in the station pass,
    // with the last operator block's dipole length and job text.
    Read(Group(1, "8", {"25"}) + Operator(2, 100, "7") + Group(3, "16", {"26"}));
    ASSERT_EQ(store_.ExStations.size(), 2u);
    EXPECT_EQ(store_.ExStations[0].Name, "725");
    EXPECT_FLOAT_EQ(store_.ExStations[0].Amplitude.Y[0], 40);
    EXPECT_EQ(store_.ExStations[1].Name, "726");
}

TEST_F(GdpRawRead, HFallback)
{
    // A zero H reading of a known group repeats the latest amplitude.
    Read(Group(1, "8", kGroupA) + Group(2, "16", kGroupA, "0.004", "0") +
         Group(3, "32", kGroupA, "0.004", ""));
    ExpectValues(store_.HyStations[0].Amplitude.Y, {2, 2, 2});

    // Without any H line the Hy samples are 0; a Hy station without amplitudes keeps the 0.
    store_ = SurveyStore();
    TStation known;
    known.Name = "101";
    store_.ExStations = {known};
    store_.HyStations = {known};
    Read(Group(1, "8", {"101"}, "0.004", "") + Group(2, "8", {"201"}, "0.004", ""));
    EXPECT_EQ(store_.HyStations[0].Amplitude.Y, std::vector<float>{0});
    EXPECT_EQ(store_.HyStations[1].Amplitude.Y, std::vector<float>{0});
}

TEST_F(GdpRawRead, ZeroFrequencyOfAKnownGroup)
{
    EXPECT_EQ(ReadError(Group(1, "8", kGroupA) + Group(2, "0", kGroupA)),
              "Floating point division by zero");
    store_ = SurveyStore();
    EXPECT_EQ(ReadError(Group(1, "0", kGroupA) + Group(2, "0", kGroupA)),
              "Invalid floating point operation");
}

TEST_F(GdpRawRead, FrequenciesBelowTheExactRangeMatchWithinReach)
{
    // Below 2^-9 Hz a frequency within 1e-10 of a record's is that record's, whichever comes
    // first; one just beyond the reach of every record is a transmitter of its own.
    const std::vector<std::string> freqs = {
        "0",           "1.5e-10",      "7e-11",  "2.4e-10", "-9e-11", "1e-4", "1.0000005e-4",
        "1.000003e-4", "1.0000025e-4", "-2e-10", "0.0019"};
    std::string file;
    for (size_t k = 0; k < freqs.size(); ++k)
        file += Data(static_cast<int>(k + 1), 7, 55, freqs[k],
                     {"ex " + std::to_string(101 + k) + " 0.004 -785"});
    Read(file);
    std::vector<float> made;
    for (const TxData& tx : store_.Transmitters) made.push_back(tx.Fip.Freq);
    EXPECT_EQ(made, (std::vector<float>{0, 1.5e-10f, 1e-4f, 1.000003e-4f, -2e-10f, 0.0019f}));

    Read(file);  // every frequency is known now
    EXPECT_EQ(store_.Transmitters.size(), made.size());
}

TEST_F(GdpRawRead, ManyFrequenciesOfOneGroup)
{
    // A frequency within the relative 1e-4 of one the group has taken is a repeat; a negative one
    // is a repeat of any; one too small to be a single takes 0, which no positive one repeats.
    const std::vector<std::string> freqs = {"1000",   "1000.05", "1000.2", "999.95", "-3",
                                            "1e-250", "2e-250",  "1001",   "1000.1"};
    std::string file;
    for (size_t k = 0; k < freqs.size(); ++k)
        file += Group(static_cast<int>(k + 1), freqs[k], kGroupA);
    Read(file);
    const std::vector<float> taken = {1000, 1000.2f, 0, 0, 1001};
    ASSERT_EQ(store_.ExStations.size(), 3u);
    for (const TStation& s : store_.ExStations) EXPECT_EQ(Frequencies(s), taken) << s.Name;
    EXPECT_EQ(Frequencies(store_.HyStations[0]), taken);

    // A quotient beyond the double range raises the overflow error, as the test against each taken
    // frequency gives it: the index of taken frequencies skips none that can overflow.
    const std::string overflow = ErrorOf([] { CheckedDiv(1e300, 1e-300); });
    EXPECT_EQ(ReadError(Group(1, "1e30", kGroupB) + Group(2, "1e-300", kGroupB)), overflow);
    EXPECT_EQ(ReadError(Group(1, "-1e30", {"301"}) + Group(2, "1", {"301"}) +
                        Group(3, "1e-300", {"301"})),
              overflow);
}

// Stations in a line, one block each, at two frequencies in turn and then at a third: each name
// keeps its one record, tagged with the frequency of its first block, also when read once more.
TEST_F(GdpRawRead, StationsOfOneBlockEach)
{
    constexpr int kStations = 200;
    auto id = [](int s) { return std::to_string(1000 + s); };
    auto first = [](int s) { return s % 3 == 0 ? 8.0f : 16.0f; };
    std::string file;
    for (int s = 0; s < kStations; ++s) file += Group(s + 1, s % 3 == 0 ? "8" : "16", {id(s)});
    for (int s = 0; s < kStations; ++s) file += Group(kStations + s + 1, "32", {id(s)});
    for (int round = 1; round <= 2; ++round) {
        Read(file);
        ASSERT_EQ(store_.ExStations.size(), static_cast<size_t>(kStations));
        ASSERT_EQ(store_.HyStations.size(), static_cast<size_t>(kStations));
        for (int s = 0; s < kStations; ++s) {
            std::vector<float> taken;
            for (int r = 0; r < round; ++r) taken.insert(taken.end(), {first(s), 32.0f});
            for (const TStation* station : {&store_.ExStations[s], &store_.HyStations[s]}) {
                EXPECT_EQ(station->Name, id(s));
                EXPECT_EQ(station->Info.Tag, s % 3 == 0 ? "8E0" : "1.6E1") << id(s);
                EXPECT_EQ(Frequencies(*station), taken) << id(s);
            }
        }
    }
}

// Many distinct frequencies, below 2^-9 Hz or for one station group, and many stations: a reader
// that tested each against all the transmitters, the stations or the group's frequencies would
// compare a hundred million pairs. Each block's lookups compare a few dozen records.
TEST_F(GdpRawRead, ManyDistinctFrequenciesAreLookedUpInWorkLinearInTheBlocks)
{
    constexpr int kBlocks = 20000;
    std::string file;
    for (int k = 0; k < kBlocks; ++k) {
        char freq[32];
        std::snprintf(freq, sizeof freq, "%.9e", 1e-4 + 1e-9 * k);
        file += Group(k + 1, freq, {std::to_string(1000 + k)});
        std::snprintf(freq, sizeof freq, "%.9e", std::pow(1.0002, k));
        file += Group(kBlocks + k + 1, freq, {"7"});
        std::snprintf(freq, sizeof freq, "%de-250", k + 1);  // each one is 0 as a single
        file += Group(2 * kBlocks + k + 1, freq, {"8"});
    }
    ASSERT_TRUE(WriteBytes(path_, file));
    GdpRawReadWork work;
    ReadGdpRawFile(store_, path_, &work);
    EXPECT_LE(work.Compared, 32u * 3 * kBlocks);
    EXPECT_EQ(store_.Transmitters.size(), 2u * kBlocks + 1);
    ASSERT_EQ(store_.ExStations.size(), kBlocks + 2u);
    for (size_t k : {1, 2}) {
        EXPECT_EQ(store_.ExStations[k].Name, k == 1 ? "7" : "8");
        EXPECT_EQ(store_.ExStations[k].Amplitude.X.size(), static_cast<size_t>(kBlocks));
    }
}
