#pragma once
// Finding, in one pass over a line, the first station in channel order whose tag occurs in it, as
// the CSAMT reader picks the receiver of a data table.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "survey/Records.h"

// An Aho-Corasick automaton over the tags of a run of stations, each state knowing the first
// station among the tags that end there. A tag's states are made one after the other, so a state's
// first child is the state that follows it and only branches need a table: the automaton holds
// about nine bytes per byte of its tags.
class TagMatcher {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Over the tags of the stations from begin up to end.
    TagMatcher(const std::vector<TStation>& stations, size_t begin, size_t end);

    // The index of the first station whose tag occurs in the line; npos when none does.
    size_t FirstIn(const std::string& line) const
    {
        size_t steps = 0;
        return FirstIn(line, steps);
    }
    // The same, adding to steps the states it went through: one for each byte of the line and
    // one for each link it followed.
    size_t FirstIn(const std::string& line, size_t& steps) const;

    // The first station it covers.
    size_t Begin() const { return begin_; }
    // The work of making it: its stations and the bytes of their tags.
    size_t Bytes() const { return bytes_; }

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    static constexpr uint32_t kUnlinked = UINT32_MAX;

    uint32_t AddState(char c)
    {
        link_.push_back(kUnlinked);
        first_.push_back(kNone);
        byte_.push_back(c);
        chained_.push_back(false);
        return static_cast<uint32_t>(link_.size() - 1);
    }
    static uint64_t Key(uint32_t state, char c)
    {
        return (static_cast<uint64_t>(state) << 8) | static_cast<unsigned char>(c);
    }
    // The child of a state by byte c; 0 (the root, never a child) when there is none.
    uint32_t Child(uint32_t state, char c) const
    {
        if (chained_[state] && byte_[state + 1] == c) return state + 1;
        if (branches_.empty()) return 0;
        auto found = branches_.find(Key(state, c));
        return found == branches_.end() ? 0 : found->second;
    }
    void Link(const std::vector<TStation>& stations, size_t end);

    // By state: its link, the first station whose tag is its text or a suffix of it, the byte
    // that leads to it, and whether the state after it is its child.
    std::vector<uint32_t> link_;
    std::vector<uint32_t> first_;
    std::vector<char> byte_;
    std::vector<bool> chained_;
    std::unordered_map<uint64_t, uint32_t> branches_;
    size_t begin_ = 0;
    size_t bytes_ = 0;
};

// Tag matchers over consecutive runs of the stations, for channel tables that come between data
// tables: runs merge as a binary counter does, so that each tag is taken into a matcher a
// logarithmic number of times, and they merge into one once the passes over several matchers
// have cost as much as that.
class TagIndex {
public:
    // The first station whose tag occurs in the line; npos when none does. The stations are
    // those of the earlier calls with more appended.
    size_t FirstIn(const std::vector<TStation>& stations, const std::string& line);

    // The work of the calls so far: the bytes taken into matchers (each station and the bytes of
    // its tag, as often as a matcher is made over it) and the states the lines went through.
    size_t Work() const { return work_; }

private:
    void Cover(const std::vector<TStation>& stations);

    std::vector<TagMatcher> matchers_;
    size_t covered_ = 0;
    size_t bytes_ = 0;  // of all the stations covered
    size_t extraWork_ = 0;
    size_t work_ = 0;
};
