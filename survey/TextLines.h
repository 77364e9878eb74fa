#pragma once
// The shared line and field routines through which every reader takes its input apart.

#include <string>
#include <string_view>
#include <vector>

#include "base/Exception.h"
#include "base/TextStream.h"

// Longest line, in bytes before its line feed, that ReadNonBlankLine takes.
constexpr size_t kMaxLineBytes = 81919;
// Most fields that SplitFields returns.
constexpr size_t kMaxFields = 1000;

// The bytes that separate fields: LF, CR, space, comma, double quote, tab, colon, equals sign,
// NUL, semicolon. Looked up in a table, as every byte of every line is tested.
struct FieldSeparatorTable {
    bool separates[256];
    constexpr FieldSeparatorTable() : separates()
    {
        for (char c : "\n\r ,\"\t:=;")
            separates[static_cast<unsigned char>(c)] = true;  // the closing NUL too
    }
};
inline constexpr FieldSeparatorTable kFieldSeparators;

inline bool IsFieldSeparator(char c)
{
    return kFieldSeparators.separates[static_cast<unsigned char>(c)];
}

inline bool IsBlankByte(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

inline void TrimBlankRange(std::string_view text, size_t& begin, size_t& end)
{
    while (begin < end && IsBlankByte(text[begin])) ++begin;
    while (end > begin && IsBlankByte(text[end - 1])) --end;
}

// Calls visit with each field of a line, as a view into it, as SplitFields cuts them (without the
// limit on their number) until visit returns false.
template <class Visit>
void ForEachField(std::string_view line, Visit visit)
{
    // Walked by pointer: the lines of one value per receiver run to hundreds of megabytes.
    const char* i = line.data();
    const char* end = i + line.size();
    while (i < end && IsBlankByte(*i)) ++i;
    while (end > i && IsBlankByte(end[-1])) --end;
    while (i < end) {
        while (i < end && IsFieldSeparator(*i)) ++i;
        if (i >= end) break;
        const char* fieldBegin = i;
        while (i < end && !IsFieldSeparator(*i)) ++i;
        const char* fieldEnd = i;
        while (fieldBegin < fieldEnd && IsBlankByte(*fieldBegin)) ++fieldBegin;
        while (fieldEnd > fieldBegin && IsBlankByte(fieldEnd[-1])) --fieldEnd;
        if (!visit(std::string_view(fieldBegin, static_cast<size_t>(fieldEnd - fieldBegin))))
            return;
    }
}

// Removes every byte of value 0 to 32 from both ends.
std::string TrimBlanks(const std::string& text);

// The next line that is not empty after trimming, trimmed; false (line empty) when the stream ends
// or fails first. A line longer than 81919 bytes yields its first 81919 bytes and ends the stream.
bool ReadNonBlankLine(TextStream& stream, std::string& line);
// The same line as a view into the stream's text, valid until the stream opens a file again.
bool ReadNonBlankLine(TextStream& stream, std::string_view& line);

// Fields of a line: separators LF, CR, space, comma, double quote, tab, colon, equals sign, NUL,
// semicolon; a run of them counts as one; each field trimmed; at most 1000 fields.
// The line may be one of the fields themselves.
void SplitFields(std::string_view line, std::vector<std::string>& fields);
// The same fields as views into the line.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields);

// Field k, or an empty text when the line has fewer fields.
const std::string& FieldOrEmpty(const std::vector<std::string>& fields, size_t k);
std::string_view FieldOrEmpty(const std::vector<std::string_view>& fields, size_t k);

// ReadNonBlankLine for lines of any length, for lines whose length grows with the data they hold.
bool ReadNonBlankWholeLine(TextStream& stream, std::string& line);
// The same line as a view into the stream's text, valid until the stream opens a file again.
bool ReadNonBlankWholeLine(TextStream& stream, std::string_view& line);

// The fields SplitFields gives, without the limit on their number, for lines of one value per
// receiver or point.
void SplitAllFields(std::string_view line, std::vector<std::string>& fields);

// The number of fields SplitAllFields gives.
size_t CountFields(std::string_view line);

// Converts the first count fields of a line into values, without a copy of any field. False when
// one of them is no number or the line has fewer: values then holds those before it, and failed
// the text that did not convert (empty for a missing field). Room for the values is taken at
// once, for count of them or as many as the line could hold if fewer.
bool FieldNumbers(std::string_view line, size_t count, std::vector<double>& values,
                  std::string& failed);

// FieldNumbers for a line that must hold exactly count fields, in one pass over a line that does:
// true when it holds count fields and all convert; fields is the number of fields the line holds
// (counted apart only when the answer is false).
bool ExactFieldNumbers(std::string_view line, size_t count, std::vector<double>& values,
                       std::string& failed, size_t& fields);

// Runs a reader's reading of a file's stream and gives back what it gives: a conversion error out
// of it names the file and the line the stream read last, unless it names its place already.
template <class Read>
auto NamingConversionErrorPlace(const TextStream& stream, const std::string& fileName, Read read)
    -> decltype(read())
{
    try {
        return read();
    } catch (const EConvertErrorInFile&) {
        throw;
    } catch (const EConvertError& error) {
        throw EConvertErrorInFile(error, fileName, stream.LastLineNumber());
    }
}
