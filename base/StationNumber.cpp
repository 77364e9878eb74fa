#include "base/StationNumber.h"

#include <limits>

#include "base/Convert.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsPlainDecimalNumber(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

double PlainDecimalValue(std::string_view text)
{
    double value = 0;
    if (TryStrToFloat(text.data(), text.data() + text.size(), value)) return value;
    // Digits beyond the range of a double: far out on their side.
    const double far = std::numeric_limits<double>::infinity();
    return !text.empty() && text[0] == '-' ? -far : far;
}
