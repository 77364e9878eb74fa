// The real AMTAVG file K1.AVG carries its own resistivity column, 0.2/f*(Emag/Hmag)^2 of each row.
// After loading it, the "MT" curve of every Ex station must reproduce that column on every row,
// which holds only when each Ex station pairs with its own magnetic data.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sys/stat.h>

#include "base/Convert.h"
#include "base/TextStream.h"
#include "import/AmtAvgReader.h"
#include "processing/StationCurves.h"
#include "survey/TextLines.h"

TEST(PeerPairing, K1MtCurvesMatchTheFileResistivity)
{
    const std::string path = QUILLANE_PEER_DATA "/pycsamt/K1.AVG";
    struct stat info;
    if (stat(path.c_str(), &info) != 0) GTEST_SKIP() << "peer data absent";

    // Resistivity column (field 9) by station name and frequency, from the rows themselves.
    std::map<std::pair<std::string, float>, double> resistivity;
    TextStream stream;
    ASSERT_TRUE(stream.Open(path));
    std::string line;
    std::vector<std::string> fields;
    bool inRows = false;
    while (stream.ReadLine(line)) {
        if (!inRows) {
            inRows = line.find("++-") != std::string::npos;
            continue;
        }
        SplitFields(line, fields);
        if (fields.size() < 17 || fields[0] == "0") continue;
        resistivity[{fields[1], static_cast<float>(StrToFloat(fields[2]))}] = StrToFloat(fields[9]);
    }
    ASSERT_EQ(resistivity.size(), 799u);

    SurveyStore store;
    ReadAmtAvgFile(store, path, {});
    ASSERT_EQ(store.ExStations.size(), 47u);
    StationCurveIndex index(store);
    size_t compared = 0;
    for (const TStation& ex : store.ExStations) {
        StationCurves curves;
        ComputeStationCurves(store, index, ex.Name, curves);
        ASSERT_EQ(curves.Freq.size(), ex.Amplitude.X.size()) << ex.Name;
        for (size_t k = 0; k < curves.Freq.size(); ++k) {
            auto found = resistivity.find({ex.Name, static_cast<float>(curves.Freq[k])});
            ASSERT_NE(found, resistivity.end()) << ex.Name << " " << curves.Freq[k];
            EXPECT_NEAR(curves.RhoMT[k] / found->second, 1.0, 2e-4)
                << ex.Name << " at " << curves.Freq[k] << " Hz";
            ++compared;
        }
    }
    EXPECT_EQ(compared, 799u);
}
