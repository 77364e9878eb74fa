#include "survey/TextLines.h"

#include <cstring>
#include <functional>

namespace {

inline bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

void TrimRange(std::string_view text, size_t& begin, size_t& end)
{
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
}

}  // namespace

std::string TrimBlanks(const std::string& text)
{
    size_t begin = 0, end = text.size();
    TrimRange(text, begin, end);
    return text.substr(begin, end - begin);
}

namespace {

bool ReadNonBlankLineUpTo(TextStream& stream, std::string& line, size_t maxBytes)
{
    line.clear();
    std::string_view raw;
    while (stream.GetLine(raw, maxBytes)) {
        if (const void* nul = std::memchr(raw.data(), '\0', raw.size()))
            raw = raw.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - raw.data()));
        size_t begin = 0, end = raw.size();
        TrimRange(raw, begin, end);
        if (begin < end) {
            line.assign(raw.data() + begin, end - begin);
            return true;
        }
    }
    return false;
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
    size_t begin = 0, end = line.size();
    TrimRange(line, begin, end);
    size_t i = begin;
    while (i < end && fields.size() < maxFields) {
        while (i < end && IsFieldSeparator(line[i])) ++i;
        if (i >= end) break;
        size_t start = i;
        while (i < end && !IsFieldSeparator(line[i])) ++i;
        size_t fieldBegin = start, fieldEnd = i;
        TrimRange(line, fieldBegin, fieldEnd);
        const char* field = line.data() + fieldBegin;
        fields.emplace_back(field, fieldEnd - fieldBegin);
    }
}

}  // namespace

bool ReadNonBlankLine(TextStream& stream, std::string& line)
{
    return ReadNonBlankLineUpTo(stream, line, kMaxLineBytes);
}

void SplitFields(std::string_view line, std::vector<std::string>& fields)
{
    SplitFieldsUpTo(line, fields, kMaxFields);
}

const std::string& FieldOrEmpty(const std::vector<std::string>& fields, size_t k)
{
    static const std::string empty;
    return k < fields.size() ? fields[k] : empty;
}

bool ReadNonBlankWholeLine(TextStream& stream, std::string& line)
{
    return ReadNonBlankLineUpTo(stream, line, std::string::npos);
}

void SplitAllFields(std::string_view line, std::vector<std::string>& fields)
{
    SplitFieldsUpTo(line, fields, std::string::npos);
}
