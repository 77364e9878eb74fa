#include "base/RoundTicks.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/NumberFormat.h"

namespace {

// Values from here up are written with their decimals in the short form, smaller ones with an
// exponent: "0.01" but "1E-3".
constexpr double kShortDecimalsFrom = 0.01;

// The label of a tick reads its value when the text converts back to it within a part of
// `tolerance`.
bool ReadsItsValue(const std::string& label, double tick, double tolerance)
{
    std::string digits = label;
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    double value = 0;
    return TryStrToFloat(digits, value) && std::fabs(value - tick) <= tolerance * 1e-6;
}

// Zero, and at most 15 significant digits of any other value, so that a tick computed as
// k times its step reads as the decimal it stands for.
std::string ShortForm(double value)
{
    if (value == 0) return "0";
    return FormatFloat(std::fabs(value) >= kShortDecimalsFrom * (1 - 1e-12) ? "0.##############"
                                                                            : "0.##############E-0",
                       value);
}

// k times factor times 10^exponent, exact for the decimal ticks a pattern writes.
double TickValue(double k, int factor, int exponent)
{
    const double decade = std::pow(10.0, std::abs(exponent));
    return exponent >= 0 ? k * factor * decade : k * factor / decade;
}

}  // namespace

std::string TickLabel(const std::string& pattern, double value)
{
    std::string label = FormatFloat(pattern, value);
    return label.empty() ? ShortForm(value) : label;
}

std::string DecadeLabel(const std::string& pattern, int exponent)
{
    const double decade = TickValue(1, 1, exponent);
    const std::string label = FormatFloat(pattern, decade);
    if (exponent >= 0 || (!label.empty() && ReadsItsValue(label, decade, decade))) return label;
    return ShortForm(decade);
}

std::vector<double> RoundTicks(double low, double high, const std::string& pattern, int intervals)
{
    std::vector<double> ticks;
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span) || intervals < 1) return ticks;
    int exponent = static_cast<int>(std::floor(std::log10(span / intervals)));
    for (int attempt = 0; attempt < 60; ++attempt, ++exponent) {
        for (int factor : {1, 2, 5}) {
            const double step = TickValue(1, factor, exponent);
            if (span / step > intervals * (1 + 1e-9)) continue;
            const double first = std::ceil(low / step - 1e-9),
                         last = std::floor(high / step + 1e-9);
            ticks.clear();
            bool readable = true;
            for (double k = first; k <= last && readable; ++k) {
                const double tick = TickValue(k, factor, exponent) + 0.0;  // no negative zero
                readable = ReadsItsValue(TickLabel(pattern, tick), tick, step);
                ticks.push_back(tick);
            }
            if (readable) return ticks;  // at worst none, once the step outgrows the span
        }
    }
    ticks.clear();
    return ticks;
}
