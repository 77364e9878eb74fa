#include <functional>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "export/ExportErrors.h"
#include "export/ZFileWriter.h"
#include "tests/export/ExportFixture.h"

namespace {

const std::vector<std::string> kPlot1Header = {
    "$ ZPLOT: DATA = FLOG",
    "$ ZPLOT: AXSTN = Vertical",
    "$ ZPLOT: SIZEX = 1.0",
    "$ ZPLOT: SIZEY = 1.0",
    "$ ZPLOT: PLTREV = No",
    "Contour Plot Z-File",
    "Cl Cn Ce Ns Nd Yl Plot file 1",
    "1 5 0 3 1 1",
    "CSAMT ExHy DATA",
    "CAGNIARD APP. RES.",
    "values in ohm-m",
    "$ TXID = 0",
    "$ TXLEN = 999 m",
    "$ TXBRG = -90",
    "$ TXCX = 0 m",
    "$ TXCY = 500 m",
    "$ ASPACE = 10 m",
    "$ RXBRG = -90",
    "IIxxxxxxxxYYYYYYYYzzzzzzzzzzzz  AAA",
};

const std::vector<std::string> kPlot2Header = {
    " C1 Cn Ce Ns Nd Y1   Plot file  2",
    "  0 10  3  3  0  1",
    " CSAMT ExHy DATA",
    " IMPEDANCE PHASE",
    "  values in milliradians",
    "IIxxxxxxxxYXYYYYYYYzzzzzzzzzzzz  AAA",
};

// A wire of 999.9 m about (0, 500) with Azimuth -90 and a Hy station at 1024, 1 and 0.5 Hz of
// amplitude 1 and phase 0: "MT" = 0.2 E^2 / f, the phase difference is the Ex phase.
SurveyStore ContourSurvey()
{
    SurveyStore store;
    TxData tx = MakeTx("T", 0, 500, 999.9f);
    tx.Azimuth = -90;
    store.Transmitters.push_back(tx);
    TStation hy = ExportStation("H", 0, 3500, 0, {{1024, 1, 0}, {1, 1, 0}, {0.5f, 1, 0}});
    hy.Info.TxName = "T";
    store.HyStations.push_back(hy);
    return store;
}

TStation ContourEx(const std::string& name, const std::vector<Sample>& samples)
{
    TStation ex = ExportStation(name, 0, 3500, 0, samples);
    ex.Info.HyName = "H";
    return ex;
}

std::string Expected(const std::vector<std::string>& plot1, const std::vector<std::string>& plot2)
{
    std::vector<std::string> lines = kPlot1Header;
    lines.insert(lines.end(), plot1.begin(), plot1.end());
    lines.push_back(" 9999.0");
    lines.insert(lines.end(), kPlot2Header.begin(), kPlot2Header.end());
    lines.insert(lines.end(), plot2.begin(), plot2.end());
    lines.push_back(" 9999.0");
    return CrLf(lines);
}

// The station column of plot 1's rows.
std::vector<std::string> Plot1Stations(const std::string& bytes)
{
    std::vector<std::string> names;
    size_t pos = 0;
    for (int line = 0; line < 19; ++line) pos = bytes.find("\r\n", pos) + 2;
    while (bytes.compare(pos, 7, " 9999.0") != 0) {
        std::string number = bytes.substr(pos + 3, 7);
        names.push_back(number.substr(number.find_first_not_of(' ')));
        pos = bytes.find("\r\n", pos) + 2;
    }
    return names;
}

}  // namespace

TEST(ExportZFile, ExactBytes)
{
    SurveyStore store = ContourSurvey();
    store.ExStations.push_back(
        ContourEx("101", {{1024, 32, 0.5f}, {1, 10, 0.25f}, {0.5f, 5, 0.125f}}));
    store.ExStations.push_back(ContourEx("5", {{1, 10, 0}}));  // below the range
    store.StaticFactors = {{"101", 2.0f}};
    const std::string path = ExportTempPath("golden.z");

    WriteZFile(store, path, "9", "200", 3, false);

    // The factor changes plot 1 only.
    EXPECT_EQ(FileBytes(path),
              Expected({" 2     101   19.00   4.000e-01", " 2     101    9.00   4.000e+01",
                        " 2     101    8.00   2.000e+01"},
                       {" 2     101   19.00   5.000e+02", " 2     101    9.00   2.500e+02",
                        " 2     101    8.00   1.250e+02"}));
}

TEST(ExportZFile, RowsWithoutHySampleAndWideNumbers)
{
    // 2 Hz is missing on the Hy station: the rows end before the frequencies do.
    SurveyStore store = ContourSurvey();
    store.ExStations.push_back(ContourEx("12345678", {{1024, 32, 0.5f}, {2, 10, 0}}));
    const std::string path = ExportTempPath("wide.z");
    WriteZFile(store, path, "9", "1e9", 3, false);
    EXPECT_EQ(FileBytes(path),
              Expected({" 2 12345678   19.00   2.000e-01", " 2 12345678   19.00   2.000e-01"},
                       {" 2 12345678   19.00   5.000e+02", " 2 12345678   19.00   5.000e+02"}));
}

TEST(ExportZFile, RangeComparesNamesAsNumbers)
{
    SurveyStore store = ContourSurvey();
    for (const char* name : {"9", "10", "15", "100"})
        store.ExStations.push_back(ContourEx(name, {{1, 10, 0}}));
    for (const char* first : {"9", "9.0"}) {
        const std::string path = ExportTempPath("range.z");
        WriteZFile(store, path, first, "20", 1, false);
        EXPECT_EQ(Plot1Stations(FileBytes(path)), (std::vector<std::string>{"9", "10", "15"}))
            << first;
    }
    // A range without a station, also one given from the larger name to the smaller, says so
    // and leaves the old file.
    const std::string path = ExportTempPath("empty.z");
    PutFile(path, "old");
    for (auto [first, last] : {std::pair("500", "600"), std::pair("100.0", "9.0")}) {
        std::vector<std::string> shown;
        WriteZFile(store, path, first, last, 1, false,
                   [&](const std::string& text) { shown.push_back(text); });
        EXPECT_EQ(shown, std::vector<std::string>{kNoStationInRangeMessage}) << first;
        EXPECT_EQ(FileBytes(path), "old");
    }
}

TEST(ExportZFile, FailuresReportAndLeaveTheOldFile)
{
    SurveyStore store = ContourSurvey();
    store.ExStations.push_back(ContourEx("10", {{1, 10, 0}}));
    const std::string path = ExportTempPath("old.z");
    PutFile(path, "old");

    struct Case {
        const char* what;
        const char* last;
        std::function<void(SurveyStore&)> change;
        std::string message;
    };
    const Case cases[] = {
        // Every name is converted, also one outside the range.
        {"name", "20",
         [](SurveyStore& s) {
             s.ExStations.push_back(ContourEx("L7", {{1, 10, 0}}));
         },
         "'L7' is not a valid floating point value"},
        {"range", "end", [](SurveyStore&) {}, "'end' is not a valid floating point value"},
        // The name is converted before the range text it is compared with.
        {"name and range", "end",
         [](SurveyStore& s) {
             s.ExStations.insert(s.ExStations.begin(), ContourEx("L7", {{1, 10, 0}}));
         },
         "'L7' is not a valid floating point value"},
        {"transmitter", "20", [](SurveyStore& s) { s.Transmitters.clear(); },
         kNoTransmitterMessage},
    };
    for (const Case& c : cases) {
        SurveyStore changed = store;
        c.change(changed);
        try {
            WriteZFile(changed, path, "1", c.last, 1, false);
            ADD_FAILURE() << c.what << " accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(FileBytes(path), "old") << c.what;
    }
    EXPECT_THROW(WriteZFile(store, path, "1", "20", 0, false), EWriteError);
    EXPECT_EQ(FileBytes(path), "old");
    EXPECT_THROW(
        WriteZFile(store, testing::TempDir() + "no_such_folder_q/a.z", "1", "20", 1, false),
        EFCreateError);
}
