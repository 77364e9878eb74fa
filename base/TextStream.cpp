#include "base/TextStream.h"

#include <cstdio>

namespace {

std::string ToReadableText(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\x1a') break;
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text.push_back(c);
    }
    return text;
}

}  // namespace

bool ReadFileBytes(const std::string& fileName, std::string& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

TextStream::TextStream(const std::string& bytes) : text_(ToReadableText(bytes)), open_(true) {}

bool TextStream::Open(const std::string& fileName)
{
    std::string bytes;
    text_.clear();
    pos_ = 0;
    failed_ = false;
    open_ = ReadFileBytes(fileName, bytes);
    if (open_) text_ = ToReadableText(bytes);
    return open_;
}

bool TextStream::ReadLine(std::string& line)
{
    line.clear();
    if (Exhausted()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) {
        line.assign(text_, pos_, std::string::npos);
        pos_ = text_.size();
    } else {
        line.assign(text_, pos_, end - pos_);
        pos_ = end + 1;
    }
    return true;
}

bool TextStream::GetLine(std::string& line, size_t maxBytes)
{
    line.clear();
    if (Exhausted()) return false;
    size_t limit = text_.size() - pos_ < maxBytes ? text_.size() : pos_ + maxBytes;
    size_t end = text_.find('\n', pos_);
    if (end != std::string::npos && end <= limit) {
        line.assign(text_, pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }
    line.assign(text_, pos_, limit - pos_);
    pos_ = limit;
    if (limit < text_.size()) failed_ = true;  // the buffer filled before the line feed
    return true;
}

void TextStream::Rewind()
{
    pos_ = 0;
    failed_ = false;
}

void TextStream::Seek(size_t position)
{
    pos_ = position < text_.size() ? position : text_.size();
    failed_ = false;
}
