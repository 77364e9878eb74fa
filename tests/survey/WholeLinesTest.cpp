#include <gtest/gtest.h>

#include "survey/TextLines.h"

using namespace std::string_literals;

TEST(ReadNonBlankWholeLine, TakesLinesOfAnyLength)
{
    const std::string longLine(100000, 'x');
    TextStream stream(" \r\n\t\r\n " + longLine + "\0tail \r\n\r\n b \r\n  "s);
    std::string line;
    ASSERT_TRUE(ReadNonBlankWholeLine(stream, line));
    EXPECT_EQ(line, longLine);  // whole, up to its first NUL, trimmed
    ASSERT_TRUE(ReadNonBlankWholeLine(stream, line));
    EXPECT_EQ(line, "b");
    EXPECT_FALSE(ReadNonBlankWholeLine(stream, line));
    EXPECT_TRUE(line.empty());
}

TEST(SplitAllFields, FieldsOfSplitFieldsWithoutTheirLimit)
{
    std::string line = " \t";
    for (int i = 0; i < 1500; ++i) line += std::to_string(i) + (i % 2 ? " ,;" : "\t:=\"");
    std::vector<std::string> all{"stale"}, limited;
    SplitAllFields(line, all);
    ASSERT_EQ(all.size(), 1500u);
    EXPECT_EQ(all.back(), "1499");
    SplitFields(line, limited);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + kMaxFields), limited);
    SplitAllFields(" ,; \r\n", all);
    EXPECT_TRUE(all.empty());
}
