#include "base/Convert.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

#include "base/Exception.h"

namespace {

locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Finds the number between the blanks; returns false when the syntax is not a decimal number.
bool ScanFloatSyntax(const std::string& text, size_t& begin, size_t& end)
{
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    begin = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) { ++i; ++digits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) { ++i; ++expDigits; }
        if (expDigits == 0) return false;
    }
    end = i;
    while (i < n && text[i] == ' ') ++i;
    return i == n;
}

}  // namespace

bool TryStrToFloat(const std::string& text, double& value)
{
    size_t begin = 0, end = 0;
    if (!ScanFloatSyntax(text, begin, end)) return false;
    std::string number = text.substr(begin, end - begin);
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
