#pragma once
// An index over a transmitter list that answers FindSameTransmitter without walking the whole
// list, so that a reader adding one record per block stays linear in its input.

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "survey/Records.h"

class TransmitterLookup {
public:
    // Indexes every record of the list; records appended to the list later are indexed by Add.
    explicit TransmitterLookup(const std::vector<TxData>& list);

    // The answer of FindSameTransmitter(probe, list) for the list this lookup indexes: on a match
    // the probe takes the name of the first equal record.
    bool FindSame(TxData& probe, const std::vector<TxData>& list) const;

    // Indexes the record at position index of the list (positions must grow from call to call).
    void Add(const TxData& tx, size_t index);

    // The records the lookups and the additions so far compared with theirs.
    size_t Compared() const { return compared_; }

private:
    using Key = std::array<uint64_t, 6>;
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };
    // A record's compared values and its position in the list.
    struct Entry {
        std::array<float, 6> values;
        size_t index;
    };

    std::unordered_map<Key, std::vector<Entry>, KeyHash> buckets_;
    mutable size_t compared_ = 0;
};
