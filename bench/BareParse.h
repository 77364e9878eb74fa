#pragma once
// The floor of a text reader, run beside each reader on the same file: the file read whole, cut
// into fields at the field separators, every field handed to strtod. A reader's time over this
// loop's is the measure of what it costs beyond reading its numbers.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "survey/TextLines.h"

// Sum of the numbers of the file, so that no conversion can be left out.
inline double BareParse(const std::string& path)
{
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
        std::fclose(file);
    }
    double sum = 0;
    const char* p = bytes.c_str();
    const char* end = p + bytes.size();
    while (p < end) {
        while (p < end && IsFieldSeparator(*p)) ++p;
        if (p == end) break;
        char* stop = nullptr;
        double value = std::strtod(p, &stop);
        if (stop != p) sum += value;
        p = stop > p ? stop : p;
        while (p < end && !IsFieldSeparator(*p)) ++p;
    }
    return sum;
}
