#include "base/StringList.h"

#include "base/Exception.h"
#include "base/SafeFile.h"
#include "base/TextStream.h"

void StringList::SetText(const std::string& text)
{
    Lines.clear();
    size_t start = 0, i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            Lines.emplace_back(text, start, i - start);
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n) Lines.emplace_back(text, start, n - start);
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
    SetText(bytes);
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
