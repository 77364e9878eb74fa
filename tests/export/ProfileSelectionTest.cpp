#include <gtest/gtest.h>

#include <filesystem>

#include "export/ProfileSelection.h"
#include "tests/support/TempFiles.h"

namespace {

TStation Station(const std::string& name, float x, float y, std::vector<float> freqs = {},
                 std::vector<float> amps = {}, std::vector<float> phases = {})
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    s.Amplitude.X = freqs;
    s.Amplitude.Y = std::move(amps);
    s.Phase.X = std::move(freqs);
    s.Phase.Y = std::move(phases);
    return s;
}

class FakeDialogs : public ProfileResponseDialogs {
public:
    bool Accept = true;
    std::string Chosen;
    int Asked = 0;
    std::vector<std::string> Errors;

    bool ExecuteSaveDialog(std::string& fileName) override
    {
        ++Asked;
        fileName = Chosen;
        return Accept;
    }
    void ReportWriteError(const std::string& message) override { Errors.push_back(message); }
};

std::string TempDir(const std::string& name)
{
    std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

const char* const kHeader =
    "Palvex Ex response along Prifle\r\n"
    "Units:: F=Hz; Re,Im,Amp = mv/Km/A; Phz = rad\r\n"
    "        SN        SX          SY       FREQ          RE         IM          Amp            "
    "PHZ  ...\r\n";

}  // namespace

TEST(ProfileSelection, RectangleIncludesBordersWhateverTheCornerOrder)
{
    SurveyStore store;
    store.ExStations = {
        Station("in", 5, 5),      Station("left edge", 0, 3),     Station("top edge", 4, 10),
        Station("corner", 10, 0), Station("outside x", 10.5f, 5), Station("outside y", 5, -0.001f)};
    const double corners[][4] = {{0, 0, 10, 10}, {10, 10, 0, 0}, {0, 10, 10, 0}, {10, 0, 0, 10}};
    for (const auto& c : corners) {
        FakeDialogs dialogs;
        dialogs.Accept = false;
        std::vector<std::string> selected = {"stale"};
        SelectProfileStations(store, selected, c[0], c[1], c[2], c[3], dialogs);
        EXPECT_EQ(store.ProfileIndices, (std::vector<int>{0, 1, 2, 3})) << c[0] << "," << c[1];
        EXPECT_EQ(selected, (std::vector<std::string>{"in", "left edge", "top edge", "corner"}));
        EXPECT_EQ(dialogs.Asked, 1);
    }
}

TEST(ProfileSelection, ZeroWidthTakesExactXAndDuplicateNamesTwice)
{
    SurveyStore store;
    store.ExStations = {Station("A", 100, 1), Station("B", 100.01f, 2), Station("A", 100, 3)};
    FakeDialogs dialogs;
    dialogs.Accept = false;
    std::vector<std::string> selected;
    SelectProfileStations(store, selected, 100, 0, 100, 5, dialogs);
    EXPECT_EQ(store.ProfileIndices, (std::vector<int>{0, 2}));
    EXPECT_EQ(selected, (std::vector<std::string>{"A", "A"}));
}

TEST(ProfileSelection, EmptyRectangleClearsEarlierSelectionAndAsksNothing)
{
    SurveyStore store;
    store.ExStations = {Station("A", 0, 0)};
    store.ProfileIndices = {0, 0};
    std::vector<std::string> selected = {"A", "A"};
    FakeDialogs dialogs;
    SelectProfileStations(store, selected, 1, 1, 2, 2, dialogs);
    EXPECT_TRUE(store.ProfileIndices.empty());
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ(dialogs.Asked, 0);
}

TEST(ProfileSelection, ResponseFileBytes)
{
    SurveyStore store;
    store.ExStations = {Station("S1", 100, -20.5f, {1024, 8, 0.5f}, {2, 1, 3}, {0.5f, 0, -1}),
                        Station("far", 9000, 0, {1}, {1}, {0}), Station("LONGSTATION1", 1, 2),
                        Station("S1", 3, 4, {1024}, {2}, {0.5f})};
    store.ProfileIndices = {0, 2, 3};
    std::string expected = std::string(kHeader) +
                           "        S1       100.0       -20.5"
                           "  1.0240e+03  1.7552e+00  9.5885e-01  2.0000e+00      0.5000"
                           "  8.0000e+00  1.0000e+00  0.0000e+00  1.0000e+00      0.0000"
                           "  5.0000e-01  1.6209e+00 -2.5244e+00  3.0000e+00     -1.0000\r\n"
                           "LONGSTATION1         1.0         2.0\r\n"
                           "        S1         3.0         4.0"
                           "  1.0240e+03  1.7552e+00  9.5885e-01  2.0000e+00      0.5000\r\n";
    EXPECT_EQ(ProfileResponseText(store), expected);
    EXPECT_EQ(ProfileResponseText(store).find("\r\n", std::string(kHeader).size()),
              std::string(kHeader).size() + 34 + 3 * 60);
}

// A position or phase that fills its field gets a blank before it.
TEST(ProfileSelection, NumbersThatFillTheirFieldsStaySeparate)
{
    SurveyStore store;
    store.ExStations = {Station("LONGSTATION1", -1e10f, 1e11f, {8}, {1}, {1e7f})};
    store.ProfileIndices = {0};
    EXPECT_EQ(ProfileResponseText(store),
              std::string(kHeader) +
                  "LONGSTATION1 -10000000000.0 99999997952.0"
                  "  8.0000e+00 -9.0727e-01  4.2055e-01  1.0000e+00 10000000.0000\r\n");
}

TEST(ProfileSelection, WritesUnderTheChosenNameWithTxtExtension)
{
    std::string dir = TempDir("profile_names");
    SurveyStore store;
    store.ExStations = {Station("S1", 0, 0, {10}, {1}, {0})};
    struct Case {
        std::string chosen, written;
    } cases[] = {{dir + "/line3.stn", dir + "/line3.txt"},
                 {dir + "/line4", dir + "/line4.txt"},
                 {dir + "/v1.2/line5", dir + "/v1.2/line5.txt"}};
    std::filesystem::create_directories(dir + "/v1.2");
    for (const Case& c : cases) {
        FakeDialogs dialogs;
        dialogs.Chosen = c.chosen;
        std::vector<std::string> selected;
        SelectProfileStations(store, selected, -1, -1, 1, 1, dialogs);
        EXPECT_TRUE(dialogs.Errors.empty());
        EXPECT_FALSE(std::filesystem::exists(c.chosen)) << c.chosen;
        EXPECT_EQ(ReadBytes(c.written), ProfileResponseText(store)) << c.written;
    }
}

TEST(ProfileSelection, CancelWritesNothingAndKeepsTheSelection)
{
    std::string dir = TempDir("profile_cancel");
    SurveyStore store;
    store.ExStations = {Station("S1", 0, 0)};
    FakeDialogs dialogs;
    dialogs.Accept = false;
    dialogs.Chosen = dir + "/x.txt";
    std::vector<std::string> selected;
    SelectProfileStations(store, selected, 0, 0, 0, 0, dialogs);
    EXPECT_EQ(selected, std::vector<std::string>{"S1"});
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST(ProfileSelection, FileThatCannotBeCreatedIsReported)
{
    std::string dir = TempDir("profile_unwritable");
    SurveyStore store;
    store.ExStations = {Station("S1", 0, 0, {10}, {1}, {0})};
    FakeDialogs dialogs;
    dialogs.Chosen = dir + "/missing folder/line.stn";
    std::vector<std::string> selected;
    SelectProfileStations(store, selected, 0, 0, 0, 0, dialogs);
    EXPECT_EQ(dialogs.Errors,
              std::vector<std::string>{"Cannot create file " + dir + "/missing folder/line.txt"});
    EXPECT_EQ(store.ProfileIndices, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}
