#pragma once
// Point labels of a chart that never hide one another, and the full label of a mark as the tip
// of the mouse resting on it. Every chart with labels at its points follows the same rule.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QChartView;
class QGraphicsSimpleTextItem;
class QXYSeries;

// Places the labels in their order, each centred above its point with `gap` pixels between
// (moved sideways where that would reach beyond the plot area's left or right side), and
// shows it only where its point lies in the plot area and its text, with a few pixels on either
// side, overlaps no label shown before it; a label without a point is hidden. Placed again after a
// zoom, a label that had no room shows once it has. Positions are in the chart's coordinates.
void PlacePointLabels(const std::vector<QGraphicsSimpleTextItem*>& labels,
                      const std::vector<std::optional<QPointF>>& points, const QRectF& plotArea,
                      qreal gap);

// The label of point `index` of the series, empty for none.
using MarkLabel = std::function<QString(const QXYSeries* series, int index)>;
// While the mouse rests within a few pixels of a mark of a visible series of the view's chart,
// the view's tooltip shows that mark's label (the nearest mark's, where several are near).
void ShowMarkLabelTips(QChartView* view, MarkLabel label);
