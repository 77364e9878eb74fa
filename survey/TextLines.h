#pragma once
// The shared line and field routines through which every reader takes its input apart.

#include <string>
#include <string_view>
#include <vector>

#include "base/TextStream.h"

// Longest line, in bytes before its line feed, that ReadNonBlankLine takes.
constexpr size_t kMaxLineBytes = 81919;
// Most fields that SplitFields returns.
constexpr size_t kMaxFields = 1000;

// The bytes that separate fields: LF, CR, space, comma, double quote, tab, colon, equals sign,
// NUL, semicolon.
inline bool IsFieldSeparator(char c)
{
    switch (c) {
    case '\n':
    case '\r':
    case ' ':
    case ',':
    case '"':
    case '\t':
    case ':':
    case '=':
    case '\0':
    case ';':
        return true;
    default:
        return false;
    }
}

// Removes every byte of value 0 to 32 from both ends.
std::string TrimBlanks(const std::string& text);

// The next line that is not empty after trimming, trimmed; false (line empty) when the stream ends
// or fails first. A line longer than 81919 bytes yields its first 81919 bytes and ends the stream.
bool ReadNonBlankLine(TextStream& stream, std::string& line);

// Fields of a line: separators LF, CR, space, comma, double quote, tab, colon, equals sign, NUL,
// semicolon; a run of them counts as one; each field trimmed; at most 1000 fields.
// The line may be one of the fields themselves.
void SplitFields(std::string_view line, std::vector<std::string>& fields);

// Field k, or an empty text when the line has fewer fields.
const std::string& FieldOrEmpty(const std::vector<std::string>& fields, size_t k);

// ReadNonBlankLine for lines of any length, for lines whose length grows with the data they hold.
bool ReadNonBlankWholeLine(TextStream& stream, std::string& line);

// The fields SplitFields gives, without the limit on their number, for lines of one value per
// receiver or point.
void SplitAllFields(std::string_view line, std::vector<std::string>& fields);
