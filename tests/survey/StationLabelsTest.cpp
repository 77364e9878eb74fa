#include <gtest/gtest.h>

#include <iterator>

#include "survey/StationLabels.h"

TEST(StationLabels, ALabelNamesAStationByTextOrByEqualDecimalValue)
{
    struct Case {
        const char* label;
        const char* name;
        bool names;
    };
    const Case cases[] = {
        {"150", "150.0", true},  {"150.0", "150", true},    {"1000", "1000.0", true},
        {"-50", "-50.00", true}, {"0", "-0.0", true},       {"150", "150.5", false},
        {"150", "1500", false},  {"150a", "150.0a", false},  // texts that are no numbers match only
                                                             // themselves
        {"150a", "150a", true},  {"12 ", "12", false},       // a blank makes the label no number
        {"1.5e2", "150", false},                             // nor does an exponent
        {"A1", "A1", true},      {"a1", "A1", false},       {"", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LabelNamesStation(c.label, c.name), c.names) << c.label << " / " << c.name;
}

TEST(StationLabels, IndexPrefersTheExactTextThenTheFirstOfEqualValue)
{
    StationLabelIndex index;
    const char* labels[] = {"150", "150.0", "0200", "200.0", "A7", "150", "300a"};
    for (size_t i = 0; i < std::size(labels); ++i) index.Add(labels[i], i);
    EXPECT_EQ(index.Find("150"), 0u);
    EXPECT_EQ(index.Find("150.0"), 1u);   // its own text, although "150" comes first
    EXPECT_EQ(index.Find("150.00"), 0u);  // no text of its own: the first of that value
    EXPECT_EQ(index.Find("200"), 2u);
    EXPECT_EQ(index.Find("200.0"), 3u);
    EXPECT_EQ(index.Find("A7"), 4u);
    EXPECT_EQ(index.Find("300a"), 6u);
    EXPECT_EQ(index.Find("300"), StationLabelIndex::npos);
    EXPECT_EQ(index.Find("a7"), StationLabelIndex::npos);
    EXPECT_EQ(index.Find("250"), StationLabelIndex::npos);
    EXPECT_EQ(StationLabelIndex().Find("150"), StationLabelIndex::npos);
}
