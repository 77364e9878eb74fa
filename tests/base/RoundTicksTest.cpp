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
            labels.insert(FormatFloat(c.pattern, got[i]));
        }
        EXPECT_EQ(labels.size(), got.size()) << "two labels read alike";
    }
}
