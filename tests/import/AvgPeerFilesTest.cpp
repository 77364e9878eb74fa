// Averaged files from the field, loaded as the load command does: the CSAMT reader first, then,
// once it reports the other dialect, the AMTAVG reader.

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"
#include "import/EHStationMerge.h"

namespace {

std::string PeerFile(const std::string& relative)
{
    return std::string(QUILLANE_PEER_DATA) + "/" + relative;
}

bool PeerDataPresent()
{
    struct stat info;
    return stat(QUILLANE_PEER_DATA, &info) == 0 && S_ISDIR(info.st_mode);
}

struct Loaded {
    SurveyStore store;
    bool otherDialect = false;
    int messages = 0;
};

void Load(Loaded& loaded, const std::string& relative)
{
    std::string name = PeerFile(relative);
    ReadCsamtAvgFile(loaded.store, name, &loaded.otherDialect);
    if (loaded.otherDialect) ReadAmtAvgFile(loaded.store, name, [&loaded] { ++loaded.messages; });
}

size_t SampleCount(const std::vector<TStation>& stations)
{
    size_t n = 0;
    for (const TStation& s : stations) n += s.Amplitude.X.size();
    return n;
}

const TStation* Find(const std::vector<TStation>& stations, const std::string& name)
{
    for (const TStation& s : stations)
        if (s.Name == name) return &s;
    return nullptr;
}

void ExpectEveryExStationPaired(const SurveyStore& store)
{
    for (const TStation& ex : store.ExStations)
        EXPECT_NE(Find(store.HyStations, ex.Info.HyName), nullptr) << ex.Name;
}

}  // namespace

TEST(AvgPeerFiles, K1)
{
    if (!PeerDataPresent()) GTEST_SKIP() << "no peer data";
    Loaded k1;
    ASSERT_NO_THROW(Load(k1, "pycsamt/K1.AVG"));
    const SurveyStore& s = k1.store;
    EXPECT_TRUE(k1.otherDialect);
    EXPECT_EQ(k1.messages, 1);  // no row is skipped
    // 799 rows of 47 stations at 17 frequencies from 8192 Hz to 0.125 Hz, transmitter "20".
    EXPECT_EQ(s.EHStations.size(), 47u);
    EXPECT_EQ(s.ExStations.size(), 47u);
    EXPECT_EQ(SampleCount(s.ExStations), 799u);
    EXPECT_EQ(s.ExStations.front().Name, "150.0");
    EXPECT_FLOAT_EQ(s.ExStations.front().Info.X, 150);
    EXPECT_EQ(s.ExStations.back().Name, "2450.0");
    ASSERT_EQ(s.Transmitters.size(), 1u);
    EXPECT_EQ(s.Transmitters[0].Name, "20");
    ASSERT_EQ(s.Transmitters[0].FipList.size(), 17u);
    EXPECT_FLOAT_EQ(s.Transmitters[0].FipList.front().Freq, 8192);
    EXPECT_FLOAT_EQ(s.Transmitters[0].FipList.back().Freq, 0.125f);

    // 35 H sensors: 300.0 to 500.0 share the one of 250.0 at every frequency; 200.0 shares that
    // of 150.0 at its highest frequencies only and keeps its own.
    EXPECT_EQ(s.HyStations.size(), 35u);
    ExpectEveryExStationPaired(s);
    EXPECT_EQ(Find(s.ExStations, "400.0")->Info.HyName, "250.0");
    EXPECT_EQ(Find(s.ExStations, "200.0")->Info.HyName, "200.0");
    EXPECT_NE(Find(s.HyStations, "200.0"), nullptr);

    // Station by station, without the merge's shared indexes, the survey comes out the same.
    SurveyStore one;
    for (const TEHStation& station : s.EHStations) AddEHStationToSurvey(one, station, "20");
    ASSERT_EQ(one.HyStations.size(), s.HyStations.size());
    for (size_t i = 0; i < one.ExStations.size(); ++i)
        EXPECT_EQ(one.ExStations[i].Info.HyName, s.ExStations[i].Info.HyName);

    // Appending it again adds nothing.
    ASSERT_NO_THROW(Load(k1, "pycsamt/K1.AVG"));
    EXPECT_EQ(s.ExStations.size(), 47u);
    EXPECT_EQ(s.HyStations.size(), 35u);
    EXPECT_EQ(s.Transmitters[0].FipList.size(), 17u);
}

TEST(AvgPeerFiles, L14)
{
    if (!PeerDataPresent()) GTEST_SKIP() << "no peer data";
    Loaded l14;
    ASSERT_NO_THROW(Load(l14, "pycsamt/L14.avg"));
    const SurveyStore& s = l14.store;
    EXPECT_EQ(l14.messages, 1);
    // 2320 rows of 18 fields: 58 stations at 40 frequencies, transmitter "1", one H sensor for
    // every six stations.
    EXPECT_EQ(s.ExStations.size(), 58u);
    EXPECT_EQ(SampleCount(s.ExStations), 2320u);
    EXPECT_EQ(s.ExStations.front().Name, "1000.0");
    EXPECT_EQ(s.ExStations.back().Name, "3280.0");
    ASSERT_EQ(s.Transmitters.size(), 1u);
    EXPECT_EQ(s.Transmitters[0].Name, "1");
    EXPECT_EQ(s.Transmitters[0].FipList.size(), 40u);
    EXPECT_FLOAT_EQ(s.EHStations[0].Col17[0], 0);  // the 18th field is read
    EXPECT_EQ(s.HyStations.size(), 10u);
    ExpectEveryExStationPaired(s);
    EXPECT_EQ(Find(s.ExStations, "1200.0")->Info.HyName, "1160.0");
}

TEST(AvgPeerFiles, OtherLayoutsLoadNothing)
{
    if (!PeerDataPresent()) GTEST_SKIP() << "no peer data";
    for (const char* file : {"pycsamt/K2.AVG", "mt_metadata/tf_avg.avg"}) {
        Loaded loaded;
        ASSERT_NO_THROW(Load(loaded, file)) << file;
        EXPECT_TRUE(loaded.otherDialect) << file;
        EXPECT_TRUE(loaded.store.EHStations.empty()) << file;
        EXPECT_TRUE(loaded.store.ExStations.empty()) << file;
        EXPECT_TRUE(loaded.store.HyStations.empty()) << file;
        EXPECT_TRUE(loaded.store.Transmitters.empty()) << file;
    }
}
