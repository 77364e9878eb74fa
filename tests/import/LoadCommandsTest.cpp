#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exception.h"
#include "base/Progress.h"
#include "base/TextStream.h"
#include "import/LoadCommands.h"
#include "tests/support/TempFiles.h"

namespace {

using Events = std::vector<std::string>;

class RecordingHooks : public LoadHooks {
public:
    Events events;
    void ShowBusyCursor() override { events.push_back("busy"); }
    void RestoreCursor() override { events.push_back("arrow"); }
    void ProcessMessages() override { events.push_back("messages"); }
    void RedrawMap() override { events.push_back("redraw"); }
};

// Adds one sample to the Ex station of a name, making the station when it is new.
void AddSample(SurveyStore& store, const std::string& name, float f)
{
    TStation* station = nullptr;
    for (TStation& s : store.ExStations)
        if (s.Name == name) station = &s;
    if (!station) {
        store.ExStations.emplace_back();
        station = &store.ExStations.back();
        station->Name = name;
    }
    station->Amplitude.X.push_back(f);
    station->Phase.X.push_back(f);
}

// Readers that log their calls into the hooks' events. The raw reader adds stations S1 and S2 of
// every file and throws for a name holding "bad"; the CSAMT reader takes names holding "amt" for
// the other dialect.
LoadReaders FakeReaders(RecordingHooks& hooks)
{
    LoadReaders readers;
    Events& log = hooks.events;
    readers.rewrite = [&log](const std::string& name) { log.push_back("rewrite " + name); };
    readers.gdpRaw = [&log](SurveyStore& store, const std::string& name) {
        log.push_back("raw " + name);
        AddSample(store, "S1", 8);
        if (name.find("bad") != std::string::npos) throw InvalidFloat("x");
        AddSample(store, "S2", 8);
    };
    readers.csamtAvg = [&log](SurveyStore& store, const std::string& name, bool* otherDialect) {
        log.push_back("csamt " + name);
        if (name.find("amt") != std::string::npos)
            *otherDialect = true;
        else
            AddSample(store, "C1", 4);
    };
    readers.amtAvg = [&log](SurveyStore&, const std::string& name,
                            const std::function<void()>& processMessages) {
        log.push_back("amtavg " + name);
        processMessages();
    };
    readers.imp = [&log](SurveyStore&, const std::string& name) { log.push_back("imp " + name); };
    readers.usf = [&log](SurveyStore&, const std::string& name) { log.push_back("usf " + name); };
    return readers;
}

}  // namespace

TEST(LoadCommands, ReaderChosenByTheCurrentFileName)
{
    struct Case {
        std::string current;
        LoadFormat format;
    };
    for (const Case& c :
         {Case{"/d/A.RAW", LoadFormat::GdpRaw}, Case{"/d/x.avg/b.dat", LoadFormat::Avg},
          Case{"/d/x.raw/b.imp", LoadFormat::GdpRaw}, Case{"/d/b.avg.raw", LoadFormat::GdpRaw},
          Case{"/d/b.Imp", LoadFormat::Imp}, Case{"/d/c.usf", LoadFormat::Usf},
          Case{"/d/raw.txt", LoadFormat::None}, Case{"", LoadFormat::None}})
        EXPECT_EQ(ChooseLoadFormat(c.current), c.format) << c.current;

    // The choice holds for every chosen file; IMP and USF read the current file only.
    struct Run {
        std::vector<std::string> chosen;
        Events events;
    };
    for (const Run& run :
         {Run{{"/d/a.raw", "/d/b.avg"},
              {"busy", "rewrite /d/a.raw", "raw /d/a.raw", "messages", "rewrite /d/b.avg",
               "raw /d/b.avg", "messages", "redraw", "arrow"}},
          Run{{"/d/x.avg/b.dat", "/d/c.raw"},
              {"busy", "csamt /d/x.avg/b.dat", "csamt /d/c.raw", "redraw", "arrow"}},
          Run{{"/d/1.imp", "/d/2.imp", "/d/3.imp"}, {"busy", "imp /d/1.imp", "redraw", "arrow"}},
          Run{{"/d/1.usf"}, {"busy", "usf /d/1.usf", "redraw", "arrow"}},
          Run{{"/d/1.txt", "/d/2.raw"}, {"busy", "redraw", "arrow"}}}) {
        SurveyStore store;
        RecordingHooks hooks;
        AppendFiles(store, run.chosen, run.chosen.front(), hooks, FakeReaders(hooks));
        EXPECT_EQ(hooks.events, run.events) << run.chosen.front();
        EXPECT_EQ(store.LoadedFiles, run.chosen);
    }
}

TEST(LoadCommands, AvgDialectFlagStaysSetForTheRun)
{
    SurveyStore store;
    RecordingHooks hooks;
    AppendFiles(store, {"c1.avg", "amt.avg", "c2.avg"}, "c1.avg", hooks, FakeReaders(hooks));
    EXPECT_EQ(hooks.events,
              (Events{"busy", "csamt c1.avg", "csamt amt.avg", "amtavg amt.avg", "messages",
                      "csamt c2.avg", "amtavg c2.avg", "messages", "redraw", "arrow"}));

    // The next command starts with the flag cleared.
    hooks.events.clear();
    AppendFiles(store, {"c3.avg"}, "c3.avg", hooks, FakeReaders(hooks));
    EXPECT_EQ(hooks.events, (Events{"busy", "csamt c3.avg", "redraw", "arrow"}));
}

TEST(LoadCommands, EveryLoadSetsCountsAndAppendsFactors)
{
    SurveyStore store;
    RecordingHooks hooks;
    AppendFiles(store, {"a.raw"}, "a.raw", hooks, FakeReaders(hooks));
    AppendFiles(store, {"a.raw"}, "a.raw", hooks, FakeReaders(hooks));
    EXPECT_EQ(store.LoadedFiles, (std::vector<std::string>{"a.raw", "a.raw"}));
    ASSERT_EQ(store.ExStations.size(), 2u);
    for (const TStation& station : store.ExStations) {
        EXPECT_EQ(station.Amplitude.Count, 2);
        EXPECT_EQ(station.Phase.Count, 2);
        EXPECT_EQ(station.Errors.Count, 0);
    }
    ASSERT_EQ(store.StaticFactors.size(), 4u);
    const char* names[] = {"S1", "S2", "S1", "S2"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(store.StaticFactors[i].Name, names[i]);
        EXPECT_EQ(store.StaticFactors[i].Factor, 1.0f);
    }

    // Only a USF file into an empty survey: nothing read, no factor; the map is asked to redraw.
    SurveyStore empty;
    hooks.events.clear();
    AppendFiles(empty, {"x.usf"}, "x.usf", hooks);
    EXPECT_TRUE(empty.StaticFactors.empty());
    EXPECT_EQ(hooks.events, (Events{"busy", "redraw", "arrow"}));
}

TEST(LoadCommands, ReloadReadsRememberedRawAndAvgFilesAgain)
{
    SurveyStore store;
    store.LoadedFiles = {"a.raw", "b.imp", "amt.avg", "c.avg", "d.usf", "e.raw.avg"};
    store.HyStations.emplace_back();
    store.EyStations.emplace_back();
    store.WorkStations.emplace_back();
    store.EHStations.emplace_back();
    store.Transmitters.emplace_back();
    store.StaticFactors.push_back(SECF{"old", 3.0f});
    store.OutputFreqs = {8};
    store.ProfileIndices = {1};
    store.RotationAngle = 30;
    store.CurrentStation = 1;
    AddSample(store, "IMP1", 2);

    RecordingHooks hooks;
    ReloadAllFiles(store, hooks, FakeReaders(hooks));
    EXPECT_EQ(hooks.events,
              (Events{"rewrite a.raw", "raw a.raw", "messages", "csamt amt.avg", "amtavg amt.avg",
                      "messages", "csamt c.avg", "amtavg c.avg", "messages", "rewrite e.raw.avg",
                      "raw e.raw.avg", "messages", "csamt e.raw.avg", "amtavg e.raw.avg",
                      "messages", "redraw", "arrow"}));
    EXPECT_EQ(store.LoadedFiles.size(), 6u);
    ASSERT_EQ(store.ExStations.size(), 3u);  // S1, S2 and C1; IMP1 is gone
    EXPECT_EQ(store.ExStations[0].Amplitude.Count, 2);
    EXPECT_TRUE(store.HyStations.empty());
    EXPECT_TRUE(store.EyStations.empty());
    EXPECT_TRUE(store.WorkStations.empty());
    EXPECT_TRUE(store.EHStations.empty());
    EXPECT_TRUE(store.Transmitters.empty());
    ASSERT_EQ(store.StaticFactors.size(), 3u);
    EXPECT_EQ(store.StaticFactors[0].Name, "S1");
    EXPECT_EQ(store.OutputFreqs, std::vector<float>{8});
    EXPECT_EQ(store.ProfileIndices, std::vector<int>{1});
    EXPECT_EQ(store.RotationAngle, 30);
    EXPECT_EQ(store.CurrentStation, 1);

    // Nothing remembered: the survey ends empty.
    SurveyStore nothing;
    AddSample(nothing, "X", 1);
    ReloadAllFiles(nothing, hooks, FakeReaders(hooks));
    EXPECT_TRUE(nothing.ExStations.empty());
    EXPECT_TRUE(nothing.StaticFactors.empty());
}

// A failing reader ends the command and its file is refused whole: the sample it had added to
// S1 is taken out again. The stations read before it get their counts and factors, the map shows
// them and the cursor comes back.
TEST(LoadCommands, FailedLoadIsClosedForWhatWasRead)
{
    SurveyStore store;
    RecordingHooks hooks;
    EXPECT_THROW(
        AppendFiles(store, {"a.raw", "bad.raw", "c.raw"}, "a.raw", hooks, FakeReaders(hooks)),
        EConvertError);
    EXPECT_EQ(hooks.events, (Events{"busy", "rewrite a.raw", "raw a.raw", "messages",
                                    "rewrite bad.raw", "raw bad.raw", "redraw", "arrow"}));
    EXPECT_EQ(store.LoadedFiles.size(), 3u);
    ASSERT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.ExStations[0].Amplitude.Count, 1);  // S1 of a.raw alone
    EXPECT_EQ(store.ExStations[0].Amplitude.X, std::vector<float>{8});
    EXPECT_EQ(store.ExStations[1].Phase.Count, 1);
    EXPECT_EQ(store.StaticFactors.size(), 2u);

    hooks.events.clear();
    EXPECT_THROW(ReloadAllFiles(store, hooks, FakeReaders(hooks)), EConvertError);
    EXPECT_EQ(hooks.events, (Events{"rewrite a.raw", "raw a.raw", "messages", "rewrite bad.raw",
                                    "raw bad.raw", "redraw", "arrow"}));
    EXPECT_EQ(store.StaticFactors.size(), 2u);
    EXPECT_EQ(store.ExStations[0].Amplitude.Count, 1);
}

// A load reports file by file; one cancelled at its second file ends as a failed one: the
// first file's records stay and the load is closed for them.
TEST(LoadCommands, CancelledLoadIsClosedForWhatWasRead)
{
    struct CancelAtSecondFile : Progress {
        std::vector<std::uint64_t> done;
        void Report(std::uint64_t d, std::uint64_t total) override
        {
            EXPECT_EQ(total, 3u);
            done.push_back(d);
            if (d == 1) throw EAbort();
        }
    } progress;
    ProgressScope scope(&progress);
    SurveyStore store;
    RecordingHooks hooks;
    EXPECT_THROW(
        AppendFiles(store, {"a.raw", "b.raw", "c.raw"}, "a.raw", hooks, FakeReaders(hooks)),
        EAbort);
    EXPECT_EQ(progress.done, (std::vector<std::uint64_t>{0, 1}));
    EXPECT_EQ(hooks.events,
              (Events{"busy", "rewrite a.raw", "raw a.raw", "messages", "redraw", "arrow"}));
    ASSERT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.ExStations[0].Amplitude.Count, 1);
    EXPECT_EQ(store.StaticFactors.size(), 2u);
}

// The raw reader's choice holds for the whole selection, but only a text file of its own name
// ".raw" is rewritten on disk; every other file is read as it stands and left as it was.
TEST(LoadCommands, OnlyRawTextFilesAreRewritten)
{
    const std::string folder = TempPath("survey.raw.d", "quillane_load_");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    auto block = [](const std::string& station) {
        return "1\nCSAMT data\nTx 7 Rx 55\n8 Hz 0 0 0 0 1\n1 ex " + station + " 0.004 -785\n";
    };
    struct File {
        std::string name, bytes;
    } files[] = {
        {folder + "/a.raw", block("101")},
        {folder + "/photo.jpg", block("201")},
        {folder + "/data.bin", block("301")},
        {folder + "/x.raw", std::string("\0\n", 2) + block("4\x01x")},
    };
    for (const File& f : files) ASSERT_TRUE(WriteBytes(f.name, f.bytes));

    SurveyStore store;
    RecordingHooks hooks;
    AppendFiles(store, {files[0].name, files[1].name}, files[0].name, hooks);
    EXPECT_EQ(ReadBytes(files[0].name),
              "1\r\nCSAMT data\r\nTx 7 Rx 55\r\n8 Hz 0 0 0 0 1\r\n1 ex 101 "
              "0.004 -785\r\n");
    EXPECT_EQ(ReadBytes(files[1].name), files[1].bytes);
    EXPECT_EQ(store.ExStations.size(), 2u);  // photo.jpg was read all the same

    store.LoadedFiles = {files[2].name};
    ReloadAllFiles(store, hooks);
    EXPECT_EQ(ReadBytes(files[2].name), files[2].bytes);
    EXPECT_EQ(store.ExStations.size(), 1u);

    EXPECT_THROW(AppendFiles(store, {files[3].name}, files[3].name, hooks), EConvertError);
    EXPECT_EQ(ReadBytes(files[3].name), files[3].bytes);

    for (const File& f : files) std::remove(f.name.c_str());
    rmdir(folder.c_str());
}

// The files that gave the store nothing are named once each, in the order of the load.
TEST(LoadCommands, FilesThatGaveNothing)
{
    using Names = std::vector<std::string>;
    struct Case {
        Names chosen;
        Names nothing;
    };
    for (const Case& c :
         {Case{{"/d/a.raw", "/d/b.raw"}, {}},
          Case{{"/d/c.avg", "/d/amt.avg", "/d/c.avg", "/d/amt.avg"}, {"/d/amt.avg"}},
          Case{{"/d/1.imp", "/d/2.imp"}, {"/d/1.imp", "/d/2.imp"}},
          Case{{"/d/1.usf"}, {"/d/1.usf"}},
          Case{{"/d/1.txt", "/d/2.raw"}, {"/d/1.txt", "/d/2.raw"}}}) {
        SurveyStore store;
        RecordingHooks hooks;
        EXPECT_EQ(AppendFiles(store, c.chosen, c.chosen.front(), hooks, FakeReaders(hooks)),
                  c.nothing)
            << c.chosen.front();
    }

    SurveyStore store;
    store.LoadedFiles = {"a.raw", "b.imp", "amt.avg", "c.avg", "d.usf", "a.raw"};
    RecordingHooks hooks;
    EXPECT_EQ(ReloadAllFiles(store, hooks, FakeReaders(hooks)),
              (Names{"b.imp", "amt.avg", "d.usf"}));

    // The real readers: a text file named .avg, a USF file, beside an averaged file that reads.
    const std::string text = testing::TempDir() + "notes.avg";
    const std::string usf = testing::TempDir() + "line.usf";
    std::ofstream(text, std::ios::binary) << "field notes\r\nday 2\r\n";
    std::ofstream(usf, std::ios::binary) << "USF\r\n";
    const std::string avg = QUILLANE_SOURCE_DIR "/examples/line1_csamt.avg";
    SurveyStore real;
    EXPECT_EQ(AppendFiles(real, {text, avg}, text, hooks), Names{text});
    EXPECT_FALSE(real.ExStations.empty());
    EXPECT_EQ(AppendFiles(real, {usf}, usf, hooks), Names{usf});
    std::remove(text.c_str());
    std::remove(usf.c_str());
}

TEST(LoadCommands, ImpLoadLeavesAFileNamedTempAlone)
{
    std::string imp = testing::TempDir() + "load.imp";
    std::ofstream(imp, std::ios::binary)
        << "h\r\nh\r\nh\r\n\r\n1\r\n1.0 2 1 2 0 0 0 1 1000 1 0 0 0\r\n"
           "10\r\n20\r\n30\r\nRe Im\r\nR1 1e-6 0\r\n1e-8 0\r\n";
    bool made = false;
    if (!std::ifstream("temp")) {
        std::ofstream("temp") << "the user's file";
        made = true;
    }
    SurveyStore store;
    RecordingHooks hooks;
    AppendFiles(store, {imp}, imp, hooks);
    EXPECT_TRUE(static_cast<bool>(std::ifstream("temp")));
    if (made) std::remove("temp");
    ASSERT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Amplitude.Count, 1);
    EXPECT_EQ(store.StaticFactors.size(), 1u);
}

// An IMP file that fails in its second receiver is refused whole: its transmitter, the new
// station R1 and the sample it gave the known station R0 are taken out again. The survey before
// it is closed like after any other failed load, and the message names the file and line.
TEST(LoadCommands, FailedImpLoadIsClosed)
{
    std::string imp = testing::TempDir() + "failed.imp";
    std::ofstream(imp, std::ios::binary)
        << "h\r\nh\r\nh\r\n\r\n1\r\n1.0 2 3 2 0 0 0 1 1000 1 0 0 0\r\n"
           "10 11 12\r\n20 21 22\r\n30 31 32\r\nRe Im\r\nR0 1e-6 0\r\n1e-8 0\r\n"
           "R1 1e-6 0\r\n1e-8 0\r\nR2 1e-6\r\n";
    SurveyStore store;
    AddSample(store, "R0", 4);
    store.ExStations[0].Amplitude.Y.push_back(1);
    store.ExStations[0].Phase.Y.push_back(0);
    store.ExStations[0].Errors.X.push_back(0);
    store.ExStations[0].Errors.Y.push_back(0);
    const SurveyStore before = store;
    RecordingHooks hooks;
    try {
        AppendFiles(store, {imp}, imp, hooks);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'' is not a valid floating point value (file " + imp + ", line 15)");
    }
    ASSERT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X, before.ExStations[0].Amplitude.X);
    EXPECT_EQ(store.ExStations[0].Errors.Y, before.ExStations[0].Errors.Y);
    EXPECT_EQ(store.ExStations[0].Amplitude.Count, 1);
    EXPECT_TRUE(store.Transmitters.empty());
    EXPECT_EQ(store.StaticFactors.size(), 1u);
    EXPECT_EQ(hooks.events, (Events{"busy", "redraw", "arrow"}));
    std::remove(imp.c_str());
}

// Every reader's file is refused whole, whatever it added before it failed: a GDP32 raw file
// whose second block has a bad station field, after the first block gave samples to the stations
// of an earlier file and made a transmitter; a CSAMT AVG file is refused before its merge; the
// files before stay as they were.
TEST(LoadCommands, RealReadersRefuseAFailedFileWhole)
{
    auto block = [](int number, const std::string& freq, const std::string& station) {
        return std::to_string(number) + "\r\nCSAMT data\r\nTx 7 Rx 55\r\n" + freq +
               " Hz 0 0 0 0 1\r\n1 ex " + station + " 0.004 -785\r\n2 hy " + station +
               " 0.002 -100\r\n";
    };
    const std::string good = TempPath("good.raw", "quillane_load_");
    const std::string bad = TempPath("bad.raw", "quillane_load_");
    ASSERT_TRUE(WriteBytes(good, block(1, "8", "101")));
    ASSERT_TRUE(WriteBytes(bad, block(1, "16", "101") + block(2, "32", "2x")));
    SurveyStore store;
    RecordingHooks hooks;
    AppendFiles(store, {good}, good, hooks);
    const SurveyStore loaded = store;
    try {
        AppendFiles(store, {bad}, bad, hooks);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message,
                  "'2x' is not a valid floating point value (file " + bad + ", line 11)");
    }
    ASSERT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X, loaded.ExStations[0].Amplitude.X);
    EXPECT_EQ(store.ExStations[0].Errors.X, loaded.ExStations[0].Errors.X);
    ASSERT_EQ(store.HyStations.size(), 1u);
    EXPECT_EQ(store.HyStations[0].Phase.Y, loaded.HyStations[0].Phase.Y);
    EXPECT_EQ(store.Transmitters.size(), loaded.Transmitters.size());

    const std::string avg = TempPath("bad.avg", "quillane_load_");
    ASSERT_TRUE(WriteBytes(avg,
                           "CSAMT\n<Channel>\nh\ntx T g 0 -5 0 0 a b 5 0 0\n"
                           "ex d E 0 1 0 0 a b 2 0 0\n\nid:ex\nh\n4 2.0 x 0 0\n"));
    EXPECT_THROW(AppendFiles(store, {avg}, avg, hooks), EConvertError);
    EXPECT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.Transmitters.size(), loaded.Transmitters.size());
    for (const std::string& name : {good, bad, avg}) std::remove(name.c_str());
}

// An AMTAVG file whose first line names, after the banner, a converter with "CSAMT" in its name:
// the AMTAVG reader reads it (a heading row spelt "skpStation", "*" for missing values as the
// rows have them) and the CSAMT AVG reader adds no Hy station "unknown" and no transmitter
// without a name, so the first transmitter is the file's. A TEM averaged file, which neither
// reader takes, and a CSAMT AVG file without data are named as files that gave nothing.
TEST(LoadCommands, AveragedFilesOfOtherPrograms)
{
    const std::string amt = TempPath("A7.avg", "quillane_load_");
    ASSERT_TRUE(WriteBytes(
        amt,
        "\\AMTAVG:7.76: \"A7.fld\",Dated: 21-03-02,Processed: 5 May 21,@by_CSAMTconv: "
        "2021-05-05 10:12\n"
        "$ ASPACE=  50.0m\n"
        "$ XMTR  =    20.\n"
        "skpStation  Freq  Comp Amps Emag Ephz Hmag Hphz Resistivity Phase %Emag sEphz %Hmag "
        "sHphz %Rho sPhz\n"
        "\\-++------++----++---++----++---------++------+\n"
        "  2  100  8  ExHy 10 1000 -500 2 -700 300 -200 5 * 6 30 7 40\n"
        "  2  100  16 ExHy 10 1000 * 2 -700 300 -200 5 20 6 30 7 40\n"
        "  2  150  8  ExHy 10 2000 -400 3 -600 310 -210 5 20 6 30 7 40\n"));
    const std::string tem = TempPath("T1.avg", "quillane_load_");
    ASSERT_TRUE(WriteBytes(tem, "\\ TEMAVG 7.77: \"T1.fld\", Dated 21-03-02\n1 2 3\n"));
    const std::string bare = TempPath("bare.avg", "quillane_load_");
    ASSERT_TRUE(WriteBytes(bare, "CSAMT averaged data\n<Survey>\nSite: S9\n\n"));

    SurveyStore store;
    RecordingHooks hooks;
    EXPECT_EQ(AppendFiles(store, {amt, tem, bare}, amt, hooks),
              (std::vector<std::string>{tem, bare}));
    ASSERT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.ExStations[0].Name, "100");
    EXPECT_EQ(store.ExStations[0].Amplitude.X, std::vector<float>{8});  // the "*" row is skipped
    EXPECT_FLOAT_EQ(store.ExStations[0].Errors.Y[0], 0.0001f);          // "*" error: 0.1 mrad
    EXPECT_EQ(store.ExStations[1].Name, "150");
    ASSERT_EQ(store.HyStations.size(), 2u);
    for (const TStation& hy : store.HyStations) EXPECT_NE(hy.Name, "unknown");
    ASSERT_EQ(store.Transmitters.size(), 1u);
    EXPECT_EQ(store.Transmitters[0].Name, "20");
    EXPECT_FLOAT_EQ(store.Transmitters[0].Length, 1000);
    EXPECT_FLOAT_EQ(store.Transmitters[0].Cy, 500);
    for (const std::string& name : {amt, tem, bare}) std::remove(name.c_str());
}

TEST(LoadCommands, ListAndHelpTexts)
{
    SurveyStore store;
    EXPECT_EQ(LoadedFilesText(store), "");
    store.LoadedFiles = {"/d/a.raw", "/d/b.avg"};
    EXPECT_EQ(LoadedFilesText(store), "/d/a.raw\n/d/b.avg\n");
    EXPECT_STREQ(kFileHelpText,
                 "\xe5\xbd\x93\xe5\xa4\x9a\xe6\x9d\xa1\xe5\x89\x96\xe9\x9d\xa2\xe5\x88\x86\xe5\x88"
                 "\xab\xe5\xad\x98\xe5\x9c\xa8\xe7\x9a\x84\xe6\x97\xb6\xe5\x80\x99,\xe5\x8f\xaf"
                 "\xe4\xbb\xa5\xe5\x85\x88\xe5\x88\x86\xe5\x88\xab\xe5\x8a\xa0\xe8\xbd\xbd\xe5\x90"
                 "\x8e\xe4\xbf\x9d\xe5\xad\x98\xe4\xb8\xbaimp\xe6\xa0\xbc\xe5\xbc\x8f.\n"
                 "\xe7\x84\xb6\xe5\x90\x8e,\xe9\x80\x9a\xe8\xbf\x87 \xe6\xb7\xbb\xe5\x8a\xa0\xe6"
                 "\xb5\x8b\xe7\xba\xbf \xe5\x8a\x9f\xe8\x83\xbd\xe5\xb0\x86\xe6\x89\x80\xe6\x9c"
                 "\x89\xe5\x89\x96\xe9\x9d\xa2\xe6\xb7\xbb\xe5\x8a\xa0\xe8\xbf\x9b\xe6\x9d\xa5"
                 "\xe5\x90\x8e\xe7\xbb\x9f\xe4\xb8\x80\xe8\xbe\x93\xe5\x87\xba.\n");
}

// A reader that runs out of memory ends the load with a message that names the file; the
// survey loaded before stays, the sample cut short is dropped and the load is closed.
TEST(LoadCommands, OutOfMemoryNamesTheFile)
{
    RecordingHooks hooks;
    LoadReaders readers = FakeReaders(hooks);
    readers.imp = [](SurveyStore& store, const std::string&) {
        AddSample(store, "S1", 16);
        TStation& station = store.ExStations.back();
        station.Amplitude.Y.push_back(1);  // half a sample, as a failed append leaves it
        throw std::bad_alloc();
    };
    SurveyStore store;
    AddSample(store, "S1", 8);
    store.ExStations[0].Amplitude.Y.push_back(1);
    store.ExStations[0].Phase.Y.push_back(2);
    store.ExStations[0].Errors.X.push_back(3);
    store.ExStations[0].Errors.Y.push_back(4);
    try {
        AppendFiles(store, {"/d/big.imp"}, "/d/big.imp", hooks, readers);
        FAIL() << "no error";
    } catch (const EOutOfMemory& e) {
        EXPECT_STREQ(e.what(), "File /d/big.imp is too large to load");
    }
    ASSERT_EQ(store.ExStations.size(), 1u);
    const TStation& station = store.ExStations[0];
    EXPECT_EQ(station.Amplitude.X, std::vector<float>{8});
    EXPECT_EQ(station.Amplitude.Y, std::vector<float>{1});
    EXPECT_EQ(station.Phase.X, std::vector<float>{8});
    EXPECT_EQ(station.Amplitude.Count, 1);
    EXPECT_EQ(hooks.events, (Events{"busy", "redraw", "arrow"}));
}

// Running out of memory while the load is closed names the last file read (before any, the
// current file), also when a reader failed before; the cursor comes back.
TEST(LoadCommands, OutOfMemoryInTheClosingNamesTheFile)
{
    class FailingRedraw : public RecordingHooks {
    public:
        void RedrawMap() override
        {
            RecordingHooks::RedrawMap();
            throw std::bad_alloc();
        }
    };
    struct Case {
        std::vector<std::string> chosen;
        std::string current, message;
    } cases[] = {
        {{"/d/a.raw", "/d/b.raw"}, "/d/a.raw", "File /d/b.raw is too large to load"},
        {{"/d/a.raw", "/d/bad.raw", "/d/c.raw"},
         "/d/a.raw",
         "File /d/bad.raw is too large to load"},
        {{"/d/a.txt"}, "/d/a.txt", "File /d/a.txt is too large to load"},
    };
    for (const Case& c : cases) {
        FailingRedraw hooks;
        LoadReaders readers = FakeReaders(hooks);
        SurveyStore store;
        try {
            AppendFiles(store, c.chosen, c.current, hooks, readers);
            ADD_FAILURE() << "no error";
        } catch (const EOutOfMemory& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_EQ(hooks.events.back(), "arrow");
    }
    FailingRedraw hooks;
    SurveyStore store;
    store.LoadedFiles = {"/d/a.raw", "/d/b.avg"};
    try {
        ReloadAllFiles(store, hooks, FakeReaders(hooks));
        ADD_FAILURE() << "no error";
    } catch (const EOutOfMemory& e) {
        EXPECT_STREQ(e.what(), "File /d/b.avg is too large to load");
    }
}
