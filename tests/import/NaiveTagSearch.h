#pragma once
// The receiver of a CSAMT data table found the plain way, for checking the tag matcher against.

#include <algorithm>
#include <string>
#include <vector>

// The index of the first tag from begin up to end that occurs in the line, by a search of the
// line for each tag in turn; npos when none does.
inline size_t NaiveFirstTag(const std::vector<std::string>& tags, const std::string& line,
                            size_t begin = 0, size_t end = std::string::npos)
{
    end = std::min(end, tags.size());
    for (size_t i = begin; i < end; ++i)
        if (line.find(tags[i]) != std::string::npos) return i;
    return std::string::npos;
}
