#include <climits>
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/TextStream.h"
#include "processing/CurveEditor.h"
#include "processing/MTCurve.h"

namespace {

TStation Station(const std::string& name, float amplitude, int points = 3)
{
    TStation s;
    s.Name = name;
    s.Info.HyName = "H";
    for (int i = 0; i < points; ++i) {
        float f = static_cast<float>(1 << i);
        s.Amplitude.X.push_back(f);
        s.Phase.X.push_back(f);
        s.Amplitude.Y.push_back(amplitude);
        s.Phase.Y.push_back(0.5f);
    }
    s.Amplitude.Count = s.Phase.Count = points;
    return s;
}

class CurveEditorSessionTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 6; ++i)
            store.ExStations.push_back(Station("E" + std::to_string(i), 10.0f * (i + 1)));
        store.ExStations[1].Amplitude.X.push_back(8);  // 4 frequencies, one without a phase
        store.HyStations = {Station("H", 1.0f, 2), Station("H2", 2.0f, 2)};
        ASSERT_TRUE(BeginCurveEditing(store));
        session.Open();
    }

    SurveyStore store;
    CurveEditorSession session{store};
};

}  // namespace

TEST(CurveEditorOpening, NothingToEditWithoutExStations)
{
    SurveyStore store;
    store.HyStations = {Station("H", 1.0f)};
    store.WorkStations = {Station("old", 1.0f)};
    EXPECT_FALSE(BeginCurveEditing(store));
    EXPECT_EQ(store.WorkStations.size(), 1u);
}

TEST_F(CurveEditorSessionTest, OpeningShowsOnlyThePresentSeriesOfTheFirstStation)
{
    EXPECT_EQ(session.ListItems.size(), 6u);
    EXPECT_EQ(session.ListItems[5], "E5");
    EXPECT_EQ(session.TotalCaption, "总数据个数为3");
    EXPECT_EQ(session.PointCount, 3);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y, (std::vector<double>{10, 10, 10}));
    EXPECT_EQ(session.Charts.Amplitude.Present.Title, "Present");
    EXPECT_EQ(session.Charts.Amplitude.Raw.Count(), 0u);
    EXPECT_EQ(session.Charts.Phase.Next.Title, "Next");

    session.SListClick(0);  // the shown station: nothing redrawn
    EXPECT_EQ(session.Charts.Amplitude.Raw.Count(), 0u);
}

TEST_F(CurveEditorSessionTest, StationChangeWritesTheShownStationBack)
{
    session.ChartMouseDown(2.05, 99.0, false);
    EXPECT_EQ(session.PickedPoint, 1);
    EXPECT_EQ(session.CursorIndex, 1);
    session.ChartMouseDown(50.0, 1.0, false);
    EXPECT_EQ(session.PickedPoint, -1);
    EXPECT_EQ(session.CursorIndex, 1);

    session.SListClick(1);
    EXPECT_EQ(store.WorkStations[0].Amplitude.Y, (std::vector<float>{10, 99, 10}));
    EXPECT_EQ(store.ExStations[0].Amplitude.Y[1], 10.0f);  // the store waits for OK
    EXPECT_EQ(session.StationIndex, 1);
    EXPECT_EQ(session.Charts.Amplitude.Present.Title, "E1");
    EXPECT_EQ(session.Charts.Amplitude.Previous.Title, "E0");
    EXPECT_EQ(session.Charts.Amplitude.Next.Title, "E2");
    EXPECT_EQ(session.TotalCaption, "总数据个数4");
    EXPECT_EQ(session.PointCount, 4);
}

TEST_F(CurveEditorSessionTest, ComponentSwitchStoresTheComponentLeft)
{
    session.SListClick(4);
    session.ChartMouseDown(1.0, 77.0, false);
    EXPECT_FALSE(session.ExHyClick(2));  // no Ey station: refused
    EXPECT_EQ(session.ComponentIndex, 0);
    EXPECT_EQ(session.StationIndex, 4);
    EXPECT_EQ(store.ExStations[4].Amplitude.Y[0], 50.0f);

    ASSERT_TRUE(session.ExHyClick(1));
    EXPECT_EQ(store.ExStations[4].Amplitude.Y[0], 77.0f);
    EXPECT_EQ(session.ComponentIndex, 1);
    EXPECT_EQ(session.ListItems, (std::vector<std::string>{"H", "H2"}));
    EXPECT_EQ(session.StationIndex, 0);
    EXPECT_EQ(session.Charts.Amplitude.Present.Title, "H");
    EXPECT_FALSE(session.ScaleEnabled);
    EXPECT_EQ(session.AmplitudeAxisTitle, "nT/A");
    EXPECT_EQ(session.TotalCaption, "总数据个数2");

    // Edits of the new component are dropped by Cancel; what the switch stored stays.
    session.ChartMouseDown(1.0, 5.0, false);
    session.OkClick();
    EXPECT_EQ(store.WorkStations[0].Amplitude.Y[0], 5.0f);
    FinishCurveEditing(store, session, false);
    EXPECT_EQ(store.HyStations[0].Amplitude.Y[0], 1.0f);
    EXPECT_EQ(store.ExStations[4].Amplitude.Y[0], 77.0f);

    FinishCurveEditing(store, session, true);
    EXPECT_EQ(store.HyStations[0].Amplitude.Y[0], 5.0f);
    EXPECT_TRUE(store.EyStations.empty());

    ASSERT_TRUE(session.ExHyClick(0));
    EXPECT_TRUE(session.ScaleEnabled);
    EXPECT_EQ(session.AmplitudeAxisTitle, "mV/(km*A)");
}

TEST_F(CurveEditorSessionTest, OkWritesTheSelectedStationAndStoresTheHeldComponent)
{
    session.DisplayFormIndex = 1;  // chosen, but the charts on show are amplitude and phase
    session.Chart1MouseDown(4.0, 1.25, true, false, false);
    session.OkClick();
    FinishCurveEditing(store, session, true);
    EXPECT_EQ(store.ExStations[0].Phase.Y, (std::vector<float>{0.5f, 0.5f, 1.25f}));
    EXPECT_EQ(store.ExStations[0].Amplitude.Y, (std::vector<float>{10, 10, 10}));

    session.SListClick(2);  // now drawn in the real/imaginary form
    EXPECT_EQ(session.Charts.Form, DisplayForm::ReIm);
    EXPECT_FALSE(session.AmplitudeAxisLogarithmic);
}

TEST_F(CurveEditorSessionTest, AmplitudeStepsFollowTheClickEvenAtTheLimit)
{
    const double up = 1.05f, down = 0.95f;
    session.UpDown2Click(499, false);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y[0], 10 * down);
    EXPECT_EQ(store.WorkStations[0].Amplitude.Y[0], static_cast<float>(10 * down));
    session.UpDown2Click(500, true);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y[0], 10 * down * up);

    session.LastScalePosition = 1000;  // at the top, a click up leaves the position as it is
    session.UpDown2Click(1000, true);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y[0], 10 * down * up * up);
    EXPECT_EQ(session.LastScalePosition, 1000);

    session.ScaleRangeIndex = 2;
    session.ChartMouseDown(2.0, 10.0, true);  // picks point 1 without moving it
    session.UpDown2Click(1000, false);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y[0], 10 * down * up * up);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y[2], 10 * down * up * up * down);
}

TEST_F(CurveEditorSessionTest, SmoothingDropsChartEditsAndRedrawsFromTheRecord)
{
    TStation& s = store.WorkStations[3];
    s.Amplitude.X.clear();
    s.Amplitude.Y.clear();
    s.Phase.X.clear();
    s.Phase.Y.clear();
    for (int i = 0; i < 20; ++i) {
        s.Amplitude.X.push_back(static_cast<float>(i + 1));
        s.Amplitude.Y.push_back(static_cast<float>(i * i));
        s.Phase.X.push_back(static_cast<float>(i + 1));
        s.Phase.Y.push_back(0.0f);
    }
    session.SListClick(3);
    session.ChartMouseDown(1.0, 1000.0, false);
    session.SmoothClick();
    EXPECT_EQ(s.Amplitude.Y[0], 0.0f);
    EXPECT_FLOAT_EQ(s.Amplitude.Y[16], float((225 + 256 + 289) / 3.0));
    EXPECT_EQ(s.Amplitude.Count, 20);
    EXPECT_EQ(session.Charts.Amplitude.Present.Y[0], 0.0);
    EXPECT_EQ(session.Charts.Amplitude.Raw.Y[16], session.Charts.Amplitude.Present.Y[16]);
    EXPECT_EQ(session.TotalCaption, "总数据个数20");
}

TEST_F(CurveEditorSessionTest, CompanionChartShowsStoredExCurvesOfTheNeighbours)
{
    session.FormShow();
    ASSERT_TRUE(session.CompanionExists);
    EXPECT_EQ(session.AppResCurves[0].Title, "E0");
    EXPECT_EQ(session.AppResCurves[0].Y, ComputeMTCurve(store, 0).Rho);
    EXPECT_EQ(session.AppResCurves[1].Count(), 0u);
    EXPECT_EQ(session.AppResCurves[2].Title, "E1");

    session.ChartMouseDown(1.0, 500.0, false);
    session.SListClick(5);
    EXPECT_EQ(session.AppResCurves[1].Title, "E4");
    EXPECT_EQ(session.AppResCurves[2].Count(), 0u);
    EXPECT_EQ(session.AppResCurves[2].Title, "E1");  // an empty neighbour keeps its title
    EXPECT_EQ(ComputeMTCurve(store, 0).Rho[0], 1.0 / 5 * 10 * 10);  // edits wait for storing

    // A component with more stations than ExStations: the index has no Ex curve.
    store.HzStations = {Station("Z0", 1), Station("Z1", 1), Station("Z2", 1), Station("Z3", 1),
                        Station("Z4", 1), Station("Z5", 1), Station("Z6", 1)};
    ASSERT_TRUE(session.ExHyClick(5));
    session.SListClick(6);
    EXPECT_EQ(session.AppResCurves[0].Title, "Z6");
    EXPECT_EQ(session.AppResCurves[0].Count(), 0u);
}

TEST(CurveEditorCompanion, NoCompanionWithoutHyStations)
{
    SurveyStore store;
    store.ExStations = {Station("E0", 1)};
    ASSERT_TRUE(BeginCurveEditing(store));
    CurveEditorSession session(store);
    session.Open();
    session.FormShow();
    EXPECT_FALSE(session.CompanionExists);
    session.ShowAppResCurves(0);
    EXPECT_EQ(session.AppResCurves[0].Count(), 0u);
}

TEST_F(CurveEditorSessionTest, CtrlSWritesTheComponentFileIntoTheCurrentDirectory)
{
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    std::string dir = testing::TempDir();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    session.SListClick(2);
    std::string name = session.WriteComponentFile();
    std::string bytes;
    bool read = ReadFileBytes(name, bytes);
    std::remove(name.c_str());
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(name, "E2Ex.txt");
    ASSERT_TRUE(read);
    EXPECT_NE(bytes.find("1.0000e+00  3.0000e-05"), std::string::npos);
}

TEST_F(CurveEditorSessionTest, ComponentFileOfAGbkStationNameIsNamedInUtf8)
{
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    std::string dir = testing::TempDir();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    store.WorkStations[3].Name = "\xb2\xe2\xb5\xe3";  // "测点" in GBK
    session.Open();
    session.SListClick(3);
    std::string name = session.WriteComponentFile();
    bool written = std::remove("测点Ex.txt") == 0;
    std::remove(name.c_str());
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(name, "测点Ex.txt");
    EXPECT_TRUE(written);
}
