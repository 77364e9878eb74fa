#pragma once
// New points for series shown on a chart, without Qt Charts' per-mark search.

#include <QList>
#include <QPointF>
#include <vector>

class QChart;
class QXYSeries;

struct SeriesPoints {
    QXYSeries* Series;
    QList<QPointF> Points;
};

// Gives every series its points, in order; a series with a mark layer on screen gives them to
// its layer. When a scatter series changes its point count, Qt
// Charts gives every mark its brush again and first looks the mark's last point up in the new
// points, from the front; a mark made while the chart is shown also walks all its sibling marks.
// So the marks first all stand on the first new point, where that look-up ends at once, and the
// chart is hidden while marks come and go.
void ReplaceSeriesPoints(QChart* chart, const std::vector<SeriesPoints>& changes);
