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
