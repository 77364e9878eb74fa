#include "chart/forms/ReadableChart.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <algorithm>
#include <cmath>

ReadableChart::ReadableChart(QChartView* view, QSize plot) : QObject(view), view_(view), plot_(plot)
{
    // The view takes on its chart's minimum at each resize, margins included: a margin that a
    // legend beside the plot keeps for itself would hold the view wide ever after. The minimum
    // here, which leaves that legend out, stands in its place.
    view->chart()->setMinimumSize(0, 0);
    connect(view->chart(), &QChart::plotAreaChanged, this, &ReadableChart::Measure);
    Measure();
    view->setMinimumSize(minimum_);
}

void ReadableChart::SetSpare(std::function<QSize()> spare)
{
    spare_ = std::move(spare);
    Measure();
}

void ReadableChart::SetPassing(std::function<QSize()> passing)
{
    passing_ = std::move(passing);
    Measure();
}

void ReadableChart::Measure()
{
    QChart* chart = view_->chart();
    const QRectF plot = chart->plotArea();
    const QSizeF size = chart->size();
    // What the chart takes around its plot depends on its size as well: a title of two lines
    // keeps one where the chart is narrow, axis labels change, and squeezed below its plot the
    // chart drops axis titles and labels. The most it took is its need.
    const QSize passing = passing_ ? passing_() : QSize(0, 0);
    const QSize apart = (spare_ ? spare_() : QSize(0, 0)) + passing;
    if (plot.width() > 0 && plot.height() > 0) {
        around_.setHeight(
            std::max(around_.height(),
                     static_cast<int>(std::ceil(size.height() - plot.height())) - apart.height()));
        around_.setWidth(
            std::max(around_.width(),
                     static_cast<int>(std::ceil(size.width() - plot.width())) - apart.width()));
    }
    QSize minimum(around_.width() < 0 ? 0 : around_.width() + passing.width() + plot_.width(),
                  around_.height() < 0 ? 0 : around_.height() + passing.height() + plot_.height());
    // Qt's legend lays out all its entries and cuts those beyond its height, with its margin
    // above and below; across, it shortens their names short of twice its margin on either
    // side. The entries' most extent with that room is what it needs.
    QLegend* legend = chart->legend();
    if (legend->isVisible() && legend->isAttachedToChart() && !legend->markers().isEmpty()) {
        const QRectF entries = legend->childrenBoundingRect();
        const QSizeF shown = legend->size();
        if (legend->alignment() & (Qt::AlignLeft | Qt::AlignRight)) {
            legendNeeds_.setHeight(std::max(
                legendNeeds_.height(),
                static_cast<int>(
                    std::ceil(entries.height() + 2 * std::max<qreal>(0, entries.left())))));
            minimum.setHeight(std::max(minimum.height(),
                                       static_cast<int>(std::ceil(size.height() - shown.height())) +
                                           legendNeeds_.height()));
        } else {
            legendNeeds_.setWidth(
                std::max(legendNeeds_.width(),
                         static_cast<int>(
                             std::ceil(entries.width() + 4 * std::max<qreal>(0, entries.top())))));
            minimum.setWidth(std::max(
                minimum.width(),
                static_cast<int>(std::ceil(size.width() - shown.width())) + legendNeeds_.width()));
        }
    }
    minimum += view_->size() - view_->viewport()->size();
    if (minimum == minimum_) return;
    minimum_ = minimum;
    emit MinimumChanged();
}

ReadableChart* KeepChartReadable(QChartView* view, QSize plot)
{
    auto* readable = new ReadableChart(view, plot);
    // Applied after the chart's layout has run: a view smaller than its new minimum is resized
    // at once, which would lay the chart out again in the middle of its layout.
    QObject::connect(
        readable, &ReadableChart::MinimumChanged, view,
        [view, readable] { view->setMinimumSize(readable->Minimum()); }, Qt::QueuedConnection);
    return readable;
}
