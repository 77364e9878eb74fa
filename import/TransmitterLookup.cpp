#include "import/TransmitterLookup.h"

#include <cmath>
#include <cstring>

namespace {

// Two distinct floats of magnitude 2^-9 or more lie more than 1e-10 apart, and so does any such
// float from every float below 2^-9: values that large can only match when they are equal, while
// all smaller values share one key and are told apart by the comparison itself.
constexpr float kExactFrom = 1.0f / 512.0f;

uint32_t KeyPart(float value)
{
    if (std::fabs(value) < kExactFrom) return 0;
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
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

}  // namespace

size_t TransmitterLookup::KeyHash::operator()(const Key& key) const
{
    // Float bits of round values differ only in their high bits: mix every part thoroughly.
    uint64_t hash = 0;
    for (uint32_t part : key) {
        hash = (hash ^ part) + 0x9e3779b97f4a7c15ull;
        hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ull;
        hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebull;
        hash ^= hash >> 31;
    }
    return static_cast<size_t>(hash);
}

TransmitterLookup::Key TransmitterLookup::KeyOf(const TxData& tx)
{
    return {KeyPart(tx.Cx),       KeyPart(tx.Cy),     KeyPart(tx.Cz),
            KeyPart(tx.Fip.Freq), KeyPart(tx.Length), KeyPart(tx.Azimuth)};
}

TransmitterLookup::TransmitterLookup(const std::vector<TxData>& list)
{
    for (size_t i = 0; i < list.size(); ++i) Add(list[i], i);
}

bool TransmitterLookup::FindSame(TxData& probe, const std::vector<TxData>& list) const
{
    auto bucket = buckets_.find(KeyOf(probe));
    if (bucket == buckets_.end()) return false;
    for (size_t index : bucket->second) {
        if (Equal(list[index], probe)) {
            probe.Name = list[index].Name;
            return true;
        }
    }
    return false;
}

void TransmitterLookup::Add(const TxData& tx, size_t index)
{
    buckets_[KeyOf(tx)].push_back(index);
}
