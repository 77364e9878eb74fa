#pragma once
// The points of one chart series as plain values: what the curve editor computes on and what the
// windows' charts draw (chart/forms/ChartParts.h, ShowSeries).

#include <cstddef>
#include <string>
#include <vector>

// One chart series. Points are kept sorted by ascending x, equal x in the order they were added,
// so a point's index is the rank of its frequency. Green marks a point flagged invalid; it is a
// mark on the chart only.
struct ChartSeries {
    std::string Title;
    std::vector<double> X;
    std::vector<double> Y;
    std::vector<bool> Green;

    size_t Count() const { return X.size(); }
    // Empties the points; the title stays.
    void Clear();
    // Replaces the points by (x[k], y[k]), sorted; every point gets the series colour.
    void Fill(const std::vector<double>& x, const std::vector<double>& y);
};
