#pragma once
// The marks of a scatter series painted by one item while its chart is on screen, and new points
// for series shown on a chart, given to their layers or to Qt's series.
//
// Qt Charts makes an item for every mark and sizes each by stroking its outline; at tens of
// thousands of marks that is most of a window's opening, and each mark item is then painted on
// its own. A series given a layer holds no points on screen: the layer holds them and paints the
// very same marks (pen, brush or marker image, place and clip) in one pass. Pictures are drawn by
// Qt's own marks, which QtMarks hands the points back to while it lives.

#include <QList>
#include <QPointF>
#include <vector>

class QChart;
class QGraphicsView;
class QScatterSeries;
class QXYSeries;
class MarkLayer;

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

// Gives a scatter series, already in its chart and on its axes, a layer.
void AddMarkLayer(QScatterSeries* series);
// Gives the points to the series' layer while it is on screen; false if there is none.
bool SetLayerPoints(const QXYSeries* series, const QList<QPointF>& points);

// The points a series shows, from its layer if it has one.
QList<QPointF> ShownPoints(const QXYSeries* series);

// While it lives, the marks of the view's chart are Qt's own, as pictures must be drawn.
class QtMarks {
public:
    explicit QtMarks(QGraphicsView* view);
    ~QtMarks();
    QtMarks(const QtMarks&) = delete;
    QtMarks& operator=(const QtMarks&) = delete;

private:
    std::vector<MarkLayer*> layers_;
};
