#pragma once
// Number output independent of the process locale: the program's number patterns and the C
// library's format strings.

#include <cstddef>
#include <string>

// Number patterns: "0" a digit always written, "#" a digit written only when significant, "." the
// decimal point, "," before the point a comma between groups of three digits, "E+0"/"E-0" (any
// count of zeros) an exponent with at least that many digits, its sign always ("E+") or only when
// negative ("E-"). Values round half away from zero at the pattern's last place. Examples: "#.0" 0
// -> ".0", 7.26 -> "7.3"; "#.###E-0" 1024 -> "1.024E3";
// "#,##0." 1234567 -> "1,234,567".
std::string FormatFloat(const std::string& pattern, double value);

// printf-style formatting ("%12.6e", "%10.1f", "%12d") with the "C" locale's decimal point.
std::string CFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A value in the field of a one-number format ("%13.3f"), with a blank before it when it fills
// the field, so that no two numbers of a line ever touch; a value that fits keeps its bytes.
std::string SeparatedField(const char* format, double value);

// A value's magnitude as decimal digits: value = 0.d1 d2 d3 ... * 10^exponent, without trailing
// zeros. Empty digits mean zero.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

// 18 significant digits, which the number output of base/ takes before it rounds them.
DecimalDigits ToDecimal(double value);
// Keeps `keep` leading digits, rounding half away from zero on the next one.
void RoundDigits(DecimalDigits& d, int keep);
