#pragma once
// What the curve editor and its companion chart share in drawing: the marks of the series, the
// transfer of a chart series of the core into a Qt series, and axis ranges computed from the
// points, since Qt axes do not follow their series by themselves.

#include <QColor>
#include <QImage>
#include <QList>

#include "processing/CurveEditing.h"

class QLogValueAxis;
class QValueAxis;
class QXYSeries;

enum class MarkShape { Circle, Triangle, DownTriangle };

// A mark of the given radius in pixels, for QXYSeries::setLightMarker.
QImage MarkImage(MarkShape shape, const QColor& colour, int radius);

// The points of series, in their order; a point flagged Green gets that colour, every other one
// the series colour.
void ShowSeries(QXYSeries* target, const ChartSeries& series);

// Whole decades around the positive finite values (1 to 10 when there is none), so that a
// logarithmic axis always shows labels.
void FitLogAxis(QLogValueAxis* axis, const QList<double>& values);
// The finite values with a margin of a twentieth of their span on each side.
void FitValueAxis(QValueAxis* axis, const QList<double>& values);

// The x or the y values of every point of the Qt series given.
QList<double> SeriesValues(const QList<QXYSeries*>& series, bool x);
