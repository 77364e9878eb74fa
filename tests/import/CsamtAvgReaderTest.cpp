#include <gtest/gtest.h>

#include <cmath>

#include "base/Exception.h"
#include "import/CsamtAvgReader.h"
#include "tests/import/NaiveTagSearch.h"
#include "tests/support/TempFiles.h"

namespace {

constexpr double kRad = 3.1415926 / 180.0;

const char* const kSurvey =
    "<Survey>\n"
    "Site: SITE1\n"
    "Line: L3\n"
    "Elevation: 120.5\n"
    "\n";

const char* const kChannels =
    "<Channel>\n"
    "kind name tag no x1 y1 z1 n1 n2 x2 y2 z2\n"
    "tx TXA W1 0 -500 -100 0 a b 500 100 0\n"
    "ex dp E1 1 200 10 0 a b 300 10 0\n"
    "ex dp E2 2 300.0 20 4 a b 400 20 6\n"
    "hy sn H1 3 275 12 5\n"
    "\n";

const char* const kFrequencies =
    "<Data>\n"
    "\n"
    "id:tx\n"
    "f cur err ph pherr\n"
    "4 2 1 10e 0.5\n"
    "8 4 2 20 1\n"
    "\n";

const char* const kTables =
    "id:ex E1\n"
    "f amp err ph pherr\n"
    "4 2.0 5 45 1\n"
    "8 4.0 10 90 2\n"
    "\n"
    "id:ex E2\n"
    "f amp err ph pherr\n"
    "4 6.0 5 30 1\n"
    "\n"
    "id:hy H1\n"
    "f amp err ph pherr\n"
    "4 1.0 5 -45 1\n"
    "16 3.0 5 -90 1\n"
    "\n"
    "<End>\n";

std::string CompleteFile()
{
    return std::string("CSAMT averaged data\r\n") + kSurvey + kChannels + kFrequencies + kTables;
}

bool Read(SurveyStore& store, const std::string& text, const std::string& name = "file.avg",
          CsamtAvgReadWork* work = nullptr)
{
    bool other = false;
    ReadCsamtAvgFile(store, WriteTempFile(name, text), &other, work);
    return other;
}

// The conversion error of a file, its name written FILE.
std::string ConversionError(const std::string& text)
{
    SurveyStore store;
    store.ExStations.resize(1);
    const std::string path = WriteTempFile("file.avg", text);
    try {
        bool other = false;
        ReadCsamtAvgFile(store, path, &other);
    } catch (const EConvertError& e) {
        EXPECT_EQ(store.ExStations.size(), 1u);
        EXPECT_TRUE(store.HyStations.empty());
        EXPECT_TRUE(store.Transmitters.empty());
        std::string message = e.what();
        const size_t at = message.find(path);
        if (at != std::string::npos) message.replace(at, path.size(), "FILE");
        return message;
    }
    return "no error";
}

// A data table of a file: its "id:ex" line, the frequency of its one row and the number of
// stations that the channel tables before it define.
struct DataTable {
    std::string line;
    float frequency;
    size_t known;
};

// Reads a file whose stations have the tags given, in channel order. Every data table must go to
// the first station known at its line whose tag occurs in the line, as a search of the line for
// each tag in turn finds it, and to the file's first station when none does.
void ExpectTablesOfTheFirstTagInTheLine(const std::string& text,
                                        const std::vector<std::string>& tags,
                                        const std::vector<DataTable>& tables)
{
    std::vector<std::vector<float>> expected(tags.size());
    for (const DataTable& table : tables) {
        size_t first = NaiveFirstTag(tags, table.line, 0, table.known);
        expected[first == std::string::npos ? 0 : first].push_back(table.frequency);
    }
    SurveyStore store;
    Read(store, text);
    ASSERT_EQ(store.ExStations.size(), tags.size());
    for (size_t i = 0; i < tags.size(); ++i)
        EXPECT_EQ(store.ExStations[i].Amplitude.X, expected[i]) << "tag " << tags[i];
}

}  // namespace

TEST(CsamtAvgReader, ReadsCompleteFile)
{
    SurveyStore store;
    EXPECT_FALSE(Read(store, CompleteFile()));

    ASSERT_EQ(store.ExStations.size(), 2u);
    const TStation& e1 = store.ExStations[0];
    EXPECT_EQ(e1.Name, "L3200");
    EXPECT_EQ(e1.Info.Tag, "E1");
    EXPECT_EQ(e1.Info.HyName, "L3275");
    EXPECT_EQ(e1.Info.TxName, "TXA");
    EXPECT_EQ(e1.Info.Area, "Unknown");
    EXPECT_FLOAT_EQ(e1.Info.X, 250);
    EXPECT_FLOAT_EQ(e1.Info.Y, 10);
    EXPECT_FLOAT_EQ(e1.Info.Z, 120.5f);  // the dipole's midpoint lies at 0
    EXPECT_EQ(e1.Amplitude.X, (std::vector<float>{4, 8}));
    EXPECT_EQ(e1.Amplitude.Y, (std::vector<float>{1, 1}));  // divided by 2 A and 4 A
    EXPECT_EQ(e1.Phase.X, (std::vector<float>{4, 8}));
    EXPECT_FLOAT_EQ(e1.Phase.Y[0], 45 * kRad);
    EXPECT_FLOAT_EQ(e1.Phase.Y[1], 90 * kRad);
    EXPECT_FLOAT_EQ(e1.Errors.X[0], 0.05f);
    EXPECT_FLOAT_EQ(e1.Errors.X[1], 0.1f);
    EXPECT_FLOAT_EQ(e1.Errors.Y[1], 2 * kRad);
    EXPECT_EQ(e1.Amplitude.Count, 0);

    const TStation& e2 = store.ExStations[1];
    EXPECT_EQ(e2.Name, "L3300");
    EXPECT_FLOAT_EQ(e2.Info.Z, 5);
    EXPECT_EQ(e2.Amplitude.Y, (std::vector<float>{3}));

    ASSERT_EQ(store.HyStations.size(), 1u);
    const TStation& hy = store.HyStations[0];
    EXPECT_EQ(hy.Name, "L3275");
    EXPECT_EQ(hy.Info.HyName, "L3");
    EXPECT_EQ(hy.Info.TxName, "TXA");
    EXPECT_EQ(hy.Info.Tag, "Me");
    EXPECT_FLOAT_EQ(hy.Info.X, 275);
    EXPECT_FLOAT_EQ(hy.Info.Z, 5);
    // 16 Hz is not in the frequency table: the amplitude stays undivided.
    EXPECT_EQ(hy.Amplitude.Y, (std::vector<float>{0.5f, 3}));
    EXPECT_FLOAT_EQ(hy.Errors.X[0], 0.025f);
    EXPECT_FLOAT_EQ(hy.Phase.Y[1], -90 * kRad);

    ASSERT_EQ(store.Transmitters.size(), 1u);
    const TxData& tx = store.Transmitters[0];
    EXPECT_EQ(tx.Name, "TXA");
    EXPECT_FLOAT_EQ(tx.Ax, -500);
    EXPECT_FLOAT_EQ(tx.By, 100);
    EXPECT_FLOAT_EQ(tx.Cx, 0);
    EXPECT_FLOAT_EQ(tx.Length, std::sqrt(1000.0 * 1000 + 200 * 200));
    EXPECT_NEAR(tx.Azimuth, std::atan(0.2) * 180 / M_PI, 1e-4);
    ASSERT_EQ(tx.FipList.size(), 2u);
    EXPECT_FLOAT_EQ(tx.FipList[0].Freq, 4);
    EXPECT_FLOAT_EQ(tx.FipList[0].Current, 2);
    EXPECT_FLOAT_EQ(tx.FipList[0].Phase, 10 * kRad);  // "10e"
    EXPECT_FLOAT_EQ(tx.FipList[0].CurrentErr, 0.02f);
    EXPECT_FLOAT_EQ(tx.FipList[0].PhaseErr, 0.5 * kRad);
    EXPECT_FLOAT_EQ(tx.FipList[1].CurrentErr, 0.08f);
    EXPECT_FLOAT_EQ(tx.Fip.Freq, 0);
}

TEST(CsamtAvgReader, Signature)
{
    SurveyStore store;
    EXPECT_FALSE(Read(store, "csamt in lower case\n" + std::string(kSurvey) + kChannels));
    EXPECT_EQ(store.ExStations.size(), 2u);

    // A first line that holds "AMTAVG" is the other dialect's, also when the converter that
    // wrote the file names itself with "CSAMT" after it.
    for (const char* text : {"AVG file\nCSAMT\n<Survey>\nLine: L1\n\n", "", "\\ AMTAVG 7.76\n",
                             "\\AMTAVG:7.76: \"A7.fld\",Dated: 21-03-02,Processed: 5 May "
                             "21,@by_CSAMTconv: 2021-05-05\n<Survey>\nLine: L1\n\n"}) {
        SurveyStore other;
        EXPECT_TRUE(Read(other, text)) << text;
        EXPECT_TRUE(other.ExStations.empty() && other.HyStations.empty());
        EXPECT_TRUE(other.Transmitters.empty());
    }

    bool flag = false;
    ReadCsamtAvgFile(store, testing::TempDir() + "no such file.avg", &flag);
    EXPECT_FALSE(flag);
    flag = true;  // only the caller clears it
    ReadCsamtAvgFile(store, WriteTempFile("again.avg", CompleteFile()), &flag);
    EXPECT_TRUE(flag);
}

TEST(CsamtAvgReader, StationLabels)
{
    struct Case {
        const char* ax;
        const char* bx;
        const char* x;
        const char* y;
        const char* name;
    } cases[] = {
        {"-500", "500", "250.0", "9", "L3250"}, {"-500", "500", "250.05", "9", "L3250"},
        {"-500", "500", "-40.0", "9", "L3-40"}, {"-500", "500", "250.5", "9", "L3250.5"},
        {"-500", "500", "250", "9", "L3250"},   {"-500", "500", "-0.05", "9", "L30"},
        {"100", "100", "7", "-40.0", "L3-40"},  {"100", "100", "7.0", "12.5", "L312.5"},
    };
    for (const Case& c : cases) {
        std::string text = std::string("CSAMT\n<Survey>\nLine: L3\n\n<Channel>\nheading\n") +
                           "tx T g 0 " + c.ax + " 0 0 a b " + c.bx + " 100 0\n" + "ex d E1 0 " +
                           c.x + " " + c.y + " 0 a b 0 0 0\n" + "hy s H1 0 " + c.x + " " + c.y +
                           " 0\n\n";
        SurveyStore store;
        Read(store, text);
        ASSERT_EQ(store.ExStations.size(), 1u);
        EXPECT_EQ(store.ExStations[0].Name, c.name) << c.x << " " << c.y;
        EXPECT_EQ(store.HyStations[0].Name, c.name) << c.x << " " << c.y;
    }
}

TEST(CsamtAvgReader, DataTableReceiversByTag)
{
    std::string text =
        "CSAMT\n<Channel>\nheading\n"
        "tx T g 0 -500 0 0 a b 500 0 0\n"
        "ex d AB 0 10 0 0 a b 20 0 0\n"
        "ex d CD 0 30 0 0 a b 40 0 0\n"
        "\n"
        "id:ex XCDX\nheading\n1 1 0 0 0\n\n"
        "id:ex none\nheading\n2 1 0 0 0\n\n"
        "ID:EX CD\nheading\n3 1 0 0 0\n\n"
        "id:ex CD AB\nheading\n4 1 0 0 0\n\n"
        "id:ex cd\nheading\n5 1 0 0 0\n\n";
    SurveyStore store;
    Read(store, text);
    ASSERT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{2, 4, 5}));
    EXPECT_EQ(store.ExStations[1].Amplitude.X, (std::vector<float>{1, 3}));
}

TEST(CsamtAvgReader, KeywordLineRightAfterTable)
{
    const std::string head =
        "CSAMT\n<Channel>\nheading\ntx T g 0 -5 0 0 a b 5 0 0\n"
        "ex d E1 0 1 0 0 a b 2 0 0\nex d E2 0 3 0 0 a b 4 0 0\nhy s H 0 2 0 0\n\n";
    SurveyStore store;
    Read(store, head + "id:ex E1\nh\n1 1 0 0 0\nid:hy\nh\n2 1 0 0 0\n");
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{1}));
    EXPECT_EQ(store.HyStations[0].Amplitude.X, (std::vector<float>{2}));

    store = SurveyStore();
    Read(store, head + "id:ex E1\nh\n1 1 0 0 0\nid:ex E2\nh\n2 1 0 0 0\n\n");
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{1}));
    EXPECT_TRUE(store.ExStations[1].Amplitude.X.empty());

    store = SurveyStore();
    Read(store, head + "id:ex E1\nh\n1 1 0 0 0\n<End>\n\nid:hy\nh\n2 1 0 0 0\n");
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{1}));
    EXPECT_TRUE(store.HyStations[0].Amplitude.X.empty());
    EXPECT_EQ(store.Transmitters.size(), 1u);

    // The frequency table ends only at a line without fields.
    EXPECT_EQ(ConversionError(head + "id:tx\nh\n1 1 0 0 0\n<End>\n"),
              "'<End>' is not a valid floating point value (file FILE, line 12)");
}

TEST(CsamtAvgReader, MalformedNumbersLeaveTheStoreUntouched)
{
    const std::string head =
        "CSAMT\n<Channel>\nh\ntx T g 0 -5 0 0 a b 5 0 0\nex d E 0 1 0 0 a b 2 0 0\n\n";
    EXPECT_EQ(ConversionError(head + "id:ex\nh\n4 2.0 5 20e 1\n"),
              "'20e' is not a valid floating point value (file FILE, line 9)");
    // No column past the end of a short line is read: a missing column fails as a bad one.
    EXPECT_EQ(ConversionError(head + "id:ex\nh\n4 2.0 5\n"),
              "'' is not a valid floating point value (file FILE, line 9)");
    EXPECT_EQ(ConversionError(head + "id:tx\nh\n4 2 1 0\n"),
              "'' is not a valid floating point value (file FILE, line 9)");
    EXPECT_EQ(ConversionError("CSAMT\n<Channel>\nh\nex d E 0 1 0 0 a b 2\n\n"),
              "'' is not a valid floating point value (file FILE, line 4)");
    EXPECT_EQ(ConversionError("CSAMT\n<Channel>\nh\nhy s H 0 1 0\n\n"),
              "'' is not a valid floating point value (file FILE, line 4)");
    EXPECT_EQ(ConversionError("CSAMT\n<Survey>\nElevation\n\n"),
              "'' is not a valid floating point value (file FILE, line 3)");
    EXPECT_EQ(ConversionError("CSAMT\n<Survey>\nElevation: high\n\n"),
              "'high' is not a valid floating point value (file FILE, line 3)");

    // Only column 0 of a data row is guarded: a row that is not a number ends the table.
    SurveyStore store;
    Read(store, head + "id:ex\nh\n4 2 0 0 0\nfreq 2 0 0 0\n8 2 0 0 0\n");
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{4}));
}

TEST(CsamtAvgReader, DefinedStartValues)
{
    // No "Elevation" line, no "tx" row, a "Site" line without a value, an "id:ex" table without
    // an Ex station in the file.
    SurveyStore store;
    Read(store,
         "CSAMT\n<Survey>\nSite: S1\nSite\n\n<Channel>\nh\nhy s H 0 1 2 3\n\n"
         "id:ex\nh\n4 1 0 0 0\n\nid:hy\nh\n8 1 0 0 0\n");
    EXPECT_TRUE(store.ExStations.empty());
    ASSERT_EQ(store.HyStations.size(), 1u);
    EXPECT_EQ(store.HyStations[0].Name, "unknown2");  // electrodes 0: the wire counts as along y
    EXPECT_EQ(store.HyStations[0].Amplitude.X, (std::vector<float>{8}));
    ASSERT_EQ(store.Transmitters.size(), 1u);
    EXPECT_EQ(store.Transmitters[0].Name, "S1");
    EXPECT_FLOAT_EQ(store.Transmitters[0].Length, 0);
    EXPECT_FLOAT_EQ(store.Transmitters[0].Azimuth, 0);

    store = SurveyStore();
    Read(store, "CSAMT\n<Channel>\nh\ntx T g 0 -5 0 0 a b 5 0 0\nex d E 0 1 0 0 a b 2 0 0\n\n");
    EXPECT_FLOAT_EQ(store.ExStations[0].Info.Z, 0);
}

// A file that gives no channel row, no frequency and no data row adds no station, no transmitter
// and no frequency of its own: no Hy station "unknown", no transmitter without a name, no
// frequency for a known transmitter of its site's name.
TEST(CsamtAvgReader, FileWithoutDataAddsNothing)
{
    for (const char* text :
         {"CSAMT\n", "CSAMT\n<Survey>\nSite: S1\nLine: L3\nElevation: 12\n\n<Data>\n<End>\n",
          "CSAMT\n<Channel>\nheading\nrow of no kind 1 2 3\n\nid:tx\nh\n\nid:hy\nh\n\n",
          "CSAMT\n<Survey>\nSite: S1\n\nid:ex\nh\n4 1 0 0 0\n\n"}) {
        SurveyStore store;
        store.Transmitters.resize(1);
        store.Transmitters[0].Name = "S1";
        EXPECT_FALSE(Read(store, text)) << text;
        EXPECT_TRUE(store.ExStations.empty()) << text;
        EXPECT_TRUE(store.HyStations.empty()) << text;
        ASSERT_EQ(store.Transmitters.size(), 1u) << text;
        EXPECT_TRUE(store.Transmitters[0].FipList.empty()) << text;
    }

    // One row of any kind is data: a channel row, a frequency, a data row.
    for (const char* text :
         {"CSAMT\n<Channel>\nh\nhy s H 0 1 2 3\n\n",
          "CSAMT\n<Survey>\nSite: S1\n\nid:tx\nh\n4 2 1 0 0\n\n", "CSAMT\nid:hy\nh\n4 1 0 0 0\n"}) {
        SurveyStore store;
        Read(store, text);
        EXPECT_EQ(store.HyStations.size(), 1u) << text;
        EXPECT_EQ(store.Transmitters.size(), 1u) << text;
    }
}

TEST(CsamtAvgReader, ZeroFrequencyMatchesOnlyZero)
{
    SurveyStore store;
    Read(store,
         "CSAMT\n<Channel>\nh\ntx T g 0 -5 0 0 a b 5 0 0\nex d E 0 1 0 0 a b 2 0 0\n\n"
         "id:tx\nh\n0 4 0 0 0\n\nid:ex\nh\n0 2 0 0 0\n1 2 0 0 0\n");
    EXPECT_EQ(store.ExStations[0].Amplitude.Y, (std::vector<float>{0.5f, 2}));
    Read(store,
         "CSAMT\n<Channel>\nh\ntx T g 0 -5 0 0 a b 5 0 0\n\nid:tx\nh\n0 4 0 0 0\n1 4 0 0 0\n",
         "second.avg");
    ASSERT_EQ(store.Transmitters.size(), 1u);
    ASSERT_EQ(store.Transmitters[0].FipList.size(), 2u);
    EXPECT_FLOAT_EQ(store.Transmitters[0].FipList[1].Freq, 1);
}

TEST(CsamtAvgReader, MergesByName)
{
    SurveyStore store;
    Read(store, CompleteFile());
    Read(store, CompleteFile(), "same.avg");
    EXPECT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.HyStations.size(), 1u);
    ASSERT_EQ(store.Transmitters.size(), 1u);
    EXPECT_EQ(store.Transmitters[0].FipList.size(), 2u);

    // A known transmitter gains only the frequencies it lacks (tested against the stored one);
    // known stations keep their data, two stations of one name in a file give the first only.
    Read(
        store,
        "CSAMT\n<Survey>\nLine: L3\n\n<Channel>\nh\ntx TXA g 0 0 0 0 a b 10 10 0\n"
        "ex d E1 0 200 1 0 a b 9 9 9\nex d E7 0 7 1 0 a b 9 9 9\nex d E8 0 7 2 0 a b 9 9 9\n"
        "hy s H 0 275 0 0\n\n"
        "id:tx\nh\n8.0004 1 0 0 0\n32 1 0 0 0\n\nid:ex E1\nh\n64 1 0 0 0\n\nid:ex E8\nh\n2 1 0 0 0",
        "third.avg");
    ASSERT_EQ(store.ExStations.size(), 3u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{4, 8}));
    EXPECT_EQ(store.ExStations[2].Name, "L37");
    EXPECT_FLOAT_EQ(store.ExStations[2].Info.Y, 5);
    EXPECT_TRUE(store.ExStations[2].Amplitude.X.empty());  // its rows went to the dropped twin
    EXPECT_EQ(store.HyStations.size(), 1u);
    ASSERT_EQ(store.Transmitters.size(), 1u);
    const TxData& tx = store.Transmitters[0];
    ASSERT_EQ(tx.FipList.size(), 3u);
    EXPECT_FLOAT_EQ(tx.FipList[2].Freq, 32);
    EXPECT_FLOAT_EQ(tx.Ax, -500);

    // A file that ends inside a table without a final line feed keeps its last row once.
    SurveyStore other;
    Read(other, "CSAMT\n<Channel>\nh\nex d E 0 1 0 0 a b 2 0 0\n\nid:ex\nh\n1 1 0 0 0\n2 1 0 0 0",
         "open.avg");
    EXPECT_EQ(other.ExStations[0].Amplitude.X, (std::vector<float>{1, 2}));
}

// Tags that overlap, nest and repeat: every table goes to the first station in channel order
// whose tag occurs in its line, as a search of the line for each tag in turn finds it.
TEST(CsamtAvgReader, OverlappingTagsPickTheFirstStationInChannelOrder)
{
    const std::vector<std::string> tags = {"abcab",   "bca", "cab", "ab",        "b",   "abca",
                                           "xabcabx", "ca",  "bca", "c\xb1\xea", "\xb1"};
    const std::vector<std::string> lines = {
        "id:ex abcab", "id:ex bcab",   "id:ex zzcazz",    "id:ex xabcabx",  "id:ex b",
        "id:ex aaaa",  "id:ex abcabc", "id:ex c\xb1\xea", "id:ex \xb1\xea", "id:ex acbacb",
        "id:ex ab ca", "id:ex ab:cab", "id:ex bcab b"};
    std::string text = "CSAMT\n<Channel>\nheading\ntx T g 0 -500 0 0 a b 500 0 0\n";
    for (size_t i = 0; i < tags.size(); ++i)
        text += "ex d " + tags[i] + " 0 " + std::to_string(i * 10) + " 0 0 a b 5 0 0\n";
    text += "\n";
    std::vector<DataTable> tables;
    for (size_t j = 0; j < lines.size(); ++j) {
        text += lines[j] + "\nheading\n" + std::to_string(j + 1) + " 1 0 0 0\n\n";
        tables.push_back({lines[j], static_cast<float>(j + 1), tags.size()});
    }
    ExpectTablesOfTheFirstTagInTheLine(text, tags, tables);
}

// Channel tables between the data tables: a table goes to the first station known at its line.
TEST(CsamtAvgReader, ChannelTablesBetweenDataTables)
{
    std::vector<std::string> tags;
    std::vector<DataTable> tables;
    std::string text = "CSAMT\n";
    unsigned seed = 7;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    auto word = [&next](size_t length) {
        std::string w;
        while (w.size() < length) w += static_cast<char>('a' + next(3));
        return w;
    };
    for (int j = 0; j < 300; ++j) {
        if (j % 2 == 0 || next(4) == 0) {
            text += "<Channel>\nheading\ntx T g 0 -500 0 0 a b 500 0 0\n";
            for (unsigned k = 0, n = 1 + next(3); k < n; ++k) {
                tags.push_back(word(1 + next(j < 100 ? 4 : 9)));
                text += "ex d " + tags.back() + " 0 " + std::to_string(tags.size()) +
                        " 0 0 a b 5 0 0\n";
            }
            text += "\n";
        }
        std::string line = "id:ex " + word(1 + next(12));
        text += line + "\nheading\n" + std::to_string(j + 1) + " 1 0 0 0\n\n";
        tables.push_back({line, static_cast<float>(j + 1), tags.size()});
    }
    ExpectTablesOfTheFirstTagInTheLine(text, tags, tables);
}

// Tags of a thousand lengths, all in one channel table or each in a channel table before its data
// table: a matcher that tried every length at every line, or was made anew over all the tags at
// every channel table, would go through the tags hundreds of times over. The receivers are found
// in work of a few times the file's bytes.
TEST(CsamtAvgReader, TagsOfManyLengthsFindTheirTablesInWorkLinearInTheFile)
{
    constexpr size_t kDipoles = 1000;
    auto tag = [](size_t d) { return std::string(d + 1, static_cast<char>('a' + d % 26)); };
    std::string together = "CSAMT\n<Channel>\nheading\ntx T g 0 -500 0 0 a b 500 0 0\n";
    for (size_t d = 0; d < kDipoles; ++d)
        together += "ex d " + tag(d) + " 0 " + std::to_string(d) + " 0 0 a b 5 0 0\n";
    together += "\n";
    for (size_t d = 0; d < kDipoles; ++d)
        together += "id:ex " + tag(d) + "\nheading\n1 1 0 0 0\n\n";
    std::string interleaved = "CSAMT\n";
    for (size_t d = 0; d < kDipoles; ++d)
        interleaved += "<Channel>\nheading\ntx T g 0 -500 0 0 a b 500 0 0\nex d " + tag(d) + " 0 " +
                       std::to_string(d) + " 0 0 a b 5 0 0\n\nid:ex " + tag(d) +
                       "\nheading\n1 1 0 0 0\n\n";
    for (const std::string& text : {together, interleaved}) {
        SurveyStore store;
        CsamtAvgReadWork work;
        Read(store, text, "file.avg", &work);
        EXPECT_LE(work.TagSteps, 8 * text.size());
        ASSERT_EQ(store.ExStations.size(), kDipoles);
        // Every line holds the shortest tag of its letter.
        for (size_t d = 0; d < kDipoles; ++d)
            EXPECT_EQ(store.ExStations[d].Amplitude.X.size(),
                      d < 26 ? (kDipoles - d + 25) / 26 : 0u);
    }
}
