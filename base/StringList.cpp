#include "base/StringList.h"

#include <algorithm>
#include <utility>

#include "base/Exception.h"
#include "base/SafeFile.h"
#include "base/TextStream.h"

void StringList::SetText(std::string text)
{
    Lines.clear();
    TextStream stream(std::move(text), LoneCarriageReturn::EndsLine, EndOfFileMark::IsText);
    // Room for every line at once: a list grown line by line takes its memory several times.
    const std::string& lines = stream.Text();
    Lines.reserve(static_cast<size_t>(std::count(lines.begin(), lines.end(), '\n')) + 1);
    std::string_view line;
    while (stream.GetLine(line, std::string::npos)) Lines.emplace_back(line);
}

void StringList::WriteLines(std::string_view text, TextSink& sink)
{
    const size_t n = text.size();
    size_t run = 0;  // the start of the bytes not yet written
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') {
            ++i;  // a CR LF stays as it is
            continue;
        }
        sink += text.substr(run, i - run);
        sink += "\r\n";
        run = i + 1;
    }
    sink += text.substr(run);
    if (n > 0 && text[n - 1] != '\r' && text[n - 1] != '\n') sink += "\r\n";
}

std::string StringList::Text() const
{
    std::string text;
    size_t size = 0;
    for (const std::string& line : Lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::string& line : Lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void StringList::LoadFromFile(const std::string& fileName)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) throw EFOpenError(fileName);
    SetText(std::move(bytes));
}

void StringList::SaveToFile(const std::string& fileName) const
{
    SafeFile file(fileName);
    for (const std::string& line : Lines) {
        file += line;
        file += "\r\n";
    }
    file.Commit();
}
