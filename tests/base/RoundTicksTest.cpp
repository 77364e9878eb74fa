#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "base/NumberFormat.h"
#include "base/RoundTicks.h"

TEST(RoundTicks, ReadTheirValues)
{
    struct Case {
        const char* name;
        double low, high;
        const char* pattern;
        int intervals;
        std::vector<double> ticks;
    } cases[] = {
        {"phase", -0.0478, 0.0266, "0.E+00", 6, {-0.04, -0.02, 0, 0.02}},
        {"Hy phase", -0.85, -0.28, "0.E+00", 6, {-0.8, -0.7, -0.6, -0.5, -0.4, -0.3}},
        {"map x", -300, 6300, "######", 6, {0, 2000, 4000, 6000}},
        // Halves would read "6000" and "6001" twice.
        {"whole metres", 5999.3, 6001.2, "0", 6, {6000, 6001}},
        {"two places", 0, 2, "0.00", 2, {0, 1, 2}},
        {"tenths", 0.93, 1.31, "0.00", 6, {1.0, 1.1, 1.2, 1.3}},
        // Grouped thousands read back without their commas.
        {"grouped", 0, 2500000, "#,##0.", 6, {0, 500000, 1000000, 1500000, 2000000, 2500000}},
        // Halves would write 1.5 as "2E+00", next to the 2.
        {"one digit", 0, 3, "0.E+00", 6, {0, 1, 2, 3}},
        // One significant digit cannot write 0.013 .. 0.018: no label rather than a wrong one.
        {"nothing readable", 0.0123, 0.0189, "0.E+00", 6, {}},
        // Below the pattern's last place the ticks read in their short form.
        {"tenths of a metre", 0, 0.3, "######", 6, {0, 0.05, 0.1, 0.15, 0.2, 0.25, 0.3}},
        // 0.5 would read "1", the next whole metre: whole metres only, here just the zero.
        {"under a metre", 0, 0.8, "######", 6, {0}},
        {"no span", 5, 5, "0", 6, {}},
        {"reversed", 6, 5, "0", 6, {}},
        {"no intervals", 0, 10, "0", 0, {}},
        {"infinite span", -HUGE_VAL, HUGE_VAL, "0", 6, {}},
        {"not a number", NAN, 1, "0", 6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> got = RoundTicks(c.low, c.high, c.pattern, c.intervals);
        ASSERT_EQ(got.size(), c.ticks.size());
        std::set<std::string> labels;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i], c.ticks[i], 1e-12);
            EXPECT_FALSE(std::signbit(got[i]) && got[i] == 0) << "negative zero at " << i;
            labels.insert(TickLabel(c.pattern, got[i]));
        }
        EXPECT_EQ(labels.size(), got.size()) << "two labels read alike";
    }
}

// What the pattern writes stands; what it writes as nothing reads in the short form.
TEST(RoundTicks, TickLabels)
{
    struct Case {
        const char* pattern;
        double value;
        const char* label;
    } cases[] = {
        {"######", 0, "0"},        {"######", -0.0, "0"},    {"#####", 2000, "2000"},
        {"#####", -500, "-500"},   {"#####", 0.5, "1"},      {"#####", 0.4, "0.4"},
        {"#####", -0.2, "-0.2"},   {"#####", 0.05, "0.05"},  {"#####", 0.01, "0.01"},
        {"#####", 0.015, "0.015"}, {"#####", 0.005, "5E-3"}, {"#####", 0.0025, "2.5E-3"},
        {"#####", 1e-7, "1E-7"},   {"0.E+00", 0, "0E+00"},   {"0.00", 0.004, "0.00"},
        {"#,##0.", 0.1, "0"},      {"#.#E-0", 0, "0E0"},     {"0", 0, "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TickLabel(c.pattern, c.value), c.label) << c.pattern << " " << c.value;
}

// Every decade reads its value: from 1 up in the pattern, below 1 in the pattern where it can,
// else in the short form.
TEST(RoundTicks, DecadeLabels)
{
    struct Case {
        const char* pattern;
        int exponent;
        const char* label;
    } cases[] = {
        {"######", 0, "1"},     {"######", 5, "100000"}, {"######", 7, "10000000"},
        {"#####", -1, "0.1"},   {"#####", -2, "0.01"},   {"#####", -3, "1E-3"},
        {"#####", -6, "1E-6"},  {"#,##0.", -1, "0.1"},   {"#,##0.", 4, "10,000"},
        {"#.#E-0", -1, "1E-1"}, {"#.#E-0", -3, "1E-3"},  {"#.#E-0", 2, "1E2"},
        {"0.00", -1, "0.10"},   {"0.00", -3, "1E-3"},    {"0", -12, "1E-12"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecadeLabel(c.pattern, c.exponent), c.label) << c.pattern << " " << c.exponent;
}
