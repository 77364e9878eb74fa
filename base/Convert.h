#pragma once
// Text to number for every reader and edit: the whole text must be a number (blanks around it
// aside), so that junk in a field is an error rather than a silent zero, and the process locale
// changes nothing.

#include <string>

// Optional sign, digits with an optional point, optional exponent. "120." and ".5" convert; an
// empty text, "inf", "nan", hexadecimal and trailing junk do not.
bool TryStrToFloat(const std::string& text, double& value);
// The same for the text from first up to last, without a copy of it.
bool TryStrToFloat(const char* first, const char* last, double& value);
double StrToFloat(const std::string& text);                      // EConvertError
double StrToFloatDef(const std::string& text, double fallback);  // guarded form

// Optional sign and decimal digits, within the 32-bit range.
bool TryStrToInt(const std::string& text, int& value);
int StrToInt(const std::string& text);                   // EConvertError
int StrToIntDef(const std::string& text, int fallback);  // guarded form
