#pragma once
// An input text stream over a file held in memory, with the reading rules of a text file: a line
// ends at a line feed, a carriage return directly before the line feed does not belong to the
// line, a lone carriage return stays in it, and a Ctrl-Z ends the readable text. A stream made
// from bytes may take other rules for the last two.

#include <cstddef>
#include <string>
#include <string_view>

// A carriage return without a line feed after it: a byte of its line, as a text file reader
// keeps it, or the end of its line, as a string list cuts its text.
enum class LoneCarriageReturn { StaysInLine, EndsLine };
// A Ctrl-Z: the end of the readable text, or a byte like any other.
enum class EndOfFileMark { EndsText, IsText };

class TextStream {
public:
    TextStream() = default;  // not open: every read fails
    explicit TextStream(std::string bytes,
                        LoneCarriageReturn loneCarriageReturn = LoneCarriageReturn::StaysInLine,
                        EndOfFileMark endOfFileMark = EndOfFileMark::EndsText);

    // Opens a file and takes in its readable text; false when it cannot be opened.
    bool Open(const std::string& fileName);
    bool IsOpen() const { return open_; }

    bool AtEnd() const { return !open_ || pos_ >= text_.size(); }
    bool Failed() const { return failed_ || !open_; }
    // End of text or failure: no further line can be read.
    bool Exhausted() const { return AtEnd() || failed_; }

    // One whole line of any length, as a text file reader takes it; false at the end of the text.
    bool ReadLine(std::string& line);

    // A line of at most maxBytes bytes before its line feed, as a line of a fixed buffer is read:
    // a longer line yields its first maxBytes bytes and leaves the stream failed. A line that ends
    // at the end of the text is a line like any other. False (line empty) when the stream is at
    // its end or failed before the call.
    bool GetLine(std::string& line, size_t maxBytes);
    // The same line as a view into the stream's text, valid until the stream opens a file again.
    bool GetLine(std::string_view& line, size_t maxBytes);

    // Back to the start; a failure is cleared.
    void Rewind();

    // Noting a read position and going back to it, so that a line can be read again. Going back
    // clears a failure: the position was noted before the stream failed.
    size_t Position() const { return pos_; }
    void Seek(size_t position);

    const std::string& Text() const { return text_; }

    // The number, from 1, of the line that holds the readable text's byte at position (the last
    // line's past the end), for the messages that name a line.
    size_t LineNumberAt(size_t position) const;
    // The number of the line read last; 1 before any.
    size_t LastLineNumber() const { return LineNumberAt(pos_ == 0 ? 0 : pos_ - 1); }

private:
    std::string text_;
    size_t pos_ = 0;
    bool open_ = false;
    bool failed_ = false;
};

// Reads a whole file as bytes; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& fileName, std::string& bytes);
