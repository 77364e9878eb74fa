#pragma once
// A number in general format with 15 significant digits, for a value shown without a pattern of
// its own (the station editor's coordinates); independent of the process locale.

#include <string>

// Fixed notation without trailing zeros while the value has at most 15 digits before the point
// and is not below 0.0001 in magnitude ("1000", "0.100000001490116", "-2.5", "0"); scientific
// notation otherwise ("1E20", "1.5E-5").
std::string FloatToStr(double value);
