#include "chart/forms/ChartParts.h"

#include <QChart>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>

#include "chart/forms/MarkLayer.h"
#include "chart/forms/PatternAxis.h"

QImage MarkImage(Mark shape, const QColor& colour, int side, const MarkDetails& details)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(details.Outline.isValid() ? details.Outline : colour.darker(130), 1));
    p.setBrush(colour);
    const double lo = 1.0, hi = side - 1.0, top = details.Top, bottom = side - details.Bottom,
                 mid = side / 2.0;
    switch (shape) {
    case Mark::Circle:
        p.drawEllipse(QRectF(lo, top, hi - lo, bottom - top));
        break;
    case Mark::Triangle:
        p.drawPolygon(QPolygonF({QPointF(lo, bottom), QPointF(hi, bottom), QPointF(mid, top)}));
        break;
    case Mark::DownTriangle:
        p.drawPolygon(QPolygonF({QPointF(lo, top), QPointF(hi, top), QPointF(mid, bottom)}));
        break;
    case Mark::Square:
        p.drawRect(QRectF(lo, top, hi - lo, bottom - top));
        break;
    case Mark::Star: {
        p.setPen(QPen(colour, 1.2));
        const double r = mid - 0.5;
        for (int k = 0; k < 4; ++k) {
            const double a = k * M_PI / 4;
            p.drawLine(QPointF(mid - r * std::cos(a), mid - r * std::sin(a)),
                       QPointF(mid + r * std::cos(a), mid + r * std::sin(a)));
        }
        break;
    }
    case Mark::Cross:
        p.setPen(QPen(details.Outline.isValid() ? details.Outline : colour.darker(120), 2));
        p.drawLine(QPointF(lo + 1, mid), QPointF(hi - 1, mid));
        p.drawLine(QPointF(mid, top + 1), QPointF(mid, bottom - 1));
        break;
    }
    return image;
}

QLineSeries* MarkedLine(const QString& name, const QColor& colour, Mark mark, int side)
{
    auto* series = new QLineSeries;
    series->setName(name);
    series->setPen(QPen(colour, 1));
    series->setPointsVisible(true);
    series->setLightMarker(MarkImage(mark, colour, side));
    series->setMarkerSize(side);
    return series;
}

QScatterSeries* Scatter(const QString& name, QScatterSeries::MarkerShape shape, qreal size,
                        const QColor& fill, const QColor& border)
{
    auto* series = new QScatterSeries;
    series->setName(name);
    series->setMarkerShape(shape);
    series->setMarkerSize(size);
    series->setBrush(QBrush(fill));
    series->setBorderColor(border);
    return series;
}

void ShowSeries(QXYSeries* target, const ChartSeries& series)
{
    bool logX = false, logY = false;
    for (QAbstractAxis* axis : target->attachedAxes()) {
        if (axis->type() != QAbstractAxis::AxisTypeLogValue) continue;
        (axis->orientation() == Qt::Horizontal ? logX : logY) = true;
    }
    const auto placeable = [](bool log, double v) { return !log || (v > 0 && std::isfinite(v)); };
    QList<QPointF> points;
    QList<int> green;  // indices among the points drawn
    points.reserve(static_cast<qsizetype>(series.Count()));
    for (size_t i = 0; i < series.Count(); ++i) {
        if (!placeable(logX, series.X[i]) || !placeable(logY, series.Y[i])) continue;
        if (i < series.Green.size() && series.Green[i]) green.append(int(points.size()));
        points.append(QPointF(series.X[i], series.Y[i]));
    }
    target->clearPointsConfiguration();
    target->replace(points);
    target->setName(DisplayText(series.Title));
    for (int i : green)
        target->setPointConfiguration(i, QXYSeries::PointConfiguration::Color, QColor(Qt::green));
}

QList<QPointF> LogPoints(const std::vector<double>& x, const std::vector<double>& y)
{
    QList<QPointF> points;
    const size_t n = std::min(x.size(), y.size());
    points.reserve(static_cast<qsizetype>(n));
    for (size_t k = 0; k < n; ++k)
        if (x[k] > 0 && y[k] > 0 && std::isfinite(x[k]) && std::isfinite(y[k]))
            points.push_back(QPointF(x[k], y[k]));
    return points;
}

QList<QPointF> SortedByX(QList<QPointF> points)
{
    std::stable_sort(points.begin(), points.end(),
                     [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    return points;
}

QChart* PlainChart(const std::optional<QBrush>& background, const std::optional<QMargins>& margins)
{
    auto* chart = new QChart;
    if (background) chart->setBackgroundBrush(*background);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundVisible(false);
    if (margins) chart->setMargins(*margins);
    return chart;
}

QChart* WhiteChart(const QMargins& margins)
{
    return PlainChart(QBrush(Qt::white), margins);
}

void AttachAxis(QChart* chart, QAbstractAxis* axis, Qt::Alignment alignment)
{
    chart->addAxis(axis, alignment);
    for (QAbstractSeries* series : chart->series()) series->attachAxis(axis);
    FitPatternAxisToPlot(chart, axis);
}

void AttachAxes(QChart* chart, QAbstractAxis* xAxis, QAbstractAxis* yAxis)
{
    AttachAxis(chart, xAxis, Qt::AlignBottom);
    AttachAxis(chart, yAxis, Qt::AlignLeft);
}

QList<double> SeriesValues(const QList<QXYSeries*>& series, bool x)
{
    QList<double> values;
    for (const QXYSeries* s : series)
        if (s->isVisible())
            for (const QPointF& p : ShownPoints(s)) values.append(x ? p.x() : p.y());
    return values;
}

void FitLogAxis(QLogValueAxis* axis, const QList<double>& values)
{
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (double v : values)
        if (std::isfinite(v) && v > 0) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    if (low > high) {
        axis->setRange(1, 10);
        return;
    }
    double first = std::floor(std::log10(low));
    double last = std::ceil(std::log10(high));
    if (last <= first) last = first + 1;
    axis->setRange(std::pow(10.0, first), std::pow(10.0, last));
}

void FitValueAxis(QValueAxis* axis, const QList<double>& values, FlatMargin flat)
{
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (double v : values)
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    if (low > high) {
        axis->setRange(0, 1);
        return;
    }
    double margin = (high - low) / 20;
    if (margin == 0) {
        if (flat == FlatMargin::Tenth)
            margin = low == 0 ? 1 : std::fabs(low) / 10;
        else
            margin = std::max(1.0, std::fabs(low) / 20);
    }
    const double from = low >= 0 && high > 0 ? std::max(0.0, low - margin) : low - margin;
    const double to = high <= 0 && low < 0 ? std::min(0.0, high + margin) : high + margin;
    axis->setRange(from, to);
}

void FitLogAxes(QLogValueAxis* xAxis, QLogValueAxis* yAxis, const QList<QXYSeries*>& series)
{
    FitLogAxis(xAxis, SeriesValues(series, true));
    FitLogAxis(yAxis, SeriesValues(series, false));
}

void FitValueAxes(QValueAxis* xAxis, QValueAxis* yAxis, const QList<QXYSeries*>& series,
                  FlatMargin flat)
{
    FitValueAxis(xAxis, SeriesValues(series, true), flat);
    FitValueAxis(yAxis, SeriesValues(series, false), flat);
}
