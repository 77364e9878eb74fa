#include <gtest/gtest.h>

#include "base/NumberFormat.h"
#include "base/StringList.h"
#include "processing/CorrectionCurves.h"
#include "tests/support/SurveyFixture.h"

namespace {

// A station stored from low to high frequency, 3000 m from the source.
SurveyStore AscendingSurvey()
{
    SurveyStore store;
    store.Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    store.HyStations.push_back(
        MakeHy("H", "T1", 0, 3000, {{1, 1, 0}, {10, 0.5f, 0}, {100, 0.2f, 0}, {1000, 0.1f, 0}}));
    store.ExStations.push_back(
        MakeEx("1200", "H", 0, 3000, {{1, 10, 0}, {10, 12, 0}, {100, 9, 0}, {1000, 5, 0}}));
    return store;
}

}  // namespace

TEST(CorrectionCurves, RowsOfTheComparisonFileHoldOneSampleEach)
{
    SurveyStore store = AscendingSurvey();
    CorrectionCurves c;
    ComputeCorrectionCurves(store, "1200", c);
    EXPECT_EQ(c.StoredFreq, (std::vector<double>{1, 10, 100, 1000}));
    EXPECT_EQ(c.Curves.Freq, (std::vector<double>{1000, 100, 10, 1}));
    EXPECT_EQ(c.Order, (std::vector<size_t>{3, 2, 1, 0}));

    StationCurves raw;
    ComputeStationCurves(store, "1200", raw);
    EXPECT_EQ(c.UncorrectedMT, raw.RhoMT);

    StringList lines;
    lines.SetText(ResistivityComparisonText(c));
    ASSERT_EQ(lines.Count(), 6u);
    EXPECT_EQ(lines.Lines[0], " Aparent Resistivity from MT  E/N_N AND CORRECTION");
    EXPECT_EQ(lines.Lines[1], "Freq      RhoMT     Rho[E/H]  RhoCor");
    for (size_t s = 0; s < 4; ++s) {
        const size_t k = 3 - s;  // where the stored sample went
        EXPECT_EQ(lines.Lines[2 + s], CFormat("%10.4e%10.2e%10.2e%10.2e", raw.Freq[s], raw.RhoMT[s],
                                              c.Curves.RhoExHyN[k], c.Curves.RhoMT[k]));
        EXPECT_EQ(c.Curves.RhoExHyN[k], raw.RhoExHyN[s]);
    }
    EXPECT_NE(ResistivityComparisonText(c).find("1.0000e+00"), std::string::npos);

    // A resistivity that fills its field gets a blank before it.
    c.UncorrectedMT[0] = -1e100;
    c.Curves.RhoExHyN[3] = 1e200;
    lines.SetText(ResistivityComparisonText(c));
    EXPECT_EQ(lines.Lines[2], CFormat("%10.4e", raw.Freq[0]) + " -1.00e+100 1.00e+200" +
                                  CFormat("%10.2e", c.Curves.RhoMT[3]));
    EXPECT_EQ(ResistivityComparisonText(c).substr(0, 52),
              " Aparent Resistivity from MT  E/N_N AND CORRECTION\r\n");
}

TEST(CorrectionCurves, FileNameWritingAndFailure)
{
    EXPECT_EQ(ResistivityComparisonFileName("1200"), "1200_RES_COMP.TXT");
    SurveyStore store = AscendingSurvey();
    CorrectionCurves c;
    ComputeCorrectionCurves(store, "1200", c);
    const std::string path = testing::TempDir() + ResistivityComparisonFileName("1200");
    ASSERT_TRUE(WriteResistivityComparisonFile(path, c));
    ASSERT_TRUE(WriteResistivityComparisonFile(path, c));  // a second save replaces the file
    StringList read;
    read.LoadFromFile(path);
    EXPECT_EQ(read.Text(), ResistivityComparisonText(c));
    EXPECT_FALSE(WriteResistivityComparisonFile(testing::TempDir() + "no/such/dir/x.TXT", c));

    // A station without kept samples gives the two header lines only.
    ComputeCorrectionCurves(store, "absent", c);
    EXPECT_EQ(ResistivityComparisonText(c),
              " Aparent Resistivity from MT  E/N_N AND CORRECTION\r\n"
              "Freq      RhoMT     Rho[E/H]  RhoCor\r\n");
}
