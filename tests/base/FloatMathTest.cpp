#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/FloatMath.h"

TEST(FloatMath, CheckedOperationsRaiseTheNamedErrors)
{
    EXPECT_EQ(CheckedDiv(1, 4), 0.25);
    EXPECT_THROW(CheckedDiv(1, 0), EZeroDivide);
    EXPECT_THROW(CheckedDiv(0, 0), EInvalidOp);
    EXPECT_THROW(CheckedDiv(NAN, 1), EInvalidOp);
    EXPECT_THROW(CheckedDiv(DBL_MAX, 0.5), EOverflow);
    EXPECT_EQ(CheckedDiv(1e-300, 1e300), 0.0);  // underflow passes
    EXPECT_THROW(ToSingle(1e39), EOverflow);
    EXPECT_THROW(ToSingle(NAN), EInvalidOp);
    EXPECT_EQ(ToSingle(1e-50), 0.0f);
    EXPECT_THROW(CheckedLn(0), EZeroDivide);
    EXPECT_THROW(CheckedLog10(-1), EInvalidOp);
    EXPECT_THROW(CheckedSqrt(-1), EInvalidOp);
    EXPECT_THROW(CheckedPow(0, -1), EZeroDivide);
    EXPECT_THROW(CheckedPow(10, 400), EOverflow);
    EXPECT_THROW(Checked(INFINITY), EOverflow);
}

TEST(FloatMath, Messages)
{
    EXPECT_STREQ(EInvalidOp().what(), "Invalid floating point operation");
    EXPECT_STREQ(EZeroDivide().what(), "Floating point division by zero");
    EXPECT_STREQ(EOverflow().what(), "Floating point overflow");
    EXPECT_STREQ(EFOpenError("a.raw").what(), "Cannot open file a.raw");
    EXPECT_STREQ(EFCreateError("b.z").what(), "Cannot create file b.z");
}
