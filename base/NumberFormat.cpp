#include "base/NumberFormat.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/CLocale.h"

DecimalDigits ToDecimal(double value)
{
    DecimalDigits result;
    value = std::fabs(value);
    if (value == 0) return result;
    char buffer[64];
    {
        CLocaleScope scope;
        std::snprintf(buffer, sizeof buffer, "%.17e", value);
    }
    // buffer: d.ddddddddddddddddde[+-]xx
    std::string text(buffer);
    size_t e = text.find('e');
    result.digits = text.substr(0, 1) + text.substr(2, e - 2);
    result.exponent = std::atoi(text.c_str() + e + 1) + 1;
    while (!result.digits.empty() && result.digits.back() == '0') result.digits.pop_back();
    return result;
}

void RoundDigits(DecimalDigits& d, int keep)
{
    if (d.digits.empty()) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    if (keep >= static_cast<int>(d.digits.size())) return;
    bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.exponent += 1;
        } else {
            d.digits[i] += 1;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
}

namespace {

struct Pattern {
    int intPlaces = 0;       // placeholders before the point
    int intZeros = 0;        // digits always written before the point
    int fracPlaces = 0;      // placeholders after the point
    int fracZeros = 0;       // digits always written after the point
    bool thousands = false;  // a ',' before the point: groups of three digits
    bool scientific = false;
    bool expSignAlways = false;
    char expLetter = 'E';
    int expDigits = 0;
};

Pattern ParsePattern(const std::string& pattern)
{
    Pattern p;
    bool afterPoint = false;
    int firstIntZero = -1;
    int lastFracZero = -1;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '0' || c == '#') {
            if (afterPoint) {
                ++p.fracPlaces;
                if (c == '0') lastFracZero = p.fracPlaces;
            } else {
                if (c == '0' && firstIntZero < 0) firstIntZero = p.intPlaces;
                ++p.intPlaces;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            p.thousands = !afterPoint;
        } else if ((c == 'E' || c == 'e') && i + 1 < pattern.size() &&
                   (pattern[i + 1] == '+' || pattern[i + 1] == '-')) {
            p.scientific = true;
            p.expLetter = c;
            p.expSignAlways = pattern[i + 1] == '+';
            for (size_t j = i + 2; j < pattern.size() && pattern[j] == '0'; ++j) ++p.expDigits;
            break;
        }
    }
    p.intZeros = firstIntZero < 0 ? 0 : p.intPlaces - firstIntZero;
    p.fracZeros = lastFracZero < 0 ? 0 : lastFracZero;
    return p;
}

std::string FractionText(const std::string& digits, const Pattern& p)
{
    std::string frac = digits.substr(0, std::min<size_t>(digits.size(), p.fracPlaces));
    frac.resize(p.fracPlaces, '0');
    while (static_cast<int>(frac.size()) > p.fracZeros && frac.back() == '0') frac.pop_back();
    return frac.empty() ? std::string() : "." + frac;
}

}  // namespace

std::string FormatFloat(const std::string& pattern, double value)
{
    Pattern p = ParsePattern(pattern);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    DecimalDigits d = ToDecimal(value);
    std::string text;
    if (!p.scientific) {
        RoundDigits(d, d.exponent + p.fracPlaces);
        std::string intDigits, fracDigits;
        if (!d.digits.empty()) {
            if (d.exponent > 0) {
                intDigits = d.digits.substr(0, std::min<size_t>(d.digits.size(), d.exponent));
                intDigits.resize(d.exponent, '0');
                if (static_cast<int>(d.digits.size()) > d.exponent)
                    fracDigits = d.digits.substr(d.exponent);
            } else {
                fracDigits = std::string(-d.exponent, '0') + d.digits;
            }
        }
        if (static_cast<int>(intDigits.size()) < p.intZeros)
            intDigits.insert(0, p.intZeros - intDigits.size(), '0');
        if (p.thousands)
            for (size_t at = intDigits.size(); at > 3; at -= 3) intDigits.insert(at - 3, ",");
        text = intDigits + FractionText(fracDigits, p);
    } else {
        int significant = p.intPlaces + p.fracPlaces;
        RoundDigits(d, significant);
        int exponent = 0;
        std::string intDigits, fracDigits;
        if (d.digits.empty()) {
            intDigits = std::string(std::max(p.intZeros, 1), '0');
        } else {
            exponent = d.exponent - p.intPlaces;
            std::string all = d.digits;
            all.resize(std::max<size_t>(all.size(), p.intPlaces), '0');
            intDigits = all.substr(0, p.intPlaces);
            fracDigits = all.substr(p.intPlaces);
        }
        text = intDigits + FractionText(fracDigits, p);
        text += p.expLetter;
        if (exponent < 0)
            text += '-';
        else if (p.expSignAlways)
            text += '+';
        std::string expText = std::to_string(std::abs(exponent));
        if (static_cast<int>(expText.size()) < p.expDigits)
            expText.insert(0, p.expDigits - expText.size(), '0');
        text += expText;
    }
    if (value < 0 && !d.digits.empty()) text.insert(0, "-");
    return text;
}

std::string CFormat(const char* format, ...)
{
    CLocaleScope scope;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char buffer[256];
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string result;
    if (n < 0) {
        va_end(copy);
        return result;
    }
    if (static_cast<size_t>(n) < sizeof buffer) {
        result.assign(buffer, n);
    } else {
        std::vector<char> large(n + 1);
        std::vsnprintf(large.data(), large.size(), format, copy);
        result.assign(large.data(), n);
    }
    va_end(copy);
    return result;
}

std::string SeparatedField(const char* format, double value)
{
    std::string field = CFormat(format, value);
    if (field.empty() || field[0] != ' ') field.insert(field.begin(), ' ');
    return field;
}
