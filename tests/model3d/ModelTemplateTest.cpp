#include <gtest/gtest.h>
#include <climits>

#include "base/Exception.h"
#include "model3d/ModelTemplate.h"
#include "tests/support/TempFiles.h"

namespace {

const char* const kHeader =
    "Description: Ex responses from Palvex \r\nUnits: V/m/A\r\nSign convension:   1 \r\n\r\n";

}  // namespace

TEST(ModelTemplate, LongBlockLineGivesPointsAndCentre)
{
    std::string text = std::string(kHeader) + "1\r\n" +
                       "1.000000e+00           2           3           2      1000.0       "
                       "-50.0         5.0     10000.0      1000.0         1.0         0.0"
                       "         0.0         0.0\r\n" +
                       "      100.000      200.000      300.000\r\n" +
                       "       10.000       20.000       30.000\r\n" +
                       "        1.500        2.500        3.500\r\n" +
                       "                 Re(Ex)\r\n";
    ModelTemplate t = ReadModelTemplate(WriteNamedTempFile("long.imp", text));
    EXPECT_EQ(t.LongHeader, 1);
    EXPECT_EQ(t.Cx, 1000);
    EXPECT_EQ(t.Cy, -50);
    EXPECT_EQ(t.Cz, 5);
    ASSERT_EQ(t.Points.Count(), 3);
    EXPECT_EQ(t.Points.X[2], 300);
    EXPECT_EQ(t.Points.Y[1], 20);
    EXPECT_EQ(t.Points.Z[0], 1.5);
}

TEST(ModelTemplate, ShortBlockLineAndUnusableLayouts)
{
    std::string points = "1 2\r\n3 4\r\n5 6\r\n";
    ModelTemplate t = ReadModelTemplate(
        WriteNamedTempFile("short.imp", std::string(kHeader) + "1\r\n" + "1.0 2 2\r\n" + points));
    EXPECT_EQ(t.LongHeader, 0);
    EXPECT_EQ(t.Points.Count(), 2);

    struct Case {
        const char* name;
        std::string text;
        int longHeader;
    } cases[] = {
        {"zero.imp", std::string(kHeader) + "0\r\n1.0 2 2\r\n" + points, 0},
        {"notint.imp", std::string(kHeader) + "x\r\n1.0 2 2\r\n" + points, 0},
        {"tokens.imp", std::string(kHeader) + "1\r\n1.0 2 2 2\r\n" + points, 0},
        {"xcount.imp", std::string(kHeader) + "1\r\n1 2 3 2 0 0 0 0\r\n" + points, 1},
        {"shorty.imp", std::string(kHeader) + "1\r\n1.0 2 2\r\n1 2\r\n3\r\n5 6\r\n", 0},
        // An x line of more values than receivers, whatever its extra field holds.
        {"xlong.imp", std::string(kHeader) + "1\r\n1.0 2 2\r\n1 2 3\r\n3 4\r\n5 6\r\n", 0},
        {"xword.imp", std::string(kHeader) + "1\r\n1.0 2 2\r\n1 2 q\r\n3 4\r\n5 6\r\n", 0},
        {"xblank.imp", std::string(kHeader) + "1\r\n1.0 2 2\r\n1 2 \x01;\r\n3 4\r\n5 6\r\n", 0},
        {"claim.imp", std::string(kHeader) + "1\r\n1.0 2 2000000000\r\n" + points, 0},
        {"cut.imp", std::string(kHeader) + "1\r\n1 2 2 2 0 0 0 0", 0},
        {"few.imp", "a\r\nb\r\n", 0},
    };
    for (const Case& c : cases) {
        ModelTemplate bad = ReadModelTemplate(WriteNamedTempFile(c.name, c.text));
        EXPECT_EQ(bad.Points.Count(), 0) << c.name;
        EXPECT_EQ(bad.LongHeader, c.longHeader) << c.name;
    }
    EXPECT_EQ(ReadModelTemplate(testing::TempDir() + "missing/none.imp").Points.Count(), 0);
    EXPECT_THROW(ReadModelTemplate(WriteNamedTempFile(
                     "nan.imp", std::string(kHeader) + "1\r\n1.0 2 2\r\n1 x\r\n3 4\r\n5 6\r\n")),
                 EConvertError);
}

// The points are converted x, y, z point by point: the first text that fails in that order is
// the one reported, with the file and the line it stands on (the X line is line 7, Y 8, Z 9),
// and a short Y or Z line gives no template whatever the values hold.
TEST(ModelTemplate, FirstBadValueInPointOrder)
{
    struct Case {
        std::string points;
        std::string message;  // empty: no template and no error
        int line;
    } cases[] = {
        {"1 2 x\r\n3 y 4\r\n5 6 7\r\n", "'y' is not a valid floating point value", 8},
        {"1 x 2\r\n3 4 5\r\n5 z 7\r\n", "'x' is not a valid floating point value", 7},
        {"1 2 3\r\n3 4 y\r\n5 6 z\r\n", "'y' is not a valid floating point value", 8},
        {"1 2 3\r\n3 4 5\r\n5 6 z\r\n", "'z' is not a valid floating point value", 9},
        {"1 \x01 3\r\n3 4 5\r\n5 6 7\r\n", "'' is not a valid floating point value", 7},
        {"x 2 3\r\n3 4\r\n5 6 7\r\n", "", 0},
        {"x 2 3\r\n3 4 5\r\nz 6\r\n", "", 0},
    };
    for (const Case& c : cases) {
        const std::string path =
            WriteNamedTempFile("order.imp", std::string(kHeader) + "1\r\n1.0 2 3\r\n" + c.points);
        try {
            ModelTemplate t = ReadModelTemplate(path);
            EXPECT_EQ(c.message, "") << c.points;
            EXPECT_EQ(t.Points.Count(), 0) << c.points;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message,
                      c.message + " (file " + path + ", line " + std::to_string(c.line) + ")")
                << c.points;
        }
    }
    // A bad token of the block line names that line.
    const std::string path = WriteNamedTempFile(
        "block.imp", std::string(kHeader) + "\r\n1\r\n1.0 2 3 4 0 y 0 1000\r\n1 2 3\r\n");
    try {
        ReadModelTemplate(path);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'y' is not a valid floating point value (file " + path + ", line 7)");
    }
}

TEST(ModelTemplate, BlockOfAnyPointCount)
{
    // 7,000 points: more fields than the field splitter's limit and lines longer than the line
    // reader's.
    std::string xs, ys, zs;
    for (int i = 0; i < 7000; ++i) {
        xs += "     " + std::to_string(i) + ".000";
        ys += "     " + std::to_string(2 * i) + ".000";
        zs += "        1.500";
    }
    ModelTemplate t = ReadModelTemplate(WriteNamedTempFile(
        "many.imp", std::string(kHeader) + "1\r\n1.0 2 7000\r\n" + xs + "\r\n" + ys + "\r\n" + zs +
                        "\r\n                 Re(Ex)         Im(Ex)\r\n"));
    ASSERT_EQ(t.Points.Count(), 7000);
    EXPECT_EQ(t.Points.X[6999], 6999);
    EXPECT_EQ(t.Points.Y[6999], 13998);
    EXPECT_EQ(t.Points.Z[6999], 1.5);
}

TEST(ModelTemplate, StationsAndSourceLength)
{
    SurveyStore store;
    TStation a, b;
    a.Info.X = 1;
    a.Info.Y = 2;
    a.Info.Z = 350;
    b.Info.X = 3;
    store.ExStations = {a, b};
    ModelPoints p = GatherStationPoints(store);
    ASSERT_EQ(p.Count(), 2);
    EXPECT_EQ(p.Z[0], 350);
    EXPECT_EQ(p.X[1], 3);
    EXPECT_EQ(SourceLengthFromText("1500"), 1500);
    EXPECT_EQ(SourceLengthFromText("15OO"), 1000);
    EXPECT_EQ(SourceLengthFromText(""), 1000);
    // A length beyond the whole-metre integer of the dialog is no length.
    EXPECT_EQ(SourceLengthFromText("-2147483647"), -2147483647.0);
    EXPECT_EQ(SourceLengthFromText("3e9"), 1000);
    EXPECT_EQ(SourceLengthFromText("-1e300"), 1000);
}

TEST(ModelTemplate, ExtentBeyondTheIntegerEditsIsRefused)
{
    // Found by fuzzing: the Dx preset of this template does not fit an integer.
    std::string text = std::string(kHeader) +
                       "1\r\n1.0 2 2\r\n1 66666666666666666666666666666662\r\n" + "6 4\r\n5 6\r\n";
    ModelTemplate t = ReadModelTemplate(WriteNamedTempFile("wide.imp", text));
    ASSERT_EQ(t.Points.Count(), 2);
    EXPECT_THROW(ComputeModelDefaults(t.Points), EOverflow);

    ModelPoints widest;
    widest.X = {-1.7e308, 1.7e308};
    widest.Y = {0, 0};
    widest.Z = {0, 0};
    EXPECT_THROW(ComputeModelDefaults(widest), EOverflow);

    ModelPoints fits;
    fits.X = {0, 5e10};  // 50 cells of 1,000,000,001 m span it, and the integer holds that
    fits.Y = {0, 1e3};
    fits.Z = {0, 0};
    EXPECT_EQ(ComputeModelDefaults(fits).DxText, 1000000001);
    fits.X = {0, 50.0 * INT_MAX - 2};  // the widest that fits
    fits.Y = {0, 0};
    EXPECT_EQ(ComputeModelDefaults(fits).DxText, INT_MAX);
    fits.X = {0, 50.0 * INT_MAX};
    EXPECT_THROW(ComputeModelDefaults(fits), EOverflow);
}
