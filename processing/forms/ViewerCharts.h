#pragma once
// Pieces the viewers and the static-shift window share: point marks, filling series on
// logarithmic axes, axis ranges, and keeping the shown station inside the Ex list.

#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <string>
#include <vector>

class QAbstractAxis;
class QChart;
class QLogValueAxis;
class QValueAxis;
class QXYSeries;
class TForm1;

enum class ViewerMark { DownTriangle, Square, Circle, Star };

// A mark of the shape drawn into a square image of the given side (pixels).
QImage ViewerMarkImage(ViewerMark shape, const QColor& colour, int side);

// The points (x[k], y[k]) in order, leaving out those a logarithmic axis cannot place (not
// positive or not finite): one such point would keep Qt from drawing the whole series.
QList<QPointF> LogPoints(const std::vector<double>& x, const std::vector<double>& y);
// The same points sorted by ascending x (equal x in their order).
QList<QPointF> SortedByX(QList<QPointF> points);

// Ranges of both logarithmic axes that hold every point of the series (whole decades), or one
// decade when there is none.
void FitLogAxes(QLogValueAxis* xAxis, QLogValueAxis* yAxis, const QList<QXYSeries*>& series);
// Ranges of both linear axes that hold every point of the series with a small margin.
void FitValueAxes(QValueAxis* xAxis, QValueAxis* yAxis, const QList<QXYSeries*>& series);

// A survey string (GBK bytes) for display.
QString DisplayText(const std::string& bytes);

// Resets CurrentStation to 0 when it lies outside ExStations or when the Ex list changed length
// since the last check; true when it was reset so.
bool KeepCurrentStation(TForm1* form);
