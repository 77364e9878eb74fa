#pragma once
// The "C" locale, for parsing and printing numbers the same way whatever locale the process has.

#include <locale.h>

// One "C" locale object for the whole process, made on first use.
locale_t CLocale();

// Runs the C library's formatting calls of its scope with the "C" locale on this thread.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};
