#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/StationNumber.h"

TEST(StationNumber, PlainDecimalNumbers)
{
    struct Case {
        const char* text;
        bool number;
        double value;
    };
    const Case cases[] = {
        {"150", true, 150},  {"1000.0", true, 1000}, {"-20.5", true, -20.5}, {"+7", true, 7},
        {"12.", true, 12},   {".5", true, 0.5},      {"007", true, 7},       {"", false, 0},
        {"-", false, 0},     {".", false, 0},        {"+.", false, 0},       {"1e3", false, 0},
        {" 150", false, 0},  {"150 ", false, 0},     {"150a", false, 0},     {"L150", false, 0},
        {"1.2.3", false, 0}, {"1,5", false, 0},      {"inf", false, 0},      {"nan", false, 0},
        {"0x10", false, 0},  {"--1", false, 0},      {"\xb2\xe2", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPlainDecimalNumber(c.text), c.number) << c.text;
        if (c.number) {
            EXPECT_EQ(PlainDecimalValue(c.text), c.value) << c.text;
        }
    }
    // A byte of value 0 inside the name is not a number's end.
    EXPECT_FALSE(
        IsPlainDecimalNumber(std::string("1\0"
                                         "2",
                                         3)));
    const std::string huge(400, '9');
    EXPECT_TRUE(IsPlainDecimalNumber(huge));
    EXPECT_EQ(PlainDecimalValue(huge), INFINITY);
    EXPECT_EQ(PlainDecimalValue("-" + huge), -INFINITY);
}
