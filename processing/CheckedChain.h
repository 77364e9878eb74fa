#pragma once
// Products and quotients evaluated left to right, each step raising the floating-point error
// that a trapping unit would raise (invalid operation, division by zero, overflow).

#include "base/FloatMath.h"

class CheckedChain {
public:
    explicit CheckedChain(double start) : value_(Checked(start)) {}
    CheckedChain operator*(double factor) const { return CheckedChain(value_ * Checked(factor)); }
    CheckedChain operator/(double divisor) const
    {
        return CheckedChain(CheckedDiv(value_, Checked(divisor)));
    }
    double Value() const { return value_; }

private:
    double value_;
};
