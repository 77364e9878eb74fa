#include <cmath>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "survey/Interp1.h"

TEST(Interp1, Table)
{
    const double x2[] = {1, 2}, y2[] = {10, 20};
    const double x3[] = {0.5, 1, 2}, y3[] = {4, 3, 2};
    const double x4[] = {0, 1, 1, 2}, y4[] = {0, 5, 7, 9};
    struct Case {
        const double* x;
        const double* y;
        int n;
        double v, result;
    } cases[] = {
        {x2, y2, 1, 5, 1.0}, {x2, y2, 0, 5, 1.0},    {x2, y2, -3, 5, 1.0}, {x2, y2, 2, 1.5, 15},
        {x2, y2, 2, 0, 0},   {x2, y2, 2, 4, 40},     {x2, y2, 2, 2, 20},   {x2, y2, 2, 1, 10},
        {x3, y3, 3, 1, 3},   {x3, y3, 3, 0.25, 4.5}, {x3, y3, 3, 3, 1},    {x4, y4, 4, 1, 5},
        {x4, y4, 4, 1.5, 8},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Interp1(c.x, c.y, c.n, c.v), c.result) << c.v;
}

TEST(Interp1, ZeroWidthSegmentsAndNaN)
{
    const double x[] = {1, 1, 2}, y[] = {3, 5, 7};
    EXPECT_THROW(Interp1(x, y, 3, 0.5), EZeroDivide);
    EXPECT_THROW(Interp1(x, y, 3, 1), EInvalidOp);
    EXPECT_DOUBLE_EQ(Interp1(x, y, 3, 1.5), 6);
    const double xs[] = {1, 2}, ys[] = {1, 2};
    EXPECT_THROW(Interp1(xs, ys, 2, NAN), EInvalidOp);
    EXPECT_EQ(Interp1(xs, ys, 1, NAN), 1.0);
}
