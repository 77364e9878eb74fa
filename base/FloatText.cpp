#include "base/FloatText.h"

#include <cmath>
#include <cstdlib>

#include "base/NumberFormat.h"

namespace {

constexpr int kPrecision = 15;

}  // namespace

std::string FloatToStr(double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";

    // 18 significant digits first, then rounding half away from zero to 15, as the library does.
    std::string text = CFormat("%.17e", std::fabs(value));
    size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    int exponent = std::atoi(text.c_str() + e + 1) + 1;  // value = 0.d1d2... * 10^exponent
    bool up = digits[kPrecision] >= '5';
    digits.resize(kPrecision);
    if (up) {
        int i = kPrecision - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        } else {
            ++digits[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

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
