#include <gtest/gtest.h>

#include <clocale>

#include "base/Convert.h"
#include "base/FloatText.h"

TEST(FloatToStr, GeneralFormatWithFifteenDigits)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {1000, "1000"},
        {-2.5, "-2.5"},
        {static_cast<float>(0.1), "0.100000001490116"},
        {static_cast<float>(3456789.25), "3456789.25"},
        {static_cast<float>(-123.456), "-123.456001281738"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.5e-7, "1.5E-7"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {1e20, "1E20"},
        {0.99999999999999999, "1"},
        {9.9999999999999995, "10"},
    };
    for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.value;
}

TEST(FloatToStr, IgnoresTheProcessLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no comma-decimal locale";
    EXPECT_EQ(FloatToStr(-2.5), "-2.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FloatToStr, SingleValuesRoundTripThroughTheText)
{
    for (float v : {0.1f, 1234567.9f, -0.000123f, 3.3333333f, 16777217.0f, 1e-3f}) {
        std::string text = FloatToStr(v);
        EXPECT_EQ(static_cast<float>(StrToFloat(text)), v) << text;
    }
}
