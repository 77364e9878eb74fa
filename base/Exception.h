#pragma once
// The program's errors. Every error that ends a command is one of these; the application's
// exception box shows what(), the text the user reads.

#include <cstddef>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// Text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A conversion error that names the file and the line of the text that did not convert:
// "<conversion error's text> (file NAME, line N)".
class EConvertErrorInFile : public EConvertError {
public:
    EConvertErrorInFile(const EConvertError& error, const std::string& fileName, size_t line);
};

// A file a reader refuses as a whole, with a text of its own.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// " (file NAME, line N)": where in a file a reader's error arose.
std::string FileLinePlace(const std::string& fileName, size_t line);

// Files loaded or saved whole.
class EFOpenError : public Exception {
public:
    explicit EFOpenError(const std::string& fileName);
};

class EFCreateError : public Exception {
public:
    explicit EFCreateError(const std::string& fileName);
};

// A file whose load ran out of memory.
class EOutOfMemory : public Exception {
public:
    explicit EOutOfMemory(const std::string& fileName);
};

// Floating-point errors of the checked arithmetic.
class EMathError : public Exception {
public:
    using Exception::Exception;
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp();
};

class EZeroDivide : public EMathError {
public:
    EZeroDivide();
};

class EOverflow : public EMathError {
public:
    EOverflow();
};

// An error of the program's own, with a text of its own (file write failures and the like).
class EWriteError : public Exception {
public:
    using Exception::Exception;
};

extern const char* const kInvalidFloatMessage;    // "'%s' is not a valid floating point value"
extern const char* const kInvalidIntegerMessage;  // "'%s' is not a valid integer value"

EConvertError InvalidFloat(const std::string& text);
EConvertError InvalidInteger(const std::string& text);
