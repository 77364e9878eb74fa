#pragma once
// The relative closeness tests with which the readers decide that two values are the same
// frequency or the same sample. Equal values always match, zeros included, and no test divides by
// zero: a zero divisor matches only equal values.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// |a - b| / |divisor| < tolerance.
inline bool WithinRelative(double a, double b, double divisor, double tolerance)
{
    if (a == b) return true;
    if (divisor == 0) return false;
    return std::fabs(a - b) / std::fabs(divisor) < tolerance;
}

// |a - b| / (|a| + |b|) < tolerance: the absolute sum keeps the test sound for negative values
// (phases) and for values of opposite sign.
inline bool WithinRelativeOfSum(double a, double b, double tolerance)
{
    if (a == b) return true;
    return std::fabs(a - b) / (std::fabs(a) + std::fabs(b)) < tolerance;
}

// Bucket of a value for the tests above, so that a lookup need not compare with every stored
// value: for a tolerance of at most 0.5 two values that match have logarithms less than
// 3 x tolerance apart, and a bucket is 4 x tolerance wide, so they lie in the same or in
// neighbouring buckets. Zeros (either sign), infinities and NaN have buckets of their own.
inline long long RelativeBucket(double value, double tolerance)
{
    constexpr long long kPositive = 1LL << 40, kInfinity = 1LL << 50, kNaN = 1LL << 52;
    if (value == 0) return 0;
    if (std::isnan(value)) return kNaN;
    if (std::isinf(value)) return value > 0 ? kInfinity : -kInfinity;
    long long bucket =
        static_cast<long long>(std::floor(std::log(std::fabs(value)) / (4 * tolerance)));
    return value > 0 ? kPositive + bucket : -kPositive - bucket;
}

// Positions of stored values by bucket, for "the first stored value that matches" without a scan
// of the whole list. Positions must be added in ascending order, and whether a position matches
// must depend only on the value stored there: a value equal to one stored before it can then never
// be the first match and is left out, so that a list of many equal values costs a lookup no more
// than one of them.
class RelativeIndex {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    explicit RelativeIndex(double tolerance) : tolerance_(tolerance) {}

    void Add(double value, size_t position)
    {
        ++size_;
        std::vector<Entry>& bucket = buckets_[RelativeBucket(value, tolerance_)];
        for (const Entry& entry : bucket)
            if (entry.value == value) return;
        bucket.push_back(Entry{value, position});
    }
    // The number of values added, left out or not.
    size_t Size() const { return size_; }

    // Smallest position p for which matches(p) holds, among the values near value; npos if none.
    template <class Match>
    size_t FindFirst(double value, Match matches) const
    {
        size_t best = npos;
        long long key = RelativeBucket(value, tolerance_);
        for (long long k = key - 1; k <= key + 1; ++k) {
            auto bucket = buckets_.find(k);
            if (bucket == buckets_.end()) continue;
            for (const Entry& entry : bucket->second) {
                if (entry.position >= best) break;
                if (matches(entry.position)) {
                    best = entry.position;
                    break;
                }
            }
        }
        return best;
    }

private:
    struct Entry {
        double value;
        size_t position;
    };

    double tolerance_;
    size_t size_ = 0;
    std::unordered_map<long long, std::vector<Entry>> buckets_;
};

// Classes of a set of values for WithinRelativeOfSum, so that a value's class is a key without
// neighbours: two values that match one value of the set always share a class. A class is a run
// of the sorted values in which each matches the next. That suffices: when x matches u, every
// value between them lies closer to both, so the run from x to u is unbroken. Zeros of either sign
// are one value; NaN, which matches nothing, has no class.
class RelativeClasses {
public:
    static constexpr uint32_t npos = static_cast<uint32_t>(-1);

    explicit RelativeClasses(double tolerance) : tolerance_(tolerance) {}

    // Replaces the set by these values.
    void Assign(std::vector<float> values)
    {
        for (float& value : values)
            if (value == 0) value = 0;
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [](float value) { return std::isnan(value); }),
                     values.end());
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        values_ = std::move(values);
        classes_.resize(values_.size());
        // A little wider than the tolerance, so that rounding at a window's ends cuts no run.
        const double link = tolerance_ * 1.001;
        uint32_t current = 0;
        for (size_t i = 0; i < values_.size(); ++i) {
            if (i > 0 && !WithinRelativeOfSum(values_[i - 1], values_[i], link)) ++current;
            classes_[i] = current;
        }
    }

    // The class of a value of the set; npos for NaN and for a value not in the set.
    uint32_t Of(float value) const
    {
        if (value == 0) value = 0;
        auto at = std::lower_bound(values_.begin(), values_.end(), value);
        if (at == values_.end() || !(*at == value)) return npos;
        return classes_[static_cast<size_t>(at - values_.begin())];
    }

private:
    double tolerance_;
    std::vector<float> values_;      // sorted, without repeats
    std::vector<uint32_t> classes_;  // of each value
};
