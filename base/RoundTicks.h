#pragma once
// Round tick values for a linear axis whose labels are written in a number pattern.

#include <string>
#include <vector>

// Round tick values over low..high: the multiples inside it of a step of 1, 2 or 5 times a power
// of ten, no more than `intervals` steps over the span. The step grows until every tick written
// in the number pattern reads its own value (zero may read empty), so no two labels read alike.
std::vector<double> RoundTicks(double low, double high, const std::string& pattern, int intervals);
