#pragma once
// Text for the windows: the program's own texts, and survey strings and file names, which are
// bytes.

#include <QString>
#include <string>

// UTF-8 text of the program itself.
QString Text(const char* utf8);
QString Text(const std::string& utf8);
// Bytes for display: valid UTF-8 (file names, and texts made from them) is shown as it is,
// anything else is decoded as GBK.
QString DisplayText(const std::string& bytes);
