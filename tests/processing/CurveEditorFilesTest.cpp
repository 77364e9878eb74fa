#include <cmath>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/StringList.h"
#include "base/TextStream.h"
#include "processing/CurveFiles.h"
#include "tests/support/TempFiles.h"

namespace {

EditorCharts TwoPointCharts(DisplayForm form)
{
    TStation s;
    s.Name = "2202";
    s.Amplitude.X = s.Phase.X = {10, 1};
    s.Amplitude.Y = {2500, 1000};
    s.Phase.Y = {-1.25f, 0.5f};
    EditorCharts charts;
    DrawStation(charts, {s}, 0, form);
    return charts;
}

const char* const kComponentFile =
    " f::Hz   Amp:: V/m/A   phase:: rad\r\n"
    "      Freq         AMP     PHASE          RE          IM\r\n"
    "1.0000e+00  1.0000e-03    0.5000  8.7758e-04  4.7943e-04\r\n"
    "1.0000e+01  2.5000e-03   -1.2500  7.8831e-04 -2.3725e-03\r\n";

}  // namespace

TEST(CurveEditorFiles, StationComponentFileBytes)
{
    EditorCharts charts = TwoPointCharts(DisplayForm::AmpPhase);
    EXPECT_EQ(StationComponentFileText(charts), kComponentFile);
    // The real/imaginary charts give the same columns.
    EXPECT_EQ(StationComponentFileText(TwoPointCharts(DisplayForm::ReIm)), kComponentFile);

    charts.Amplitude.Present.Y[0] = 3000;  // an edit not yet written back is in the file
    std::string path = TempPath("2202Ex.txt");
    WriteStationComponentFile(path, charts);
    EXPECT_NE(ReadBytes(path).find("1.0000e+00  3.0000e-03"), std::string::npos);
    std::remove(path.c_str());
}

TEST(CurveEditorFiles, NumbersThatFillTheirFieldsStaySeparate)
{
    EditorCharts charts = TwoPointCharts(DisplayForm::AmpPhase);
    charts.Phase.Present.Y[0] = -123456;
    StringList lines;
    lines.SetText(StationComponentFileText(charts));
    charts.Amplitude.Present.Y[1] = -1e106;
    lines.SetText(StationComponentFileText(charts));
    EXPECT_EQ(lines.Lines[2].substr(0, 35), "1.0000e+00  1.0000e-03 -123456.0000");
    EXPECT_EQ(lines.Lines[3].substr(0, 23), "1.0000e+01 -1.0000e+100");
}

TEST(CurveEditorFiles, ModelResponseFileBytesKeepTheirLineFeedBeforeCrLf)
{
    EditorCharts charts = TwoPointCharts(DisplayForm::AmpPhase);
    EXPECT_EQ(ModelResponseFileText(charts),
              "f/Hz     ||E||/Re[E]     Phase/Im[E]\r\n"
              " 1.00000e+00  1.00000e+03  5.00000e-01\n\r\n"
              " 1.00000e+01  2.50000e+03 -1.25000e+00\n\r\n");
    EXPECT_EQ(ModelResponseFileText(TwoPointCharts(DisplayForm::ReIm)),
              "f/Hz     ||E||/Re[E]     Phase/Im[E]\r\n"
              " 1.00000e+00  8.77583e+02  4.79426e+02\n\r\n"
              " 1.00000e+01  7.88306e+02 -2.37246e+03\n\r\n");

    std::string chosen = TempPath("model.dat");
    std::string written = WriteModelResponseFile(chosen, charts);
    EXPECT_EQ(written, TempPath("model.txt"));
    EXPECT_EQ(ReadBytes(written), ModelResponseFileText(charts));
    std::remove(written.c_str());
}

TEST(CurveEditorFiles, NamesAndExtensions)
{
    EXPECT_EQ(StationComponentFileName("2202", 0), "2202Ex.txt");
    EXPECT_EQ(StationComponentFileName("7", 3), "7Hx.txt");
    EXPECT_EQ(StationComponentFileName("7", 5), "7Hz.txt");
    EXPECT_EQ(ReplaceFileExtension("/a/b.dat", ".txt"), "/a/b.txt");
    EXPECT_EQ(ReplaceFileExtension("/a.b/c", ".txt"), "/a.b/c.txt");
    EXPECT_EQ(ReplaceFileExtension("c.x.y", ".txt"), "c.x.txt");
    EXPECT_EQ(ReplaceFileExtension("2202", ".txt"), "2202.txt");
}

TEST(CurveEditorFiles, WriteFailuresAreReported)
{
    EditorCharts charts = TwoPointCharts(DisplayForm::AmpPhase);
    std::string missing = TempPath("no-such-dir") + "/2202Ex.txt";
    try {
        WriteStationComponentFile(missing, charts);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
    std::string response = TempPath("no-such-dir") + "/r.dat";
    EXPECT_THROW(WriteModelResponseFile(response, charts), EFCreateError);
}
