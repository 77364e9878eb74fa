#pragma once
// Station names that are numbers: the survey's stations are mostly numbered along the line, and
// their order is then that of the numbers, not of the texts ("950.0" before "1000.0").

#include <string>
#include <string_view>

// A plain decimal number: an optional sign, digits and an optional point with more digits
// ("150", "-20", "1000.0", "12.", ".5"); no blanks, no exponent, nothing else.
bool IsPlainDecimalNumber(std::string_view text);

// The value of a plain decimal number (as the text-to-number conversion gives it).
double PlainDecimalValue(std::string_view text);

// The value of a plain decimal number written the one way: no sign on zero, no leading zeros, no
// trailing zeros after the point and no point without a digit after it ("150.0", "0150" and
// "+150." give "150", "-.50" gives "-0.5", "-0.0" gives "0"). Two plain decimal numbers are of
// equal value exactly when their keys are equal, however many digits they have. Empty for a text
// that is not a plain decimal number.
std::string PlainDecimalKey(std::string_view text);
