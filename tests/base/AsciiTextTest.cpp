#include <clocale>
#include <gtest/gtest.h>

#include "base/AsciiText.h"

// Only A to Z and a to z change: GBK and UTF-8 bytes stay as they are, whatever the locale.
TEST(AsciiText, OnlyAsciiLettersChangeCase)
{
    const std::string mixed = "Id:Ex \xB2\xE2\xCF\xDF \xC3\x89t\xC9 @[`{";
    const std::string lower = "id:ex \xB2\xE2\xCF\xDF \xC3\x89t\xC9 @[`{";
    const std::string upper = "ID:EX \xB2\xE2\xCF\xDF \xC3\x89T\xC9 @[`{";
    EXPECT_EQ(LowerAscii(mixed), lower);
    EXPECT_EQ(UpperAscii(mixed), upper);
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_EQ(LowerAscii(mixed), lower);
        EXPECT_EQ(UpperAscii(mixed), upper);
    }
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(Contains("id:ex E1", "ex E"));
    EXPECT_TRUE(Contains("abc", ""));
    EXPECT_FALSE(Contains("id:ex", "EX"));
}
