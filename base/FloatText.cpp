#include "base/FloatText.h"

#include <algorithm>
#include <cmath>

#include "base/NumberFormat.h"

namespace {

constexpr int kPrecision = 15;

}  // namespace

std::string FloatToStr(double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";

    // 18 significant digits first, then rounding half away from zero to 15, as the number
    // patterns round (FormatFloat), so that both texts of one value agree.
    DecimalDigits d = ToDecimal(value);
    RoundDigits(d, kPrecision);
    const std::string& digits = d.digits;
    const int exponent = d.exponent;  // value = 0.d1d2... * 10^exponent

    std::string result = value < 0 ? "-" : "";
    if (exponent > kPrecision || exponent < -3) {
        result += digits.substr(0, 1);
        if (digits.size() > 1) result += "." + digits.substr(1);
        result += "E" + std::to_string(exponent - 1);
    } else if (exponent <= 0) {
        result += "0." + std::string(-exponent, '0') + digits;
    } else {
        std::string whole = digits.substr(0, std::min<size_t>(digits.size(), exponent));
        whole.resize(exponent, '0');
        result += whole;
        if (static_cast<int>(digits.size()) > exponent) result += "." + digits.substr(exponent);
    }
    return result;
}
