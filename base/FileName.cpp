#include "base/FileName.h"

namespace {

// Position of the extension's point; npos when the last part has none.
size_t ExtensionStart(const std::string& fileName)
{
    size_t slash = fileName.find_last_of('/');
    size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

}  // namespace

std::string ExtractFileExt(const std::string& fileName)
{
    size_t dot = ExtensionStart(fileName);
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext)
{
    return fileName.substr(0, ExtensionStart(fileName)) + ext;
}
