#include "survey/TextLines.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "base/Convert.h"
#include "survey/LargeLists.h"

std::string TrimBlanks(const std::string& text)
{
    size_t begin = 0, end = text.size();
    TrimBlankRange(text, begin, end);
    return text.substr(begin, end - begin);
}

namespace {

bool ReadNonBlankViewUpTo(TextStream& stream, std::string_view& line, size_t maxBytes)
{
    std::string_view raw;
    while (stream.GetLine(raw, maxBytes)) {
        if (const void* nul = std::memchr(raw.data(), '\0', raw.size()))
            raw = raw.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - raw.data()));
        size_t begin = 0, end = raw.size();
        TrimBlankRange(raw, begin, end);
        if (begin < end) {
            line = raw.substr(begin, end - begin);
            return true;
        }
    }
    line = std::string_view();
    return false;
}

bool ReadNonBlankLineUpTo(TextStream& stream, std::string& line, size_t maxBytes)
{
    std::string_view view;
    bool read = ReadNonBlankViewUpTo(stream, view, maxBytes);
    line.assign(view.data(), view.size());
    return read;
}

void SplitFieldsUpTo(std::string_view line, std::vector<std::string>& fields, size_t maxFields)
{
    // A line that lies in one of the fields is copied first, as the list is about to be emptied.
    std::less<const char*> before;
    for (const std::string& field : fields) {
        const char* data = field.data();
        if (!before(line.data(), data) && before(line.data(), data + field.capacity() + 1)) {
            std::string copy(line);
            SplitFieldsUpTo(copy, fields, maxFields);
            return;
        }
    }
    fields.clear();
    ForEachField(line, [&](std::string_view field) {
        if (fields.size() >= maxFields) return false;
        fields.emplace_back(field);
        return true;
    });
}

}  // namespace

bool ReadNonBlankLine(TextStream& stream, std::string& line)
{
    return ReadNonBlankLineUpTo(stream, line, kMaxLineBytes);
}

bool ReadNonBlankLine(TextStream& stream, std::string_view& line)
{
    return ReadNonBlankViewUpTo(stream, line, kMaxLineBytes);
}

void SplitFields(std::string_view line, std::vector<std::string>& fields)
{
    SplitFieldsUpTo(line, fields, kMaxFields);
}

void SplitFields(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    ForEachField(line, [&](std::string_view field) {
        if (fields.size() >= kMaxFields) return false;
        fields.push_back(field);
        return true;
    });
}

const std::string& FieldOrEmpty(const std::vector<std::string>& fields, size_t k)
{
    static const std::string empty;
    return k < fields.size() ? fields[k] : empty;
}

std::string_view FieldOrEmpty(const std::vector<std::string_view>& fields, size_t k)
{
    return k < fields.size() ? fields[k] : std::string_view();
}

bool ReadNonBlankWholeLine(TextStream& stream, std::string& line)
{
    return ReadNonBlankLineUpTo(stream, line, std::string::npos);
}

void SplitAllFields(std::string_view line, std::vector<std::string>& fields)
{
    SplitFieldsUpTo(line, fields, std::string::npos);
}

bool ReadNonBlankWholeLine(TextStream& stream, std::string_view& line)
{
    return ReadNonBlankViewUpTo(stream, line, std::string::npos);
}

size_t CountFields(std::string_view line)
{
    size_t count = 0;
    ForEachField(line, [&count](std::string_view) { return ++count, true; });
    return count;
}

namespace {

// Converts the fields of a line until count are converted or one fails; more tells whether the
// line holds a field past the count-th.
bool ConvertFields(std::string_view line, size_t count, std::vector<double>& values,
                   std::string& failed, bool& more)
{
    values.clear();
    // Each field takes a byte and a separator: a line cannot hold more, whatever count claims.
    ReserveLarge(values, std::min(count, line.size() / 2 + 1));
    failed.clear();
    more = false;
    bool numbers = true;
    ForEachField(line, [&](std::string_view field) {
        if (values.size() >= count) {
            more = true;
            return false;
        }
        double value = 0;
        numbers = TryStrToFloat(field.data(), field.data() + field.size(), value);
        if (!numbers) {
            failed = field;
            return false;
        }
        values.push_back(value);
        return true;
    });
    return numbers && values.size() == count;
}

}  // namespace

bool FieldNumbers(std::string_view line, size_t count, std::vector<double>& values,
                  std::string& failed)
{
    bool more = false;
    return ConvertFields(line, count, values, failed, more);
}

bool ExactFieldNumbers(std::string_view line, size_t count, std::vector<double>& values,
                       std::string& failed, size_t& fields)
{
    bool more = false;
    if (ConvertFields(line, count, values, failed, more) && !more) {
        fields = count;
        return true;
    }
    fields = CountFields(line);
    return false;
}
