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

std::string PlainDecimalKey(std::string_view text)
{
    if (!IsPlainDecimalNumber(text)) return std::string();
    size_t begin = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-') begin = 1;
    size_t point = text.find('.', begin);
    if (point == std::string::npos) point = text.size();
    size_t wholeBegin = begin;
    while (wholeBegin < point && text[wholeBegin] == '0') ++wholeBegin;
    size_t fractionEnd = text.size();
    while (fractionEnd > point + 1 && text[fractionEnd - 1] == '0') --fractionEnd;
    const bool fraction = fractionEnd > point + 1;
    std::string key;
    if (negative && (wholeBegin < point || fraction)) key += '-';
    if (wholeBegin < point)
        key.append(text, wholeBegin, point - wholeBegin);
    else
        key += '0';
    if (fraction) key.append(text, point, fractionEnd - point);
    return key;
}
