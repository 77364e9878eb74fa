#include <gtest/gtest.h>

#include <cmath>

#include "base/TextStream.h"
#include "import/LoadCommands.h"
#include "tests/support/TempFiles.h"

namespace {

class QuietHooks : public LoadHooks {
public:
    int redraws = 0;
    void ShowBusyCursor() override {}
    void RestoreCursor() override {}
    void ProcessMessages() override {}
    void RedrawMap() override { ++redraws; }
};

}  // namespace

TEST(Examples, ImpFileOpens)
{
    const std::string path = QUILLANE_SOURCE_DIR "/examples/line1.imp";
    SurveyStore store;
    QuietHooks hooks;
    AppendFiles(store, {path}, path, hooks);
    EXPECT_EQ(hooks.redraws, 1);

    const std::vector<float> freqs = {8192, 4096, 2048, 1024, 512, 256, 128, 64, 32, 16};
    ASSERT_EQ(store.Transmitters.size(), freqs.size());
    for (size_t k = 0; k < freqs.size(); ++k) {
        const TxData& tx = store.Transmitters[k];
        EXPECT_EQ(tx.Name, "line1");
        EXPECT_EQ(tx.Fip.Freq, freqs[k]);
        // The wire of the other example files, along y.
        EXPECT_EQ(tx.Azimuth, 90.0f);
        EXPECT_NEAR(tx.Ax, 0, 1e-6);
        EXPECT_NEAR(tx.Bx, 0, 1e-6);
        EXPECT_FLOAT_EQ(tx.Ay, 800);
        EXPECT_FLOAT_EQ(tx.By, 1800);
    }

    ASSERT_EQ(store.ExStations.size(), 8u);
    ASSERT_EQ(store.StaticFactors.size(), 8u);
    const std::vector<float> elevations = {120, 121.5, 123, 124, 126.5, 128, 127, 125.5};
    for (size_t i = 0; i < 8; ++i) {
        const TStation& station = store.ExStations[i];
        EXPECT_EQ(station.Name, std::to_string(11000 + 100 * i));
        EXPECT_EQ(station.Info.TxName, "line1");
        EXPECT_FLOAT_EQ(station.Info.X, 6000);
        EXPECT_FLOAT_EQ(station.Info.Y, 1025 + 100 * i);
        EXPECT_FLOAT_EQ(station.Info.Z, elevations[i]);
        EXPECT_EQ(station.Amplitude.X, freqs);
        EXPECT_EQ(station.Amplitude.Count, 10);
        EXPECT_EQ(station.Phase.Count, 10);
        for (size_t k = 0; k < freqs.size(); ++k) {
            // Far-field amplitudes of a few tenths of a mV/(km*A), phases within a few degrees.
            EXPECT_GT(station.Amplitude.Y[k], 0.05f);
            EXPECT_LT(station.Amplitude.Y[k], 1.0f);
            EXPECT_LT(std::fabs(station.Phase.Y[k]), 0.1f);
            // 2 % in amplitude and 0.01 rad in phase, as the errors of Re and Im carry them.
            EXPECT_NEAR(station.Errors.X[k], 0.02 * station.Amplitude.Y[k],
                        5e-4 * station.Amplitude.Y[k]);
            EXPECT_NEAR(station.Errors.Y[k], 0.01, 5e-4);
        }
    }
    EXPECT_NEAR(store.ExStations[0].Amplitude.Y[0], 0.092113, 1e-5);
}

// Every example file opens through the real readers as the Open command reads it.
TEST(Examples, EveryFormatOpens)
{
    struct Case {
        const char* file;
        size_t exStations;
        size_t hyStations;
        size_t transmitters;
    } cases[] = {
        {"line1.raw", 8, 1, 10},
        {"line1_csamt.avg", 8, 1, 1},
        {"line1_amt.avg", 8, 8, 1},
        {"line1.imp", 8, 0, 10},
    };
    for (const Case& c : cases) {
        // The GDP32 raw file is rewritten in place when read: work on a copy.
        const std::string source = std::string(QUILLANE_SOURCE_DIR "/examples/") + c.file;
        const std::string path = WriteTempFile(c.file, ReadBytes(source));
        SurveyStore store;
        QuietHooks hooks;
        AppendFiles(store, {path}, path, hooks);
        EXPECT_EQ(store.ExStations.size(), c.exStations) << c.file;
        EXPECT_EQ(store.HyStations.size(), c.hyStations) << c.file;
        EXPECT_EQ(store.Transmitters.size(), c.transmitters) << c.file;
        EXPECT_EQ(store.StaticFactors.size(), c.exStations) << c.file;
        for (const TStation& ex : store.ExStations) {
            EXPECT_EQ(ex.Amplitude.X.size(), 10u) << c.file << " " << ex.Name;
            EXPECT_EQ(ex.Amplitude.Count, 10) << c.file;
        }
        if (std::string(c.file) == "line1.raw") {
            EXPECT_EQ(ReadBytes(path), ReadBytes(source));
        }
    }
}

// The curves measure a station's angle to the wire from the y axis: the examples with
// coordinates lay the wire along y and every station broadside to it, 6 km away.
TEST(Examples, StationsLieBroadsideToAWireAlongY)
{
    for (const char* file : {"line1_csamt.avg", "line1.imp"}) {
        const std::string path = std::string(QUILLANE_SOURCE_DIR "/examples/") + file;
        SurveyStore store;
        QuietHooks hooks;
        AppendFiles(store, {path}, path, hooks);
        ASSERT_FALSE(store.Transmitters.empty()) << file;
        for (const TxData& tx : store.Transmitters) {
            EXPECT_NEAR(tx.Ax, tx.Bx, 1e-3) << file;
            EXPECT_NEAR(std::fabs(tx.By - tx.Ay), 1000, 1e-3) << file;
        }
        const TxData& tx = store.Transmitters.front();
        ASSERT_EQ(store.ExStations.size(), 8u) << file;
        for (const TStation& ex : store.ExStations) {
            const double dx = ex.Info.X - tx.Cx, dy = ex.Info.Y - tx.Cy;
            const double fromY = std::atan(std::fabs(dx) / (std::fabs(dy) + 1e-15)) * 180 / M_PI;
            EXPECT_GT(fromY, 85) << file << " " << ex.Name;
            EXPECT_NEAR(std::hypot(dx, dy), 6000, 20) << file << " " << ex.Name;
        }
    }
}
