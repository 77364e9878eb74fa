#include "chart/SeriesPoints.h"

#include <QChart>
#include <QScatterSeries>
#include <algorithm>

#include "chart/MarkLayer.h"

void ReplaceSeriesPoints(QChart* chart, const std::vector<SeriesPoints>& all)
{
    std::vector<SeriesPoints> changes;
    for (const SeriesPoints& change : all)
        if (!SetLayerPoints(change.Series, change.Points)) changes.push_back(change);
    const auto recounted = [](const SeriesPoints& change) {
        return qobject_cast<QScatterSeries*>(change.Series) &&
               change.Series->count() != change.Points.size();
    };
    const bool recount = std::any_of(changes.begin(), changes.end(), recounted);
    struct ShownAgain {
        QChart* chart;
        ~ShownAgain()
        {
            if (chart) chart->show();
        }
    } shownAgain{recount && chart->isVisible() ? chart : nullptr};
    if (shownAgain.chart) chart->hide();
    for (const SeriesPoints& change : changes) {
        QXYSeries* series = change.Series;
        if (recounted(change) && !change.Points.isEmpty())
            series->replace(
                QList<QPointF>(std::max<qsizetype>(series->count(), 1), change.Points.front()));
        series->replace(change.Points);
    }
}
