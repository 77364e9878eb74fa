#pragma once
// How a label that the user typed or a file gave finds a station. Position files label their
// stations "150", "1000" where the data files name the same stations "150.0", "1000.0": a label
// names a station when the two texts are equal, or else when both are plain decimal numbers of
// equal value. "150a", "1.5e2" and " 150" are not plain decimal numbers and match only their own
// text.

#include <cstddef>
#include <string>
#include <unordered_map>

// The label names the station of that name: the texts are equal, or both are plain decimal numbers
// of equal value.
bool LabelNamesStation(const std::string& label, const std::string& name);

// The first of a list of labels that names a station: the first label equal to the station's name
// or, when there is none, the first of equal decimal value. Built once over the list, each lookup
// takes constant time on average.
class StationLabelIndex {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Adds the label at a position; a label already known keeps its earlier position.
    void Add(const std::string& label, size_t position);
    // The position of the label that names the station, or npos.
    size_t Find(const std::string& name) const;

private:
    std::unordered_map<std::string, size_t> byText_;
    std::unordered_map<std::string, size_t> byValue_;
};
