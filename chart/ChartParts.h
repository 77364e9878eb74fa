#pragma once
// What the processing windows share in drawing: point marks, series of the survey values, the
// white chart they stand on, axis ranges computed from the points (Qt axes do not follow their
// series by themselves), and text for display.

#include <QColor>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QPointF>
#include <QScatterSeries>
#include <QString>
#include <string>
#include <vector>

#include "processing/CurveEditing.h"

class QAbstractAxis;
class QChart;
class QLineSeries;
class QLogValueAxis;
class QValueAxis;
class QXYSeries;

enum class Mark { Circle, Triangle, DownTriangle, Square, Star };

// A mark of the shape drawn into a square image of the given side (pixels), for
// QXYSeries::setLightMarker.
QImage MarkImage(Mark shape, const QColor& colour, int side);

// A line of the colour with a mark of the given side at every point.
QLineSeries* MarkedLine(const QString& name, const QColor& colour, Mark mark, int side);
// Points drawn as the Qt shape, filled and outlined in the colours given.
QScatterSeries* Scatter(const QString& name, QScatterSeries::MarkerShape shape, qreal size,
                        const QColor& fill, const QColor& border);

// The points of series, in their order, titled with its survey-string title; a point flagged
// Green gets that colour, every other one the series colour. Points a logarithmic axis of the
// target cannot place are left out, as one of them would keep Qt from drawing the whole series.
void ShowSeries(QXYSeries* target, const ChartSeries& series);
// The points (x[k], y[k]) in order, leaving out those a logarithmic axis cannot place (not
// positive or not finite): one such point would keep Qt from drawing the whole series.
QList<QPointF> LogPoints(const std::vector<double>& x, const std::vector<double>& y);
// The same points sorted by ascending x (equal x in their order).
QList<QPointF> SortedByX(QList<QPointF> points);

// A chart on white with square corners and the given margins.
QChart* WhiteChart(const QMargins& margins);
// Puts the axis on the chart and attaches every series of the chart to it.
void AttachAxis(QChart* chart, QAbstractAxis* axis, Qt::Alignment alignment);
// The same for an x axis at the bottom and a y axis on the left.
void AttachAxes(QChart* chart, QAbstractAxis* xAxis, QAbstractAxis* yAxis);

// The x or the y values of every point of the visible series given.
QList<double> SeriesValues(const QList<QXYSeries*>& series, bool x);
// Whole decades around the positive finite values (1 to 10 when there is none), so that a
// logarithmic axis always shows labels.
void FitLogAxis(QLogValueAxis* axis, const QList<double>& values);
// How far a linear axis reaches beyond values that are all equal: a tenth of the value (1 around
// zero), or a twentieth of it but at least 1.
enum class FlatMargin { Tenth, AtLeastOne };
// The finite values with a margin of a twentieth of their span on each side; the margin stops at
// zero when no value lies beyond it.
void FitValueAxis(QValueAxis* axis, const QList<double>& values, FlatMargin flat);
// Both axes around the points of the visible series.
void FitLogAxes(QLogValueAxis* xAxis, QLogValueAxis* yAxis, const QList<QXYSeries*>& series);
void FitValueAxes(QValueAxis* xAxis, QValueAxis* yAxis, const QList<QXYSeries*>& series,
                  FlatMargin flat);

// UTF-8 text of the program itself.
QString Text(const char* utf8);
QString Text(const std::string& utf8);
// A survey string (GBK bytes) for display.
QString DisplayText(const std::string& bytes);
