#pragma once
// Letter case and search on byte texts. Only the ASCII letters change case: bytes from 0x80 up
// belong to GBK or UTF-8 characters, and the process locale must not change any of them.

#include <string>
#include <string_view>

inline std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

inline std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Whether word occurs anywhere in text, in the same case.
inline bool Contains(std::string_view text, const char* word)
{
    return text.find(word) != std::string_view::npos;
}
