#include "survey/StationLabels.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsPlainDecimal(const std::string& text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            digit = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

std::string PlainDecimalKey(const std::string& text)
{
    if (!IsPlainDecimal(text)) return std::string();
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

bool LabelNamesStation(const std::string& label, const std::string& name)
{
    if (label == name) return true;
    const std::string key = PlainDecimalKey(label);
    return !key.empty() && key == PlainDecimalKey(name);
}

void StationLabelIndex::Add(const std::string& label, size_t position)
{
    byText_.emplace(label, position);
    std::string key = PlainDecimalKey(label);
    if (!key.empty()) byValue_.emplace(std::move(key), position);
}

size_t StationLabelIndex::Find(const std::string& name) const
{
    auto exact = byText_.find(name);
    if (exact != byText_.end()) return exact->second;
    const std::string key = PlainDecimalKey(name);
    if (key.empty()) return npos;
    auto equal = byValue_.find(key);
    return equal == byValue_.end() ? npos : equal->second;
}
