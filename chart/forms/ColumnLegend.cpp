#include "chart/forms/ColumnLegend.h"

#include <QChart>
#include <QFontMetricsF>
#include <QLegend>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kLineLength = 16;  // the colour's line before each name
constexpr qreal kLineGap = 5;      // between the line and the name
constexpr qreal kColumnGap = 10;   // between two columns
constexpr qreal kRowGap = 2;       // between two entries of a column
constexpr qreal kPlotGap = 8;      // between the plot's side and the first column

}  // namespace

ColumnLegend::ColumnLegend(QChart* chart)
    : QGraphicsObject(chart), chart_(chart), baseRightMargin_(chart->margins().right())
{
    chart->legend()->setVisible(false);
    setZValue(90);
    // After the chart's own layout has ended: the legend's room is a change of the chart's
    // margins, which starts a layout of its own.
    connect(
        chart, &QChart::plotAreaChanged, this, [this] { Layout(); }, Qt::QueuedConnection);
}

void ColumnLegend::SetEntries(std::vector<Entry> entries)
{
    entries_ = std::move(entries);
    Layout();
}

void ColumnLegend::SetShown(bool shown)
{
    shown_ = shown;
    Layout();
}

void ColumnLegend::Layout()
{
    if (laying_) return;
    laying_ = true;
    const QFontMetricsF metrics(chart_->legend()->font());
    const qreal rowHeight = std::ceil(metrics.height()) + kRowGap;
    const QRectF plot = chart_->plotArea();
    const QSizeF size = chart_->size();
    // From the plot's top to the chart's foot.
    const qreal top = std::max<qreal>(plot.top(), 0);
    const qreal height = size.height() - chart_->margins().bottom() - top;
    const size_t rows = std::max<size_t>(1, static_cast<size_t>(std::floor(height / rowHeight)));

    std::vector<QRectF> places;
    qreal width = 0;
    for (size_t first = 0; first < entries_.size(); first += rows) {
        const size_t last = std::min(entries_.size(), first + rows);
        qreal column = 0;
        for (size_t i = first; i < last; ++i)
            column = std::max(column, kLineLength + kLineGap +
                                          std::ceil(metrics.horizontalAdvance(entries_[i].Name)));
        if (first > 0) width += kColumnGap;
        for (size_t i = first; i < last; ++i)
            places.push_back(QRectF(width, (i - first) * rowHeight, column, rowHeight - kRowGap));
        width += column;
    }
    const bool fits = !entries_.empty() && width + kPlotGap <= size.width() / 2;
    drawn_ = shown_ && fits;
    prepareGeometryChange();
    places_ = drawn_ ? places : std::vector<QRectF>();
    const size_t used = std::min(rows, entries_.size());
    bounds_ = drawn_ ? QRectF(0, 0, width, used * rowHeight) : QRectF();
    setVisible(drawn_);

    QMargins margins = chart_->margins();
    const int right = drawn_ ? baseRightMargin_ + static_cast<int>(std::ceil(width + kPlotGap))
                             : baseRightMargin_;
    if (margins.right() != right) {
        margins.setRight(right);
        chart_->setMargins(margins);
    }
    setPos(size.width() - right + kPlotGap, top);
    laying_ = false;
}

std::vector<QRectF> ColumnLegend::EntryRects() const
{
    std::vector<QRectF> rects;
    for (const QRectF& place : places_) rects.push_back(mapRectToParent(place));
    return rects;
}

QRectF ColumnLegend::boundingRect() const
{
    return bounds_;
}

void ColumnLegend::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QFontMetricsF metrics(chart_->legend()->font());
    painter->setFont(chart_->legend()->font());
    for (size_t i = 0; i < places_.size() && i < entries_.size(); ++i) {
        const QRectF& place = places_[i];
        const qreal middle = place.center().y();
        painter->setPen(QPen(entries_[i].Colour, 2));
        painter->drawLine(QPointF(place.left(), middle),
                          QPointF(place.left() + kLineLength, middle));
        painter->setPen(chart_->legend()->labelColor());
        painter->drawText(QRectF(place.left() + kLineLength + kLineGap, place.top(),
                                 place.width() - kLineLength - kLineGap, place.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, entries_[i].Name);
    }
}
