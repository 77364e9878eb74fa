#pragma once
// What the windows' charts share in drawing: point marks, series of the survey values, the
// chart they stand on, axis ranges computed from the points (Qt axes do not follow their series
// by themselves), and text for display.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QPointF>
#include <QScatterSeries>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "chart/forms/DisplayText.h"
#include "survey/ChartSeries.h"

class QAbstractAxis;
class QChart;
class QLineSeries;
class QLogValueAxis;
class QValueAxis;
class QXYSeries;

enum class Mark { Circle, Triangle, DownTriangle, Square, Star, Cross };

// Where the marks of a window differ from the plain ones: the outline's colour (the fill's,
// darker, where none is given) and how far the mark stands in from the image's top and bottom
// (pixels; one pixel in from either side across).
struct MarkDetails {
    QColor Outline;
    qreal Top = 1;
    qreal Bottom = 1;
};

// A mark of the shape drawn into a square image of the given side (pixels), for
// QXYSeries::setLightMarker: a star in the colour, a cross darker, the rest filled with it.
QImage MarkImage(Mark shape, const QColor& colour, int side, const MarkDetails& details = {});

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

// A chart with square corners and no plot-area background, on the background given (the
// theme's where none is) and with the margins given (Qt's where none are).
QChart* PlainChart(const std::optional<QBrush>& background, const std::optional<QMargins>& margins);
// A chart on white with square corners and the given margins.
QChart* WhiteChart(const QMargins& margins);
// Puts the axis on the chart and attaches every series of the chart to it; a pattern axis along
// the bottom fits its labels to the plot (FitPatternAxisToPlot).
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
