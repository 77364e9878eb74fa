#include <gtest/gtest.h>

#include <cmath>

#include "base/Exception.h"
#include "export/ImpWriter.h"
#include "import/ImpReader.h"
#include "tests/support/TempFiles.h"

namespace {

const char* const kHeader =
    "Description: Ex responses from Palvex \r\n"
    "Units: V/m/A\r\n"
    "Sign convension:   1 \r\n"
    "\r\n";

// One block line of the thirteen-token form, with the angle in token 12.
std::string BlockLine(double f, int n, double cx, double cy, double cz, double length, double angle)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "%12.6e%12d%12d%12d%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f\r\n", f,
                  2, n, 2, cx, cy, cz, length, length, 1.0, 0.0, 0.0, angle);
    return text;
}

// Two receivers A1 (Re -1, Im 0) and A2 (Re 3e-6, Im 4e-6).
std::string TwoReceivers()
{
    return "      100.000      200.000\r\n"
           "     5000.000     5000.000\r\n"
           "       12.500      -13.000\r\n"
           "                 Re(Ex)         Im(Ex)\r\n"
           "        A1  -1.000000e+00   0.000000e+00\r\n"
           "                1.000000e-07   0.000000e+00\r\n"
           "        A2   3.000000e-06   4.000000e-06\r\n"
           "                3.000000e-07   4.000000e-07\r\n";
}

std::string Line7()
{
    return std::string(kHeader) + "2\r\n" + BlockLine(1, 2, 1000, 2000, 10, 1000, 30) +
           TwoReceivers() + BlockLine(2, 2, 1000, 2000, 10, 1000, 30) + TwoReceivers();
}

}  // namespace

TEST(ReadImpFile, TwoBlocksOfOneSource)
{
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("line7.imp", Line7()));

    ASSERT_EQ(store.Transmitters.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        const TxData& tx = store.Transmitters[k];
        EXPECT_EQ(tx.Name, "line7");
        EXPECT_FLOAT_EQ(tx.Fip.Freq, k + 1.0f);
        EXPECT_FLOAT_EQ(tx.Fip.Current, 1.0f);
        EXPECT_EQ(tx.Fip.Phase, 0.0f);
        EXPECT_TRUE(tx.FipList.empty());
        EXPECT_FLOAT_EQ(tx.Cx, 1000);
        EXPECT_FLOAT_EQ(tx.Cy, 2000);
        EXPECT_FLOAT_EQ(tx.Cz, 10);
        EXPECT_FLOAT_EQ(tx.Length, 1000);
        EXPECT_FLOAT_EQ(tx.Azimuth, 30);  // degrees, like the records of every other reader
        EXPECT_NEAR(tx.Ax, 1000 - 250 * std::sqrt(3.0), 1e-3);
        EXPECT_NEAR(tx.Ay, 1750, 1e-3);
        EXPECT_NEAR(tx.Bx, 1000 + 250 * std::sqrt(3.0), 1e-3);
        EXPECT_NEAR(tx.By, 2250, 1e-3);
        EXPECT_FLOAT_EQ(tx.Az, 10);
        EXPECT_FLOAT_EQ(tx.Bz, 10);
    }

    ASSERT_EQ(store.ExStations.size(), 2u);
    EXPECT_TRUE(store.HyStations.empty());
    const TStation& a1 = store.ExStations[0];
    const TStation& a2 = store.ExStations[1];
    EXPECT_EQ(a1.Name, "A1");
    EXPECT_EQ(a2.Name, "A2");
    EXPECT_EQ(a1.Info.HyName, "line7");
    EXPECT_EQ(a1.Info.TxName, "line7");
    EXPECT_EQ(a1.Info.Area, "Unknown");
    EXPECT_EQ(a1.Info.Tag, "Me");
    EXPECT_FLOAT_EQ(a2.Info.X, 200);
    EXPECT_FLOAT_EQ(a2.Info.Y, 5000);
    EXPECT_FLOAT_EQ(a2.Info.Z, -13);
    EXPECT_EQ(a1.Amplitude.X, (std::vector<float>{1, 2}));
    EXPECT_EQ(a1.Phase.X, (std::vector<float>{1, 2}));
    EXPECT_EQ(a1.Amplitude.Count, 0);  // the load command sets the counts

    // Re -1, Im 0: amplitude 1e6 and phase pi.
    EXPECT_FLOAT_EQ(a1.Amplitude.Y[0], 1e6f);
    EXPECT_FLOAT_EQ(a1.Phase.Y[0], static_cast<float>(M_PI));
    EXPECT_FLOAT_EQ(a1.Errors.X[0], 0.1f);
    EXPECT_EQ(a1.Errors.Y[0], 0.0f);
    // Re 3, Im 4 with errors 0.3 and 0.4: sqrt(0.6^2 0.3^2 + 0.8^2 0.4^2) and
    // sqrt(0.8^2 0.3^2 + 0.6^2 0.4^2) / 5.
    EXPECT_FLOAT_EQ(a2.Amplitude.Y[1], 5.0f);
    EXPECT_FLOAT_EQ(a2.Phase.Y[1], static_cast<float>(std::atan(4.0 / 3.0)));
    EXPECT_FLOAT_EQ(a2.Errors.X[1], static_cast<float>(std::sqrt(0.1348)));
    EXPECT_FLOAT_EQ(a2.Errors.Y[1], static_cast<float>(std::sqrt(0.1152) / 5));
}

TEST(ReadImpFile, PhaseInEveryQuadrantAndErrorsPropagated)
{
    // Equal errors e of Re and Im are an amplitude error e and a phase error e / A.
    struct Case {
        const char* re;
        const char* im;
        double phase;
    };
    const Case cases[] = {{"3e-6", "4e-6", std::atan2(4, 3)},
                          {"-3e-6", "4e-6", std::atan2(4, -3)},
                          {"-3e-6", "-4e-6", std::atan2(-4, -3)},
                          {"3e-6", "-4e-6", std::atan2(-4, 3)},
                          {"-5e-6", "0", M_PI},
                          {"0", "-5e-6", -M_PI / 2}};
    std::string text = std::string(kHeader) + "1\r\n" + BlockLine(1, 6, 0, 0, 0, 1000, 0) +
                       "1 2 3 4 5 6\r\n1 2 3 4 5 6\r\n1 2 3 4 5 6\r\nRe Im\r\n";
    int k = 0;
    for (const Case& c : cases)
        text += "Q" + std::to_string(k++) + " " + c.re + " " + c.im + "\r\n2e-7 2e-7\r\n";
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("quadrants.imp", text));
    ASSERT_EQ(store.ExStations.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const TStation& s = store.ExStations[i];
        EXPECT_FLOAT_EQ(s.Amplitude.Y[0], 5) << i;
        EXPECT_FLOAT_EQ(s.Phase.Y[0], static_cast<float>(cases[i].phase)) << i;
        EXPECT_FLOAT_EQ(s.Errors.X[0], 0.2f) << i;
        EXPECT_FLOAT_EQ(s.Errors.Y[0], 0.04f) << i;
    }
}

TEST(ReadImpFile, ZeroValueHasNoPhase)
{
    // Its amplitude error is the error averaged over all directions; any phase is possible.
    std::string text = std::string(kHeader) + "1\r\n" + BlockLine(1, 1, 0, 0, 0, 1000, 0) +
                       "1\r\n2\r\n3\r\nRe Im\r\nZ -0.0 0.0\r\n3e-7 4e-7\r\n";
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("zero.imp", text));
    ASSERT_EQ(store.ExStations.size(), 1u);
    const TStation& s = store.ExStations[0];
    EXPECT_EQ(s.Amplitude.Y[0], 0.0f);
    EXPECT_EQ(s.Phase.Y[0], 0.0f);
    EXPECT_FLOAT_EQ(s.Errors.X[0], static_cast<float>(std::sqrt(0.125)));
    EXPECT_FLOAT_EQ(s.Errors.Y[0], static_cast<float>(M_PI));
}

TEST(ReadImpFile, BlockOfAnyReceiverCount)
{
    // 7,000 receivers: more fields than the field splitter's limit and coordinate lines longer
    // than the line reader's.
    const int n = 7000;
    std::string xs, ys, zs, rows;
    for (int i = 0; i < n; ++i) {
        xs += "    " + std::to_string(i) + ".000";
        ys += std::to_string(-i) + ".500 ";
        zs += "1.250 ";
        rows += "S" + std::to_string(i) + " 1e-6 0\r\n1e-8 1e-8\r\n";
    }
    ASSERT_GT(xs.size(), 81919u);
    std::string text = std::string(kHeader) + "1\r\n" + BlockLine(1, n, 0, 0, 0, 1000, 0) + xs +
                       "\r\n" + ys + "\r\n" + zs + "\r\nRe Im\r\n" + rows +
                       BlockLine(2, 1, 0, 0, 0, 1000, 0) +
                       "7\r\n8\r\n9\r\nRe Im\r\nS1 1e-6 0\r\n1e-8 0\r\n";
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("many.imp", text));
    ASSERT_EQ(store.ExStations.size(), static_cast<size_t>(n));
    EXPECT_EQ(store.Transmitters.size(), 2u);
    const TStation& last = store.ExStations.back();
    EXPECT_EQ(last.Name, "S6999");
    EXPECT_EQ(last.Info.X, 6999);
    EXPECT_EQ(last.Info.Y, -6999.5f);
    EXPECT_EQ(store.ExStations[1].Amplitude.X, (std::vector<float>{1, 2}));
}

TEST(ReadImpFile, SecondReadAddsSamplesOnly)
{
    SurveyStore store;
    std::string path = WriteNamedTempFile("line7.imp", Line7());
    ReadImpFile(store, path);
    ReadImpFile(store, path);
    EXPECT_EQ(store.Transmitters.size(), 2u);
    ASSERT_EQ(store.ExStations.size(), 2u);
    EXPECT_EQ(store.ExStations[1].Amplitude.X, (std::vector<float>{1, 2, 1, 2}));
    EXPECT_EQ(store.ExStations[1].Errors.Y.size(), 4u);
}

TEST(ReadImpFile, KnownTransmitterAndStationsGiveTheirNames)
{
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("line7.imp", Line7()));
    for (TxData& tx : store.Transmitters) tx.Name = "T9";
    TStation twin = store.ExStations[1];
    twin.Amplitude = xy();
    store.ExStations.push_back(twin);  // a second station named A2

    std::string other = std::string(kHeader) + "2\r\n" + BlockLine(2, 2, 1000, 2000, 10, 1000, 30) +
                        TwoReceivers() + BlockLine(4, 1, 0, 0, 0, 500, 0) +
                        "1.0\r\n2.0\r\n3.0\r\ncolumns\r\nB1 1e-6 0\r\n1e-7 0\r\n";
    ReadImpFile(store, WriteNamedTempFile("other.imp", other));
    ASSERT_EQ(store.Transmitters.size(), 3u);
    EXPECT_EQ(store.Transmitters[2].Name, "T9");  // the name of the equal record is kept
    ASSERT_EQ(store.ExStations.size(), 4u);
    EXPECT_EQ(store.ExStations[3].Name, "B1");
    EXPECT_EQ(store.ExStations[3].Info.TxName, "T9");
    EXPECT_EQ(store.ExStations[1].Amplitude.X.size(), 2u);
    EXPECT_EQ(store.ExStations[2].Amplitude.X, std::vector<float>{2});  // the later A2
}

TEST(ReadImpFile, BlockLineForms)
{
    // The writer's own form puts the angle into token 10 and 0.0 into token 12.
    std::string text = std::string(kHeader) + "4\r\n" +
                       "1.0 2 1 2 100.0 200.0 5.0 2500.0 1000.0 1.0 28.6 0.0 0.0\r\n" +
                       "1\r\n2\r\n3\r\nRe Im\r\nS1 1e-6 1e-6\r\n1e-8 1e-8\r\n" +
                       "2.0 300.0 400.0 7.0 2 1\r\n" +
                       "1\r\n2\r\n3\r\nRe Im\r\nS1 1e-6 0\r\n1e-8 0\r\n" + "4.0 2 1\r\n" +
                       "1\r\n2\r\n3\r\nRe Im\r\nS1 1e-6 0\r\n1e-8 0\r\n" +
                       "8.0 2 1 2 100.0 200.0 5.0 7.5 0.0 1.0 0.0 0.0 0.0\r\n" +
                       "1\r\n2\r\n3\r\nRe Im\r\nS1 1e-6 0\r\n1e-8 0\r\n";
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("forms.imp", text));
    ASSERT_EQ(store.Transmitters.size(), 4u);
    // The current is the source moment (token 7) over the length, the moment itself without a
    // length, and 1 where the block line gives no moment.
    const float currents[] = {2.5f, 1, 1, 7.5f};
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(store.Transmitters[k].Fip.Current, currents[k]);
    const TxData& written = store.Transmitters[0];
    EXPECT_EQ(written.Azimuth, 0.0f);
    EXPECT_FLOAT_EQ(written.Ax, -400);
    EXPECT_FLOAT_EQ(written.Bx, 600);
    EXPECT_FLOAT_EQ(written.Ay, 200);
    const TxData& six = store.Transmitters[1];
    EXPECT_FLOAT_EQ(six.Length, 1000);
    EXPECT_EQ(six.Azimuth, 0.0f);
    EXPECT_FLOAT_EQ(six.Ax, -200);
    EXPECT_FLOAT_EQ(six.Bx, 800);
    EXPECT_FLOAT_EQ(six.Cz, 7);
    const TxData& three = store.Transmitters[2];  // keeps the geometry of the block before
    EXPECT_FLOAT_EQ(three.Cx, 300);
    EXPECT_FLOAT_EQ(three.Cy, 400);
    EXPECT_FLOAT_EQ(three.Fip.Freq, 4);
    ASSERT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X, (std::vector<float>{1, 2, 4, 8}));
}

TEST(ReadImpFile, NothingAddedWithoutUsableHeader)
{
    const std::string receivers = BlockLine(1, 2, 0, 0, 0, 1000, 0) + TwoReceivers();
    for (const std::string count : {"0\r\n", "two\r\n", ""}) {
        SurveyStore store;
        ReadImpFile(store, WriteNamedTempFile("header.imp",
                                              kHeader + count + (count.empty() ? "" : receivers)));
        EXPECT_TRUE(store.Transmitters.empty()) << count;
        EXPECT_TRUE(store.ExStations.empty()) << count;
    }
    SurveyStore store;
    ReadImpFile(store, testing::TempDir() + "no-such-folder/x.imp");
    ReadUsfFile(store, WriteNamedTempFile("a.usf", Line7()));
    EXPECT_TRUE(store.Transmitters.empty());
    EXPECT_TRUE(store.ExStations.empty());
}

TEST(ReadImpFile, WhatFollowsTheLastBlock)
{
    const std::string oneBlock =
        std::string(kHeader) + "1\r\n" + BlockLine(1, 2, 0, 0, 0, 1000, 0) + TwoReceivers();
    struct Case {
        const char* tail;
        bool throws;
    };
    for (const Case& c : {Case{"", false}, Case{"\r\n\r\n", false}, Case{"5\r\n", false},
                          Case{"1 2 3 4\r\n", false}, Case{"1 2 3 4 5 6 7 8 9 10 11 12\r\n", false},
                          Case{"abc\r\n", true}, Case{"abc", false}, Case{"2 x 3\r\n", true}}) {
        SurveyStore store;
        std::string path = WriteNamedTempFile("tail.imp", oneBlock + c.tail);
        if (c.throws)
            EXPECT_THROW(ReadImpFile(store, path), EConvertError) << c.tail;
        else
            EXPECT_NO_THROW(ReadImpFile(store, path)) << c.tail;
        EXPECT_EQ(store.Transmitters.size(), 1u) << c.tail;
        EXPECT_EQ(store.ExStations.size(), 2u) << c.tail;
    }
}

TEST(ReadImpFile, ReceiversStayWithinTheCoordinateLists)
{
    const std::string head = std::string(kHeader) + "1\r\n";
    SurveyStore store;

    // An X line with fewer values than the block line: only that many receivers.
    ReadImpFile(store, WriteNamedTempFile("short-x.imp", head + "1.0 2 3\r\n" + TwoReceivers()));
    EXPECT_EQ(store.ExStations.size(), 2u);

    // More receivers than the block line's count: the block ends after its count, and the
    // surplus receiver line is not taken for a station.
    store = SurveyStore();
    std::string longX = head + BlockLine(1, 1, 0, 0, 0, 1000, 0) + TwoReceivers();
    const std::string longXPath = WriteNamedTempFile("long-x.imp", longX);
    try {
        ReadImpFile(store, longXPath);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message,
                  "'A2' is not a valid floating point value (file " + longXPath + ", line 13)");
    }
    ASSERT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Name, "A1");

    // A Y line shorter than the count, a short receiver line and a file that ends inside the
    // block raise the conversion error; nothing is read past. The block's transmitter is recorded
    // once its coordinate lines are read.
    struct Short {
        std::string block;
        size_t transmitters;
    };
    for (const Short& c :
         {Short{"1 2\r\n5\r\n1 2\r\nRe Im\r\nA1 1 0\r\n1 0\r\nA2 1 0\r\n1 0\r\n", 0},
          Short{"1 2\r\n5 5\r\n1 2\r\nRe Im\r\nA1 1\r\n1 0\r\nA2 1 0\r\n1 0\r\n", 1},
          Short{"1 2\r\n5 5\r\n1 2\r\nRe Im\r\nA1 1 0\r\n1 0\r\n", 1}}) {
        store = SurveyStore();
        EXPECT_THROW(ReadImpFile(store, WriteNamedTempFile(
                                            "short.imp",
                                            head + BlockLine(1, 2, 0, 0, 0, 1000, 0) + c.block)),
                     EConvertError);
        EXPECT_EQ(store.Transmitters.size(), c.transmitters) << c.block;
        EXPECT_LE(store.ExStations.size(), 1u);
    }
}

// A conversion error names the file and the line it was read from, also when the line is missing.
TEST(ReadImpFile, ConversionErrorsNameFileAndLine)
{
    const std::string head = std::string(kHeader) + "1\r\n";
    struct Case {
        std::string block;
        std::string message;
        int line;
    };
    for (const Case& c : {
             // The block claims two receivers and has one: the missing second reads as ''.
             Case{"1 2 3\r\n1 2\r\n5 5\r\n1 2\r\nRe Im\r\nA1 1 0\r\n1 0\r\n",
                  "'' is not a valid floating point value", 12},
             Case{"1 2 3\r\n1 2\r\n5 x\r\n1 2\r\nRe Im\r\n",
                  "'x' is not a valid floating point value", 8},
             Case{"1 2 3\r\n1 2\r\n5 5\r\n1 2\r\nRe Im\r\nA1 1 0\r\n1 0\r\nA2 1 zero\r\n",
                  "'zero' is not a valid floating point value", 13},
             Case{"1 2 3x\r\n1\r\n", "'3x' is not a valid integer value", 6},
         }) {
        const std::string path = WriteNamedTempFile("message.imp", head + c.block);
        SurveyStore store;
        try {
            ReadImpFile(store, path);
            ADD_FAILURE() << "no error: " << c.block;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message,
                      c.message + " (file " + path + ", line " + std::to_string(c.line) + ")");
        }
    }
}

TEST(ReadImpFile, LastBlockLineWithoutLineEndEndsTheReading)
{
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("end.imp", std::string(kHeader) + "1\r\n1.0 2 3"));
    EXPECT_TRUE(store.Transmitters.empty());
}

TEST(ReadImpFile, NearlyEqualTransmittersAreOne)
{
    // Angles a hundred-billionth of a degree apart are the same source.
    std::string text =
        std::string(kHeader) + "2\r\n" +
        "1.0 2 1 2 0 0 0 1 1000 1 0 0 0.0\r\n1\r\n2\r\n3\r\nc\r\nS1 1 0\r\n1 0\r\n" +
        "1.0 2 1 2 0 0 0 1 1000 1 0 0 1e-11\r\n1\r\n2\r\n3\r\nc\r\nS1 1 0\r\n1 0\r\n";
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("near.imp", text));
    EXPECT_EQ(store.Transmitters.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X.size(), 2u);
}

// The amplitude form that the program's own writer produces holds one value per receiver: the
// file is refused at its first block line, naming the file and that line, before anything is
// added. The complex form of the same survey reads back.
TEST(ReadImpFile, AmplitudeFormIsRefused)
{
    SurveyStore survey;
    for (float f : {1.0f, 2.0f}) {
        TxData tx;
        tx.Name = "T1";
        tx.Length = 1000;
        tx.Fip.Freq = f;
        tx.Fip.Current = 1;
        survey.Transmitters.push_back(tx);
    }
    TStation station;
    station.Name = "101";
    station.Info.TxName = "T1";
    for (float f : {1.0f, 2.0f}) {
        station.Amplitude.X.push_back(f);
        station.Amplitude.Y.push_back(2e6f);
        station.Phase.X.push_back(f);
        station.Phase.Y.push_back(0.5f);
        station.Errors.X.push_back(10);
        station.Errors.Y.push_back(0.01f);
    }
    survey.ExStations = {station};
    survey.OutputFreqs = {1, 2};
    const std::string amplitudes = WriteNamedTempFile("amplitudes.imp", "");
    WriteImpFileAmplitude(survey, amplitudes, "", "", 0, false, false, nullptr);

    SurveyStore store;
    store.ExStations = {station};
    try {
        ReadImpFile(store, amplitudes);
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message,
                  std::string(kImpAmplitudeFormMessage) + " (file " + amplitudes + ", line 6)");
    }
    EXPECT_TRUE(store.Transmitters.empty());
    ASSERT_EQ(store.ExStations.size(), 1u);
    EXPECT_EQ(store.ExStations[0].Amplitude.X.size(), 2u);

    const std::string complex = WriteNamedTempFile("complex.imp", "");
    WriteImpFileComplex(survey, complex, "", "", 0, false, false, nullptr);
    SurveyStore back;
    ReadImpFile(back, complex);
    EXPECT_EQ(back.Transmitters.size(), 2u);
    ASSERT_EQ(back.ExStations.size(), 1u);
    EXPECT_EQ(back.ExStations[0].Amplitude.X, (std::vector<float>{1, 2}));
}

// A block without receivers has no data: it adds no transmitter, and a file of such blocks adds
// nothing at all.
TEST(ReadImpFile, BlockWithoutReceiversAddsNoTransmitter)
{
    const std::string head = std::string(kHeader) + "2\r\n";
    const std::string empty = BlockLine(4, 0, 0, 0, 0, 1000, 0) + "0\r\n0\r\n0\r\nRe Im\r\n";
    SurveyStore store;
    ReadImpFile(store, WriteNamedTempFile("empty.imp", head + empty));
    EXPECT_TRUE(store.Transmitters.empty());
    EXPECT_TRUE(store.ExStations.empty());

    ReadImpFile(
        store, WriteNamedTempFile(
                   "mixed.imp", head + empty + BlockLine(1, 2, 0, 0, 0, 1000, 0) + TwoReceivers()));
    ASSERT_EQ(store.Transmitters.size(), 1u);
    EXPECT_FLOAT_EQ(store.Transmitters[0].Fip.Freq, 1);
    EXPECT_EQ(store.ExStations.size(), 2u);
}
