#include "base/Convert.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "base/CLocale.h"
#include "base/Exception.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether every digit before the exponent is 0.
bool ZeroDigits(const char* text, const char* end)
{
    for (; text < end && *text != 'e' && *text != 'E'; ++text)
        if (*text >= '1' && *text <= '9') return false;
    return true;
}

// Finds the number between the blanks; returns false when the syntax is not a decimal number.
// zero tells whether every digit before the exponent is 0.
bool ScanFloatSyntax(const char* text, size_t n, size_t& begin, size_t& end, bool& zero)
{
    size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    begin = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    char highest = '0';
    while (i < n && IsDigit(text[i])) {
        highest = std::max(highest, text[i]);
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            highest = std::max(highest, text[i]);
            ++i;
            ++digits;
        }
    }
    zero = highest == '0';
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    end = i;
    while (i < n && text[i] == ' ') ++i;
    return i == n;
}

// from_chars rounds correctly as strtod does, at a fraction of its cost; what it might treat
// otherwise (results out of the normal range) is left to strtod. The number from first to last
// has no blanks; zeroDigits tells whether every digit of it before the exponent is 0, so that a
// zero result is a true zero and not an underflow.
template <class ZeroDigits>
bool TryFromChars(const char* first, const char* last, double& value, ZeroDigits zeroDigits)
{
    double fast = 0;
    auto converted = std::from_chars(*first == '+' ? first + 1 : first, last, fast);
    if (converted.ec != std::errc() || converted.ptr != last) return false;
    if (!std::isnormal(fast) && !(fast == 0 && zeroDigits())) return false;
    value = fast;
    return true;
}

}  // namespace

bool TryStrToFloat(const std::string& text, double& value)
{
    return TryStrToFloat(text.data(), text.data() + text.size(), value);
}

bool TryStrToFloat(const char* text, const char* textEnd, double& value)
{
    // The common case first: the text is the number itself, without blanks, and a normal one.
    // from_chars takes the same syntax once a sign of plus is passed and "inf" and "nan" are kept
    // away by the first character.
    const char* afterSign = text < textEnd && (*text == '+' || *text == '-') ? text + 1 : text;
    // A whole number of up to 15 digits is exact as a double: there is nothing to round.
    if (afterSign < textEnd && textEnd - afterSign <= 15) {
        long long whole = 0;
        const char* digit = afterSign;
        for (; digit < textEnd && IsDigit(*digit); ++digit) whole = whole * 10 + (*digit - '0');
        if (digit == textEnd) {
            value = *text == '-' ? -static_cast<double>(whole) : static_cast<double>(whole);
            return true;
        }
    }
    if (afterSign < textEnd && (IsDigit(*afterSign) || *afterSign == '.') &&
        TryFromChars(text, textEnd, value, [&] { return ZeroDigits(afterSign, textEnd); }))
        return true;
    size_t begin = 0, end = 0;
    bool zero = false;
    if (!ScanFloatSyntax(text, static_cast<size_t>(textEnd - text), begin, end, zero)) return false;
    const char* first = text + begin;
    const char* last = text + end;
    if (TryFromChars(first, last, value, [zero] { return zero; })) return true;
    std::string number(first, last);
    errno = 0;
    char* stop = nullptr;
    double result = strtod_l(number.c_str(), &stop, CLocale());
    if (stop != number.c_str() + number.size()) return false;
    if (std::isinf(result)) return false;  // beyond the range of a double
    value = result;
    return true;
}

double StrToFloat(const std::string& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value)) throw InvalidFloat(text);
    return value;
}

double StrToFloatDef(const std::string& text, double fallback)
{
    double value = 0;
    return TryStrToFloat(text, value) ? value : fallback;
}

bool TryStrToInt(const std::string& text, int& value)
{
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == n) return false;
    long long result = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i])) return false;
        result = result * 10 + (text[i] - '0');
        if (result > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) result = -result;
    if (result < INT_MIN || result > INT_MAX) return false;
    value = static_cast<int>(result);
    return true;
}

int StrToInt(const std::string& text)
{
    int value = 0;
    if (!TryStrToInt(text, value)) throw InvalidInteger(text);
    return value;
}

int StrToIntDef(const std::string& text, int fallback)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}
