#pragma once
// Checked floating point: the operations that would raise a hardware floating-point exception in
// the original arithmetic throw the class library's error instead. Underflow and inexact results
// pass silently.

// NaN -> EInvalidOp, infinity -> EOverflow; otherwise the value itself.
double Checked(double value);

// a / b: 0/0 and NaN -> EInvalidOp; x/0 -> EZeroDivide; a finite quotient too large -> EOverflow.
double CheckedDiv(double a, double b);

// Rounds to single precision: NaN -> EInvalidOp, beyond the single range -> EOverflow.
float ToSingle(double value);

// ln, log10: 0 -> EZeroDivide, negative or NaN -> EInvalidOp.
double CheckedLn(double value);
double CheckedLog10(double value);

// sqrt: negative or NaN -> EInvalidOp.
double CheckedSqrt(double value);

// pow(base, exponent): NaN result -> EInvalidOp, 0 to a negative power -> EZeroDivide,
// infinite result -> EOverflow.
double CheckedPow(double base, double exponent);
