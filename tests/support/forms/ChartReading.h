#pragma once
// Whether a chart reads as the user sees it: its plot at least of a given size; every text it
// draws whole within the view and none over another; every visible labelled axis with two labels
// drawn at least, and its title; every entry of its legend drawn within the legend.

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QString>

#include "chart/forms/ReadableChart.h"

// Empty when the chart reads so, else what is wrong.
inline QString ChartReadingFault(const QChartView* view,
                                 QSize plot = QSize(kReadablePlotWidth, kReadablePlotHeight))
{
    const QChart* chart = view->chart();
    const QRectF area = chart->plotArea();
    const QString where = view->objectName() + ": ";
    if (area.height() < plot.height() - 0.5 || area.width() < plot.width() - 0.5)
        return where + QString("plot %1 x %2").arg(area.width()).arg(area.height());
    // The texts drawn, as the scene holds them: Qt's boxes around them may touch, the texts two
    // pixels inside them keep apart.
    const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
    QStringList texts;
    QList<QRectF> places;
    for (QGraphicsItem* item : view->scene()->items()) {
        const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().trimmed().isEmpty()) continue;
        const QRectF box = text->sceneBoundingRect().adjusted(2, 2, -2, -2);
        if (!shown.intersects(box)) continue;  // nowhere the user sees it
        if (!shown.contains(box)) return where + "cut: " + text->toPlainText();
        for (qsizetype i = 0; i < places.size(); ++i)
            if (places[i].intersects(box)) return where + text->toPlainText() + " over " + texts[i];
        texts << text->toPlainText();
        places << box;
    }
    const auto take = [&](const QString& wanted, const QRectF& within) {
        for (qsizetype i = 0; i < texts.size(); ++i)
            if (texts[i] == wanted && within.contains(places[i])) {
                texts.removeAt(i);
                places.removeAt(i);
                return true;
            }
        return false;
    };
    for (QAbstractAxis* axis : chart->axes()) {
        if (!axis->isVisible()) continue;
        if (!axis->titleText().isEmpty() && !take(axis->titleText(), shown))
            return where + "axis title " + axis->titleText();
        auto* labels = qobject_cast<QCategoryAxis*>(axis);
        if (!labels || !axis->labelsVisible()) continue;
        int drawn = 0;
        for (const QString& name : labels->categoriesLabels())
            if (!name.trimmed().isEmpty() && take(name, shown)) ++drawn;
        if (drawn < std::min<qsizetype>(2, labels->count()))
            return where + QString("%1 labels of %2 drawn").arg(drawn).arg(labels->count());
    }
    const QLegend* legend = chart->legend();
    if (legend->isVisible()) {
        const QRectF box = legend->sceneBoundingRect();
        for (const QLegendMarker* marker : legend->markers())
            if (marker->isVisible() && !take(marker->label(), box))
                return where + "legend entry " + marker->label();
    }
    return QString();
}

// The window at its minimum size (its fixed size, if it has one), where its layout leaves it after
// a few turns of the event
// loop: empty when every chart in it reads so, else what is wrong.
inline QString FaultAtMinimumSize(QWidget* window)
{
    const auto smallest = [window] {
        return window->minimumSizeHint().expandedTo(window->minimumSize());
    };
    for (int turn = 0; turn < 3; ++turn) {
        window->resize(smallest());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    if (window->size() != smallest()) return "not at its minimum size";
    for (const QChartView* view : window->findChildren<QChartView*>()) {
        const QString fault = ChartReadingFault(view);
        if (!fault.isEmpty()) return fault;
    }
    return QString();
}
