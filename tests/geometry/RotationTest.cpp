#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "base/Exception.h"
#include "geometry/Rotation.h"

namespace {

SurveyStore Survey(float x, float y)
{
    SurveyStore store;
    TStation ex;
    ex.Info.X = x;
    ex.Info.Y = y;
    ex.Info.Z = 12.5f;
    store.ExStations = {ex};
    TStation hy = ex;
    hy.Info.X = -y;
    hy.Info.Y = x;
    store.HyStations = {hy};
    store.EyStations = {ex};
    store.WorkStations = {ex};
    TxData tx;
    tx.Ax = x, tx.Ay = y, tx.Az = 3;
    tx.Bx = 0, tx.By = x, tx.Bz = 4;
    tx.Cx = y, tx.Cy = 0, tx.Cz = 5;
    tx.Length = 1000;
    tx.Azimuth = 45;
    store.Transmitters = {tx};
    return store;
}

}  // namespace

TEST(Rotation, StationsAndTransmittersTurnAboutTheOrigin)
{
    struct Case {
        int degrees;
        double x, y;  // where (1000, 0) goes
        double tolerance;
    };
    const Case cases[] = {
        {30, 866.0254, -500, 1e-3},   {90, 0.0000268, -1000, 1e-6},   {360, 1000, 0.000107, 1e-6},
        {-90, 0.0000268, 1000, 1e-6}, {180, -1000, -0.0000536, 1e-6},
    };
    for (const Case& c : cases) {
        SurveyStore store = Survey(1000, 0);
        RotateSurvey(store, c.degrees);
        EXPECT_NEAR(store.ExStations[0].Info.X, c.x, c.tolerance) << c.degrees;
        EXPECT_NEAR(store.ExStations[0].Info.Y, c.y, c.tolerance) << c.degrees;
        EXPECT_NEAR(store.Transmitters[0].Ax, c.x, c.tolerance);
        EXPECT_NEAR(store.Transmitters[0].Ay, c.y, c.tolerance);
        EXPECT_NEAR(store.Transmitters[0].Bx, -c.y, 2 * c.tolerance);  // (0, 1000) turns likewise
        EXPECT_NEAR(store.Transmitters[0].By, c.x, 2 * c.tolerance);
        EXPECT_EQ(store.RotationAngle, c.degrees);
    }

    // The 90 degree result is exactly that of the constant 3.1415926.
    SurveyStore store = Survey(1000, 0);
    RotateSurvey(store, 90);
    const double a = 90 * (1.0 / 180) * 3.1415926;
    EXPECT_EQ(store.ExStations[0].Info.X, static_cast<float>(std::cos(a) * 1000));
    EXPECT_EQ(store.HyStations[0].Info.X, static_cast<float>(std::sin(a) * 1000));
    EXPECT_EQ(store.HyStations[0].Info.Y, static_cast<float>(std::cos(a) * 1000));
}

TEST(Rotation, ElevationsLengthsAndOtherListsStay)
{
    SurveyStore store = Survey(1000, 250);
    RotateSurvey(store, 31);
    EXPECT_EQ(store.ExStations[0].Info.Z, 12.5f);
    EXPECT_EQ(store.Transmitters[0].Az, 3);
    EXPECT_EQ(store.Transmitters[0].Bz, 4);
    EXPECT_EQ(store.Transmitters[0].Cz, 5);
    EXPECT_EQ(store.Transmitters[0].Length, 1000);
    EXPECT_EQ(store.Transmitters[0].Azimuth, 45);
    EXPECT_EQ(store.EyStations[0].Info.X, 1000);
    EXPECT_EQ(store.WorkStations[0].Info.Y, 250);
    EXPECT_EQ(RotationPreset(store), 31);
}

TEST(Rotation, AnglesAddUpOnTheData)
{
    SurveyStore store = Survey(1000, 0);
    RotateSurvey(store, 0);
    EXPECT_EQ(store.ExStations[0].Info.X, 1000);
    EXPECT_EQ(store.ExStations[0].Info.Y, 0);

    RotateSurvey(store, 30);
    RotateSurvey(store, RotationPreset(store));
    EXPECT_NEAR(store.ExStations[0].Info.X, 500, 1e-3);
    EXPECT_NEAR(store.ExStations[0].Info.Y, -866.0254, 1e-3);
    EXPECT_EQ(store.RotationAngle, 30);

    store = Survey(1000, 0);
    RotateSurvey(store, 30);
    RotateSurvey(store, -30);
    EXPECT_NEAR(store.ExStations[0].Info.X, 1000, 1e-3);
    EXPECT_NEAR(store.ExStations[0].Info.Y, 0, 1e-3);
    EXPECT_EQ(store.RotationAngle, -30);
}

TEST(Rotation, PresetIsTheTruncatedAngle)
{
    SurveyStore store;
    const std::pair<double, int> cases[] = {{0, 0},       {31, 31},   {-30.7, -30},
                                            {359.9, 359}, {720, 360}, {-1e9, -360}};
    for (const auto& [angle, preset] : cases) {
        store.RotationAngle = angle;
        EXPECT_EQ(RotationPreset(store), preset) << angle;
    }
}

TEST(Rotation, AResultBeyondTheSingleRangeChangesNothing)
{
    SurveyStore store = Survey(1000, 0);
    store.Transmitters[0].Cx = FLT_MAX;
    store.Transmitters[0].Cy = FLT_MAX;
    store.RotationAngle = 5;
    EXPECT_THROW(RotateSurvey(store, 45), EOverflow);
    EXPECT_EQ(store.ExStations[0].Info.X, 1000);
    EXPECT_EQ(store.RotationAngle, 5);
}
