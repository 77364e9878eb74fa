#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

#include "base/NumberFormat.h"

TEST(FormatFloat, Patterns)
{
    struct Case {
        const char* pattern;
        double value;
        const char* text;
    } cases[] = {
        {"#.0", 0, ".0"},
        {"#.0", 0.5, ".5"},
        {"#.0", 7.26, "7.3"},
        {"#.0", 0.04, ".0"},
        {"#.0", 0.06, ".1"},
        {"#.0", 0.25, ".3"},  // half away from zero
        {"#.0", -2.25, "-2.3"},
        {"#.0", -0.01, ".0"},
        {"0.0", 0, "0.0"},
        {"0.0", 9.96, "10.0"},
        {"0", 2.5, "3"},
        {"0", -0.4, "0"},
        {"00", 7, "07"},
        {"#######.0", 1234567.25, "1234567.3"},
        {"#######.0", 123456789.0, "123456789.0"},
        {"#######.0", 0.5f, ".5"},
        {"#.###E-0", 1024, "1.024E3"},
        {"#.###E-0", 0.5, "5E-1"},
        {"#.###E-0", 1000, "1E3"},
        {"#.###E-0", 0.0012346, "1.235E-3"},
        {"#.###E-0", 99999, "1E5"},
        {"#.###E-0", -32, "-3.2E1"},
        {"0.000000E+00", 1234.56, "1.234560E+03"},
        {"0.000000E+00", 0, "0.000000E+00"},
        {"0.000000E+00", -1e-5, "-1.000000E-05"},
        {"0.000000E+00", 1e123, "1.000000E+123"},
        {"#,##0.", 1234567, "1,234,567"},
        {"#,##0.", -1500.5, "-1,501"},
        {"#,##0.", 999, "999"},
        {"#,##0.", 0, "0"},
        {"#,##0.#######", 1000, "1,000"},
        {"#,##0.#######", 0.125, "0.125"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFloat(c.pattern, c.value), c.text) << c.pattern << " " << c.value;
    }
}

TEST(FormatFloat, SingleValuesRoundAsStored)
{
    // 7.26f is 7.2600002288..., 0.35f is 0.3499999940...
    EXPECT_EQ(FormatFloat("#.0", 7.26f), "7.3");
    EXPECT_EQ(FormatFloat("0.0", 0.35f), "0.3");
}

TEST(CFormat, BehavesAsTheCLibrary)
{
    EXPECT_EQ(CFormat("%12.6e", 0.001), "1.000000e-03");
    EXPECT_EQ(CFormat("%10.1f|%12d|%s", -3.25, 42, "x"), "      -3.2|          42|x");
    std::string longText(1000, 'a');
    EXPECT_EQ(CFormat("%s!", longText.c_str()), longText + "!");
}

TEST(SeparatedField, ABlankBeforeAValueThatFillsItsField)
{
    struct Case {
        const char* format;
        double value;
        const char* field;
    } cases[] = {
        {"%13.3f", -9999999.5, " -9999999.500"},
        {"%13.3f", -10000000, " -10000000.000"},
        {"%13.3f", 1e9, " 1000000000.000"},
        {"%12.2f", 1e8, " 100000000.00"},
        {"%5.2f", 0.5, " 0.50"},
        {"%5.2f", -0.5, " -0.50"},
        {"%10.2e", -1e100, " -1.00e+100"},
        {"%12.2f", 1.0 / 0.0, "         inf"},
    };
    for (const Case& c : cases) EXPECT_EQ(SeparatedField(c.format, c.value), c.field) << c.format;
}
