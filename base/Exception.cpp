#include "base/Exception.h"

const char* const kInvalidFloatMessage = "'%s' is not a valid floating point value";
const char* const kInvalidIntegerMessage = "'%s' is not a valid integer value";

std::string FileLinePlace(const std::string& fileName, size_t line)
{
    return " (file " + fileName + ", line " + std::to_string(line) + ")";
}

EConvertErrorInFile::EConvertErrorInFile(const EConvertError& error, const std::string& fileName,
                                         size_t line)
    : EConvertError(error.Message + FileLinePlace(fileName, line))
{
}

EFOpenError::EFOpenError(const std::string& fileName) : Exception("Cannot open file " + fileName) {}

EFCreateError::EFCreateError(const std::string& fileName)
    : Exception("Cannot create file " + fileName)
{
}

EOutOfMemory::EOutOfMemory(const std::string& fileName)
    : Exception("File " + fileName + " is too large to load")
{
}

EInvalidOp::EInvalidOp() : EMathError("Invalid floating point operation") {}
EZeroDivide::EZeroDivide() : EMathError("Floating point division by zero") {}
EOverflow::EOverflow() : EMathError("Floating point overflow") {}

EConvertError InvalidFloat(const std::string& text)
{
    return EConvertError("'" + text + "' is not a valid floating point value");
}

EConvertError InvalidInteger(const std::string& text)
{
    return EConvertError("'" + text + "' is not a valid integer value");
}
