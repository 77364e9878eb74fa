#include "base/RoundTicks.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/NumberFormat.h"

namespace {

// The label of a tick reads its value when the text converts back to it; only zero may vanish.
bool ReadsItsValue(const std::string& label, double tick, double step)
{
    if (label.empty()) return tick == 0;
    std::string digits = label;
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    double value = 0;
    return TryStrToFloat(digits, value) && std::fabs(value - tick) <= step * 1e-6;
}

// k times factor times 10^exponent, exact for the decimal ticks a pattern writes.
double TickValue(double k, int factor, int exponent)
{
    const double decade = std::pow(10.0, std::abs(exponent));
    return exponent >= 0 ? k * factor * decade : k * factor / decade;
}

}  // namespace

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
                readable = ReadsItsValue(FormatFloat(pattern, tick), tick, step);
                ticks.push_back(tick);
            }
            if (readable) return ticks;  // at worst none, once the step outgrows the span
        }
    }
    ticks.clear();
    return ticks;
}
