#pragma once
// What a user sees of a profile chart's legend and station labels: every legend entry whole
// within the chart, none over another; every station label shown within the chart, over no other
// label and no legend entry.

#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QString>
#include <vector>

#include "chart/forms/ColumnLegend.h"
#include "export/forms/TEMTrace.h"

inline QString Describe(const QRectF& r)
{
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Empty when the chart shows its legend and labels as described above, else what is wrong.
inline QString ProfileChartLayoutFault(const TTEMTraceForm* form)
{
    const QChart* chart = form->Chart->chart();
    const QRectF whole(QPointF(0, 0), chart->size());
    const std::vector<QRectF> entries = form->Legend->EntryRects();
    if (form->LegendVisible() && entries.size() != form->TraceSeries.size() && !entries.empty())
        return QString("%1 of %2 legend entries").arg(entries.size()).arg(form->TraceSeries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!whole.contains(entries[i]))
            return QString("legend entry %1 at %2 cut by the chart %3")
                .arg(i)
                .arg(Describe(entries[i]), Describe(whole));
        for (size_t k = 0; k < i; ++k)
            if (entries[k].intersects(entries[i]))
                return QString("legend entries %1 and %2 overlap").arg(k).arg(i);
    }
    std::vector<QRectF> shown;
    for (const QGraphicsSimpleTextItem* label : form->PointLabels()) {
        if (!label->isVisible()) continue;
        const QRectF box = label->mapRectToParent(label->boundingRect());
        if (!whole.contains(box))
            return "label " + label->text() + " at " + Describe(box) + " beyond the chart";
        for (const QRectF& other : shown)
            if (other.intersects(box)) return "label " + label->text() + " over another label";
        for (const QRectF& entry : entries)
            if (entry.intersects(box)) return "label " + label->text() + " over the legend";
        shown.push_back(box);
    }
    return QString();
}
