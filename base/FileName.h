#pragma once
// File name parts: the extension that chooses a reader or writer. Names are the system's bytes;
// only the last part, after the last slash, can hold an extension.

#include <string>

// The extension with its point (".raw"), from the last point of the last part; empty when the
// last part has no point. The case stays as it is.
std::string ExtractFileExt(const std::string& fileName);

// The file name with its extension replaced by ext, which includes its point; a name without
// extension gets ext appended.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
