#pragma once
// Round tick values for a linear axis whose labels are written in a number pattern, and the
// labels of an axis's ticks and decades.

#include <string>
#include <vector>

// The label of an axis value in a number pattern. Where the pattern writes nothing (zero, and
// values below half its last place, such as 0.01 in "#####"), a short form that shows the value:
// "0" for zero, the decimals of values from 0.01 up ("0.1", "0.25"), the exponent form below
// ("1E-3", "2.5E-4").
std::string TickLabel(const std::string& pattern, double value);

// The label of the decade 10^exponent on a logarithmic axis: from 1 up the pattern's text; below
// 1 the pattern's text where it reads the decade ("1E-1" in "#.#E-0"), else the short form of
// TickLabel ("0.1" where "#,##0." would write "0").
std::string DecadeLabel(const std::string& pattern, int exponent);

// Round tick values over low..high: the multiples inside it of a step of 1, 2 or 5 times a power
// of ten, no more than `intervals` steps over the span. The step grows until every tick's label
// (TickLabel) reads its own value, so no two labels read alike.
std::vector<double> RoundTicks(double low, double high, const std::string& pattern, int intervals);
