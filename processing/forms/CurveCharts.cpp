#include "processing/forms/CurveCharts.h"

#include <QLogValueAxis>
#include <QPainter>
#include <QValueAxis>
#include <QXYSeries>
#include <cmath>

QImage MarkImage(MarkShape shape, const QColor& colour, int radius)
{
    const int size = 2 * radius + 3;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(130), 1));
    p.setBrush(colour);
    const double lo = 1.0, hi = size - 1.0, mid = size / 2.0;
    switch (shape) {
    case MarkShape::Circle:
        p.drawEllipse(QRectF(lo, lo, hi - lo, hi - lo));
        break;
    case MarkShape::Triangle:
        p.drawPolygon(QPolygonF({QPointF(lo, hi), QPointF(hi, hi), QPointF(mid, lo)}));
        break;
    case MarkShape::DownTriangle:
        p.drawPolygon(QPolygonF({QPointF(lo, lo), QPointF(hi, lo), QPointF(mid, hi)}));
        break;
    }
    return image;
}

void ShowSeries(QXYSeries* target, const ChartSeries& series)
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(series.Count()));
    for (size_t i = 0; i < series.Count(); ++i) points.append(QPointF(series.X[i], series.Y[i]));
    target->clearPointsConfiguration();
    target->replace(points);
    target->setName(QString::fromStdString(series.Title));
    for (size_t i = 0; i < series.Green.size(); ++i)
        if (series.Green[i])
            target->setPointConfiguration(static_cast<int>(i), QXYSeries::PointConfiguration::Color,
                                          QColor(Qt::green));
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

void FitValueAxis(QValueAxis* axis, const QList<double>& values)
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
    if (margin == 0) margin = low == 0 ? 1 : std::fabs(low) / 10;
    axis->setRange(low - margin, high + margin);
}

QList<double> SeriesValues(const QList<QXYSeries*>& series, bool x)
{
    QList<double> values;
    for (const QXYSeries* s : series)
        for (const QPointF& p : s->points()) values.append(x ? p.x() : p.y());
    return values;
}
