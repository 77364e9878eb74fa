#include <clocale>
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
                 {"1E-2", 0.01},  {" 42 ", 42.0},        {"0", 0.0}, {"-0.25", -0.25}};
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
