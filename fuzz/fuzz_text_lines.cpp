// ReadNonBlankLine and SplitFields over any text: every line comes back trimmed and within the
// line limit, every field trimmed, free of separators and within the field limit.

#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "survey/TextLines.h"

namespace {

// The field separators written out again rather than taken from IsFieldSeparator: the check must
// not share a fault with the code it checks.
bool IsSeparator(char c)
{
    return c == '\n' || c == '\r' || c == ' ' || c == ',' || c == '"' || c == '\t' || c == ':' ||
           c == '=' || c == '\0' || c == ';';
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

void Fail(int line)
{
    std::fprintf(stderr, "text_lines: check at line %d failed\n", line);
    std::abort();
}

#define Check(condition) ((condition) ? (void)0 : Fail(__LINE__))

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TextStream stream;
    Check(stream.Open(fuzz::InputFile("lines.txt", data, size)));
    std::string line;
    std::vector<std::string> fields;
    size_t lines = 0;
    while (ReadNonBlankLine(stream, line)) {
        Check(++lines <= size);
        Check(!line.empty() && line.size() <= kMaxLineBytes);
        Check(!IsBlank(line.front()) && !IsBlank(line.back()));
        SplitFields(line, fields);
        Check(fields.size() <= kMaxFields);
        for (const std::string& field : fields) {
            // A field of control bytes only is trimmed to nothing.
            Check(field.empty() || (!IsBlank(field.front()) && !IsBlank(field.back())));
            for (char c : field) Check(!IsSeparator(c));
        }
        Check(FieldOrEmpty(fields, fields.size()).empty());
    }
    Check(line.empty());
    return 0;
}
