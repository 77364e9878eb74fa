#include "base/StringList.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exception.h"
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
    WriteFileReplacing(fileName, Text());
}

PreparedFile PrepareFileReplacing(const std::string& fileName, const std::string& bytes)
{
    // A file that exists but is read-only (no write bit, or not writable for this user) is refused,
    // as creating it anew would be; root's permission to write anyway is not used.
    struct stat existing;
    if (stat(fileName.c_str(), &existing) == 0 &&
        ((existing.st_mode & 0222) == 0 || access(fileName.c_str(), W_OK) != 0 ||
         S_ISDIR(existing.st_mode)))
        throw EFCreateError(fileName);
    std::string tempName = fileName + ".XXXXXX";
    int fd = mkstemp(tempName.data());
    if (fd < 0) throw EFCreateError(fileName);
    struct stat info;
    if (stat(fileName.c_str(), &info) == 0)
        fchmod(fd, info.st_mode & 07777);
    else {
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    bool ok = written == bytes.size();
    if (close(fd) != 0) ok = false;
    if (!ok) {
        std::remove(tempName.c_str());
        throw EFCreateError(fileName);
    }
    return {fileName, tempName};
}

void CommitFileReplacing(const PreparedFile& file)
{
    if (std::rename(file.TempName.c_str(), file.FileName.c_str()) != 0) {
        std::remove(file.TempName.c_str());
        throw EFCreateError(file.FileName);
    }
}

void DiscardFileReplacing(const PreparedFile& file)
{
    std::remove(file.TempName.c_str());
}

void WriteFileReplacing(const std::string& fileName, const std::string& bytes)
{
    CommitFileReplacing(PrepareFileReplacing(fileName, bytes));
}
