#include <gtest/gtest.h>

#include "base/Exception.h"
#include "export/ExportErrors.h"
#include "export/MtdWriter.h"
#include "export/StationRows.h"
#include "tests/export/ExportFixture.h"

namespace {

const std::vector<std::string> kMtdHeader = {
    "\"Stn\",\"GridE\",\"GridN\",\"Elev\",\"Freq\",\"ARTMobs\",\"ARTMerr\",\"ZPTMobs\",\"ZPTMerr\","
    "\"ARTEobs\",\"ARTEerr\",\"ZPTEobs\",\"ZPTEerr\",\"ARTMmod\",\"ZPTMmod\",\"ARTEmod\","
    "\"ZPTEmod\"",
    "\"Modeling results updated by RSCS2D v2.00f Date:19/04/99 Time:10:06\"",
    "\"From S2D2D v2.00f Date:19/04/99 Time:10:02:56\"",
};

// One wire about the origin and one Hy station at 1, 2, 4 and 8 Hz with amplitude 1 and phase 0,
// so that "MT" = 0.2 E^2 / f and the phase difference is the Ex phase.
SurveyStore LineSurvey()
{
    SurveyStore store;
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    TStation hy = ExportStation("H", 0, 3000, 0, {{1, 1, 0}, {2, 1, 0}, {4, 1, 0}, {8, 1, 0}});
    hy.Info.TxName = "T1";
    store.HyStations.push_back(hy);
    return store;
}

TStation LineEx(const std::string& name, float x, float y, float z,
                const std::vector<Sample>& samples)
{
    TStation ex = ExportStation(name, x, y, z, samples);
    ex.Info.HyName = "H";
    return ex;
}

// The Stn column of every row.
std::vector<std::string> RowStations(const std::string& bytes)
{
    std::vector<std::string> names;
    size_t pos = 0;
    for (int line = 0; (pos = bytes.find("\r\n", pos)) != std::string::npos; ++line) {
        pos += 2;
        if (line < 2 || pos >= bytes.size()) continue;
        std::string name = bytes.substr(pos, bytes.find(',', pos) - pos);
        names.push_back(name.substr(name.find_first_not_of(' ')));
    }
    return names;
}

}  // namespace

TEST(ExportMtd, ExactBytesWithFactorsRepeatsAndLongNames)
{
    SurveyStore store = LineSurvey();
    // 3 points of which the 3 Hz one has no Hy partner: count 2 gives step 1.5, rows 0 and 1.
    store.ExStations.push_back(
        LineEx("100", 0, 3000, 12.5f, {{1, 10, 0.75f}, {2, 10, 0.5f}, {3, 3, 0}}));
    // One point and count 2: step 0.5 writes it twice; the name is longer than its column.
    store.ExStations.push_back(LineEx("ABCDEFG", -1234.56f, 0, -3.04f, {{4, 20, 0.25f}}));
    store.StaticFactors = {{"zzz", 3.0f}, {"100", 2.5f}, {"100", 7.0f}};
    const std::string path = ExportTempPath("golden.mtd");

    WriteMtdFile(store, path, "1", "B", 2, false);

    std::vector<std::string> lines = kMtdHeader;
    lines.push_back(
        "  100,       0.0,    3000.0,   12.5,1.0000e+00,     50.00, 0.6,    750.00,0.60,"
        "     50.00,0.60,    750.00,0.60, , , , ,");
    lines.push_back(
        "  100,       0.0,    3000.0,   12.5,2.0000e+00,     25.00, 0.6,    500.00,0.60,"
        "     25.00,0.60,    500.00,0.60, , , , ,");
    const std::string abc =
        "ABCDEFG,   -1234.6,       0.0,   -3.0,4.0000e+00,     60.00, 0.6,    "
        "250.00,0.60,     60.00,0.60,    250.00,0.60, , , , ,";
    lines.push_back(abc);
    lines.push_back(abc);
    EXPECT_EQ(FileBytes(path), CrLf(lines));
}

TEST(ExportMtd, RangeComparesNamesAsText)
{
    SurveyStore store = LineSurvey();
    // One name that is not a number keeps the range one of texts.
    for (const char* name : {"9", "10", "15", "100", "20", "200", "A"})
        store.ExStations.push_back(LineEx(name, 0, 3000, 0, {{1, 10, 0}}));
    const std::string path = ExportTempPath("range.mtd");
    WriteMtdFile(store, path, "10", "20", 1, false);
    // 100 lies between 10 and 20 in byte order; 9 and 200 do not.
    EXPECT_EQ(RowStations(FileBytes(path)), (std::vector<std::string>{"10", "15", "100", "20"}));

    // A range without a station says so and leaves the old file.
    PutFile(path, "old");
    std::vector<std::string> shown;
    EXPECT_FALSE(WriteMtdFile(store, path, "3", "4", 1, false,
                              [&](const std::string& text) { shown.push_back(text); }));
    EXPECT_EQ(shown, std::vector<std::string>{kNoStationInRangeMessage});
    EXPECT_EQ(FileBytes(path), "old");
}

// Where every name is a number, the range is one of values, as the range lists are in the order
// of the values.
TEST(ExportMtd, RangeOfNumberedStationsComparesValues)
{
    SurveyStore store = LineSurvey();
    for (const char* name : {"9", "10", "15", "100", "20", "200", "2450.0", "950.0", "-5"})
        store.ExStations.push_back(LineEx(name, 0, 3000, 0, {{1, 10, 0}}));
    const std::string path = ExportTempPath("numbers.mtd");
    struct Case {
        const char* first;
        const char* last;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"10", "20", {"10", "15", "20"}},
        {"150.0", "900.0", {"200"}},
        {"9.0", "20", {"9", "10", "15", "20"}},
        {"-5", "950", {"9", "10", "15", "100", "20", "200", "950.0", "-5"}},
        {" 100 ", "1e2", {"100"}},
    };
    for (const Case& c : cases) {
        std::remove(path.c_str());
        EXPECT_TRUE(WriteMtdFile(store, path, c.first, c.last, 1, false)) << c.first;
        EXPECT_EQ(RowStations(FileBytes(path)), c.rows) << c.first << " to " << c.last;
    }
    // A range text that is not a number cannot be compared with the values.
    PutFile(path, "old");
    try {
        WriteMtdFile(store, path, "10", "x", 1, false);
        ADD_FAILURE() << "a range text that is no number was taken";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid floating point value");
    }
    EXPECT_EQ(FileBytes(path), "old");
}

TEST(ExportMtd, CorrectionKeepsEachPhaseWithItsFrequency)
{
    SurveyStore store = LineSurvey();
    store.ExStations.push_back(
        LineEx("100", 0, 3000, 0, {{1, 10, 0.1f}, {2, 10, 0.2f}, {4, 10, 0.3f}, {8, 10, 0.4f}}));
    const std::string path = ExportTempPath("corrected.mtd");
    WriteMtdFile(store, path, "100", "100", 4, true);
    const std::string bytes = FileBytes(path);
    // Rows run by descending frequency, each with the phase measured at its frequency.
    const std::vector<std::pair<std::string, std::string>> rows = {{"8.0000e+00", "400.00"},
                                                                   {"4.0000e+00", "300.00"},
                                                                   {"2.0000e+00", "200.00"},
                                                                   {"1.0000e+00", "100.00"}};
    size_t pos = bytes.find("\r\n", bytes.find("Time:10:02:56")) + 2;
    for (const auto& [freq, phase] : rows) {
        const std::string row = bytes.substr(pos, bytes.find("\r\n", pos) - pos);
        EXPECT_EQ(row.substr(36, 10), freq) << row;
        EXPECT_EQ(row.substr(63, 10), "    " + phase) << row;
        pos += row.size() + 2;
    }
    EXPECT_EQ(pos, bytes.size());
}

TEST(ExportMtd, FailuresReportAndLeaveTheOldFile)
{
    SurveyStore store = LineSurvey();
    store.ExStations.push_back(LineEx("100", 0, 3000, 0, {{1, 10, 0}}));
    const std::string path = ExportTempPath("old.mtd");
    PutFile(path, "old");

    try {
        WriteMtdFile(store, path, "1", "2", 0, false);
        FAIL() << "count 0 accepted";
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), kZeroCountMessage);
    }
    EXPECT_EQ(FileBytes(path), "old");

    // A frequency of 0 gives a division by zero in the station curves, after rows were made.
    store.ExStations.push_back(LineEx("101", 0, 3000, 0, {{0, 10, 0}}));
    store.HyStations[0].Amplitude.X.push_back(0);
    store.HyStations[0].Amplitude.Y.push_back(1);
    store.HyStations[0].Phase.Y.push_back(0);
    EXPECT_THROW(WriteMtdFile(store, path, "1", "200", 1, false), EMathError);
    EXPECT_EQ(FileBytes(path), "old");

    const std::string missing = testing::TempDir() + "no_such_folder_q/line.mtd";
    try {
        WriteMtdFile(store, missing, "1", "100", 1, false);
        FAIL() << "uncreatable file accepted";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
}

TEST(ExportMtd, RowSelection)
{
    struct Case {
        int points;
        size_t frequencies, samples;
        int count;
        std::vector<size_t> rows;
    };
    std::vector<size_t> every40, every36, every4;
    for (size_t k = 0; k < 40; ++k) every40.push_back(k);
    for (size_t k = 0; k < 36; ++k) every36.push_back(k);
    for (size_t k = 0; k < 40; k += 4) every4.push_back(k);
    const Case cases[] = {
        {40, 40, 40, 10, every4},
        {40, 40, 40, 40, every40},
        {40, 40, 36, 40, every36},  // samples without a Hy partner are not reached
        {5, 5, 5, 10, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4}},
        {1, 1, 1, 1000, {0, 0}},  // a step below 0.01 becomes 0.5
        // 0.02 is kept, and 50 single-precision steps of it stay below 1: 51 rows.
        {1, 1, 1, 50, std::vector<size_t>(51, 0)},
        {3, 3, 3, -1, {0, 0, 1, 1, 2, 2}},
        {0, 0, 0, 5, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectRows(c.points, c.frequencies, c.samples, c.count), c.rows)
            << c.points << " points, count " << c.count;

    // Single-precision steps: 30 of 40 reaches only 39.999996, so 31 rows.
    std::vector<size_t> rows = SelectRows(40, 40, 40, 30);
    ASSERT_EQ(rows.size(), 31u);
    EXPECT_EQ(std::vector<size_t>(rows.begin(), rows.begin() + 7),
              (std::vector<size_t>{0, 1, 2, 4, 5, 6, 8}));
    EXPECT_EQ(std::vector<size_t>(rows.end() - 4, rows.end()),
              (std::vector<size_t>{36, 37, 38, 39}));
    rows = SelectRows(67, 67, 67, 20);
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(std::vector<size_t>(rows.begin(), rows.begin() + 4),
              (std::vector<size_t>{0, 3, 6, 10}));
    EXPECT_EQ(rows.back(), 66u);
}

TEST(ExportMtd, StaticFactorLookup)
{
    EXPECT_EQ(StaticFactorIndex({}).FactorOf("a"), 1.0f);
    const StaticFactorIndex factors({{"a", 2}, {"b", 3}, {"a", 4}});
    EXPECT_EQ(factors.FactorOf("a"), 2.0f);  // the first entry with the name
    EXPECT_EQ(factors.FactorOf("b"), 3.0f);
    EXPECT_EQ(factors.FactorOf("A"), 2.0f);  // no entry: the first entry's factor
}

TEST(ExportMde, ExactBytes)
{
    SurveyStore store;
    store.ExStations.push_back(ExportStation("1", 100, 7, 0, {}));
    store.ExStations.push_back(ExportStation("2", 150, 9, 0, {}));
    TxData tx;
    tx.By = 1000;
    tx.Cx = 77;  // the stored centre and length are not used
    tx.Length = 5;
    store.Transmitters.push_back(tx);
    store.RotationAngle = -30.7;
    const std::string path = ExportTempPath("line.mtd");
    const std::string mde = ExportTempPath("line.mde");

    WriteMdeFile(store, path);

    EXPECT_EQ(FileBytes(mde), CrLf({"$ JOBLINE=1-2",
                                    "$ BRGLINE=-30",
                                    "$ BRGBACK=N00W",
                                    "$ UNITS=meter",
                                    "$ STNLO  =100",
                                    "$ STNDELT=50",
                                    "$ LBLFRST=       125.0",
                                    "$ LBLDELT=50",
                                    "$ SurveyType=Scalar",
                                    "$ TxType=Bipole",
                                    "$ TxLen= 1000",
                                    "$ TxBrg= -30",
                                    "$ TxCX =0",
                                    "$ TxCY =500",
                                    "$ TxDis=8700",
                                    "$ Rx2Tx= North",
                                    "$ RxBrg= S00E",
                                    "$ aspace= 50",
                                    "$ MODSECT: PLOT = Surfer",
                                    "$ MODSECT: LNUNITS = m"}));
}

TEST(ExportMde, FileNameAndMissingInputs)
{
    EXPECT_EQ(MdeFileName("/d/line1.mtd"), "/d/line1.mde");
    EXPECT_EQ(MdeFileName("/d.mtd/line1"), "/d.mtd/line1.mde");
    EXPECT_EQ(MdeFileName("line1"), "line1.mde");

    SurveyStore store;
    store.ExStations.push_back(ExportStation("1", 100, 0, 0, {}));
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    const std::string path = ExportTempPath("short.mtd");
    const std::string mde = ExportTempPath("short.mde");
    PutFile(mde, "old");
    try {
        WriteMdeFile(store, path);
        FAIL() << "one Ex station accepted";
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), kTooFewExStationsMessage);
    }
    store.ExStations.push_back(ExportStation("2", 150, 0, 0, {}));
    store.Transmitters.clear();
    try {
        WriteMdeFile(store, path);
        FAIL() << "no transmitter accepted";
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), kNoTransmitterMessage);
    }
    EXPECT_EQ(FileBytes(mde), "old");
}
