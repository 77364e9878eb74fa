#include <gtest/gtest.h>

#include "base/Exception.h"
#include "export/StnWriter.h"
#include "tests/export/ExportFixture.h"

TEST(ExportStn, ExactBytes)
{
    SurveyStore store;
    store.ExStations.push_back(ExportStation("101", 50, 0, 2.5f, {}));
    store.ExStations.push_back(ExportStation("102", 15.5f, -3, 0, {}));
    store.ExStations.push_back(ExportStation("", 7.26f, -3.14f, 123456789, {}));
    store.ExStations.push_back(ExportStation("101", 0.5f, 0, 0, {}));
    const std::string path = ExportTempPath("line.stn");

    WriteStnFile(store, path);

    EXPECT_EQ(FileBytes(path), CrLf({" STN     X    Y    Z", "101 50.0 .0 2.5", "102 15.5 -3.0 .0",
                                     " 7.3 -3.1 123456792.0", "101 .5 .0 .0"}));

    store.ExStations.clear();
    WriteStnFile(store, path);
    EXPECT_EQ(FileBytes(path), CrLf({" STN     X    Y    Z"}));
}

TEST(ExportStn, UncreatableFileIsReported)
{
    const std::string missing = testing::TempDir() + "no_such_folder_q/a.stn";
    try {
        WriteStnFile(SurveyStore(), missing);
        FAIL() << "uncreatable file accepted";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
}
