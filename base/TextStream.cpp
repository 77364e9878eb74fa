#include "base/TextStream.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr size_t kReadChunk = 65536;

// Turns a file's bytes into its readable text in place, moving whole runs between the carriage
// returns rather than byte by byte.
void MakeReadable(std::string& text,
                  LoneCarriageReturn loneCarriageReturn = LoneCarriageReturn::StaysInLine,
                  EndOfFileMark endOfFileMark = EndOfFileMark::EndsText)
{
    if (endOfFileMark == EndOfFileMark::EndsText) {
        if (const void* eof = std::memchr(text.data(), '\x1a', text.size()))
            text.resize(static_cast<size_t>(static_cast<const char*>(eof) - text.data()));
    }
    const char lone = loneCarriageReturn == LoneCarriageReturn::EndsLine ? '\n' : '\r';
    char* data = &text[0];
    const size_t n = text.size();
    size_t in = 0, out = 0;
    for (;;) {
        const void* cr = std::memchr(data + in, '\r', n - in);
        size_t stop = cr ? static_cast<size_t>(static_cast<const char*>(cr) - data) : n;
        if (out != in) std::memmove(data + out, data + in, stop - in);
        out += stop - in;
        in = stop;
        if (!cr) break;
        if (in + 1 < n && data[in + 1] == '\n') {
            ++in;  // the line feed follows on the next run
        } else {
            data[out++] = lone;
            ++in;
        }
    }
    text.resize(out);
}

}  // namespace

bool ReadFileBytes(const std::string& fileName, std::string& bytes)
{
    bytes.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"),
                                                         std::fclose);
    if (!file) return false;
    // Read straight into the result, sized by the file's length; one byte more finds the end at
    // once, and a file that grows while it is read gets room as it goes.
    struct stat status;
    size_t size = 0;
    if (fstat(fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        size = static_cast<size_t>(status.st_size);
    bytes.resize(size + 1);
    size_t used = 0;
    for (;;) {
        used += std::fread(&bytes[used], 1, bytes.size() - used, file.get());
        if (used < bytes.size()) break;  // the end of the file, or a failure
        bytes.resize(bytes.size() + std::max(bytes.size() / 2, kReadChunk));
    }
    bytes.resize(used);
    return !std::ferror(file.get());
}

TextStream::TextStream(std::string bytes, LoneCarriageReturn loneCarriageReturn,
                       EndOfFileMark endOfFileMark)
    : text_(std::move(bytes)), open_(true)
{
    MakeReadable(text_, loneCarriageReturn, endOfFileMark);
}

bool TextStream::Open(const std::string& fileName)
{
    pos_ = 0;
    failed_ = false;
    open_ = ReadFileBytes(fileName, text_);
    if (open_)
        MakeReadable(text_);
    else
        text_.clear();
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
    std::string_view view;
    bool read = GetLine(view, maxBytes);
    line.assign(view.data(), view.size());
    return read;
}

bool TextStream::GetLine(std::string_view& line, size_t maxBytes)
{
    line = std::string_view();
    if (Exhausted()) return false;
    size_t limit = text_.size() - pos_ < maxBytes ? text_.size() : pos_ + maxBytes;
    const char* start = text_.data() + pos_;
    // A line feed at the limit still ends the line within the buffer.
    size_t window = (limit < text_.size() ? limit + 1 : limit) - pos_;
    if (const void* feed = std::memchr(start, '\n', window)) {
        size_t length = static_cast<size_t>(static_cast<const char*>(feed) - start);
        line = std::string_view(start, length);
        pos_ += length + 1;
        return true;
    }
    line = std::string_view(start, limit - pos_);
    pos_ = limit;
    if (limit < text_.size()) failed_ = true;  // the buffer filled before the line feed
    return true;
}

void TextStream::Rewind()
{
    pos_ = 0;
    failed_ = false;
}

size_t TextStream::LineNumberAt(size_t position) const
{
    // Every line end is a line feed in the readable text.
    const size_t end = std::min(position, text_.size());
    return static_cast<size_t>(std::count(text_.begin(), text_.begin() + end, '\n')) + 1;
}

void TextStream::Seek(size_t position)
{
    pos_ = position < text_.size() ? position : text_.size();
    failed_ = false;
}
