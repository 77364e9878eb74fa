#pragma once
// File name parts, as the class library takes them apart. Names are the system's bytes; only the
// last part, after the last slash, can hold an extension.

#include <string>

// The extension with its point (".raw"), from the last point of the last part; empty when the
// last part has no point. The case stays as it is.
std::string ExtractFileExt(const std::string& fileName);

// The file name with its extension replaced by ext, which includes its point; a name without
// extension gets ext appended.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
