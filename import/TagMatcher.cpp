#include "import/TagMatcher.h"

#include <algorithm>

TagMatcher::TagMatcher(const std::vector<TStation>& stations, size_t begin, size_t end)
    : begin_(begin), bytes_(end - begin)
{
    size_t tagBytes = 0;
    for (size_t i = begin; i < end; ++i) tagBytes += stations[i].Info.Tag.size();
    bytes_ += tagBytes;
    link_.reserve(tagBytes + 1);
    first_.reserve(tagBytes + 1);
    byte_.reserve(tagBytes + 1);
    chained_.reserve(tagBytes + 1);
    AddState(0);
    for (size_t i = begin; i < end; ++i) {
        uint32_t state = 0;
        for (char c : stations[i].Info.Tag) {
            uint32_t next = Child(state, c);
            if (next == 0) {
                next = AddState(c);
                if (next == state + 1)
                    chained_[state] = true;
                else
                    branches_.emplace(Key(state, c), next);
            }
            state = next;
        }
        first_[state] = std::min(first_[state], static_cast<uint32_t>(i));
    }
    Link(stations, end);
}

size_t TagMatcher::FirstIn(const std::string& line, size_t& steps) const
{
    uint32_t best = first_[0];
    uint32_t state = 0;
    steps += line.size();
    for (char c : line) {
        uint32_t next = Child(state, c);
        while (next == 0 && state != 0) {
            state = link_[state];
            next = Child(state, c);
            ++steps;
        }
        state = next;
        best = std::min(best, first_[state]);
    }
    return best == kNone ? npos : best;
}

// Links by increasing depth, so that a state's link and its link's first are final when it is
// reached: depth by depth along every tag at once, the longest tags first.
void TagMatcher::Link(const std::vector<TStation>& stations, size_t end)
{
    link_[0] = 0;
    std::vector<uint32_t> order(end - begin_);
    for (size_t j = 0; j < order.size(); ++j) order[j] = static_cast<uint32_t>(begin_ + j);
    auto length = [&stations](uint32_t i) { return stations[i].Info.Tag.size(); };
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return length(a) > length(b); });
    std::vector<uint32_t> state(order.size(), 0);
    size_t active = order.size();
    for (size_t depth = 0;; ++depth) {
        while (active > 0 && length(order[active - 1]) <= depth) --active;
        if (active == 0) break;
        for (size_t j = 0; j < active; ++j) {
            const char c = stations[order[j]].Info.Tag[depth];
            const uint32_t parent = state[j];
            const uint32_t v = Child(parent, c);
            state[j] = v;
            if (link_[v] != kUnlinked) continue;
            uint32_t link = 0;
            if (depth > 0) {  // the root's children link to the root
                link = link_[parent];
                uint32_t next = Child(link, c);
                while (next == 0 && link != 0) {
                    link = link_[link];
                    next = Child(link, c);
                }
                link = next;
            }
            link_[v] = link;
            first_[v] = std::min(first_[v], first_[link]);
        }
    }
}

size_t TagIndex::FirstIn(const std::vector<TStation>& stations, const std::string& line)
{
    if (covered_ < stations.size()) Cover(stations);
    size_t best = TagMatcher::npos;
    for (const TagMatcher& matcher : matchers_) best = std::min(best, matcher.FirstIn(line, work_));
    if (matchers_.size() > 1) {
        extraWork_ += line.size() * (matchers_.size() - 1);
        if (extraWork_ > bytes_) {
            matchers_.clear();
            matchers_.emplace_back(stations, 0, covered_);
            work_ += matchers_.back().Bytes();
            extraWork_ = 0;
        }
    }
    return best;
}

void TagIndex::Cover(const std::vector<TStation>& stations)
{
    size_t begin = covered_;
    covered_ = stations.size();
    size_t bytes = covered_ - begin;
    for (size_t i = begin; i < covered_; ++i) bytes += stations[i].Info.Tag.size();
    bytes_ += bytes;
    while (!matchers_.empty() && matchers_.back().Bytes() <= bytes) {
        bytes += matchers_.back().Bytes();
        begin = matchers_.back().Begin();
        matchers_.pop_back();
    }
    matchers_.emplace_back(stations, begin, covered_);
    work_ += matchers_.back().Bytes();
}
