#pragma once
// The relative closeness tests with which the readers decide that two values are the same
// frequency or the same sample. Equal values always match, zeros included, and no test divides by
// zero: a zero divisor matches only equal values.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
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

// Positions of stored values, for "the first stored value that matches" without a scan of the
// whole list. Positions must be added in ascending order, and whether a position matches must
// depend only on the value stored there and hold for the stored values of an interval about the
// value looked up, as it does for the tests above. The values are kept in a search tree (a treap)
// in which each node knows the first position below it: a lookup walks down to the first node
// whose value matches and from there along the two edges of the interval, a few dozen steps
// however many stored values lie close to the interval without matching. A value equal to one
// stored before it can never be the first match and is left out, and NaN, which matches nothing,
// too.
class RelativeIndex {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // The tolerance is that of the test the lookups make; the index needs of that test only that
    // it holds on an interval.
    explicit RelativeIndex(double /*tolerance*/) {}

    void Add(double value, size_t position)
    {
        ++size_;
        if (std::isnan(value)) return;
        for (int32_t at = root_; at >= 0;) {
            const Node& node = nodes_[static_cast<size_t>(at)];
            if (node.value == value) return;
            at = value < node.value ? node.left : node.right;
        }
        // xorshift: the tree's shape does not follow the order of the values.
        seed_ ^= seed_ << 13;
        seed_ ^= seed_ >> 17;
        seed_ ^= seed_ << 5;
        nodes_.push_back(Node{value, position, position, seed_, -1, -1});
        root_ = Insert(root_, static_cast<int32_t>(nodes_.size() - 1));
    }
    // The number of values added, left out or not.
    size_t Size() const { return size_; }

    // Smallest position p for which matches(p) holds; npos if none.
    template <class Match>
    size_t FindFirst(double value, Match matches) const
    {
        // Down to the first node that matches: a node that does not lies beside the interval, on
        // the side away from which the path goes on.
        int32_t at = root_;
        while (at >= 0) {
            const Node& node = nodes_[static_cast<size_t>(at)];
            if (matches(node.position)) break;
            if (node.value < value)
                at = node.right;
            else if (node.value > value)
                at = node.left;
            else
                return npos;  // not even the value itself matches
        }
        if (at < 0) return npos;
        const Node& top = nodes_[static_cast<size_t>(at)];
        size_t best = top.position;
        // Below it, a node that matches lies inside the interval with everything between it and
        // the top.
        for (int32_t left = top.left; left >= 0;) {
            const Node& node = nodes_[static_cast<size_t>(left)];
            if (matches(node.position)) {
                best = std::min({best, node.position, First(node.right)});
                left = node.left;
            } else {
                left = node.right;
            }
        }
        for (int32_t right = top.right; right >= 0;) {
            const Node& node = nodes_[static_cast<size_t>(right)];
            if (matches(node.position)) {
                best = std::min({best, node.position, First(node.left)});
                right = node.right;
            } else {
                right = node.left;
            }
        }
        return best;
    }

private:
    struct Node {
        double value;
        size_t position;
        size_t first;  // the smallest position in the node's subtree
        uint32_t priority;
        int32_t left, right;
    };

    size_t First(int32_t at) const { return at < 0 ? npos : nodes_[static_cast<size_t>(at)].first; }

    void Update(int32_t at)
    {
        Node& node = nodes_[static_cast<size_t>(at)];
        node.first = std::min({node.position, First(node.left), First(node.right)});
    }

    // Inserts the node below at, rotating it up while its priority is the smaller: a new
    // node's position is the largest, so only rotated nodes change their first position.
    int32_t Insert(int32_t at, int32_t added)
    {
        if (at < 0) return added;
        const bool toLeft =
            nodes_[static_cast<size_t>(added)].value < nodes_[static_cast<size_t>(at)].value;
        int32_t child = Insert(
            toLeft ? nodes_[static_cast<size_t>(at)].left : nodes_[static_cast<size_t>(at)].right,
            added);
        Node& node = nodes_[static_cast<size_t>(at)];
        Node& below = nodes_[static_cast<size_t>(child)];
        (toLeft ? node.left : node.right) = child;
        if (below.priority >= node.priority) return at;
        // Rotate the child up.
        if (toLeft) {
            node.left = below.right;
            below.right = at;
        } else {
            node.right = below.left;
            below.left = at;
        }
        Update(at);
        Update(child);
        return child;
    }

    std::vector<Node> nodes_;
    int32_t root_ = -1;
    size_t size_ = 0;
    uint32_t seed_ = 0x9e3779b9u;
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
