#include "survey/StationLabels.h"

#include "base/StationNumber.h"

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
