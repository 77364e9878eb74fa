#pragma once
// Station names that are numbers: the survey's stations are mostly numbered along the line, and
// their order is then that of the numbers, not of the texts ("950.0" before "1000.0").

#include <string_view>

// A plain decimal number: an optional sign, digits and an optional point with more digits
// ("150", "-20", "1000.0", "12.", ".5"); no blanks, no exponent, nothing else.
bool IsPlainDecimalNumber(std::string_view text);

// The value of a plain decimal number (as the text-to-number conversion gives it).
double PlainDecimalValue(std::string_view text);
