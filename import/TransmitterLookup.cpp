#include "import/TransmitterLookup.h"

#include <cmath>
#include <cstring>

namespace {

// Two distinct floats of magnitude 2^-9 or more lie more than 1e-10 apart, and so does any such
// float from every float below 2^-9: values that large can only match when they are equal. Smaller
// values go into cells wider than the whole window of values that match one value, so that a
// match lies in the value's own cell or in one neighbour, and a cell holds only a few records that
// do not match one another.
constexpr float kExactFrom = 1.0f / 512.0f;
constexpr double kCell = 2.5e-10;
// A little more than the tolerance, so that rounding at a window's ends loses no record.
constexpr double kReach = 1.000001e-10;

bool IsExact(float value)
{
    return !(std::fabs(value) < kExactFrom);
}

// Exact values by their bits (with bit 32 set), small values by their cell: the two never meet.
uint64_t ExactPart(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (uint64_t{1} << 32) | bits;
}

uint64_t CellPart(double value)
{
    return static_cast<uint64_t>(static_cast<int64_t>(std::floor(value / kCell + 0.5)));
}

uint64_t KeyPart(float value)
{
    return IsExact(value) ? ExactPart(value) : CellPart(value);
}

bool Same(float a, float b)
{
    return std::fabs(static_cast<double>(a) - b) < 1e-10;
}

// The comparison of FindSameTransmitter.
bool Equal(const TxData& entry, const TxData& probe)
{
    return Same(entry.Cx, probe.Cx) && Same(entry.Cy, probe.Cy) && Same(entry.Cz, probe.Cz) &&
           Same(entry.Fip.Freq, probe.Fip.Freq) && Same(entry.Length, probe.Length) &&
           Same(entry.Azimuth, probe.Azimuth);
}

std::array<float, 6> Values(const TxData& tx)
{
    return {tx.Cx, tx.Cy, tx.Cz, tx.Fip.Freq, tx.Length, tx.Azimuth};
}

}  // namespace

size_t TransmitterLookup::KeyHash::operator()(const Key& key) const
{
    // Float bits of round values differ only in their high bits: mix every part thoroughly.
    uint64_t hash = 0;
    for (uint64_t part : key) {
        hash = (hash ^ part) + 0x9e3779b97f4a7c15ull;
        hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ull;
        hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebull;
        hash ^= hash >> 31;
    }
    return static_cast<size_t>(hash);
}

TransmitterLookup::TransmitterLookup(const std::vector<TxData>& list)
{
    for (size_t i = 0; i < list.size(); ++i) Add(list[i], i);
}

bool TransmitterLookup::FindSame(TxData& probe, const std::vector<TxData>& list) const
{
    // The cells within reach of each value: one, or two for a small value near a cell's edge.
    const std::array<float, 6> values = Values(probe);
    Key low, high;
    std::array<size_t, 6> split;  // the values whose reach spans two cells
    size_t splits = 0;
    for (size_t d = 0; d < values.size(); ++d) {
        if (IsExact(values[d])) {
            low[d] = high[d] = ExactPart(values[d]);
        } else {
            low[d] = CellPart(values[d] - kReach);
            high[d] = CellPart(values[d] + kReach);
        }
        if (low[d] != high[d]) split[splits++] = d;
    }
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t best = kNone;
    for (unsigned corner = 0; corner < (1u << splits); ++corner) {
        Key key = low;
        for (size_t s = 0; s < splits; ++s)
            if ((corner >> s) & 1u) key[split[s]] = high[split[s]];
        auto bucket = buckets_.find(key);
        if (bucket == buckets_.end()) continue;
        for (const Entry& entry : bucket->second) {
            if (entry.index >= best) break;
            ++compared_;
            if (Equal(list[entry.index], probe)) {
                best = entry.index;
                break;
            }
        }
    }
    if (best == kNone) return false;
    probe.Name = list[best].Name;
    return true;
}

void TransmitterLookup::Add(const TxData& tx, size_t index)
{
    Key key;
    const std::array<float, 6> values = Values(tx);
    for (size_t d = 0; d < values.size(); ++d) key[d] = KeyPart(values[d]);
    // A record equal in every value to one before it can never be the first match: left out,
    // so that many equal records cost a lookup no more than one.
    std::vector<Entry>& bucket = buckets_[key];
    for (const Entry& entry : bucket) {
        ++compared_;
        if (entry.values == values) return;
    }
    bucket.push_back(Entry{values, index});
}
