#include <cmath>
#include <gtest/gtest.h>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/NumberFormat.h"
#include "base/StringList.h"
#include "export/ImpWriter.h"
#include "survey/TextLines.h"
#include "tests/export/ExportFixture.h"

namespace {

TxData Source(const std::string& name, float freq)
{
    TxData tx;
    tx.Name = name;
    tx.Cx = 100;
    tx.Cy = 200;
    tx.Cz = 5;
    tx.Length = 1000;
    tx.Azimuth = 28.6f;  // degrees, as the store holds it
    tx.Fip.Freq = freq;
    tx.Fip.Current = 10;
    return tx;
}

TStation Receiver(const std::string& name, const std::string& txName, float x, float y, float z,
                  const std::vector<Sample>& samples)
{
    TStation s = ExportStation(name, x, y, z, samples);
    s.Info.TxName = txName;
    return s;
}

// Records at 1, 2 and 4 Hz of source T1 and one at 1 Hz of T2; only 1 and 2 Hz are chosen, no
// station holds 2 Hz and no station belongs to T2.
SurveyStore BlockSurvey()
{
    SurveyStore store;
    store.Transmitters = {Source("T1", 1), Source("T1", 2), Source("T1", 4), Source("T2", 1)};
    store.ExStations.push_back(Receiver("101", "T1", 0.5f, -3, 12.25f,
                                        {{4, 5e6f, 0}, {1, 2e6f, 0, 1000, 0.01f}, {1, 9e6f, 1}}));
    store.ExStations.push_back(Receiver("NO1", "T1", 7, 7, 7, {{4, 1e6f, 0}}));
    store.ExStations.push_back(Receiver("ABCDEFGHIJKL", "T1", 1000, 0, -1, {{1, 1e6f, 0}}));
    store.ExStations.push_back(Receiver("102", "Murv", 9, 9, 9, {{1, 1e6f, 0}}));
    store.OutputFreqs = {1, 2};
    return store;
}

const std::vector<std::string> kImpHeader = {"Description: Ex responses from Palvex ",
                                             "Units: V/m/A", "Sign convension:   1 ", ""};

const std::string kCoordinateLines[] = {
    "        0.500     1000.000",
    "       -3.000        0.000",
    "       12.250       -1.000",
};

std::string BlockLine(int valuesPerReceiver)
{
    return "1.000000e+00           " + std::to_string(valuesPerReceiver) +
           "           2           2       100.0       200.0         5.0     10000.0      1000.0"
           "         1.0        28.6         0.0        28.6";
}

struct ComplexValues {
    double Re, Im, ERe, EIm;
};

// The values of the first receiver of the first block of a complex file.
ComplexValues FirstReceiver(const std::string& bytes)
{
    size_t pos = bytes.find("Im(Ex)\r\n") + 8;
    std::vector<std::string> values, errors;
    SplitFields(bytes.substr(pos, bytes.find("\r\n", pos) - pos), values);
    pos = bytes.find("\r\n", pos) + 2;
    SplitFields(bytes.substr(pos, bytes.find("\r\n", pos) - pos), errors);
    return {StrToFloat(values.at(1)), StrToFloat(values.at(2)), StrToFloat(errors.at(0)),
            StrToFloat(errors.at(1))};
}

}  // namespace

TEST(ExportImp, ComplexExactBytes)
{
    const std::string path = ExportTempPath("golden.imp");
    WriteImpFileComplex(BlockSurvey(), path, "", "", 0, false, false, nullptr);

    std::vector<std::string> lines = kImpHeader;
    lines.push_back("1");  // the blocks written, not the records chosen
    lines.push_back(BlockLine(2));
    lines.insert(lines.end(), std::begin(kCoordinateLines), std::end(kCoordinateLines));
    lines.push_back("                 Re(Ex)         Im(Ex)");
    lines.push_back("       101   2.000000e+00   0.000000e+00");
    lines.push_back("             1.000000e-03   2.000000e-02");
    lines.push_back("ABCDEFGHIJKL   1.000000e+00   0.000000e+00");
    lines.push_back("             0.000000e+00   0.000000e+00");
    EXPECT_EQ(FileBytes(path), CrLf(lines));
}

TEST(ExportImp, AmplitudeExactBytes)
{
    const std::string path = ExportTempPath("amplitude.imp");
    WriteImpFileAmplitude(BlockSurvey(), path, "", "", 0, true, true, nullptr);

    std::vector<std::string> lines = kImpHeader;
    lines.push_back("1");
    lines.push_back(BlockLine(1));
    lines.insert(lines.end(), std::begin(kCoordinateLines), std::end(kCoordinateLines));
    lines.push_back("                 |Ex|");
    lines.push_back("       101   2.000000e+00");
    lines.push_back("             1.000000e-09");
    lines.push_back("ABCDEFGHIJKL   1.000000e+00");
    lines.push_back("             1.000000e-09");
    EXPECT_EQ(FileBytes(path), CrLf(lines));
}

TEST(ExportImp, SignOptionsTurnTheValuesNotTheErrors)
{
    SurveyStore store;
    store.Transmitters = {Source("T1", 1)};
    store.ExStations.push_back(
        Receiver("1", "T1", 0, 0, 0, {{1, 2e6f, static_cast<float>(M_PI / 2), 0, 0.01f}}));
    store.OutputFreqs = {1};
    struct Case {
        bool negate, conjugate;
        double im;
    };
    for (const Case& c : {Case{false, false, 2}, Case{true, false, -2}, Case{false, true, -2},
                          Case{true, true, 2}}) {
        const std::string path = ExportTempPath("signs.imp");
        WriteImpFileComplex(store, path, "", "", 0, c.conjugate, c.negate, nullptr);
        const ComplexValues v = FirstReceiver(FileBytes(path));
        EXPECT_NEAR(v.Re, 0, 1e-6) << c.negate << c.conjugate;
        EXPECT_NEAR(v.Im, c.im, 1e-6) << c.negate << c.conjugate;
        EXPECT_NEAR(v.ERe, 0.02, 1e-8);
        EXPECT_NEAR(v.EIm, 0, 1e-8);
        EXPECT_GE(v.EIm, 0);
    }
}

TEST(ExportImp, BlockLineCarriesTheAngleWhereTheReaderTakesIt)
{
    SurveyStore store = BlockSurvey();
    store.Transmitters[0].Azimuth = -63.4f;
    const std::string path = ExportTempPath("angle.imp");
    WriteImpFileComplex(store, path, "", "", 0, false, false, nullptr);
    const std::string bytes = FileBytes(path);
    const size_t start = bytes.find("\r\n1\r\n") + 5;
    std::vector<std::string> tokens;
    SplitFields(bytes.substr(start, bytes.find("\r\n", start) - start), tokens);
    ASSERT_EQ(tokens.size(), 13u);
    EXPECT_EQ(tokens[10], "-63.4");
    EXPECT_EQ(tokens[12], "-63.4");  // the IMP reader's angle, in degrees
    EXPECT_EQ(tokens[8], "1000.0");  // its length
    EXPECT_EQ(tokens[2], "2");       // its receiver count
}

TEST(ExportImp, NothingToWriteAndUncreatableFile)
{
    SurveyStore store = BlockSurvey();
    const std::string path = ExportTempPath("old.imp");
    PutFile(path, "old");
    // No frequency chosen, or frequencies that give no block: the message, and no file.
    const std::pair<std::vector<float>, std::string> cases[] = {{{}, "No frequency selected."},
                                                                {{8}, kNoImpBlockMessage}};
    for (const auto& [freqs, message] : cases) {
        store.OutputFreqs = freqs;
        for (bool amplitude : {false, true}) {
            std::vector<std::string> shown;
            auto show = [&](const std::string& text) { shown.push_back(text); };
            if (amplitude)
                WriteImpFileAmplitude(store, path, "", "", 0, false, false, show);
            else
                WriteImpFileComplex(store, path, "", "", 0, false, false, show);
            EXPECT_EQ(shown, std::vector<std::string>{message});
            EXPECT_EQ(FileBytes(path), "old");
        }
    }

    const std::string missing = testing::TempDir() + "no_such_folder_q/a.imp";
    try {
        WriteImpFileComplex(BlockSurvey(), missing, "", "", 0, false, false, nullptr);
        FAIL() << "uncreatable file accepted";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
}

TEST(ExportImp, ContainsFrequency)
{
    const std::vector<float> list = {0.029296875f, 9600};
    EXPECT_TRUE(ContainsFrequency(0.029296875, list));
    EXPECT_TRUE(ContainsFrequency(9600 + 5e-11, list));
    EXPECT_FALSE(ContainsFrequency(0.0292969, list));
    EXPECT_FALSE(ContainsFrequency(1, {}));
}

// A written file reads back through the program's own IMP reader with its stations, samples and
// angle.
#include "import/ImpReader.h"

TEST(ExportImp, ComplexFileReadsBackWithItsAngle)
{
    SurveyStore store;
    for (float f : {1.0f, 2.0f}) {
        TxData tx = Source("T1", f);
        tx.Azimuth = 30;
        tx.Fip.Current = 1;
        store.Transmitters.push_back(tx);
    }
    store.ExStations.push_back(Receiver("101", "T1", 10, 20, 3,
                                        {{1, 2e6f, 0.3f, 10, 0.01f}, {2, 1e6f, -0.2f, 10, 0.01f}}));
    store.ExStations.push_back(
        Receiver("102", "T1", 30, 40, 4, {{1, 3e6f, 0.1f, 10, 0.01f}, {2, 4e6f, 0.5f, 10, 0.01f}}));
    store.OutputFreqs = {1, 2};
    const std::string path = ExportTempPath("roundtrip.imp");
    WriteImpFileComplex(store, path, "", "", 0, false, false, nullptr);

    SurveyStore back;
    ReadImpFile(back, path);
    ASSERT_EQ(back.Transmitters.size(), 2u);
    for (const TxData& tx : back.Transmitters) {
        EXPECT_NEAR(tx.Azimuth, 30, 0.05);
        EXPECT_NEAR(tx.Length, 1000, 0.05);
        EXPECT_NEAR(tx.Cx, 100, 0.05);
        EXPECT_NEAR(tx.Cy, 200, 0.05);
    }
    ASSERT_EQ(back.ExStations.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const TStation& a = store.ExStations[i];
        const TStation& b = back.ExStations[i];
        EXPECT_EQ(b.Name, a.Name);
        EXPECT_NEAR(b.Info.X, a.Info.X, 1e-3);
        ASSERT_EQ(b.Amplitude.X, a.Amplitude.X);
        for (size_t k = 0; k < 2; ++k) {
            EXPECT_NEAR(b.Amplitude.Y[k], a.Amplitude.Y[k], 1e-6 * a.Amplitude.Y[k]);
            EXPECT_NEAR(b.Phase.Y[k], a.Phase.Y[k], 1e-6);
        }
    }
}

// Records that keep their frequencies in FipList, as the AVG readers make them, give a block per
// listed and chosen frequency, in list order, with the moment of 1 A; the file reads back.
TEST(ExportImp, RecordsWithoutTheirOwnFrequencyGiveABlockPerListedFrequency)
{
    SurveyStore store;
    for (const char* name : {"T1", "T2"}) {
        TxData tx = Source(name, 0);
        tx.Length = 500;
        tx.Fip.Current = 0;
        for (float f : {4.0f, 1.0f, 2.0f}) tx.FipList.push_back(FIP{f, 7, 0, 0, 0});
        store.Transmitters.push_back(tx);
    }
    store.Transmitters[1].FipList.resize(1);
    store.Transmitters[1].Cx = 900;
    store.ExStations.push_back(
        Receiver("101", "T1", 10, 20, 3, {{1, 2e6f, 0.3f, 10, 0.01f}, {4, 1e6f, 0.1f, 10, 0.01f}}));
    store.ExStations.push_back(Receiver("201", "T2", 30, 40, 4, {{4, 3e6f, 0.2f, 10, 0.01f}}));
    store.OutputFreqs = {1, 2, 4};
    const std::string path = ExportTempPath("fiplist.imp");
    WriteImpFileComplex(store, path, "", "", 0, false, false, nullptr);

    StringList file;
    file.SetText(FileBytes(path));
    ASSERT_GT(file.Lines.size(), 4u);
    EXPECT_EQ(file.Lines[4], "3");
    std::vector<std::string> tokens, blocks;
    for (const std::string& line : file.Lines) {
        SplitFields(line, tokens);
        if (tokens.size() == 13) blocks.push_back(tokens[0] + " " + tokens[4] + " " + tokens[7]);
    }
    EXPECT_EQ(blocks,
              (std::vector<std::string>{"4.000000e+00 100.0 500.0", "1.000000e+00 100.0 500.0",
                                        "4.000000e+00 900.0 500.0"}));

    SurveyStore back;
    ReadImpFile(back, path);
    ASSERT_EQ(back.ExStations.size(), 2u);
    EXPECT_EQ(back.ExStations[0].Amplitude.X, (std::vector<float>{4, 1}));
    EXPECT_EQ(back.ExStations[1].Amplitude.X, (std::vector<float>{4}));
    ASSERT_EQ(back.Transmitters.size(), 3u);
    for (const TxData& tx : back.Transmitters) EXPECT_EQ(tx.Fip.Current, 1.0f);
}

// Written, read back and written again, a block keeps its source moment (token 7).
TEST(ExportImp, TheRoundTripKeepsTheSourceMoment)
{
    SurveyStore store;
    store.Transmitters = {Source("T1", 1), Source("T2", 2)};  // 10 A x 1,000 m
    store.Transmitters[1].Length = 250;
    store.Transmitters[1].Fip.Current = 3.5f;
    store.ExStations.push_back(Receiver("101", "T1", 10, 20, 3, {{1, 2e6f, 0.3f, 10, 0.01f}}));
    store.ExStations.push_back(Receiver("102", "T2", 30, 40, 4, {{2, 1e6f, 0.1f, 10, 0.01f}}));
    store.OutputFreqs = {1, 2};
    const std::string first = ExportTempPath("moment1.imp");
    WriteImpFileComplex(store, first, "", "", 0, false, false, nullptr);
    SurveyStore back;
    ReadImpFile(back, first);
    back.OutputFreqs = {1, 2};
    const std::string second = ExportTempPath("moment2.imp");
    WriteImpFileComplex(back, second, "", "", 0, false, false, nullptr);
    std::vector<std::string> moments;
    for (const std::string& path : {first, second}) {
        std::vector<std::string> tokens;
        StringList file;
        file.SetText(FileBytes(path));
        for (const std::string& line : file.Lines) {
            SplitFields(line, tokens);
            if (tokens.size() == 13) moments.push_back(tokens[7]);
        }
    }
    EXPECT_EQ(moments, (std::vector<std::string>{"10000.0", "875.0", "10000.0", "875.0"}));
}

namespace {

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The unit of the last digit of a printed number.
double LastDigitUnit(const std::string& text)
{
    const size_t e = text.find_first_of("eE");
    const size_t point = text.find('.');
    const size_t digitsEnd = e == std::string::npos ? text.size() : e;
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(digitsEnd - point - 1);
    const int exponent = e == std::string::npos ? 0 : std::stoi(text.substr(e + 1));
    return std::pow(10.0, exponent - decimals);
}

// How far apart two files of one layout are, in units of the last printed digit: the largest over
// all numbers, or 1e9 when a line or a text differs. An Ex value is held as amplitude and phase, so
// its smaller component is measured against the larger one's digit, plus its own rounding.
double LastDigitUnitsApart(const std::string& first, const std::string& second)
{
    const std::vector<std::string> linesA = Lines(first), linesB = Lines(second);
    if (linesA.size() != linesB.size()) return 1e9;
    double worst = 0;
    std::vector<std::string> a, b;
    for (size_t line = 0; line < linesA.size(); ++line) {
        SplitAllFields(linesA[line], a);
        SplitAllFields(linesB[line], b);
        if (a.size() != b.size()) return 1e9;
        double x = 0, y = 0;
        const bool exValue = a.size() == 3 && !TryStrToFloat(a[0], x);
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i] == b[i]) continue;
            if (!TryStrToFloat(a[i], x) || !TryStrToFloat(b[i], y)) return 1e9;
            double unit = LastDigitUnit(a[i]);
            if (exValue) {
                const double larger = std::max(LastDigitUnit(a[1]), LastDigitUnit(a[2]));
                if (unit < larger) unit += larger;
            }
            worst = std::max(worst, std::fabs(x - y) / unit);
        }
    }
    return worst;
}

// Source T1 at three frequencies, each from its own place, with 1,500, 1,500 and 400 receivers
// in all four quadrants over five decades, and isotropic errors (amplitude error = A x phase
// error).
SurveyStore QuadrantSurvey()
{
    SurveyStore store;
    const float freqs[] = {1, 2, 4};
    for (int k = 0; k < 3; ++k) {
        TxData tx = Source("T1", freqs[k]);
        tx.Cx = 100.0f + 250 * k;
        tx.Azimuth = 0;
        tx.Fip.Current = 1;
        store.Transmitters.push_back(tx);
    }
    for (int i = 0; i < 2000; ++i) {
        std::vector<Sample> samples;
        for (int k = 0; k < 3; ++k) {
            if ((k == 0 && i >= 1500) || (k == 1 && i < 500) || (k == 2 && (i < 1600))) continue;
            const double u = std::fmod(0.6180339887 * (3 * i + k + 1), 1.0);
            const double v = std::fmod(0.4142135623 * (3 * i + k + 1), 1.0);
            const float amplitude = static_cast<float>(std::pow(10.0, 5 * v) * 10);
            const float phase = static_cast<float>(M_PI * (2 * u - 1));
            const float phaseError = 0.01f + 0.04f * static_cast<float>(v);
            samples.push_back({freqs[k], amplitude, phase, amplitude * phaseError, phaseError});
        }
        store.ExStations.push_back(Receiver("R" + std::to_string(i), "T1", 10.0f * i - 7000,
                                            0.5f * i - 300, 0.25f * i - 100, samples));
    }
    store.OutputFreqs = {1, 2, 4};
    return store;
}

}  // namespace

TEST(ExportImp, ComplexFileSurvivesARoundTrip)
{
    struct Case {
        bool conjugate, negate;
    };
    for (const Case& c :
         {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        const std::string first = ExportTempPath("first.imp");
        WriteImpFileComplex(QuadrantSurvey(), first, "", "", 0, c.conjugate, c.negate, nullptr);
        SurveyStore back;
        ReadImpFile(back, first);
        ASSERT_EQ(back.ExStations.size(), 2000u);
        back.OutputFreqs = {1, 2, 4};
        const std::string second = ExportTempPath("second.imp");
        WriteImpFileComplex(back, second, "", "", 0, false, false, nullptr);
        EXPECT_LE(LastDigitUnitsApart(FileBytes(first), FileBytes(second)), 1 + 1e-6)
            << c.conjugate << c.negate;
    }
}

// A coordinate or source value that fills its field gets a blank before it; the file then reads
// back whole. Normal values keep their bytes.
TEST(ExportImp, NumbersThatFillTheirFieldsStaySeparate)
{
    struct Case {
        float x, y, cx;
    } cases[] = {{-38499000, 6000, 100}, {1e9f, -1e7f, 1e9f}, {-9999999, 9.9e7f, -1e8f}};
    for (const Case& c : cases) {
        SurveyStore store;
        TxData tx = Source("T1", 1);
        tx.Cx = c.cx;
        store.Transmitters.push_back(tx);
        store.ExStations.push_back(
            Receiver("101", "T1", c.x, c.y, 3, {{1, 2e6f, 0.3f, 10, 0.01f}}));
        store.ExStations.push_back(
            Receiver("102", "T1", c.x + 100, c.y, 4, {{1, 3e6f, 0.1f, 10, 0.01f}}));
        store.OutputFreqs = {1};
        const std::string path = ExportTempPath("wide.imp");
        WriteImpFileComplex(store, path, "", "", 0, false, false, nullptr);
        const std::string bytes = FileBytes(path);
        EXPECT_EQ(bytes.find(CFormat("%.3f%.3f", c.x, c.x + 100)), std::string::npos) << c.x;

        SurveyStore back;
        ReadImpFile(back, path);
        ASSERT_EQ(back.ExStations.size(), 2u) << c.x;
        ASSERT_EQ(back.Transmitters.size(), 1u) << c.x;
        EXPECT_FLOAT_EQ(back.Transmitters[0].Cx, c.cx);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_FLOAT_EQ(back.ExStations[i].Info.X, store.ExStations[i].Info.X);
            EXPECT_FLOAT_EQ(back.ExStations[i].Info.Y, store.ExStations[i].Info.Y);
        }
    }
}
