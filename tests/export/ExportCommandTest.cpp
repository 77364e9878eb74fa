#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Exception.h"
#include "export/ExportCommand.h"
#include "export/ExportErrors.h"
#include "export/ImpWriter.h"
#include "export/MtdWriter.h"
#include "import/ImpReader.h"
#include "tests/export/ExportFixture.h"

TEST(ExportCommand, CollectFrequenciesKeepsFirstAppearances)
{
    SurveyStore store;
    store.OutputFreqs = {77};
    store.ExStations.push_back(ExportStation("1", 0, 0, 0, {{9600, 1, 0}, {0.1171875f, 1, 0}}));
    store.ExStations.push_back(ExportStation("2", 0, 0, 0, {{9600, 1, 0}, {4, 1, 0}}));
    // Values closer than 1e-10 to one already taken are left out, whichever side they lie on.
    store.ExStations.push_back(ExportStation(
        "3", 0, 0, 0, {{5e-11f, 1, 0}, {1e-11f, 1, 0}, {9e-11f, 1, 0}, {2e-10f, 1, 0}}));
    CollectFrequencies(store);
    EXPECT_EQ(store.OutputFreqs, (std::vector<float>{9600, 0.1171875f, 4, 5e-11f, 2e-10f}));
    EXPECT_EQ(FrequencyItemText(9600), "9.600000E+03");
    EXPECT_EQ(FrequencyItemText(0.1171875f), "1.171875E-01");
}

TEST(ExportCommand, RangeListsAndCountCaption)
{
    SurveyStore store;
    for (const char* name : {"10", "9", "100", "9", "L1"})
        store.ExStations.push_back(ExportStation(name, 0, 0, 0, {}));
    // A name that is not a number: byte order.
    EXPECT_EQ(SortedStationNames(store), (std::vector<std::string>{"10", "100", "9", "9", "L1"}));
    // Every name a number: the order of the values, names of one value in store order.
    store.ExStations.back().Name = "9.0";
    store.ExStations.push_back(ExportStation("-3", 0, 0, 0, {}));
    EXPECT_EQ(SortedStationNames(store),
              (std::vector<std::string>{"-3", "9", "9", "9.0", "10", "100"}));
    EXPECT_EQ(FrequencyCountCaption(40), "一共40个频点，输出其中的");
}

TEST(ExportCommand, FrequencyPresets)
{
    struct Case {
        size_t items;
        int tag;
        std::vector<int> checked;
    };
    const Case cases[] = {
        {10, 5, {0, 1, 2, 3, 4}},
        {10, -5, {6, 7, 8, 9}},
        {1, 5, {}},
        {1, -5, {}},
        {7, 1, {0, 2, 4, 6}},
        {7, 0, {1, 3, 5}},
        {3, 4, {0, 1, 2}},
        {3, -4, {0, 1, 2}},
        {5, 2, {0, 1}},
        {5, -2, {3, 4}},
        {6, -4, {2, 3, 4, 5}},
        {3, 10, {0, 1, 2}},
        {3, 999, {0, 1, 2}},
        {0, 10, {}},
    };
    for (const Case& c : cases) {
        std::vector<bool> expected(c.items, false);
        for (int i : c.checked) expected[i] = true;
        EXPECT_EQ(FrequencyPresetChecks(c.items, c.tag), expected)
            << c.items << " items, tag " << c.tag;
    }
}

TEST(ExportCommand, WriterChosenByTheFirstKnownExtension)
{
    struct Case {
        const char* name;
        bool amplitude;
        ExportFormat format;
    };
    const Case cases[] = {
        {"/d/data.mtd/line1.z", false, ExportFormat::Mtd},
        {"/d/old.zones/line1.imp", false, ExportFormat::ZFile},
        {"survey.MTD", false, ExportFormat::Mtd},
        {"a.Imp", false, ExportFormat::ImpComplex},
        {"a.imp", true, ExportFormat::ImpAmplitude},
        {"a.txt", false, ExportFormat::None},
        {"", false, ExportFormat::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseExportFormat(c.name, c.amplitude), c.format) << c.name;
}

namespace {

SurveyStore TwoStationSurvey()
{
    SurveyStore store;
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    store.Transmitters[0].Fip.Freq = 0.029296875f;
    TStation hy = ExportStation("H", 0, 3000, 0, {{0.029296875f, 1, 0}});
    hy.Info.TxName = "T1";
    store.HyStations.push_back(hy);
    for (const char* name : {"1", "2"}) {
        TStation ex = ExportStation(name, 0, 3000, 0, {{0.029296875f, 10, 0}});
        ex.Info.HyName = "H";
        ex.Info.TxName = "T1";
        store.ExStations.push_back(ex);
    }
    return store;
}

// One row for each of the two stations, into a file of the test folder.
ExportSettings BothStations(const std::string& fileName)
{
    ExportSettings settings;
    settings.FileName = ExportTempPath(fileName);
    settings.FromStation = "1";
    settings.ToStation = "2";
    settings.Count = 1;
    return settings;
}

}  // namespace

TEST(ExportCommand, MtdExportWritesBothFilesOrNeither)
{
    SurveyStore store = TwoStationSurvey();
    ExportSettings settings = BothStations("run.mtd");
    const std::string mde = ExportTempPath("run.mde");
    settings.Frequencies = {0.029296875f};
    EXPECT_EQ(RunExport(store, settings, nullptr), ExportFormat::Mtd);
    EXPECT_NE(FileBytes(settings.FileName).find("\r\n    2,"), std::string::npos);
    EXPECT_NE(FileBytes(mde).find("$ STNDELT=0\r\n"), std::string::npos);

    // One Ex station leaves the MDE file without its spacing: neither file is touched.
    PutFile(settings.FileName, "old");
    PutFile(mde, "old");
    store.ExStations.pop_back();
    EXPECT_THROW(RunExport(store, settings, nullptr), EWriteError);
    store = TwoStationSurvey();
    settings.Count = 0;
    EXPECT_THROW(RunExport(store, settings, nullptr), EWriteError);
    EXPECT_EQ(FileBytes(settings.FileName), "old");
    EXPECT_EQ(FileBytes(mde), "old");

    // A range without a station: the message, and neither file.
    settings.Count = 1;
    settings.FromStation = "3";
    settings.ToStation = "4";
    std::vector<std::string> shown;
    EXPECT_EQ(RunExport(store, settings, [&](const std::string& text) { shown.push_back(text); }),
              ExportFormat::Mtd);
    EXPECT_EQ(shown, std::vector<std::string>{kNoStationInRangeMessage});
    EXPECT_EQ(FileBytes(settings.FileName), "old");
    EXPECT_EQ(FileBytes(mde), "old");
}

// The MTD file and its MDE file are one result: an MDE file that cannot be replaced (read-only
// here) keeps the MTD file as it was too, and the message names both.
TEST(ExportCommand, AnMdeFileThatCannotBeWrittenKeepsTheMtdFile)
{
    SurveyStore store = TwoStationSurvey();
    const ExportSettings settings = BothStations("kept.mtd");
    const std::string mde = ExportTempPath("kept.mde");
    PutFile(settings.FileName, "old mtd");
    PutFile(mde, "old mde");
    chmod(mde.c_str(), 0444);
    try {
        RunExport(store, settings, nullptr);
        ADD_FAILURE() << "a read-only MDE file was passed over";
    } catch (const EWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + mde +
                                             "\n同组的文件无法保存，文件 " + settings.FileName +
                                             " 保持不变。");
    }
    EXPECT_EQ(FileBytes(settings.FileName), "old mtd");
    EXPECT_EQ(FileBytes(mde), "old mde");
    chmod(mde.c_str(), 0644);
    RunExport(store, settings, nullptr);
    EXPECT_NE(FileBytes(settings.FileName).find("\r\n    2,"), std::string::npos);
    EXPECT_NE(FileBytes(mde).find("$ STNDELT=0\r\n"), std::string::npos);
}

TEST(ExportCommand, CheckedFrequenciesReachTheImpFileUnchanged)
{
    // 0.029296875 shows as 2.929688E-02, which would not match the record's frequency.
    SurveyStore store = TwoStationSurvey();
    ExportSettings settings;
    settings.FileName = ExportTempPath("run.imp");
    settings.Frequencies = {0.029296875f};
    EXPECT_EQ(RunExport(store, settings, nullptr), ExportFormat::ImpComplex);
    EXPECT_EQ(store.OutputFreqs, settings.Frequencies);
    const std::string bytes = FileBytes(settings.FileName);
    EXPECT_NE(bytes.find("\r\n1\r\n2.929688e-02           2           2"), std::string::npos)
        << bytes;

    settings.FileName = ExportTempPath("run.txt");
    settings.Frequencies.clear();
    EXPECT_EQ(RunExport(store, settings, nullptr), ExportFormat::None);
    EXPECT_TRUE(store.OutputFreqs.empty());
    EXPECT_EQ(FileBytes(settings.FileName), "<no file>");
}

// Every way of an MTD or Z-file export to have no row says what is missing and writes no file:
// a survey opened from an IMP file (no Hy station), stations of the range without samples, or
// without a Hy sample at their frequencies, and no transmitter.
TEST(ExportCommand, ExportsWithoutRowsSayWhatIsMissing)
{
    SurveyStore written = TwoStationSurvey();
    written.OutputFreqs = {0.029296875f};
    const std::string imp = ExportTempPath("survey.imp");
    WriteImpFileComplex(written, imp, "", "", 0, false, false, nullptr);
    SurveyStore fromImp;
    ReadImpFile(fromImp, imp);
    ASSERT_EQ(fromImp.ExStations.size(), 2u);
    ASSERT_TRUE(fromImp.HyStations.empty());

    struct Case {
        const char* what;
        std::function<void(SurveyStore&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"IMP survey", [&](SurveyStore& s) { s = fromImp; }, kNoHyStationMessage},
        {"no samples",
         [](SurveyStore& s) {
             for (TStation& ex : s.ExStations) ex = ExportStation(ex.Name, 0, 3000, 0, {});
         },
         kNoSampleInRangeMessage},
        {"no Hy frequency", [](SurveyStore& s) { s.HyStations[0].Amplitude.X[0] = 5; },
         kNoSampleInRangeMessage},
        {"Hy amplitude too small", [](SurveyStore& s) { s.HyStations[0].Amplitude.Y[0] = 0; },
         kNoSampleInRangeMessage},
    };
    for (const char* extension : {".mtd", ".z"}) {
        for (const Case& c : cases) {
            SurveyStore store = TwoStationSurvey();
            c.change(store);
            const ExportSettings settings = BothStations(std::string("rows") + extension);
            const std::string mde = ExportTempPath("rows.mde");
            PutFile(settings.FileName, "old");
            std::vector<std::string> shown;
            RunExport(store, settings, [&](const std::string& text) { shown.push_back(text); });
            EXPECT_EQ(shown, std::vector<std::string>{c.message}) << c.what << extension;
            EXPECT_EQ(FileBytes(settings.FileName), "old") << c.what << extension;
            EXPECT_EQ(FileBytes(mde), "<no file>") << c.what << extension;
        }
    }

    // No transmitter: the writer alone says so (the export refuses it before, for the MDE file
    // and the Z-file's header).
    SurveyStore store = TwoStationSurvey();
    store.Transmitters.clear();
    const std::string path = ExportTempPath("notx.mtd");
    std::vector<std::string> shown;
    EXPECT_FALSE(WriteMtdFile(store, path, "1", "2", 1, false,
                              [&](const std::string& text) { shown.push_back(text); }));
    EXPECT_EQ(shown, std::vector<std::string>{kNoTransmitterMessage});
    EXPECT_EQ(FileBytes(path), "<no file>");
}

// A name in which none of the formats is found says so, and no file is written.
TEST(ExportCommand, ANameOfNoFormatSaysSo)
{
    SurveyStore store = TwoStationSurvey();
    for (const char* name : {"run.dat", ""}) {
        ExportSettings settings;
        settings.FileName = name[0] ? ExportTempPath(name) : std::string();
        std::vector<std::string> shown;
        EXPECT_EQ(
            RunExport(store, settings, [&](const std::string& text) { shown.push_back(text); }),
            ExportFormat::None);
        EXPECT_EQ(shown, std::vector<std::string>{kNoOutputFormatMessage}) << name;
        if (name[0]) {
            EXPECT_EQ(FileBytes(settings.FileName), "<no file>");
        }
    }
}
