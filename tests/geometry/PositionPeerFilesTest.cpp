// The position files published with real AVG files label their stations "150", "1000" where the
// readers name them "150.0", "1000.0". Loaded into the station grid, every station of the survey
// takes its coordinates from the file.

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

#include "base/Convert.h"
#include "base/TextStream.h"
#include "geometry/PositionFile.h"
#include "geometry/StationGrid.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"
#include "survey/TextLines.h"

namespace {

struct Point {
    float X, Y, Z;
};

// The points of the position file by the value of their labels, read without the grid.
std::map<double, Point> PointsOf(const std::string& file)
{
    std::map<double, Point> points;
    TextStream stream;
    EXPECT_TRUE(stream.Open(file));
    std::string line;
    std::vector<std::string> fields;
    double label = 0, x = 0, y = 0, z = 0;
    while (stream.ReadLine(line)) {
        SplitFields(line, fields);
        if (fields.size() >= 4 && TryStrToFloat(fields[0], label) && TryStrToFloat(fields[1], x) &&
            TryStrToFloat(fields[2], y) && TryStrToFloat(fields[3], z))
            points[label] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    }
    return points;
}

}  // namespace

TEST(PositionPeerFiles, EveryStationTakesItsPositionFromThePublishedFile)
{
    struct stat info;
    if (stat(QUILLANE_PEER_DATA, &info) != 0) GTEST_SKIP() << "peer data absent";
    struct Survey {
        const char* Avg;
        const char* Stn;
        size_t ExStations;
    } surveys[] = {
        {"/pycsamt/K1.AVG", "/pycsamt/K1.stn", 47},
        {"/pycsamt/L14.avg", "/pycsamt/L14.stn", 58},
    };
    for (const Survey& survey : surveys) {
        SCOPED_TRACE(survey.Avg);
        const std::string avg = std::string(QUILLANE_PEER_DATA) + survey.Avg;
        const std::string stn = std::string(QUILLANE_PEER_DATA) + survey.Stn;
        SurveyStore store;
        bool otherDialect = false;
        ReadCsamtAvgFile(store, avg, &otherDialect);
        if (otherDialect) ReadAmtAvgFile(store, avg, [] {});
        ASSERT_EQ(store.ExStations.size(), survey.ExStations);
        ASSERT_FALSE(store.HyStations.empty());

        PositionGrid grid = MakePositionGrid(store);
        ASSERT_TRUE(LoadPositionFile(stn, grid));
        EXPECT_EQ(grid.Cell(kLabelColumn, 1).find('.'), std::string::npos);
        EXPECT_TRUE(PositionGridNamesAnyStation(store, grid));
        ApplyPositionGrid(store, grid);

        const std::map<double, Point> points = PointsOf(stn);
        for (const std::vector<TStation>* stations : {&store.ExStations, &store.HyStations}) {
            for (const TStation& station : *stations) {
                auto found = points.find(StrToFloat(station.Name));
                ASSERT_NE(found, points.end()) << station.Name;
                EXPECT_EQ(station.Info.X, found->second.X) << station.Name;
                EXPECT_EQ(station.Info.Y, found->second.Y) << station.Name;
                EXPECT_EQ(station.Info.Z, found->second.Z) << station.Name;
            }
        }
    }
}
