#include <gtest/gtest.h>

#include <utility>

#include "base/Exception.h"
#include "import/AmtAvgReader.h"
#include "tests/support/TempFiles.h"

namespace {

const char* const kHeader =
    "\\ AMTAVG 7.76: \"K9.fld\", Dated 99-01-01\n"
    "$ ASPACE=  50.0m\n"
    "$ XMTR  =    20.\n"
    "skp Station Freq  Comp Amps Emag Ephz Hmag Hphz Resistivity Phase %Emag sEphz %Hmag sHphz\n"
    "\\-++------++----++---++----++---------++------+\n";

// A data row: flag 2, the name and frequency given, the other fields as below unless changed.
std::string Row(const std::string& name, const std::string& freq,
                std::vector<std::pair<size_t, std::string>> changes = {}, size_t count = 17)
{
    std::vector<std::string> fields = {"2",  name,   freq,  "ExHy", "10", "1000", "-500",
                                       "2",  "-700", "300", "-200", "5",  "20",   "6",
                                       "30", "7",    "40",  "0.5",  "11"};
    for (auto& [k, text] : changes) fields[k] = text;
    std::string line;
    for (size_t k = 0; k < count; ++k) line += " " + fields[k];
    return line + "\n";
}

struct Result {
    SurveyStore store;
    int messages = 0;
};

Result Read(const std::string& text, const std::string& name = "file.avg")
{
    Result result;
    ReadAmtAvgFile(result.store, WriteTempFile(name, text), [&result] { ++result.messages; });
    return result;
}

std::vector<std::string> Names(const SurveyStore& store)
{
    std::vector<std::string> names;
    for (const TEHStation& station : store.EHStations) names.push_back(station.Name);
    return names;
}

using Names_ = std::vector<std::string>;
using Values = std::vector<float>;

}  // namespace

TEST(AmtAvgReader, GathersAndMergesAStation)
{
    Result r = Read(std::string(kHeader) + Row("150.0", "8192") + Row("150.0", "4096"));
    EXPECT_EQ(r.messages, 1);  // once after the file
    ASSERT_EQ(r.store.EHStations.size(), 1u);
    const TEHStation& s = r.store.EHStations[0];
    EXPECT_EQ(s.Name, "150.0");
    EXPECT_FLOAT_EQ(s.StationValue, 150);
    EXPECT_EQ(s.Flags, (std::vector<int>{2, 2}));
    EXPECT_EQ(s.Freq, (Values{8192, 4096}));
    EXPECT_FLOAT_EQ(s.TxCurrent[0], 10);
    const float eAmp = static_cast<float>(1000 * 3.1415926 * 0.25 * 0.001);
    const float hAmp = static_cast<float>(2 * 3.1415926 * 0.25 * 0.001);
    EXPECT_FLOAT_EQ(s.EAmp[0], eAmp);
    EXPECT_FLOAT_EQ(s.EPhase[0], -0.5f);
    EXPECT_FLOAT_EQ(s.HAmp[0], hAmp);
    EXPECT_FLOAT_EQ(s.HPhase[0], -0.7f);
    EXPECT_FLOAT_EQ(s.Col9[0], 300);
    EXPECT_FLOAT_EQ(s.Col10[0], -0.2f);
    EXPECT_FLOAT_EQ(s.EAmpErr[0], eAmp * 0.05f);
    EXPECT_FLOAT_EQ(s.EPhaseErr[0], 0.02f);
    EXPECT_FLOAT_EQ(s.HAmpErr[0], hAmp * 0.06f);
    EXPECT_FLOAT_EQ(s.HPhaseErr[0], 0.03f);
    EXPECT_FLOAT_EQ(s.Col15[0], 7);
    EXPECT_FLOAT_EQ(s.Col16[0], 40);
    EXPECT_FLOAT_EQ(s.Col17[0], 9999);

    ASSERT_EQ(r.store.ExStations.size(), 1u);
    const TStation& ex = r.store.ExStations[0];
    EXPECT_EQ(ex.Name, "150.0");
    EXPECT_EQ(ex.Info.TxName, "20");
    EXPECT_FLOAT_EQ(ex.Info.X, 150);
    EXPECT_EQ(ex.Amplitude.Y, (Values{eAmp, eAmp}));
    ASSERT_EQ(r.store.HyStations.size(), 1u);
    EXPECT_EQ(r.store.HyStations[0].Phase.Y, (Values{-0.7f, -0.7f}));
    ASSERT_EQ(r.store.Transmitters.size(), 1u);
    EXPECT_EQ(r.store.Transmitters[0].Name, "20");
    EXPECT_EQ(r.store.Transmitters[0].FipList.size(), 2u);
}

TEST(AmtAvgReader, TransmitterIdFromHeader)
{
    struct Case {
        const char* lines;
        const char* id;
    } cases[] = {
        {"", "1"},
        {"XMTR 2.5\n", "2"},
        {"$ XMTR = T7\n", "T7"},
        {"XMTR .5\n", ""},
        {"XMTR = 3.\nXMTR = 4.\n", "4"},
        // 50 characters go from the first ".": the point and 49 after it.
        {"XMTR 12345.6789012345678901234567890123456789012345678901234567\n", "12345567"},
        // After an "ASPACE" value is taken, the other checks see only that value.
        {"$ ASPACE = 100m XMTR 7\n", "1"},
    };
    for (const Case& c : cases) {
        Result r = Read("AMTAVG\n" + std::string(c.lines) + "++-\n" + Row("1", "8"));
        ASSERT_EQ(r.store.Transmitters.size(), 1u) << c.lines;
        EXPECT_EQ(r.store.Transmitters[0].Name, c.id) << c.lines;
        EXPECT_EQ(r.store.ExStations[0].Info.TxName, c.id) << c.lines;
    }
}

TEST(AmtAvgReader, DipoleSpacingMustBeANumber)
{
    for (const char* line : {"$ ASPACE = 100m", "$ ASPACE = 100", "$ ASPACE=100M"})
        EXPECT_EQ(Read(std::string("AMTAVG\n") + line + "\n++-\n" + Row("1", "8"))
                      .store.ExStations.size(),
                  1u)
            << line;
    struct Case {
        const char* line;
        const char* message;
    } cases[] = {{"$ ASPACE = abc", "'abc' is not a valid floating point value"},
                 {"$ ASPACE = m", "'' is not a valid floating point value"},
                 {"$ ASPACE", "'' is not a valid floating point value"}};
    for (const Case& c : cases) {
        SurveyStore store;
        const std::string path = WriteTempFile(
            "aspace.avg", std::string("AMTAVG\n") + c.line + "\n++-\n" + Row("1", "8"));
        try {
            ReadAmtAvgFile(store, path, nullptr);
            ADD_FAILURE() << c.line;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), c.message + (" (file " + path + ", line 2)"));
        }
        EXPECT_TRUE(store.ExStations.empty());
    }
}

TEST(AmtAvgReader, FilesThatGiveNothing)
{
    SurveyStore store;
    store.EHStations.resize(2);
    ReadAmtAvgFile(store, testing::TempDir() + "no such file.avg", nullptr);
    EXPECT_EQ(store.EHStations.size(), 2u);  // not even opened

    for (const std::string& text :
         {"amtavg survey\n++-\n" + Row("1", "8"), "\n\\ AMTAVG\n++-\n" + Row("1", "8"),
          "AMTAVG\n" + Row("1", "8"), std::string("AMTAVG\n++-\n"), std::string()}) {
        ReadAmtAvgFile(store, WriteTempFile("nothing.avg", text), nullptr);
        EXPECT_TRUE(store.EHStations.empty()) << text;
        EXPECT_TRUE(store.ExStations.empty() && store.HyStations.empty()) << text;
        EXPECT_TRUE(store.Transmitters.empty()) << text;
    }
}

TEST(AmtAvgReader, StationNamesAndValues)
{
    Result r = Read(std::string(kHeader) + Row("120.", "8") + Row("120", "4") + Row("120.5", "8") +
                    Row("300", "8") + Row("A12", "8") + "\n  \t\n" + Row("120", "2"));
    EXPECT_EQ(Names(r.store), (Names_{"120", "120.5", "300", "A12"}));
    EXPECT_EQ(r.store.EHStations[0].Freq, (Values{8, 4, 2}));
    EXPECT_FLOAT_EQ(r.store.EHStations[1].StationValue, 120.5f);
    EXPECT_FLOAT_EQ(r.store.EHStations[3].StationValue, 300);
    EXPECT_FLOAT_EQ(r.store.ExStations[3].Info.X, 300);

    // A numeric name counts for later rows even when its own row is abandoned; before any, 0.
    r = Read(std::string(kHeader) + Row("B1", "8") + Row("500", "abc") + Row("B2", "8"));
    EXPECT_EQ(Names(r.store), (Names_{"B1", "B2"}));
    EXPECT_FLOAT_EQ(r.store.EHStations[0].StationValue, 0);
    EXPECT_FLOAT_EQ(r.store.EHStations[1].StationValue, 500);
    EXPECT_EQ(r.messages, 1);  // an abandoned row lets no messages run
}

TEST(AmtAvgReader, RepeatedFrequenciesOfAStation)
{
    Result r = Read(std::string(kHeader) + Row("1", "8.004") + Row("1", "8") + Row("1", "8.02") +
                    Row("2", "1") + Row("2", "1.001") + Row("3", "1.001") + Row("3", "1"));
    EXPECT_EQ(r.store.EHStations[0].Freq, (Values{8.004f, 8.02f}));
    EXPECT_EQ(r.store.EHStations[1].Freq, (Values{1, 1.001f}));
    EXPECT_EQ(r.store.EHStations[2].Freq, (Values{1.001f}));
    EXPECT_EQ(r.store.EHStations[0].Flags.size(), 2u);
}

TEST(AmtAvgReader, FieldFallbacksAndShortRows)
{
    struct Case {
        std::string row;
        bool kept;
        float eAmpErrShare;  // EAmpErr / EAmp
        float ePhaseErr;
        float col17;
    } cases[] = {
        {Row("1", "8"), true, 0.05f, 0.02f, 9999},
        {Row("1", "8", {{11, "250"}}), true, 1, 0.02f, 9999},
        {Row("1", "8", {{11, "abc"}, {12, "abc"}}), true, 1, 0.0001f, 9999},
        {Row("1", "8", {}, 18), true, 0.05f, 0.02f, 0.5f},
        {Row("1", "8", {{17, "x"}}, 18), false, 0, 0, 0},
        {Row("1", "8", {{17, "x"}}, 19), true, 0.05f, 0.02f, 9999},
        {Row("1", "8", {{3, "junk"}}), true, 0.05f, 0.02f, 9999},
        // No field past the end of a short row: the missing ones fail as malformed ones do.
        {Row("1", "8", {}, 11), true, 1, 0.0001f, 9999},
        {Row("1", "8", {}, 10), false, 0, 0, 0},
        {Row("1", "8", {}, 2), false, 0, 0, 0},
        {Row("1", "abc"), false, 0, 0, 0},
        {Row("1", "8", {{7, "1e39"}}), false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Result r = Read(std::string(kHeader) + c.row);
        EXPECT_EQ(r.messages, 1) << c.row;
        ASSERT_EQ(r.store.EHStations.size(), c.kept ? 1u : 0u) << c.row;
        if (!c.kept) continue;
        const TEHStation& s = r.store.EHStations[0];
        EXPECT_FLOAT_EQ(s.EAmpErr[0] / s.EAmp[0], c.eAmpErrShare) << c.row;
        EXPECT_FLOAT_EQ(s.EPhaseErr[0], c.ePhaseErr) << c.row;
        EXPECT_FLOAT_EQ(s.Col17[0], c.col17) << c.row;
    }
}

TEST(AmtAvgReader, ValidityCheck)
{
    struct Case {
        std::string row;
        bool kept;
    } cases[] = {
        {Row("1", "8", {{9, "0.0005"}}), false},
        {Row("1", "8", {{9, "0.001"}}), true},
        {Row("100000.5", "8"), true},
        {Row("100001", "8"), false},
        {Row("-100001", "8"), false},
        {Row("1", "8", {{0, "0"}}), false},
        {Row("1", "8", {{0, "abc"}, {9, "0"}}), false},
    };
    for (const Case& c : cases) {
        Result r = Read(std::string(kHeader) + c.row);
        EXPECT_EQ(r.store.EHStations.size(), c.kept ? 1u : 0u) << c.row;
        EXPECT_EQ(r.messages, c.kept ? 1 : 2) << c.row;  // a skipped row lets messages run
    }
}

TEST(AmtAvgReader, RowFlagThatIsNoIntegerEndsTheRead)
{
    for (const char* flag : {"abc", "1.0"}) {
        SurveyStore store;
        std::string text = std::string(kHeader) + Row("1", "8") + Row("2", "8", {{0, flag}});
        const std::string path = WriteTempFile("flag.avg", text);
        try {
            ReadAmtAvgFile(store, path, nullptr);
            ADD_FAILURE() << flag;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(flag) + "' is not a valid integer value (file " +
                                    path + ", line 7)");
        }
        EXPECT_EQ(store.EHStations.size(), 1u);  // gathered, not handed over
        EXPECT_TRUE(store.ExStations.empty());
        EXPECT_TRUE(store.Transmitters.empty());
    }
}

TEST(AmtAvgReader, SecondReadOfAFileAddsNothing)
{
    const std::string text = std::string(kHeader) + Row("1", "8") + Row("2", "8", {{8, "-600"}});
    SurveyStore store;
    ReadAmtAvgFile(store, WriteTempFile("first.avg", text), nullptr);
    ReadAmtAvgFile(store, WriteTempFile("again.avg", text), nullptr);
    EXPECT_EQ(store.EHStations.size(), 2u);
    EXPECT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.HyStations.size(), 2u);
    ASSERT_EQ(store.Transmitters.size(), 1u);
    EXPECT_EQ(store.Transmitters[0].FipList.size(), 1u);
}
