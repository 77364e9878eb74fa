#include <clocale>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/NumberFormat.h"

TEST(Convert, FloatAcceptsWholeDecimalNumbers)
{
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"120.", 120.0}, {"-1.5e+3", -1500.0}, {".5", 0.5}, {"+7", 7.0},
                 {"1E-2", 0.01},  {" 42 ", 42.0},       {"0", 0.0},  {"-0.25", -0.25}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
    }
}

TEST(Convert, FloatRejectsWhatIsNotANumber)
{
    for (const char* text : {"", " ", "inf", "nan", "INF", "0x10", "1.5abc", "1e", "e5", ".", "-",
                             "1,5", "1.2.3", "1e400"}) {
        double v = 99;
        EXPECT_FALSE(TryStrToFloat(text, v)) << text;
        EXPECT_EQ(v, 99);
        try {
            StrToFloat(text);
            ADD_FAILURE() << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + text + "' is not a valid floating point value");
        }
    }
    EXPECT_EQ(StrToFloatDef("abc", 100.0), 100.0);
    EXPECT_EQ(StrToFloatDef("2.5", 100.0), 2.5);
}

// Every number converts to the double that the C library's strtod gives, the nearest one, also
// where rounding is hard, below the normal range and at its top.
TEST(Convert, FloatRoundsAsStrtod)
{
    for (const char* text : {"0.1",
                             "9007199254740993",
                             "2.2250738585072011e-308",
                             "2.2250738585072014e-308",
                             "4.9e-324",
                             "2.4703282292062328e-324",
                             "2.4703282292062327e-324",
                             "1e-320",
                             "-1e-310",
                             "1.7976931348623157e308",
                             "0.000",
                             "-0",
                             "+0e5",
                             "-0.0",
                             "0e-400",
                             "1e-400",
                             "-1e-400",
                             "123456789012345678901234567890123456789e-20",
                             "0.1000000000000000055511151231257827021181583404541015625",
                             "+.5e-3",
                             "7.",
                             "1.00000000000000011102230246251565404236316680908203125",
                             "1.00000000000000011102230246251565404236316680908203126",
                             "7",
                             "+0",
                             "-42",
                             "000000000000001",
                             "999999999999999",
                             "9999999999999999",
                             "-18014398509481985"}) {
        double value = 99;
        ASSERT_TRUE(TryStrToFloat(text, value)) << text;
        double expected = std::strtod(text, nullptr);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
            << text << ": " << value << " vs " << expected;
        std::string padded = std::string(" ") + text + "  ";
        ASSERT_TRUE(TryStrToFloat(padded, value)) << padded;
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << padded;
    }
    const std::string range = "12.5e1xyz";
    double value = 0;
    EXPECT_TRUE(TryStrToFloat(range.data(), range.data() + 6, value));
    EXPECT_EQ(value, 125.0);
    EXPECT_FALSE(TryStrToFloat(range.data(), range.data() + 7, value));
}

TEST(Convert, IntegerRules)
{
    EXPECT_EQ(StrToInt("-12"), -12);
    EXPECT_EQ(StrToInt("+2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (const char* text : {"", "1.0", "2147483648", "$10", "0x10", "12a", "+", "1e3"}) {
        int v = 5;
        EXPECT_FALSE(TryStrToInt(text, v)) << text;
        EXPECT_EQ(StrToIntDef(text, 2), 2) << text;
    }
    try {
        StrToInt("x1");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
}

// A comma-decimal process locale must change neither parsing nor output.
TEST(Convert, IndependentOfProcessLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE locale";
    double v = 0;
    bool ok = TryStrToFloat("1.5", v);
    bool commaOk = TryStrToFloat("1,5", v);
    std::string c = CFormat("%12.6e|%10.1f", 1234.5, 2.25);
    std::string pattern = FormatFloat("#######.0", 12.25);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(ok);
    EXPECT_FALSE(commaOk);
    EXPECT_EQ(c, "1.234500e+03|       2.2");
    EXPECT_EQ(pattern, "12.3");
}
