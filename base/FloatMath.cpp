#include "base/FloatMath.h"

#include <cfloat>
#include <cmath>

#include "base/Exception.h"

double Checked(double value)
{
    if (std::isnan(value)) throw EInvalidOp();
    if (std::isinf(value)) throw EOverflow();
    return value;
}

double CheckedDiv(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) throw EInvalidOp();
    if (b == 0) {
        if (a == 0) throw EInvalidOp();
        throw EZeroDivide();
    }
    if (std::isinf(a) || std::isinf(b)) {
        if (std::isinf(a) && std::isinf(b)) throw EInvalidOp();
        return a / b;
    }
    double q = a / b;
    if (std::isinf(q)) throw EOverflow();
    return q;
}

float ToSingle(double value)
{
    if (std::isnan(value)) throw EInvalidOp();
    float result = static_cast<float>(value);
    if (std::isinf(result) && !std::isinf(value)) throw EOverflow();
    return result;
}

double CheckedLn(double value)
{
    if (std::isnan(value) || value < 0) throw EInvalidOp();
    if (value == 0) throw EZeroDivide();
    return std::log(value);
}

double CheckedLog10(double value)
{
    if (std::isnan(value) || value < 0) throw EInvalidOp();
    if (value == 0) throw EZeroDivide();
    return std::log10(value);
}

double CheckedSqrt(double value)
{
    if (std::isnan(value) || value < 0) throw EInvalidOp();
    return std::sqrt(value);
}

double CheckedPow(double base, double exponent)
{
    if (base == 0 && exponent < 0) throw EZeroDivide();
    double result = std::pow(base, exponent);
    if (std::isnan(result)) throw EInvalidOp();
    if (std::isinf(result) && !std::isinf(base)) throw EOverflow();
    return result;
}
