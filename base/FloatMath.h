#pragma once
// Checked floating point: an invalid operation, a division by zero or an overflow throws the
// program's floating-point error (EInvalidOp, EZeroDivide, EOverflow), so that a command ends
// with its message instead of writing NaN or infinity into a file. Underflow and inexact results
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
