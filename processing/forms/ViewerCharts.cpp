#include "processing/forms/ViewerCharts.h"

#include <QLogValueAxis>
#include <QPainter>
#include <QPainterPath>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/MainForm.h"
#include "base/Gbk.h"

QImage ViewerMarkImage(ViewerMark shape, const QColor& colour, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(130), 1));
    p.setBrush(colour);
    const double s = side;
    switch (shape) {
    case ViewerMark::DownTriangle:
        p.drawPolygon(QPolygonF({QPointF(0.5, 1), QPointF(s - 0.5, 1), QPointF(s / 2, s - 0.5)}));
        break;
    case ViewerMark::Square:
        p.drawRect(QRectF(1, 1, s - 2, s - 2));
        break;
    case ViewerMark::Circle:
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        break;
    case ViewerMark::Star: {
        p.setPen(QPen(colour, 1.2));
        const double c = s / 2, r = s / 2 - 0.5;
        for (int k = 0; k < 4; ++k) {
            const double a = k * M_PI / 4;
            p.drawLine(QPointF(c - r * std::cos(a), c - r * std::sin(a)),
                       QPointF(c + r * std::cos(a), c + r * std::sin(a)));
        }
        break;
    }
    }
    return image;
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

namespace {

struct Bounds {
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX;
    double minY = minX, maxY = -minX;
    bool Empty() const { return !(minX <= maxX); }
};

Bounds BoundsOf(const QList<QXYSeries*>& series)
{
    Bounds b;
    for (const QXYSeries* s : series) {
        if (!s->isVisible()) continue;
        for (const QPointF& p : s->points()) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
            b.minX = std::min(b.minX, p.x());
            b.maxX = std::max(b.maxX, p.x());
            b.minY = std::min(b.minY, p.y());
            b.maxY = std::max(b.maxY, p.y());
        }
    }
    return b;
}

void DecadeRange(QLogValueAxis* axis, double low, double high)
{
    double a = std::pow(10.0, std::floor(std::log10(low)));
    double b = std::pow(10.0, std::ceil(std::log10(high)));
    if (!(a < b)) b = a * 10;
    axis->setRange(a, b);
}

void MarginRange(QValueAxis* axis, double low, double high)
{
    const double span = high - low;
    const double margin = span > 0 ? span * 0.05 : std::max(1.0, std::abs(low) * 0.05);
    axis->setRange(low - margin, high + margin);
}

}  // namespace

void FitLogAxes(QLogValueAxis* xAxis, QLogValueAxis* yAxis, const QList<QXYSeries*>& series)
{
    const Bounds b = BoundsOf(series);
    if (b.Empty()) {
        xAxis->setRange(1, 10);
        yAxis->setRange(1, 10);
        return;
    }
    DecadeRange(xAxis, b.minX, b.maxX);
    DecadeRange(yAxis, b.minY, b.maxY);
}

void FitValueAxes(QValueAxis* xAxis, QValueAxis* yAxis, const QList<QXYSeries*>& series)
{
    const Bounds b = BoundsOf(series);
    if (b.Empty()) {
        xAxis->setRange(0, 1);
        yAxis->setRange(0, 1);
        return;
    }
    MarginRange(xAxis, b.minX, b.maxX);
    MarginRange(yAxis, b.minY, b.maxY);
}

QString DisplayText(const std::string& bytes)
{
    return QString::fromUtf8(DisplayTextUtf8(bytes));
}

bool KeepCurrentStation(TForm1* form)
{
    const size_t n = form->ExStations.size();
    const bool inside = form->CurrentStation >= 0 && static_cast<size_t>(form->CurrentStation) < n;
    const bool changed = n != form->CurrentStationListLength;
    form->CurrentStationListLength = n;
    if (inside && !changed) return false;
    form->CurrentStation = 0;
    return true;
}
