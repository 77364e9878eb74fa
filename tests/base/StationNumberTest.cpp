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

TEST(StationNumber, PlainDecimalKeysAreEqualForEqualValues)
{
    struct Case {
        const char* text;
        const char* key;  // "" for a text that is not a plain decimal number
    };
    const Case cases[] = {
        {"150", "150"},
        {"150.0", "150"},
        {"150.000", "150"},
        {"0150", "150"},
        {"150.", "150"},
        {"+150", "150"},
        {"-20", "-20"},
        {"-20.50", "-20.5"},
        {".5", "0.5"},
        {"-.50", "-0.5"},
        {"0", "0"},
        {"000", "0"},
        {"-0.0", "0"},
        {"+.0", "0"},
        {"1000.0", "1000"},
        {"1000.05", "1000.05"},
        {"100200300400500600700.1", "100200300400500600700.1"},
        {"", ""},
        {".", ""},
        {"-", ""},
        {"+.", ""},
        {"150a", ""},
        {"a150", ""},
        {"1.5e2", ""},
        {"150 ", ""},
        {" 150", ""},
        {"1.2.3", ""},
        {"--1", ""},
        {"1-", ""},
        {"0x10", ""},
        {"1,5", ""},
        {"inf", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlainDecimalKey(c.text), c.key) << '"' << c.text << '"';
        EXPECT_EQ(IsPlainDecimalNumber(c.text), *c.key != '\0') << '"' << c.text << '"';
    }
}
