#pragma once
// Code page 936 (GBK) and UTF-8. The core keeps file texts and survey strings as bytes; windows
// convert them for display.

#include <string>

bool IsValidUtf8(const std::string& bytes);
// Invalid sequences are replaced by U+FFFD.
std::string GbkToUtf8(const std::string& gbk);
// Characters GBK lacks become '?'.
std::string Utf8ToGbk(const std::string& utf8);
// Text for display: valid UTF-8 stays as it is, anything else is decoded as GBK.
std::string DisplayTextUtf8(const std::string& bytes);
